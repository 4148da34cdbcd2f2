// The messages and dialog-item functions of combo boxes, edit fields and track bars, and
// what editing tells the dialog procedure.

#include "ctl_test_support.h"

#include "platform/appkit/pasteboard.h"
#include "platform/appkit/scroll_view.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace cocoa;

namespace
{
NSView* asNSView(HWND hwnd)
{
  return dynamic_cast<NSView*>(swellObjectOf(hwnd));
}

LPARAM text(const char* s)
{
  return reinterpret_cast<LPARAM>(s);
}

std::vector<std::string> items(HWND combo)
{
  std::vector<std::string> out;
  char buf[64];
  for (int i = 0; i < SendMessage(combo, CB_GETCOUNT, 0, 0); ++i)
  {
    SendMessage(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
    out.push_back(buf);
  }
  return out;
}

std::vector<WPARAM> commandsFrom(const Recorder* r)
{
  std::vector<WPARAM> out;
  for (const Message& m : r->log)
    if (m.msg == WM_COMMAND) out.push_back(m.wParam);
  return out;
}
}  // namespace

TEST_F(WindowTest, ComboBoxesSortFindSelectAndKeepItemData)
{
  HWND parent = child(topLevel(recorder("top")), recorder("p"), NSMakeRect(0, 0, 300, 200));
  SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
  for (int style : {CBS_DROPDOWNLIST, 0})
  {
    SCOPED_TRACE(style);
    HWND sorted = SWELL_MakeCombo(1, 0, 0, 100, 0, style | CBS_SORT);
    // Sorted inserts answer their place; an equal text goes in front; capitals sort first.
    EXPECT_EQ(SendMessage(sorted, CB_ADDSTRING, 0, text("b")), 0);
    EXPECT_EQ(SendMessage(sorted, CB_ADDSTRING, 0, text("a")), 0);
    EXPECT_EQ(SendMessage(sorted, CB_ADDSTRING, 0, text("c")), 2);
    EXPECT_EQ(SendMessage(sorted, CB_ADDSTRING, 0, text("b")), 1);
    EXPECT_EQ(SendMessage(sorted, CB_ADDSTRING, 0, text("B")), 0);
    EXPECT_EQ(items(sorted), (std::vector<std::string>{"B", "a", "b", "b", "c"}));
    DestroyWindow(sorted);

    HWND combo = SWELL_MakeCombo(2, 0, 30, 100, 0, style);
    SendMessage(combo, CB_ADDSTRING, 0, text("abc"));
    SendMessage(combo, CB_ADDSTRING, 0, text("xyz"));
    EXPECT_EQ(SendMessage(combo, CB_INSERTSTRING, 100, text("end")), 2);
    EXPECT_EQ(SendMessage(combo, CB_INSERTSTRING, WPARAM(-5), text("front")), 0);
    EXPECT_EQ(items(combo), (std::vector<std::string>{"front", "abc", "xyz", "end"}));
    EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 1, 0), 67);
    EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 9, 0), -1);

    // Finding starts after `start`, does not wrap, ignores case; a prefix is enough unless exact.
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRING, WPARAM(-1), text("AB")), 1);
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRING, 2, text("AB")), -1);
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), text("AB")), -1);
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), text("XYZ")), 2);
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRING, 0, 0), -1);

    // The selection stays on its item across inserts and deletes before it; -1 clears it and
    // an insert never selects.
    SendMessage(combo, CB_SETCURSEL, 2, 0);
    SendMessage(combo, CB_INSERTSTRING, 0, text("new"));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    SendMessage(combo, CB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
    SendMessage(combo, CB_SETCURSEL, WPARAM(-1), 0);
    SendMessage(combo, CB_ADDSTRING, 0, text("more"));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), -1);

    // Item data moves with its item.
    SendMessage(combo, CB_SETITEMDATA, 1, 111);
    SendMessage(combo, CB_SETITEMDATA, 2, 222);
    SendMessage(combo, CB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 1, 0), 222);
    EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 99, 0), 0);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 0);
    DestroyWindow(combo);
  }

  // A missing control, or a buffer too small to hold anything, gives and writes nothing.
  char buf[8] = "keep";
  EXPECT_EQ(SWELL_CB_FindString(parent, 404, -1, "a", false), -1);
  EXPECT_EQ(SWELL_CB_GetItemText(parent, 404, 0, buf, 0), -1);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(SWELL_CB_GetCurSel(parent, 404), -1);
  HWND combo = SWELL_MakeCombo(3, 0, 60, 100, 0, CBS_DROPDOWNLIST);
  SWELL_CB_AddString(parent, 3, "long text");
  EXPECT_EQ(SWELL_CB_GetItemText(parent, 3, 0, buf, 0), 1);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(SWELL_CB_GetItemText(parent, 3, 0, buf, sizeof buf), 1);
  EXPECT_STREQ(buf, "long te");
  EXPECT_EQ(GetDlgItemText(parent, 3, buf, 0), 1);
  EXPECT_STREQ(buf, "long te");
  (void)combo;
}

