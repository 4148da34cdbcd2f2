#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "FastMath.h"
#include "globals.h"

// Small numeric helpers shared by the filter models.
namespace FilterMath
{
// Lowest cutoff any model accepts, Hz. Below the voice range (the formant
// filter's band-pass runs down to about 8 Hz) but keeps every warped gain positive.
inline constexpr double kMinCutoffHz = 1.0;
// The tangent warp is evaluated at most this fraction of the sample rate: tan(pi f / SR)
// blows up at the Nyquist frequency, which the cutoff ceiling reaches below 40 kHz.
inline constexpr double kMaxWarpFraction = 0.49;
// Cutoff of the DC blockers at the outputs of the biquad and the ladders, Hz.
inline constexpr double kDcBlockerHz = 5.0;

// A cutoff kept inside [kMinCutoffHz, Nyquist] Hz.
inline double LimitCutoff(double hz)
{
  return std::clamp(hz, kMinCutoffHz, std::max(kMinCutoffHz, PlugG::NYQUIST));
}

// The highest frequency the tangent warp is evaluated at, Hz.
inline double MaxWarpHz()
{
  return kMaxWarpFraction * PlugG::SR;
}

// pi f / SR with f kept inside [kMinCutoffHz, 0.49 SR], so that its tangent
// stays positive and finite.
inline double WarpAngle(double hz)
{
  return std::max(kMinCutoffHz, std::min(hz, MaxWarpHz())) * PlugG::piDivSR;
}

// tan(pi f / SR), the integrator gain of a trapezoidal one-pole at f Hz.
inline double WarpedGain(double hz)
{
  return std::tan(WarpAngle(hz));
}

// WarpedGain within 2 ulp, inline and without the library's call: for a cutoff
// that moves every sample.
inline double FastWarpedGain(double hz)
{
  return FastMath::Tan(WarpAngle(hz));
}

// Soft saturation: asinh for positive arguments, tanh otherwise. The asymmetry
// is part of the models' character.
[[gnu::always_inline]] inline double SoftSaturate(double v)
{
  return v > 0.0 ? FastMath::Asinh(v) : FastMath::Tanh(v);
}

// Zero and subnormal values (all exponent bits clear) become exactly 0, so that
// decaying states never fall into the slow subnormal range.
inline double FlushSubnormal(double v)
{
  return std::fabs(v) < DBL_MIN ? 0.0 : v;
}
}  // namespace FilterMath
