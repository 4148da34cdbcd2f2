// Timers and the posted-message queue: order, beat, limits, nested loops and requests from
// other threads.
#include "wnd_test_support.h"

#include <cmath>
#include <thread>

using namespace cocoa;

namespace
{
std::vector<std::pair<HWND, UINT_PTR>> s_procCalls;

void countingTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD)
{
  if (msg == WM_TIMER) s_procCalls.emplace_back(hwnd, id);
}

std::vector<double> timesOf(const Recorder& r, WPARAM id, const std::vector<double>& when)
{
  std::vector<double> times;
  for (size_t i = 0; i < r.log.size(); ++i)
    if (r.log[i].msg == WM_TIMER && r.log[i].wParam == id) times.push_back(when[i]);
  return times;
}
}  // namespace

TEST_F(WindowTest, TimersKeepTheirBeatAndAreReplacedOrStoppedByWindowAndId)
{
  Recorder* r = recorder("timers");
  HWND view = topLevel(r);
  std::vector<double> when;  // the virtual time of every logged message
  r->answer = [&](HWND, UINT, WPARAM, LPARAM) -> std::optional<LRESULT> {
    when.resize(r->log.size(), driver.now());
    return std::nullopt;
  };
  const double start = driver.now();
  EXPECT_EQ(SetTimer(view, 1, 100, nullptr), 1u);
  EXPECT_EQ(SetTimer(view, 2, 30, nullptr), 2u);
  driver.runFor(1.0);
  const std::vector<double> beats = timesOf(*r, 1, when);
  ASSERT_EQ(beats.size(), 10u);
  for (size_t k = 0; k < beats.size(); ++k) EXPECT_NEAR(beats[k] - start, 0.1 * (k + 1), 1e-9);
  EXPECT_EQ(timesOf(*r, 2, when).size(), 33u);

  // The same (window, id) again replaces the timer with the new interval.
  EXPECT_EQ(SetTimer(view, 1, 250, nullptr), 1u);
  EXPECT_TRUE(KillTimer(view, 2));
  EXPECT_FALSE(KillTimer(view, 2));
  r->log.clear();
  when.clear();
  driver.runFor(1.0);
  EXPECT_EQ(r->count(WM_TIMER), 4);

  EXPECT_EQ(SetTimer(view, 0, 100, nullptr), 0u);
  EXPECT_EQ(SetTimer(nullptr, 5, 100, nullptr), 0u);
  s_procCalls.clear();
  const UINT_PTR first = SetTimer(nullptr, 5, 100, countingTimerProc);
  const UINT_PTR second = SetTimer(nullptr, 5, 0, countingTimerProc);
  EXPECT_NE(first, 5u);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  driver.runFor(0.0105);
  // The zero-interval timer fires every millisecond; the other has not come round yet.
  EXPECT_EQ(std::count(s_procCalls.begin(), s_procCalls.end(), std::make_pair(HWND(nullptr), second)), 10);
  EXPECT_TRUE(KillTimer(nullptr, first));
  EXPECT_TRUE(KillTimer(nullptr, second));
  EXPECT_FALSE(KillTimer(nullptr, second));

  SetTimer(view, 3, 100, countingTimerProc);
  EXPECT_FALSE(KillTimer(nullptr, static_cast<UINT_PTR>(-1)));
  EXPECT_TRUE(KillTimer(view, static_cast<UINT_PTR>(-1)));
  EXPECT_FALSE(KillTimer(view, static_cast<UINT_PTR>(-1)));
  r->log.clear();
  s_procCalls.clear();
  driver.runFor(0.5);
  EXPECT_EQ(r->count(WM_TIMER), 0);
  EXPECT_TRUE(s_procCalls.empty());
}

