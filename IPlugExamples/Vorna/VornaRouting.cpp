#include "Vorna.h"

#include "filters/FilterContainer.h"
#include "FilterModelShapes.h"
#include "Oscillator.h"
#include "SoftLimiter.h"
#include "globals.h"

#include <algorithm>
#include <cmath>

// Where each parameter goes in the engine. A discrete parameter reaches the
// engine at once; a continuous one follows a linear ramp over one block, so
// its apply function runs once per sample while it ramps. Every parameter has
// exactly one route, checked when this file is compiled.
struct VornaRoutes
{
  using Apply = void (*)(Vorna& plug, int slot, double value);

  struct Route
  {
    EParam param = kNumParams;  // kNumParams: no route yet
    bool continuous = false;
    Apply apply = nullptr;
    int slot = 0;  // oscillator or filter 0 or 1, or the parameter's variant
  };

  static constexpr int kNumVoices = VoiceManager::kNumVoices;
  static constexpr double kChannelLimiterMinCeiling = 2.0;
  static constexpr double kMasterLimiterMinCeiling = 3.0;
  // A negative softness leaves the limiter's range and opens its ceiling to this.
  static constexpr double kOpenLimiterCeiling = 8.0;
  static constexpr double kPanicThreshold = 0.5;
  // Samples over which a sounding oscillator crossfades into a new shiver sync mode.
  static constexpr int kShiverSyncDeclick = 1000;

  static VoiceManager& Engine(Vorna& plug) { return plug.mVoiceManager; }
  static VoiceDataSingleton& Data(Vorna& plug) { return plug.mVoiceManager.GetVoiceData(); }
  static VoiceTables& Tables(Vorna& plug) { return plug.mVoiceManager.GetVoiceTables(); }
  static int Whole(double value) { return static_cast<int>(value); }

