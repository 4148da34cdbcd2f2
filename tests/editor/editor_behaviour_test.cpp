// The editor at work: its rules as the sound changes, its menus, panels and gestures,
// and what it looks like.
#include "FilterModelShapes.h"
#include "editor_harness.h"
#include "globals.h"

#include <cmath>

using namespace edtest;

TEST(EditorRules, WaveformsShowTheirExtraKnobOnly)
{
  Editor e;
  const struct
  {
    int wave;
    bool syncShown, polysawShown;
  } cases[] = {{kOscSinc, true, false}, {kOscPolysaw, false, true}, {kOscSaw, false, false}, {kOscSine, false, false}};
  for (const auto& c : cases)
  {
    e.SetParam(kWaveform2, c.wave);
    EXPECT_EQ(!e.Hidden(kWf2SyncWidth), c.syncShown) << c.wave;
    EXPECT_EQ(!e.Hidden(kWf2PolysawType), c.polysawShown) << c.wave;
    EXPECT_TRUE(e.Hidden(kWf1SyncWidth) && e.Hidden(kWf1PolysawType)) << "oscillator 1 keeps its own";
  }
}

TEST(EditorRules, HardSyncControlsShowWithAMaster)
{
  Editor e;
  for (int master : {0, 1, 2})
  {
    e.SetParam(kHardsyncMaster, master);
    for (int p : {kHsSoft, kHardsyncPeriod, kHsMasterPrePostFlt}) EXPECT_EQ(e.Hidden(p), master == 1) << p;
  }
}

TEST(EditorRules, FilterModelsReshapeRelabelAndHide)
{
  Editor e;
  e.SetParam(kFlt1F, 1000.0);
  e.SetParam(kFlt1Model, kFltFormant);
  EXPECT_EQ(e.Control(kFlt1F)->GetLabel(0).mText, "vowel");
  EXPECT_EQ(e.Control(kFlt1Q)->GetLabel(0).mText, "timbre");
  EXPECT_EQ(e.Control(kFlt1AddParam)->GetLabel(0).mText, "size");
  EXPECT_TRUE(e.Hidden(kFlt1PassType));
  EXPECT_FALSE(e.Hidden(kFlt1AddParam));
  EXPECT_EQ(e.plug->GetParam(kFlt1F)->GetShape(), 1.0);
  EXPECT_EQ(e.plug->GetParam(kFlt1Drive)->GetShape(), 0.6);
  // The knob moved to where the same frequency lies on the new curve.
  EXPECT_NEAR(e.Control(kFlt1F)->GetValue(), e.plug->GetParam(kFlt1F)->GetNormalized(), 1e-12);
  EXPECT_NEAR(e.plug->GetParam(kFlt1F)->Value(), 1000.0, 1e-6);
  EXPECT_EQ(e.Control(kFlt2F)->GetLabel(0).mText, "f");  // filter 2 keeps its model

  e.SetParam(kFlt1Model, kFltReson);
  EXPECT_EQ(e.Control(kFlt1F)->GetLabel(0).mText, "f");
  EXPECT_EQ(e.Control(kFlt1Q)->GetLabel(0).mText, "q");
  EXPECT_EQ(e.Control(kFlt1AddParam)->GetLabel(0).mText, " ");
  EXPECT_FALSE(e.Hidden(kFlt1PassType));
  EXPECT_TRUE(e.Hidden(kFlt1AddParam));
  EXPECT_EQ(e.plug->GetParam(kFlt1Q)->GetShape(), 0.3);
  EXPECT_NEAR(e.Control(kFlt1F)->GetValue(), e.plug->GetParam(kFlt1F)->GetNormalized(), 1e-12);
}

TEST(EditorRules, AMViewSwitchShowsOneGroupOrNone)
{
  Editor e;
  IControl* view = e.plug->GetAMViewSwitch(0);
  const auto& groups = e.plug->GetAMControlGroups();
  const auto shown = [&](int group) {
    bool all = true;
    for (int p : groups[group]) all = all && !e.Hidden(p);
    return all;
  };
  const auto hidden = [&](int group, int except) {
    bool all = true;
    for (int p : groups[group]) all = all && (p == except || e.Hidden(p));
    return all;
  };
  e.plug->ManageAMVisibility(kAMViewSwitch1Id, 1.0);
  EXPECT_TRUE(shown(2));
  EXPECT_TRUE(hidden(0, kOsc1Vol));
  e.plug->ManageAMVisibility(kAMViewSwitch1Id, 0.0);
  EXPECT_TRUE(shown(0));  // the volume, in both groups, stays shown
  EXPECT_TRUE(hidden(2, kOsc1Vol));
  e.plug->ManageAMVisibility(kAMViewSwitch1Id, 0.5);
  EXPECT_TRUE(hidden(0, -1) && hidden(2, -1));
  EXPECT_TRUE(hidden(1, -1) && hidden(3, -1)) << "oscillator 2 untouched";
  // The switch itself: a click steps to the next frame and its rule follows.
  const double before = view->GetValue();
  e.ClickOn(view);
  EXPECT_NE(view->GetValue(), before);
  EXPECT_EQ(e.plug->GetAMView(0), view->GetValue());
}

