#pragma once

#if !defined(__SSE2__)
#error "DenormalGuard needs the SSE control register (x86-64)"
#endif

#include <xmmintrin.h>

// For the lifetime of a scope, flushes denormal results to zero (FTZ) and reads
// denormal inputs as zero (DAZ) on the calling thread, then restores the previous
// floating-point mode. Decaying filter and envelope states would otherwise run
// into denormals, which are many times slower on this hardware.
class DenormalGuard
{
public:
  static constexpr unsigned int kFlushToZero = 0x8000;      // MXCSR bit 15
  static constexpr unsigned int kDenormalsAreZero = 0x0040;  // MXCSR bit 6

  DenormalGuard() : mSavedMode(_mm_getcsr()) { _mm_setcsr(mSavedMode | kFlushToZero | kDenormalsAreZero); }
  ~DenormalGuard() { _mm_setcsr(mSavedMode); }

  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
  unsigned int mSavedMode;
};
