// Replaces the global operator new and wraps the C allocator (linked with
// --wrap=malloc,--wrap=calloc,--wrap=realloc) to count heap allocations. Kept in
// a file of its own so the compiler never pairs these bodies with inlined calls.
#include "heap_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __real_calloc(std::size_t count, std::size_t size);
extern "C" void* __real_realloc(void* p, std::size_t size);

namespace
{
std::atomic<long> gAllocations{0};

void* Allocate(std::size_t size)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = __real_malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  const std::size_t a = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + a - 1) / a * a;
  if (void* p = std::aligned_alloc(a, rounded ? rounded : a)) return p;
  throw std::bad_alloc();
}
}  // namespace

extern "C" void* __wrap_malloc(std::size_t size)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return __real_malloc(size);
}

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return __real_calloc(count, size);
}

extern "C" void* __wrap_realloc(void* p, std::size_t size)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return __real_realloc(p, size);
}

long HeapAllocationCount()
{
  return gAllocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
  return Allocate(size);
}
void* operator new[](std::size_t size)
{
  return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
  return AllocateAligned(size, alignment);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return __real_malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return __real_malloc(size ? size : 1);
}
void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete[](void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
