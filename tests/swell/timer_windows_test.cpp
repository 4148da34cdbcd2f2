// Timers and posted messages with two windows alive at once, and around the destruction of
// one of them: each window keeps its own, and what belonged to a window goes with it.
#include "wnd_test_support.h"

#include <thread>

using namespace cocoa;

namespace
{
std::vector<std::pair<HWND, UINT_PTR>> s_procCalls;

void recordingTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD)
{
  if (msg == WM_TIMER) s_procCalls.emplace_back(hwnd, id);
}

int procCallsOf(HWND hwnd)
{
  return static_cast<int>(std::count_if(s_procCalls.begin(), s_procCalls.end(), [hwnd](const auto& c) { return c.first == hwnd; }));
}

int timersHeard(const Recorder& r, WPARAM id)
{
  return static_cast<int>(std::count_if(r.log.begin(), r.log.end(), [id](const Message& m) { return m.msg == WM_TIMER && m.wParam == id; }));
}

// The WM_USER wParams a window heard, in order.
std::vector<WPARAM> postsHeard(const Recorder& r)
{
  std::vector<WPARAM> out;
  for (const Message& m : r.log)
    if (m.msg == WM_USER) out.push_back(m.wParam);
  return out;
}

// Two top-level windows, a and b, side by side.
class TwoWindows : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    s_procCalls.clear();
    ra = recorder("a");
    rb = recorder("b");
    a = topLevel(ra);
    b = topLevel(rb, NSMakeRect(500, 100, 100, 100));
  }

  Recorder* ra = nullptr;
  Recorder* rb = nullptr;
  HWND a = nullptr;
  HWND b = nullptr;
};
}  // namespace

TEST_F(TwoWindows, TimersWithOneIdAreEachWindowsOwnAndStopWithTheirWindow)
{
  EXPECT_EQ(SetTimer(a, 1, 100, nullptr), 1u);
  EXPECT_EQ(SetTimer(b, 1, 50, nullptr), 1u);
  EXPECT_EQ(SetTimer(a, 2, 100, recordingTimerProc), 2u);
  EXPECT_EQ(SetTimer(b, 2, 25, recordingTimerProc), 2u);
  driver.runFor(0.5);
  EXPECT_EQ(timersHeard(*ra, 1), 5);
  EXPECT_EQ(timersHeard(*rb, 1), 10);
  EXPECT_EQ(procCallsOf(a), 5);
  EXPECT_EQ(procCallsOf(b), 20);
  EXPECT_EQ(timersHeard(*ra, 2) + timersHeard(*rb, 2), 0);  // procedures are called instead

  // Stopping one window's timer, or all of them, leaves the other window's alone.
  EXPECT_TRUE(KillTimer(b, 1));
  EXPECT_FALSE(KillTimer(b, 1));
  EXPECT_TRUE(KillTimer(a, static_cast<UINT_PTR>(-1)));
  ra->log.clear();
  rb->log.clear();
  s_procCalls.clear();
  driver.runFor(0.11);
  EXPECT_EQ(ra->count(WM_TIMER) + procCallsOf(a), 0);
  EXPECT_EQ(rb->count(WM_TIMER), 0);
  EXPECT_EQ(procCallsOf(b), 4);

  // Both due at once: whichever hears its timer first destroys the other, which then hears
  // none; the survivor keeps its beat.
  SetTimer(a, 3, 100, nullptr);
  SetTimer(b, 3, 100, nullptr);
  HWND destroyed = nullptr;
  for (Recorder* r : {ra, rb})
    r->answer = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg == WM_TIMER && !destroyed)
      {
        destroyed = h == a ? b : a;
        DestroyWindow(destroyed);
        s_procCalls.clear();
      }
      return std::nullopt;
    };
  ra->log.clear();
  rb->log.clear();
  s_procCalls.clear();
  driver.runFor(0.35);
  ASSERT_NE(destroyed, nullptr);
  const Recorder& survivor = destroyed == b ? *ra : *rb;
  const Recorder& gone = destroyed == b ? *rb : *ra;
  EXPECT_EQ(timersHeard(survivor, 3), 3);
  EXPECT_EQ(gone.count(WM_TIMER), 0);
  EXPECT_EQ(procCallsOf(destroyed), 0);  // its procedure's timer went with it
  EXPECT_FALSE(KillTimer(destroyed, 3));
  for (Recorder* r : {ra, rb}) r->answer = nullptr;
}

