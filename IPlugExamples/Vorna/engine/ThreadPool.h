#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A fixed set of worker threads running queued tasks in queue order. Destroying
// the pool lets the workers finish every queued task before they end.
class ThreadPool
{
public:
  // Throws std::runtime_error("error! invalid number of threads") for 0.
  explicit ThreadPool(unsigned int numThreads);
  ~ThreadPool();

  ThreadPool(const ThreadPool&) = delete;
  ThreadPool& operator=(const ThreadPool&) = delete;

  unsigned int GetNumWorkers() const { return mNumWorkers; }
  // True while worker i is not running a task.
  bool IsWorkerIdle(unsigned int i) const { return mIdle[i].load(std::memory_order_acquire); }

private:
  // Nothing in the plug-in queues work yet; tests reach the queue through this.
  friend struct ThreadPoolTestAccess;

  // Queues a task; an empty task is refused (false), since running it would throw
  // on a worker thread and end the process.
  bool Enqueue(std::function<void()> task);

  void WorkerLoop(unsigned int index);
  void StopAndJoin();

  unsigned int mNumWorkers = 0;
  std::vector<std::thread> mWorkers;
  // One flag per worker: a worker sets its own flag after a task without the
  // mutex, so the flags must not share storage the way packed bits would.
  std::unique_ptr<std::atomic<bool>[]> mIdle;
  std::deque<std::function<void()>> mTasks;
  std::mutex mMutex;
  std::condition_variable mWake;
  bool mStop = false;
};
