#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

namespace lice
{
// Working memory for one call: up to InlineCount elements live inside the object,
// more come from the heap. A request the heap cannot meet leaves ok() false; the
// caller then draws nothing instead of throwing out of a drawing routine.
template <class T, std::size_t InlineCount>
class ScratchBuffer
{
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
  explicit ScratchBuffer(std::size_t count)
  {
    if (count <= InlineCount)
    {
      m_data = m_inline.data();
      m_ok = true;
      return;
    }
    if (count > kMaxBytes / sizeof(T)) return;
    m_heap = static_cast<T*>(::operator new(count * sizeof(T), std::nothrow));
    m_data = m_heap;
    m_ok = m_heap != nullptr;
  }
  ~ScratchBuffer() { ::operator delete(m_heap); }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;

  bool ok() const { return m_ok; }
  T* data() { return m_data; }
  T& operator[](std::size_t i) { return m_data[i]; }

private:
  static constexpr std::size_t kMaxBytes = (std::size_t)PTRDIFF_MAX;

  std::array<T, InlineCount> m_inline;
  T* m_heap = nullptr;
  T* m_data = nullptr;
  bool m_ok = false;
};
}  // namespace lice
