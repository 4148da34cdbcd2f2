#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

// Conversions into int that cannot overflow: shapes far outside any bitmap keep
// their visible part, and nothing wraps around into view.
namespace lice
{
inline int SaturateInt(std::int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v; }

// Truncation toward zero like a cast, saturated; NaN becomes 0.
inline int TruncateInt(double v)
{
  if (!(v > (double)INT_MIN)) return v != v ? 0 : INT_MIN;
  if (!(v < (double)INT_MAX)) return INT_MAX;
  return (int)v;
}
}  // namespace lice
