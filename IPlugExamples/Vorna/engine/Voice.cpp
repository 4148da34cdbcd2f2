#include "Voice.h"

#include "DCremove.h"
#include "Declicker.h"
#include "filters/FilterContainer.h"
#include "filters/FilterModels.h"
#include "lanes/SineLanes.h"
#include "SoftLimiter.h"
#include "VoiceDataSingleton.h"
#include "globals.h"

#include <algorithm>

namespace
{
// A voice's limiters pass ±1 untouched and bend louder samples towards ±2.
constexpr double kVoiceLimiterCeiling = 2.0;
constexpr double kVoiceLimiterRange = 1.0;

int Other(int osc)
{
  return 1 - osc;
}
}  // namespace

Voice::Voice()
{
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    SetPanL(osc, kCentrePan);
    SetInputModTap(osc, false);
    SetOscAmCarrierTap(osc, false);
    SetOscAmModulatorTap(osc, false);
  }
  SetHardSyncTaps(false);
}

void Voice::Wire(int index, VoiceDataSingleton* data, const Components& components)
{
  mIndex = index;
  mData = data;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mOsc[osc] = components.oscillator[osc];
    mAmpEnv[osc] = components.ampEnvelope[osc];
    mFilter[osc] = components.filter[osc];
    mLimiter[osc] = components.limiter[osc];
    mDCRemover[osc] = components.dcRemover[osc];
    mDeclicker[osc] = components.declicker[osc];
  }
}

void Voice::SetupComponents()
{
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mLimiter[osc]->SetCeiling(kVoiceLimiterCeiling);
    mLimiter[osc]->SetRange(kVoiceLimiterRange);
    mFilter[osc]->SetFreqRatio(mData->freqRatio[osc], false, 0.0);
    mAmpEnv[osc]->EnableOffSignal(false);
    mDCRemover[osc]->SetCutoff(DCremove::kVoiceCutoff);
  }
}

// --- glides ---

void Voice::GlideFrequency()
{
  mFrequency += mFreqGlideStep;
  if ((mFreqGlideTarget - mFrequency) * mFreqGlideStep < kGlideEndEpsilon)
  {
    mFrequency = mFreqGlideTarget;
    mFreqGlideStep = 0.0;
    mFreqGlideOn = false;
  }
  for (int osc = 0; osc < kNumOscs; ++osc) mOsc[osc]->SetFrequency(mFrequency);
}

void Voice::GlideVelocity()
{
  mVelocity += mVelGlideStep;
  if ((mVelGlideTarget - mVelocity) * mVelGlideStep < kGlideEndEpsilon)
  {
    mVelocity = mVelGlideTarget;
    mVelGlideStep = 0.0;
    mVelGlideOn = false;
  }
  mVelocityFactor = mVelocity * kVelocityScale;
}

void Voice::SetVelocityGlide(double velocity, double samples)
{
  mVelGlideTarget = velocity;
  if (velocity == mVelocity) return;
  const double n = samples != 0.0 ? samples : PlugG::shortestGT;
  mVelGlideStep = (velocity - mVelocity) / n;
  mVelGlideOn = true;
}

void Voice::SetFrequencyGlideAndNoteNum(int note, double samples)
{
  mNote = note;
  mFreqGlideTarget = mData->noteFrequencies[note];
  for (int osc = 0; osc < kNumOscs; ++osc) mFilter[osc]->SetVoiceFAndGlideTime(mFreqGlideTarget, samples, mActive);
  if (mFreqGlideTarget == mFrequency) return;
  // No glide time: the whole way in one step, so the target is reached on the next sample.
  const double n = samples > 0.0 ? samples : 1.0;
  mFreqGlideStep = (mFreqGlideTarget - mFrequency) / n;
  mFreqGlideOn = true;
}

void Voice::SetFrequencyAndVelocityGlide(int note, double velocity, double samples)
{
  SetFrequencyGlideAndNoteNum(note, samples);
  SetVelocityGlide(velocity, samples);
}

void Voice::StopFrequencyGlide()
{
  // The oscillators keep the pitch they have reached; the voice records the
  // target as its frequency, so a later glide starts from the note.
  mFrequency = mFreqGlideTarget;
  mFreqGlideStep = 0.0;
  mFreqGlideOn = false;
}

