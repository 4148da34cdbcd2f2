#pragma once

#include "lice_bitmap.h"
#include "lice_pixel.h"

#include <cstddef>

namespace lice
{
// A bitmap's pixels addressed by logical row: row 0 is the top row whether the
// bitmap stores its rows top-down or bottom-up. Built once per call, so no loop
// needs to know about flipping.
struct Surface
{
  unsigned int* origin = nullptr;  // logical row 0
  std::ptrdiff_t step = 0;         // pixels from one logical row to the next
  int width = 0;
  int height = 0;

  unsigned int* row(int y) const { return origin + y * step; }
  unsigned int* at(int x, int y) const { return row(y) + x; }
  std::ptrdiff_t stepBytes() const { return step * (std::ptrdiff_t)sizeof(unsigned int); }
};

// False (and nothing to draw) for a null bitmap, null bits or an empty size.
inline bool SurfaceOf(LICE_IBitmap* bmp, Surface& out)
{
  if (!bmp) return false;
  unsigned int* bits = bmp->getBits();
  const int w = bmp->getWidth();
  const int h = bmp->getHeight();
  if (!bits || w <= 0 || h <= 0) return false;
  const std::ptrdiff_t span = bmp->getRowSpan();
  out.width = w;
  out.height = h;
  if (bmp->isFlipped())
  {
    out.origin = bits + (h - 1) * span;
    out.step = -span;
  }
  else
  {
    out.origin = bits;
    out.step = span;
  }
  return true;
}

// The same pixels, rows in memory order (for the routines that ignore flipping).
inline bool MemoryRowsOf(LICE_IBitmap* bmp, Surface& out)
{
  if (!bmp) return false;
  unsigned int* bits = bmp->getBits();
  const int w = bmp->getWidth();
  const int h = bmp->getHeight();
  if (!bits || w <= 0 || h <= 0) return false;
  out = Surface{bits, bmp->getRowSpan(), w, h};
  return true;
}
}  // namespace lice
