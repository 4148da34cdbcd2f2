#include "Voice.h"

#include "DCremove.h"
#include "Declicker.h"
#include "filters/FilterContainer.h"
#include "filters/FilterModels.h"
#include "SoftLimiter.h"
#include "VoiceDataSingleton.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <utility>

namespace
{
constexpr std::uint64_t kAllLanes = ~std::uint64_t(0);
}

namespace
{
// A model's Lane, a struct of doubles (its fields named once, in order), into
// lane `lane` of the slot's filter rows, field by field.
template <class Lane, std::size_t... F>
void GatherFieldsOf(const Lane& l, double (*rows)[RunLanes::kMaxVoices], int lane, std::index_sequence<F...>)
{
  const unsigned char* fields = reinterpret_cast<const unsigned char*>(&l);
  double* at = rows[0] + lane;
  (std::memcpy(at + F * RunLanes::kMaxVoices, fields + F * sizeof(double), sizeof(double)), ...);
}
template <class Lane>
void GatherFields(const Lane& l, double (*rows)[RunLanes::kMaxVoices], int lane)
{
  constexpr std::size_t n = sizeof(Lane) / sizeof(double);
  static_assert(n * sizeof(double) == sizeof(Lane) && n <= RunLanes::kFilterRows, "a row for every field");
  GatherFieldsOf(l, rows, lane, std::make_index_sequence<n>{});
}

// The waveforms the lanes compute.
bool RunsWave(OscWave w)
{
  // No default: a new waveform must say here whether the runs take it.
  switch (w)
  {
  case kOscSine:
  case kOscSaw:
  case kOscSquare:
  case kOscTri:
  case kOscSinc:
  case kOscPolysaw: return true;
  case kNumOscWaves: break;
  }
  return false;
}

std::uint64_t MaskOf(bool b)
{
  return b ? kAllLanes : 0;
}

bool Adds(EnvelopeGenerator::EnvelopeStage s)
{
  return s == EnvelopeGenerator::ENVELOPE_STAGE_ATTACK;
}

bool Multiplies(EnvelopeGenerator::EnvelopeStage s)
{
  return s == EnvelopeGenerator::ENVELOPE_STAGE_DECAY || s == EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;
}

void GatherEnvelope(const EnvelopeGenerator::Lane& l, RunLanes::EnvelopeRecord& e, int lane)
{
  e.attack[lane] = MaskOf(Adds(l.stage));
  e.multiplying[lane] = MaskOf(Multiplies(l.stage));
  e.level[lane] = l.level;
  e.multiplier[lane] = l.multiplier;
  e.normalisedLevel[lane] = l.normalisedLevel;
  e.output[lane] = l.output;
  e.minimum[lane] = l.minimumLevel;
}
}  // namespace

void Voice::GatherCutoff(const FilterContainer& f, RunLanes::CutoffRecord& c, int lane)
{
  const FilterContainer::CutoffLane l = f.GetCutoffLane();
  c.amount[lane] = l.envAmount;
  c.base[lane] = l.baseCutoff;
  c.sent[lane] = l.sentCutoff;
  GatherEnvelope(l.envelope, c.envelope, lane);
  c.envMoves[lane] = MaskOf(l.envAmount != 0.0);
  c.glideOn[lane] = MaskOf(l.glideActive);
  c.glideStep[lane] = l.glideStep;
  c.glides = c.glides || l.glideActive;
  c.shiver[lane] = l.shiver;
  c.shivers = c.shivers || l.shiver != 0.0;
  c.wasModulated[lane] = MaskOf(l.wasModulated);
}

namespace
{
// The frames a glide keeps gliding before the one on which it arrives (which
// ends it, and goes frame by frame), at most maxFrames.
int FramesBeforeGlideArrives(double value, double step, double target, int maxFrames)
{
  for (int n = 0; n < maxFrames; ++n)
  {
    value += step;
    if ((target - value) * step < Voice::kGlideEndEpsilon) return n;
  }
  return maxFrames;
}
}  // namespace

