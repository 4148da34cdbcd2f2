#pragma once

#include <cstring>
#include <type_traits>

// A raw growable block of bytes. Growth is amortised by a granularity and by half
// the requested size of slack; large buffers grow in whole pages less 96 bytes so
// the allocator's own header keeps the block page-sized.
//
// A resize that cannot be satisfied leaves the buffer exactly as it was. Callers
// that write after growing use ResizeOK(), which returns null unless the buffer
// really has the asked-for size.
class WDL_HeapBuf
{
public:
  static constexpr int kPageGranularity = 4096;

  explicit WDL_HeapBuf(int granularity = kPageGranularity) : m_granul(granularity > 0 ? granularity : 1) {}
  ~WDL_HeapBuf();

  WDL_HeapBuf(const WDL_HeapBuf& other);
  WDL_HeapBuf& operator=(const WDL_HeapBuf& other);
  WDL_HeapBuf(WDL_HeapBuf&& other) noexcept;
  WDL_HeapBuf& operator=(WDL_HeapBuf&& other) noexcept;

  // Null while the used size is 0.
  void* Get() const { return m_size ? m_buf : nullptr; }
  int GetSize() const { return m_size; }
  int GetAllocated() const { return m_alloc; }
  int GetGranul() const { return m_granul; }
  void SetGranul(int granularity) { m_granul = granularity > 0 ? granularity : 1; }

  // Sets the used size; returns the data (null for size 0, and the old data when
  // the allocation failed, in which case the size is unchanged).
  void* Resize(int newSize, bool resizeDown = true);
  // Like Resize, but null unless the used size is now exactly newSize (> 0).
  void* ResizeOK(int newSize, bool resizeDown = true);

  // Copies another buffer's used bytes; with exactCopy the allocation is sized to fit.
  void CopyFrom(const WDL_HeapBuf* other, bool exactCopy = false);

  // The allocation a buffer of this granularity picks for n used bytes (n > 0).
  // 64-bit so that sizes near INT_MAX are recognised as unrepresentable.
  static long long AllocationFor(long long n, int granularity);

private:
  void* m_buf = nullptr;
  int m_alloc = 0;
  int m_size = 0;
  int m_granul = kPageGranularity;
};

// A typed array over WDL_HeapBuf. Elements are moved by memcpy, so T must be
// trivially copyable.
template <class T>
class WDL_TypedBuf
{
  static_assert(std::is_trivially_copyable_v<T>, "WDL_TypedBuf moves its elements by memcpy");

public:
  explicit WDL_TypedBuf(int granularity = WDL_HeapBuf::kPageGranularity) : m_hb(granularity) {}

  T* Get() const { return static_cast<T*>(m_hb.Get()); }
  int GetSize() const { return m_hb.GetSize() / static_cast<int>(sizeof(T)); }
  int GetSizeBytes() const { return m_hb.GetSize(); }

  T* Resize(int count, bool resizeDown = true) { return static_cast<T*>(m_hb.Resize(ByteSize(count), resizeDown)); }
  T* ResizeOK(int count, bool resizeDown = true)
  {
    return static_cast<T*>(m_hb.ResizeOK(ByteSize(count), resizeDown));
  }

  // Appends; returns the first new element, or null (nothing added) when growth failed.
  T* Add(const T& value) { return Add(&value, 1); }
  T* Add(const T* values, int count)
  {
    const int old = GetSize();
    if (count <= 0) return nullptr;
    T* p = ResizeOK(old + count, false);
    if (!p) return nullptr;
    if (values) std::memcpy(static_cast<void*>(p + old), values, sizeof(T) * count);
    return p + old;
  }

  // Inserts before index (clamped to 0..count); returns the new element or null.
  T* Insert(const T& value, int index)
  {
    const int old = GetSize();
    if (index < 0) index = 0;
    if (index > old) index = old;
    T* p = ResizeOK(old + 1, false);
    if (!p) return nullptr;
    std::memmove(static_cast<void*>(p + index + 1), p + index, sizeof(T) * (old - index));
    p[index] = value;
    return p + index;
  }

  void Delete(int index)
  {
    const int old = GetSize();
    if (index < 0 || index >= old) return;
    T* p = Get();
    std::memmove(static_cast<void*>(p + index), p + index + 1, sizeof(T) * (old - index - 1));
    Resize(old - 1, false);
  }

  WDL_HeapBuf* GetHeapBuf() { return &m_hb; }
  const WDL_HeapBuf* GetHeapBuf() const { return &m_hb; }

private:
  static int ByteSize(int count)
  {
    const long long bytes = static_cast<long long>(count) * static_cast<long long>(sizeof(T));
    // Unrepresentable sizes are refused by the heap buffer; saturate rather than wrap.
    return bytes > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(bytes);
  }

  WDL_HeapBuf m_hb;
};
