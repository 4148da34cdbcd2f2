// What controls report as their style, and what a new style makes of them.

#include "ctl_test_support.h"

using namespace cocoa;

namespace
{
LONG_PTR styleOf(HWND hwnd)
{
  return GetWindowLong(hwnd, GWL_STYLE);
}

LRESULT add(HWND combo, const char* text)
{
  return SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void click(HWND button)
{
  auto* control = dynamic_cast<NSButton*>(swellObjectOf(button));
  control->setState(NSControlStateValueOn);
  NSApp()->sendAction(control->action(), control->target(), control);
}
}  // namespace

TEST_F(WindowTest, ButtonsAndComboBoxesReportTheirStyleAndANewStyleRetypesThem)
{
  HWND parent = child(topLevel(recorder("top")), recorder("p"), NSMakeRect(0, 0, 300, 200));
  SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
  HWND push = SWELL_MakeButton(0, "Push", 1, 0, 0, 50, 20, 0);
  HWND check = SWELL_MakeCheckBox("Check", 2, 0, 25, 50, 20, 0);
  HWND three = SWELL_MakeControl("Three", 3, "Button", BS_AUTO3STATE, 0, 50, 50, 20, 0);
  HWND label = SWELL_MakeLabel(-1, "Label", 4, 0, 75, 50, 20, 0);
  HWND first = SWELL_MakeControl("First", 5, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 100, 0, 50, 20, 0);
  HWND second = SWELL_MakeControl("Second", 6, "Button", BS_AUTORADIOBUTTON, 100, 25, 50, 20, 0);
  HWND list = SWELL_MakeCombo(7, 200, 0, 80, 0, CBS_DROPDOWNLIST);
  HWND editable = SWELL_MakeCombo(8, 200, 25, 80, 0, 0);

  // A push button reports 3 as a check box does, with WS_CHILD as every child.
  EXPECT_EQ(styleOf(push), 0x40000003);
  EXPECT_EQ(styleOf(check), 0x40000003);
  EXPECT_EQ(styleOf(three), 0x40000006);
  EXPECT_EQ(styleOf(label), 0x40000000);
  EXPECT_EQ(styleOf(first), 0x40020009);
  EXPECT_EQ(styleOf(second), 0x40000009);
  // Combo boxes answer the style they were made with, as it is.
  EXPECT_EQ(styleOf(list), CBS_DROPDOWNLIST);
  EXPECT_EQ(styleOf(editable), 0);

  // Radio buttons turn each other off until the first becomes a check box.
  click(first);
  click(second);
  EXPECT_EQ(IsDlgButtonChecked(parent, 5), 0);
  EXPECT_EQ(SetWindowLong(first, GWL_STYLE, BS_AUTOCHECKBOX), 0x40020009);
  EXPECT_EQ(styleOf(first), 0x40000003);
  click(first);
  click(second);
  EXPECT_EQ(IsDlgButtonChecked(parent, 5), 1);
  // A check box made a radio button starting a group, and back; a three-state box made a
  // check box has no mixed state any more, and the other way round.
  EXPECT_EQ(SetWindowLong(check, GWL_STYLE, BS_AUTORADIOBUTTON | WS_GROUP), 0x40000003);
  EXPECT_EQ(styleOf(check), 0x40020009);
  EXPECT_EQ(SetWindowLong(three, GWL_STYLE, BS_AUTOCHECKBOX), 0x40000006);
  CheckDlgButton(parent, 3, BST_INDETERMINATE);
  EXPECT_EQ(IsDlgButtonChecked(parent, 3), 1);
  EXPECT_EQ(SetWindowLong(check, GWL_STYLE, BS_AUTO3STATE), 0x40020009);
  CheckDlgButton(parent, 2, BST_INDETERMINATE);
  EXPECT_EQ(IsDlgButtonChecked(parent, 2), BST_INDETERMINATE);
  // Any other kind leaves a button as it was; a label takes no style.
  EXPECT_EQ(SetWindowLong(second, GWL_STYLE, BS_OWNERDRAW), 0x40000009);
  EXPECT_EQ(styleOf(second), 0x40000009);
  EXPECT_EQ(SetWindowLong(label, GWL_STYLE, BS_AUTOCHECKBOX), 0);
  EXPECT_EQ(styleOf(label), 0x40000000);

  // CBS_SORT set on a combo box sorts what is added afterwards.
  for (HWND combo : {list, editable})
  {
    EXPECT_EQ(add(combo, "b"), 0);
    EXPECT_EQ(add(combo, "c"), 1);
    EXPECT_EQ(SetWindowLong(combo, GWL_STYLE, styleOf(combo) | CBS_SORT), combo == list ? CBS_DROPDOWNLIST : 0);
    EXPECT_EQ(add(combo, "a"), 0);
    EXPECT_EQ(styleOf(combo) & CBS_SORT, CBS_SORT);
  }
}
