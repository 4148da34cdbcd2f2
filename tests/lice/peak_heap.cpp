// Counts the bytes the heap holds while a PeakHeapWatch lives. A library such as libpng
// allocates with the C allocator from its own shared object, which no link-time wrap
// reaches: a plain build replaces the allocator's entry points for the whole process, and
// a build under AddressSanitizer, whose allocator those are, asks it for its hooks.
#include "peak_heap.h"

#include <atomic>
#include <cstddef>

namespace
{
std::atomic<bool> sWatching{false};
std::atomic<long long> sHeld{0};
std::atomic<long long> sPeak{0};

void Allocated(size_t bytes)
{
  if (!sWatching.load(std::memory_order_relaxed)) return;
  const long long held = sHeld.fetch_add((long long)bytes, std::memory_order_relaxed) + (long long)bytes;
  long long peak = sPeak.load(std::memory_order_relaxed);
  while (held > peak && !sPeak.compare_exchange_weak(peak, held, std::memory_order_relaxed)) {}
}

void Freed(size_t bytes)
{
  if (sWatching.load(std::memory_order_relaxed)) sHeld.fetch_sub((long long)bytes, std::memory_order_relaxed);
}
}  // namespace

#if defined(__has_feature)
#if __has_feature(address_sanitizer) && !defined(__SANITIZE_ADDRESS__)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif

#if defined(__SANITIZE_ADDRESS__)
// GCC's runtime has these entry points but Debian ships their header only with clang's.
extern "C" {
size_t __sanitizer_get_allocated_size(const volatile void* p);
int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, size_t),
                                              void (*freeHook)(const volatile void*));
}

namespace
{
void MallocHook(const volatile void*, size_t size) { Allocated(size); }
void FreeHook(const volatile void* p)
{
  if (p) Freed(__sanitizer_get_allocated_size(p));
}
[[maybe_unused]] const int sHooks = __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);
}  // namespace
#else
#include <malloc.h>

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* p, size_t size);
extern "C" void __libc_free(void* p);

extern "C" void* malloc(size_t size)
{
  void* p = __libc_malloc(size);
  if (p) Allocated(malloc_usable_size(p));
  return p;
}

extern "C" void* calloc(size_t count, size_t size)
{
  void* p = __libc_calloc(count, size);
  if (p) Allocated(malloc_usable_size(p));
  return p;
}

extern "C" void* realloc(void* p, size_t size)
{
  const size_t before = p ? malloc_usable_size(p) : 0;
  void* q = __libc_realloc(p, size);
  // A failed realloc leaves the block as it was.
  if (!q && size) return q;
  Freed(before);
  if (q) Allocated(malloc_usable_size(q));
  return q;
}

extern "C" void free(void* p)
{
  if (p) Freed(malloc_usable_size(p));
  __libc_free(p);
}
#endif

PeakHeapWatch::PeakHeapWatch()
{
  sHeld.store(0, std::memory_order_relaxed);
  sPeak.store(0, std::memory_order_relaxed);
  sWatching.store(true, std::memory_order_seq_cst);
}

PeakHeapWatch::~PeakHeapWatch() { sWatching.store(false, std::memory_order_seq_cst); }

size_t PeakHeapWatch::peakBytes() const { return (size_t)sPeak.load(std::memory_order_relaxed); }