void Voice::ScaleGlideSteps(double ratio)
{
  mFreqGlideStep *= ratio;
  mVelGlideStep *= ratio;
}

void Voice::StartNote(int note, double velocity)
{
  Reset();
  mNote = note;
  mFrequency = mFreqGlideTarget = mData->noteFrequencies[note];
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mOsc[osc]->SetFrequency(mFrequency);
    mFilter[osc]->SetVoiceFAndGlideTime(mFrequency, 1.0, mActive);
  }
  mVelocity = mVelGlideTarget = velocity;
  mVelocityFactor = velocity * kVelocityScale;
}

void Voice::ApplyPitchWheelFactor(double factor)
{
  for (int osc = 0; osc < kNumOscs; ++osc) mOsc[osc]->SetPitchFactor(factor);
}

// --- rendering ---

double Voice::FmValue(int osc, double* const* fmAux, const double* fmAuxEnv) const
{
  // Without FM the value would be a signed zero, or NaN from a NaN source; the
  // oscillator reads all of these as no modulation.
  if (mData->fmAmount[osc] == 0.0) return 0.0;
  const int other = Other(osc);
  double v;
  switch (mData->fmSource[osc])
  {
    case VoiceDataSingleton::kFmFilter:
    case VoiceDataSingleton::kFmEnvelope:
      v = PreviousFmSource(osc);
      break;
    case VoiceDataSingleton::kFmAux:
      v = *fmAux[osc];
      break;
    case VoiceDataSingleton::kFmAuxEnv:
      v = fmAuxEnv[osc];
      break;
    case VoiceDataSingleton::kFmOsc:
    default:
      v = mPrevPre[other];
      break;
  }
  return std::clamp(v * mData->fmAmount[osc], -kFmLimit, kFmLimit);
}

double Voice::PreviousFmSource(int osc) const
{
  const int other = Other(osc);
  switch (mData->fmSource[osc])
  {
    case VoiceDataSingleton::kFmFilter: return mPrevPost[other];
    case VoiceDataSingleton::kFmEnvelope: return mPrevPre[other] * mAmpEnvOut[other];
    default: return mPrevPre[other];
  }
}

void Voice::GatherPlainSines(Voice* const* voices, int count, int osc, bool* inLanes, double* value)
{
  // Only the first n of each are written and read; clearing them would cost
  // every frame what the lanes save.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
  double phases[kMaxBatch], sines[kMaxBatch];
  int n = 0;
  for (int i = 0; i < count; ++i)
  {
    Oscillator& o = *voices[i]->mOsc[osc];
    inLanes[i] = o.GetWave() == kOscSine && o.IsPlain();
    if (inLanes[i]) phases[n++] = o.TakePlainPhase();
  }
  // Mostly every voice is in the lanes, and the values land in place.
  if (n == count)
  {
    SineLanes::SinesOfCycle(phases, value, n);
    return;
  }
  SineLanes::SinesOfCycle(phases, sines, n);
#pragma GCC diagnostic pop
  for (int i = 0, k = 0; i < count; ++i)
    if (inLanes[i]) value[i] = sines[k++];
}

