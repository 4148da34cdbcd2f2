#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "SinOfPhaseConstants.h"
#include "TanConstants.h"
#include "AsinhConstants.h"
#include "TanhConstants.h"

// Inline replacements for the library's sin, tanh, asinh and tan on the per-sample
// paths (oscillator sine, filter saturation, a moving cutoff's warp). The library functions are exact to
// within one unit in the last place but are calls that cannot be inlined or
// overlapped and spill every live register; these give the same values to within
// a few units in the last place (bounds below, checked by fast_math_test) at a
// fraction of the cost. They are built from the classic minimax polynomial and
// rational fits of double-precision libraries; rare ranges (huge, infinite or NaN
// arguments) fall back to the library itself.
namespace FastMath
{
// e^x. Within 1 ulp of std::exp.
inline double Exp(double x)
{
  using namespace ExpConstants;
  if (!(x > -kFastRange && x < kFastRange)) return std::exp(x);
  // x = k ln2 + r with |r| <= ln2 / 2; e^r from a rational form in r^2.
  const int k = static_cast<int>(x * kInvLn2 + (x < 0.0 ? -0.5 : 0.5));
  const double hi = x - k * kLn2Hi;
  const double lo = k * kLn2Lo;
  const double r = hi - lo;
  const double t = r * r;
  const double t2 = t * t;
  // Estrin's scheme throughout: terms in pairs, for short dependency chains.
  const double c = r - t * ((P1 + t * P2) + t2 * ((P3 + t * P4) + t2 * P5));
  const double er = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
  return er * std::bit_cast<double>(static_cast<std::uint64_t>(k + kExponentBias) << kMantissaBits);
}

// Natural logarithm of x. Within 1 ulp of std::log.
[[gnu::always_inline]] inline double Log(double x)
{
  using namespace LogConstants;
  // Zero, subnormal, negative, infinite and NaN arguments: the library.
  if (!(x >= kSmallestNormal && x <= kLargest)) return std::log(x);
  // x = 2^k m with m in [sqrt(2)/2, sqrt(2)); log(m) = log(1 + f) from s = f / (2 + f).
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
  int k = static_cast<int>(bits >> kMantissaBits) - kExponentBias;
  double m = std::bit_cast<double>((bits & kMantissaMask) | kExponentOfOne);
  if (m > kSqrt2)
  {
    m *= 0.5;
    ++k;
  }
  const double f = m - 1.0;
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double odd = w * (Lg2 + w * (Lg4 + w * Lg6));
  const double even = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
  const double halfSquare = 0.5 * f * f;
  return k * kLn2Hi - ((halfSquare - (s * (halfSquare + (even + odd)) + k * kLn2Lo)) - f);
}

// tanh(x). Within 2 ulp of std::tanh.
inline double Tanh(double x)
{
  using namespace TanhConstants;
  const double a = std::fabs(x);
  if (a < kRationalLimit)
  {
    if (a < kLinear) return x;
    const double s = x * x;
    return x + x * s * (((P0 * s + P1) * s + P2) / (((s + Q0) * s + Q1) * s + Q2));
  }
  if (a >= kSaturated) return x < 0.0 ? -1.0 : 1.0;
  const double t = 1.0 - 2.0 / (Exp(2.0 * a) + 1.0);
  return x < 0.0 ? -t : t;
}

// asinh(x). Within 4 ulp of std::asinh (just above 0.5, where the logarithm
// form takes over).
[[gnu::always_inline]] inline double Asinh(double x)
{
  using namespace AsinhConstants;
  const double a = std::fabs(x);
  if (a < kRationalLimit)
  {
    if (a < kLinear) return x;
    const double z = x * x;
    const double z2 = z * z;
    const double p = (P0 * z2 + (P1 * z + P2)) * z2 + (P3 * z + P4);
    const double q = (z2 + (Q0 * z + Q1)) * z2 + (Q2 * z + Q3);
    return x + x * ((p / q) * z);
  }
  if (!(a < kLogLimit)) return std::asinh(x);
  const double y = Log(a + std::sqrt(a * a + 1.0));
  return x < 0.0 ? -y : y;
}

// tan(x) for x in [0, pi/2), the range of the filters' tangent warp. Within 3 ulp
// of std::tan (above pi/4, where it is the reciprocal of a reduced tangent);
// other arguments go to the library.
[[gnu::always_inline]] inline double Tan(double x)
{
  using namespace TanConstants;
  if (!(x >= 0.0 && x < kHalfPi)) return std::tan(x);
  // Above pi/4, tan(x) = -1 / tan(x - pi/2) with |x - pi/2| < pi/4; below it a
  // rational fit in x^2 directly.
  const bool upper = x > kQuarterPi;
  const double z = upper ? ((x - kHalfPiHi) - kHalfPiMid) - kHalfPiLo : x;
  // tan(z) = z (q + z^2 p) / q; above pi/4 its reciprocal, so one division either way.
  const double zz = z * z;
  const double p = ((P0 * zz + P1) * zz + P2) * zz;
  const double q = (((zz + Q0) * zz + Q1) * zz + Q2) * zz + Q3;
  const double zSum = z * (q + p);
  return upper ? -q / zSum : zSum / q;
}

// sin(x) for a phase x in [0, 2 pi] (NaN and infinities give NaN; no argument
// leads to undefined behaviour, far beyond the cycle the value is simply
// wrong). Within 1 ulp of std::sin, or within 1e-24
// where the sine passes through 0 (at pi and 2 pi the reduction's absolute error
// of about 1e-26 is many ulp of the tiny result).
inline double SinOfPhase(double x)
{
  using namespace SinOfPhaseConstants;
  // x = k pi/2 + r with |r| <= pi/4; the quadrant k picks sine or cosine of r and the sign.
  // k is rounded by the 1.5 * 2^52 shift: the sum's last bits hold it.
  const double shifted = x * kTwoOverPi + kRoundingShift;
  const double kd = shifted - kRoundingShift;
  const int k = static_cast<int>(std::bit_cast<std::uint64_t>(shifted));
  const double r = (x - kd * kHalfPiHi) - kd * kHalfPiLo;
  const double z = r * r;
  const double z2 = z * z;
  double y;
  if (k & 1)
  {
    const double c = z * ((C1 + z * C2) + z2 * ((C3 + z * C4) + z2 * (C5 + z * C6)));
    const double halfZ = 0.5 * z;
    const double w = 1.0 - halfZ;
    y = w + (((1.0 - w) - halfZ) + z * c);
  }
  else
  {
    y = r + z * r * ((S1 + z * S2) + z2 * ((S3 + z * S4) + z2 * (S5 + z * S6)));
  }
  return (k & 2) ? -y : y;
}
}  // namespace FastMath