int Voice::FramesItCanRun(int maxFrames, const RunWalks& walks) const
{
  // A walking tune shiver raises a step by at most a semitone (2^(1/12)).
  constexpr double kMostTuneShiverFactor = 1.06;
  const double stepGrowth = walks.tune ? kMostTuneShiverFactor : 1.0;
  bool sounding = false;
  int frames = maxFrames;
  if (mVelGlideOn) frames = FramesBeforeGlideArrives(mVelocity, mVelGlideStep, mVelGlideTarget, frames);
  if (mFreqGlideOn) frames = FramesBeforeGlideArrives(mFrequency, mFreqGlideStep, mFreqGlideTarget, frames);
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!mData->oscOn[osc]) continue;
    const Oscillator& o = *mOsc[osc];
    // A soft restart's crossfade the runs compute in the hard sync's slave.
    const bool crossfading = o.IsDeclickActive() && o.IsPlainButForDeclick() && mData->hardSyncSoftLength > 0 &&
                             osc == 1 - (mData->hardSyncMaster - 1);
    if (!RunsWave(o.GetWave()) || (o.IsDeclickActive() && !crossfading) || mDeclicker[osc]->IsActive()) return 0;
    if (mData->oversampling[osc] >= 2.0 && !o.HasOversamplingFilter()) return 0;
    // The lanes wrap the phase by one subtraction, which needs a step and a
    // phase below the period (false for NaN as well).
    const double period = o.GetPhasePeriod();
    const double step = walks.tune ? o.GetPhaseIncrement() * stepGrowth : o.GetPlainStep();
    if (!(step >= 0.0 && step < period && o.GetPhase() >= 0.0 && o.GetPhase() < period)) return 0;
    if (mFreqGlideOn)
    {
      // The step glides towards the target's, and stays between the two. A
      // tempo-bound bend window would follow the frequency too.
      const double factor = walks.tune ? stepGrowth : o.GetShiverFactor();
      const double target = mFreqGlideTarget * o.GetPitchFactor() * o.GetRateFactor() * factor;
      if (!(target >= 0.0 && target < period) || o.GetBendSpanOrigin() == kBendSpanBpm) return 0;
    }
    if (mData->filterOn[osc])
    {
      const FilterContainer& f = *mFilter[osc];
      if (f.CutoffMayMove() || walks.cutoff) frames = f.FramesCutoffCanRun(frames, walks.cutoff);
    }
    const EnvelopeGenerator& e = *mAmpEnv[osc];
    sounding = sounding || e.GetCurrentStage() != EnvelopeGenerator::ENVELOPE_STAGE_OFF;
    frames = std::min(frames, e.SamplesLeftInStage());
  }
  // A voice whose envelopes are all off goes silent after its next frame.
  return sounding ? frames : 0;
}

void Voice::GatherBend(const Oscillator& o, RunLanes::BendRecord& b, int lane)
{
  const bool on = o.GetBendExponent() != 1.0 && o.GetInverseBendWindow() != 0.0;
  b.on[lane] = MaskOf(on);
  if (!on) return;
  const double window = o.GetBendWindow();
  const Oscillator::PowerTerms terms = Oscillator::PowerTermsOf(o.GetBendExponent());
  b.window[lane] = window;
  b.inverseWindow[lane] = o.GetInverseBendWindow();
  b.inverted[lane] = MaskOf(terms.inverted);
  b.raised[lane] = MaskOf(terms.raised);
  b.squarings[lane] = terms.squarings;
  b.blend[lane] = terms.blend;
  b.read = true;
  b.repeats = b.repeats || !(b.spanNote && window >= PlugC::twoPi);
  b.mostSquarings = std::max(b.mostSquarings, terms.squarings);
}

Voice::RunShape Voice::GetRunShape(const RunWalks& walks) const
{
  // What a slot that is off, or a filter that is off, holds does not count.
  RunShape shape = {};
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!mData->oscOn[osc]) continue;
    shape.wave[osc] = mOsc[osc]->GetWave();
    shape.phasePeriod[osc] = mOsc[osc]->GetPhasePeriod();
    shape.bendSymmetry[osc] = mOsc[osc]->GetBendSymmetry();
    shape.bendSpanOrigin[osc] = mOsc[osc]->GetBendSpanOrigin();
    if (!mData->filterOn[osc]) continue;
    shape.model[osc] = mFilter[osc]->GetFilter()->GetKind();
    shape.passType[osc] = mFilter[osc]->GetFilter()->GetPassType();
    shape.cutoffMoves[osc] = mFilter[osc]->CutoffMayMove() || walks.cutoff;
  }
  return shape;
}

