#pragma once

// What every filter model does with a cutoff before its own maths, and the
// one-pole high-pass several of them end in, written once over a policy P
// (ScalarPolicy.h, lanes/LanePolicy.h; docs/engine.md). Plain data and
// templates only, so that the files built for AVX2 can include it.
#include "filters/FilterConstants.h"

// What the sample rate gives the cutoff arithmetic: the frame-by-frame models
// read it from the engine's globals as they go (FilterMath::CurrentRange), the
// runs of frames once per run from their slot.
struct CutoffRange
{
  double ceiling;      // the highest cutoff a model takes, Hz: max(kMinCutoffHz, Nyquist)
  double maxWarpHz;    // the highest frequency the tangent warp reads, Hz: kMaxWarpFraction SR
  double piOverRate;   // pi / SR
  double inverseRate;  // 1 / SR
  double sampleRate;   // Hz
};

template <class P>
struct CutoffMath
{
  using V = typename P::V;

  // A cutoff kept inside [kMinCutoffHz, ceiling].
  static V Limit(const CutoffRange& r, V hz) { return P::Clamp(hz, FilterConstants::kMinCutoffHz, r.ceiling); }
  // pi f / SR with f kept inside [kMinCutoffHz, maxWarpHz], so that its
  // tangent stays positive and finite.
  static V WarpAngle(const CutoffRange& r, V hz)
  {
    return P::Max(FilterConstants::kMinCutoffHz, P::Min(hz, r.maxWarpHz)) * r.piOverRate;
  }
  // tan(pi f / SR), the integrator gain of a trapezoidal one-pole at f Hz.
  static V WarpedGain(const CutoffRange& r, V hz) { return P::Tan(WarpAngle(r, hz)); }

  // A filter slot's cutoff f moved by its envelope's value e and amount, held
  // in [minCutoff, maxCutoff]: upwards straight towards the top, downwards
  // along a quartic curve so that the low end is not rushed.
  [[gnu::always_inline]] static V EnvelopeCutoff(V f, V e, V amount, double minCutoff, double maxCutoff)
  {
    const V moved = P::Choose(
      amount > 0.0, [&] { return f + (maxCutoff - f) * amount * e; },
      [&] {
        const V rest = 1.0 - e;
        const V rest2 = rest * rest;
        return f + (f - minCutoff) * amount * (1.0 - rest2 * rest2);
      });
    return P::Min(maxCutoff, P::Max(minCutoff, moved));
  }
  // A cutoff f moved by the cutoff shiver s (not 0), held in [minCutoff, maxCutoff].
  [[gnu::always_inline]] static V Shivered(V f, V s, double minCutoff, double maxCutoff)
  {
    const V s2 = s * s;
    const V moved = f * P::Choose(
                          s > 0.0, [&] { return 1.0 + FilterConstants::kShiverUpDepth * s2; },
                          [&] { return 1.0 - FilterConstants::kShiverDownDepth * s2; });
    return P::Min(maxCutoff, P::Max(minCutoff, moved));
  }
};

// One sample through a one-pole high-pass with a trapezoidal integrator of
// coefficient g / (1 + g); state is the integrator's.
template <class P>
inline typename P::V HighPassStep(typename P::V x, typename P::V coefficient, typename P::V& state)
{
  using V = typename P::V;
  const V v = (x - state) * coefficient;
  const V lowPassed = state + v;
  state = lowPassed + v;
  return x - lowPassed;
}
