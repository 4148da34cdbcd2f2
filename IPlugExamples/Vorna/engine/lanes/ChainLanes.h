#pragma once

// The voice's chain around the oscillator and the filter on lanes (docs/engine.md):
// the envelopes, the source stage before the filter (feedback, the carrier's
// AM taken through the filter, limiter, DC remover) and the output after it
// (limiter, volume, amplitude envelope, velocity, pan), each loading its own
// record of the slot and stepping as VoiceStageMath steps. Internal to each file
// that includes it.
#include "VoiceStageMath.h"
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"

namespace
{
// One envelope sample within its stage (EnvelopeGenerator::NextSample).
template <class L>
struct EnvelopeLanes
{
  using Math = VoiceStageMath<LanePolicy<L>>;
  using V = Lanes<L>;
  LaneMask<L> attack{}, multiplying{};
  V level{}, multiplier{}, normalised{}, output{}, minimum{}, span{};

  void Load(const RunLanes::EnvelopeRecord& e, int lane)
  {
    attack = LaneMask<L>::Load(e.attack + lane);
    multiplying = LaneMask<L>::Load(e.multiplying + lane);
    level = V::Load(e.level + lane);
    multiplier = V::Load(e.multiplier + lane);
    normalised = V::Load(e.normalisedLevel + lane);
    output = V::Load(e.output + lane);
    minimum = V::Load(e.minimum + lane);
    span = 1.0 - minimum;
  }
  void Store(RunLanes::EnvelopeRecord& e, int lane) const
  {
    level.Store(e.level + lane);
    normalised.Store(e.normalisedLevel + lane);
    output.Store(e.output + lane);
  }
  V Next()
  {
    level = Math::Advance(attack, multiplying, level, multiplier);
    return Math::Output(level, normalised, output, minimum, span);
  }
};

// Before the filter (Voice::SourceStage after the oscillator): the feedback of
// the last post-filter sample, the carrier's AM of the last sample taken
// through the filter, the limiter and the DC remover: the pre-filter sample.
template <class L>
struct SourceLanes
{
  using Math = VoiceStageMath<LanePolicy<L>>;
  using V = Lanes<L>;
  V threshold{}, knee{}, dcA{}, dcX1{}, dcY1{}, dcWeight{};

  void Load(const RunLanes::Slot& s, int lane)
  {
    threshold = V::Load(s.output.limiterThreshold + lane);
    knee = V::Load(s.output.limiterKnee + lane);
    if (!s.dc.on) return;
    dcA = V::Load(s.dc.a + lane);
    dcX1 = V::Load(s.dc.x1 + lane);
    dcY1 = V::Load(s.dc.y1 + lane);
    dcWeight = V::Load(s.dc.weight + lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    if (!s.dc.on) return;
    dcX1.Store(s.dc.x1 + lane);
    dcY1.Store(s.dc.y1 + lane);
    dcWeight.Store(s.dc.weight + lane);
  }
  V Next(const RunLanes::Slot& s, V x, V lastPost, V halfAmProduct)
  {
    if (s.output.feedback != 0.0) x = x + s.output.feedback * lastPost;
    if (s.am.carrierFilter) x = x + (x + 1.0) * halfAmProduct;
    x = Math::Limit(x, threshold, knee);
    if (s.dc.on) x = Math::RemoveDc(x, dcA, dcX1, dcY1, dcWeight);
    return x;
  }
};

// After the filter (Voice::AfterFilter and FinishSample): the limiter, the
// post-filter sample and the output (left and right apart where noise reaches
// them: Voice::ExternalAm), the amplitude envelope times the velocity factor,
// and each voice's terms of the slot's left and right bus.
template <class L>
struct OutputLanes
{
  using P = LanePolicy<L>;
  using Math = VoiceStageMath<P>;
  using V = Lanes<L>;
  V threshold{}, knee{}, velocity{}, panLeft{}, panRight{};
  V wave{}, pre{}, post{}, out{}, outRight{}, amplitude{};
  LaneMask<L> inputModPre{};
  EnvelopeLanes<L> amp;

