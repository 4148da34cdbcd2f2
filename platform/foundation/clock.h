#pragma once

namespace cocoa
{
// Where the run loop reads the time, in seconds from an arbitrary start.
class Clock
{
public:
  virtual ~Clock() = default;
  virtual double now() const = 0;
};

class MonotonicClock : public Clock
{
public:
  double now() const override;
};

// Time that moves only when told to: tests run hours of timers in microseconds and
// get the same result every run.
class VirtualClock : public Clock
{
public:
  double now() const override { return m_now; }
  void advanceTo(double time)
  {
    if (time > m_now) m_now = time;
  }
  void advanceBy(double seconds) { advanceTo(m_now + seconds); }

private:
  double m_now = 0;
};

constexpr double kDistantFuture = 1e300;
}  // namespace cocoa
