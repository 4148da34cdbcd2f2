// Dialogs made of real controls: a dialog shaped like the host's preferences from its
// control table, placement rules, radio groups, and what clicks and keys on its controls
// tell the dialog procedure.

#include "ctl_test_support.h"
#include "swell-gdi.h"
#include "tools/preferences_dialog_table.h"

#include "platform/appkit/scroll_view.h"
#include "platform/foundation/object_registry.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

using namespace cocoa;
using namespace preferences_dialog;

namespace
{
NSRect frameOf(HWND dialog, int id)
{
  auto* view = dynamic_cast<NSView*>(swellObjectOf(GetDlgItem(dialog, id)));
  return view ? view->frame() : NSRect{};
}

NSView* asNSView(HWND hwnd)
{
  return dynamic_cast<NSView*>(swellObjectOf(hwnd));
}

}  // namespace

TEST_F(WindowTest, APreferencesDialogIsBuiltFromItsControlTable)
{
  SWELL_DialogResourceIndex record = preferencesRecord();
  DialogScript script;
  script.onInit = [](HWND dialog) {
    fillLikeTheHost(dialog);
    return LRESULT(1);
  };
  HWND dialog = SWELL_CreateDialog(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(script));
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  NSView* content = asNSView(dialog);
  EXPECT_EQ(content->subviews().size(), 35u);

  // Placed as designed in the flipped 1:1 dialog: labels as given, drop-down lists 18 high
  // whatever their designed height, group boxes one unit up and three taller.
  auto* driverLabel = findByText(content, "Driver Type");
  ASSERT_NE(driverLabel, nullptr);
  EXPECT_EQ(driverLabel->frame(), NSMakeRect(20, 32, 60, 20));
  EXPECT_EQ(frameOf(dialog, 40008), NSMakeRect(20, 50, 150, 18));
  EXPECT_EQ(frameOf(dialog, IDOK), NSMakeRect(192, 383, 50, 20));
  NSView* audioGroup = findByText(content, "Audio Settings");
  NSView* midiGroup = findByText(content, "MIDI Settings");
  ASSERT_TRUE(audioGroup && midiGroup);
  EXPECT_EQ(audioGroup->frame(), NSMakeRect(5, 9, 300, 233));
  EXPECT_TRUE(SWELL_IsGroupBox(swellHandleOf(audioGroup)));
  // Each group box lies behind every control made before it.
  EXPECT_EQ(content->subviews()[0], midiGroup);
  EXPECT_EQ(content->subviews()[1], audioGroup);

  // What the host put in reads back through the messages.
  EXPECT_EQ(SendMessage(GetDlgItem(dialog, 40011), CB_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(SendMessage(GetDlgItem(dialog, 40011), CB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(SendMessage(GetDlgItem(dialog, 40023), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 40023), BST_CHECKED);
  EXPECT_EQ(SendMessage(GetDlgItem(dialog, 40012), CB_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(SWELL_GetDefaultButtonID(dialog, true), IDOK);
  EXPECT_TRUE(SWELL_IsButton(GetDlgItem(dialog, 40022)));
  EXPECT_TRUE(SWELL_IsStaticText(swellHandleOf(driverLabel)));
  driver.runFor(0.1);
  snapshotForLooking(driver, windowOf(dialog), "preferences_dialog");

  // A pick in a drop-down list and clicks on the check box and a button reach the procedure.
  std::vector<WPARAM> commands;
  script.onMessage = [&](HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND) commands.push_back(wParam);
    return LRESULT(0);
  };
  NSWindow* window = windowOf(dialog);
  // The list tracks in a loop of its own: what picks from it is scripted beforehand.
  driver.at(driver.now() + 0.2, [&] {
    snapshotForLooking(driver, window, "preferences_dialog_list_open");
    driver.key(window, kVK_DownArrow);
    driver.key(window, kVK_Return);
  });
  driver.click(window, centreInWindow(asNSView(GetDlgItem(dialog, 40009))));
  driver.runFor(0.3);
  driver.click(window, centreInWindow(asNSView(GetDlgItem(dialog, 40023))));
  driver.click(window, centreInWindow(asNSView(GetDlgItem(dialog, 40024))));
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, 40009), 0);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 40023), BST_UNCHECKED);
  const std::vector<WPARAM> expected = {40009 | (CBN_SELCHANGE << 16), 40023 | (BN_CLICKED << 16), 40024};
  EXPECT_EQ(commands, expected);
  DestroyWindow(dialog);
}

TEST_F(WindowTest, PlacementFollowsTheContextMnemonicsGoAndRowsMakeRoomForGrownControls)
{
  HWND flipped = child(topLevel(recorder("top")), recorder("flipped"), NSMakeRect(0, 0, 300, 200));
  // Auto-right: a label that grows to its text pushes the control just right of it on the
  // same row; the same control a row lower stays where it was designed.
  SWELL_MakeSetCurParms(1, 1, 0, 0, flipped, true, true);
  HWND label = SWELL_MakeLabel(-1, "A label much longer than designed", -1, 20, 32, 60, 20, 0);
  const int grown = static_cast<int>(asNSView(label)->frame().size.width) - 60;
  ASSERT_GT(grown, 0);
  HWND pushed = SWELL_MakeCombo(1, 80, 32, 100, 0, CBS_DROPDOWNLIST);
  HWND lower = SWELL_MakeCombo(2, 80, 72, 100, 0, CBS_DROPDOWNLIST);
  EXPECT_EQ(asNSView(pushed)->frame().origin.x, 80 + grown);
  EXPECT_EQ(asNSView(lower)->frame().origin.x, 80);
  // Editable combo boxes are 22 high and one unit up.
  EXPECT_EQ(asNSView(SWELL_MakeCombo(3, 10, 100, 50, 0, 0))->frame(), NSMakeRect(10, 99, 50, 22));
  // Scaled and moved.
  SWELL_MakeSetCurParms(2, 2, 5, 10, flipped, false, false);
  EXPECT_EQ(asNSView(SWELL_MakeLabel(-1, "x", -1, 10, 10, 30, 10, 0))->frame(), NSMakeRect(30, 40, 60, 20));

  // Mnemonic marks go; a doubled one shows once.
  SWELL_MakeSetCurParms(1, 1, 0, 0, flipped, false, false);
  char text[64];
  GetDlgItemText(SWELL_MakeButton(0, "&OK", 10, 0, 0, 40, 20, 0), 0, text, sizeof text);
  EXPECT_STREQ(text, "OK");
  GetDlgItemText(SWELL_MakeLabel(-1, "Load && Save", 11, 0, 0, 80, 20, 0), 0, text, sizeof text);
  EXPECT_STREQ(text, "Load & Save");
  EXPECT_EQ(SWELL_MakeControl("x", 12, "NoSuchClass", 0, 0, 0, 10, 10, 0), nullptr);
  EXPECT_TRUE(asNSView(SWELL_MakeControl("", 13, "Edit", SWELL_NOT_WS_VISIBLE, 0, 0, 10, 10, 0))->isHidden());

  // A parent that is not flipped gets its controls where a flipped one would, mirrored: the
  // top edge at the designed y below its own top.
  auto* plain = new NSView(NSMakeRect(0, 0, 200, 100));
  StrongRef<NSView> keep = StrongRef<NSView>::adopt(plain);
  SWELL_MakeSetCurParms(1, 1, 0, 0, swellHandleOf(plain), false, false);
  EXPECT_EQ(asNSView(SWELL_MakeLabel(-1, "x", -1, 20, 10, 60, 20, 0))->frame(), NSMakeRect(20, 70, 60, 20));
}

TEST_F(WindowTest, RadioButtonsFormGroupsWithTheirOwnActionsAndClearTheirGroupWhenClicked)
{
  Recorder* r = recorder("dialog");
  HWND parent = child(topLevel(r), r, NSMakeRect(0, 0, 300, 200));
  SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
  HWND first = SWELL_MakeControl("One", 1, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 60, 20, 0);
  HWND second = SWELL_MakeControl("Two", 2, "Button", BS_AUTORADIOBUTTON, 10, 40, 60, 20, 0);
  HWND third = SWELL_MakeControl("Three", 3, "Button", BS_AUTORADIOBUTTON, 10, 70, 60, 20, 0);
  const auto flags = [](HWND b) { return dynamic_cast<Swell_vVorna_button*>(swellObjectOf(b))->swellGetRadioFlags(); };
  const auto action = [](HWND b) { return dynamic_cast<NSControl*>(swellObjectOf(b))->action(); };
  EXPECT_EQ(flags(first), 3);
  EXPECT_EQ(action(first), Action::onSwellCommand);
  EXPECT_EQ(flags(second), 1);
  EXPECT_EQ(action(second), Action::onSwellCommand2);
  EXPECT_EQ(action(third), Action::onSwellCommand2);

  // A click checks it, clears the others of its group and tells the procedure.
  CheckDlgButton(parent, 2, BST_CHECKED);
  CheckDlgButton(parent, 3, BST_CHECKED);
  NSWindow* window = windowOf(parent);
  driver.click(window, centreInWindow(asNSView(second)));
  EXPECT_EQ(IsDlgButtonChecked(parent, 2), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(parent, 3), BST_UNCHECKED);
  ASSERT_NE(r->last(WM_COMMAND), nullptr);
  EXPECT_EQ(r->last(WM_COMMAND)->wParam, WPARAM(2));

  // Three-state boxes take and report the mixed state.
  HWND box = SWELL_MakeControl("Mixed", 4, "Button", BS_AUTO3STATE, 10, 100, 60, 20, 0);
  SendMessage(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(IsDlgButtonChecked(parent, 99), 0);
}

TEST_F(WindowTest, CustomCreatorsComeFirstInOrderAndStayUntilUnregisteredAsOftenAsRegistered)
{
  static std::vector<std::string> calls;
  static HWND made = reinterpret_cast<HWND>(0x1);
  calls.clear();
  const SWELL_ControlCreatorProc declines = [](HWND, const char*, int, const char* cls, int, int, int, int, int) -> HWND {
    calls.push_back(std::string("declines ") + cls);
    return nullptr;
  };
  const SWELL_ControlCreatorProc makes = [](HWND parent, const char*, int id, const char* cls, int, int x, int y, int w,
                                            int h) -> HWND {
    calls.push_back(std::string("makes ") + cls + " " + std::to_string(x) + "," + std::to_string(y) + "," +
                    std::to_string(w) + "," + std::to_string(h));
    if (std::string(cls) != "Mine") return nullptr;
    auto* view = new Swell_vVorna_hwnd;
    view->initChild(nullptr, swellObjectOf(parent), nullptr, 0);
    view->setTag(id);
    view->release();
    made = view->handle();
    return made;
  };
  HWND parent = child(topLevel(recorder("top")), recorder("p"), NSMakeRect(0, 0, 300, 200));
  SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
  SWELL_RegisterCustomControlCreator(declines);
  SWELL_RegisterCustomControlCreator(makes);
  SWELL_RegisterCustomControlCreator(declines);
  EXPECT_EQ(SWELL_MakeControl("", 5, "Mine", 0, 1, 2, 3, 4, WS_EX_ACCEPTFILES), made);
  EXPECT_EQ(calls, (std::vector<std::string>{"declines Mine", "makes Mine 1,2,3,4"}));
  EXPECT_EQ(GetWindowLong(made, GWL_EXSTYLE), WS_EX_ACCEPTFILES);
  // A class no creator makes falls to the built-in ones.
  EXPECT_TRUE(SWELL_IsStaticText(SWELL_MakeControl("x", 6, "static", 0, 0, 0, 10, 10, 0)));
  SWELL_UnregisterCustomControlCreator(declines);
  SWELL_UnregisterCustomControlCreator(makes);
  calls.clear();
  SWELL_MakeControl("", 7, "Mine", 0, 0, 0, 10, 10, 0);
  EXPECT_EQ(calls, std::vector<std::string>{"declines Mine"});
  SWELL_UnregisterCustomControlCreator(declines);
  calls.clear();
  EXPECT_EQ(SWELL_MakeControl("", 8, "Mine", 0, 0, 0, 10, 10, 0), nullptr);
  EXPECT_TRUE(calls.empty());
}

TEST_F(WindowTest, AModalPreferencesDialogKeepsTheKeysAndEndsWhereverEndDialogIsCalled)
{
  SWELL_DialogResourceIndex record = preferencesRecord();
  DialogScript script;
  bool dialogFocused = false;
  script.onMessage = [&](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_USER) EndDialog(dialog, 9);
    return LRESULT(0);
  };
  driver.at(driver.now() + 0.2, [&] {
    dialogFocused = GetFocus() && GetFocus() == script.dialog;
    PostMessage(script.dialog, WM_USER, 0, 0);
  });
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(script)), 9);
  // Lists and buttons do not take the keyboard: the dialog keeps it for Return and Escape.
  EXPECT_TRUE(dialogFocused);

  // Ended in WM_INITDIALOG: the dialog never runs.
  DialogScript early;
  early.onInit = [](HWND dialog) {
    EndDialog(dialog, 4);
    return LRESULT(1);
  };
  bool ran = false;
  driver.at(driver.now() + 0.1, [&] { ran = modalWindow() != nullptr; });
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(early)), 4);
  driver.runFor(0.2);
  EXPECT_FALSE(ran);

  // With a field that takes the keyboard, the first such control has the focus, unless the
  // procedure answers 0 and places it itself.
  SWELL_DialogResourceIndex withField{"field", "Field", 0x4 | 0x10, [](HWND view, int) {
    SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
    SWELL_MakeButton(0, "Button", 5, 10, 10, 60, 20, 0);
    SWELL_MakeEditField(6, 10, 40, 100, 20, 0);
    SWELL_MakeEditField(7, 10, 70, 100, 20, 0);
  }, 200, 100, nullptr};
  for (LRESULT initAnswer : {1, 0})
  {
    DialogScript focused;
    int focusedId = -1;
    focused.onInit = [initAnswer](HWND dialog) {
      if (!initAnswer) SetFocus(GetDlgItem(dialog, 7));
      return initAnswer;
    };
    driver.at(driver.now() + 0.2, [&] {
      focusedId = static_cast<int>(GetWindowLong(GetFocus(), GWL_ID));
      EndDialog(focused.dialog, 1);
    });
    EXPECT_EQ(SWELL_DialogBox(&withField, withField.resid, nullptr, scriptedDialogProc, scriptParam(focused)), 1);
    EXPECT_EQ(focusedId, initAnswer ? 6 : 7);
  }

  // OK is the default button: Return ends the dialog through the procedure.
  DialogScript keyed;
  keyed.onMessage = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && (wParam & 0xFFFF) == IDOK) EndDialog(dialog, 1);
    return LRESULT(0);
  };
  driver.at(driver.now() + 0.2, [&] { driver.key(modalWindow(), kVK_Return); });
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(keyed)), 1);
}

