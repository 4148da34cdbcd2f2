#include "swell-deadline.h"
#include "swell-handle-records.h"

#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object.h"
#include "platform/foundation/thread.h"

#include <sched.h>

#include <algorithm>
#include <cstdint>
#include <new>

namespace
{
DWORD lowBitsOf(pthread_t thread)
{
  return static_cast<DWORD>(static_cast<uintptr_t>(thread));
}

void* runThread(void* argument)
{
  auto* thread = static_cast<SWELL_ThreadRecord*>(argument);
  cocoa::NSAutoreleasePool pool;
  thread->result = thread->procedure(thread->parameter);
  thread->done.store(1, std::memory_order_release);
  // After this the record may be gone.
  CloseHandle(static_cast<SWELL_KernelObject*>(thread));
  return nullptr;
}
}  // namespace

void SWELL_EnsureMultithreadedCocoa()
{
  static std::once_flag once;
  std::call_once(once, [] {
    if (!cocoa::NSThread::isMultiThreaded()) cocoa::NSThread::detachNewThreadWithBlock([] {});
  });
}

HANDLE CreateThread(void*, int, LPTHREAD_START_ROUTINE procedure, void* parameter, int, DWORD* threadId)
{
  if (!procedure) return nullptr;
  SWELL_EnsureMultithreadedCocoa();
  auto* thread = new (std::nothrow) SWELL_ThreadRecord;
  if (!thread) return nullptr;
  thread->procedure = procedure;
  thread->parameter = parameter;

  std::unique_lock<std::mutex> hold(thread->lock);
  if (pthread_create(&thread->thread, nullptr, runThread, thread) != 0)
  {
    hold.unlock();
    delete thread;
    return nullptr;
  }
  if (threadId) *threadId = lowBitsOf(thread->thread);
  return static_cast<SWELL_KernelObject*>(thread);
}

DWORD SWELL_WaitForThread(SWELL_ThreadRecord* thread, DWORD ms)
{
  if (!thread->done.load(std::memory_order_acquire) && ms != INFINITE)
  {
    if (ms == 0) return WAIT_TIMEOUT;
    const SWELL_Deadline deadline(ms);
    while (!thread->done.load(std::memory_order_acquire))
    {
      if (deadline.passed()) return WAIT_TIMEOUT;
      Sleep(1);
    }
  }

  std::unique_lock<std::mutex> hold(thread->lock);
  // A thread waiting for its own end would wait for ever.
  if (pthread_equal(thread->thread, pthread_self())) return WAIT_FAILED;
  thread->joinFinished.wait(hold, [thread] { return thread->joinState != SWELL_ThreadRecord::joining; });
  if (thread->joinState == SWELL_ThreadRecord::joined) return WAIT_OBJECT_0;
  // Joining may take as long as the thread runs: others must still reach the record.
  thread->joinState = SWELL_ThreadRecord::joining;
  const pthread_t target = thread->thread;
  hold.unlock();
  const bool joined = pthread_join(target, nullptr) == 0;
  hold.lock();
  thread->joinState = joined ? SWELL_ThreadRecord::joined : SWELL_ThreadRecord::joinable;
  thread->joinFinished.notify_all();
  return joined ? WAIT_OBJECT_0 : WAIT_FAILED;
}

void SWELL_DestroyThread(SWELL_ThreadRecord* thread)
{
  {
    std::lock_guard<std::mutex> hold(thread->lock);
    // Nobody else holds a reference, so nobody is joining.
    if (thread->joinState == SWELL_ThreadRecord::joinable)
    {
      // A thread dropping the last reference to itself cannot wait for its own end.
      if (pthread_equal(thread->thread, pthread_self())) pthread_detach(thread->thread);
      else pthread_join(thread->thread, nullptr);
    }
  }
  delete thread;
}

BOOL SetThreadPriority(HANDLE handle, int priority)
{
  SWELL_ThreadRecord* thread = SWELL_HandleAs<SWELL_ThreadRecord>(handle);
  if (!thread || thread->done.load(std::memory_order_acquire)) return 0;
  std::lock_guard<std::mutex> hold(thread->lock);
  // Once another thread has begun to join it, the thread may be gone at any moment;
  // only the thread itself knows it still runs.
  const bool self = pthread_equal(thread->thread, pthread_self());
  if (!self && thread->joinState != SWELL_ThreadRecord::joinable) return 0;
  int policy = 0;
  sched_param parameters{};
  if (pthread_getschedparam(thread->thread, &policy, &parameters) != 0) return 0;
  const int lowest = sched_get_priority_min(policy);
  const int highest = sched_get_priority_max(policy);
  if (lowest < 0 || highest < 0) return 0;
  parameters.sched_priority = std::clamp(priority + 31, lowest, highest);
  return pthread_setschedparam(thread->thread, policy, &parameters) == 0 ? 1 : 0;
}

DWORD GetCurrentThreadId()
{
  return lowBitsOf(pthread_self());
}

namespace
{
// The target object of a thread started through the platform.
class Swell_vVorna_thread : public cocoa::NSObject
{
public:
  Swell_vVorna_thread(LPTHREAD_START_ROUTINE procedure, void* parameter) : m_procedure(procedure), m_parameter(parameter)
  {
  }
  // Runs the procedure; the thread ends when it returns.
  void bla() { m_procedure(m_parameter); }

private:
  LPTHREAD_START_ROUTINE m_procedure;
  void* m_parameter;
};
}  // namespace

HANDLE CreateThreadNS(void*, int, LPTHREAD_START_ROUTINE procedure, void* parameter, int, DWORD*)
{
  if (!procedure) return nullptr;
  auto target = cocoa::StrongRef<Swell_vVorna_thread>::adopt(new (std::nothrow) Swell_vVorna_thread(procedure, parameter));
  if (target) cocoa::NSThread::detachNewThreadWithBlock([target] { target->bla(); });
  return nullptr;
}