TEST_F(WindowTest, PostedMessagesArriveInOrderOnTheNextTickAndAtMost1024Wait)
{
  Recorder* a = recorder("a");
  Recorder* b = recorder("b");
  HWND first = topLevel(a);
  HWND second = child(first, b);
  for (int i = 0; i < 1024; ++i) ASSERT_TRUE(PostMessage(i % 2 ? second : first, WM_USER, i, 0)) << i;
  EXPECT_FALSE(PostMessage(first, WM_USER, 1024, 0));
  EXPECT_FALSE(PostMessage(nullptr, WM_USER, 0, 0));
  EXPECT_EQ(a->count(WM_USER), 0);
  driver.runFor(0.05);
  ASSERT_EQ(a->count(WM_USER) + b->count(WM_USER), 1024);
  std::string owners;
  for (const std::string& e : journal)
    if (e == "a:" + std::to_string(WM_USER) || e == "b:" + std::to_string(WM_USER)) owners += e[0];
  std::string alternating;
  for (int i = 0; i < 1024; ++i) alternating += i % 2 ? 'b' : 'a';
  EXPECT_EQ(owners, alternating);
  for (const Recorder* r : {a, b})
  {
    WPARAM previous = 0;
    for (const Message& m : r->log)
      if (m.msg == WM_USER)
      {
        EXPECT_TRUE(m.wParam >= previous);
        previous = m.wParam;
      }
  }

  // A message posted while the queue is delivered waits for the next tick.
  a->answer = [](HWND h, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER + 1 && wParam < 3) PostMessage(h, WM_USER + 1, wParam + 1, 0);
    return std::nullopt;
  };
  ASSERT_TRUE(PostMessage(first, WM_USER + 1, 0, 0));
  for (int tick = 1; tick <= 4; ++tick)
  {
    driver.runFor(0.05);
    EXPECT_EQ(a->count(WM_USER + 1), tick);
  }

  // Without the application's controller nothing is queued.
  NSApp()->setDelegate(nullptr);
  EXPECT_FALSE(PostMessage(first, WM_USER, 0, 0));
  NSApp()->setDelegate(&controller);
  EXPECT_TRUE(PostMessage(first, WM_USER, 0, 0));
  SWELL_MessageQueue_Clear(first);
  driver.runFor(0.1);
  EXPECT_EQ(a->count(WM_USER), 512);
}

TEST_F(WindowTest, TimersAndTheQueueKeepRunningInNestedLoops)
{
  Recorder* r = recorder("timers");
  HWND view = topLevel(r);
  Recorder* other = recorder("other");
  HWND otherView = topLevel(other, NSMakeRect(500, 100, 100, 100));
  r->answer = [](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    static int beats = 0;
    if (msg == WM_TIMER && wParam == 7 && ++beats == 5)
    {
      beats = 0;
      NSApp()->stopModal();
    }
    return std::nullopt;
  };
  NSPanel* panel = new NSPanel(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  SetTimer(view, 7, 10, nullptr);
  PostMessage(view, WM_USER, 0, 0);
  EXPECT_EQ(NSApp()->runModalForWindow(panel), NSModalResponseStop);
  EXPECT_EQ(r->count(WM_TIMER), 5);
  EXPECT_EQ(r->count(WM_USER), 1);
  panel->close();

  // A run restricted to one window lets only its timers fire, then lifts the restriction.
  SetTimer(otherView, 8, 10, nullptr);
  r->log.clear();
  SWELL_RunRunLoopEx(100, otherView);
  EXPECT_EQ(r->count(WM_TIMER), 0);
  EXPECT_EQ(other->count(WM_TIMER), 10);
  EXPECT_EQ(g_swell_only_timerhwnd, nullptr);
  SWELL_RunRunLoop(100);
  EXPECT_EQ(r->count(WM_TIMER), 10);
}

TEST_F(WindowTest, RequestsFromAnotherThreadWaitForTheTickAndASetThenKillIsOneKill)
{
  Recorder* r = recorder("worker target");
  HWND view = topLevel(r);
  ASSERT_EQ(SetTimer(view, 5, 1000, nullptr), 5u);
  ASSERT_EQ(SetTimer(view, 8, 1000, nullptr), 8u);
  BOOL probe = -1;
  r->answer = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    // By the time the posted message arrives, timer 5 was stopped by one request.
    if (msg == WM_USER) probe = KillTimer(h, 5);
    return std::nullopt;
  };

  UINT_PTR setResult = 0, callbackResult = 1, allResult = 1;
  BOOL killResult = 0, killAllResult = 0, killCallbackResult = 1;
  std::thread worker([&] {
    setResult = SetTimer(view, 5, 10, nullptr);
    PostMessage(view, WM_USER, 0, 0);
    killResult = KillTimer(view, 5);
    callbackResult = SetTimer(nullptr, 1, 10, countingTimerProc);  // a timer that could never run
    killCallbackResult = KillTimer(nullptr, 1);
    SetTimer(view, 9, 10, nullptr);
    allResult = SetTimer(view, static_cast<UINT_PTR>(-1), 10, nullptr);  // -1 names every timer
    killAllResult = KillTimer(view, static_cast<UINT_PTR>(-1));
  });
  worker.join();
  EXPECT_EQ(setResult, 5u);
  EXPECT_TRUE(killResult);
  EXPECT_EQ(callbackResult, 0u);
  EXPECT_EQ(allResult, 0u);
  EXPECT_FALSE(killCallbackResult);
  EXPECT_TRUE(killAllResult);
  EXPECT_EQ(probe, -1);  // nothing happened before the tick

  driver.runFor(0.05);
  EXPECT_EQ(probe, 0);
  driver.runFor(2.0);
  EXPECT_EQ(r->count(WM_TIMER), 0);  // 8 and 9 went with the stop of every timer
}
