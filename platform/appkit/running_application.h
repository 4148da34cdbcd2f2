#pragma once

#include "platform/foundation/object.h"

#include <sys/types.h>

#include <vector>

namespace cocoa
{
// Another program on the desktop, known by its process number once it shows a window.
class NSRunningApplication : public NSObject
{
public:
  // Autoreleased; null while the process shows no window (or there is no display).
  static NSRunningApplication* runningApplicationWithProcessIdentifier(pid_t pid);

  pid_t processIdentifier() const { return m_pid; }
  // Raises its windows above all others and asks the window manager to focus them.
  // False when the display could not be reached.
  bool activate();

private:
  struct ShownWindow
  {
    unsigned long topLevel;  // the child of the screen's root: the window manager's frame, if any
    unsigned long client;    // the program's own window inside it
  };
  NSRunningApplication(pid_t pid, std::vector<ShownWindow> windows) : m_pid(pid), m_windows(std::move(windows)) {}

  pid_t m_pid;
  std::vector<ShownWindow> m_windows;
};
}  // namespace cocoa
