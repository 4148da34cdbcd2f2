#pragma once

// The "moog"'s maths, written once over a policy P (docs/engine.md): four
// coupled one-pole stages (each also sees half of the next stage's output),
// solved in closed form per sample, with a saturated resonance feedback,
// saturated stage states, pass types mixed from the stage outputs, a
// resonance-dependent low-pass gain and a DC blocker. DiodeLadderZDF runs it on
// one voice, the runs of frames on many side by side.
#include "filters/CutoffMath.h"
#include "filters/DiodeLadderConstants.h"
#include "filters/FilterKinds.h"

// What a sample reads and writes, what a moving cutoff recomputes and the
// settings that reads (TransistorLadderState says what T is and how the fields
// are ordered). Every product and
// sum is formed as the per-sample formulas would form it, once per change of
// its inputs instead of once per sample; quotients by g, 1 + g and the
// zero-delay denominator are products with their reciprocals.
template <class T>
struct DiodeLadderState
{
  static constexpr int kRunFields = 5;
  static constexpr int kCutoffFields = 15;
  T s1, s2, s3, s4;                    // the stages' states
  T blockerState;                      // the DC blocker's at the output
  T cutoff, g, onePlusG, invG, invOnePlusG;
  T gain;                              // G = g / (1 + g)
  T d1, e1, a1, b1, d1e1, d1e1a1;      // the stage coefficients and their products
  T k, drivenK;                        // the feedback gain after its compensation; input gain x k
  T invDenominator;                    // 1 / (1 + k B1 A1 E1 D1)
  T k0;                                // the feedback gain before its compensation
  T inputGain, feedbackNormaliser;     // the drive's gain and 1 / asinh of it
  T resonanceSetting, lowPassGain;     // L = k0 / 17, and the low-pass output gain after the fixed 1.5
  T blockerCoefficient;
};

template <class P>
struct DiodeLadderMath
{
  using V = typename P::V;
  using M = typename P::M;
  using State = DiodeLadderState<V>;

  struct Stages
  {
    V d1, e1, a1, b1, d1e1, d1e1a1;
  };

  // E1, A1 and B1 nest: each divides by a sum holding the one before. Written
  // over common denominators (h = g/2, p = 1 + g), each is a division of its
  // own that runs beside the others instead of after them; every sum below is
  // of positive terms or loses at most a bit: each coefficient is within 5 ulp
  // of its exact value.
  static Stages StagesOf(V g, V onePlusG, V gain)
  {
    const V h = DiodeLadderConstants::kCoupling * g;
    const V p = onePlusG;
    const V h2 = h * h;
    const V p2 = p * p;
    const V pLessH2 = p2 - h2;
    const V pLessTwoH2 = p2 - 2.0 * h2;
    const V d1 = DiodeLadderConstants::kCoupling * gain;
    const V e1 = h * p / pLessH2;
    const V a1 = h * pLessH2 / (p * pLessTwoH2);
    const V b1 = g * p * pLessTwoH2 / (p2 * pLessTwoH2 - 2.0 * h2 * pLessH2);
    const V d1e1 = d1 * e1;
    return {d1, e1, a1, b1, d1e1, d1e1 * a1};
  }
  template <class Mask>
  static void SetStages(State& s, Mask changed, const Stages& c)
  {
    s.d1 = P::Select(changed, c.d1, s.d1);
    s.e1 = P::Select(changed, c.e1, s.e1);
    s.a1 = P::Select(changed, c.a1, s.a1);
    s.b1 = P::Select(changed, c.b1, s.b1);
    s.d1e1 = P::Select(changed, c.d1e1, s.d1e1);
    s.d1e1a1 = P::Select(changed, c.d1e1a1, s.d1e1a1);
  }

  // The feedback gain of the cutoff (DiodeLadderConstants).
  static V FeedbackOf(const CutoffRange& r, int passType, V cutoff, V k0)
  {
    namespace C = DiodeLadderConstants;
    const V e = 2.0 * cutoff * r.inverseRate;
    if (passType == kLP) return k0 * (C::kLowPassRaise - C::kLowPassRootSlope * P::Sqrt(e)) * (1.0 - C::kLowPassSquareSlope * e * e);
    if (passType == kBP || passType == kHP || passType == kP || passType == kBR)
      return k0 * (1.0 - C::kOtherRootSlope * P::Sqrt(e));
    return k0;
  }
  // k and what it gives with the stage coefficients in s.
  template <class Mask>
  static void SetFeedback(State& s, Mask changed, V k)
  {
    s.k = P::Select(changed, k, s.k);
    s.drivenK = P::Select(changed, s.inputGain * k, s.drivenK);
    const V chain = k * s.b1 * s.a1 * s.e1 * s.d1;
    s.invDenominator = P::Select(changed, 1.0 / (1.0 + chain), s.invDenominator);
  }