TEST_F(WindowTest, EditFieldsReportChangesSelectInWholeCharactersAndTakeTheClipboardKeys)
{
  Recorder* r = recorder("dialog");
  HWND dialog = topLevel(r);
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, false);
  HWND field = SWELL_MakeEditField(10, 10, 10, 200, 20, 0);
  HWND other = SWELL_MakeEditField(11, 10, 40, 200, 20, 0);
  NSWindow* window = windowOf(dialog);
  window->makeKeyAndOrderFront(nullptr);

  // Not being edited: no selection to read.
  int start = -1, end = -1;
  SetDlgItemText(dialog, 10, "a\xC3\xA9\xE2\x82\xAC" "b");
  SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  // Setting an editable field's text tells the procedure as an edit would.
  EXPECT_EQ(commandsFrom(r), (std::vector<WPARAM>{10 | (EN_CHANGE << 16)}));

  // Clicked into, it is edited through its editor; GetFocus names the field.
  driver.click(window, centreInWindow(asNSView(field)));
  EXPECT_EQ(GetFocus(), field);
  EXPECT_TRUE(IsEquivalentTextView(field, swellHandleOf(dynamic_cast<NSTextField*>(asNSView(field))->currentEditor())));
  EXPECT_FALSE(IsEquivalentTextView(field, other));
  // Byte offsets, kept on character boundaries: 2 falls inside the two-byte character.
  SendMessage(field, EM_SETSEL, 0, LPARAM(-1));
  SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 7);
  SendMessage(field, EM_SETSEL, 3, 100);
  SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 7);
  SendMessage(field, EM_SETSEL, 6, 2);
  SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessage(field, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end);
  SendMessage(field, EM_SETSEL, 1, 2);
  SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1);
  EXPECT_TRUE(end == 1 || end == 3) << end;

  // Copy the euro sign, paste it at the end; typing reports each change.
  r->log.clear();
  SendMessage(field, EM_SETSEL, 3, 6);
  driver.key(window, kVK_ANSI_C, NSEventModifierFlagCommand, "c");
  SendMessage(field, EM_SETSEL, 7, 7);
  driver.key(window, kVK_ANSI_V, NSEventModifierFlagCommand, "v");
  driver.type(window, "1");
  char buf[64];
  GetDlgItemText(dialog, 10, buf, sizeof buf);
  EXPECT_STREQ(buf, "a\xC3\xA9\xE2\x82\xAC" "b\xE2\x82\xAC" "1");
  EXPECT_EQ(commandsFrom(r), (std::vector<WPARAM>(2, 10 | (EN_CHANGE << 16))));

  // Numbers: parsed with their sign, clamped, refused when there are none.
  BOOL ok = FALSE;
  SetDlgItemText(dialog, 11, " -42");
  EXPECT_EQ(GetDlgItemInt(dialog, 11, &ok, TRUE), -42);
  EXPECT_TRUE(ok);
  EXPECT_EQ(GetDlgItemInt(dialog, 11, &ok, FALSE), 0);
  EXPECT_FALSE(ok);
  SetDlgItemText(dialog, 11, "99999999999");
  EXPECT_EQ(GetDlgItemInt(dialog, 11, &ok, TRUE), INT_MAX);
  SetDlgItemText(dialog, 11, "abc");
  EXPECT_EQ(GetDlgItemInt(dialog, 11, &ok, TRUE), 0);
  EXPECT_FALSE(ok);
  SetDlgItemInt(dialog, 11, 7, FALSE);
  EXPECT_EQ(GetDlgItemInt(dialog, 11, nullptr, FALSE), 7);

  // A label shows that it is disabled by fading.
  HWND label = SWELL_MakeLabel(-1, "Label", 12, 10, 70, 60, 20, 0);
  EnableWindow(label, 0);
  EXPECT_FALSE(IsWindowEnabled(label));
  EXPECT_DOUBLE_EQ(dynamic_cast<NSTextField*>(asNSView(label))->textColor().alphaComponent(), 0.5);
  EnableWindow(label, 1);
  EXPECT_DOUBLE_EQ(dynamic_cast<NSTextField*>(asNSView(label))->textColor().alphaComponent(), 1.0);
}

