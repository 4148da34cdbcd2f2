#include "lice.h"
#include "lice_surface.h"

namespace
{
struct SpanFill
{
  const lice::Surface& s;
  unsigned int target, newcolor, comparemask, keepmask;

  bool matches(unsigned int p) const { return (p & comparemask) == target; }
  void replace(unsigned int& p) const { p = newcolor | (p & keepmask); }

  // Fills the run through column x of one row; false when (x, row) does not match.
  bool fillRow(int x, int row) const
  {
    unsigned int* line = s.row(row);
    if (!matches(line[x])) return false;
    replace(line[x]);
    for (int i = x + 1; i < s.width && matches(line[i]); ++i) replace(line[i]);
    for (int i = x - 1; i >= 0 && matches(line[i]); --i) replace(line[i]);
    return true;
  }
};
}  // namespace

void LICE_SimpleFill(LICE_IBitmap* bmp, int x, int y, unsigned int newcolor, unsigned int comparemask,
                     unsigned int keepmask)
{
  // Rows in memory order: the flipped flag is not consulted.
  lice::Surface s;
  if (!lice::MemoryRowsOf(bmp, s) || x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  const SpanFill fill{s, s.row(y)[x] & comparemask, newcolor, comparemask, keepmask};
  // Only runs connected through column x: downward from y, then upward from y - 1.
  for (int row = y; row < s.height && fill.fillRow(x, row); ++row) {}
  for (int row = y - 1; row >= 0 && fill.fillRow(x, row); --row) {}
}
