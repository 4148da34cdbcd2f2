#include "lice.h"
#include "lice_dispatch.h"
#include "lice_surface.h"

#include <cmath>

unsigned int LICE_GetPixel(LICE_IBitmap* bmp, int x, int y)
{
  lice::Surface s;
  if (!lice::SurfaceOf(bmp, s) || x < 0 || y < 0 || x >= s.width || y >= s.height) return 0;
  return *s.at(x, y);
}

void LICE_PutPixel(LICE_IBitmap* bmp, int x, int y, unsigned int color, float alpha, int mode)
{
  lice::Surface s;
  if (!lice::SurfaceOf(bmp, s) || x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  unsigned int* p = s.at(x, y);
  const int w = lice::WeightFromAlpha(alpha);
  if ((mode & BLEND_OP_MASK) == BLEND_COPY && lice::PackedCopy(p, color, w)) return;
  lice::DispatchShape(mode, w, [&](auto op) {
    decltype(op)::doPix(lice::Bytes(p), lice::ChannelR(color), lice::ChannelG(color), lice::ChannelB(color),
                        lice::ChannelA(color), w);
  });
}
