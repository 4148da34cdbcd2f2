#include "Paint.h"

#include <algorithm>
#include <cmath>

Rgba LinearGradient::At(double x, double y) const
{
  const double dx = mX1 - mX0, dy = mY1 - mY0;
  const double lengthSquared = dx * dx + dy * dy;
  const double t = lengthSquared > 0 ? ((x - mX0) * dx + (y - mY0) * dy) / lengthSquared : 0;
  return Mix(mFrom, mTo, float(std::clamp(t, 0.0, 1.0)));
}

Rgba RadialGradient::At(double x, double y) const
{
  const double t = mR > 0 ? std::hypot(x - mCx, y - mCy) / mR : 1;
  return Mix(mInner, mOuter, float(std::min(t, 1.0)));
}
