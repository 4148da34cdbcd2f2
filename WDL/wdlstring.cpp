#include "wdlstring.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
int BoundedLength(const char* text, int maxLength)
{
  if (!text) return 0;
  if (maxLength > 0) return static_cast<int>(strnlen(text, static_cast<size_t>(maxLength)));
  return static_cast<int>(std::strlen(text));
}
}  // namespace

void WDL_String::__doSet(int offset, const char* text, int length, int trailingCount)
{
  if (offset == 0 && length == 0 && trailingCount == 0)
  {
    if (char* p = GetWritable())
    {
      p[0] = 0;
      m_hb.Resize(1, false);
    }
    return;
  }
  if (offset < 0 || length <= 0 || trailingCount < 0) return;

  // A source inside our own buffer would be moved by the growth and overwritten
  // by the shift of the trailing characters: take a copy of it first.
  std::unique_ptr<char[]> ownCopy;
  const char* buf = static_cast<const char*>(m_hb.Get());
  if (buf && text >= buf && text < buf + m_hb.GetSize())
  {
    ownCopy.reset(new (std::nothrow) char[static_cast<size_t>(length)]);
    if (!ownCopy) return;
    std::memcpy(ownCopy.get(), text, static_cast<size_t>(length));
    text = ownCopy.get();
  }

  const long long needed = static_cast<long long>(offset) + length + trailingCount + 1;
  if (needed > 0x7FFFFFFF) return;
  const int newSize = static_cast<int>(needed);
  if (m_hb.GetSize() < newSize && !m_hb.ResizeOK(newSize, false)) return;

  char* p = GetWritable();
  if (trailingCount > 0) std::memmove(p + offset + length, p + offset, static_cast<size_t>(trailingCount));
  std::memcpy(p + offset, text, static_cast<size_t>(length));
  const int newLength = offset + length + trailingCount;
  p[newLength] = 0;
  if (m_hb.GetSize() > newLength + 1) m_hb.Resize(newLength + 1, false);
}

void WDL_String::Set(const char* text, int maxLength)
{
  __doSet(0, text, BoundedLength(text, maxLength), 0);
}

void WDL_String::Append(const char* text, int maxLength)
{
  const int length = BoundedLength(text, maxLength);
  if (length > 0) __doSet(GetLength(), text, length, 0);
}

void WDL_String::Insert(const char* text, int position, int maxLength)
{
  const int current = GetLength();
  position = std::clamp(position, 0, current);
  const int length = BoundedLength(text, maxLength);
  if (length > 0) __doSet(position, text, length, current - position);
}

void WDL_String::DeleteSub(int position, int length)
{
  const int current = GetLength();
  if (position < 0 || position >= current || length <= 0) return;
  length = std::min(length, current - position);
  char* p = GetWritable();
  std::memmove(p + position, p + position + length, static_cast<size_t>(current - position - length + 1));
  m_hb.Resize(current - length + 1, false);
}

void WDL_String::SetLen(int length, bool resizeDown)
{
  if (length < 0) length = 0;
  const int current = GetLength();
  char* p = static_cast<char*>(m_hb.ResizeOK(length + 1, resizeDown));
  if (!p) return;
  if (length > current) std::memset(p + current, 0, static_cast<size_t>(length - current));
  p[length] = 0;
}

void WDL_String::FormatAt(int offset, int maxLength, const char* format, va_list args)
{
  if (maxLength < 0) maxLength = 0;
  // Formatting goes through a scratch buffer, so arguments may point into this string.
  char small[512];
  std::unique_ptr<char[]> large;
  char* scratch = small;
  if (maxLength + 1 > static_cast<int>(sizeof(small)))
  {
    large.reset(new (std::nothrow) char[static_cast<size_t>(maxLength) + 1]);
    if (!large) return;
    scratch = large.get();
  }
  int written = std::vsnprintf(scratch, static_cast<size_t>(maxLength) + 1, format, args);
  written = std::clamp(written, 0, maxLength);
  if (written > 0)
    __doSet(offset, scratch, written, 0);
  else
    SetLen(offset);
}

void WDL_String::SetFormatted(int maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  FormatAt(0, maxLength, format, args);
  va_end(args);
}

void WDL_String::AppendFormatted(int maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  FormatAt(GetLength(), maxLength, format, args);
  va_end(args);
}
