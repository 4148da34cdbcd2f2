#include "VoiceManager.h"

#include "globals.h"

#include <algorithm>
#include <cmath>

namespace
{
// Crossfade lengths, from the sample rate as each setting measures it.
int DeclickOfRate(int divisor)
{
  return static_cast<int>(PlugG::SR / divisor);
}
int DeclickOfWholeRate(int divisor)
{
  return static_cast<int>(PlugG::SR) / divisor;
}

constexpr int kWindowSteps = 16;      // control values below this shorten the window
constexpr int kWindowDivisorBase = 17;
constexpr int kWindowMultipleBase = 15;
}  // namespace

void VoiceManager::VoiceDeclick(int length)
{
  for (Voice& voice : mVoices)
  {
    if (!voice.IsActive()) continue;
    for (int osc = 0; osc < kNumOscs; ++osc) voice.GetDeclicker(osc).Start(length);
  }
}

void VoiceManager::OscDeclick(int pos, int length)
{
  for (Voice& voice : mVoices)
  {
    if (!voice.IsActive()) continue;
    if (length > 0)
      voice.GetOscillator(pos).StartDeclick(length);
    else
      voice.GetOscillator(pos).CancelDeclick();
  }
}

bool VoiceManager::BendInUse(int pos) const
{
  return mBendShiver.GetBaseValue(pos) != 0.0 || mBendShiver.GetAmount(pos) != 0.0;
}

bool VoiceManager::TuneInUse(int pos) const
{
  return mTuner.GetTuneValue(pos) != 0.0 || mTuneShiver.GetAmount(pos) != 0.0;
}

void VoiceManager::UpdateModulationSlopes()
{
  for (int pos = 0; pos < kNumOscs; ++pos)
  {
    // Each slope follows the signal its tap really reads: the external AM of a
    // slot reads the slot's own oscillator, its oscillator AM the other one.
    const int modulator = 1 - pos;
    mData.amThreshold[pos].UseFilteredSlope(mData.filterSwitch[pos] && !mData.inputModPreFilter[pos]);
    mData.oscAmThreshold[pos].UseFilteredSlope(mData.filterSwitch[modulator] &&
                                               !mData.oscAmModulatorPreFilter[pos]);
  }
}

void VoiceManager::UpdateFilterOnOff(int pos)
{
  const bool effective = mData.filterSwitch[pos] && mData.oscOn[pos];
  mData.filterOn[pos] = effective;
  mCutoffShiver.SetEnabled(pos, effective);
  for (Voice& voice : mVoices)
    voice.GetFilter(pos).SetOnOff(effective, voice.GetAmpEnvelope(pos).GetCurrentStage());
}

void VoiceManager::SetOscOnOff(int pos, bool on)
{
  mData.oscOn[pos] = on;
  mTuneShiver.SetEnabled(pos, on);
  mBendShiver.SetEnabled(pos, on);
  mPanShiver.SetEnabled(pos, on);
  UpdateFilterOnOff(pos);
  for (Voice& voice : mVoices)
  {
    if (!on) voice.ClearOscOutputs(pos);
    Oscillator& osc = voice.GetOscillator(pos);
    osc.CancelDeclick();
    osc.ClearLastOutput();
  }
  VoiceDeclick(DeclickOfRate(kOscOnOffDeclickDivisor));
}

void VoiceManager::SetFilterOnOff(int pos, bool on)
{
  mData.filterSwitch[pos] = on;
  UpdateFilterOnOff(pos);
  UpdateModulationSlopes();
  VoiceDeclick(DeclickOfWholeRate(kFilterPathDeclickDivisor));
}

void VoiceManager::SetFltPassType(int pos, double t)
{
  const int type = std::clamp(static_cast<int>(t), static_cast<int>(kLP), static_cast<int>(kBR));
  for (Voice& voice : mVoices) voice.GetFilter(pos).SetPassType(static_cast<FilterPassType>(type));
  VoiceDeclick(DeclickOfWholeRate(kFilterPathDeclickDivisor));
}

void VoiceManager::SetFltModel(int pos, FilterModel m)
{
  const bool known = m >= 0 && m < kNumFilterModels;
  const FilterModel model = known ? m : kFltSimple;
  for (int v = 0; v < kNumVoices; ++v)
  {
    const int e = VoiceComponentArrays::Element(v, pos);
    mVoices[v].GetFilter(pos).SetFltPtrAndModel(mArrays.Filter(e, model), model, mVoices[v].IsActive());
  }
}

void VoiceManager::SetFltFreq(int pos, double hz)
{
  for (Voice& voice : mVoices) voice.GetFilter(pos).SetFreq(hz, voice.IsActive());
}

void VoiceManager::SetFltFollowNote(int pos, double x)
{
  for (Voice& voice : mVoices) voice.GetFilter(pos).SetFollowNote(x != 0.0, voice.IsActive());
}

void VoiceManager::SetFltEnvAmnt(int pos, double x)
{
  x = std::clamp(x, -1.0, 1.0);
  const double up = x + 1.0;
  const double amount = x >= 0.0 ? x * x * x : up * up * up - 1.0;
  for (Voice& voice : mVoices) voice.GetFilter(pos).SetEnvAmount(amount);
}

void VoiceManager::SetOscEnvStageValue(int pos, EnvelopeGenerator::EnvelopeStage s, double v)
{
  for (Voice& voice : mVoices) voice.GetAmpEnvelope(pos).SetStageValue(s, v);
}

void VoiceManager::SetOscPhaseOffset(int pos, double x)
{
  for (Voice& voice : mVoices) voice.GetOscillator(pos).SetPhaseOffset(x);
}

