#include "lice.h"
#include "lice_dispatch.h"
#include "lice_line_class.h"
#include "lice_lineclip.h"
#include "lice_surface.h"

#include <cstdint>
#include <utility>

void LICE_DashedLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int onPixels, int offPixels,
                     unsigned int color, float alpha, int mode, bool aa)
{
  (void)aa;
  // Dashes that do not move the walk forward would never end.
  if (onPixels <= 0 || (long long)onPixels + offPixels <= 0) return;
  lice::Surface s;
  if (!lice::MemoryRowsOf(dest, s)) return;
  std::int64_t lx1 = x1, ly1 = y1, lx2 = x2, ly2 = y2;
  if (!lice::ClipLine(lx1, ly1, lx2, ly2, s.width, s.height)) return;
  x1 = (int)lx1, y1 = (int)ly1, x2 = (int)lx2, y2 = (int)ly2;
  if (y2 < y1)
  {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }

  // The dotted vertical line of every other pixel, stored whole.
  if (onPixels == 1 && offPixels == 1 && x1 == x2 && alpha == 1.0f && (mode & BLEND_OP_MASK) == BLEND_COPY)
  {
    for (int k = 0; k < (y2 - y1 + 1) / 2; ++k) *s.at(x1, y1 + 2 * k) = color;
    return;
  }

  // Ordered independently on each axis: only lines that are neither horizontal nor
  // vertical could tell, and those draw nothing.
  if (x2 < x1) std::swap(x1, x2);
  const int w = lice::WeightFromAlpha(alpha);
  const lice::Rgba c = lice::Unpack(color);
  lice::DispatchShapeStore(mode, w, [&](auto op) {
    __LICE_LineClass<decltype(op)>::DashedLine(s.origin, s.step, x1, y1, x2, y2, onPixels, offPixels, c, w);
  });
}