  void Load(const RunLanes::Slot& s, int lane)
  {
    const RunLanes::OutputRecord& o = s.output;
    threshold = V::Load(o.limiterThreshold + lane);
    knee = V::Load(o.limiterKnee + lane);
    velocity = V::Load(o.velocityFactor + lane);
    panLeft = V::Load(o.panLefts + lane);
    panRight = V::Load(o.panRights + lane);
    amp.Load(s.amp, lane);
    post = V::Load(o.previousPost + lane);
    if (o.external) inputModPre = LaneMask<L>::Load(o.inputModPre + lane);
    if (s.firstFrame == 0) return;
    // Inside a run: the frame before is the one the last call left.
    wave = V::Load(o.wave + lane);
    pre = V::Load(o.pre + lane);
    out = V::Load(o.out + lane);
    if (o.external) outRight = V::Load(o.outRight + lane);
    amplitude = V::Load(o.amplitude + lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    RunLanes::OutputRecord& o = s.output;
    amp.Store(s.amp, lane);
    wave.Store(o.wave + lane);
    pre.Store(o.pre + lane);
    post.Store(o.post + lane);
    out.Store(o.out + lane);
    if (o.external) outRight.Store(o.outRight + lane);
    amplitude.Store(o.amplitude + lane);
    post.Store(o.previousPost + lane);
    if (s.glide.on) velocity.Store(o.velocityFactor + lane);
  }
  // The filtered sample x of frame k through the limiter and the volume, and
  // (General: what a run may carry besides the plain chain) the external AM's;
  // the envelope.
  template <bool General>
  V Next(const RunLanes::Slot& s, int k, V x)
  {
    const RunLanes::OutputRecord& o = s.output;
    post = Math::Limit(x, threshold, knee);
    out = post * o.volume;
    if (General && o.external) External(o, k);
    const V envelope = amp.Next();
    amplitude = envelope * velocity;
    return envelope;
  }
  // Voice::ExternalAm: the level of the voice's own tapped sample times the
  // frame's modulated mix, and the mix heard directly.
  void External(const RunLanes::OutputRecord& o, int k)
  {
    outRight = out;
    if (o.amDepth > 0.0)
    {
      const V c = (P::Select(inputModPre, pre, post) + 1.0) * 0.5;
      const V e = P::Select(c > o.amThreshold, P::Select(c > 1.0, 1.0, (c - o.amThreshold) * o.amSlope), 0.0);
      const LaneMask<L> active = e != 0.0;
      out = P::Select(active, out + e * o.modulated[k][0], out);
      outRight = P::Select(active, outRight + e * o.modulated[k][1], outRight);
    }
    if (o.amDepth < 1.0)
    {
      out = out + o.direct[k][0];
      outRight = outRight + o.direct[k][1];
    }
  }
  // A term added to both outputs on the active lanes (the oscillator AM's).
  template <bool General>
  void Add(const RunLanes::OutputRecord& o, LaneMask<L> active, V term)
  {
    out = P::Select(active, out + term, out);
    if (General && o.external) outRight = P::Select(active, outRight + term, outRight);
  }
  template <bool General>
  void Bus(const RunLanes::OutputRecord& o, int k, int lane, double* left, double* right)
  {
    const bool external = General && o.external;
    if (General && o.panWalks)
    {
      panLeft = V::Load(o.panLefts + k * RunLanes::kMaxVoices + lane);
      panRight = V::Load(o.panRights + k * RunLanes::kMaxVoices + lane);
    }
    (panLeft * amplitude * out).Store(left + k * RunLanes::kMaxVoices + lane);
    (panRight * amplitude * (external ? outRight : out)).Store(right + k * RunLanes::kMaxVoices + lane);
  }
};
}  // namespace
