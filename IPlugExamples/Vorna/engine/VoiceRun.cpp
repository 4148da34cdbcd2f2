#include "Voice.h"

#include "filters/BiquadZK.h"
#include "DCremove.h"
#include "filters/DiodeLadderZDF.h"
#include "Declicker.h"
#include "filters/FilterContainer.h"
#include "filters/FormantFltZK.h"
#include "SoftLimiter.h"
#include "filters/TransistorLadderZDF.h"
#include "VoiceDataSingleton.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>

static_assert(offsetof(TransistorLadderState<double>, s1) == RunLanes::kLadderS1 * sizeof(double) &&
                offsetof(TransistorLadderState<double>, feedback) == RunLanes::kLadderFeedback * sizeof(double) &&
                offsetof(TransistorLadderState<double>, blockerState) == RunLanes::kLadderBlockerState * sizeof(double),
              "the ladder's lanes hold its fields in its order");
static_assert(offsetof(DiodeLadderState<double>, s1) == RunLanes::kDiodeS1 * sizeof(double) &&
                offsetof(DiodeLadderState<double>, k0) == RunLanes::kDiodeK0 * sizeof(double) &&
                offsetof(DiodeLadderState<double>, blockerState) == RunLanes::kDiodeBlockerState * sizeof(double),
              "the moog's lanes hold its fields in its order");
static_assert(offsetof(StateVariableState<double>, s1) == RunLanes::kSvfS1 * sizeof(double) &&
                offsetof(StateVariableState<double>, r) == RunLanes::kSvfR * sizeof(double) &&
                offsetof(StateVariableState<double>, q) == RunLanes::kSvfQ * sizeof(double),
              "the reson's lanes hold its fields in its order");

namespace
{
constexpr std::uint64_t kAllLanes = ~std::uint64_t(0);
}

