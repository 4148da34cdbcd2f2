#include "ThreadPool.h"

#include <stdexcept>
#include <utility>

ThreadPool::ThreadPool(unsigned int numThreads)
{
  if (numThreads == 0) throw std::runtime_error("error! invalid number of threads");

  mNumWorkers = numThreads;
  mIdle = std::make_unique<std::atomic<bool>[]>(numThreads);
  mWorkers.reserve(numThreads);
  try
  {
    for (unsigned int i = 0; i < numThreads; ++i)
    {
      mIdle[i].store(true, std::memory_order_release);
      mWorkers.emplace_back(&ThreadPool::WorkerLoop, this, i);
    }
  }
  catch (...)
  {
    // No destructor runs for a half-built pool: end the workers already started.
    StopAndJoin();
    throw;
  }
}

ThreadPool::~ThreadPool()
{
  StopAndJoin();
}

void ThreadPool::StopAndJoin()
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mStop = true;
  }
  mWake.notify_all();
  for (std::thread& worker : mWorkers)
  {
    if (worker.joinable()) worker.join();
  }
}

bool ThreadPool::Enqueue(std::function<void()> task)
{
  if (!task) return false;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mTasks.push_back(std::move(task));
  }
  mWake.notify_one();
  return true;
}

void ThreadPool::WorkerLoop(unsigned int index)
{
  for (;;)
  {
    std::unique_lock<std::mutex> lock(mMutex);
    mWake.wait(lock, [this] { return mStop || !mTasks.empty(); });
    if (mTasks.empty()) return;  // stopping, and nothing left to drain

    mIdle[index].store(false, std::memory_order_release);
    std::function<void()> task = std::move(mTasks.front());
    mTasks.pop_front();
    lock.unlock();

    task();
    mIdle[index].store(true, std::memory_order_release);
  }
}
