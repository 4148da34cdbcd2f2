#include "service_thread.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

struct ServiceThread::Shared
{
  std::mutex mutex;
  std::condition_variable jobGiven;
  std::condition_variable jobDone;
  std::function<void()> job;
  bool busy = false;  // a job was given and has not returned
  bool late = false;  // ... and its caller stopped waiting for it
  bool giveUp = false;  // the job asked its caller to stop waiting
  bool returnedLate = false;
  bool ending = false;
  std::thread thread;
};

ServiceThread::ServiceThread() : mShared(std::make_shared<Shared>()) {}

ServiceThread::~ServiceThread()
{
  std::unique_lock<std::mutex> lock(mShared->mutex);
  mShared->ending = true;
  if (!mShared->thread.joinable()) return;
  if (mShared->busy)
  {
    // Stuck in a library: the thread keeps what it shares and ends if the job ever returns.
    mShared->thread.detach();
    return;
  }
  mShared->jobGiven.notify_one();
  lock.unlock();
  mShared->thread.join();
}

ServiceThread::Answer ServiceThread::Run(std::function<void()> job, Clock::time_point deadline)
{
  std::unique_lock<std::mutex> lock(mShared->mutex);
  if (mShared->busy) return Answer::refused;
  if (!mShared->thread.joinable())
  {
    std::shared_ptr<Shared> shared = mShared;
    mShared->thread = std::thread([shared] { Serve(shared); });
  }
  mShared->job = std::move(job);
  mShared->busy = true;
  mShared->giveUp = false;
  mShared->jobGiven.notify_one();
  if (mShared->jobDone.wait_until(lock, deadline, [this] { return !mShared->busy || mShared->giveUp; }) &&
      !mShared->busy)
    return Answer::given;
  mShared->late = true;
  return Answer::late;
}

bool ServiceThread::Answering() const
{
  std::lock_guard<std::mutex> lock(mShared->mutex);
  return !mShared->busy;
}

bool ServiceThread::TakeReturnedLate()
{
  std::lock_guard<std::mutex> lock(mShared->mutex);
  return std::exchange(mShared->returnedLate, false);
}

bool ServiceThread::WaitUntilAnswering(Clock::time_point deadline)
{
  std::unique_lock<std::mutex> lock(mShared->mutex);
  return mShared->jobDone.wait_until(lock, deadline, [this] { return !mShared->busy; });
}

thread_local ServiceThread::Shared* ServiceThread::tServing = nullptr;

void ServiceThread::CallerStopsWaiting()
{
  Shared* shared = tServing;
  if (!shared) return;
  std::lock_guard<std::mutex> lock(shared->mutex);
  shared->giveUp = true;
  shared->jobDone.notify_all();
}

void ServiceThread::Serve(const std::shared_ptr<Shared>& shared)
{
  tServing = shared.get();
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;)
  {
    shared->jobGiven.wait(lock, [&] { return shared->ending || (shared->busy && shared->job); });
    if (!shared->job) return;
    std::function<void()> job = std::move(shared->job);
    shared->job = nullptr;
    lock.unlock();
    job();
    // What the job owns goes here, on the service's thread, before its caller hears of it.
    job = nullptr;
    lock.lock();
    shared->busy = false;
    if (std::exchange(shared->late, false)) shared->returnedLate = true;
    shared->jobDone.notify_all();
    if (shared->ending) return;
  }
}
