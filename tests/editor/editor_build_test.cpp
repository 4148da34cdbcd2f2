// The editor as the plug-in builds it: every control of its table, in its drawing
// order, with its words, and what starts hidden.
#include "editor_harness.h"

#include <algorithm>
#include <set>
#include <typeinfo>

using namespace edtest;

namespace
{
bool IsOfKind(IControl* c, ControlKind kind)
{
  switch (kind)
  {
    case ControlKind::kKnob: return typeid(*c) == typeid(IKnobMultiControlZK);
    case ControlKind::kMappedKnob: return typeid(*c) == typeid(IKnobControlMappedZK);
    case ControlKind::kSwitch: return typeid(*c) == typeid(ISwitchControlZK);
    case ControlKind::kContact: return typeid(*c) == typeid(IContactControlZK);
    case ControlKind::kViewSwitch: return typeid(*c) == typeid(ISwitchControlWSignalZK);
    case ControlKind::kList: return typeid(*c) == typeid(IListControlZK);
    case ControlKind::kTextButton: return typeid(*c) == typeid(IButtonTextControlZK);
    case ControlKind::kTextButtonWithSignal: return typeid(*c) == typeid(IButtonTextWithSignal);
    case ControlKind::kTextContactWithSignal: return typeid(*c) == typeid(IContactTextControlWSignalZK);
    case ControlKind::kIntField: return typeid(*c) == typeid(IIntValTextControlZK);
    case ControlKind::kFloatField: return typeid(*c) == typeid(IFloatValTextCtrlWSignalZK);
    case ControlKind::kText: return typeid(*c) == typeid(ITextControlZK);
  }
  return false;
}

// One frame of the strip the build drew.
IRECT FrameSize(int imageId)
{
  const EditorImage* image = FindEditorImage(imageId);
  LICE_IBitmap* bmp = LICE_LoadPNG((std::string(VORNA_IMAGE_DIR) + "/" + image->file).c_str());
  const IRECT size(0, 0, bmp->getWidth(), bmp->getHeight() / image->frames);
  delete bmp;
  return size;
}
}  // namespace

TEST(EditorBuild, EveryParameterHasItsTabledControlImageAndPlace)
{
  Editor e;
  std::set<int> seen;
  for (const ControlRow& row : kControlRows)
  {
    if (row.id < 0) continue;
    IControlZK* c = e.Control(row.id);
    ASSERT_NE(c, nullptr) << row.id;
    EXPECT_EQ(c->ParamIdx(), row.id);
    EXPECT_TRUE(IsOfKind(c, row.kind)) << row.id << " is a " << typeid(*c).name();
    EXPECT_EQ(c->GetBodyRECT().L, row.x) << row.id;
    EXPECT_EQ(c->GetBodyRECT().T, row.y) << row.id;
    if (row.imageId)
    {
      const IRECT frame = FrameSize(row.imageId);
      EXPECT_EQ(c->GetBodyRECT().W(), frame.W()) << row.id;
      EXPECT_EQ(c->GetBodyRECT().H(), frame.H()) << row.id;
    }
    seen.insert(row.id);
  }
  EXPECT_EQ(seen.size(), size_t(kNumParams));
  // Places and kinds the layout is known by.
  EXPECT_TRUE(IsOfKind(e.Control(kFm2Amnt), ControlKind::kMappedKnob));
  EXPECT_EQ(e.Control(kFm2Amnt)->GetBodyRECT().T, 431);
  EXPECT_EQ(e.Control(kWf2SyncWidth)->GetBodyRECT().L, e.Control(kWf2PolysawType)->GetBodyRECT().L);
  EXPECT_EQ(static_cast<IKnobMultiControlZK*>(e.Control(kHsSoft))->GetTextLength(), 3);
  EXPECT_EQ(static_cast<IKnobMultiControlZK*>(e.Control(kGlide))->GetTextLength(), 5);
  EXPECT_TRUE(IsOfKind(e.Control(kFlt2Model), ControlKind::kList));
}

