#include "heapbuf.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

WDL_HeapBuf::~WDL_HeapBuf()
{
  std::free(m_buf);
}

WDL_HeapBuf::WDL_HeapBuf(const WDL_HeapBuf& other) : m_granul(other.m_granul)
{
  CopyFrom(&other, true);
}

WDL_HeapBuf& WDL_HeapBuf::operator=(const WDL_HeapBuf& other)
{
  if (this != &other) CopyFrom(&other, false);
  return *this;
}

WDL_HeapBuf::WDL_HeapBuf(WDL_HeapBuf&& other) noexcept
    : m_buf(std::exchange(other.m_buf, nullptr)),
      m_alloc(std::exchange(other.m_alloc, 0)),
      m_size(std::exchange(other.m_size, 0)),
      m_granul(other.m_granul)
{
}

WDL_HeapBuf& WDL_HeapBuf::operator=(WDL_HeapBuf&& other) noexcept
{
  if (this != &other)
  {
    std::free(m_buf);
    m_buf = std::exchange(other.m_buf, nullptr);
    m_alloc = std::exchange(other.m_alloc, 0);
    m_size = std::exchange(other.m_size, 0);
    m_granul = other.m_granul;
  }
  return *this;
}

long long WDL_HeapBuf::AllocationFor(long long n, int granularity)
{
  if (n <= 0) return 0;
  if (granularity < kPageGranularity) return n + std::max<long long>(n / 2, granularity);

  long long slack = std::max<long long>(n / 2, granularity);
  slack &= ~static_cast<long long>(kPageGranularity - 1);
  slack = std::clamp<long long>(slack, kPageGranularity, 0x400000);
  return ((n + slack + 96) & ~static_cast<long long>(kPageGranularity - 1)) - 96;
}

void* WDL_HeapBuf::Resize(int newSize, bool resizeDown)
{
  const int n = std::max(newSize, 0);
  if (n == m_size) return Get();

  bool reallocate = n > m_alloc;
  if (!reallocate && n < m_size && resizeDown)
  {
    const int threshold = std::max(1, std::min(m_alloc - 4 * m_granul, m_alloc / 2));
    reallocate = n < threshold;
  }

  if (reallocate)
  {
    const long long wanted = AllocationFor(n, m_granul);
    if (wanted > INT_MAX) return Get();  // not representable: a failed growth

    const int newAlloc = static_cast<int>(wanted);
    if (newAlloc == 0)
    {
      std::free(m_buf);
      m_buf = nullptr;
      m_alloc = 0;
      m_size = 0;
      return nullptr;
    }
    if (newAlloc != m_alloc)
    {
      void* block = std::realloc(m_buf, static_cast<size_t>(newAlloc));
      if (!block)
      {
        block = std::malloc(static_cast<size_t>(newAlloc));
        if (!block) return Get();  // the old block and sizes stay
        if (m_buf) std::memcpy(block, m_buf, static_cast<size_t>(std::min(m_size, n)));
        std::free(m_buf);
      }
      m_buf = block;
      m_alloc = newAlloc;
    }
  }

  m_size = n;
  return Get();
}

void* WDL_HeapBuf::ResizeOK(int newSize, bool resizeDown)
{
  void* p = Resize(newSize, resizeDown);
  return (p && m_size == newSize) ? p : nullptr;
}

void WDL_HeapBuf::CopyFrom(const WDL_HeapBuf* other, bool exactCopy)
{
  if (!other || other == this) return;
  const int n = other->m_size;
  if (exactCopy)
  {
    if (n == 0)
    {
      Resize(0, true);
      return;
    }
    void* block = std::malloc(static_cast<size_t>(n));
    if (!block) return;
    std::memcpy(block, other->m_buf, static_cast<size_t>(n));
    std::free(m_buf);
    m_buf = block;
    m_alloc = n;
    m_size = n;
    return;
  }
  void* p = ResizeOK(n, false);
  if (p) std::memcpy(p, other->m_buf, static_cast<size_t>(n));
}
