#pragma once

#include "IParam.h"

#include <array>
#include <string>

class IPlugBase;

// The synthesizer's parameters by index. The index is a parameter's identity
// everywhere: in the state chunk, in the MIDI-learn map and in the routing.
enum EParam : int
{
  // oscillator 1
  kOsc1OnOff = 0,
  kWaveform1,
  kWf1SyncWidth,
  kNum1,
  kDenom1,
  kTune1,
  kTune1Width,
  kBend1,
  kBend1WindowOrigin,
  kBend1WindowSize,
  kBend1Type,
  kPhaseOffset1,
  kNoise1Amnt,
  kNoise1Color,
  kAm1Thresh,
  kOsc1Vol,
  kIn1Amnt,
  kOam1,
  kAm1Depth,
  kFm1Amnt,
  kFm1Source,
  kOsc1A,
  kOsc1D,
  kOsc1S,
  kOsc1R,
  kPan1,
  kMix1,
  kDcr1,
  kOscFb1,
  kSl1Softness,
  // oscillator 2: the same thirty in the same order
  kOsc2OnOff,
  kWaveform2,
  kWf2SyncWidth,
  kNum2,
  kDenom2,
  kTune2,
  kTune2Width,
  kBend2,
  kBend2WindowOrigin,
  kBend2WindowSize,
  kBend2Type,
  kPhaseOffset2,
  kNoise2Amnt,
  kNoise2Color,
  kAm2Thresh,
  kOsc2Vol,
  kIn2Amnt,
  kOam2,
  kAm2Depth,
  kFm2Amnt,
  kFm2Source,
  kOsc2A,
  kOsc2D,
  kOsc2S,
  kOsc2R,
  kPan2,
  kMix2,
  kDcr2,
  kOscFb2,
  kSl2Softness,
  // hard sync
  kHsMasterPrePostFlt,
  kHardsyncMaster,
  kHsSoft,
  kHardsyncPeriod,
  // shivers: sync mode, then amount and speed per oscillator
  kTuneShiverSync,
  kTune1ShiverAmount,
  kTune1ShiverSpeed,
  kTune2ShiverAmount,
  kTune2ShiverSpeed,
  kBendShiverSync,
  kBend1ShiverAmount,
  kBend1ShiverSpeed,
  kBend2ShiverAmount,
  kBend2ShiverSpeed,
  kCutoffShiverSync,
  kCutoff1ShiverAmount,
  kCutoff1ShiverSpeed,
  kCutoff2ShiverAmount,
  kCutoff2ShiverSpeed,
  kPanShiverSync,
  kPan1ShiverAmount,
  kPan1ShiverSpeed,
  kPan2ShiverAmount,
  kPan2ShiverSpeed,
  // voices and glide
  kPolyMono,
  kMaxVoiceCount,
  kGlide,
  kGlideHead,
  kGlideTail,
  kRearticulateGlidesForward,
  kRearticulateGlidesBack,
  // filter 1
  kFlt1OnOff,
  kFlt1Model,
  kFlt1PassType,
  kFlt1F,
  kFlt1FollowNote,
  kFlt1Q,
  kFlt1Env,
  kFlt1A,
  kFlt1D,
  kFlt1S,
  kFlt1R,
  // filter 2
  kFlt2OnOff,
  kFlt2Model,
  kFlt2PassType,
  kFlt2F,
  kFlt2FollowNote,
  kFlt2Q,
  kFlt2Env,
  kFlt2A,
  kFlt2D,
  kFlt2S,
  kFlt2R,
  // routing switches
  kAm1PreFltModulator,
  kAm2PreFltModulator,
  kOam1PreFltCarr,
  kOam2PreFltCarr,
  kOam1PreFltModulator,
  kOam2PreFltModulator,
  kCarr1Flt,
  kCarr2Flt,
  kOam1Thresh,
  kOam2Thresh,
  kAddExt2ToOam1,
  kAddExt1ToOam2,
  kFilterAux1,
  kFilterAux2,
  // master
  kMasterLimSoftness,
  kMasterAmp,
  kMidiPanic,
  // added later, hence out of their groups
  kOsc1Oversampling,
  kWf1PolysawType,
  kWf2PolysawType,
  kFlt1Drive,
  kFlt2Drive,
  kOsc2Oversampling,
  kFlt1AddParam,
  kFlt2AddParam,

  kNumParams
};

static_assert(kNumParams == 138);

// One row of the parameter table. Ranges are plain values; an enum's range
// ends at its count minus one. Shape 1 is linear. Display texts belong to the
// values 0, 1, 2, ... in order; a row without texts keeps what the kind
// attaches by itself (a bool shows "off" and "on").
struct VornaParamRow
{
  static constexpr int kMaxTexts = 6;

  EParam index;
  const char* name;
  IParam::EParamKind kind;
  double defaultValue;
  double minValue;
  double maxValue;
  double step;  // doubles only; the other kinds step by 1
  double shape;
  std::array<const char*, kMaxTexts> texts;

  int NumTexts() const
  {
    int n = 0;
    while (n < kMaxTexts && texts[n]) ++n;
    return n;
  }
};

// The row of a parameter index (0 .. kNumParams - 1).
const VornaParamRow& GetVornaParamRow(int index);

// The three steps that define the parameters on a plug-in with kNumParams
// parameters, in this order: kinds, names, defaults, ranges and steps; then the
// value curves; then the display texts.
void DeclareVornaParams(IPlugBase& plug);
void SetVornaParamShapes(IPlugBase& plug);
void SetVornaParamDisplayTexts(IPlugBase& plug);

// A parameter set by name from the command line (vorna-render, vorna-host).
struct ParamSetting
{
  int paramIdx;
  double value;  // plain value, inside the parameter's range
};
// The index of the parameter the table names `name`, or -1.
int FindParam(const std::string& name);
// "NAME=VALUE": NAME exactly as the parameter table names it (blanks around it
// ignored), VALUE a plain value: any number inside a continuous parameter's
// range, a whole number for the other kinds (a switch takes 0 or 1). False,
// with a sentence that names the offending argument in error, otherwise.
bool ParseParamSetting(const std::string& text, ParamSetting* setting, std::string* error);
