#include "lice.h"
#include "lice_dispatch.h"
#include "lice_fastpaths.h"
#include "lice_pixelrect.h"
#include "lice_surface.h"

#include <cmath>

namespace
{
template <class PackedOp>
void FillPacked(const lice::Surface& s, const lice::PixelRect& r, unsigned int color)
{
  for (int row = 0; row < r.h; ++row)
  {
    unsigned int* p = s.at(r.x, r.y + row);
    for (int i = 0; i < r.w; ++i) PackedOp::doPix(p + i, color);
  }
}
}  // namespace

void LICE_FillRect(LICE_IBitmap* bmp, int x, int y, int w, int h, unsigned int color, float alpha, int mode)
{
  if (!bmp) return;
  if (mode & BLEND_SOURCE_ALPHA) alpha *= (float)(color >> 24) / 255.0f;
  lice::Surface s;
  lice::PixelRect r;
  if (!lice::SurfaceOf(bmp, s) || !lice::ClipToBitmap(x, y, w, h, s.width, s.height, r)) return;
  if (alpha == 0.0f) return;

  const int weight = lice::WeightFromAlpha(alpha);
  if ((mode & BLEND_OP_MASK) == BLEND_COPY)
  {
    switch (weight)
    {
    case 64: FillPacked<_LICE_CombinePixelsQuarterMix2FAST>(s, r, color); return;
    case 128: FillPacked<_LICE_CombinePixelsHalfMix2FAST>(s, r, color); return;
    case 192: FillPacked<_LICE_CombinePixelsThreeQuarterMix2FAST>(s, r, color); return;
    case 256:
      for (int row = 0; row < r.h; ++row) lice::FillRow(s.at(r.x, r.y + row), r.w, color);
      return;
    default: break;
    }
  }

  // The weight itself stands in for the source alpha component; alpha far above 1
  // takes it beyond what the rules compute in int.
  const int cr = lice::ChannelR(color), cg = lice::ChannelG(color), cb = lice::ChannelB(color);
  const auto fill = [&](auto op) {
    for (int row = 0; row < r.h; ++row)
    {
      unsigned int* p = s.at(r.x, r.y + row);
      for (int i = 0; i < r.w; ++i) decltype(op)::doPix(lice::Bytes(p + i), cr, cg, cb, weight, weight);
    }
  };
  lice::DispatchShape(mode, weight, [&](auto op) {
    if (lice::IsNarrow(weight)) fill(op);
    else fill(lice::Widened<decltype(op)>{});
  });
}