TEST(EditorRules, ALearnedControllerReachesTheRulesAtTheNextFrame)
{
  Editor e;
  e.plug->OnMenuClickMidiLearn(kWaveform1);
  std::thread audio([&] {
    IMidiMsg bind(0, 0xB0, 20, 0), move(0, 0xB0, 20, 127);
    double silence[32] = {}, left[32], right[32];
    double* ins[8] = {silence, silence, silence, silence, silence, silence, silence, silence};
    double* outs[2] = {left, right};
    e.plug->ProcessMidiMsg(&bind);
    e.plug->LockMutexAndProcessDoubleReplacing(ins, outs, 32);
    e.plug->ProcessMidiMsg(&move);  // the last waveform: polysaw
    e.plug->LockMutexAndProcessDoubleReplacing(ins, outs, 32);
  });
  audio.join();
  EXPECT_TRUE(e.Hidden(kWf1PolysawType)) << "nothing touched off the main thread";
  e.Frame();
  EXPECT_FALSE(e.Hidden(kWf1PolysawType));
  EXPECT_EQ(e.plug->GetParamMenu(kWaveform1)->GetItem(2)->mText.Get(), std::string("MIDI forget CC#20"));
}

TEST(EditorMenus, LearnForgetAndEraseThroughTheMenus)
{
  Editor e;
  IMenuZK* menu = e.plug->GetParamMenu(kFlt1F);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(std::string(menu->GetItem(0)->mText.Get()), "flt 1 f");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemDisabled);
  EXPECT_EQ(e.plug->GetParamMenu(129)->NItems(), 4);

  // A right click opens the menu where it was made; "MIDI learn" arms the parameter.
  const IRECT knob = *e.Control(kFlt1F)->GetTargetRECT();
  const int x = knob.L + 5, y = knob.T + 5;
  e.RightClick(x, y);
  ASSERT_EQ(e.plug->GetMenuControl()->GetMenu(), menu);
  EXPECT_EQ(e.plug->GetMenuControl()->GetRootLevel().GetLevelRECT().L, x);
  EXPECT_EQ(e.plug->GetMenuControl()->GetRootLevel().GetLevelRECT().T, y);
  e.PickMenuItem(1);
  EXPECT_EQ(e.plug->GetMIDIReceiver().GetPendingLearnList().GetSize(), 1);
  // Picked again it unchecks and arms again, but the parameter waits once.
  e.RightClick(x, y);
  e.PickMenuItem(1);
  EXPECT_EQ(menu->GetItem(1)->mState, IMenuItemZK::kItemUnchecked);
  EXPECT_EQ(e.plug->GetMIDIReceiver().GetPendingLearnList().GetSize(), 1);

  IMidiMsg cc(0, 0xB0, 74, 64);
  e.plug->ProcessMidiMsg(&cc);
  double silence[32] = {}, left[32], right[32];
  double* ins[8] = {silence, silence, silence, silence, silence, silence, silence, silence};
  double* outs[2] = {left, right};
  e.plug->LockMutexAndProcessDoubleReplacing(ins, outs, 32);
  EXPECT_EQ(e.plug->GetMIDIReceiver().GetLearnList(74).GetSize(), 1);
  e.RightClick(x, y);
  EXPECT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget CC#74");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemUnchecked);

  // Two bindings: forget drops the lower and names the one left.
  e.plug->GetMIDIReceiver().GetLearnList(90).Add(kFlt1F);
  e.PickMenuItem(2);
  EXPECT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget CC#90");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemUnchecked);
  e.RightClick(x, y);
  e.PickMenuItem(2);
  EXPECT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget (none)");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemDisabled);

  // "erase MIDI map" removes every binding, doubled ones included.
  e.plug->GetMIDIReceiver().GetLearnList(3).Add(kPan2);
  e.plug->GetMIDIReceiver().GetLearnList(3).Add(kPan2);
  e.plug->GetMIDIReceiver().GetLearnList(5).Add(kOsc1Vol);
  e.plug->OnMenuClickEraseMidiMap();
  for (int c = 0; c < 128; ++c) EXPECT_EQ(e.plug->GetMIDIReceiver().GetLearnList(c).GetSize(), 0) << c;
}

