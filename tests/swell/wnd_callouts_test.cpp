// Calls of the window layer that run procedures (a timer's teardown, a window's WM_MOVE) while
// the call still has work to do on what those procedures may free.
#include "swell-timer.h"
#include "wnd_test_support.h"

#include "platform/appkit/application.h"

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
