#include "lice.h"
#include "lice_deltawalk.h"
#include "lice_limits.h"

#include <cmath>
#include <initializer_list>

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                      float srcy, float srcw, float srch, float angle, bool cliptosourcerect, float alpha, int mode,
                      float rotxcent, float rotycent)
{
  if (!dest || !src || dstw == 0 || dsth == 0 || !std::isfinite(alpha)) return;
  for (double v : {(double)dstx, (double)dsty, (double)dstw, (double)dsth, (double)srcx, (double)srcy, (double)srcw,
                   (double)srch, (double)rotxcent, (double)rotycent})
    if (!lice::IsSaneCoordinate(v)) return;
  if (!lice::IsSane(angle, lice::kMaxAngle)) return;
  const lice::SourceClip clip = lice::DeltaSourceClip(src, cliptosourcerect, srcx, srcy, srcw, srch);

  if (dstw < 0) dstx += dstw, dstw = -dstw, srcx += srcw, srcw = -srcw;
  if (dsth < 0) dsty += dsth, dsth = -dsth, srcy += srch, srch = -srch;

  const float c = std::cos(angle), s = std::sin(angle);
  const float xs = srcw / dstw, ys = srch / dsth;
  // The destination centre samples the source centre moved by the rotation
  // centre offsets; the image turns about that point.
  const float startx = srcx - ((xs * s * dsth + xs * c * dstw - srcw) * 0.5f - rotxcent);
  const float starty = srcy - ((ys * c * dsth - ys * s * dstw - srch) * 0.5f - rotycent);
  const lice::DeltaMapping m{startx, starty, xs * c, -ys * s, xs * s, ys * c, 0.0, 0.0};
  lice::DeltaWalk(dest, src, dstx, dsty, dstw, dsth, m, clip, alpha, mode, nullptr);
}
