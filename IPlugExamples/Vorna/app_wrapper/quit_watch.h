#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// The shut-down must end even when the audio or MIDI service no longer answers: a JACK server
// that stopped running its client (frozen, or dropping it under heavy load) never lets the
// stream stop, and the audio library waits for one more callback for good. While a watch
// lives, a thread of its own waits; when the shut-down outlasts the limit, it says so in one
// line on stderr and ends the process with gQuitStatus. The settings are on disk already:
// every change is written whole when it is made.
class QuitWatch
{
public:
  QuitWatch();
  ~QuitWatch();
  QuitWatch(const QuitWatch&) = delete;
  QuitWatch& operator=(const QuitWatch&) = delete;

private:
  std::mutex mMutex;
  std::condition_variable mDone;
  bool mOver = false;
  std::thread mThread;
};

// How long the shut-down may take.
extern std::chrono::milliseconds gQuitWaitLimit;
// The status the process ends with when the watch cuts its shut-down short: what the program
// would have returned after quitting (0, unless it quits because it could not play).
extern int gQuitStatus;
