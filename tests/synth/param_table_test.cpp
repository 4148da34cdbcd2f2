#include "IPlugStandalone.h"
#include "VornaParams.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <string>

namespace
{
// The parameters as the plug-in defines them, on a bare standalone base.
std::unique_ptr<IPlugStandalone> MakeDefinedPlug()
{
  auto plug = std::make_unique<IPlugStandalone>(IPlugInstanceInfo{}, kNumParams, "2-2", 0, "params", "", "maker", 1,
                                                1, 1, 0, true, true, true, 0);
  DeclareVornaParams(*plug);
  SetVornaParamShapes(*plug);
  SetVornaParamDisplayTexts(*plug);
  return plug;
}

std::string Shown(const IParam* p, double plainValue)
{
  char text[IParam::kDisplaySize];
  p->GetDisplayForHost(plainValue, false, text, true);
  return text;
}

// "osc 1 vol" -> "osc 2 vol": oscillator 2's names and texts differ only there.
std::string ToSecond(std::string text, char from, char to)
{
  for (char& c : text)
    if (c == from) c = to;
  return text;
}

class ParamTable : public ::testing::Test
{
protected:
  std::unique_ptr<IPlugStandalone> plug = MakeDefinedPlug();
  const IParam* P(int index) const { return plug->GetParam(index); }
};
}  // namespace

TEST_F(ParamTable, KindsAddUpToTheInstrumentsVocabulary)
{
  // 81 continuous, 15 integer, 17 enumerated and 25 on/off parameters.
  std::array<int, 5> perKind{};
  for (int i = 0; i < kNumParams; ++i) ++perKind[P(i)->Type()];
  EXPECT_EQ(perKind[IParam::kTypeNone], 0);
  EXPECT_EQ(perKind[IParam::kTypeDouble], 81);
  EXPECT_EQ(perKind[IParam::kTypeInt], 15);
  EXPECT_EQ(perKind[IParam::kTypeEnum], 17);
  EXPECT_EQ(perKind[IParam::kTypeBool], 25);
}

TEST_F(ParamTable, NamesAreUniqueSoThatTheyCanAddressAParameter)
{
  std::set<std::string> names;
  for (int i = 0; i < kNumParams; ++i) EXPECT_TRUE(names.insert(P(i)->GetNameForHost()).second) << i;
}

TEST_F(ParamTable, RowsReadBackWithTheirKindDefaultRangeAndShape)
{
  struct Expected
  {
    int index;
    const char* name;
    IParam::EParamKind kind;
    double defaultValue, minValue, maxValue, shape;
  };
  const Expected rows[] = {
      {94, "flt 1 f", IParam::kTypeDouble, 11000.0, 10.0, 20000.0, 2.0},
      {62, "hs soft", IParam::kTypeInt, 0.0, 0.0, 500.0, 2.0},
      {61, "hardsync master", IParam::kTypeInt, 1.0, 0.0, 2.0, 1.0},
      {127, "master lim softness", IParam::kTypeDouble, -0.001, -0.001, 2.0, 1.0},
      {29, "sl 1 softness", IParam::kTypeDouble, 1.0, -0.001, 2.0, 1.0},
      {86, "glide", IParam::kTypeDouble, 0.1, 0.0005, 10.0, 3.5},
      {85, "max voice count", IParam::kTypeInt, 8.0, 2.0, 32.0, 1.0},
      {84, "poly/mono", IParam::kTypeEnum, 1.0, 0.0, 1.0, 1.0},
      {14, "am 1 thresh", IParam::kTypeDouble, 0.5, 0.0, 0.999, 0.4},
      {70, "bend 1 shiver amount", IParam::kTypeDouble, 0.0, 0.0, 2.0, 2.1},
      {129, "MIDI Panic", IParam::kTypeBool, 0.0, 0.0, 1.0, 1.0},
      {130, "osc1 oversampling", IParam::kTypeInt, 0.0, 0.0, 3.0, 1.0},
      {137, "flt 2 add param", IParam::kTypeDouble, 0.0, -1.0, 1.0, 1.0},
  };
  for (const Expected& e : rows)
  {
    SCOPED_TRACE(e.name);
    const IParam* p = P(e.index);
    EXPECT_STREQ(p->GetNameForHost(), e.name);
    EXPECT_EQ(p->Type(), e.kind);
    EXPECT_EQ(p->GetDefault(), e.defaultValue);
    EXPECT_EQ(p->Value(), e.defaultValue);
    EXPECT_EQ(p->GetMin(), e.minValue);
    EXPECT_EQ(p->GetMax(), e.maxValue);
    EXPECT_EQ(p->GetShape(), e.shape);
  }
  // The steps show in the display precision: 0.00001 for tune, 0.01 for sync width.
  EXPECT_EQ(P(kTune1)->GetPrecision(), 5);
  EXPECT_EQ(P(kWf1SyncWidth)->GetPrecision(), 2);
}

