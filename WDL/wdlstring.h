#pragma once

#include "heapbuf.h"

#include <cstdarg>

// A NUL-terminated, growable string. An empty string may own no buffer at all;
// Get() then yields "".
class WDL_String
{
public:
  static constexpr int kGranularity = 128;

  WDL_String() : m_hb(kGranularity) {}
  explicit WDL_String(const char* text, int maxLength = 0) : m_hb(kGranularity) { Set(text, maxLength); }
  WDL_String(const WDL_String& other) : m_hb(kGranularity) { Set(other.Get()); }
  WDL_String& operator=(const WDL_String& other)
  {
    if (this != &other) Set(other.Get());
    return *this;
  }
  WDL_String(WDL_String&&) noexcept = default;
  WDL_String& operator=(WDL_String&&) noexcept = default;

  const char* Get() const
  {
    const char* p = static_cast<const char*>(m_hb.Get());
    return p ? p : "";
  }
  char* GetWritable() { return static_cast<char*>(m_hb.Get()); }
  int GetLength() const
  {
    const int used = m_hb.GetSize();
    return used > 0 ? used - 1 : 0;
  }

  // maxLength > 0 limits how many characters of text are taken.
  void Set(const char* text, int maxLength = 0);
  void Append(const char* text, int maxLength = 0);
  // position is clamped to 0..length.
  void Insert(const char* text, int position, int maxLength = 0);
  void DeleteSub(int position, int length);
  // Cuts or extends (with NULs) to exactly length characters.
  void SetLen(int length, bool resizeDown = false);

  // Formats at most maxLength characters.
  void SetFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));

  // The core write: puts length characters of text at offset, keeping the
  // trailingCount characters that stood at offset behind the new run. The text may
  // lie inside this string's own buffer.
  void __doSet(int offset, const char* text, int length, int trailingCount);

private:
  void FormatAt(int offset, int maxLength, const char* format, va_list args);

  WDL_HeapBuf m_hb;
};