TEST_F(WindowTest, MultiLineFieldsLiveInScrollViewsKeepTheirReturnAndLeaveWithTheirScrollView)
{
  Recorder* r = recorder("dialog");
  HWND dialog = topLevel(r);
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, false);
  HWND multi = SWELL_MakeEditField(20, 10, 10, 200, 80, WS_VSCROLL);
  HWND single = SWELL_MakeEditField(21, 10, 100, 200, 20, 0);
  SWELL_MakeButton(1, "OK", IDOK, 10, 130, 50, 20, 0);
  NSView* scroll = asNSView(multi)->superview()->superview();
  ASSERT_TRUE(dynamic_cast<NSScrollView*>(scroll));
  EXPECT_EQ(GetDlgItem(dialog, 20), multi);
  EXPECT_EQ(GetParent(multi), dialog);
  EXPECT_EQ(scroll->frame(), NSMakeRect(10, 10, 200, 80));

  NSWindow* window = windowOf(dialog);
  window->makeKeyAndOrderFront(nullptr);
  // Return types a line break in the multi-line field; in a single-line one it presses OK.
  SetFocus(multi);
  driver.type(window, "one");
  driver.key(window, kVK_Return, 0, "\r");
  driver.type(window, "two");
  char buf[64];
  GetDlgItemText(dialog, 20, buf, sizeof buf);
  EXPECT_STREQ(buf, "one\ntwo");
  EXPECT_EQ(commandsFrom(r), std::vector<WPARAM>{20 | (EN_SETFOCUS << 16)});
  SetFocus(single);
  EXPECT_EQ(GetFocus(), single);
  // Leaving the multi-line field reported its change and the lost focus.
  const std::vector<WPARAM> moved = {20 | (EN_SETFOCUS << 16), 20 | (EN_CHANGE << 16), 20 | (EN_KILLFOCUS << 16),
                                     21 | (EN_SETFOCUS << 16)};
  EXPECT_EQ(commandsFrom(r), moved);
  r->log.clear();
  driver.key(window, kVK_Return, 0, "\r");
  EXPECT_EQ(commandsFrom(r).back(), WPARAM(IDOK));

  // Selection and scrolling messages go to the view itself.
  int start = -1, end = -1;
  SendMessage(multi, EM_SETSEL, 4, 7);
  SendMessage(multi, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 4);
  EXPECT_EQ(end, 7);

  // Moving, sizing, hiding and destroying act on the scroll view; the text follows its width.
  SetWindowPos(multi, nullptr, 20, 20, 150, 60, SWP_NOZORDER);
  EXPECT_EQ(scroll->frame(), NSMakeRect(20, 20, 150, 60));
  EXPECT_EQ(asNSView(multi)->frame().size.width, dynamic_cast<NSScrollView*>(scroll)->contentSize().width);
  RECT r2;
  GetWindowRect(multi, &r2);
  EXPECT_EQ(r2.right - r2.left, 150);
  ShowWindow(multi, SW_HIDE);
  EXPECT_TRUE(scroll->isHidden());
  StrongRef<NSView> keep(scroll);
  DestroyWindow(multi);
  EXPECT_EQ(scroll->superview(), nullptr);
  EXPECT_EQ(GetDlgItem(dialog, 20), nullptr);
}

// A control inside a scroll view or a bare clip view is the one found by its id, met by the
// enumeration and moved to another parent, taking its scroll view along.
TEST_F(WindowTest, AControlInAScrollOrClipViewIsFoundWalkedAndMovedAsItself)
{
  HWND dialog = topLevel(recorder("dialog"));
  HWND other = child(dialog, recorder("other"), NSMakeRect(0, 150, 300, 50));
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, false);
  HWND multi = SWELL_MakeEditField(20, 10, 10, 200, 80, WS_VSCROLL);
  auto* clip = new NSClipView(NSMakeRect(10, 100, 100, 20));
  asNSView(dialog)->addSubview(clip);
  clip->release();
  HWND clipped = SWELL_MakeLabel(-1, "Clipped", 30, 0, 0, 100, 20, 0);
  clip->setDocumentView(asNSView(clipped));
  ASSERT_EQ(asNSView(clipped)->superview(), clip);
  NSView* scroll = asNSView(multi)->superview()->superview();

  EXPECT_EQ(GetDlgItem(dialog, 20), multi);
  EXPECT_EQ(GetDlgItem(dialog, 30), clipped);
  std::vector<HWND> met;
  EnumChildWindows(
      dialog,
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
        return 1;
      },
      reinterpret_cast<LPARAM>(&met));
  EXPECT_NE(std::find(met.begin(), met.end(), multi), met.end());
  EXPECT_NE(std::find(met.begin(), met.end(), clipped), met.end());
  EXPECT_EQ(std::find(met.begin(), met.end(), swellHandleOf(scroll)), met.end());

  EXPECT_EQ(SetParent(multi, other), dialog);
  EXPECT_EQ(scroll->superview(), asNSView(other));
  EXPECT_EQ(asNSView(multi)->superview()->superview(), scroll);
  EXPECT_EQ(GetParent(multi), other);
  EXPECT_EQ(GetDlgItem(other, 20), multi);
  EXPECT_EQ(GetDlgItem(dialog, 20), nullptr);
}

