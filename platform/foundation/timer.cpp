#include "platform/foundation/timer.h"

#include "platform/foundation/run_loop.h"

#include <cmath>

namespace cocoa
{
namespace
{
// Cocoa's floor for timer intervals: anything shorter fires every tenth of a millisecond.
constexpr double kMinimumInterval = 0.0001;
}  // namespace

NSTimer::NSTimer(double seconds, bool repeats, NSObject* userInfo)
    : m_interval(seconds > kMinimumInterval ? seconds : kMinimumInterval), m_repeats(repeats), m_userInfo(userInfo)
{
  if (m_userInfo) m_userInfo->retain();
  m_anchor = NSRunLoop::currentRunLoop()->now();
}

NSTimer* NSTimer::timerWithTimeInterval(double seconds, TimerTarget* target, NSObject* userInfo, bool repeats)
{
  NSTimer* timer = new NSTimer(seconds, repeats, userInfo);
  timer->m_target = target;
  if (NSObject* object = dynamic_cast<NSObject*>(target)) timer->m_retainedTarget = object->retain();
  timer->autorelease();
  return timer;
}

NSTimer* NSTimer::timerWithTimeInterval(double seconds, bool repeats, Block block)
{
  NSTimer* timer = new NSTimer(seconds, repeats, nullptr);
  timer->m_block = std::move(block);
  timer->autorelease();
  return timer;
}

NSTimer* NSTimer::scheduledTimerWithTimeInterval(double seconds, TimerTarget* target, NSObject* userInfo,
                                                 bool repeats)
{
  NSTimer* timer = timerWithTimeInterval(seconds, target, userInfo, repeats);
  NSRunLoop::currentRunLoop()->addTimer(timer);
  return timer;
}

NSTimer* NSTimer::scheduledTimerWithTimeInterval(double seconds, bool repeats, Block block)
{
  NSTimer* timer = timerWithTimeInterval(seconds, repeats, std::move(block));
  NSRunLoop::currentRunLoop()->addTimer(timer);
  return timer;
}

double NSTimer::fireDate() const
{
  return m_anchor + static_cast<double>(m_beat) * m_interval;
}

void NSTimer::setFireDate(double date)
{
  m_anchor = date - m_interval;
  m_beat = 1;
}

void NSTimer::advancePast(double now)
{
  ++m_beat;
  if (fireDate() <= now) m_beat = static_cast<long long>(std::floor((now - m_anchor) / m_interval)) + 1;
  while (fireDate() <= now) ++m_beat;
}

void NSTimer::fire()
{
  if (!m_valid) return;
  StrongRef<NSTimer> keepAlive(this);
  if (!m_repeats) m_valid = false;
  if (m_block)
  {
    // The block may invalidate the timer and so destroy itself: call a copy.
    Block block = m_block;
    block(this);
  }
  else if (m_target)
  {
    m_target->timerFired(this);
  }
  if (!m_valid) releaseTargets();
}

void NSTimer::invalidate()
{
  if (!m_valid) return;
  m_valid = false;
  releaseTargets();
}

void NSTimer::releaseTargets()
{
  m_block = nullptr;
  m_target = nullptr;
  if (NSObject* target = m_retainedTarget)
  {
    m_retainedTarget = nullptr;
    target->release();
  }
  if (NSObject* info = m_userInfo)
  {
    m_userInfo = nullptr;
    info->release();
  }
}

void NSTimer::dealloc()
{
  releaseTargets();
}
}  // namespace cocoa
