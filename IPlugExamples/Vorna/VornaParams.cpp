#include "VornaParams.h"

#include "IPlugBase.h"
#include "OscWaves.h"
#include "filters/FilterKinds.h"

namespace
{
using Texts = std::array<const char*, VornaParamRow::kMaxTexts>;

constexpr VornaParamRow Bool(EParam index, const char* name, bool defaultValue, Texts texts = {})
{
  return {index, name, IParam::kTypeBool, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, 1.0, texts};
}

constexpr VornaParamRow Int(EParam index, const char* name, int defaultValue, int minValue, int maxValue,
                            double shape = 1.0, Texts texts = {})
{
  return {index, name, IParam::kTypeInt, double(defaultValue), double(minValue), double(maxValue), 1.0, shape, texts};
}

constexpr int CountOf(const Texts& texts)
{
  int n = 0;
  while (n < int(texts.size()) && texts[n]) ++n;
  return n;
}

// Evaluated as the table is built: an enum whose texts do not name each of its values fails to build.
constexpr VornaParamRow Enum(EParam index, const char* name, int defaultValue, int count, Texts texts)
{
  if (CountOf(texts) != count) throw "an enum's texts name each of its values";
  if (defaultValue < 0 || defaultValue >= count) throw "an enum's default is one of its values";
  return {index, name, IParam::kTypeEnum, double(defaultValue), 0.0, double(count - 1), 1.0, 1.0, texts};
}

constexpr VornaParamRow Double(EParam index, const char* name, double defaultValue, double minValue,
                               double maxValue, double step, double shape = 1.0)
{
  return {index, name, IParam::kTypeDouble, defaultValue, minValue, maxValue, step, shape, {}};
}

static_assert(VornaParamRow::kMaxTexts >= kNumOscWaves && VornaParamRow::kMaxTexts >= kNumFilterModels,
              "a row's texts name every waveform and every filter model");

constexpr Texts kWaveforms1 = {"sine", "saw", "square", "tri", "sinc", "polysaw"};
constexpr Texts kWaveforms2 = kWaveforms1;
constexpr Texts kBendOrigins = {"note", "bpm"};
constexpr Texts kBendTypes = {"edges", "middle"};
constexpr Texts kShiverSyncModes = {"none", "voice", "osc", "all"};
constexpr Texts kFilterModels = {"reson", "simple", "formant", "t ladder", "moog"};
constexpr Texts kPassTypes = {"LP", "BP", "HP", "P", "BR"};
constexpr Texts kGlideSwitch = {"do nothing", "glide"};
constexpr Texts kRearticulateSwitch = {"do nothing", "rearticulate"};
constexpr Texts kPrePost = {"pre", "post"};

// clang-format off
constexpr std::array<VornaParamRow, kNumParams> kRows = {{
  Bool(kOsc1OnOff, "osc 1 on/off", true, {"osc1 off", "osc1 on"}),
  Enum(kWaveform1, "waveform 1", kOscSine, kNumOscWaves, kWaveforms1),
  Double(kWf1SyncWidth, "wf 1 sync width", 3.5, 3.5, 100.5, 0.01),
  Int(kNum1, "num 1", 1, 1, 16),
  Int(kDenom1, "denom 1", 1, 1, 16),
  Double(kTune1, "tune 1", 0.0, -1.0, 1.0, 0.00001),
  Int(kTune1Width, "tune 1 width", 1, 1, 48),
  Double(kBend1, "bend 1", 0.0, -1.0, 1.0, 0.00001),
  Enum(kBend1WindowOrigin, "bend 1 window origin", 0, 2, kBendOrigins),
  Int(kBend1WindowSize, "bend 1 window size", 16, 1, 31),
  Enum(kBend1Type, "bend 1 type", 0, 2, kBendTypes),
  Double(kPhaseOffset1, "phase offset 1", 0.0, 0.0, 1.0, 0.0001),
  Double(kNoise1Amnt, "noise 1 amnt", 0.0, 0.0, 1.0, 0.0001, 3.0),
  Double(kNoise1Color, "noise 1 color", 0.0, -1.0, 1.0, 0.0001),
  Double(kAm1Thresh, "am 1 thresh", 0.5, 0.0, 0.999, 0.0001, 0.4),
  Double(kOsc1Vol, "osc 1 vol", 1.0, 0.0, 1.0, 0.0001, 1.5),
  Double(kIn1Amnt, "in 1 amnt", 0.0, 0.0, 1.0, 0.0001, 2.0),
  Double(kOam1, "oam 1", 0.0, 0.0, 2.0, 0.0001),
  Double(kAm1Depth, "am 1 depth", 1.0, 0.0, 1.0, 0.0001, 0.7),
  Double(kFm1Amnt, "fm 1 amnt", 0.0, -20.0, 20.0, 0.0001),
  Enum(kFm1Source, "fm 1 source", 0, 5, {"fm1 osc", "fm1 flt", "fm1 env", "fm1 aux", "fm1 aux env"}),
  Double(kOsc1A, "osc 1 A", 0.03, 0.005, 6.0, 0.0001, 3.0),
  Double(kOsc1D, "osc 1 D", 0.01, 0.005, 12.0, 0.0001, 3.0),
  Double(kOsc1S, "osc 1 S", 0.8, 0.0, 1.0, 0.0001, 2.0),
  Double(kOsc1R, "osc 1 R", 0.1, 0.005, 15.0, 0.0001, 2.0),
  Double(kPan1, "pan 1", 0.5, 0.0, 1.0, 0.0001),
  Double(kMix1, "mix 1", 1.0, 0.0, 2.0, 0.0001, 2.0),
  Bool(kDcr1, "dcr 1", false),
  Double(kOscFb1, "osc fb 1", 0.0, 0.0, 1.0, 0.0001, 0.7),
  Double(kSl1Softness, "sl 1 softness", 1.0, -0.001, 2.0, 0.001),

  Bool(kOsc2OnOff, "osc 2 on/off", true, {"osc2 off", "osc2 on"}),
  Enum(kWaveform2, "waveform 2", kOscSine, kNumOscWaves, kWaveforms2),
  Double(kWf2SyncWidth, "wf 2 sync width", 3.5, 3.5, 100.5, 0.01),
  Int(kNum2, "num 2", 1, 1, 16),
  Int(kDenom2, "denom 2", 1, 1, 16),
  Double(kTune2, "tune 2", 0.0, -1.0, 1.0, 0.00001),
  Int(kTune2Width, "tune 2 width", 1, 1, 48),
  Double(kBend2, "bend 2", 0.0, -1.0, 1.0, 0.00001),
  Enum(kBend2WindowOrigin, "bend 2 window origin", 0, 2, kBendOrigins),
  Int(kBend2WindowSize, "bend 2 window size", 16, 1, 31),
  Enum(kBend2Type, "bend 2 type", 0, 2, kBendTypes),
  Double(kPhaseOffset2, "phase offset 2", 0.0, 0.0, 1.0, 0.0001),
  Double(kNoise2Amnt, "noise 2 amnt", 0.0, 0.0, 1.0, 0.0001, 3.0),
  Double(kNoise2Color, "noise 2 color", 0.0, -1.0, 1.0, 0.0001),
  Double(kAm2Thresh, "am 2 thresh", 0.5, 0.0, 0.999, 0.0001, 0.4),
  Double(kOsc2Vol, "osc 2 vol", 1.0, 0.0, 1.0, 0.0001, 1.5),
  Double(kIn2Amnt, "in 2 amnt", 0.0, 0.0, 1.0, 0.0001, 2.0),
  Double(kOam2, "oam 2", 0.0, 0.0, 2.0, 0.0001),
  Double(kAm2Depth, "am 2 depth", 1.0, 0.0, 1.0, 0.0001, 0.7),
  Double(kFm2Amnt, "fm 2 amnt", 0.0, -20.0, 20.0, 0.0001),
  Enum(kFm2Source, "fm 2 source", 0, 5, {"fm2 osc", "fm2 flt", "fm2 env", "fm2 aux", "fm2 aux env"}),
  Double(kOsc2A, "osc 2 A", 0.03, 0.005, 6.0, 0.0001, 3.0),
  Double(kOsc2D, "osc 2 D", 0.01, 0.005, 12.0, 0.0001, 3.0),
  Double(kOsc2S, "osc 2 S", 0.8, 0.0, 1.0, 0.0001, 2.0),
  Double(kOsc2R, "osc 2 R", 0.1, 0.005, 15.0, 0.0001, 2.0),
  Double(kPan2, "pan 2", 0.5, 0.0, 1.0, 0.0001),
  Double(kMix2, "mix 2", 1.0, 0.0, 2.0, 0.0001, 2.0),
  Bool(kDcr2, "dcr 2", false),
  Double(kOscFb2, "osc fb 2", 0.0, 0.0, 1.0, 0.0001, 0.7),
  Double(kSl2Softness, "sl 2 softness", 1.0, -0.001, 2.0, 0.001),

  Int(kHsMasterPrePostFlt, "hs master pre-post flt", 1, 0, 2),
  // An int that carries texts; routing translates it to the engine's code.
  Int(kHardsyncMaster, "hardsync master", 1, 0, 2, 1.0, {"o2->o1", "no hs", "o1->o2"}),
  Int(kHsSoft, "hs soft", 0, 0, 500, 2.0),
  Int(kHardsyncPeriod, "hardsync period", 1, 1, 64),

  Enum(kTuneShiverSync, "tune shiver sync", 0, 4, kShiverSyncModes),
  Double(kTune1ShiverAmount, "tune 1 shiver amount", 0.0, 0.0, 1.0, 0.0001),
  Double(kTune1ShiverSpeed, "tune 1 shiver speed", 1.0, 0.1, 100.0, 0.0001, 3.0),
  Double(kTune2ShiverAmount, "tune 2 shiver amount", 0.0, 0.0, 1.0, 0.0001),
  Double(kTune2ShiverSpeed, "tune 2 shiver speed", 1.0, 0.1, 100.0, 0.0001, 3.0),
  Enum(kBendShiverSync, "bend shiver sync", 0, 4, kShiverSyncModes),
  Double(kBend1ShiverAmount, "bend 1 shiver amount", 0.0, 0.0, 2.0, 0.0001, 2.1),
  Double(kBend1ShiverSpeed, "bend 1 shiver speed", 4.0, 0.1, 100.0, 0.0001, 3.0),
  Double(kBend2ShiverAmount, "bend 2 shiver amount", 0.0, 0.0, 2.0, 0.0001, 2.1),
  Double(kBend2ShiverSpeed, "bend 2 shiver speed", 4.0, 0.1, 100.0, 0.0001, 3.0),
  Enum(kCutoffShiverSync, "cutoff shiver sync", 0, 4, kShiverSyncModes),
  Double(kCutoff1ShiverAmount, "cutoff 1 shiver amount", 0.0, 0.0, 1.0, 0.0001, 1.5),
  Double(kCutoff1ShiverSpeed, "cutoff 1 shiver speed", 8.0, 0.1, 100.0, 0.0001, 3.0),
  Double(kCutoff2ShiverAmount, "cutoff 2 shiver amount", 0.0, 0.0, 1.0, 0.0001, 1.5),
  Double(kCutoff2ShiverSpeed, "cutoff 2 shiver speed", 8.0, 0.1, 100.0, 0.0001, 3.0),
  Enum(kPanShiverSync, "pan shiver sync", 0, 4, kShiverSyncModes),
  Double(kPan1ShiverAmount, "pan 1 shiver amount", 0.0, 0.0, 1.0, 0.0001, 2.1),
  Double(kPan1ShiverSpeed, "pan 1 shiver speed", 0.5, 0.1, 100.0, 0.0001, 3.0),
  Double(kPan2ShiverAmount, "pan 2 shiver amount", 0.0, 0.0, 1.0, 0.0001, 2.1),
  Double(kPan2ShiverSpeed, "pan 2 shiver speed", 0.5, 0.1, 100.0, 0.0001, 3.0),

  Enum(kPolyMono, "poly/mono", 1, 2, {"mono", "poly"}),
  Int(kMaxVoiceCount, "max voice count", 8, 2, 32),
  Double(kGlide, "glide", 0.1, 0.0005, 10.0, 0.0001, 3.5),
  Bool(kGlideHead, "glide head", false, kGlideSwitch),
  Bool(kGlideTail, "glide tail", false, kGlideSwitch),
  Bool(kRearticulateGlidesForward, "rearticulate glides forward", true, kRearticulateSwitch),
  Bool(kRearticulateGlidesBack, "rearticulate glides back", false, kRearticulateSwitch),

  Bool(kFlt1OnOff, "flt 1 on/off", true, {"flt1 off", "flt1 on"}),
  Enum(kFlt1Model, "flt 1 model", kFltSimple, kNumFilterModels, kFilterModels),
  Enum(kFlt1PassType, "flt 1 pass type", kLP, kNumFilterPassTypes, kPassTypes),
  Double(kFlt1F, "flt 1 f", 11000.0, 10.0, 20000.0, 0.0001, 2.0),
  Bool(kFlt1FollowNote, "flt 1 follow note", false),
  Double(kFlt1Q, "flt 1 q", 0.0, 0.0, 1.0, 0.00001, 1.0),
  Double(kFlt1Env, "flt 1 env", 0.0, -1.0, 1.0, 0.001),
  Double(kFlt1A, "flt 1 A", 0.005, 0.005, 6.0, 0.0001, 3.0),
  Double(kFlt1D, "flt 1 D", 0.1, 0.005, 12.0, 0.0001, 3.0),
  Double(kFlt1S, "flt 1 S", 0.0, 0.0, 1.0, 0.0001, 2.0),
  Double(kFlt1R, "flt 1 R", 0.1, 0.005, 15.0, 0.0001, 2.0),

  Bool(kFlt2OnOff, "flt 2 on/off", true, {"flt2 off", "flt2 on"}),
  Enum(kFlt2Model, "flt 2 model", kFltSimple, kNumFilterModels, kFilterModels),
  Enum(kFlt2PassType, "flt 2 pass type", kLP, kNumFilterPassTypes, kPassTypes),
  Double(kFlt2F, "flt 2 f", 11000.0, 10.0, 20000.0, 0.0001, 2.0),
  Bool(kFlt2FollowNote, "flt 2 follow note", false),
  Double(kFlt2Q, "flt 2 q", 0.0, 0.0, 1.0, 0.00001, 1.0),
  Double(kFlt2Env, "flt 2 env", 0.0, -1.0, 1.0, 0.001),
  Double(kFlt2A, "flt 2 A", 0.005, 0.005, 6.0, 0.0001, 3.0),
  Double(kFlt2D, "flt 2 D", 0.1, 0.005, 12.0, 0.0001, 3.0),
  Double(kFlt2S, "flt 2 S", 0.0, 0.0, 1.0, 0.0001, 2.0),
  Double(kFlt2R, "flt 2 R", 0.1, 0.005, 15.0, 0.0001, 2.0),

  Bool(kAm1PreFltModulator, "am 1 pre flt modulator", false, kPrePost),
  Bool(kAm2PreFltModulator, "am 2 pre flt modulator", false, kPrePost),
  Bool(kOam1PreFltCarr, "oam 1 pre flt carr", false, kPrePost),
  Bool(kOam2PreFltCarr, "oam 2 pre flt carr", false, kPrePost),
  Bool(kOam1PreFltModulator, "oam 1 pre flt modulator", false, kPrePost),
  Bool(kOam2PreFltModulator, "oam 2 pre flt modulator", false, kPrePost),
  Bool(kCarr1Flt, "carr 1 flt", false),
  Bool(kCarr2Flt, "carr 2 flt", false),
  Double(kOam1Thresh, "oam 1 thresh", 0.5, 0.0, 0.999, 0.0001, 0.5),
  Double(kOam2Thresh, "oam 2 thresh", 0.5, 0.0, 0.999, 0.0001, 0.5),
  Bool(kAddExt2ToOam1, "add ext2 to oam 1", true),
  Bool(kAddExt1ToOam2, "add ext1 to oam 2", true),
  Bool(kFilterAux1, "filter aux 1", false),
  Bool(kFilterAux2, "filter aux 2", false),

  // A negative softness switches the master limiter's softening off.
  Double(kMasterLimSoftness, "master lim softness", -0.001, -0.001, 2.0, 0.001),
  Double(kMasterAmp, "master amp", 1.0, 0.0, 2.0, 0.0001, 1.5),
  Bool(kMidiPanic, "MIDI Panic", false, {"all is good", "PANIC"}),

  Int(kOsc1Oversampling, "osc1 oversampling", 0, 0, 3),
  Double(kWf1PolysawType, "wf 1 polysaw type", 0.0, 0.0, 1.0, 0.001),
  Double(kWf2PolysawType, "wf 2 polysaw type", 0.0, 0.0, 1.0, 0.001),
  Double(kFlt1Drive, "flt 1 drive", 0.0, 0.0, 1.0, 0.0001, 1.5),
  Double(kFlt2Drive, "flt 2 drive", 0.0, 0.0, 1.0, 0.0001, 1.5),
  Int(kOsc2Oversampling, "osc2 oversampling", 0, 0, 3),
  Double(kFlt1AddParam, "flt 1 add param", 0.0, -1.0, 1.0, 0.0001),
  Double(kFlt2AddParam, "flt 2 add param", 0.0, -1.0, 1.0, 0.0001),
}};
// clang-format on

constexpr bool RowsAreInIndexOrder()
{
  for (int i = 0; i < kNumParams; ++i)
    if (kRows[i].index != i) return false;
  return true;
}
static_assert(RowsAreInIndexOrder(), "every row must sit at its own index");
}  // namespace