TEST_F(ParamTable, EnumRangesEndAtTheirCountMinusOne)
{
  EXPECT_EQ(P(kWaveform1)->GetMax(), 5.0);
  EXPECT_EQ(P(kFlt1PassType)->GetMax(), 4.0);
  EXPECT_EQ(P(kTuneShiverSync)->GetMax(), 3.0);
  EXPECT_EQ(P(kFm2Source)->GetMax(), 4.0);
  for (int i = 0; i < kNumParams; ++i)
  {
    if (P(i)->Type() != IParam::kTypeEnum) continue;
    EXPECT_EQ(P(i)->GetNDisplayTexts(), int(P(i)->GetMax()) + 1) << i;
  }
}

TEST_F(ParamTable, DisplayTextsAreTheInstrumentsOwn)
{
  EXPECT_EQ(Shown(P(kFm2Source), 4), "fm2 aux env");
  EXPECT_EQ(Shown(P(kHardsyncMaster), 1), "no hs");
  EXPECT_EQ(Shown(P(kHardsyncMaster), 0), "o2->o1");
  EXPECT_EQ(Shown(P(kWaveform1), 5), "polysaw");
  EXPECT_EQ(Shown(P(kFlt2Model), 3), "t ladder");
  EXPECT_EQ(Shown(P(kFlt1PassType), 4), "BR");
  // Switches with texts of their own show those, not the generic "off"/"on".
  EXPECT_EQ(Shown(P(kMidiPanic), 1), "PANIC");
  EXPECT_EQ(Shown(P(kMidiPanic), 0), "all is good");
  EXPECT_EQ(Shown(P(kOsc2OnOff), 1), "osc2 on");
  EXPECT_EQ(Shown(P(kOam1PreFltCarr), 0), "pre");
  EXPECT_EQ(P(kGlideTail)->GetNDisplayTexts(), 2);
  // Switches without texts of their own keep them.
  EXPECT_EQ(Shown(P(kDcr1), 1), "on");
  EXPECT_EQ(Shown(P(kFilterAux2), 0), "off");
  // Numbers without a text show as numbers.
  EXPECT_EQ(Shown(P(kFlt1F), 440.0), "440.0000");
  EXPECT_EQ(Shown(P(kMaxVoiceCount), 8), "8");
}

TEST_F(ParamTable, SecondOscillatorAndFilterMirrorTheFirst)
{
  auto expectMirror = [&](int first, int second, char from, char to) {
    const IParam* a = P(first);
    const IParam* b = P(second);
    SCOPED_TRACE(a->GetNameForHost());
    EXPECT_EQ(b->GetNameForHost(), ToSecond(a->GetNameForHost(), from, to));
    EXPECT_EQ(b->Type(), a->Type());
    EXPECT_EQ(b->GetDefault(), a->GetDefault());
    EXPECT_EQ(b->GetMin(), a->GetMin());
    EXPECT_EQ(b->GetMax(), a->GetMax());
    EXPECT_EQ(b->GetStep(), a->GetStep());
    EXPECT_EQ(b->GetShape(), a->GetShape());
    ASSERT_EQ(b->GetNDisplayTexts(), a->GetNDisplayTexts());
    for (int k = 0; k < a->GetNDisplayTexts(); ++k)
      EXPECT_EQ(b->GetDisplayTextAtIdx(k), ToSecond(a->GetDisplayTextAtIdx(k), from, to));
  };
  for (int i = 0; i < 30; ++i) expectMirror(kOsc1OnOff + i, kOsc2OnOff + i, '1', '2');
  for (int i = 0; i < 11; ++i) expectMirror(kFlt1OnOff + i, kFlt2OnOff + i, '1', '2');
  expectMirror(kOsc1Oversampling, kOsc2Oversampling, '1', '2');
  expectMirror(kFlt1Drive, kFlt2Drive, '1', '2');
  expectMirror(kFlt1AddParam, kFlt2AddParam, '1', '2');
  expectMirror(kWf1PolysawType, kWf2PolysawType, '1', '2');
  // The four shivers share one layout: sync, then amount and speed per oscillator.
  for (int shiver = 1; shiver < 4; ++shiver)
  {
    EXPECT_EQ(P(kTuneShiverSync + 5 * shiver)->Type(), IParam::kTypeEnum);
    EXPECT_EQ(P(kTuneShiverSync + 5 * shiver)->GetMax(), 3.0);
  }
}

TEST_F(ParamTable, DefaultSoundIsTwoFilteredOscillatorsInPoly)
{
  EXPECT_EQ(P(kOsc1OnOff)->Value(), 1.0);
  EXPECT_EQ(P(kOsc2OnOff)->Value(), 1.0);
  EXPECT_EQ(P(kFlt1OnOff)->Value(), 1.0);
  EXPECT_EQ(P(kFlt2OnOff)->Value(), 1.0);
  EXPECT_EQ(Shown(P(kPolyMono), P(kPolyMono)->Value()), "poly");
  EXPECT_EQ(Shown(P(kFlt1Model), P(kFlt1Model)->Value()), "simple");
  EXPECT_EQ(Shown(P(kFlt1PassType), P(kFlt1PassType)->Value()), "LP");
  EXPECT_EQ(P(kMaxVoiceCount)->Value(), 8.0);
}
