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

namespace
{
constexpr std::uint64_t kAllLanes = ~std::uint64_t(0);
}

namespace
{
// A model's Lane, a struct of doubles (its fields named once, in order), into
// lane `lane` of the slot's filter rows, field by field.
template <class Lane>
void GatherFields(const Lane& l, double (*rows)[RunLanes::kMaxVoices], int lane)
{
  constexpr int n = sizeof(Lane) / sizeof(double);
  static_assert(n * sizeof(double) == sizeof(Lane) && n <= RunLanes::kFilterRows, "a row for every field");
  const unsigned char* fields = reinterpret_cast<const unsigned char*>(&l);
#pragma GCC unroll 80
  for (int f = 0; f < n; ++f) std::memcpy(&rows[f][lane], fields + f * sizeof(double), sizeof(double));
}

// The waveforms the lanes compute.
bool RunsWave(OscWave w)
{
  return w == kOscSine || w == kOscSaw || w == kOscSquare || w == kOscTri || w == kOscSinc || w == kOscPolysaw;
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
}  // namespace

void Voice::GatherCutoff(const FilterContainer& f, RunLanes::Slot& s, int lane)
{
  const FilterContainer::CutoffLane c = f.GetCutoffLane();
  s.envAmount[lane] = c.envAmount;
  s.baseCutoff[lane] = c.baseCutoff;
  s.sentCutoff[lane] = c.sentCutoff;
  s.fltEnvAttack[lane] = MaskOf(Adds(c.envelope.stage));
  s.fltEnvMultiplying[lane] = MaskOf(Multiplies(c.envelope.stage));
  s.fltEnvLevel[lane] = c.envelope.level;
  s.fltEnvMultiplier[lane] = c.envelope.multiplier;
  s.fltEnvNormalisedLevel[lane] = c.envelope.normalisedLevel;
  s.fltEnvOutput[lane] = c.envelope.output;
  s.fltEnvMinimum[lane] = c.envelope.minimumLevel;
  s.envMoves[lane] = MaskOf(c.envAmount != 0.0);
  s.cutoffGlideOn[lane] = MaskOf(c.glideActive);
  s.cutoffGlideStep[lane] = c.glideStep;
  s.cutoffGlides = s.cutoffGlides || c.glideActive;
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

int Voice::FramesItCanRun(int maxFrames) const
{
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
    const double step = o.GetPlainStep();
    if (!(step >= 0.0 && step < period && o.GetPhase() >= 0.0 && o.GetPhase() < period)) return 0;
    if (mFreqGlideOn)
    {
      // The step glides towards the target's, and stays between the two. A
      // tempo-bound bend window would follow the frequency too.
      const double target = mFreqGlideTarget * o.GetPitchFactor() * o.GetRateFactor() * o.GetShiverFactor();
      if (!(target >= 0.0 && target < period) || o.GetBendSpanOrigin() == kBendSpanBpm) return 0;
    }
    if (mData->filterOn[osc])
    {
      const FilterContainer& f = *mFilter[osc];
      if (f.CutoffMayMove()) frames = f.FramesCutoffCanRun(frames);
    }
    const EnvelopeGenerator& e = *mAmpEnv[osc];
    sounding = sounding || e.GetCurrentStage() != EnvelopeGenerator::ENVELOPE_STAGE_OFF;
    frames = std::min(frames, e.SamplesLeftInStage());
  }
  // A voice whose envelopes are all off goes silent after its next frame.
  return sounding ? frames : 0;
}

void Voice::GatherBend(const Oscillator& o, RunLanes::Slot& s, int lane)
{
  const bool on = o.GetBendExponent() != 1.0 && o.GetInverseBendWindow() != 0.0;
  s.bendOn[lane] = MaskOf(on);
  if (!on) return;
  const double window = o.GetBendWindow();
  const Oscillator::PowerTerms terms = Oscillator::PowerTermsOf(o.GetBendExponent());
  s.bendWindow[lane] = window;
  s.bendInverseWindow[lane] = o.GetInverseBendWindow();
  s.bendInverted[lane] = MaskOf(terms.inverted);
  s.bendRaised[lane] = MaskOf(terms.raised);
  s.bendSquarings[lane] = terms.squarings;
  s.bendBlend[lane] = terms.blend;
  s.bendRead = true;
  s.bendRepeats = s.bendRepeats || !(s.bendSpanNote && window >= PlugC::twoPi);
  s.bendMostSquarings = std::max(s.bendMostSquarings, terms.squarings);
}

Voice::RunShape Voice::GetRunShape() const
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
    shape.cutoffMoves[osc] = mFilter[osc]->CutoffMayMove();
  }
  return shape;
}