template <OscWave W>
void Voice::SourceStage(Voice* const* voices, int count, int osc, double* s)
{
  const VoiceDataSingleton& d = *voices[0]->mData;
  const double N = d.oversampling[osc];
  const double subStep = d.oversamplingSubStep[osc];
  const double feedback = d.feedback[osc];
  const bool carrierFilter = d.carrierFilter[osc];
  const bool dcRemoverOn = d.dcRemoverOn[osc];
  // Without FM and oversampling, an oscillator that is plain needs only its short path.
  const bool plainSlot = N < 2.0 && d.fmAmount[osc] == 0.0;
  // The plain sines side by side: their phases gathered, their values computed
  // several per instruction, each exactly as NextPlainSample computes it.
  // A voice alone fills no lanes.
  bool gathered = false;
  double laneValue[kMaxBatch];
  bool inLanes[kMaxBatch];
  if constexpr (W == kOscSine)
  {
    gathered = plainSlot && count >= kMinLaneBatch;
    if (gathered) GatherPlainSines(voices, count, osc, inLanes, laneValue);
  }
  for (int i = 0; i < count; ++i)
  {
    Voice& v = *voices[i];
    Oscillator& o = *v.mOsc[osc];
    double x;
    if (gathered && inLanes[i])
    {
      x = laneValue[i];
      o.FinishPlainSample(x);
    }
    else if (o.GetWave() != W)
      x = o.NextSample(v.mFm[osc], N, subStep);
    else if (plainSlot && o.IsPlain())
      x = o.NextPlainSample<W>();
    else
      x = o.NextSampleOf<W>(v.mFm[osc], N, subStep);
    if (feedback != 0.0) x += feedback * v.mPrevPost[osc];
    // The oscillator-AM product of the last sample, taken through the filter.
    if (carrierFilter) x += (x + 1.0) * (0.5 * v.mOscAmProduct[osc]);
    x = v.mLimiter[osc]->Process(x);
    if (dcRemoverOn) x = v.mDCRemover[osc]->Process(x);
    v.mPre[osc] = x;
    s[i] = x;
  }
}

inline void Voice::AfterFilter(int osc, double x, double volume, bool externalAm)
{
  x = mLimiter[osc]->Process(x);
  mPost[osc] = x;
  mOut[osc][0] = mOut[osc][1] = x * volume;
  if (externalAm) ExternalAm(osc);
  mAmpEnvOut[osc] = mAmpEnv[osc]->NextSample();
  mAmplitude[osc] = mAmpEnvOut[osc] * mVelocityFactor;
}

template <class Model>
void Voice::FilterStage(Voice* const* voices, int count, int osc, const double* s, double volume, bool externalAm)
{
  // Every cutoff first: the voices' coefficient updates do not wait on each other's filtering.
  for (int i = 0; i < count; ++i) voices[i]->mFilter[osc]->template ModulateAs<Model>();
  for (int i = 0; i < count; ++i)
  {
    Voice& v = *voices[i];
    v.AfterFilter(osc, v.mFilter[osc]->ProcessModulatedAs<Model>(s[i]), volume, externalAm);
  }
}

void Voice::RenderSlot(Voice* const* voices, int count, int osc)
{
  for (; count > kMaxBatch; voices += kMaxBatch, count -= kMaxBatch) RenderBatch(voices, kMaxBatch, osc);
  if (count > 0) RenderBatch(voices, count, osc);
}

void Voice::RenderBatch(Voice* const* voices, int count, int osc)
{
  const VoiceDataSingleton& d = *voices[0]->mData;
  double s[kMaxBatch];

  DispatchWave(voices[0]->mOsc[osc]->GetWave(), [&](auto wave) { SourceStage<wave()>(voices, count, osc, s); });

  // The filter, then the limiter, output pair, external AM and envelope.
  const double volume = d.volume[osc];
  const bool externalAm = d.noiseAmount[osc] > 0.0 || d.inputAmount[osc] > 0.0;
  if (!d.filterOn[osc])
  {
    for (int i = 0; i < count; ++i) voices[i]->AfterFilter(osc, s[i], volume, externalAm);
    return;
  }
  const FilterModel model = voices[0]->mFilter[osc]->GetFilter()->GetKind();
  if (model == kFltOther)
  {
    for (int i = 0; i < count; ++i)
      voices[i]->AfterFilter(osc, voices[i]->mFilter[osc]->Process(s[i]), volume, externalAm);
    return;
  }
  DispatchFilterModel(model, [&](auto m) { FilterStage<FilterClassOf<m()>>(voices, count, osc, s, volume, externalAm); });
}

