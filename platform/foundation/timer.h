#pragma once

#include "platform/foundation/object.h"

#include <functional>

namespace cocoa
{
class NSTimer;
class NSRunLoop;

// What a target/selector timer calls. A target that is also an NSObject is owned by the
// timer until the timer is invalidated, as Cocoa does.
class TimerTarget
{
public:
  virtual ~TimerTarget() = default;
  virtual void timerFired(NSTimer* timer) = 0;
};

class NSTimer : public NSObject
{
public:
  using Block = std::function<void(NSTimer*)>;

  // Not yet scheduled; the first firing is one interval after creation. Autoreleased.
  static NSTimer* timerWithTimeInterval(double seconds, TimerTarget* target, NSObject* userInfo, bool repeats);
  static NSTimer* timerWithTimeInterval(double seconds, bool repeats, Block block);
  // The same, already added to the current run loop.
  static NSTimer* scheduledTimerWithTimeInterval(double seconds, TimerTarget* target, NSObject* userInfo,
                                                 bool repeats);
  static NSTimer* scheduledTimerWithTimeInterval(double seconds, bool repeats, Block block);

  // Calls the target now; a one-shot timer is invalidated by it, a repeating one keeps its beat.
  void fire();
  void invalidate();
  bool isValid() const { return m_valid; }
  double timeInterval() const { return m_interval; }
  double fireDate() const;
  // Restarts the beat at the given date.
  void setFireDate(double date);
  NSObject* userInfo() const { return m_userInfo; }
  TimerTarget* target() const { return m_target; }

private:
  NSTimer(double seconds, bool repeats, NSObject* userInfo);
  void dealloc() override;
  void releaseTargets();
  // Moves to the first beat after `now`, never catching up with missed ones.
  void advancePast(double now);

  friend class NSRunLoop;

  double m_interval;
  bool m_repeats;
  bool m_valid = true;
  double m_anchor = 0;  // the beat counts from here, so repeated firing does not drift
  long long m_beat = 1;
  long long m_sequence = 0;
  TimerTarget* m_target = nullptr;
  NSObject* m_retainedTarget = nullptr;
  NSObject* m_userInfo = nullptr;
  Block m_block;
};
}  // namespace cocoa
