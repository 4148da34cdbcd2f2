#include "lice.h"
#include "lice_lineclip.h"

#include <cstdint>

namespace
{
using std::int64_t;

constexpr int kMaxClipSteps = 33;

enum Outside : int
{
  kLeft = 1,
  kRight = 2,
  kAbove = 4,
  kBelow = 8
};

int OutCode(int64_t x, int64_t y, int64_t w, int64_t h)
{
  int code = x < 0 ? kLeft : x >= w ? kRight : 0;
  if (y < 0) code |= kAbove;
  else if (y >= h) code |= kBelow;
  return code;
}
}  // namespace

bool lice::ClipLine(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, int64_t w, int64_t h)
{
  // An empty box holds nothing.
  if (w <= 0 || h <= 0) return false;
  int c1 = OutCode(x1, y1, w, h), c2 = OutCode(x2, y2, w, h);
  for (int step = 0; step < kMaxClipSteps; ++step)
  {
    if (c1 == 0 && c2 == 0) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    const double dx = (double)(x2 - x1), dy = (double)(y2 - y1);
    // The crossing lies between the two ends, so each offset is at most the
    // line's own extent. The bottom and right crossings are taken at h and w
    // but the point is put on the last row or column.
    int64_t x, y;
    if (c & kBelow)
    {
      x = x1 + (int64_t)((double)(h - y1) * dx / dy);
      y = h - 1;
    }
    else if (c & kAbove)
    {
      x = x1 + (int64_t)((double)(-y1) * dx / dy);
      y = 0;
    }
    else if (c & kRight)
    {
      x = w - 1;
      y = y1 + (int64_t)((double)(w - x1) * dy / dx);
    }
    else
    {
      x = 0;
      y = y1 + (int64_t)((double)(-x1) * dy / dx);
    }
    if (c == c1)
    {
      x1 = x, y1 = y;
      c1 = OutCode(x, y, w, h);
    }
    else
    {
      x2 = x, y2 = y;
      c2 = OutCode(x, y, w, h);
    }
  }
  return false;
}

bool LICE_ClipLine(int* pX1, int* pY1, int* pX2, int* pY2, int xLo, int yLo, int xHi, int yHi)
{
  int64_t x1 = (int64_t)*pX1 - xLo, y1 = (int64_t)*pY1 - yLo;
  int64_t x2 = (int64_t)*pX2 - xLo, y2 = (int64_t)*pY2 - yLo;
  const bool inside = lice::ClipLine(x1, y1, x2, y2, (int64_t)xHi - xLo, (int64_t)yHi - yLo);
  // Every point the clipper makes lies on the line between the original ends or on
  // the box, so moving back stays inside int.
  *pX1 = (int)(x1 + xLo);
  *pY1 = (int)(y1 + yLo);
  *pX2 = (int)(x2 + xLo);
  *pY2 = (int)(y2 + yLo);
  return inside;
}
