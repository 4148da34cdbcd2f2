// Timers asked for from another thread before the posted-message queue runs: no run loop
// would ever carry them out, so they are refused. A program of its own, since nothing in it
// may start the queue.

#include "swell-timer.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include <gtest/gtest.h>

#include <thread>

TEST(TimerBeforeTheQueue, AnotherThreadsTimerIsRefusedWhileTheMainThreadsIsSet)
{
  auto* view = new Swell_vVorna_hwnd;
  view->initChild(nullptr, nullptr, nullptr, 0);
  HWND hwnd = view->handle();

  UINT_PTR fromWorker = 1;
  std::thread([&] { fromWorker = SetTimer(hwnd, 5, 10, nullptr); }).join();
  EXPECT_EQ(fromWorker, 0u);
  EXPECT_FALSE(KillTimer(hwnd, 5));  // nothing was set or queued

  EXPECT_EQ(SetTimer(hwnd, 5, 10, nullptr), 5u);
  EXPECT_TRUE(KillTimer(hwnd, 5));
  DestroyWindow(hwnd);
  view->release();
}
