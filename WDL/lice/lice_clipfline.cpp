#include "lice.h"
#include "lice_limits.h"
#include "lice_lineclip.h"

#include <initializer_list>

namespace
{
constexpr int kMaxClipSteps = 33;

int OutCode(float x, float y, float right, float bottom)
{
  int code = x < 0 ? 1 : x >= right ? 2 : 0;
  if (y < 0) code |= 4;
  else if (y >= bottom) code |= 8;
  return code;
}
}  // namespace

bool lice::ClipFLine(float* pX1, float* pY1, float* pX2, float* pY2, int w, int h)
{
  // With fewer than two columns or rows no pixel pair fits.
  if (w < 2 || h < 2) return false;
  float x1 = *pX1, y1 = *pY1, x2 = *pX2, y2 = *pY2;
  const float right = (float)(w - 1), bottom = (float)(h - 1);
  int c1 = OutCode(x1, y1, right, bottom), c2 = OutCode(x2, y2, right, bottom);
  bool inside = false;
  for (int step = 0; step < kMaxClipSteps; ++step)
  {
    if (c1 == 0 && c2 == 0)
    {
      inside = true;
      break;
    }
    if (c1 & c2) break;
    const int c = c1 ? c1 : c2;
    const float dx = x2 - x1, dy = y2 - y1;
    float x, y;
    if (c & 8)
    {
      x = (bottom - y1) * dx / dy + x1;
      y = (float)(h - 2);
    }
    else if (c & 4)
    {
      x = dx * y1 / (y1 - y2) + x1;
      y = 0;
    }
    else if (c & 2)
    {
      y = dy * (right - x1) / dx + y1;
      x = (float)(w - 2);
    }
    else
    {
      y = dy * x1 / (x1 - x2) + y1;
      x = 0;
    }
    if (c == c1)
    {
      x1 = x, y1 = y;
      c1 = OutCode(x, y, right, bottom);
    }
    else
    {
      x2 = x, y2 = y;
      c2 = OutCode(x, y, right, bottom);
    }
  }
  *pX1 = x1, *pY1 = y1, *pX2 = x2, *pY2 = y2;
  return inside;
}

bool LICE_ClipFLine(float* pX1, float* pY1, float* pX2, float* pY2, float xLo, float yLo, float xHi, float yHi)
{
  for (float v : {*pX1, *pY1, *pX2, *pY2, xLo, yLo, xHi, yHi})
    if (!lice::IsSaneCoordinate(v)) return false;
  float x1 = *pX1 - xLo, y1 = *pY1 - yLo, x2 = *pX2 - xLo, y2 = *pY2 - yLo;
  const bool inside = lice::ClipFLine(&x1, &y1, &x2, &y2, (int)(xHi - xLo), (int)(yHi - yLo));
  *pX1 = x1 + xLo, *pY1 = y1 + yLo, *pX2 = x2 + xLo, *pY2 = y2 + yLo;
  return inside;
}