namespace
{
// A model's Lane, a struct of N doubles in the order of the lanes' fields, into
// and out of lane `lane` of those fields.
template <class Lane, int N>
void GatherFields(const Lane& l, double (&fields)[N][RunLanes::kMaxVoices], int lane)
{
  static_assert(sizeof(Lane) == N * sizeof(double), "one double per field");
  const auto values = std::bit_cast<std::array<double, N>>(l);
  for (int f = 0; f < N; ++f) fields[f][lane] = values[f];
}

template <class Lane, int N>
Lane FieldsOf(const double (&fields)[N][RunLanes::kMaxVoices], int lane)
{
  static_assert(sizeof(Lane) == N * sizeof(double), "one double per field");
  std::array<double, N> values;
  for (int f = 0; f < N; ++f) values[f] = fields[f][lane];
  return std::bit_cast<Lane>(values);
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

void Voice::GatherBiquad(const BiquadZK& biquad, RunLanes::Slot& s, int lane)
{
  const BiquadZK::Lane b = biquad.GetLane();
  s.b0[lane] = b.b0;
  s.b1[lane] = b.b1;
  s.b2[lane] = b.b2;
  s.a1[lane] = b.a1;
  s.a2[lane] = b.a2;
  s.z1[lane] = b.z1;
  s.z2[lane] = b.z2;
  s.blockerCoefficient[lane] = b.blockerCoefficient;
  s.blockerState[lane] = b.blockerState;
  s.normalisedFreq[lane] = b.normalisedFreq;
  s.q[lane] = b.q;
  s.peakFactor[lane] = b.peakFactor;
  const BiquadZK::DriveLane d = biquad.GetDriveLane();
  s.biquadDrive[lane] = d.drive;
  s.biquadDriveBlend[lane] = d.blend;
  s.biquadDriveNormaliser[lane] = d.normaliser;
  s.biquadResonancePow8[lane] = d.resonancePow8;
  s.biquadDriven = s.biquadDriven || d.drive > 0.0;
}

void Voice::GatherFormant(const FormantFltZK& formant, RunLanes::Slot& s, int lane)
{
  using namespace RunLanes;
  for (int i = 0; i < kFormantBands; ++i)
  {
    const BiquadZK::Lane b = formant.GetBand(i).GetLane();
    double(*band)[kMaxVoices] = s.formant + i * kBandFields;
    band[kBandB0][lane] = b.b0;
    band[kBandB1][lane] = b.b1;
    band[kBandB2][lane] = b.b2;
    band[kBandA1][lane] = b.a1;
    band[kBandA2][lane] = b.a2;
    band[kBandZ1][lane] = b.z1;
    band[kBandZ2][lane] = b.z2;
    band[kBandBlockerCoefficient][lane] = b.blockerCoefficient;
    band[kBandBlockerState][lane] = b.blockerState;
    band[kBandAmp][lane] = formant.GetAmp(i);
  }
  GatherFields(formant.GetBandPassSvf().GetLane(), s.formantSvf[0], lane);
  GatherFields(formant.GetHighPassSvf().GetLane(), s.formantSvf[1], lane);
  s.formantDriveGain[lane] = formant.GetDriveGain();
  s.formantDriveNormaliser[lane] = formant.GetDriveNormaliser();
  s.formantDriven = s.formantDriven || formant.IsDriven();
  s.formantVoiceBlend[lane] = formant.GetVoiceBlend();
  s.formantShift[lane] = formant.GetShift();
  s.formantBandQ[lane] = formant.GetBand(0).GetLane().q;
}

void Voice::FinishFormant(FormantFltZK& formant, const RunLanes::Slot& s, int lane)
{
  using namespace RunLanes;
  // Retuning from the cutoff last sent computes again what the lanes computed
  // from it, and the state-variable filters the drive would use as well.
  if (s.cutoffMoves) formant.SetFreq(s.sentCutoff[lane]);
  for (int i = 0; i < kFormantBands; ++i)
  {
    const double(*band)[kMaxVoices] = s.formant + i * kBandFields;
    formant.SetBandStates(i, band[kBandZ1][lane], band[kBandZ2][lane], band[kBandBlockerState][lane]);
  }
  if (formant.IsDriven())
    formant.FinishDriveRun(FieldsOf<StateVariableZDF::Lane>(s.formantSvf[0], lane),
                           FieldsOf<StateVariableZDF::Lane>(s.formantSvf[1], lane));
}

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
    if (s.model == RunLanes::kReson)
      GatherFields(static_cast<const StateVariableZDF*>(filter)->GetLane(), s.svf, lane);
    else if (s.model == RunLanes::kMoog)
      GatherFields(static_cast<const DiodeLadderZDF*>(filter)->GetLane(), s.diode, lane);
    else if (s.model == RunLanes::kTLadder)
      GatherFields(static_cast<const TransistorLadderZDF*>(filter)->GetLane(), s.ladder, lane);
    else if (s.model == RunLanes::kFormant)
      GatherFormant(*static_cast<const FormantFltZK*>(filter), s, lane);
    else
      GatherBiquad(*static_cast<const BiquadZK*>(mFilter[osc]->GetFilter()), s, lane);
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
    if (s.model == RunLanes::kReson)
      static_cast<StateVariableZDF*>(filter)->FinishRun(FieldsOf<StateVariableZDF::Lane>(s.svf, lane));
    else if (s.model == RunLanes::kMoog)
      static_cast<DiodeLadderZDF*>(filter)->FinishRun(FieldsOf<DiodeLadderZDF::Lane>(s.diode, lane));
    else if (s.model == RunLanes::kTLadder)
      static_cast<TransistorLadderZDF*>(filter)->FinishRun(FieldsOf<TransistorLadderZDF::Lane>(s.ladder, lane));
    else if (s.model == RunLanes::kFormant)
      FinishFormant(*static_cast<FormantFltZK*>(filter), s, lane);
    else
    {
      BiquadZK& biquad = *static_cast<BiquadZK*>(mFilter[osc]->GetFilter());
      biquad.SetStates(s.z1[lane], s.z2[lane], s.blockerState[lane]);
      if (s.cutoffMoves)
        biquad.SetMovedCoefficients(s.b0[lane], s.b1[lane], s.b2[lane], s.a1[lane], s.a2[lane],
                                    s.normalisedFreq[lane]);
      if (s.cutoffMoves) biquad.SetMovedDriveBlend(s.biquadDriveBlend[lane], s.biquadDriveNormaliser[lane]);
    }
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