  // ---- oscillators ----
  static void OscOnOff(Vorna& plug, int osc, double v) { Engine(plug).SetOscOnOff(osc, v != 0.0); }
  static void Waveform(Vorna& plug, int osc, double v) { Engine(plug).SetOscWave(osc, static_cast<OscWave>(Whole(v))); }
  static void FreqRatio(Vorna& plug, int osc, double)
  {
    const int num = plug.GetParam(osc == 0 ? kNum1 : kNum2)->Int();
    const int denom = plug.GetParam(osc == 0 ? kDenom1 : kDenom2)->Int();
    Engine(plug).SetOscFreqRatio(osc, static_cast<double>(num) / static_cast<double>(denom));
  }
  static void TuneWidth(Vorna& plug, int osc, double v) { Engine(plug).SetTuneRangeSemitones(osc, Whole(v)); }
  static void BendOrigin(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetOscBendSpanOrigin(osc, static_cast<OscBendSpanOrigin>(Whole(v)));
    plug.mBendUsesBpm = plug.GetParam(kBend1WindowOrigin)->Int() == kBendSpanBpm ||
                        plug.GetParam(kBend2WindowOrigin)->Int() == kBendSpanBpm;
  }
  static void BendWindowSize(Vorna& plug, int osc, double v) { Engine(plug).SetOscBendWindowSize(osc, v); }
  static void BendType(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetOscBendSymmetry(osc, static_cast<OscBendSymmetry>(Whole(v)));
  }
  static void OscAttack(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_ATTACK, v);
  }
  static void OscDecay(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_DECAY, v);
  }
  static void OscSustain(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN, v);
  }
  static void OscRelease(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_RELEASE, v);
  }
  static void DCRemoval(Vorna& plug, int osc, double v) { Engine(plug).SetDCRemoval(osc, v != 0.0); }
  static void SyncWidth(Vorna& plug, int osc, double v)
  {
    for (int i = 0; i < kNumVoices; ++i) Engine(plug).GetVoice(i).GetOscillator(osc).SetSincWidth(v);
  }
  static void PolysawShape(Vorna& plug, int osc, double v)
  {
    for (int i = 0; i < kNumVoices; ++i) Engine(plug).GetVoice(i).GetOscillator(osc).SetPolysawMix(v);
  }
  static void Tune(Vorna& plug, int osc, double v) { Engine(plug).SetOscTune(osc, v); }
  static void PhaseOffset(Vorna& plug, int osc, double v) { Engine(plug).SetOscPhaseOffset(osc, v); }
  static void Oversampling(Vorna& plug, int osc, double v) { Engine(plug).SetOscOversampling(osc, Whole(v)); }

  // ---- the settings all voices share ----
  static void NoiseAmount(Vorna& plug, int osc, double v) { Data(plug).noiseAmount[osc] = v; }
  static void NoiseColor(Vorna& plug, int osc, double v) { Data(plug).noiseFilter[osc].SetColor(v); }
  static void AmThreshold(Vorna& plug, int osc, double v) { Data(plug).amThreshold[osc].Set(v); }
  static void OscAmThreshold(Vorna& plug, int osc, double v) { Data(plug).oscAmThreshold[osc].Set(v); }
  static void Volume(Vorna& plug, int osc, double v) { Data(plug).volume[osc] = v; }
  static void InputAmount(Vorna& plug, int osc, double v) { Data(plug).inputAmount[osc] = v; }
  static void OscAmAmount(Vorna& plug, int osc, double v) { Data(plug).oscAmAmount[osc] = v; }
  static void AmDepth(Vorna& plug, int osc, double v) { Data(plug).amDepth[osc] = v; }
  static void FmAmount(Vorna& plug, int osc, double v) { Data(plug).fmAmount[osc] = v; }
  // Enumerated, yet ramped: the engine takes the truncated ramp value.
  static void FmSource(Vorna& plug, int osc, double v) { Data(plug).fmSource[osc] = Whole(v); }
  static void Mix(Vorna& plug, int osc, double v) { Data(plug).mix[osc] = v; }
  static void Feedback(Vorna& plug, int osc, double v) { Data(plug).feedback[osc] = v; }
  static void CarrierFilter(Vorna& plug, int osc, double v)
  {
    Data(plug).carrierFilter[osc] = v != 0.0;
    if (v != 0.0) return;
    for (int i = 0; i < kNumVoices; ++i) Engine(plug).GetVoice(i).ClearOscAmProduct(osc);
  }
  static void AddExtToOscAm(Vorna& plug, int osc, double v) { Data(plug).addExtToOscAm[osc] = v != 0.0; }
  static void FilterAux(Vorna& plug, int osc, double v) { Data(plug).filterAux[osc] = v != 0.0; }
  static void InputModTap(Vorna& plug, int osc, double v) { Engine(plug).SetPrePostFltInputMod(osc, v != 0.0); }
  static void OscAmCarrierTap(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetPrePostFltOAMCarrier(osc, v != 0.0);
  }
  static void OscAmModulatorTap(Vorna& plug, int osc, double v)
  {
    Engine(plug).SetPrePostFltOAMModulator(osc, v != 0.0);
  }

  // ---- limiters ----
  static void SetLimiterSoftness(SoftLimiter& limiter, double softness, double minCeiling)
  {
    if (softness < 0.0)
    {
      limiter.SetCeiling(kOpenLimiterCeiling);
      return;
    }
    limiter.SetCeiling(std::max(minCeiling, softness));
    limiter.SetRange(softness);
  }
  static void LimiterSoftness(Vorna& plug, int osc, double v)
  {
    for (int i = 0; i < kNumVoices; ++i)
      SetLimiterSoftness(Engine(plug).GetVoice(i).GetLimiter(osc), v, kChannelLimiterMinCeiling);
  }
  static void MasterLimiterSoftness(Vorna& plug, int, double v)
  {
    SetLimiterSoftness(Engine(plug).GetMasterLimiter(), v, kMasterLimiterMinCeiling);
  }
  static void MasterAmp(Vorna& plug, int, double v) { Engine(plug).SetOutputGain(v); }

  // ---- hard sync ----
  static void HardSyncTaps(Vorna& plug, int, double v) { Engine(plug).SetPrePostFltHardSync(v != 0.0); }
  static void HardSyncMaster(Vorna& plug, int, double v)
  {
    // The parameter lists "o2->o1", "no hs", "o1->o2"; the engine counts none,
    // oscillator 1 drives 2, oscillator 2 drives 1.
    static constexpr int kEngineCode[] = {2, 0, 1};
    Data(plug).hardSyncMaster = kEngineCode[std::clamp(Whole(v), 0, 2)];
  }
  static void HardSyncSoftness(Vorna& plug, int, double v) { Data(plug).hardSyncSoftLength = Whole(v); }
  static void HardSyncPeriod(Vorna& plug, int, double v) { Data(plug).hardSyncPeriod = Whole(v); }

  // ---- shivers ----
  static void TuneShiverSync(Vorna& plug, int, double v)
  {
    const ShiverSyncMode mode = static_cast<ShiverSyncMode>(Whole(v));
    Engine(plug).GetTuneShiver().SetSyncMode(mode);
    Engine(plug).DeclickShSyncModeChange(VoiceManager::kTuneShiver, mode, kShiverSyncDeclick);
  }
  static void BendShiverSync(Vorna& plug, int, double v)
  {
    const ShiverSyncMode mode = static_cast<ShiverSyncMode>(Whole(v));
    Engine(plug).GetBendShiver().SetSyncMode(mode);
    Engine(plug).DeclickShSyncModeChange(VoiceManager::kBendShiver, mode, kShiverSyncDeclick);
  }
  static void CutoffShiverSync(Vorna& plug, int, double v)
  {
    Engine(plug).GetCutoffShiver().SetSyncMode(static_cast<ShiverSyncMode>(Whole(v)));
  }
  static void PanShiverSync(Vorna& plug, int, double v)
  {
    Engine(plug).GetPanShiver().SetSyncMode(static_cast<ShiverSyncMode>(Whole(v)));
  }
  static void TuneShiverAmount(Vorna& plug, int osc, double v) { Engine(plug).GetTuneShiver().SetAmount(osc, v); }
  static void TuneShiverSpeed(Vorna& plug, int osc, double v) { Engine(plug).GetTuneShiver().SetSpeed(osc, v); }
  static void BendShiverAmount(Vorna& plug, int osc, double v) { Engine(plug).GetBendShiver().SetAmount(osc, v); }
  static void BendShiverSpeed(Vorna& plug, int osc, double v) { Engine(plug).GetBendShiver().SetSpeed(osc, v); }
  static void Bend(Vorna& plug, int osc, double v) { Engine(plug).GetBendShiver().SetBaseValue(osc, v); }
  static void CutoffShiverAmount(Vorna& plug, int osc, double v)
  {
    Engine(plug).GetCutoffShiver().SetAmount(osc, v);
  }
  static void CutoffShiverSpeed(Vorna& plug, int osc, double v) { Engine(plug).GetCutoffShiver().SetSpeed(osc, v); }
  static void PanShiverAmount(Vorna& plug, int osc, double v) { Engine(plug).GetPanShiver().SetAmount(osc, v); }
  static void PanShiverSpeed(Vorna& plug, int osc, double v) { Engine(plug).GetPanShiver().SetSpeed(osc, v); }
  static void Pan(Vorna& plug, int osc, double v) { Engine(plug).GetPanShiver().SetBaseValue(osc, v); }

  // ---- voices and glide ----
  static void PolyMono(Vorna& plug, int, double v)
  {
    VoiceTables& tables = Tables(plug);
    const int mode = Whole(v);
    tables.mFreshStart = tables.mMode == VoiceTables::kPoly && mode == VoiceTables::kMono;
    tables.mMode = mode;
  }
  static void MaxVoiceCount(Vorna& plug, int, double v)
  {
    plug.mMIDIReceiver.SetNoteOnCap(Whole(v));
    Tables(plug).SetMaxNumOfActiveVoices(Whole(v));
  }
  static void Glide(Vorna& plug, int, double v)
  {
    VoiceTables& tables = Tables(plug);
    const double newLength = v * PlugG::SR;
    // Running glides keep their remaining share of the glide.
    const double ratio = tables.mGlideTime / newLength;
    for (int i = 0; i < kNumVoices; ++i) Engine(plug).GetVoice(i).ScaleGlideSteps(ratio);
    tables.mGlideTime = newLength;
  }
  static void GlideHead(Vorna& plug, int, double v) { Tables(plug).mGlideHead = v != 0.0; }
  static void GlideTail(Vorna& plug, int, double v) { Tables(plug).mGlideTail = v != 0.0; }
  static void RearticulateForward(Vorna& plug, int, double v) { Tables(plug).mRearticulateForward = v != 0.0; }
  static void RearticulateBack(Vorna& plug, int, double v) { Tables(plug).mRearticulateBack = v != 0.0; }
  static void MidiPanic(Vorna& plug, int, double v)
  {
    // Releases every sounding voice and forgets every key and pedal.
    if (v >= kPanicThreshold) Tables(plug).OnAllVoicesOff();
  }

  // ---- filters ----
  static void FilterOnOff(Vorna& plug, int flt, double v) { Engine(plug).SetFilterOnOff(flt, v != 0.0); }
  static void FltModel(Vorna& plug, int flt, double v)
  {
    Engine(plug).SetFltModel(flt, static_cast<FilterModel>(Whole(v)));
    const FilterModelShapes shapes = ShapesForFilterModel(Whole(v));
    const FilterModelParams params = ParamsOfFilter(flt);
    plug.GetParam(params.freq)->SetShape(shapes.freq);
    plug.GetParam(params.q)->SetShape(shapes.q);
    plug.GetParam(params.drive)->SetShape(shapes.drive);
  }
  static void PassType(Vorna& plug, int flt, double v) { Engine(plug).SetFltPassType(flt, v); }
  static void FollowNote(Vorna& plug, int flt, double v) { Engine(plug).SetFltFollowNote(flt, v); }
  static void FilterFreq(Vorna& plug, int flt, double v) { Engine(plug).SetFltFreq(flt, v); }
  static void FilterEnvAmount(Vorna& plug, int flt, double v) { Engine(plug).SetFltEnvAmnt(flt, v); }
  // Sounding voices whose filter is on take the value at once; the others
  // store it for their next note.
  template <void (FilterContainer::*set)(double, bool)>
  static void EachFilter(Vorna& plug, int flt, double v)
  {
    for (int i = 0; i < kNumVoices; ++i)
    {
      Voice& voice = Engine(plug).GetVoice(i);
      (voice.GetFilter(flt).*set)(v, voice.IsActive());
    }
  }
  template <EnvelopeGenerator::EnvelopeStage stage>
  static void FilterEnvStage(Vorna& plug, int flt, double v)
  {
    for (int i = 0; i < kNumVoices; ++i)
    {
      Voice& voice = Engine(plug).GetVoice(i);
      voice.GetFilter(flt).SetEnvStageValue(stage, v, voice.IsActive());
    }
  }
};

