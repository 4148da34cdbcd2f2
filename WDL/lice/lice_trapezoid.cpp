#include "lice.h"
#include "lice_dispatch.h"
#include "lice_fastpaths.h"
#include "lice_packed.h"
#include "lice_polygon.h"
#include "lice_sample.h"
#include "lice_surface.h"

#include <algorithm>
#include <cstdint>

namespace
{
using std::int64_t;

// Slopes flatter than this many pixels per row are held at it; the bound keeps every
// product of a slope and a row count inside 64 bits.
constexpr double kMaxSlope = 536870912.0;  // 2^29, in 16.16

// One side of a trapezoid: a whole-pixel x that lags its true position by a 16-bit
// fraction and moves only by whole pixels.
struct EdgeWalker
{
  int64_t x = 0;
  int64_t fraction = 0;  // 0..65535
  int64_t step = 0;      // |slope| in 16.16
  int direction = 1;

  void moveBy(int64_t amount)
  {
    if (amount > 65535)
    {
      x += direction * (amount >> 16);
      fraction = amount & 0xFFFF;
    }
    else
      fraction = amount;
  }
  void nextRow()
  {
    fraction += step;
    if (fraction >= 65536)
    {
      x += direction * (fraction >> 16);
      fraction &= 0xFFFF;
    }
  }
};

EdgeWalker Walker(int64_t x, double slope)
{
  EdgeWalker e;
  e.x = x;
  const int64_t s = (int64_t)std::clamp(slope, -kMaxSlope, kMaxSlope);
  e.step = s < 0 ? -s : s;
  e.direction = s < 0 ? -1 : 1;
  return e;
}

// The rows of a clipped trapezoid: memory rows from first, rows of them.
struct TrapezoidRows
{
  unsigned int* first;
  std::ptrdiff_t span;
  int64_t rows;
  int width;
};

// Calls pixelRun(row pointer, from, to) for the columns [from, to) of every row.
template <class PixelRun>
void WalkRows(const TrapezoidRows& t, EdgeWalker left, EdgeWalker right, PixelRun pixelRun)
{
  unsigned int* row = t.first;
  if (left.step == 0 && right.step == 0)
  {
    // A rectangle: the columns are clipped once.
    const int64_t from = std::max<int64_t>(left.x, 0), to = std::min<int64_t>(right.x + 1, t.width);
    if (to <= from) return;
    for (int64_t i = 0; i < t.rows; ++i, row += t.span) pixelRun(row, (int)from, (int)to);
    return;
  }
  for (int64_t i = 0; i < t.rows; ++i, row += t.span)
  {
    const int64_t from = std::max<int64_t>(left.x, 0), to = std::min<int64_t>(right.x + 1, t.width);
    if (from < to) pixelRun(row, (int)from, (int)to);
    left.nextRow();
    right.nextRow();
  }
}
}  // namespace

// Row walkers over a packed whole-pixel rule and over a per-channel rule.
template <class PackedOp>
struct _LICE_FillFast
{
  static void FillClippedTrapezoidFAST(const TrapezoidRows& t, const EdgeWalker& left, const EdgeWalker& right,
                                       unsigned int color)
  {
    WalkRows(t, left, right, [color](unsigned int* row, int from, int to) {
      for (int x = from; x < to; ++x) PackedOp::doPix(row + x, color);
    });
  }
};

template <>
struct _LICE_FillFast<_LICE_CombinePixelsClobberFAST>
{
  static void FillClippedTrapezoidFAST(const TrapezoidRows& t, const EdgeWalker& left, const EdgeWalker& right,
                                       unsigned int color)
  {
    WalkRows(t, left, right, [color](unsigned int* row, int from, int to) { lice::FillRow(row + from, to - from, color); });
  }
};

template <class Op>
struct _LICE_Fill
{
  static void FillClippedTrapezoid(const TrapezoidRows& t, const EdgeWalker& left, const EdgeWalker& right,
                                   const lice::Rgba& c, int w)
  {
    WalkRows(t, left, right, [&c, w](unsigned int* row, int from, int to) {
      for (int x = from; x < to; ++x) lice::Combine<Op>(row + x, c, w);
    });
  }
};

void lice::FillTrapezoid(LICE_IBitmap* dest, int64_t x1a, int64_t x1b, int64_t y1, int64_t x2a, int64_t x2b,
                         int64_t y2, unsigned int color, float alpha, int mode)
{
  // Rows as stored: callers that care about bottom-up bitmaps mirror first.
  Surface s;
  if (!MemoryRowsOf(dest, s)) return;
  if (y2 < y1)
  {
    std::swap(x1a, x2a);
    std::swap(x1b, x2b);
    std::swap(y1, y2);
  }
  const int64_t topLeft = std::min(x1a, x1b), topRight = std::max(x1a, x1b);
  const int64_t bottomLeft = std::min(x2a, x2b), bottomRight = std::max(x2a, x2b);
  const int width = s.width, height = s.height;
  if ((topRight < 0 && bottomRight < 0) || (topLeft >= width && bottomLeft >= width) || y2 < 0 || y1 >= height)
    return;

  // An edge wholly beyond a side of the bitmap becomes that side.
  const bool leftClamped = topLeft <= 0 && bottomLeft <= 0;
  const bool rightClamped = topRight >= width - 1 && bottomRight >= width - 1;
  const int64_t dy = y2 - y1;
  const double inv = dy ? 65536.0 / (double)dy : 0.0;
  EdgeWalker left = leftClamped ? Walker(0, 0.0) : Walker(topLeft, (double)(bottomLeft - topLeft) * inv);
  EdgeWalker right = rightClamped ? Walker(width - 1, 0.0) : Walker(topRight, (double)(bottomRight - topRight) * inv);

  if (y1 < 0)
  {
    left.moveBy(left.step * -y1);
    right.moveBy(right.step * -y1);
    y1 = 0;
  }
  const int64_t lastRow = std::min<int64_t>(y2, height - 1);
  const TrapezoidRows rows{s.row((int)y1), s.step, lastRow - y1 + 1, width};

  const int w = WeightFromAlpha(alpha);
  if ((mode & BLEND_OP_MASK) == BLEND_COPY)
  {
    switch (w)
    {
    case 256: _LICE_FillFast<_LICE_CombinePixelsClobberFAST>::FillClippedTrapezoidFAST(rows, left, right, color); return;
    case 128: _LICE_FillFast<_LICE_CombinePixelsHalfMix2FAST>::FillClippedTrapezoidFAST(rows, left, right, color); return;
    case 64: _LICE_FillFast<_LICE_CombinePixelsQuarterMix2FAST>::FillClippedTrapezoidFAST(rows, left, right, color); return;
    case 192:
      _LICE_FillFast<_LICE_CombinePixelsThreeQuarterMix2FAST>::FillClippedTrapezoidFAST(rows, left, right, color);
      return;
    default: break;
    }
  }
  const Rgba c = Unpack(color);
  DispatchShape(mode, w, [&](auto op) { _LICE_Fill<decltype(op)>::FillClippedTrapezoid(rows, left, right, c, w); });
}

void LICE_FillTrapezoid(LICE_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2, unsigned int color,
                        float alpha, int mode)
{
  lice::FillTrapezoid(dest, x1a, x1b, y1, x2a, x2b, y2, color, alpha, mode);
}
