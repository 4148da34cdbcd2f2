#include "swell-kernel.h"

#include <time.h>

#include <cerrno>
#include <chrono>

void Sleep(int ms)
{
  timespec left{};
  if (ms > 0)
  {
    left.tv_sec = ms / 1000;
    left.tv_nsec = (ms % 1000) * 1000000L;
  }
  else
    left.tv_nsec = 100000;  // a zero sleep still yields the processor for a moment
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

DWORD GetTickCount()
{
  // Callers take differences, which must not jump when the wall clock is set.
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
