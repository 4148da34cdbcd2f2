#include "swell-kernel.h"

#include "platform/appkit/application.h"
#include "platform/foundation/autorelease_pool.h"

#include <new>

namespace
{
constexpr int kMaxEventsPerRun = 100;
constexpr double kEventWaitSeconds = 0.001;
}  // namespace

void* SWELL_InitAutoRelease()
{
  return new (std::nothrow) cocoa::NSAutoreleasePool;
}

void SWELL_QuitAutoRelease(void* pool)
{
  delete static_cast<cocoa::NSAutoreleasePool*>(pool);
}

void SWELL_RunEvents()
{
  cocoa::NSAutoreleasePool pool;
  cocoa::NSApplication* application = cocoa::NSApp();
  cocoa::NSRunLoop* loop = cocoa::NSRunLoop::currentRunLoop();
  for (int i = 0; i < kMaxEventsPerRun; ++i)
  {
    cocoa::NSEvent* event =
        application->nextEventMatchingMask(cocoa::NSEventMaskAny, loop->now() + kEventWaitSeconds, true);
    if (!event) break;
    application->sendEvent(event);
  }
}
