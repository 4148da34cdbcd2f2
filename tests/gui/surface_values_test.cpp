#include "test_editor.h"

#include <gtest/gtest.h>

#include <limits>

using namespace guitest;

TEST(SurfaceValues, ValuesTravelBothWaysAndUserInputIsClampedAndPushedOnce)
{
  TestEditor e;
  // Attaching pushed every parameter: the first value is also the default.
  EXPECT_DOUBLE_EQ(e.knob->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(e.knob->GetDefaultValue(), 0.5);
  EXPECT_NEAR(e.knob2->GetValue(), (440.0 - 20.0) / 19980.0, 1e-12);
  e.FramesUntilClean();

  // The plug-in's plain values are normalised; an unchanged value changes nothing.
  e.gui->SetParameterFromPlug(kFreq, 20000.0, false);
  EXPECT_DOUBLE_EQ(e.knob2->GetValue(), 1.0);
  EXPECT_TRUE(e.caption->IsDirty());
  e.FramesUntilClean();
  e.gui->SetParameterFromPlug(kFreq, 1.0, true);
  EXPECT_FALSE(e.knob2->IsDirty());
  EXPECT_TRUE(e.plug.changes.empty());

  // A drag up the knob pushes each change once, between the host's begin and end; it
  // stops at the top of the range; the value display follows.
  e.Press(40, 40);
  e.DragTo(40, 20);  // 20 pixels of a 40-pixel knob at gearing 4: +0.125
  e.DragTo(40, -400);
  e.DragTo(40, -400);
  e.Release(40, -400);
  EXPECT_EQ(e.plug.changes, (std::vector<std::pair<int, double>>{{kGain, 0.625}, {kGain, 1.0}}));
  EXPECT_EQ(e.plug.begun, std::vector<int>{kGain});
  EXPECT_EQ(e.plug.ended, std::vector<int>{kGain});
  EXPECT_STREQ(e.valueDisplay->GetTextString(), "1.00 ");

  // As user input: clamped and pushed once; the value it has already is not pushed.
  e.plug.changes.clear();
  e.knob->SetValueFromUserInput(0.25);
  e.knob->SetValueFromUserInput(1.5);
  e.knob->SetValueFromUserInput(1.0);
  EXPECT_EQ(e.plug.changes, (std::vector<std::pair<int, double>>{{kGain, 0.25}, {kGain, 1.0}}));

  // The value display shows the parameter's display, a blank and its unit.
  e.knob2->SetValDisplayControl(e.valueDisplay);
  e.knob2->SetValueFromUserInput(e.plug.GetParam(kFreq)->GetNormalized(440.0));
  EXPECT_STREQ(e.valueDisplay->GetTextString(), "440 Hz");

  // Clamping, hiding and graying reach every control of a parameter.
  e.gui->ClampControl(kFreq, 100.0, 1000.0, false);
  e.knob2->SetValueFromUserInput(1.0);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(kFreq)->Value(), 1000.0);
  e.gui->GrayOutControl(kFreq, true);
  EXPECT_FLOAT_EQ(e.knob2->GetBlend()->mWeight, 0.25f);
  e.gui->GrayOutControl(kFreq, false);
  EXPECT_FLOAT_EQ(e.knob2->GetBlend()->mWeight, 1.0f);
  e.gui->HideControl(kGain, true);
  e.Press(40, 40);
  EXPECT_EQ(e.gui->GetCaptureIdx(), 0);  // the background

  // Resizing deletes the controls and lets the plug-in build them again.
  e.gui->Resize(300, 200);
  EXPECT_EQ(e.gui->GetNControls(), 0);
  EXPECT_EQ(e.gui->GetCaptureIdx(), -1);
  EXPECT_EQ(e.plug.resized, (std::vector<std::pair<int, int>>{{300, 200}}));
  EXPECT_EQ(e.gui->GetDrawBitmap()->getWidth(), 300);
}

TEST(SurfaceValues, ValuesFromTheAudioThreadWaitInTheMailboxForTheNextFrame)
{
  TestEditor e;
  e.FramesUntilClean();
  e.plug.changes.clear();

  // As the audio thread does: the parameter is set, then its value posted.
  e.gui->PostParamFromAudioThread(kGain, 0.2);
  e.plug.GetParam(kGain)->SetNormalized(0.3);
  e.gui->PostParamFromAudioThread(kGain, 0.3);  // replaces the unread 0.2
  e.gui->PostParamFromAudioThread(kFreq, 1000.0);
  e.gui->PostParamFromAudioThread(kOn, 1.0);
  e.gui->PostParamFromAudioThread(kNParams, 0.5);
  e.gui->PostParamFromAudioThread(kSteps, std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(e.knob->GetValue(), 0.5);  // nothing reaches a control before the drain

  ASSERT_TRUE(e.Frame());
  EXPECT_DOUBLE_EQ(e.knob->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(e.toggle->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(e.knob2->GetValue(), e.plug.GetParam(kFreq)->GetNormalized(1000.0));
  EXPECT_STREQ(e.valueDisplay->GetTextString(), "0.30 ");
  // Shown, not sent back: the plug-in already has these values.
  EXPECT_TRUE(e.plug.changes.empty());
  // Drained once: the next frames only finish the redraw.
  e.FramesUntilClean();
  EXPECT_FALSE(e.Frame());
}
