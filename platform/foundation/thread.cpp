#include "platform/foundation/thread.h"

#include "platform/foundation/autorelease_pool.h"

#include <pthread.h>

#include <atomic>
#include <new>

namespace cocoa
{
namespace
{
std::atomic<bool> g_multiThreaded{false};

void* runBlock(void* argument)
{
  std::function<void()>* block = static_cast<std::function<void()>*>(argument);
  {
    NSAutoreleasePool pool;
    (*block)();
  }
  delete block;
  return nullptr;
}
}  // namespace

bool NSThread::detachNewThreadWithBlock(std::function<void()> block)
{
  // Cocoa switches modes when a thread is asked for, before it runs.
  g_multiThreaded.store(true);
  auto* owned = new (std::nothrow) std::function<void()>(std::move(block));
  if (!owned) return false;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, runBlock, owned) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) delete owned;
  return started;
}

bool NSThread::isMultiThreaded()
{
  return g_multiThreaded.load();
}
}  // namespace cocoa
