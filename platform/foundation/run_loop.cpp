#include "platform/foundation/run_loop.h"

#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/timer.h"

#include <algorithm>

namespace cocoa
{
namespace
{
// Used until a backend installs its input: time still passes, nothing arrives.
class NoInput : public RunLoopInput
{
public:
  const Clock& clock() const override { return m_clock; }
  bool waitForInput(double) override { return false; }

private:
  MonotonicClock m_clock;
};

NoInput& noInput()
{
  static NoInput* input = new NoInput;
  return *input;
}
}  // namespace

NSRunLoop* NSRunLoop::currentRunLoop()
{
  static NSRunLoop* loop = new NSRunLoop;
  return loop;
}

double NSRunLoop::now() const
{
  return (m_input ? m_input : &noInput())->clock().now();
}

void NSRunLoop::addTimer(NSTimer* timer)
{
  if (!timer || !timer->isValid()) return;
  for (const auto& existing : m_timers)
    if (existing.get() == timer) return;
  timer->m_sequence = m_nextSequence++;
  m_timers.emplace_back(timer);
}

double NSRunLoop::nextTimerDate() const
{
  double next = kDistantFuture;
  for (const auto& timer : m_timers)
    if (timer->isValid()) next = std::min(next, timer->fireDate());
  return next;
}

void NSRunLoop::addObserver(RunLoopObserver* observer)
{
  if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
    m_observers.push_back(observer);
}

void NSRunLoop::removeObserver(RunLoopObserver* observer)
{
  m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void NSRunLoop::invalidateAllTimers()
{
  std::vector<StrongRef<NSTimer>> timers;
  timers.swap(m_timers);
  for (auto& timer : timers) timer->invalidate();
}

bool NSRunLoop::fireDueTimers()
{
  m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), [](const auto& t) { return !t->isValid(); }),
                 m_timers.end());
  const double now = this->now();
  std::vector<StrongRef<NSTimer>> due;
  for (const auto& timer : m_timers)
    if (timer->fireDate() <= now) due.push_back(timer);
  if (due.empty()) return false;
  std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
    if (a->fireDate() != b->fireDate()) return a->fireDate() < b->fireDate();
    return a->m_sequence < b->m_sequence;
  });
  for (auto& timer : due)
  {
    // An earlier callback may have stopped this one.
    if (!timer->isValid()) continue;
    NSAutoreleasePool pool;
    if (timer->m_repeats) timer->advancePast(now);
    timer->fire();
  }
  return true;
}

void NSRunLoop::runOnce(double limitDate)
{
  RunLoopInput& input = m_input ? *m_input : noInput();
  const bool fired = fireDueTimers();
  const bool arrived = input.waitForInput(0);
  // An observer's pass (drawing every window) may remove another observer, which its owner
  // may then free: one removed meanwhile is not called.
  for (RunLoopObserver* observer : std::vector<RunLoopObserver*>(m_observers))
    if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) observer->runLoopPassEnding();
  if (fired || arrived) return;
  const double wakeAt = std::min(limitDate, nextTimerDate());
  const double now = this->now();
  if (wakeAt <= now) return;
  input.waitForInput(wakeAt >= kDistantFuture ? kDistantFuture : wakeAt - now);
}

void NSRunLoop::runUntilDate(double date)
{
  while (now() < date) runOnce(date);
  fireDueTimers();
}
}  // namespace cocoa