namespace
{
using Route = VornaRoutes::Route;
using R = VornaRoutes;

constexpr Route Discrete(EParam p, R::Apply apply, int slot = 0) { return {p, false, apply, slot}; }
constexpr Route Continuous(EParam p, R::Apply apply, int slot = 0) { return {p, true, apply, slot}; }

// clang-format off
constexpr Route kRouteList[] = {
  Discrete(kOsc1OnOff, R::OscOnOff, 0),                  Discrete(kOsc2OnOff, R::OscOnOff, 1),
  Discrete(kWaveform1, R::Waveform, 0),                  Discrete(kWaveform2, R::Waveform, 1),
  Continuous(kWf1SyncWidth, R::SyncWidth, 0),            Continuous(kWf2SyncWidth, R::SyncWidth, 1),
  Discrete(kNum1, R::FreqRatio, 0),                      Discrete(kNum2, R::FreqRatio, 1),
  Discrete(kDenom1, R::FreqRatio, 0),                    Discrete(kDenom2, R::FreqRatio, 1),
  Continuous(kTune1, R::Tune, 0),                        Continuous(kTune2, R::Tune, 1),
  Discrete(kTune1Width, R::TuneWidth, 0),                Discrete(kTune2Width, R::TuneWidth, 1),
  Continuous(kBend1, R::Bend, 0),                        Continuous(kBend2, R::Bend, 1),
  Discrete(kBend1WindowOrigin, R::BendOrigin, 0),        Discrete(kBend2WindowOrigin, R::BendOrigin, 1),
  Discrete(kBend1WindowSize, R::BendWindowSize, 0),      Discrete(kBend2WindowSize, R::BendWindowSize, 1),
  Discrete(kBend1Type, R::BendType, 0),                  Discrete(kBend2Type, R::BendType, 1),
  Continuous(kPhaseOffset1, R::PhaseOffset, 0),          Continuous(kPhaseOffset2, R::PhaseOffset, 1),
  Continuous(kNoise1Amnt, R::NoiseAmount, 0),            Continuous(kNoise2Amnt, R::NoiseAmount, 1),
  Continuous(kNoise1Color, R::NoiseColor, 0),            Continuous(kNoise2Color, R::NoiseColor, 1),
  Continuous(kAm1Thresh, R::AmThreshold, 0),             Continuous(kAm2Thresh, R::AmThreshold, 1),
  Continuous(kOsc1Vol, R::Volume, 0),                    Continuous(kOsc2Vol, R::Volume, 1),
  Continuous(kIn1Amnt, R::InputAmount, 0),               Continuous(kIn2Amnt, R::InputAmount, 1),
  Continuous(kOam1, R::OscAmAmount, 0),                  Continuous(kOam2, R::OscAmAmount, 1),
  Continuous(kAm1Depth, R::AmDepth, 0),                  Continuous(kAm2Depth, R::AmDepth, 1),
  Continuous(kFm1Amnt, R::FmAmount, 0),                  Continuous(kFm2Amnt, R::FmAmount, 1),
  Continuous(kFm1Source, R::FmSource, 0),                Continuous(kFm2Source, R::FmSource, 1),
  Discrete(kOsc1A, R::OscAttack, 0),                     Discrete(kOsc2A, R::OscAttack, 1),
  Discrete(kOsc1D, R::OscDecay, 0),                      Discrete(kOsc2D, R::OscDecay, 1),
  Continuous(kOsc1S, R::OscSustain, 0),                  Continuous(kOsc2S, R::OscSustain, 1),
  Discrete(kOsc1R, R::OscRelease, 0),                    Discrete(kOsc2R, R::OscRelease, 1),
  Continuous(kPan1, R::Pan, 0),                          Continuous(kPan2, R::Pan, 1),
  Continuous(kMix1, R::Mix, 0),                          Continuous(kMix2, R::Mix, 1),
  Discrete(kDcr1, R::DCRemoval, 0),                      Discrete(kDcr2, R::DCRemoval, 1),
  Continuous(kOscFb1, R::Feedback, 0),                   Continuous(kOscFb2, R::Feedback, 1),
  Continuous(kSl1Softness, R::LimiterSoftness, 0),       Continuous(kSl2Softness, R::LimiterSoftness, 1),

  Discrete(kHsMasterPrePostFlt, R::HardSyncTaps),
  Discrete(kHardsyncMaster, R::HardSyncMaster),
  Discrete(kHsSoft, R::HardSyncSoftness),
  Discrete(kHardsyncPeriod, R::HardSyncPeriod),

  Discrete(kTuneShiverSync, R::TuneShiverSync),
  Discrete(kTune1ShiverAmount, R::TuneShiverAmount, 0),  Discrete(kTune2ShiverAmount, R::TuneShiverAmount, 1),
  Discrete(kTune1ShiverSpeed, R::TuneShiverSpeed, 0),    Discrete(kTune2ShiverSpeed, R::TuneShiverSpeed, 1),
  Discrete(kBendShiverSync, R::BendShiverSync),
  Continuous(kBend1ShiverAmount, R::BendShiverAmount, 0), Continuous(kBend2ShiverAmount, R::BendShiverAmount, 1),
  Discrete(kBend1ShiverSpeed, R::BendShiverSpeed, 0),    Discrete(kBend2ShiverSpeed, R::BendShiverSpeed, 1),
  Discrete(kCutoffShiverSync, R::CutoffShiverSync),
  Continuous(kCutoff1ShiverAmount, R::CutoffShiverAmount, 0), Continuous(kCutoff2ShiverAmount, R::CutoffShiverAmount, 1),
  Discrete(kCutoff1ShiverSpeed, R::CutoffShiverSpeed, 0), Discrete(kCutoff2ShiverSpeed, R::CutoffShiverSpeed, 1),
  Discrete(kPanShiverSync, R::PanShiverSync),
  Continuous(kPan1ShiverAmount, R::PanShiverAmount, 0),  Continuous(kPan2ShiverAmount, R::PanShiverAmount, 1),
  Discrete(kPan1ShiverSpeed, R::PanShiverSpeed, 0),      Discrete(kPan2ShiverSpeed, R::PanShiverSpeed, 1),

  Discrete(kPolyMono, R::PolyMono),
  Discrete(kMaxVoiceCount, R::MaxVoiceCount),
  Discrete(kGlide, R::Glide),
  Discrete(kGlideHead, R::GlideHead),
  Discrete(kGlideTail, R::GlideTail),
  Discrete(kRearticulateGlidesForward, R::RearticulateForward),
  Discrete(kRearticulateGlidesBack, R::RearticulateBack),

  Discrete(kFlt1OnOff, R::FilterOnOff, 0),               Discrete(kFlt2OnOff, R::FilterOnOff, 1),
  Discrete(kFlt1Model, R::FltModel, 0),                  Discrete(kFlt2Model, R::FltModel, 1),
  Discrete(kFlt1PassType, R::PassType, 0),               Discrete(kFlt2PassType, R::PassType, 1),
  Continuous(kFlt1F, R::FilterFreq, 0),                  Continuous(kFlt2F, R::FilterFreq, 1),
  Discrete(kFlt1FollowNote, R::FollowNote, 0),           Discrete(kFlt2FollowNote, R::FollowNote, 1),
  Continuous(kFlt1Q, R::EachFilter<&FilterContainer::SetResonance>, 0),
  Continuous(kFlt2Q, R::EachFilter<&FilterContainer::SetResonance>, 1),
  Continuous(kFlt1Env, R::FilterEnvAmount, 0),           Continuous(kFlt2Env, R::FilterEnvAmount, 1),
  Discrete(kFlt1A, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_ATTACK>, 0),
  Discrete(kFlt2A, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_ATTACK>, 1),
  Discrete(kFlt1D, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_DECAY>, 0),
  Discrete(kFlt2D, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_DECAY>, 1),
  Continuous(kFlt1S, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN>, 0),
  Continuous(kFlt2S, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN>, 1),
  Discrete(kFlt1R, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_RELEASE>, 0),
  Discrete(kFlt2R, R::FilterEnvStage<EnvelopeGenerator::ENVELOPE_STAGE_RELEASE>, 1),

  Discrete(kAm1PreFltModulator, R::InputModTap, 0),      Discrete(kAm2PreFltModulator, R::InputModTap, 1),
  Discrete(kOam1PreFltCarr, R::OscAmCarrierTap, 0),      Discrete(kOam2PreFltCarr, R::OscAmCarrierTap, 1),
  Discrete(kOam1PreFltModulator, R::OscAmModulatorTap, 0), Discrete(kOam2PreFltModulator, R::OscAmModulatorTap, 1),
  Discrete(kCarr1Flt, R::CarrierFilter, 0),              Discrete(kCarr2Flt, R::CarrierFilter, 1),
  Continuous(kOam1Thresh, R::OscAmThreshold, 0),         Continuous(kOam2Thresh, R::OscAmThreshold, 1),
  Discrete(kAddExt2ToOam1, R::AddExtToOscAm, 0),         Discrete(kAddExt1ToOam2, R::AddExtToOscAm, 1),
  Discrete(kFilterAux1, R::FilterAux, 0),                Discrete(kFilterAux2, R::FilterAux, 1),

  Continuous(kMasterLimSoftness, R::MasterLimiterSoftness),
  Continuous(kMasterAmp, R::MasterAmp),
  Discrete(kMidiPanic, R::MidiPanic),

  Discrete(kOsc1Oversampling, R::Oversampling, 0),       Discrete(kOsc2Oversampling, R::Oversampling, 1),
  Continuous(kWf1PolysawType, R::PolysawShape, 0),       Continuous(kWf2PolysawType, R::PolysawShape, 1),
  Continuous(kFlt1Drive, R::EachFilter<&FilterContainer::SetDrive>, 0),
  Continuous(kFlt2Drive, R::EachFilter<&FilterContainer::SetDrive>, 1),
  Continuous(kFlt1AddParam, R::EachFilter<&FilterContainer::SetAdditionalParam>, 0),
  Continuous(kFlt2AddParam, R::EachFilter<&FilterContainer::SetAdditionalParam>, 1),
};
// clang-format on

// The list by parameter index; a parameter without a route, or with two,
// stops the compilation.
constexpr std::array<Route, kNumParams> ByIndex()
{
  std::array<Route, kNumParams> routes{};
  for (const Route& r : kRouteList)
  {
    if (routes[r.param].param != kNumParams) throw "a parameter has two routes";
    routes[r.param] = r;
  }
  for (const Route& r : routes)
    if (r.param == kNumParams) throw "a parameter has no route";
  return routes;
}

constexpr std::array<Route, kNumParams> kRoutes = ByIndex();
}  // namespace

