#include "lice.h"
#include "lice_surface.h"

#include <algorithm>
#include <cstring>

namespace
{
struct Difference
{
  const lice::Surface& a;
  const lice::Surface& b;
  unsigned int mask;

  bool at(int x, int y) const { return ((a.row(y)[x] ^ b.row(y)[x]) & mask) != 0; }
  int firstInRow(int y, int from, int to) const
  {
    for (int x = from; x < to; ++x)
      if (at(x, y)) return x;
    return -1;
  }
  int lastInRow(int y, int from, int to) const
  {
    for (int x = to - 1; x >= from; --x)
      if (at(x, y)) return x;
    return -1;
  }
};

// The bounding box of every differing pixel: the first differing row from the top,
// the last from the bottom, then the columns widened over the rows between.
int DifferenceBox(const Difference& diff, int width, int height, int* coords)
{
  coords[0] = coords[1] = coords[2] = coords[3] = 0;
  int top = 0, left = -1;
  for (; top < height; ++top)
    if ((left = diff.firstInRow(top, 0, width)) >= 0) break;
  if (top == height) return 0;
  int right = diff.lastInRow(top, left, width);
  int bottom = height - 1;
  for (; bottom > top; --bottom)
  {
    const int first = diff.firstInRow(bottom, 0, width);
    if (first < 0) continue;
    left = std::min(left, first);
    right = std::max(right, diff.lastInRow(bottom, 0, width));
    break;
  }
  for (int y = top + 1; y < bottom && (left > 0 || right < width - 1); ++y)
  {
    const int first = diff.firstInRow(y, 0, left);
    if (first >= 0) left = first;
    const int last = diff.lastInRow(y, right + 1, width);
    if (last >= 0) right = last;
  }
  coords[0] = left;
  coords[1] = top;
  coords[2] = right - left + 1;
  coords[3] = bottom - top + 1;
  return 1;
}
}  // namespace

int LICE_BitmapCmp(LICE_IBitmap* a, LICE_IBitmap* b, int* coords)
{
  return LICE_BitmapCmpEx(a, b, 0xFFFFFFFFu, coords);
}

int LICE_BitmapCmpEx(LICE_IBitmap* a, LICE_IBitmap* b, unsigned int mask, int* coords)
{
  if (!a || !b) return a ? 1 : b ? -1 : 0;
  const int width = a->getWidth(), height = a->getHeight();
  if (width != b->getWidth()) return b->getWidth() - width;
  if (height != b->getHeight()) return b->getHeight() - height;

  if (coords) coords[0] = coords[1] = coords[2] = coords[3] = 0;
  lice::Surface sa, sb;
  if (!lice::SurfaceOf(a, sa) || !lice::SurfaceOf(b, sb)) return 0;
  const Difference diff{sa, sb, mask};

  if (coords) return DifferenceBox(diff, width, height, coords);
  if (mask == 0xFFFFFFFFu)
  {
    for (int y = 0; y < height; ++y)
    {
      const int order = std::memcmp(sa.row(y), sb.row(y), (size_t)width * sizeof(unsigned int));
      if (order) return order;
    }
    return 0;
  }
  for (int y = 0; y < height; ++y)
    if (diff.firstInRow(y, 0, width) >= 0) return 1;
  return 0;
}
