#pragma once

#include "lice_bitmap.h"

#include <cstdint>

// The area fills in wide coordinates: vertices and spans may lie anywhere in the
// int range and beyond (a strip's fill row one past the last int), and every edge
// is still walked without overflow.
namespace lice
{
struct PolygonPoint
{
  std::int64_t x, y;
};

// The rows y1 and y2 (memory rows; either may be the upper) and the area between
// the span x1a..x1b on row y1 and the span x2a..x2b on row y2, ends included.
void FillTrapezoid(LICE_IBitmap* dest, std::int64_t x1a, std::int64_t x1b, std::int64_t y1, std::int64_t x2a,
                   std::int64_t x2b, std::int64_t y2, unsigned int color, float alpha, int mode);

// The convex polygon through the points, in any order; rows as the caller sees
// them (mirrored here for a bottom-up bitmap).
void FillConvexPolygon(LICE_IBitmap* dest, const PolygonPoint* points, int npoints, unsigned int color, float alpha,
                       int mode);
}  // namespace lice