TEST(EditorMenus, LearningAgainShowsAtOnceWhatIsStillBound)
{
  Editor e;
  IMenuZK* menu = e.plug->GetParamMenu(kFlt1F);
  const IRECT knob = *e.Control(kFlt1F)->GetTargetRECT();
  const int x = knob.L + 5, y = knob.T + 5;
  const auto pickLearn = [&] {
    e.RightClick(x, y);
    e.PickMenuItem(1);
  };
  const auto controllerArrives = [&](int cc) {
    IMidiMsg msg(0, 0xB0, cc, 64);
    e.plug->ProcessMidiMsg(&msg);
    double silence[32] = {}, left[32], right[32];
    double* ins[8] = {silence, silence, silence, silence, silence, silence, silence, silence};
    double* outs[2] = {left, right};
    e.plug->LockMutexAndProcessDoubleReplacing(ins, outs, 32);
    e.Frame();
  };
  pickLearn();
  controllerArrives(74);
  ASSERT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget CC#74");

  // Learning again unbinds at the pick, and the menu says so before any controller comes.
  pickLearn();
  EXPECT_EQ(e.plug->GetLearnedCC(kFlt1F), -1);
  EXPECT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget (none)");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemDisabled);
  controllerArrives(21);
  EXPECT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget CC#21");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemUnchecked);

  // Bound twice, learning again takes off the lower controller and names the one left.
  e.plug->GetMIDIReceiver().GetLearnList(90).Add(kFlt1F);
  pickLearn();
  EXPECT_EQ(std::string(menu->GetItem(2)->mText.Get()), "MIDI forget CC#90");
  EXPECT_EQ(menu->GetItem(2)->mState, IMenuItemZK::kItemUnchecked);
}

TEST(EditorMenus, TextSizesGrowAndShrinkToAFloor)
{
  Editor e;
  const int tune = e.Control(kTune1)->GetLabelTextSize(0);
  e.plug->IncreaseLabelsSize();
  EXPECT_EQ(e.Control(kPan2)->GetLabelTextSize(0), 31);
  EXPECT_EQ(e.Control(kTune1)->GetLabelTextSize(0), tune + 1);
  for (int i = 0; i < 40; ++i) e.plug->DecreaseLabelsSize();
  EXPECT_EQ(e.Control(kTune1)->GetLabelTextSize(0), 4);
  EXPECT_EQ(e.plug->GetMenuControl()->GetTextSize(), 4);
  // The tooltip button's right click opens the text-size menu.
  e.RightClick(e.plug->GetTooltipButton()->GetTargetRECT()->L + 2, e.plug->GetTooltipButton()->GetTargetRECT()->T + 2);
  EXPECT_EQ(e.plug->GetMenuControl()->GetMenu(), e.plug->GetTextSizeMenu());
}

TEST(EditorPanels, InfoShowsTheCurrentAudioSettingsAndChannelsPickPairs)
{
  Editor e;
  e.plug->SetBlockSize(64);
  e.plug->SetSampleRate(48000.0);
  e.ClickOn(e.plug->GetInfoButton());
  EXPECT_TRUE(e.plug->GetInfoPanel()->IsPanelShown());
  EXPECT_EQ(e.plug->GetInfoDynamicText()->GetString(), "block size: 64\nsample rate: 48000");
  e.Click(2, 2);  // outside its box
  EXPECT_FALSE(e.plug->GetInfoPanel()->IsPanelShown());

  e.plug->OnButtonClickChannelConfig(kChanConfigButtonId, 1.0);
  EXPECT_TRUE(e.plug->GetChanConfigPanel()->IsPanelShown());
  e.plug->OnChannelConfigChange(Vorna::kAM2InputPair, 3);
  EXPECT_EQ(e.plug->GetInputPairSel(2), 2);
  EXPECT_EQ(static_cast<IIntValTextControlZK*>(e.plug->GetInputSelector(2))->GetInt(), 3);
  e.plug->OnChannelConfigChange(Vorna::kFMInputPair, 4);
  EXPECT_EQ(e.plug->GetInputPairSel(0), 3);
  EXPECT_EQ(e.plug->GetInputPairSel(1), 0);

  // The selectors count input pairs: turned past the fourth they stay there, in a box
  // one digit wide.
  auto* am1 = static_cast<IIntValTextControlZK*>(e.plug->GetInputSelector(1));
  IMouseMod none(false);
  for (int step = 0; step < 20; ++step) am1->OnMouseWheel(0, 0, &none, 1);
  EXPECT_EQ(am1->GetInt(), 4);
  EXPECT_EQ(e.plug->GetInputPairSel(1), 3);
  for (int step = 0; step < 20; ++step) am1->OnMouseWheel(0, 0, &none, -1);
  EXPECT_EQ(am1->GetInt(), 1);
  EXPECT_EQ(am1->GetBodyRECT().W(), 28);
}