void Voice::ExternalAm(int osc)
{
  const VoiceDataSingleton& d = *mData;
  if (!(d.noiseAmount[osc] > 0.0) && !(d.inputAmount[osc] > 0.0)) return;
  const double depth = d.amDepth[osc];
  double* out = mOut[osc];
  if (depth > 0.0)
  {
    const double e = d.amThreshold[osc].Level(*mInputModTap[osc]);
    if (e != 0.0)
    {
      mExtAm[osc][0] = e * d.modulatedMix[osc][0];
      mExtAm[osc][1] = e * d.modulatedMix[osc][1];
      out[0] += mExtAm[osc][0];
      out[1] += mExtAm[osc][1];
    }
  }
  if (depth < 1.0)
  {
    out[0] += d.directMix[osc][0];
    out[1] += d.directMix[osc][1];
  }
}

void Voice::OscAmpModOf(int carrier)
{
  const VoiceDataSingleton& d = *mData;
  const double amount = d.oscAmAmount[carrier];
  if (amount == 0.0) return;
  const int modulator = Other(carrier);
  const double level = d.oscAmThreshold[carrier].Level(*mOscAmModulatorTap[carrier]);
  if (level == 0.0)
  {
    mOscAmLevel[carrier] = 0.0;
    mOscAmProduct[carrier] = 0.0;
    return;
  }
  const double e = level * amount;
  mOscAmLevel[carrier] = e;
  mOscAmProduct[carrier] = *mOscAmCarrierTap[carrier] * e * mAmpEnvOut[modulator];
  double* out = mOut[carrier];
  if (d.addExtToOscAm[carrier])
  {
    out[0] += mExtAm[modulator][0] * e;
    out[1] += mExtAm[modulator][1] * e;
  }
  if (!d.carrierFilter[carrier])
  {
    out[0] += mOscAmProduct[carrier];
    out[1] += mOscAmProduct[carrier];
  }
}

void Voice::OscAmpMod()
{
  OscAmpModOf(0);
  OscAmpModOf(1);
}

void Voice::HardSync()
{
  const int master = mData->hardSyncMaster - 1;
  if (master < 0 || master >= kNumOscs) return;
  // A product at or below 0 is a zero crossing of the master.
  if (*mSyncTapCurrent[master] * *mSyncTapPrevious[master] > 0.0) return;
  if (++mSyncCrossings < mData->hardSyncPeriod) return;
  mSyncCrossings = 0;
  Oscillator& slave = *mOsc[Other(master)];
  slave.RestartPhase();
  if (mData->hardSyncSoftLength > 0) slave.StartDeclick(mData->hardSyncSoftLength);
}

void Voice::BeginSample(Voice* const* voices, int count, double* const* fmAux, const double* fmAuxEnv)
{
  const VoiceDataSingleton& d = *voices[0]->mData;
  const bool fm[kNumOscs] = {d.fmAmount[0] != 0.0, d.fmAmount[1] != 0.0};
  for (int i = 0; i < count; ++i)
  {
    Voice& v = *voices[i];
    v.Zero();
    if (v.mFreqGlideOn) v.GlideFrequency();
    if (v.mVelGlideOn) v.GlideVelocity();
    for (int osc = 0; osc < kNumOscs; ++osc) v.mFm[osc] = fm[osc] ? v.FmValue(osc, fmAux, fmAuxEnv) : 0.0;
  }
}

void Voice::FinishSample(Voice* const* voices, int count, double buses[kNumOscs][2])
{
  const VoiceDataSingleton& d = *voices[0]->mData;
  const bool on[kNumOscs] = {d.oscOn[0], d.oscOn[1]};
  // Both do nothing at their off settings; most patches use neither.
  const bool oscAm = on[0] && on[1] && (d.oscAmAmount[0] != 0.0 || d.oscAmAmount[1] != 0.0);
  const bool hardSync = on[0] && on[1] && d.hardSyncMaster != 0;
  // The sums stay in registers; they add the voices in the same order.
  double bus[kNumOscs][2] = {{buses[0][0], buses[0][1]}, {buses[1][0], buses[1][1]}};
  for (int i = 0; i < count; ++i)
  {
    Voice& v = *voices[i];
    if (oscAm) v.OscAmpMod();
    if (hardSync) v.HardSync();
    for (int osc = 0; osc < kNumOscs; ++osc)
    {
      if (!on[osc]) continue;
      double* out = v.mOut[osc];
      v.mDeclicker[osc]->Process(out);
      bus[osc][0] += v.mPan[osc][0] * v.mAmplitude[osc] * out[0];
      bus[osc][1] += v.mPan[osc][1] * v.mAmplitude[osc] * out[1];
    }
    v.RememberSample();
  }
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    buses[osc][0] = bus[osc][0];
    buses[osc][1] = bus[osc][1];
  }
}

