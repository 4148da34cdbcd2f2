#pragma once

namespace lice
{
// The pixels (x, y) with left <= x < right and top <= y < bottom.
struct ClipBox
{
  int left = 0, top = 0, right = 0, bottom = 0;

  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

  // Narrows the run x1..x2 (inclusive) of row y to the box; false when nothing is left.
  bool clipRow(int y, int& x1, int& x2) const
  {
    if (y < top || y >= bottom) return false;
    if (x1 < left) x1 = left;
    if (x2 > right - 1) x2 = right - 1;
    return x1 <= x2;
  }
  // Likewise the run y1..y2 of column x.
  bool clipColumn(int x, int& y1, int& y2) const
  {
    if (x < left || x >= right) return false;
    if (y1 < top) y1 = top;
    if (y2 > bottom - 1) y2 = bottom - 1;
    return y1 <= y2;
  }
};

// Stands in for a box when the caller has shown that every pixel lies inside the
// bitmap: the tests compile away.
struct Unclipped
{
  static bool contains(int, int) { return true; }
  static bool clipRow(int, int& x1, int& x2) { return x1 <= x2; }
  static bool clipColumn(int, int& y1, int& y2) { return y1 <= y2; }
};
}  // namespace lice