TEST(EditorGestures, ClicksAndDragsMoveParametersAndDrawing)
{
  Editor e;
  // A click steps the waveform switch, and its rule shows the sinc width at the fifth.
  for (int i = 0; i < 4; ++i) e.ClickOn(e.Control(kWaveform1));
  EXPECT_EQ(e.plug->GetParam(kWaveform1)->Int(), kOscSinc);
  EXPECT_FALSE(e.Hidden(kWf1SyncWidth));
  // A drag upwards turns a knob and its parameter.
  const double before = e.plug->GetParam(kMix1)->GetNormalized();
  const IRECT knob = *e.Control(kMix1)->GetTargetRECT();
  e.Press(knob.L + 5, knob.T + 10);
  e.DragTo(knob.L + 5, knob.T);
  e.Release(knob.L + 5, knob.T);
  EXPECT_GT(e.plug->GetParam(kMix1)->GetNormalized(), before);
  EXPECT_EQ(e.Control(kMix1)->GetValue(), e.plug->GetParam(kMix1)->GetNormalized());

  // A hidden control leaves the background where no shown control reaches.
  e.FramesUntilClean();
  e.FullRedraw();
  const IRECT fb = *e.Control(kOscFb1)->GetRECT();
  LICE_IBitmap* bg = LICE_LoadPNG((std::string(VORNA_IMAGE_DIR) + "/bg.png").c_str());
  int checked = 0, same = 0;
  for (int y = fb.T; y < fb.B; ++y)
    for (int x = fb.L; x < fb.R; ++x)
    {
      bool covered = false;
      for (int i = 1; i < e.gui->GetNControls(); ++i)
      {
        IControl* c = e.gui->GetControl(i);
        covered = covered || (!c->IsHidden() && c->GetRECT()->Contains(x, y) && c != e.plug->GetMenuControl() &&
                              c != e.plug->GetTooltipControl());
      }
      if (covered) continue;
      ++checked;
      same += e.ScreenPixel(x, y) == (LICE_GetPixel(bg, x, y) & 0xFFFFFF);
    }
  delete bg;
  EXPECT_GT(checked, 200);
  EXPECT_EQ(same, checked);
}

TEST(EditorSnapshot, DefaultEditorAndPanelsLeaveNoTrace)
{
  Editor e;
  e.FullRedraw();
  WriteSnapshot(e, "editor-default");
  const std::vector<unsigned int> before = e.ScreenPixels();
  for (IPanelControlZK* panel : {e.plug->GetInfoPanel(), e.plug->GetChanConfigPanel()})
  {
    panel->OpenPanel();
    e.FramesUntilClean();
    WriteSnapshot(e, panel == e.plug->GetInfoPanel() ? "editor-info" : "editor-channels");
    panel->ClosePanel();
    e.FramesUntilClean();
    EXPECT_TRUE(e.ScreenPixels() == before);
  }
}

TEST(SoundShapes, FilterModelsShapeTheirKnobsWithoutAnEditor)
{
  unsigned short channel = 0;
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &channel));
  ASSERT_EQ(plug->GetGUI(), nullptr);
  for (int model = 0; model < kNumFilterModels; ++model)
  {
    plug->SetParameterFromGUI(kFlt2Model, plug->GetParam(kFlt2Model)->GetNormalized(model));
    const FilterModelShapes s = ShapesForFilterModel(model);
    EXPECT_EQ(plug->GetParam(kFlt2F)->GetShape(), s.freq) << model;
    EXPECT_EQ(plug->GetParam(kFlt2Q)->GetShape(), s.q) << model;
    EXPECT_EQ(plug->GetParam(kFlt2Drive)->GetShape(), s.drive) << model;
  }
  EXPECT_EQ(ShapesForFilterModel(kFltMoog).q, 0.9);
  EXPECT_EQ(ShapesForFilterModel(kFltSimple).q, 0.2);
  // A learned controller maps through the model's curve: half way on the formant
  // filter's straight frequency line.
  plug->SetParameterFromGUI(kFlt2Model, plug->GetParam(kFlt2Model)->GetNormalized(kFltFormant));
  plug->SetParamFromCC(kFlt2F, 127);
  EXPECT_NEAR(plug->GetParam(kFlt2F)->Value(), 20000.0, 1e-6);
  plug->SetParameterFromGUI(kFlt2F, 0.5);
  EXPECT_NEAR(plug->GetParam(kFlt2F)->Value(), 10.0 + 0.5 * (20000.0 - 10.0), 1e-6);
}
