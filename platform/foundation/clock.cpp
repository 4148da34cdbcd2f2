#include "platform/foundation/clock.h"

#include <chrono>

namespace cocoa
{
double MonotonicClock::now() const
{
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace cocoa
