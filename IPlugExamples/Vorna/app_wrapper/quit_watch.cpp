#include "quit_watch.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

std::chrono::milliseconds gQuitWaitLimit{4000};
int gQuitStatus = 0;

namespace
{
[[noreturn]] void EndNow(long long waitedMs)
{
  // The main thread is stuck inside a library, which may hold anything but stdout's lock is
  // not to be waited for: what stdout holds goes out only when it can be taken at once.
  if (ftrylockfile(stdout) == 0)
  {
    fflush_unlocked(stdout);
    funlockfile(stdout);
  }
  char line[256];
  const int length = std::snprintf(line, sizeof(line),
                                   "%s: the shut-down waited %.1f s for the audio or MIDI service, which no longer "
                                   "answers; ending now (the settings are saved)\n",
                                   program_invocation_short_name, double(waitedMs) / 1000.0);
  if (length > 0) (void)!write(STDERR_FILENO, line, size_t(length) < sizeof(line) ? size_t(length) : sizeof(line) - 1);
  _exit(gQuitStatus);
}
}  // namespace

QuitWatch::QuitWatch()
{
  const std::chrono::milliseconds limit = gQuitWaitLimit;
  mThread = std::thread([this, limit] {
    std::unique_lock<std::mutex> lock(mMutex);
    if (!mDone.wait_for(lock, limit, [this] { return mOver; })) EndNow(limit.count());
  });
}

QuitWatch::~QuitWatch()
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mOver = true;
  }
  mDone.notify_one();
  mThread.join();
}
