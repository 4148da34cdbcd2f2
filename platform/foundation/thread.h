#pragma once

#include <functional>

namespace cocoa
{
// Threads of the platform. Cocoa runs single-threaded until the first of them is started;
// from then on it is in multithreaded mode for the rest of the process.
class NSThread
{
public:
  // Runs the block on a new detached thread inside an autorelease pool. False when the
  // system could not start a thread.
  static bool detachNewThreadWithBlock(std::function<void()> block);
  static bool isMultiThreaded();
};
}  // namespace cocoa
