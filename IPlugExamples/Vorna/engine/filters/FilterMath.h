#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "FastMath.h"
#include "ScalarPolicy.h"
#include "filters/CutoffMath.h"
#include "filters/FilterConstants.h"
#include "globals.h"

// Small numeric helpers shared by the filter models.
namespace FilterMath
{
using FilterConstants::kDcBlockerHz;
using FilterConstants::kMaxWarpFraction;
using FilterConstants::kMinCutoffHz;

// What the sample rate gives the cutoff arithmetic now.
inline CutoffRange CurrentRange()
{
  return {std::max(kMinCutoffHz, PlugG::NYQUIST), kMaxWarpFraction * PlugG::SR, PlugG::piDivSR, PlugG::INV_SR,
          PlugG::SR};
}

// A cutoff kept inside [kMinCutoffHz, Nyquist] Hz.
inline double LimitCutoff(double hz)
{
  return CutoffMath<ScalarPolicy>::Limit(CurrentRange(), hz);
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
  return CutoffMath<ScalarPolicy>::WarpAngle(CurrentRange(), hz);
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
  return CutoffMath<ScalarPolicy>::WarpedGain(CurrentRange(), hz);
}

[[gnu::always_inline]] inline double SoftSaturate(double v)
{
  return ScalarPolicy::SoftSaturate(v);
}

inline double FlushSubnormal(double v)
{
  return ScalarPolicy::FlushSubnormal(v);
}
}  // namespace FilterMath