void Voice::GatherRun(int osc, RunLanes::Slot& s, int lane) const
{
  const Oscillator& o = *mOsc[osc];
  s.phase[lane] = o.GetPhase();
  s.step[lane] = o.GetPlainStep();
  s.waveShape[lane] = o.GetWave() == kOscSinc ? o.GetSincWidth() : o.GetPolysawMix();
  GatherBend(o, s, lane);
  s.previousPost[lane] = mPrevPost[osc];
  if (s.syncIn)
  {
    s.syncPrevious[lane] = *mSyncTapPrevious[1 - osc];
    s.syncCrossings[lane] = mSyncCrossings;
    s.restartPhase[lane] = o.GetRestartPhase();
    s.declickOn[lane] = o.IsDeclickActive() ? 1.0 : 0.0;
    s.declickCounter[lane] = o.GetDeclickCounter();
    s.declickLength[lane] = o.GetDeclickLength();
    s.lastOutput[lane] = o.GetLastOutput();
  }
  if (s.subSamples > 0)
  {
    const double* history = o.GetOversamplingHistory();
    for (int j = 0; j < RunLanes::kBesselHistory; ++j) s.bessel[j][lane] = history[j];
  }
  if (s.fmIn || mFreqGlideOn)
  {
    s.phaseIncrement[lane] = o.GetPhaseIncrement();
    s.shiverFactor[lane] = o.GetShiverFactor();
  }
  if (s.fmIn) s.fmPrevious[lane] = PreviousFmSource(osc);
  // A lane that does not glide leaves the rest unread.
  s.pitchGlideOn[lane] = MaskOf(mFreqGlideOn);
  s.velocityGlideOn[lane] = MaskOf(mVelGlideOn);
  if (mFreqGlideOn)
  {
    s.glideFrequency[lane] = mFrequency;
    s.glideFrequencyStep[lane] = mFreqGlideStep;
    s.pitchFactor[lane] = o.GetPitchFactor();
    s.rateFactor[lane] = o.GetRateFactor();
  }
  if (mVelGlideOn)
  {
    s.glideVelocity[lane] = mVelocity;
    s.glideVelocityStep[lane] = mVelGlideStep;
  }
  s.glides = s.glides || mFreqGlideOn || mVelGlideOn;
  s.limiterThreshold[lane] = mLimiter[osc]->GetThreshold();
  s.limiterKnee[lane] = mLimiter[osc]->GetKnee();
  s.halfCarrierProduct[lane] = 0.5 * mOscAmProduct[osc];
  if (s.amIn)
  {
    s.amCarrierPre[lane] = MaskOf(mOscAmCarrierTap[osc] == &mPre[osc]);
    s.amLevel[lane] = mOscAmLevel[osc];
    s.amProduct[lane] = mOscAmProduct[osc];
  }
  if (s.amOut) s.amModulatorPre[lane] = MaskOf(mOscAmModulatorTap[1 - osc] == &mPre[osc]);
  const DCremove& dc = *mDCRemover[osc];
  s.dcA[lane] = dc.GetCoefficient();
  s.dcX1[lane] = dc.GetLastInput();
  s.dcY1[lane] = dc.GetLastOutput();
  s.dcWeight[lane] = dc.GetWeight();
  if (mData->filterOn[osc])
  {
    const FilterZK* filter = mFilter[osc]->GetFilter();
    DispatchFilterModel(FilterModel(s.model), [&](auto model) {
      using Model = FilterClassOf<model()>;
      const Model& m = *static_cast<const Model*>(filter);
      GatherFields(m.GetLane(), s.filter, lane);
      if constexpr (model() == kFltSimple) s.biquadDriven = s.biquadDriven || m.IsDriven();
      if constexpr (model() == kFltFormant) s.formantDriven = s.formantDriven || m.IsDriven();
    });
    if (s.cutoffMoves) GatherCutoff(*mFilter[osc], s, lane);
  }
  const EnvelopeGenerator::Lane e = mAmpEnv[osc]->GetLane();
  s.envAttack[lane] = MaskOf(Adds(e.stage));
  s.envMultiplying[lane] = MaskOf(Multiplies(e.stage));
  s.envLevel[lane] = e.level;
  s.envMultiplier[lane] = e.multiplier;
  s.envNormalisedLevel[lane] = e.normalisedLevel;
  s.envOutput[lane] = e.output;
  s.envMinimum[lane] = e.minimumLevel;
  s.velocityFactor[lane] = mVelocityFactor;
  s.panLeft[lane] = mPan[osc][0];
  s.panRight[lane] = mPan[osc][1];
}

