// Replaces the global operator new and delete to count allocations. Kept in a
// file of its own so the compiler never pairs these bodies with inlined calls.
#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> gAllocations{0};
}  // namespace

long AllocationCount()
{
  return gAllocations.load();
}

void* operator new(std::size_t size)
{
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}