void Voice::NextSample(double buses[kNumOscs][2], double* const* fmAux, const double* fmAuxEnv)
{
  Voice* self = this;
  BeginSample(&self, 1, fmAux, fmAuxEnv);
  for (int osc = 0; osc < kNumOscs; ++osc)
    if (mData->oscOn[osc]) RenderSlot(&self, 1, osc);
  FinishSample(&self, 1, buses);
}

void Voice::Deactivate()
{
  mActive = false;
  MarkSounding();
  mDeactivated.Emit(mIndex);
  mNote = -1;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mOsc[osc]->Reset();
    mOsc[osc]->CancelDeclick();
    mDeclicker[osc]->Cancel();
    mDeclicker[osc]->ClearMemory();
    mAmplitude[osc] = 0.0;
  }
}

void Voice::Zero()
{
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mAmplitude[osc] = 0.0;
    mOscAmLevel[osc] = 0.0;
    mExtAm[osc][0] = mExtAm[osc][1] = 0.0;
    mOut[osc][0] = mOut[osc][1] = 0.0;
  }
}

void Voice::Reset()
{
  mVelocityFactor = 1.0;
  mFrequency = mFreqGlideTarget;
  mVelocity = mVelGlideTarget;
  mFreqGlideStep = mVelGlideStep = 0.0;
  mFreqGlideOn = mVelGlideOn = false;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mPre[osc] = mPost[osc] = mPrevPre[osc] = mPrevPost[osc] = 0.0;
    mAmpEnv[osc]->Reset();
    mFilter[osc]->Reset();
  }
}

void Voice::UpdateSampleRate()
{
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    mOsc[osc]->SetRateFactor(mData->rateFactor[osc]);
    mFilter[osc]->MarkDirty();
    mFilter[osc]->UpdateState();
    mDCRemover[osc]->UpdateCoefficient();
  }
}

// --- shiver targets ---

void Voice::SetFreqShiverFactor(int osc, double factor)
{
  mOsc[osc]->SetShiverFactor(factor);
}

void Voice::SetBend(int osc, double exponent)
{
  mOsc[osc]->SetBendExponent(exponent);
}

void Voice::SetFltShiver(int osc, double shiver)
{
  mFilter[osc]->SetShiver(shiver);
}

void Voice::SetPanL(int osc, double x)
{
  PanGains(x, mPan[osc][0], mPan[osc][1]);
}

// --- taps ---

void Voice::SetHardSyncTaps(bool preFilter)
{
  for (int master = 0; master < kNumOscs; ++master)
  {
    mSyncTapCurrent[master] = preFilter ? &mPre[master] : &mPost[master];
    mSyncTapPrevious[master] = preFilter ? &mPrevPre[master] : &mPrevPost[master];
  }
}

void Voice::SetInputModTap(int osc, bool preFilter)
{
  mInputModTap[osc] = preFilter ? &mPre[osc] : &mPost[osc];
}

void Voice::SetOscAmCarrierTap(int osc, bool preFilter)
{
  mOscAmCarrierTap[osc] = preFilter ? &mPre[osc] : &mPost[osc];
}

void Voice::SetOscAmModulatorTap(int osc, bool preFilter)
{
  const int modulator = Other(osc);
  mOscAmModulatorTap[osc] = preFilter ? &mPre[modulator] : &mPost[modulator];
}

void Voice::ClearOscOutputs(int osc)
{
  mPre[osc] = mPost[osc] = mPrevPre[osc] = mPrevPost[osc] = 0.0;
  mOut[osc][0] = mOut[osc][1] = 0.0;
  mExtAm[osc][0] = mExtAm[osc][1] = 0.0;
  mOscAmProduct[osc] = 0.0;
  mAmpEnvOut[osc] = 0.0;
  mAmplitude[osc] = 0.0;
  mDeclicker[osc]->ClearMemory();
}