const VornaParamRow& GetVornaParamRow(int index) { return kRows[index]; }

void DeclareVornaParams(IPlugBase& plug)
{
  for (const VornaParamRow& row : kRows)
  {
    IParam* param = plug.GetParam(row.index);
    switch (row.kind)
    {
      case IParam::kTypeBool: param->InitBool(row.name, row.defaultValue != 0.0, "", ""); break;
      case IParam::kTypeInt:
        param->InitInt(row.name, int(row.defaultValue), int(row.minValue), int(row.maxValue), "", "");
        break;
      case IParam::kTypeEnum: param->InitEnum(row.name, int(row.defaultValue), int(row.maxValue) + 1, "", ""); break;
      default: param->InitDouble(row.name, row.defaultValue, row.minValue, row.maxValue, row.step, "", "", 1.0); break;
    }
  }
}

void SetVornaParamShapes(IPlugBase& plug)
{
  for (const VornaParamRow& row : kRows)
    if (row.shape != 1.0) plug.GetParam(row.index)->SetShape(row.shape);
}

void SetVornaParamDisplayTexts(IPlugBase& plug)
{
  for (const VornaParamRow& row : kRows)
  {
    const int n = row.NumTexts();
    if (n == 0) continue;
    IParam* param = plug.GetParam(row.index);
    param->ClearDisplayTexts();
    for (int value = 0; value < n; ++value) param->SetDisplayText(value, row.texts[value]);
  }
}
