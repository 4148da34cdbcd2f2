#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// A step that waits on the audio or MIDI service must end even when the service no longer
// answers: a JACK server that stopped running its clients (frozen, or dropping them under heavy
// load) holds a client that opens or stops inside the library for good. While a watch lives, a
// thread of its own waits; when the step outlasts the limit, `say` writes one line on stderr
// (given the wait in milliseconds) and the process ends with `status`.
class ServiceWatch
{
public:
  ServiceWatch(std::chrono::milliseconds limit, void (*say)(long long waitedMs), const int& status);
  ~ServiceWatch();
  ServiceWatch(const ServiceWatch&) = delete;
  ServiceWatch& operator=(const ServiceWatch&) = delete;

private:
  std::mutex mMutex;
  std::condition_variable mDone;
  bool mOver = false;
  std::thread mThread;
};

// The shut-down. The settings are on disk already: every change is written whole when it is made.
class QuitWatch : public ServiceWatch
{
public:
  QuitWatch();
};

// The launch's opening of the audio and MIDI clients: a program that never starts and says
// nothing tells no one why there is no sound, and a host started by a script holds the script.
class StartWatch : public ServiceWatch
{
public:
  StartWatch();
};

// How long the shut-down may take.
extern std::chrono::milliseconds gQuitWaitLimit;
// The status the process ends with when the watch cuts its shut-down short: what the program
// would have returned after quitting (0, unless it quits because it could not play).
extern int gQuitStatus;
// How long opening the audio and MIDI clients at the start may take.
extern std::chrono::milliseconds gStartWaitLimit;
// The status the process ends with when the start is cut short: that of a start without sound.
extern int gStartStatus;