TEST(EditorBuild, ControlsAreDrawnInTheirOrderWithTheMenuLast)
{
  Editor e;
  IGraphics* g = e.gui;
  ASSERT_EQ(g->GetNControls(), 151);
  const int late[] = {2, 3, 20, 32, 33, 50, 92, 103};
  int i = 1;  // 0 is the background
  for (int p = 0; p < kNumParams; ++p)
  {
    if (std::find(std::begin(late), std::end(late), p) != std::end(late)) continue;
    EXPECT_EQ(g->GetControl(i++), e.Control(p)) << p;
  }
  for (int p : late) EXPECT_EQ(g->GetControl(i++), e.Control(p)) << p;
  Vorna& plug = *e.plug;
  const IControl* own[] = {plug.GetAMViewSwitch(0), plug.GetAMViewSwitch(1), plug.GetInfoButton(),
                           plug.GetTooltipButton(), plug.GetChanConfigButton(), plug.GetTempoEntry()};
  for (const IControl* c : own) EXPECT_EQ(g->GetControl(i++), c);
  EXPECT_EQ(g->GetControl(i)->ParamIdx(), -1);  // the two empty text lines
  EXPECT_EQ(g->GetControl(i + 1)->ParamIdx(), -1);
  i += 2;
  EXPECT_EQ(g->GetControl(i++), plug.GetTooltipControl());
  EXPECT_EQ(g->GetControl(i++), plug.GetInfoPanel());
  EXPECT_EQ(g->GetControl(i++), plug.GetChanConfigPanel());
  EXPECT_EQ(g->GetControl(i), plug.GetMenuControl());
  EXPECT_EQ(plug.GetParamControl(kNumParams), plug.GetMenuControl());
}

TEST(EditorBuild, ExactlyTheUnusedControlsStartHidden)
{
  Editor e;
  // The feedback knobs, all four AM groups, and what the default sound does not use:
  // the waveform extras of sine, the hard-sync controls, the formant filter's knob.
  const std::set<int> hidden = {28, 58,  13,  15,  16,  14,  18,  113, 125, 43,  45,  46, 44, 48, 114, 126,
                                115, 117, 119, 121, 123, 116, 118, 120, 122, 124, 2, 131, 32, 132, 60, 62, 63, 136, 137};
  for (int p = 0; p < kNumParams; ++p) EXPECT_EQ(e.Hidden(p), hidden.count(p) == 1) << p;
  EXPECT_FALSE(e.plug->GetTempoEntry()->IsHidden());
  EXPECT_TRUE(e.plug->GetChanConfigButton()->IsHidden());
  EXPECT_FALSE(e.plug->GetTooltipButton()->IsHidden());  // shares its id with the hidden button
  EXPECT_FALSE(e.plug->GetInfoButton()->IsHidden());
}

