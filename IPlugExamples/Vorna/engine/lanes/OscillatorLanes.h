#pragma once

// The oscillator stage of a run on lanes (docs/engine.md): the bend, the
// glides, the waveform (OscillatorMath), the oversampling lowpass and the
// phase, each loading its own record of the slot. Internal to each file that
// includes it.
#include "OscillatorMath.h"
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"

#include <cmath>
#include <utility>

namespace
{
// Oscillator::BentPhase: the phase at which a frame reads its waveform. The
// power curve repeats Oscillator::approxPow from each lane's own terms.
template <class L>
struct BendLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  using M = LaneMask<L>;
  M on{}, inverted{}, raised{};
  V window{}, inverseWindow{}, squarings{}, blend{};

  void Load(const RunLanes::BendRecord& b, int lane)
  {
    on = M::Load(b.on + lane);
    window = V::Load(b.window + lane);
    inverseWindow = V::Load(b.inverseWindow + lane);
    inverted = M::Load(b.inverted + lane);
    raised = M::Load(b.raised + lane);
    squarings = V::Load(b.squarings + lane);
    blend = V::Load(b.blend + lane);
  }
  V Power(const RunLanes::BendRecord& b, V x) const
  {
    x = P::Select(inverted, 1.0 - x, x);
    V lo = x;
    for (int i = 0; i < b.mostSquarings; ++i) lo = P::Select(V(double(i)) < squarings, lo * lo, lo);
    const V hi = lo * lo;
    const V result = P::Select(raised, hi * blend + lo * (1.0 - blend), x);
    return P::Select(inverted, 1.0 - result, result);
  }
  // Oscillator::BendShape.
  V Shape(const RunLanes::BendRecord& b, V t) const
  {
    if (!b.middle) return Power(b, t);
    const M low = t < 0.5;
    const V y = Power(b, P::Select(low, 2.0 * t, 1.0 - 2.0 * (t - 0.5)));
    return P::Select(low, 0.5 * y, 0.5 + 0.5 * (1.0 - y));
  }
  V Phase(const RunLanes::BendRecord& b, V phase) const
  {
    const V r = phase * inverseWindow;
    // One window over the whole cycle, or windows repeating inside the period.
    const M single = b.spanNote ? window >= RunLanes::kCycle : M{L::Set(0.0)};
    V k = 0.0, t = P::Clamp(r, 0.0, 1.0);
    if (b.repeats)
    {
      k = P::EachLane(r, [](double x) { return std::floor(x); });
      t = P::Select(single, t, P::Clamp((phase - window * k) * inverseWindow, 0.0, 1.0));
    }
    const V bent = Shape(b, t) * window;
    return P::Select(on, P::Select(single, bent, window * k + bent), phase);
  }
};

// Voice::GlideFrequency and GlideVelocity as a frame begins, on the lanes that
// glide: the frequency and the oscillator's increment and step, the velocity
// and its factor.
template <class L>
struct GlideLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  using M = LaneMask<L>;
  M pitchOn{}, velocityOn{};
  V frequency{}, frequencyStep{}, pitchFactor{}, rateFactor{}, velocity{}, velocityStep{};

  void Load(const RunLanes::GlideRecord& g, int lane)
  {
    pitchOn = M::Load(g.pitchOn + lane);
    frequency = V::Load(g.frequency + lane);
    frequencyStep = V::Load(g.frequencyStep + lane);
    pitchFactor = V::Load(g.pitchFactor + lane);
    rateFactor = V::Load(g.rateFactor + lane);
    velocityOn = M::Load(g.velocityOn + lane);
    velocity = V::Load(g.velocity + lane);
    velocityStep = V::Load(g.velocityStep + lane);
  }
  void Store(RunLanes::GlideRecord& g, int lane) const
  {
    frequency.Store(g.frequency + lane);
    velocity.Store(g.velocity + lane);
  }
  void Next(const RunLanes::GlideRecord& g, V shiverFactor, V& increment, V& step, V& velocityFactor)
  {
    frequency = P::Select(pitchOn, frequency + frequencyStep, frequency);
    increment = P::Select(pitchOn, frequency * pitchFactor * rateFactor, increment);
    step = P::Select(pitchOn, increment * shiverFactor, step);
    velocity = P::Select(velocityOn, velocity + velocityStep, velocity);
    velocityFactor = P::Select(velocityOn, velocity * g.velocityScale, velocityFactor);
  }
};

