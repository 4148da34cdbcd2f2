// Once the queue has nodes to recycle, posting and delivering a message allocates nothing.
// This program counts every allocation it makes.
#include "wnd_test_support.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(size_t size)
{
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
  std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
  std::free(p);
}

TEST_F(WindowTest, AWarmQueuePostsAndDeliversWithoutAllocating)
{
  HWND view = topLevel(recorder("target"));
  SetWindowLong(view, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProc));  // no log to grow
  for (int i = 0; i < 1024; ++i) ASSERT_TRUE(PostMessage(view, WM_USER, i, 0));
  SWELL_MessageQueue_Flush();

  const long before = g_allocations.load();
  for (int round = 0; round < 4; ++round)
  {
    for (int i = 0; i < 1024; ++i) ASSERT_TRUE(PostMessage(view, WM_USER, i, 0));
    SWELL_MessageQueue_Flush();
  }
  EXPECT_EQ(g_allocations.load() - before, 0);
}
