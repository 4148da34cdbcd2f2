#include "platform/appkit/running_application.h"

// Built without X11: no other program's windows can be seen.
namespace cocoa
{
NSRunningApplication* NSRunningApplication::runningApplicationWithProcessIdentifier(pid_t)
{
  return nullptr;
}

bool NSRunningApplication::activate()
{
  return false;
}
}  // namespace cocoa
