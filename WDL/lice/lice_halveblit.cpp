#include "lice.h"
#include "lice_packed.h"
#include "lice_surface.h"

#include <algorithm>

void LICE_HalveBlitAA(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  // Rows in memory order on both sides. Reading runs ahead of writing, so a bitmap
  // can be halved into itself.
  lice::Surface d, s;
  if (!lice::MemoryRowsOf(dest, d) || !lice::MemoryRowsOf(src, s)) return;
  const int width = std::min(d.width, s.width / 2), height = std::min(d.height, s.height / 2);
  for (int y = 0; y < height; ++y)
  {
    const unsigned int* top = s.row(2 * y);
    const unsigned int* bottom = s.row(2 * y + 1);
    unsigned int* out = d.row(y);
    for (int x = 0; x < width; ++x)
    {
      out[x] = lice::Quarter(top[2 * x]) + lice::Quarter(top[2 * x + 1]) + lice::Quarter(bottom[2 * x]) +
               lice::Quarter(bottom[2 * x + 1]);
    }
  }
}