void Voice::GatherRun(int osc, RunLanes::Slot& s, int lane) const
{
  const Oscillator& o = *mOsc[osc];
  RunLanes::OscillatorRecord& r = s.osc;
  r.phase[lane] = o.GetPhase();
  r.step[lane] = o.GetPlainStep();
  r.shape[lane] = o.GetWave() == kOscSinc ? o.GetSincWidth() : o.GetPolysawMix();
  if (r.subSamples > 0)
  {
    const double* history = o.GetOversamplingHistory();
    for (int j = 0; j < RunLanes::kBesselHistory; ++j) r.bessel[j][lane] = history[j];
  }
  if (s.fm.in || mFreqGlideOn || r.shiverWalks)
  {
    r.increment[lane] = o.GetPhaseIncrement();
    r.shiverFactor[lane] = o.GetShiverFactor();
  }
  if (r.shiverWalks) r.shiverFactors[lane] = o.GetShiverFactor();
  GatherBend(o, s.bend, lane);
  GatherGlide(osc, s.glide, lane);
  if (s.fm.in) s.fm.previous[lane] = PreviousFmSource(osc);
  if (s.sync.in)
  {
    RunLanes::SyncRecord& sync = s.sync;
    sync.previous[lane] = *mSyncTapPrevious[1 - osc];
    sync.crossings[lane] = mSyncCrossings;
    sync.restartPhase[lane] = o.GetRestartPhase();
    sync.declickOn[lane] = o.IsDeclickActive() ? 1.0 : 0.0;
    sync.declickCounter[lane] = o.GetDeclickCounter();
    sync.declickLength[lane] = o.GetDeclickLength();
    sync.lastOutput[lane] = o.GetLastOutput();
  }
  RunLanes::AmRecord& am = s.am;
  am.halfProduct[lane] = 0.5 * mOscAmProduct[osc];
  if (am.in)
  {
    am.carrierPre[lane] = MaskOf(mOscAmCarrierTap[osc] == &mPre[osc]);
    am.level[lane] = mOscAmLevel[osc];
    am.product[lane] = mOscAmProduct[osc];
  }
  if (am.out) am.modulatorPre[lane] = MaskOf(mOscAmModulatorTap[1 - osc] == &mPre[osc]);
  const DCremove& dc = *mDCRemover[osc];
  s.dc.a[lane] = dc.GetCoefficient();
  s.dc.x1[lane] = dc.GetLastInput();
  s.dc.y1[lane] = dc.GetLastOutput();
  s.dc.weight[lane] = dc.GetWeight();
  if (s.filter.on) GatherFilter(*mFilter[osc], s.filter, lane);
  GatherEnvelope(mAmpEnv[osc]->GetLane(), s.amp, lane);
  RunLanes::OutputRecord& out = s.output;
  out.previousPost[lane] = mPrevPost[osc];
  out.limiterThreshold[lane] = mLimiter[osc]->GetThreshold();
  out.limiterKnee[lane] = mLimiter[osc]->GetKnee();
  out.velocityFactor[lane] = mVelocityFactor;
  out.panLefts[lane] = mPan[osc][0];
  out.panRights[lane] = mPan[osc][1];
  if (out.external) out.inputModPre[lane] = MaskOf(mInputModTap[osc] == &mPre[osc]);
}

void Voice::GatherGlide(int osc, RunLanes::GlideRecord& g, int lane) const
{
  // A lane that does not glide leaves the rest unread.
  g.pitchOn[lane] = MaskOf(mFreqGlideOn);
  g.velocityOn[lane] = MaskOf(mVelGlideOn);
  if (mFreqGlideOn)
  {
    g.frequency[lane] = mFrequency;
    g.frequencyStep[lane] = mFreqGlideStep;
    g.pitchFactor[lane] = mOsc[osc]->GetPitchFactor();
    g.rateFactor[lane] = mOsc[osc]->GetRateFactor();
  }
  if (mVelGlideOn)
  {
    g.velocity[lane] = mVelocity;
    g.velocityStep[lane] = mVelGlideStep;
  }
  g.on = g.on || mFreqGlideOn || mVelGlideOn;
}