// The oscillator: its waveform read at the (bent) phase, the sub-samples of
// the oversampling lowpass, and the phase moved on by the step, or (General:
// FM or a walking tune shiver may move it otherwise) by the frame's increment
// wrapped as any phase is. The waveform and oversampling are constants of the
// loop.
template <class L, int Waveform, bool General, bool Oversampled>
struct OscillatorLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  using Math = OscillatorMath<P>;
  V phase{}, step{}, increment{}, shiverFactor{}, shape{};
  V history[RunLanes::kBesselHistory];  // the lowpass's, newest first
  V theta{};                            // the phase this frame reads
  BendLanes<L> bend;
  bool climbsOnce = false;              // see SubPhase

  void Load(const RunLanes::Slot& s, int lane)
  {
    const RunLanes::OscillatorRecord& o = s.osc;
    phase = V::Load(o.phase + lane);
    step = V::Load(o.step + lane);
    increment = V::Load(o.increment + lane);
    shiverFactor = V::Load(o.shiverFactor + lane);
    shape = V::Load(o.shape + lane);
    if constexpr (Oversampled)
      for (int j = 0; j < RunLanes::kBesselHistory; ++j) history[j] = V::Load(o.bessel[j] + lane);
    if (s.bend.read) bend.Load(s.bend, lane);
    climbsOnce = !General && !s.bend.read && o.period == RunLanes::kCycle;
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    RunLanes::OscillatorRecord& o = s.osc;
    phase.Store(o.phase + lane);
    if constexpr (Oversampled)
      for (int j = 0; j < RunLanes::kBesselHistory; ++j) history[j].Store(o.bessel[j] + lane);
    if (!s.glide.on) return;
    step.Store(o.step + lane);
    increment.Store(o.increment + lane);
  }
  V Wave(V at) const { return Math::template OfCycle<OscWave(Waveform)>(at, shape); }
  // The tune shiver's factor of frame k, where it walks: the step follows it.
  void Shiver(const RunLanes::OscillatorRecord& o, int k, int lane)
  {
    shiverFactor = V::Load(o.shiverFactors + k * RunLanes::kMaxVoices + lane);
    step = increment * shiverFactor;
  }
  // The waveform at this frame's phase; the bend reads the cycle elsewhere,
  // the phase itself runs on unbent. Oversampled, the sub-samples that follow
  // (at least one) make the sample, and this one is never read.
  V Next(const RunLanes::Slot& s)
  {
    const bool bent = s.bend.read;
    theta = bent ? bend.Phase(s.bend, phase) : phase;
    if constexpr (Oversampled) return V(0.0);
    return Wave(bent ? P::FlooredMod(theta, RunLanes::kCycle) : phase);
  }
  // The newest output in front, each older one a place back: spelled out, so
  // that the compiler moves registers rather than calling memmove per sub-sample.
  [[gnu::always_inline]] void ShiftHistory(V newest)
  {
    [this]<std::size_t... J>(std::index_sequence<J...>) {
      ((history[RunLanes::kBesselHistory - 1 - J] = history[RunLanes::kBesselHistory - 2 - J]), ...);
    }(std::make_index_sequence<RunLanes::kBesselHistory - 1>{});
    history[0] = newest;
  }
  // A sub-sample's phase inside one cycle. Without FM or a bend the phase starts below one cycle
  // and climbs by less than one in a frame, so one subtraction wraps it as the remainder would;
  // a lane that rounding took to two cycles still takes the remainder.
  V SubPhase(V at) const
  {
    if (climbsOnce && !P::Any(at >= 2.0 * RunLanes::kCycle))
      return P::Select(at >= RunLanes::kCycle, at - RunLanes::kCycle, at);
    return P::FlooredMod(at, RunLanes::kCycle);
  }
  // Oscillator::FullSampleOf's sub-samples: the waveform read on from the
  // phase by a sub-step of the increment each, through the lowpass, whose
  // history moves on; the last output is the sample. Then the phase moves on.
  V Advance(const RunLanes::OscillatorRecord& o, V wave, V frameIncrement)
  {
    if constexpr (Oversampled)
    {
      const V subIncrement = o.subStep * frameIncrement;
      for (int k = 0; k < o.subSamples; ++k)
      {
        theta = theta + subIncrement;
        const V y = Math::SubSample(o.besselCoeffs, o.besselGain, history, Wave(SubPhase(theta)));
        ShiftHistory(y);
        wave = y;
      }
    }
    if constexpr (General)
      phase = P::FlooredMod(phase + frameIncrement, o.period);
    else
    {
      // A step below the period keeps the phase below twice the period: one
      // subtraction wraps it, exactly.
      phase = phase + step;
      phase = P::Select(phase >= o.period, phase - o.period, phase);
    }
    return wave;
  }
};
}  // namespace
