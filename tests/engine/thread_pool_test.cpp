#include "ThreadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <utility>

struct ThreadPoolTestAccess
{
  static bool Enqueue(ThreadPool& pool, std::function<void()> task) { return pool.Enqueue(std::move(task)); }
};

namespace
{
// Waits, up to a generous limit, for another thread to make a condition true.
template <class Condition>
bool Eventually(Condition condition)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition())
  {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
}  // namespace

TEST(ThreadPool, RefusesZeroThreadsAndEmptyTasks)
{
  try
  {
    ThreadPool pool(0);
    FAIL() << "a pool without threads was built";
  }
  catch (const std::runtime_error& e)
  {
    EXPECT_STREQ(e.what(), "error! invalid number of threads");
  }
  ThreadPool pool(1);
  EXPECT_FALSE(ThreadPoolTestAccess::Enqueue(pool, std::function<void()>()));
}

TEST(ThreadPool, RunsTasksOnItsWorkersAndShowsWhichAreBusy)
{
  std::atomic<int> done{0}, onCaller{0};
  const std::thread::id caller = std::this_thread::get_id();
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  ThreadPool pool(2);
  EXPECT_TRUE(pool.IsWorkerIdle(0) && pool.IsWorkerIdle(1));

  ThreadPoolTestAccess::Enqueue(pool, [opened] { opened.wait(); });
  EXPECT_TRUE(Eventually([&] { return !pool.IsWorkerIdle(0) || !pool.IsWorkerIdle(1); }));
  EXPECT_NE(pool.IsWorkerIdle(0), pool.IsWorkerIdle(1));  // exactly one is held

  for (int i = 0; i < 200; ++i)
  {
    ThreadPoolTestAccess::Enqueue(pool, [&] {
      if (std::this_thread::get_id() == caller) ++onCaller;
      ++done;
    });
  }
  EXPECT_TRUE(Eventually([&] { return done.load() == 200; }));  // the free worker
  EXPECT_EQ(onCaller.load(), 0);
  gate.set_value();
  EXPECT_TRUE(Eventually([&] { return pool.IsWorkerIdle(0) && pool.IsWorkerIdle(1); }));
}

TEST(ThreadPool, DestructionDrainsTheQueue)
{
  std::atomic<int> done{0};
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  std::thread opener;
  {
    ThreadPool pool(1);
    ThreadPoolTestAccess::Enqueue(pool, [opened] { opened.wait(); });
    for (int i = 0; i < 100; ++i) ThreadPoolTestAccess::Enqueue(pool, [&] { ++done; });
    // The only worker is still held when the pool starts to be destroyed.
    opener = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      gate.set_value();
    });
  }
  EXPECT_EQ(done.load(), 100);
  opener.join();
}