void VoiceManager::SetOscWave(int pos, OscWave w)
{
  for (Voice& voice : mVoices) voice.GetOscillator(pos).SetWave(w);
  if (mData.oscOn[pos]) OscDeclick(pos, DeclickOfWholeRate(kWaveDeclickDivisor));
}

void VoiceManager::SetOscBendWindowSize(int pos, double x)
{
  const double cycles = x < kWindowSteps ? 1.0 / (kWindowDivisorBase - x) : x - kWindowMultipleBase;
  for (Voice& voice : mVoices) voice.GetOscillator(pos).UpdateBendParams(PlugC::twoPi * cycles);
  if (mData.oscOn[pos] && BendInUse(pos)) OscDeclick(pos, DeclickOfRate(kBendWindowDeclickDivisor));
}

void VoiceManager::SetOscBendSpanOrigin(int pos, OscBendSpanOrigin o)
{
  for (Voice& voice : mVoices)
  {
    Oscillator& osc = voice.GetOscillator(pos);
    osc.SetBendSpanOrigin(o);
    osc.UpdateBendParams(osc.GetBendWindowSize());
  }
  if (mData.oscOn[pos] && BendInUse(pos)) OscDeclick(pos, DeclickOfRate(kBendShapeDeclickDivisor));
}

void VoiceManager::SetOscBendSymmetry(int pos, OscBendSymmetry s)
{
  for (Voice& voice : mVoices) voice.GetOscillator(pos).SetBendSymmetry(s);
  if (mData.oscOn[pos] && BendInUse(pos)) OscDeclick(pos, DeclickOfRate(kBendShapeDeclickDivisor));
}

void VoiceManager::SetTuneRangeSemitones(int pos, int n)
{
  mTuner.SetTuneRange(pos, n);
  mData.tuneFactor[pos] = mTuner.GetTuneFactor(pos);
  UpdateRateFactor(pos);
  for (Voice& voice : mVoices) voice.GetOscillator(pos).SetRateFactor(mData.rateFactor[pos]);
  if (mData.oscOn[pos] && TuneInUse(pos)) OscDeclick(pos, DeclickOfWholeRate(kTuneRangeDeclickDivisor));
}

void VoiceManager::SetOscTune(int pos, double value)
{
  mData.tuneFactor[pos] = mTuner.SetTuneValue(pos, value);
  UpdateRateFactor(pos);
  for (Voice& voice : mVoices) voice.GetOscillator(pos).SetRateFactor(mData.rateFactor[pos]);
}

void VoiceManager::SetOscFreqRatio(int pos, double ratio)
{
  mData.freqRatio[pos] = ratio;
  UpdateRateFactor(pos);
  for (Voice& voice : mVoices)
  {
    voice.GetOscillator(pos).SetRateFactor(mData.rateFactor[pos]);
    voice.GetFilter(pos).SetFreqRatio(ratio, voice.IsActive(), PlugG::shortestGT);
  }
}

void VoiceManager::SetOscOversampling(int pos, int setting)
{
  const double ratio = setting <= 0 ? 0.0 : std::ldexp(1.0, setting + 1);
  const double steps = std::max(2.0, ratio);
  mData.oversampling[pos] = ratio;
  mData.oversamplingSubStep[pos] = 1.0 / steps;
  mData.bessel[pos].Calc(0.5 / steps);
  for (Voice& voice : mVoices) voice.GetOscillator(pos).ClearOversamplingHistory();
}

void VoiceManager::SetDCRemoval(int pos, bool on)
{
  mData.dcRemoverOn[pos] = on;
  if (!on) return;
  for (Voice& voice : mVoices)
  {
    DCremove& dc = voice.GetDCRemover(pos);
    dc.Reset();
    dc.SetCutoff(DCremove::kVoiceCutoff);
  }
}

void VoiceManager::SetPrePostFltHardSync(bool pre)
{
  mData.hardSyncPreFilter = pre;
  for (Voice& voice : mVoices) voice.SetHardSyncTaps(pre);
}

void VoiceManager::SetPrePostFltInputMod(int pos, bool pre)
{
  mData.inputModPreFilter[pos] = pre;
  UpdateModulationSlopes();
  for (Voice& voice : mVoices) voice.SetInputModTap(pos, pre);
  VoiceDeclick(DeclickOfWholeRate(kFilterPathDeclickDivisor));
}

void VoiceManager::SetPrePostFltOAMCarrier(int pos, bool pre)
{
  mData.oscAmCarrierPreFilter[pos] = pre;
  for (Voice& voice : mVoices) voice.SetOscAmCarrierTap(pos, pre);
}

void VoiceManager::SetPrePostFltOAMModulator(int pos, bool pre)
{
  mData.oscAmModulatorPreFilter[pos] = pre;
  UpdateModulationSlopes();
  for (Voice& voice : mVoices) voice.SetOscAmModulatorTap(pos, pre);
}

void VoiceManager::DeclickShSyncModeChange(int kind, ShiverSyncMode mode, int length)
{
  const ParamShiver* shiver = nullptr;
  switch (kind)
  {
    case kTuneShiver: shiver = &mTuneShiver; break;
    case kBendShiver: shiver = &mBendShiver; break;
    case kCutoffShiver: shiver = &mCutoffShiver; break;
    default: return;
  }
  for (int pos = 0; pos < kNumOscs; ++pos)
  {
    if (mode == kShiverSyncNone) return;
    // In "voice" mode only slot 1 changes: it starts to follow slot 0.
    if (mode == kShiverSyncVoice && pos == 0) continue;
    if (mData.oscOn[pos] && shiver->GetAmount(pos) != 0.0) OscDeclick(pos, length);
  }
}
