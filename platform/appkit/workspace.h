#pragma once

#include "platform/foundation/nsstring.h"

#include <string>
#include <vector>

namespace cocoa
{
// Opening documents and starting programs, never waiting for them.
class NSWorkspace
{
public:
  static NSWorkspace* sharedWorkspace();
  // Hands a URL or a file path to the desktop's opener (xdg-open); true when it started.
  bool openURL(const NSString& url);
  bool openFile(const NSString& path);
  // Starts a program found on PATH with its arguments; true when it started.
  bool launchProgram(const std::vector<std::string>& arguments);
};

// Collects programs started here that have ended, so none is left a zombie; the run loop
// calls it whenever it is about to wait.
void reapLaunchedPrograms();
size_t runningLaunchedProgramCount();
}  // namespace cocoa
