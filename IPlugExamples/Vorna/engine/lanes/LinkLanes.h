#pragma once

// What links the two slots of a run on lanes (docs/engine.md): FM, hard sync
// and oscillator AM, each reading what the other slot recorded and recording
// what the other reads, from its own record of the slot. Internal to each file
// that includes it.
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"

namespace
{
// The voice's FM value, clamped, then the oscillator's: a value of 0 or NaN
// leaves the step as it is. The other slot recorded its source up to the frame
// before.
template <class L>
struct FmLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  V source{};

  void Load(const RunLanes::FmRecord& f, int lane) { source = V::Load(f.previous + lane); }
  V Increment(const RunLanes::FmRecord& f, int k, int lane, V step, V increment, V shiverFactor)
  {
    if (k > 0) source = V::Load(f.sourceRecord + (k - 1) * RunLanes::kMaxVoices + lane);
    const V fm = P::Min(f.limit, P::Max(-V(f.limit), source * f.amount));
    return P::Select((fm < 0.0) | (fm > 0.0), (1.0 + fm) * increment * shiverFactor, step);
  }
  static void Record(RunLanes::FmRecord& f, int k, int lane, V pre, V post, V envelope)
  {
    const V record = f.source == RunLanes::kFmPost               ? post
                     : f.source == RunLanes::kFmPreTimesEnvelope ? pre * envelope
                                                                  : pre;
    record.Store(f.record + k * RunLanes::kMaxVoices + lane);
  }
};

// Hard sync's slave (Voice::HardSync after each frame, Oscillator's
// crossfade), and its master's record.
template <class L>
struct SyncLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  V previous{}, crossings{}, restartPhase{}, declickOn{}, declickCounter{}, declickLength{}, lastOutput{};

  void Load(const RunLanes::SyncRecord& r, int lane)
  {
    previous = V::Load(r.previous + lane);
    crossings = V::Load(r.crossings + lane);
    restartPhase = V::Load(r.restartPhase + lane);
    declickOn = V::Load(r.declickOn + lane);
    declickCounter = V::Load(r.declickCounter + lane);
    declickLength = V::Load(r.declickLength + lane);
    lastOutput = V::Load(r.lastOutput + lane);
  }
  void Store(RunLanes::SyncRecord& r, int lane) const
  {
    previous.Store(r.previous + lane);
    crossings.Store(r.crossings + lane);
    declickOn.Store(r.declickOn + lane);
    declickCounter.Store(r.declickCounter + lane);
    declickLength.Store(r.declickLength + lane);
    lastOutput.Store(r.lastOutput + lane);
  }
  // Oscillator::FullSampleOf's crossfade from the last output.
  V Crossfade(V wave)
  {
    const LaneMask<L> active = declickOn > 0.0;
    const V weight = declickCounter * (1.0 / declickLength);
    wave = P::Select(active, wave * weight + (1.0 - weight) * lastOutput, wave);
    declickCounter = P::Select(active, declickCounter + 1.0, declickCounter);
    declickOn = P::Select(active & (declickCounter >= declickLength), 0.0, declickOn);
    lastOutput = wave;
    return wave;
  }
  // After the frame: the phase the next frame reads.
  void Restart(const RunLanes::SyncRecord& r, int k, int lane, V& phase)
  {
    const V current = V::Load(r.sourceRecord + k * RunLanes::kMaxVoices + lane);
    const LaneMask<L> crossing = !(current * previous > 0.0);
    crossings = P::Select(crossing, crossings + 1.0, crossings);
    const LaneMask<L> restart = crossing & (crossings >= r.period);
    crossings = P::Select(restart, 0.0, crossings);
    phase = P::Select(restart, restartPhase, phase);
    if (r.softLength > 0)
    {
      // Oscillator::StartDeclick.
      declickOn = P::Select(restart, 1.0, declickOn);
      declickCounter = P::Select(restart, 1.0, declickCounter);
      declickLength = P::Select(restart, double(r.softLength), declickLength);
    }
    previous = current;
  }
  static void Record(RunLanes::SyncRecord& r, int k, int lane, V pre, V post)
  {
    (r.preFilter ? pre : post).Store(r.record + k * RunLanes::kMaxVoices + lane);
  }
};

// Voice::OscAmpModOf for the carrier's lanes, after both slots' frame k: the
// level of the modulator's recorded sample, times the amount, times the
// carrier's own sample and the modulator's envelope, added to the output or
// kept for the next sample before the filter; and the modulator's record.
template <class L>
struct AmLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  LaneMask<L> carrierPre{};
  V level{}, product{}, halfProduct{};

  void Load(const RunLanes::AmRecord& a, int lane)
  {
    carrierPre = LaneMask<L>::Load(a.carrierPre + lane);
    level = V::Load(a.level + lane);
    product = V::Load(a.product + lane);
    halfProduct = V::Load(a.halfProduct + lane);
  }
  void Store(RunLanes::AmRecord& a, int lane) const
  {
    level.Store(a.level + lane);
    product.Store(a.product + lane);
    halfProduct.Store(a.halfProduct + lane);
  }
  template <bool General, class Output>
  void Of(const RunLanes::Slot& s, int k, int lane, Output& output)
  {
    const RunLanes::AmRecord& a = s.am;
    const V tap = V::Load(a.sourceRecord + k * RunLanes::kMaxVoices + lane);
    const V c = (tap + 1.0) * 0.5;
    const V sampleLevel = P::Select(c > a.threshold, P::Select(c > 1.0, 1.0, (c - a.threshold) * a.slope), 0.0);
    const LaneMask<L> active = sampleLevel != 0.0;
    const V e = sampleLevel * a.amount;
    const V modulatorEnvelope = V::Load(a.envelopeRecord + k * RunLanes::kMaxVoices + lane);
    const V p = P::Select(carrierPre, output.pre, output.post) * e * modulatorEnvelope;
    level = P::Select(active, e, 0.0);
    product = P::Select(active, p, 0.0);
    if (a.addsExternal) output.template Add<General>(s.output, active, 0.0 * e);
    if (a.carrierFilter)
      halfProduct = 0.5 * product;
    else
      output.template Add<General>(s.output, active, product);
  }
  static void Record(RunLanes::AmRecord& a, int k, int lane, LaneMask<L> modulatorPre, V pre, V post, V envelope)
  {
    P::Select(modulatorPre, pre, post).Store(a.record + k * RunLanes::kMaxVoices + lane);
    envelope.Store(a.envelopes + k * RunLanes::kMaxVoices + lane);
  }
};
}  // namespace
