#pragma once

// The plain double as a policy of the engine's shared maths (docs/engine.md):
// the frame-by-frame road runs each model's step with V = double, and the runs
// of frames run the very same step with V = a group of lanes (LanePolicy.h).
// A mask is a bool, Select a conditional and Any the bool itself, so a step
// written once compiles here to the plain code a voice would run alone.
// Never included by a file built for AVX2: its functions are the engine's
// inline code.
#include <cfloat>
#include <cmath>

#include "FastMath.h"

struct ScalarPolicy
{
  using V = double;
  using M = bool;
  static constexpr int kLanes = 1;

  static M All() { return true; }
  static V Select(M m, V a, V b) { return m ? a : b; }
  // a() where m holds, else b(): only the side taken is computed.
  template <class A, class B>
  [[gnu::always_inline]] static V Choose(M m, A a, B b)
  {
    return m ? a() : b();
  }
  static bool Any(M m) { return m; }
  // std::max, std::min and std::clamp.
  static V Max(V a, V b) { return a < b ? b : a; }
  static V Min(V a, V b) { return b < a ? b : a; }
  static V Clamp(V x, V low, V high) { return x < low ? low : (high < x ? high : x); }
  static V Abs(V x) { return std::fabs(x); }
  static V Sqrt(V x) { return std::sqrt(x); }
  // static_cast<int> of x (inside the int range), back as a double.
  static V Truncate(V x) { return static_cast<int>(x); }
  // Zero and subnormal values (all exponent bits clear) become exactly 0, so
  // that decaying states never fall into the slow subnormal range.
  static V FlushSubnormal(V x) { return std::fabs(x) < DBL_MIN ? 0.0 : x; }
  static V Tan(V x) { return FastMath::Tan(x); }
  // Tan of an argument the caller holds inside [0, pi/2), where Tan needs no
  // library; on the lanes the test is left out.
  static V TanInQuadrant(V x) { return FastMath::Tan(x); }
  static V Tanh(V x) { return FastMath::Tanh(x); }
  [[gnu::always_inline]] static V Asinh(V x) { return FastMath::Asinh(x); }
  // Soft saturation: asinh for positive arguments, tanh otherwise. The
  // asymmetry is part of the models' character.
  [[gnu::always_inline]] static V SoftSaturate(V x) { return x > 0.0 ? FastMath::Asinh(x) : FastMath::Tanh(x); }
  // SoftSaturate of each of n independent values.
  template <int N>
  [[gnu::always_inline]] static void SoftSaturateEach(V (&x)[N])
  {
    for (V& value : x) value = SoftSaturate(value);
  }
  static V SinOfPhase(V x) { return FastMath::SinOfPhase(x); }
  // x mod m in [0, m) for either sign of x (fmod keeps the sign of x).
  static V FlooredMod(V x, double m)
  {
    // Phases are nearly always within one period of the range; there x - m is exact
    // (Sterbenz), the same bits fmod would give, at a fraction of its cost.
    if (x >= 0.0 && x < m) return x;
    if (x >= m && x < 2.0 * m) return x - m;
    double r = std::fmod(x, m);
    if (r < 0.0)
    {
      r += m;
      // A tiny negative remainder rounds up to m itself, which is 0 of the next cycle.
      if (r >= m) r = 0.0;
    }
    return r;
  }
  // The value as an array of one lane, and back.
  static void Spread(V x, double* out) { *out = x; }
  static V Gather(const double* in) { return *in; }
  template <class F>
  static V EachLane(V x, F f)
  {
    return f(x);
  }
};
