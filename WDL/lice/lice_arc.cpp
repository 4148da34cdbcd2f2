#include "lice.h"
#include "lice_circle_drawer.h"
#include "lice_limits.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace
{
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kHalfPi = 1.5707964f;
}  // namespace

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, unsigned int color,
              float alpha, int mode, bool aa)
{
  if (!dest) return;
  for (float v : {cx, cy, r})
    if (!lice::IsSaneCoordinate(v)) return;
  for (float a : {minAngle, maxAngle})
    if (!lice::IsSane(a, lice::kMaxAngle)) return;
  if (r < 0) return;
  const float callerCy = cy;
  if (dest->isFlipped())
  {
    // Mirroring the rows turns clockwise into anticlockwise about the vertical.
    cy = (float)(dest->getHeight() - 1) - cy;
    minAngle = kPi - minAngle;
    maxAngle = kPi - maxAngle;
  }
  float lo = std::min(minAngle, maxAngle), hi = std::max(minAngle, maxAngle);
  if (hi - lo >= kTwoPi)
  {
    LICE_Circle(dest, cx, callerCy, r, color, alpha, mode, aa);
    return;
  }
  // One turn or less: bring the range near [0, 2 pi).
  if (hi >= kTwoPi)
  {
    const float t = std::fmod(hi, kTwoPi);
    lo -= hi - t;
    hi = t;
  }
  else if (lo <= -kTwoPi)
  {
    const float t = std::fmod(lo, kTwoPi);
    hi -= lo - t;
    lo = t;
  }

  const int w = lice::WeightFromAlpha(alpha);
  if (w == 0) return;
  const int W = dest->getWidth(), H = dest->getHeight();
  const double a = (double)lo + (double)kTwoPi, b = (double)hi + (double)kTwoPi;
  if (!(b > a)) return;

  // The arc is drawn a quarter turn at a time: each piece is the whole circle seen
  // through the box spanned by the piece's two end pixels (one pixel wider where an
  // end does not sit on the centre's column or row).
  const double q = (double)kHalfPi;
  const auto at = [&](double angle, int& x, int& y) {
    x = (int)(std::sin(angle) * r + cx + 0.5);
    y = (int)(cy - std::cos(angle) * r + 0.5);
  };
  int x0, y0, x1, y1;
  at(a, x0, y0);
  double e = std::min(b, a - std::fmod(a, q) + q);
  for (;;)
  {
    at(e, x1, y1);
    const int maxX = std::max(x0, x1), maxY = std::max(y0, y1);
    const lice::ClipBox box{std::max(std::min(x0, x1), 0), std::max(std::min(y0, y1), 0),
                            std::min(maxX + 1 + ((float)maxX != cx ? 1 : 0), W),
                            std::min(maxY + 1 + ((float)maxY != cy ? 1 : 0), H)};
    __DrawCircleClipped(dest, cx, cy, r, color, w, aa, false, mode, box, true);
    if (!(b > e)) break;
    x0 = x1, y0 = y1;
    e = std::min(b, e + q);
  }
}