TEST_F(WindowTest, TrackBarsRoundTheirPositionTakeTheirRangeAndReportDrags)
{
  Recorder* r = recorder("dialog");
  HWND dialog = topLevel(r);
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, false);
  HWND slider = SWELL_MakeControl("", 30, "msctls_trackbar32", 0, 10, 10, 200, 20, 0);
  ASSERT_NE(slider, nullptr);
  auto* platformSlider = dynamic_cast<NSSlider*>(asNSView(slider));
  EXPECT_EQ(platformSlider->maxValue(), 1000);
  platformSlider->setDoubleValue(499.5);
  EXPECT_EQ(SendMessage(slider, TBM_GETPOS, 0, 0), 500);
  platformSlider->setDoubleValue(499.49);
  EXPECT_EQ(SWELL_TB_GetPos(dialog, 30), 499);
  EXPECT_EQ(SendMessage(slider, TBM_SETRANGE, 1, (200 << 16) | 100), 1);
  EXPECT_EQ(platformSlider->minValue(), 100);
  EXPECT_EQ(platformSlider->maxValue(), 200);
  EXPECT_EQ(SendMessage(slider, TBM_SETPOS, 1, 150), 1);
  EXPECT_EQ(SWELL_TB_GetPos(dialog, 30), 150);
  SWELL_TB_SetRange(dialog, 30, 0, 10);
  SWELL_TB_SetPos(dialog, 30, 3);
  EXPECT_EQ(SendMessage(slider, TBM_GETPOS, 0, 0), 3);
  EXPECT_EQ(SendMessage(slider, TBM_SETTIC, 0, 5), 1);
  EXPECT_EQ(SWELL_TB_GetPos(dialog, 404), 0);

  // Dragging the knob reports WM_HSCROLL with the slider.
  driver.drag(windowOf(dialog), NSMakePoint(20, 20), NSMakePoint(180, 20));
  ASSERT_NE(r->last(WM_HSCROLL), nullptr);
  EXPECT_EQ(r->last(WM_HSCROLL)->lParam, reinterpret_cast<LPARAM>(slider));
  EXPECT_GT(SWELL_TB_GetPos(dialog, 30), 5);
}

// A parent that, told of its combo box's list opening (CBN_DROPDOWN) or of a pick from it
// (CBN_SELCHANGE), destroys the combo box and then itself: the list closes on a combo box
// that tells no one, and the freed parent is never asked again.
TEST_F(WindowTest, AComboBoxWhoseParentDestroysBothFromItsListTellsTheFreedParentNothing)
{
  constexpr int kId = 40;
  for (const unsigned destroyOn : {unsigned(CBN_DROPDOWN), unsigned(CBN_SELCHANGE)})
  {
    SCOPED_TRACE(destroyOn == CBN_DROPDOWN ? "on CBN_DROPDOWN" : "on CBN_SELCHANGE");
    HWND top = topLevel(recorder("top"));
    Recorder* r = recorder("parent");
    HWND parent = child(top, r, NSMakeRect(0, 0, 200, 100));
    SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
    HWND combo = SWELL_MakeCombo(kId, 10, 10, 120, 0, 0);
    SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
    for (const char* item : {"Alpha", "Beta"}) SendMessage(combo, CB_ADDSTRING, 0, text(item));
    r->answer = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
      if (msg == WM_COMMAND && wParam == (kId | (destroyOn << 16)) && IsWindow(combo))
      {
        DestroyWindow(combo);
        DestroyWindow(parent);
      }
      return std::nullopt;
    };

    NSWindow* window = windowOf(top);
    driver.at(driver.now() + 0.2, [&] {
      driver.key(window, kVK_DownArrow);
      driver.key(window, kVK_Return);
    });
    const NSPoint centre = centreInWindow(asNSView(combo));
    const NSRect frame = asNSView(combo)->frame();
    driver.click(window, NSMakePoint(centre.x + frame.size.width / 2 - 4, centre.y));  // the list's button
    driver.runFor(0.3);
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(parent));
    // The combo box's losing the focus as it goes is the last the parent hears before its
    // own end, and nothing comes after it (no CBN_CLOSEUP, no command).
    const std::vector<WPARAM> heard = commandsFrom(r);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), WPARAM(kId | (destroyOn << 16))), 1);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), WPARAM(kId | (EN_KILLFOCUS << 16)));
    ASSERT_FALSE(r->log.empty());
    EXPECT_EQ(r->log.back().msg, UINT(WM_DESTROY));
    r->answer = nullptr;
    DestroyWindow(top);
  }
}