TEST(EditorBuild, LabelsAndHelpTextsAreTheEditorsWords)
{
  Editor e;
  const std::pair<int, const char*> labels[] = {
      {kTune1, "tune"},           {kPhaseOffset2, "phase"},  {kFm1Amnt, "fm"},         {kBend2, "bend"},
      {kCutoff2ShiverAmount, "shvr"}, {kPan1ShiverSpeed, "s spd"}, {kHardsyncMaster, "hs"}, {kHardsyncPeriod, "period"},
      {kHsSoft, "soft"},          {kPolyMono, "poly"},       {128, "amp"},        {kNoise2Color, "n col"},
      {kAm2Thresh, "thresh"},     {121, "thresh"},           {kOam1, "osc 2 am"},     {kOam2, "osc 1 am"},
      {123, "+ aux 2"},           {124, "+ aux 1"},          {127, "sl soft"},        {kMix2, "vol"},
      {kFlt2Env, "env"},          {kFlt1Drive, "drive"},     {kFlt2R, "R"},           {135, "os"},
  };
  for (const auto& [p, text] : labels)
  {
    ASSERT_EQ(e.Control(p)->NLabels(), 1) << p;
    EXPECT_EQ(e.Control(p)->GetLabel(0).mText, text) << p;
  }
  EXPECT_EQ(e.plug->GetTempoEntry()->GetLabel(0).mText, "bpm");
  const int unlabelled[] = {0, 1, 3, 20, 27, 64, 85, 91, 95, 113, 129, 132};
  for (int p : unlabelled) EXPECT_EQ(e.Control(p)->NLabels(), 0) << p;
  for (int p = 0; p < kNumParams; ++p) EXPECT_TRUE(e.Control(p)->mShowLabels) << p;
  // Large knobs' labels sit 4 pixels further left than a small knob's would.
  const IRECT body = e.Control(kTune1)->GetBodyRECT(), label = e.Control(kTune1)->GetLabelRECT(0);
  EXPECT_NEAR((label.L + label.R) / 2.0, (body.L + body.R) / 2.0 - 4, 1.0);

  const std::pair<int, const char*> tips[] = {
      {130, "\nmore oversampling causes\nintense CPU usage."},
      {127, "when <= 0 the limiter's threshold is set to >12dB\n(practically off for normal signals)."},
      {kNum2, "\nmultiply osc frequency."},
      {kDenom1, "\ndivide osc frequency."},
      {kWaveform2, "\nsync and polysaw have additional param."},
      {kBend1Type, "\nsymmetric or asymmetric bending."},
      {kBendShiverSync, "\nNONE - all shivers are independent,\nOSC - all osc 1 are synced and all osc 2 are synced,"
                        "\nVOICE - osc 1 and osc 2 are synced inside a voice,\nALL - all shivers are synced.\nonly "
                        "directions are synced, osc 1 and 2 amounts are independent."},
      {kCutoff2ShiverAmount, "\nindependent of sync mode."},
      {kPan2ShiverSpeed, "\nwhen synced, osc 1 value is used,\nosc 2 shiver speed is ignored."},
      {kOsc2Vol, "\nyou can silense this osc and leave only the carrier.\nnote that when you feed OAM through the "
                 "filter,\nit may result in complete silence."},
      {kOam2, "\nadd other osc as an AM carrier."},
      {120, "\nsend carrier osc to this filter too.\nNB: mind the overdrive by the mutual carr filtering"},
      {126, "\nput aux through the noise filter."},
      {122, "\nstart AM when the modulator\nis louder than this value."},
      {118, "\nmodulate with clean or filtered osc sound."},
      {116, "\nmodulate clean or filtered carrier osc."},
      {kFlt2F, "\nwhen flt follows note\nit serves as minimum freq"},
      {kDcr2, "\nremove DC. useful with very low frequencies and high feedbacks\nincluding high osc AM values and "
              "weird FM uses."},
      {kMaxVoiceCount, "\nmore voices loads CPU more."},
      {kGlideTail, "\nkeep gliding to the new note's\nfreq when it was released."},
      {129, "\nerase MIDI map available in the menu."},
      {kFlt2Model, "\nwhen formant filter is used,\nf selects vowel, q selects timbre."},
  };
  for (const auto& [p, text] : tips) EXPECT_EQ(e.Control(p)->mTooltipText, text) << p;
  const int untipped[] = {0, 2, 5, 12, 19, 21, 25, 28, 60, 84, 86, 93, 98, 128, 131, 136};
  for (int p : untipped) EXPECT_EQ(e.Control(p)->mTooltipText, "") << p;
  EXPECT_EQ(e.plug->GetAMViewSwitch(1)->mTooltipText,
            "show/hide additional AM params.\nthis switch does not affect the sound.");
  EXPECT_EQ(e.plug->GetChanConfigButton()->mTooltipText.substr(0, 29), "chanel config for FM and AM.\n");
  EXPECT_EQ(e.plug->GetTooltipButton()->mTooltipText, "");
}
