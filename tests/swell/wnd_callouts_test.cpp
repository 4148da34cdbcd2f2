// Calls of the window layer that run procedures (a timer's teardown, a window's WM_MOVE) while
// the call still has work to do on what those procedures may free.
#include "swell-ctl.h"
#include "swell-timer.h"
#include "wnd_test_support.h"

#include "platform/appkit/application.h"
#include "platform/appkit/scroll_view.h"

using namespace cocoa;

// A view that only its timer keeps: replacing the timer lets the last hold on the view go in
// the middle of the call, and the view's teardown stops its timers, the one being replaced
// among them. The new timer is set, holds the view, and the view goes once it is stopped.
TEST_F(WindowTest, ReplacingTheTimerOfAViewOnlyItsTimersKeepSetsTheNewOne)
{
  Recorder* r = recorder("kept by its timer");
  auto* view = new Swell_vVorna_hwnd;
  view->initChild(nullptr, nullptr, recordingProc, reinterpret_cast<LPARAM>(r));
  const HWND hwnd = view->handle();
  ASSERT_EQ(SetTimer(hwnd, 7, 1000, nullptr), 7u);
  view->release();

  EXPECT_EQ(SetTimer(hwnd, 7, 10, nullptr), 7u);
  EXPECT_EQ(r->count(WM_DESTROY), 0);
  driver.runFor(0.05);
  EXPECT_GE(r->count(WM_TIMER), 3);
  EXPECT_EQ(KillTimer(hwnd, 7), 1);
  EXPECT_EQ(r->count(WM_DESTROY), 1);
}

// A top-level window rebuilt for another frame style (SetWindowLong with GWL_STYLE) that its
// own WM_MOVE destroys: the rebuild stops there, leaving no window behind.
TEST_F(WindowTest, ARestyledWindowThatItsMoveDestroysIsLeftGone)
{
  Recorder* r = recorder("restyled");
  const HWND hwnd = topLevel(r);
  const size_t windowsBefore = NSApp()->windows().size();
  r->answer = [hwnd](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_MOVE && IsWindow(hwnd)) DestroyWindow(hwnd);
    return std::nullopt;
  };
  SetWindowLong(hwnd, GWL_STYLE, WS_CAPTION);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(r->count(WM_DESTROY), 1);
  EXPECT_EQ(NSApp()->windows().size(), windowsBefore - 1);
  r->answer = nullptr;
}

// What no procedure needs to be hostile for: a window cannot go inside itself, and moving the
// focused field to the top of its siblings keeps the keyboard on the field.
TEST_F(WindowTest, AViewStaysOutOfItselfAndTheFocusedFieldKeepsTheKeyboardWhenRaised)
{
  Recorder* r = recorder("parent");
  HWND parent = topLevel(r);
  HWND inner = child(parent, recorder("inner"));
  HWND innermost = child(inner, recorder("innermost"));
  EXPECT_EQ(SetParent(inner, inner), nullptr);
  EXPECT_EQ(SetParent(inner, innermost), nullptr);
  EXPECT_EQ(GetParent(inner), parent);
  EXPECT_EQ(GetParent(innermost), inner);

  SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
  HWND field = SWELL_MakeEditField(10, 10, 10, 200, 20, 0);
  SWELL_MakeEditField(11, 10, 40, 200, 20, 0);
  windowOf(parent)->makeKeyAndOrderFront(nullptr);
  SetFocus(field);
  SetWindowPos(field, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetFocus(), field);
  driver.type(windowOf(parent), "kept");
  char text[16] = "";
  GetDlgItemText(parent, 10, text, sizeof text);
  EXPECT_STREQ(text, "kept");

  // The field's editor, which the field's children show while it is edited, stays in it:
  // neither made a window of its own nor moved beside the field.
  HWND editor = nullptr;
  EnumChildWindows(
      field,
      [](HWND hwnd, LPARAM out) {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&editor));
  ASSERT_NE(editor, nullptr);
  const size_t windowsBefore = NSApp()->windows().size();
  EXPECT_EQ(SetParent(editor, nullptr), nullptr);
  EXPECT_EQ(SetParent(editor, parent), nullptr);
  EXPECT_EQ(NSApp()->windows().size(), windowsBefore);
  EXPECT_EQ(GetFocus(), field);
  driver.type(windowOf(parent), "!");
  GetDlgItemText(parent, 10, text, sizeof text);
  EXPECT_STREQ(text, "kept!");
}

