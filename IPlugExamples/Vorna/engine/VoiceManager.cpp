#include "VoiceManager.h"

#include "globals.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace
{
// The tune shiver moves at most one semitone either way, whatever the tune range.
const double kTuneShiverLower = std::pow(2.0, -1.0 / 12.0) - 1.0;
const double kTuneShiverUpper = std::pow(2.0, 1.0 / 12.0) - 1.0;
constexpr double kPanLower = 0.0;
constexpr double kPanUpper = 1.0;
constexpr double kCutoffShiverLower = -1.0;
constexpr double kCutoffShiverUpper = 1.0;
}  // namespace

VoiceManager::VoiceManager()
    : mTuneShiver(mRandom, kTuneShiverLower, kTuneShiverUpper),
      mBendShiver(mRandom),
      mPanShiver(mRandom, kPanLower, kPanUpper),
      mCutoffShiver(mRandom, kCutoffShiverLower, kCutoffShiverUpper)
{
  Build();
}

VoiceManager::VoiceManager(std::uint64_t randomSeed)
    : mRandom(randomSeed),
      mTuneShiver(mRandom, kTuneShiverLower, kTuneShiverUpper),
      mBendShiver(mRandom),
      mPanShiver(mRandom, kPanLower, kPanUpper),
      mCutoffShiver(mRandom, kCutoffShiverLower, kCutoffShiverUpper)
{
  Build();
}

void VoiceManager::Build()
{
  mMasterLimiter.SetCeiling(kMasterCeiling);
  mMasterLimiter.SetRange(kMasterRange);
  mTables.SetVoices(mVoices, &mData);

  mTuneShiver.SetTarget<&Voice::SetFreqShiverFactor, &Voice::IsActive>(mVoices);
  mBendShiver.SetTarget<&Voice::SetBend, &Voice::IsActive>(mVoices);
  mPanShiver.SetTarget<&Voice::SetPanL, &Voice::IsActive>(mVoices);
  mCutoffShiver.SetTarget<&Voice::SetFltShiver, &Voice::IsActive>(mVoices);
  mTables.mVoiceActivated.Connect(&mTuneShiver, &ParamShiver::OnVoiceActivation);
  mTables.mVoiceActivated.Connect(static_cast<ParamShiver*>(&mBendShiver), &ParamShiver::OnVoiceActivation);
  mTables.mVoiceActivated.Connect(static_cast<ParamShiver*>(&mPanShiver), &ParamShiver::OnVoiceActivation);
  mTables.mVoiceActivated.Connect(static_cast<ParamShiver*>(&mCutoffShiver), &ParamShiver::OnVoiceActivation);

  for (int note = 0; note < VoiceDataSingleton::kNumNotes; ++note)
    mData.noteFrequencies[note] = mTuner.GetNoteFrequency(note);
  for (int pos = 0; pos < kNumOscs; ++pos)
  {
    mData.tuneFactor[pos] = mTuner.GetTuneFactor(pos);
    mData.rateFactor[pos] = mData.tuneFactor[pos] * mData.freqRatio[pos] * PlugG::twoPiDivSR;
  }
  UpdateModulationSlopes();

  for (int v = 0; v < kNumVoices; ++v)
  {
    Voice::Components c;
    for (int osc = 0; osc < kNumOscs; ++osc)
    {
      const int e = VoiceComponentArrays::Element(v, osc);
      c.oscillator[osc] = &mArrays.oscillators[e];
      c.ampEnvelope[osc] = &mArrays.ampEnvelopes[e];
      c.filter[osc] = &mArrays.filters[e];
      c.limiter[osc] = &mArrays.limiters[e];
      c.dcRemover[osc] = &mArrays.dcRemovers[e];
      c.declicker[osc] = &mArrays.declickers[e];
      FilterContainer& filter = mArrays.filters[e];
      filter.SetFltPtrAndModel(mArrays.Filter(e, filter.GetModel()), filter.GetModel(), false);
      mArrays.oscillators[e].SetOversamplingFilter(&mData.bessel[osc]);
      mArrays.oscillators[e].SetRateFactor(mData.rateFactor[osc]);
    }
    Voice& voice = mVoices[v];
    voice.Wire(v, &mData, c);
    voice.SetHardSyncTaps(mData.hardSyncPreFilter);
    voice.SetupComponents();
    voice.mDeactivated.Connect(&mTables, &VoiceTables::OnVoiceDeactivation);
  }

  mCutoffShiver.SetBaseValue(0, 0.0);
  mCutoffShiver.SetBaseValue(1, 0.0);
}