TEST_F(TwoWindows, PostsAreClearedWindowByWindowAndDroppedWhenTheirWindowGoes)
{
  for (WPARAM i = 0; i < 4; ++i)
  {
    ASSERT_TRUE(PostMessage(a, WM_USER, i, 0));
    ASSERT_TRUE(PostMessage(b, WM_USER, 10 + i, 0));
  }
  SWELL_MessageQueue_Clear(a);
  driver.runFor(0.05);
  EXPECT_TRUE(postsHeard(*ra).empty());
  EXPECT_EQ(postsHeard(*rb), (std::vector<WPARAM>{10, 11, 12, 13}));
  PostMessage(a, WM_USER, 1, 0);
  PostMessage(b, WM_USER, 2, 0);
  SWELL_Internal_PMQ_ClearAllMessages(nullptr);
  driver.runFor(0.05);
  EXPECT_EQ(postsHeard(*ra).size() + postsHeard(*rb).size(), 4u);

  // A flush delivers at once, and only what was queued when it began.
  ra->log.clear();
  ra->answer = [&](HWND h, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER && wParam == 1) PostMessage(h, WM_USER, 2, 0);
    return std::nullopt;
  };
  PostMessage(a, WM_USER, 1, 0);
  SWELL_MessageQueue_Flush();
  EXPECT_EQ(postsHeard(*ra), std::vector<WPARAM>{1});
  SWELL_MessageQueue_Flush();
  EXPECT_EQ(postsHeard(*ra), (std::vector<WPARAM>{1, 2}));

  // Within one delivery: a message whose handler destroys the other window drops what was
  // still queued for it, and what comes after for the survivor still arrives.
  ra->log.clear();
  rb->log.clear();
  ra->answer = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER && wParam == 1) DestroyWindow(b);
    return std::nullopt;
  };
  PostMessage(b, WM_USER, 0, 0);
  PostMessage(a, WM_USER, 1, 0);
  PostMessage(b, WM_USER, 2, 0);
  PostMessage(a, WM_USER, 3, 0);
  driver.runFor(0.2);
  EXPECT_EQ(postsHeard(*ra), (std::vector<WPARAM>{1, 3}));
  EXPECT_EQ(postsHeard(*rb), std::vector<WPARAM>{0});
  EXPECT_FALSE(PostMessage(b, WM_USER, 4, 0));
  EXPECT_TRUE(PostMessage(a, WM_USER, 5, 0));
  ra->answer = nullptr;
}