void Voice::FinishRunSlot(int osc, const RunLanes::Slot& s, int lane, int frames)
{
  mOsc[osc]->FinishPlainRun(s.phase[lane], s.wave[lane]);
  if (s.subSamples > 0)
  {
    double history[RunLanes::kBesselHistory];
    for (int j = 0; j < RunLanes::kBesselHistory; ++j) history[j] = s.bessel[j][lane];
    mOsc[osc]->SetOversamplingHistory(history);
  }
  if (mData->dcRemoverOn[osc]) mDCRemover[osc]->SetMemory(s.dcX1[lane], s.dcY1[lane], s.dcWeight[lane]);
  if (mData->filterOn[osc])
  {
    FilterZK* filter = mFilter[osc]->GetFilter();
    const LaneFields run = {&s.filter[0][lane], RunLanes::kMaxVoices, s.cutoffMoves};
    DispatchFilterModel(FilterModel(s.model), [&](auto model) { static_cast<FilterClassOf<model()>*>(filter)->FinishRun(run); });
    if (s.cutoffMoves)
      mFilter[osc]->FinishCutoffRun(frames, s.fltEnvLevel[lane], s.fltEnvNormalisedLevel[lane], s.fltEnvOutput[lane],
                                    s.sentCutoff[lane], s.baseCutoff[lane]);
  }
  if (s.syncIn) mSyncCrossings = static_cast<int>(s.syncCrossings[lane]);
  if (s.syncIn && s.syncSoftLength > 0)
    mOsc[osc]->FinishDeclickRun(s.declickOn[lane] > 0.0, static_cast<int>(s.declickCounter[lane]),
                                static_cast<int>(s.declickLength[lane]));
  if (s.amIn)
  {
    mOscAmLevel[osc] = s.amLevel[lane];
    mOscAmProduct[osc] = s.amProduct[lane];
  }
  mAmpEnv[osc]->FinishRun(frames, s.envLevel[lane], s.envNormalisedLevel[lane], s.envOutput[lane]);
  if (mFreqGlideOn) mFrequency = s.glideFrequency[lane];
  if (mVelGlideOn)
  {
    mVelocity = s.glideVelocity[lane];
    mVelocityFactor = s.velocityFactor[lane];
  }
  mPre[osc] = s.pre[lane];
  mPost[osc] = s.post[lane];
  mOut[osc][0] = mOut[osc][1] = s.out[lane];
  mAmpEnvOut[osc] = s.envOutput[lane];
  mAmplitude[osc] = s.amplitude[lane];
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