// A right click names the clip view around a text; a program may move it anywhere, and the
// scroll view it left then shows no document. Neither that scroll view nor the text's own
// scroll view goes inside a part the scroll view keeps (its clip view or a scroller, wherever
// they are): each would hold the other, walks would go round in them and nothing would ever
// free them. Refused, everything stays where it was, and closing the window frees it all.
TEST_F(WindowTest, AScrollViewGoesNeitherInsideItsOwnPartsNorInsideWhatTheyHold)
{
  // The first round makes what lives for good (the fonts); the second must leave nothing.
  for (int round = 0; round < 2; ++round)
  {
    driver.runUntilIdle();
    const size_t objectsBefore = liveObjectCount();
    {
      NSAutoreleasePool pool;
      HWND parent = topLevel(recorder("parent"));
      SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
      HWND text = SWELL_MakeEditField(10, 10, 10, 200, 100, WS_VSCROLL);
      NSView* clip = dynamic_cast<NSView*>(swellObjectOf(text))->superview();
      auto* scroll = dynamic_cast<NSScrollView*>(clip ? clip->superview() : nullptr);
      ASSERT_TRUE(dynamic_cast<NSClipView*>(clip) && scroll);
      NSView* scroller = nullptr;
      for (NSView* v : scroll->subviews())
        if (dynamic_cast<NSScroller*>(v)) scroller = v;
      ASSERT_NE(scroller, nullptr);
      const HWND clipHandle = swellHandleOf(clip), scrollHandle = swellHandleOf(scroll);
      const HWND scrollerHandle = swellHandleOf(scroller);

      // The text takes its scroll view along: not into the scroll view's own clip view or scroller.
      EXPECT_EQ(SetParent(text, clipHandle), nullptr);
      EXPECT_EQ(SetParent(text, scrollerHandle), nullptr);
      EXPECT_EQ(scroll->superview(), viewOf(parent));
      EXPECT_EQ(scroll->documentView(), swellObjectOf(text));

      // Its parts moved out, the scroll view shows no document and goes into none of them.
      ASSERT_NE(SetParent(clipHandle, parent), nullptr);
      ASSERT_NE(SetParent(scrollerHandle, parent), nullptr);
      EXPECT_EQ(scroll->documentView(), nullptr);
      EXPECT_EQ(SetParent(scrollHandle, text), nullptr);
      EXPECT_EQ(SetParent(scrollHandle, scrollerHandle), nullptr);
      EXPECT_EQ(scroll->superview(), viewOf(parent));
      int seen = 0;
      EnumChildWindows(
          parent,
          [](HWND, LPARAM count) {
            ++*reinterpret_cast<int*>(count);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&seen));
      EXPECT_GT(seen, 0);
      EXPECT_LT(seen, 16);
      EXPECT_TRUE(IsChild(parent, text));

      DestroyWindow(parent);
      driver.runUntilIdle();
    }
    if (round == 1)
    {
      EXPECT_EQ(liveObjectCount(), objectsBefore);
    }
  }
}

// A window whose procedure destroys it at every message it gets, so that its close runs again
// from inside the first: it closes once.
TEST_F(WindowTest, AWindowDestroyedFromInsideItsOwnDestructionClosesOnce)
{
  Recorder* r = recorder("again and again");
  const HWND hwnd = topLevel(r);
  const size_t windowsBefore = NSApp()->windows().size();
  r->answer = [hwnd](HWND, UINT, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    return std::nullopt;
  };
  DestroyWindow(hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(r->count(WM_DESTROY), 1);
  EXPECT_EQ(NSApp()->windows().size(), windowsBefore - 1);
  r->answer = nullptr;
}