TEST_F(TwoWindows, RequestsFromAnotherThreadAreKeptApartByWindowAndGoWithTheirWindow)
{
  Recorder* rc = recorder("c");
  HWND c = child(a, rc, NSMakeRect(100, 0, 50, 50));
  ASSERT_EQ(SetTimer(a, 5, 1000, nullptr), 5u);

  // The kill of (a, 5) updates a's request only; c's request and post go with c, which is
  // destroyed before the tick.
  std::thread worker([&] {
    SetTimer(a, 5, 10, nullptr);
    SetTimer(b, 5, 10, nullptr);
    KillTimer(a, 5);
    SetTimer(c, 6, 10, nullptr);
    PostMessage(c, WM_USER, 0, 0);
  });
  worker.join();
  DestroyWindow(c);
  UINT_PTR late = 1;
  BOOL latePost = 1;
  std::thread after([&] {
    late = SetTimer(c, 6, 10, nullptr);
    latePost = PostMessage(c, WM_USER, 0, 0);
  });
  after.join();
  EXPECT_EQ(late, 0u);
  EXPECT_FALSE(latePost);

  driver.runFor(0.05 + 0.1);
  EXPECT_EQ(timersHeard(*ra, 5), 0);
  EXPECT_GE(timersHeard(*rb, 5), 9);
  EXPECT_EQ(rc->count(WM_TIMER) + rc->count(WM_USER), 0);

  // The queue's own entry points, as the controller calls them: a request for one window
  // leaves the other's alone, and a window that is gone has nothing queued for it.
  ra->log.clear();
  rb->log.clear();
  EXPECT_TRUE(SWELL_pmq_settimer(a, 7, 20, nullptr));
  EXPECT_TRUE(SWELL_pmq_settimer(b, 7, 20, nullptr));
  EXPECT_TRUE(SWELL_pmq_settimer(b, 7, static_cast<UINT>(-1), nullptr));  // now a stop
  EXPECT_TRUE(SWELL_Internal_PostMessage(b, WM_USER, 1, 0));
  EXPECT_FALSE(SWELL_pmq_settimer(c, 7, 20, nullptr));
  EXPECT_FALSE(SWELL_Internal_PostMessage(c, WM_USER, 1, 0));
  EXPECT_FALSE(SWELL_pmq_settimer(nullptr, 7, 20, nullptr));
  EXPECT_EQ(ra->count(WM_TIMER) + rb->count(WM_USER), 0);  // nothing before the flush
  SWELL_MessageQueue_Flush();
  EXPECT_EQ(postsHeard(*rb), std::vector<WPARAM>{1});
  driver.runFor(0.1);
  EXPECT_GE(timersHeard(*ra, 7), 4);
  EXPECT_EQ(timersHeard(*rb, 7), 0);
}

TEST_F(TwoWindows, ARestrictedRunInsideAnotherLetsOnlyItsWindowsTimersFireThenGivesBackTheOuterOne)
{
  SetTimer(a, 1, 15, nullptr);
  SetTimer(b, 1, 10, nullptr);
  SetTimer(nullptr, 0, 10, recordingTimerProc);  // no window: never the one let through
  int innerA = -1, innerB = -1;
  HWND filterAfterInner = nullptr;
  ra->answer = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_TIMER || innerA >= 0) return std::nullopt;
    const int heardA = ra->count(WM_TIMER), heardB = rb->count(WM_TIMER);
    innerA = 0;
    SWELL_RunRunLoopEx(50, b);
    innerA = ra->count(WM_TIMER) - heardA;
    innerB = rb->count(WM_TIMER) - heardB;
    filterAfterInner = g_swell_only_timerhwnd;
    return std::nullopt;
  };
  SWELL_RunRunLoopEx(100, a);
  EXPECT_EQ(innerA, 0);
  EXPECT_EQ(innerB, 5);
  EXPECT_EQ(filterAfterInner, a);
  EXPECT_EQ(g_swell_only_timerhwnd, nullptr);
  EXPECT_EQ(rb->count(WM_TIMER), innerB);  // only inside the inner run
  EXPECT_GE(ra->count(WM_TIMER), 2);
  EXPECT_TRUE(s_procCalls.empty());

  // A window destroyed during its own restricted run: the restriction is lifted after it.
  ra->answer = [](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_TIMER) DestroyWindow(h);
    return std::nullopt;
  };
  rb->log.clear();
  SWELL_RunRunLoopEx(50, a);
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(rb->count(WM_TIMER), 0);
  EXPECT_EQ(g_swell_only_timerhwnd, nullptr);
  SWELL_RunRunLoop(50);
  EXPECT_EQ(rb->count(WM_TIMER), 5);
  EXPECT_EQ(s_procCalls.size(), 5u);
  ra->answer = nullptr;
}