void Vorna::OnParamChange(int paramIdx)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  WDL_MutexLock lock(&mMutex);
  const double value = GetParam(paramIdx)->Value();
  if (value == mSmoothTarget[paramIdx] && mParamsInitialized) return;
  mSmoothTarget[paramIdx] = value;

  const Route& route = kRoutes[paramIdx];
  if (!route.continuous)
  {
    route.apply(*this, route.slot, value);
    mSmoothCurrent[paramIdx] = value;
    EditorFollowsParam(paramIdx);
    return;
  }
  if (!mParamsInitialized)
  {
    mSmoothCurrent[paramIdx] = value;
    SetSmoothParamValue(paramIdx);
    return;
  }
  if (value == mSmoothCurrent[paramIdx]) return;
  const double increment = (value - mSmoothCurrent[paramIdx]) / mBlockLength;
  if (std::fabs(increment) > kRampEpsilon)
  {
    mSmoothIncrement[paramIdx] = increment;
    mSmoothing[paramIdx] = true;
    mAnySmoothing = true;
    return;
  }
  mSmoothCurrent[paramIdx] = value;
  SetSmoothParamValue(paramIdx);
}

void Vorna::SetSmoothParamValue(int paramIdx)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  const Route& route = kRoutes[paramIdx];
  if (route.continuous) route.apply(*this, route.slot, mSmoothCurrent[paramIdx]);
}

void Vorna::GlideParams()
{
  for (int p = 0; p < kNumParams; ++p)
  {
    if (!mSmoothing[p]) continue;
    mSmoothCurrent[p] += mSmoothIncrement[p];
    if ((mSmoothTarget[p] - mSmoothCurrent[p]) * mSmoothIncrement[p] <= kRampEpsilon)
    {
      // Reached or passed: land exactly on the target.
      mSmoothIncrement[p] = 0.0;
      mSmoothCurrent[p] = mSmoothTarget[p];
      mSmoothing[p] = false;
      SetSmoothParamValue(p);
      mAnySmoothing = std::find(mSmoothing.begin(), mSmoothing.end(), true) != mSmoothing.end();
    }
    else
    {
      SetSmoothParamValue(p);
    }
  }
}

void Vorna::ReapplyRateDependentParams()
{
  // The glide length is kept in samples.
  VornaRoutes::Glide(*this, 0, mSmoothCurrent[kGlide]);
}

void Vorna::SetMaskInput(int, double value)
{
  WDL_MutexLock lock(&mMutex);
  const bool mask = value != 0.0;
  if (mask == mMaskInput) return;
  mMaskInput = mask;
  MarkStateChanged();
}