TEST_F(WindowTest, AThousandPreferencesDialogsAndMessageBoxesLeaveNothingBehind)
{
  SWELL_DialogResourceIndex record = preferencesRecord();
  DialogScript modal;
  modal.onInit = [](HWND dialog) {
    fillLikeTheHost(dialog);
    PostMessage(dialog, WM_USER, 0, 0);
    return LRESULT(1);
  };
  modal.onMessage = [this](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_USER) return LRESULT(0);
    driver.at(driver.now(), [this] { clickInModal(driver, "Cancel"); });
    EXPECT_EQ(MessageBox(dialog, "Apply the changes?", "Preferences", MB_OKCANCEL), IDCANCEL);
    EndDialog(dialog, IDOK);
    return LRESULT(1);
  };
  const auto cycle = [&] {
    NSAutoreleasePool cyclePool;
    modal.seen.clear();
    EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(modal)), IDOK);
  };
  expectNothingLeftAfterAThousand(cycle, 1024 * 1024);
}

TEST_F(WindowTest, OwnerDrawnButtonsAreDrawnByTheirParentAndImageButtonsKeepTheirImage)
{
  Recorder* r = recorder("dialog");
  DRAWITEMSTRUCT seen = {};
  r->answer = [&seen](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_DRAWITEM) return std::nullopt;
    seen = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    HBRUSH red = CreateSolidBrush(0x0000FF);
    SWELL_FillRect(seen.hDC, &seen.rcItem, red);
    DeleteObject(red);
    return 1;
  };
  HWND dialog = topLevel(r);
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, true);
  HWND drawn = SWELL_MakeControl("Drawn", 50, "Button", BS_OWNERDRAW, 10, 10, 80, 30, 0);
  // Not sized to its text: its parent decides how it looks.
  EXPECT_EQ(asNSView(drawn)->frame(), NSMakeRect(10, 10, 80, 30));
  windowOf(dialog)->display();
  EXPECT_EQ(seen.CtlType, UINT(ODT_BUTTON));
  EXPECT_EQ(seen.CtlID, 50u);
  EXPECT_EQ(seen.hwndItem, drawn);
  EXPECT_EQ(seen.rcItem.right - seen.rcItem.left, 80);
  EXPECT_EQ(seen.rcItem.bottom - seen.rcItem.top, 30);

  HWND imageButton = SWELL_MakeButton(0, "", 51, 10, 50, 40, 40, BS_BITMAP);
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
  EXPECT_EQ(SendMessage(imageButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)), 0);
  EXPECT_NE(dynamic_cast<NSButton*>(asNSView(imageButton))->image(), nullptr);
  EXPECT_EQ(SendMessage(imageButton, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bitmap));
  EXPECT_EQ(SendMessage(imageButton, BM_GETIMAGE, 7, 0), 0);
  EXPECT_EQ(SendMessage(imageButton, BM_SETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bitmap));
  EXPECT_EQ(dynamic_cast<NSButton*>(asNSView(imageButton))->image(), nullptr);
  DeleteObject(bitmap);
}
