#pragma once

#include <chrono>
#include <functional>
#include <memory>

// The audio and MIDI libraries wait on their service inside their calls: a JACK server that
// was stopped (SIGSTOP) or is starved holds a client's open, probe or stop for as long as it
// does. So the application asks them on a thread of each service's own, and the main thread
// waits for the answer only until a deadline; a call still running then is left to finish
// there, and the service is not asked again until it has.
//
// A job may outlive the wait for it: it owns everything it touches (captures by value), and
// what it works on (a driver, a client) is neither used nor deleted by anyone else until the
// service answers again.
class ServiceThread
{
public:
  using Clock = std::chrono::steady_clock;

  enum class Answer
  {
    given,    // the job ran to its end before the deadline
    late,     // the deadline passed first; the job goes on, and the service is not answering
    refused,  // an earlier job has not returned: this one was not started
  };

  ServiceThread();
  // A job that never returns keeps its thread: the thread is let go, not waited for.
  ~ServiceThread();
  ServiceThread(const ServiceThread&) = delete;
  ServiceThread& operator=(const ServiceThread&) = delete;

  // Main thread.
  Answer Run(std::function<void()> job, Clock::time_point deadline);
  // No job is outstanding: the next one is taken.
  bool Answering() const;
  // Whether a job that was late has returned since the last time this was asked.
  bool TakeReturnedLate();
  // Waits until the outstanding job, if any, has returned, or the deadline has passed;
  // whether it is answering.
  bool WaitUntilAnswering(Clock::time_point deadline);

  // Tests, on a service's thread inside a job (a scripted library that hangs): its caller takes
  // the job as late at once, as if its deadline had passed, so that what is tested does not
  // hang on how long a busy machine takes to run the calls that do answer.
  static void CallerStopsWaiting();

private:
  struct Shared;
  static void Serve(const std::shared_ptr<Shared>& shared);
  // The service whose job this thread runs.
  static thread_local Shared* tServing;
  std::shared_ptr<Shared> mShared;
};
