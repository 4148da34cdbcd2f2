#pragma once

// The "t ladder"'s maths, written once over a policy P (docs/engine.md): four
// one-pole stages with tanh saturation inside each stage and a resonance
// feedback solved without delay; pass types are mixes of the stage outputs, a
// saturating output stage and a DC blocker follow. TransistorLadderZDF runs it
// on one voice, the runs of frames on many side by side.
#include "filters/CutoffMath.h"
#include "filters/FilterKinds.h"
#include "filters/TransistorLadderConstants.h"

// What a sample reads and writes, and what a moving cutoff recomputes: T is a
// double in the model, a group of lanes in a run, and a row of voices in the
// run's slot. What every run changes comes first, then what a moving cutoff
// changes (kRunFields and kCutoffFields of them), then the settings.
template <class T>
struct TransistorLadderState
{
  static constexpr int kRunFields = 6;
  static constexpr int kCutoffFields = 7;
  T s1, s2, s3, s4;                                  // the stages' integrators
  T highPassState, blockerState;                     // the feedback's high-pass and the output's DC blocker
  T cutoff, g, g0, gain, gain2, gain3, gain4;        // the cutoff, g, 1 / (1 + g), G = g / (1 + g) and its powers
  T feedback, inputGain;                             // k, from resonance and pass type; the drive's input gain
  T highPassCoefficient, blockerCoefficient;
};

template <class P>
struct TransistorLadderMath
{
  using V = typename P::V;
  using M = typename P::M;
  using State = TransistorLadderState<V>;

  // The cutoff hz (limited) and the stage gains it gives, on the lanes changed.
  static void Retune(State& s, const CutoffRange& range, M changed, V hz)
  {
    const V cutoff = CutoffMath<P>::Limit(range, hz);
    const V g = CutoffMath<P>::WarpedGain(range, cutoff);
    const V g0 = 1.0 / (1.0 + g);
    const V gain = g * g0;
    const V gain2 = gain * gain;
    const V gain3 = gain2 * gain;
    s.cutoff = P::Select(changed, cutoff, s.cutoff);
    s.g = P::Select(changed, g, s.g);
    s.g0 = P::Select(changed, g0, s.g0);
    s.gain = P::Select(changed, gain, s.gain);
    s.gain2 = P::Select(changed, gain2, s.gain2);
    s.gain3 = P::Select(changed, gain3, s.gain3);
    s.gain4 = P::Select(changed, gain3 * gain, s.gain4);
  }

  // One stage: its output, and its integrator moved on.
  static V Stage(V in, V& state, V gain)
  {
    const V v = P::Tanh((in - state) * gain);
    const V y = state + v;
    state = y + v;
    return y;
  }

  // One sample through the ladder of pass type passType.
  [[gnu::always_inline]] static V Step(State& s, int passType, V x)
  {
    // The ladder's output as far as it is known before this sample's input.
    V sigma = (s.gain3 * s.s1 + s.gain2 * s.s2 + s.gain * s.s3 + s.s4) * s.g0;
    if (passType == kLP || passType == kP || passType == kBR)
      sigma = HighPassStep<P>(sigma, s.highPassCoefficient, s.highPassState);
    const V u = (x * s.inputGain - s.feedback * sigma) / (1.0 + s.feedback * s.gain4);
    const V y1 = Stage(u, s.s1, s.gain);
    const V y2 = Stage(y1, s.s2, s.gain);
    const V y3 = Stage(y2, s.s3, s.gain);
    const V y4 = Stage(y3, s.s4, s.gain);
    V mix;
    switch (passType)
    {
      case kBP: mix = 4.0 * y2 - 8.0 * y3 + 4.0 * y4; break;
      case kHP: mix = u - 4.0 * y1 + 6.0 * y2 - 4.0 * y3 + y4; break;
      case kP: mix = u; break;
      case kBR: mix = u - 4.0 * y1 + 8.0 * y2 - 8.0 * y3 + 4.0 * y4; break;
      case kLP:
      default: mix = y4; break;
    }
    constexpr double kCeiling = TransistorLadderConstants::kOutputCeiling;
    const V out = kCeiling * P::Tanh((1.0 / kCeiling) * mix);
    return HighPassStep<P>(out, s.blockerCoefficient, s.blockerState);
  }
};
