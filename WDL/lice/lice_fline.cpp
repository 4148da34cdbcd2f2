#include "lice.h"
#include "lice_dispatch.h"
#include "lice_limits.h"
#include "lice_line_class.h"
#include "lice_lineclip.h"
#include "lice_surface.h"

#include <cmath>
#include <initializer_list>
#include <utility>

void LICE_FLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, unsigned int color, float alpha, int mode,
                bool aa)
{
  if (!dest) return;
  for (float v : {x1, y1, x2, y2})
    if (!lice::IsSaneCoordinate(v)) return;
  if (!aa)
  {
    LICE_Line(dest, (int)x1, (int)y1, (int)x2, (int)y2, color, alpha, mode, false);
    return;
  }

  lice::Surface s;
  if (!lice::MemoryRowsOf(dest, s)) return;
  if (dest->isFlipped())
  {
    y1 = (float)(s.height - 1) - y1;
    y2 = (float)(s.height - 1) - y2;
  }
  if (!lice::ClipFLine(&x1, &y1, &x2, &y2, s.width, s.height)) return;
  if (x1 == x2 && y1 == y2) return;

  // Sampled at every whole position along the major axis, from the end with the
  // smaller major coordinate.
  const bool xMajor = std::fabs(x2 - x1) > std::fabs(y2 - y1);
  float startMajor = xMajor ? x1 : y1, startMinor = xMajor ? y1 : x1;
  float endMajor = xMajor ? x2 : y2, endMinor = xMajor ? y2 : x2;
  if (endMajor < startMajor)
  {
    std::swap(startMajor, endMajor);
    std::swap(startMinor, endMinor);
  }
  const float majorDelta = endMajor - startMajor, minorDelta = endMinor - startMinor;

  const float first = std::ceil(startMajor), last = std::floor(endMajor);
  const float s1 = minorDelta / majorDelta;
  const float pos = (first - startMajor) * s1 + startMinor;
  int frac = (int)((double)(pos - std::floor(pos)) * 65536.0);
  int minor = (int)pos;
  int direction = 1;
  if (minorDelta < 0)
  {
    // The pair must straddle the line: start one further along the minor axis and
    // count the fraction from that side.
    direction = -1;
    ++minor;
    frac = 0xFFFF - frac;
  }

  const int w = lice::WeightFromAlpha(alpha);
  const int n = (int)(last - first);
  const int slope = (int)((double)std::fabs(s1) * 65536.0);
  unsigned int* line = xMajor ? s.at((int)first, 0) : s.at(0, (int)first);
  const std::ptrdiff_t majorStep = xMajor ? 1 : s.step;
  const std::ptrdiff_t minorStride = xMajor ? s.step : 1;
  const int minorSize = xMajor ? s.height : s.width;
  const lice::Rgba c = lice::Unpack(color);
  lice::DispatchShape(mode, w, [&](auto op) {
    __LICE_LineClass<decltype(op)>::LICE_FLineImpl(line, n, frac, slope, majorStep, minorStride, direction, minor,
                                                   minorSize, c, w);
  });
}
