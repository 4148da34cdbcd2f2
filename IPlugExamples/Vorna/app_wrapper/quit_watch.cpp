#include "quit_watch.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

std::chrono::milliseconds gQuitWaitLimit{4000};
int gQuitStatus = 0;
std::chrono::milliseconds gStartWaitLimit{10000};
int gStartStatus = 1;

namespace
{
// The main thread is stuck inside a library, which may hold anything but stdout's lock is not
// to be waited for: what stdout holds goes out only when it can be taken at once.
void FlushStdoutIfFree()
{
  if (ftrylockfile(stdout) == 0)
  {
    fflush_unlocked(stdout);
    funlockfile(stdout);
  }
}

void WriteLine(const char* format, long long waitedMs)
{
  char line[256];
  const int length =
      std::snprintf(line, sizeof(line), format, program_invocation_short_name, double(waitedMs) / 1000.0);
  if (length > 0) (void)!write(STDERR_FILENO, line, size_t(length) < sizeof(line) ? size_t(length) : sizeof(line) - 1);
}

void SayQuitCut(long long waitedMs)
{
  WriteLine("%s: the shut-down waited %.1f s for the audio or MIDI service, which no longer answers; ending now "
            "(the settings are saved)\n",
            waitedMs);
}

void SayStartCut(long long waitedMs)
{
  WriteLine("%s: no audio stream: the audio or MIDI service did not answer within %.1f s of the start; ending now\n",
            waitedMs);
}
}  // namespace

ServiceWatch::ServiceWatch(std::chrono::milliseconds limit, void (*say)(long long), const int& status)
{
  mThread = std::thread([this, limit, say, &status] {
    std::unique_lock<std::mutex> lock(mMutex);
    if (mDone.wait_for(lock, limit, [this] { return mOver; })) return;
    FlushStdoutIfFree();
    say(limit.count());
    _exit(status);
  });
}

ServiceWatch::~ServiceWatch()
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mOver = true;
  }
  mDone.notify_one();
  mThread.join();
}

QuitWatch::QuitWatch() : ServiceWatch(gQuitWaitLimit, SayQuitCut, gQuitStatus) {}

StartWatch::StartWatch() : ServiceWatch(gStartWaitLimit, SayStartCut, gStartStatus) {}