  // The cutoff hz (limited) and all it gives, on the lanes changed (an M, or
  // P::Every where every lane changed).
  template <class Mask>
  static void Retune(State& s, const CutoffRange& range, int passType, Mask changed, V hz)
  {
    const V cutoff = CutoffMath<P>::Limit(range, hz);
    const V raw = DiodeLadderConstants::kStageGainFactor * CutoffMath<P>::WarpedGain(range, cutoff);
    // NaN falls to the cap as well.
    const V g = P::Select(raw < DiodeLadderConstants::kMaxStageGain, raw, DiodeLadderConstants::kMaxStageGain);
    const V onePlusG = 1.0 + g;
    const V gain = g / onePlusG;
    s.cutoff = P::Select(changed, cutoff, s.cutoff);
    s.g = P::Select(changed, g, s.g);
    s.onePlusG = P::Select(changed, onePlusG, s.onePlusG);
    s.invG = P::Select(changed, 1.0 / g, s.invG);
    s.invOnePlusG = P::Select(changed, 1.0 / onePlusG, s.invOnePlusG);
    s.gain = P::Select(changed, gain, s.gain);
    SetStages(s, changed, StagesOf(g, onePlusG, gain));
    SetFeedback(s, changed, FeedbackOf(range, passType, cutoff, s.k0));
  }

  // One stage: its output, and what its state becomes once saturated.
  static V Stage(V in, V state, V gain, V& next)
  {
    const V v = (in - state) * gain;
    const V y = state + v;
    next = v + y;
    return y;
  }

  // One sample through the ladder of pass type passType.
  [[gnu::always_inline]] static V Step(State& s, int passType, V x)
  {
    namespace C = DiodeLadderConstants;
    // What each stage would output from its state alone, built from the last stage up.
    const V t4 = s.s4 * s.invOnePlusG;
    const V p4 = s.e1 * (2.0 * s.s3 * s.invG + 2.0 * t4);
    const V p3 = s.a1 * (2.0 * s.s2 * s.invG + p4);
    const V p2 = s.b1 * (s.s1 * s.invG + p3);
    const V sigma = s.d1e1a1 * p2 + s.d1e1 * p3 + s.d1 * p4 + t4;
    const V feedback = P::SoftSaturate(s.drivenK * sigma) * s.feedbackNormaliser;
    const V u = (x - feedback) * s.invDenominator;
    const V v2 = p2 + s.b1 * u;
    const V v3 = p3 + s.a1 * v2;
    const V v4 = p4 + s.e1 * v3;
    const V v5 = t4 + s.d1 * v4;
    // The saturated states only reach the next sample, so the four are
    // saturated together (which the lanes do on as few groups as hold them).
    V next[4];
    const V y1 = Stage(v3 + u, s.s1, s.gain, next[0]);
    const V y2 = Stage(C::kCoupling * (v4 + y1), s.s2, s.gain, next[1]);
    const V y3 = Stage(C::kCoupling * (v5 + y2), s.s3, s.gain, next[2]);
    const V y4 = Stage(C::kCoupling * y3, s.s4, s.gain, next[3]);
    P::SoftSaturateEach(next);
    s.s1 = next[0];
    s.s2 = next[1];
    s.s3 = next[2];
    s.s4 = next[3];
    const V m = u - 4.0 * (y1 - y2);
    V mix;
    switch (passType)
    {
      case kBP: mix = (6.0 * y4 + y1 - 2.0 * y2 - 2.0 * y3) * C::kOutputGain * (2.0 - s.resonanceSetting); break;
      case kHP: mix = C::kOutputGain * (m + 6.0 * (y2 - y3) - 4.0 * (y3 - y4) + y4); break;
      case kP: mix = C::kOutputGain * u; break;
      case kBR: mix = C::kOutputGain * (m + 8.0 * (y2 - y3) - 8.0 * (y3 - y4) + 4.0 * y4); break;
      case kLP:
      default: mix = y4 * C::kLowPassOutput * s.lowPassGain; break;
    }
    return HighPassStep<P>(mix, s.blockerCoefficient, s.blockerState);
  }
};
