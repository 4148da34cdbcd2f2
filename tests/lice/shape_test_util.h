#pragma once

#include "lice.h"
#include "lice_test_util.h"

#include <set>
#include <utility>
#include <vector>

namespace lice_test
{
using Point = std::pair<int, int>;
using PointSet = std::set<Point>;

constexpr unsigned int kWhite = 0xFFFFFFFF;

// A bitmap of transparent black. Drawing opaque white on it in copy mode leaves, in
// every byte, min(w, 255) for the weight w a pixel was combined at, so coverage can
// be read straight back.
inline void Clear(LICE_IBitmap& bmp) { LICE_Clear(&bmp, 0); }

inline int Coverage(LICE_IBitmap& bmp, int x, int y) { return (int)(LICE_GetPixel(&bmp, x, y) & 0xFF); }

// The pixels that differ from background.
inline PointSet Drawn(LICE_IBitmap& bmp, unsigned int background = 0)
{
  PointSet out;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if (LICE_GetPixel(&bmp, x, y) != background) out.insert({x, y});
  return out;
}

// The rows of a bitmap as stored in memory, for checking bottom-up layouts.
inline std::vector<unsigned int> MemoryRow(LICE_IBitmap& bmp, int row)
{
  const unsigned int* p = bmp.getBits() + (size_t)row * bmp.getRowSpan();
  return std::vector<unsigned int>(p, p + bmp.getWidth());
}
}  // namespace lice_test