double VoiceManager::NextNoise()
{
  return mRandom.Next() / double(EngineRandom::kMax) * 2.0 - 1.0;
}

void VoiceManager::RenderFrame(double* out, double* const* extIn, const double* fmAuxEnv)
{
  mData.ClearSampleValues();
  if (mData.noiseAmount[0] > 0.0 || mData.noiseAmount[1] > 0.0)
  {
    mData.noise[0] = NextNoise();
    mData.noise[1] = NextNoise();
  }
  // Without noise or input the mix stays the zeros just cleared.
  for (int osc = 0; osc < kNumOscs; ++osc)
    if (mData.oscOn[osc] && (mData.noiseAmount[osc] != 0.0 || mData.inputAmount[osc] != 0.0))
      mData.PrepareExtMixedSamplesForOsc(osc, extIn + kOscInput + 2 * osc);
  MixVoices(out, extIn + kFmInput, fmAuxEnv);
  mTuneShiver.Process();
  mBendShiver.Process();
  mCutoffShiver.Process();
  mPanShiver.Process();
}

void VoiceManager::MixVoices(double* out, double* const* fmAux, const double* fmAuxEnv)
{
  double(*buses)[2] = mData.buses;
  // Each step runs across all sounding voices (see Voice::BeginSample); every
  // voice still computes exactly what Voice::NextSample would.
  Voice* active[kNumVoices];
  const int count = CollectSounding(active);
  if (count > 0)
  {
    Voice::BeginSample(active, count, fmAux, fmAuxEnv);
    for (int osc = 0; osc < kNumOscs; ++osc)
      if (mData.oscOn[osc]) Voice::RenderSlot(active, count, osc);
    Voice::FinishSample(active, count, buses);
    for (int i = 0; i < count; ++i) active[i]->CheckIfDeactivate();
  }
  MixMaster(out);
}

void VoiceManager::MixMaster(double* out)
{
  double(*buses)[2] = mData.buses;
  for (int ch = 0; ch < 2; ++ch)
  {
    buses[1][ch] *= mData.mix[1];
    buses[0][ch] = buses[0][ch] * mData.mix[0] + buses[1][ch];
    buses[0][ch] = mMasterLimiter.Process(buses[0][ch]) * mOutputGain;
    out[ch] = buses[0][ch];
  }
}

void VoiceManager::Reset()
{
  for (Voice& voice : mVoices) voice.Reset();
  for (NoiseTiltSvfZDF& f : mData.noiseFilter) f.Reset();
}

void VoiceManager::UpdateRateFactor(int pos)
{
  mData.rateFactor[pos] = mData.tuneFactor[pos] * mData.freqRatio[pos] * PlugG::twoPiDivSR;
}

void VoiceManager::UpdateSampleRate()
{
  for (int pos = 0; pos < kNumOscs; ++pos) UpdateRateFactor(pos);
  for (Voice& voice : mVoices) voice.UpdateSampleRate();
  mTuneShiver.UpdateSampleRate();
  mBendShiver.UpdateSampleRate();
  mCutoffShiver.UpdateSampleRate();
  mPanShiver.UpdateSampleRate();
  for (NoiseTiltSvfZDF& f : mData.noiseFilter) f.UpdateCoefficients();
}

void VoiceManager::UpdateHostBPM()
{
  // The window as set, not the effective one: the effective window is what
  // the tempo conversion produces from it.
  for (Oscillator& osc : mArrays.oscillators) osc.UpdateBendParams(osc.GetBendWindowSize());
}

void VoiceManager::OnPitchWheel(double value)
{
  // The instrument's wheel scales an upward throw by the downward span and a
  // downward throw by the upward one: a full throw up multiplies the pitch by
  // 2 - 2^(-1/6) (about 1.79 semitones) and a full throw down by 2 - 2^(1/6)
  // (about 2.26 semitones). Patches and players rely on this feel; keep it.
  double factor = 1.0;
  if (value > 0.0)
    factor = 1.0 + value * mTuner.GetPitchWheelDownSpan();
  else if (value < 0.0)
    factor = 1.0 + value * mTuner.GetPitchWheelUpSpan();
  mData.pitchWheelFactor = factor;

  for (int v = 0; v < kNumVoices; ++v)
  {
    const int note = mVoices[v].GetNote();
    const bool sostenutoHeld = note >= 0 && mTables.IsKeySostenutoHeld(note);
    if (sostenutoHeld || mTables.IsPitchWheelDeferred(v))
      mTables.SetPitchWheelDeferred(v, true);
    else
      mVoices[v].ApplyPitchWheelFactor(factor);
  }
}
