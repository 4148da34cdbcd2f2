#include "IPopupMenu.h"
#include "test_editor.h"

#include <gtest/gtest.h>

using namespace guitest;

TEST(SurfacePrompt, AMenuOfDisplayTextsChosenByAScriptedClick)
{
  TestEditor e;
  IBitmap switches = e.gui->LoadIBitmap(103, "switch.png", 2);
  auto* mode = new ISwitchPopUpControl(&e.plug, 180, 100, kMode, &switches);
  e.gui->AttachControl(mode);
  e.gui->SetParameterFromPlug(kMode, 1.0, false);

  // A press shows the texts with the current one checked, over the control; the third
  // item chosen sets the parameter to it.
  e.gui->menuChoice = 2;
  e.Press(185, 105);
  ASSERT_EQ(e.gui->menus.size(), 1u);
  EXPECT_EQ(e.gui->menus[0].texts, (std::vector<std::string>{"saw", "square", "sine"}));
  EXPECT_EQ(e.gui->menus[0].flags, (std::vector<int>{0, IPopupMenuItem::kChecked, 0}));
  EXPECT_EQ(e.gui->menus[0].rect, *mode->GetRECT());
  EXPECT_EQ(e.gui->GetCaptureIdx(), -1);  // the menu took the mouse
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 2);
  EXPECT_DOUBLE_EQ(mode->GetValue(), 1.0);

  // Dismissed without a choice: the value stays.
  e.gui->menuChoice = -1;
  e.Press(185, 105);
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 2);
  EXPECT_EQ(e.gui->menus.size(), 2u);

  // A bool parameter with display texts is prompted with a menu too.
  e.toggle->DisablePrompt(false);
  e.gui->menuChoice = 1;
  e.toggle->PromptUserInput();
  EXPECT_EQ(e.gui->menus.back().texts, (std::vector<std::string>{"off", "on"}));
  EXPECT_TRUE(e.plug.GetParam(kOn)->Bool());
  EXPECT_FALSE(e.gui->openEntry.has_value());
}

TEST(SurfacePrompt, ATextEntryIsCommittedByReturnAndCancelledByTheWheel)
{
  TestEditor e;
  e.FramesUntilClean();
  IMouseMod left(true);

  // A press on the caption opens a field holding the value without its unit, in a
  // 40 x 16 box at the control's centre.
  e.Press(175, 78);
  ASSERT_TRUE(e.gui->openEntry.has_value());
  EXPECT_EQ(e.gui->openEntry->text, "440");
  EXPECT_EQ(e.gui->openEntry->rect, IRECT(155, 70, 195, 86));
  e.Release(175, 78);

  // The field takes digits, a point and signs for a double parameter, up to the
  // control's length of 7.
  e.gui->ClearEntry();
  EXPECT_TRUE(e.gui->Type("1"));
  EXPECT_FALSE(e.gui->Type("e"));
  EXPECT_TRUE(e.gui->Type("234.5"));
  EXPECT_TRUE(e.gui->Type("6"));
  EXPECT_FALSE(e.gui->Type("7"));
  EXPECT_EQ(e.gui->openEntry->text, "1234.56");
  e.plug.changes.clear();
  e.gui->PressReturn();
  EXPECT_FALSE(e.gui->openEntry.has_value());
  EXPECT_NEAR(e.plug.GetParam(kFreq)->Value(), 1234.56, 1e-9);
  EXPECT_EQ(e.plug.changes.size(), 1u);
  EXPECT_TRUE(e.caption->IsDirty());

  // The wheel closes the field without its text and turns what is under the pointer.
  e.Press(175, 78);
  e.Release(175, 78);
  e.gui->ClearEntry();
  e.gui->Type("5000");
  e.gui->Wheel(40, 40, &left, 3);
  EXPECT_FALSE(e.gui->openEntry.has_value());
  EXPECT_NEAR(e.plug.GetParam(kFreq)->Value(), 1234.56, 1e-9);
  EXPECT_NEAR(e.plug.GetParam(kGain)->Value(), 0.53, 1e-12);

  // Whole-number parameters take no point; texts that are no number give 0, and
  // enum texts that match nothing give the first value.
  EXPECT_FALSE(IGraphics::TextEntryAccepts(e.plug.GetParam(kSteps), 7, "1.5"));
  EXPECT_TRUE(IGraphics::TextEntryAccepts(e.plug.GetParam(kSteps), 7, "-15"));
  e.gui->SetFromStringAfterPrompt(e.caption, e.plug.GetParam(kFreq), "abc");
  EXPECT_DOUBLE_EQ(e.plug.GetParam(kFreq)->Value(), 20.0);
  RecordingControl modeControl(&e.plug, IRECT(0, 0, 1, 1), kMode);
  e.gui->SetFromStringAfterPrompt(&modeControl, e.plug.GetParam(kMode), "sine");
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 2);
  e.gui->SetFromStringAfterPrompt(&modeControl, e.plug.GetParam(kMode), "triangle");
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 0);
}

TEST(SurfacePrompt, PopupMenuPlacementAndChecks)
{
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b");
  menu.AddItem("c", 5);
  menu.AddSeparator(-7);
  menu.AddItem("x", 1);
  ASSERT_EQ(menu.GetNItems(), 5);
  EXPECT_STREQ(menu.GetItemText(0), "");
  EXPECT_TRUE(menu.GetItem(0)->GetIsSeparator());
  EXPECT_STREQ(menu.GetItemText(1), "x");
  EXPECT_STREQ(menu.GetItemText(4), "c");
  EXPECT_STREQ(menu.GetItemText(9), "");

  menu.SetPrefix(2);
  menu.SetPrefix(4);
  EXPECT_EQ(menu.GetPrefix(), 2);
  for (int i = 0; i < 3; ++i) menu.CheckItem(i, true);
  menu.CheckItemAlone(1);
  EXPECT_FALSE(menu.IsItemChecked(0));
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_FALSE(menu.IsItemChecked(10));
  EXPECT_FALSE(menu.CheckItem(10, true));
}
