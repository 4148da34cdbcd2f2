#pragma once

#include "platform/foundation/clock.h"
#include "platform/foundation/object.h"

#include <vector>

namespace cocoa
{
class NSTimer;

// Where outside input comes from: the backend. It owns the clock the run loop reads.
class RunLoopInput
{
public:
  virtual ~RunLoopInput() = default;
  virtual const Clock& clock() const = 0;
  // Waits at most `seconds` (kDistantFuture: without limit; 0: only takes what is already
  // waiting) for outside input and queues what arrives; returns early, and true, once
  // something did.
  virtual bool waitForInput(double seconds) = 0;
};

// Told once in every pass of the run loop, after timers and input and before any sleep;
// the application draws its dirty windows here.
class RunLoopObserver
{
public:
  virtual ~RunLoopObserver() = default;
  virtual void runLoopPassEnding() = 0;
};

// The main thread's run loop. Every loop of the system, nested modal runs and menu
// tracking included, turns it, so timers fire everywhere.
class NSRunLoop
{
public:
  static NSRunLoop* currentRunLoop();
  static NSRunLoop* mainRunLoop() { return currentRunLoop(); }

  void addTimer(NSTimer* timer);
  // Turns the loop until the date: timers fire, input is queued for the application.
  void runUntilDate(double date);
  // One pass: fires the timers that are due, takes the input already waiting, tells the
  // observers (drawing); then, when neither a timer fired nor input came, waits for input
  // until `limitDate` or the next timer, whichever comes first. A pass never skips input
  // or drawing, so timers that are always due cannot starve them.
  void runOnce(double limitDate);

  double now() const;
  // The earliest fire date of a valid timer, or kDistantFuture.
  double nextTimerDate() const;
  size_t timerCount() const { return m_timers.size(); }
  const std::vector<StrongRef<NSTimer>>& timers() const { return m_timers; }

  void setInput(RunLoopInput* input) { m_input = input; }
  void addObserver(RunLoopObserver* observer);
  void removeObserver(RunLoopObserver* observer);
  // Forgets every timer (between tests).
  void invalidateAllTimers();

private:
  bool fireDueTimers();

  std::vector<StrongRef<NSTimer>> m_timers;
  std::vector<RunLoopObserver*> m_observers;
  RunLoopInput* m_input = nullptr;
  long long m_nextSequence = 0;
};
}  // namespace cocoa