void Voice::GatherFilter(const FilterContainer& container, RunLanes::FilterRecord& f, int lane)
{
  const FilterZK* filter = container.GetFilter();
  DispatchFilterModel(FilterModel(f.model), [&](auto model) {
    using Model = FilterClassOf<model()>;
    const Model& m = *static_cast<const Model*>(filter);
    GatherFields(m.GetLane(), f.fields, lane);
    if constexpr (requires { m.IsDriven(); }) f.driven = f.driven || m.IsDriven();
  });
  if (f.cutoff.moves) GatherCutoff(container, f.cutoff, lane);
}

void Voice::FinishRunSlot(int osc, const RunLanes::Slot& s, int lane, int frames)
{
  const RunLanes::OutputRecord& out = s.output;
  mOsc[osc]->FinishPlainRun(s.osc.phase[lane], out.wave[lane]);
  if (s.osc.subSamples > 0)
  {
    double history[RunLanes::kBesselHistory];
    for (int j = 0; j < RunLanes::kBesselHistory; ++j) history[j] = s.osc.bessel[j][lane];
    mOsc[osc]->SetOversamplingHistory(history);
  }
  if (mData->dcRemoverOn[osc]) mDCRemover[osc]->SetMemory(s.dc.x1[lane], s.dc.y1[lane], s.dc.weight[lane]);
  if (mData->filterOn[osc])
  {
    FilterZK* filter = mFilter[osc]->GetFilter();
    const RunLanes::CutoffRecord& c = s.filter.cutoff;
    const LaneFields run = {&s.filter.fields[0][lane], c.moves};
    DispatchFilterModel(FilterModel(s.filter.model),
                        [&](auto model) { static_cast<FilterClassOf<model()>*>(filter)->FinishRun(run); });
    if (c.moves)
    {
      const int last = c.shiverWalks ? frames - 1 : 0;
      const double lastShiver = c.shivers ? c.shiver[last * RunLanes::kMaxVoices + lane] : 0.0;
      mFilter[osc]->FinishCutoffRun(frames, c.envelope.level[lane], c.envelope.normalisedLevel[lane],
                                    c.envelope.output[lane], c.sent[lane], c.base[lane], lastShiver);
    }
  }
  if (s.sync.in) mSyncCrossings = static_cast<int>(s.sync.crossings[lane]);
  if (s.sync.in && s.sync.softLength > 0)
    mOsc[osc]->FinishDeclickRun(s.sync.declickOn[lane] > 0.0, static_cast<int>(s.sync.declickCounter[lane]),
                                static_cast<int>(s.sync.declickLength[lane]));
  if (s.am.in)
  {
    mOscAmLevel[osc] = s.am.level[lane];
    mOscAmProduct[osc] = s.am.product[lane];
  }
  mAmpEnv[osc]->FinishRun(frames, s.amp.level[lane], s.amp.normalisedLevel[lane], s.amp.output[lane]);
  if (mFreqGlideOn) mFrequency = s.glide.frequency[lane];
  if (mVelGlideOn)
  {
    mVelocity = s.glide.velocity[lane];
    mVelocityFactor = out.velocityFactor[lane];
  }
  mPre[osc] = out.pre[lane];
  mPost[osc] = out.post[lane];
  mOut[osc][0] = out.out[lane];
  mOut[osc][1] = out.external ? out.outRight[lane] : out.out[lane];
  mAmpEnvOut[osc] = s.amp.output[lane];
  mAmplitude[osc] = out.amplitude[lane];
  // Not fading, the declicker only remembers the pair.
  mDeclicker[osc]->Process(mOut[osc]);
}

void Voice::FinishRun()
{
  // The increments as the glide's last frame set them.
  if (mFreqGlideOn)
    for (int osc = 0; osc < kNumOscs; ++osc) mOsc[osc]->SetFrequency(mFrequency);
  for (double& fm : mFm) fm = 0.0;
  RememberSample();
}
