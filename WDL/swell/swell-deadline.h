#pragma once

#include "swell-kernel.h"

#include <chrono>
#include <climits>

// A time-out turned into a point on the monotonic clock, taken when the wait begins, so
// a wait that wakes and waits again keeps its limit and a change of the wall clock moves
// nothing.
class SWELL_Deadline
{
public:
  using Clock = std::chrono::steady_clock;

  explicit SWELL_Deadline(DWORD ms) : m_infinite(ms == INFINITE), m_at(Clock::now() + std::chrono::milliseconds(ms)) {}

  bool infinite() const { return m_infinite; }
  Clock::time_point at() const { return m_at; }
  bool passed() const { return !m_infinite && Clock::now() >= m_at; }

  // The rest in milliseconds for poll(): -1 without limit, rounded up so that a wait does
  // not end just before its deadline and spin.
  int pollTimeout() const
  {
    if (m_infinite) return -1;
    const auto left = m_at - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
  }

private:
  bool m_infinite;
  Clock::time_point m_at;
};
