// Four threads post messages and timer requests to windows that the main thread keeps
// creating and destroying, for three seconds. Under the sanitizers nothing may be reported,
// and the main thread must never hear of a message for a window it already let go of.
#include "wnd_test_support.h"

#include <array>
#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <thread>

using namespace cocoa;

namespace
{
constexpr int kSlots = 8;
constexpr int kWorkers = 4;
constexpr auto kDuration = std::chrono::seconds(3);

std::set<HWND> s_live;  // main thread only
int s_delivered = 0;
int s_deadDeliveries = 0;

LRESULT liveCheckingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_USER || msg == WM_TIMER)
  {
    ++s_delivered;
    if (!s_live.count(hwnd)) ++s_deadDeliveries;
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}
}  // namespace

TEST_F(WindowTest, PostsFromFourThreadsNeverReachAWindowThatIsGone)
{
  HWND top = topLevel(recorder("top"));
  std::array<std::atomic<HWND>, kSlots> slots;
  const auto makeWindow = [&] {
    auto* view = new Swell_vVorna_hwnd;
    view->initChild(nullptr, swellObjectOf(top), liveCheckingProc, 0);
    view->release();
    s_live.insert(view->handle());
    return view->handle();
  };
  for (auto& slot : slots) slot.store(makeWindow());

  std::atomic<bool> stop{false};
  std::atomic<long> accepted{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w)
    workers.emplace_back([&, w] {
      std::mt19937 random(static_cast<unsigned>(w));
      for (unsigned n = 0; !stop.load(std::memory_order_relaxed); ++n)
      {
        HWND target = slots[random() % kSlots].load();
        if (PostMessage(target, WM_USER, n, 0)) accepted.fetch_add(1, std::memory_order_relaxed);
        if (n % 16 == 0)
        {
          SetTimer(target, 1 + n % 3, 1, nullptr);
          KillTimer(target, n % 32 == 0 ? static_cast<UINT_PTR>(-1) : 1 + n % 3);
        }
        if (n % 64 == 0) std::this_thread::yield();
      }
    });

  std::mt19937 random(99);
  const auto end = std::chrono::steady_clock::now() + kDuration;
  int replaced = 0;
  while (std::chrono::steady_clock::now() < end)
  {
    std::atomic<HWND>& slot = slots[random() % kSlots];
    HWND old = slot.load();
    s_live.erase(old);
    DestroyWindow(old);
    slot.store(makeWindow());
    ++replaced;
    driver.runFor(0.05);  // one tick of the queue
  }
  stop = true;
  for (std::thread& worker : workers) worker.join();
  driver.runFor(0.1);

  EXPECT_EQ(s_deadDeliveries, 0);
  EXPECT_GT(s_delivered, 0);
  EXPECT_GT(accepted.load(), 0);
  EXPECT_GT(replaced, 10);
  for (auto& slot : slots) DestroyWindow(slot.load());
  s_live.clear();
}
