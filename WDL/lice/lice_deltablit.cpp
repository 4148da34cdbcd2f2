#include "lice.h"
#include "lice_deltawalk.h"
#include "lice_limits.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace
{
bool SaneDeltaArguments(int dstx, int dsty, int dstw, int dsth, float srcx, float srcy, float srcw, float srch,
                        std::initializer_list<double> steps)
{
  for (double v : {(double)dstx, (double)dsty, (double)dstw, (double)dsth, (double)srcx, (double)srcy, (double)srcw,
                   (double)srch})
    if (!lice::IsSaneCoordinate(v)) return false;
  for (double v : steps)
    if (!lice::IsSaneStep(v)) return false;
  return true;
}
}  // namespace

void LICE_DeltaBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy, double dtdy,
                    double dsdxdy, double dtdxdy, bool cliptosourcerect, float alpha, int mode)
{
  if (!dest || !src || dstw == 0 || dsth == 0 || !std::isfinite(alpha)) return;
  if (!SaneDeltaArguments(dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, {dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy}))
    return;
  const lice::SourceClip clip = lice::DeltaSourceClip(src, cliptosourcerect, srcx, srcy, srcw, srch);

  // A negative size starts from the far edge; the steps keep their signs.
  if (dstw < 0) dstx += dstw, dstw = -dstw, srcx += srcw;
  if (dsth < 0) dsty += dsth, dsth = -dsth, srcy += srch;

  const lice::DeltaMapping m{srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy};
  lice::DeltaWalk(dest, src, dstx, dsty, dstw, dsth, m, clip, alpha, mode, nullptr);
}

void LICE_DeltaBlitAlpha(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                         float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy, double dtdy,
                         double dsdxdy, double dtdxdy, bool cliptosourcerect, float alpha, int mode, double dadx,
                         double dady, double dadxdy)
{
  for (double v : {dadx, dady, dadxdy})
    if (!lice::IsSaneStep(v)) return;
  // An alpha that hardly changes across the rectangle is a constant weight.
  if (std::fabs(dstw * dadx) < 0.0001 && std::fabs(dsth * dady) < 0.0001 && std::fabs(dsth * dadxdy) < 0.0001)
  {
    LICE_DeltaBlit(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy,
                   cliptosourcerect, alpha, mode);
    return;
  }

  if (!dest || !src || dstw == 0 || dsth == 0 || !std::isfinite(alpha)) return;
  if (!SaneDeltaArguments(dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, {dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy}))
    return;
  const lice::SourceClip clip = lice::DeltaSourceClip(src, cliptosourcerect, srcx, srcy, srcw, srch);

  if (dstw < 0) dstx += dstw, dstw = -dstw, srcx += srcw;
  if (dsth < 0) dsty += dsth, dsth = -dsth, srcy += srch;

  const float start = std::clamp(alpha, -lice::kMaxAlpha, lice::kMaxAlpha);
  const lice::DeltaMapping m{srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy};
  const lice::AlphaMapping am{start, dadx, dady, dadxdy};
  lice::DeltaWalk(dest, src, dstx, dsty, dstw, dsth, m, clip, alpha, mode, &am);
}
