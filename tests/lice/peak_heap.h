#pragma once

#include <cstddef>

// The most heap a stretch of code held at once, above what was held when it began: every
// malloc, calloc, realloc and operator new of the process, libraries' own included (the
// test executable that links peak_heap.cpp counts them).
class PeakHeapWatch
{
public:
  PeakHeapWatch();
  ~PeakHeapWatch();
  PeakHeapWatch(const PeakHeapWatch&) = delete;
  PeakHeapWatch& operator=(const PeakHeapWatch&) = delete;

  size_t peakBytes() const;
};
