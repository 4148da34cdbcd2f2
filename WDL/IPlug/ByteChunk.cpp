#include "ByteChunk.h"

#include <cstring>
#include <vector>

namespace
{
uint64_t BitsOf(float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

uint64_t BitsOf(double value)
{
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}
}  // namespace

int ByteChunk::PutBytes(const void* data, int size)
{
  const int old = Size();
  if (size <= 0) return old;
  if (!data || old > 0x7FFFFFFF - size) return -1;

  // Bytes taken from this chunk itself would move when it grows: copy them first.
  const uint8_t* source = static_cast<const uint8_t*>(data);
  std::vector<uint8_t> ownCopy;
  if (old > 0 && source >= mBytes.Get() && source < mBytes.Get() + old)
  {
    ownCopy.assign(source, source + size);
    source = ownCopy.data();
  }

  uint8_t* p = mBytes.ResizeOK(old + size, false);
  if (!p) return -1;
  std::memcpy(p + old, source, static_cast<size_t>(size));
  return Size();
}

int ByteChunk::GetBytes(void* out, int size, int startPos) const
{
  if (startPos < 0 || size < 0) return -1;
  const long long end = static_cast<long long>(startPos) + size;
  if (end > Size()) return -1;
  if (size > 0) std::memcpy(out, mBytes.Get() + startPos, static_cast<size_t>(size));
  return static_cast<int>(end);
}

int ByteChunk::PutLE(uint64_t bits, int nBytes)
{
  uint8_t bytes[8];
  for (int i = 0; i < nBytes; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  return PutBytes(bytes, nBytes);
}

int ByteChunk::GetLE(uint64_t* bits, int nBytes, int startPos) const
{
  uint8_t bytes[8];
  const int next = GetBytes(bytes, nBytes, startPos);
  if (next < 0) return -1;
  uint64_t v = 0;
  for (int i = 0; i < nBytes; ++i) v |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  *bits = v;
  return next;
}

int ByteChunk::Put(const int32_t* value) { return PutLE(static_cast<uint32_t>(*value), 4); }
int ByteChunk::Put(const uint32_t* value) { return PutLE(*value, 4); }
int ByteChunk::Put(const uint8_t* value) { return PutLE(*value, 1); }
int ByteChunk::Put(const float* value) { return PutLE(BitsOf(*value), 4); }
int ByteChunk::Put(const double* value) { return PutLE(BitsOf(*value), 8); }

int ByteChunk::Get(int32_t* value, int startPos) const
{
  uint64_t bits = 0;
  const int next = GetLE(&bits, 4, startPos);
  if (next >= 0) *value = static_cast<int32_t>(static_cast<uint32_t>(bits));
  return next;
}

int ByteChunk::Get(uint32_t* value, int startPos) const
{
  uint64_t bits = 0;
  const int next = GetLE(&bits, 4, startPos);
  if (next >= 0) *value = static_cast<uint32_t>(bits);
  return next;
}

int ByteChunk::Get(uint8_t* value, int startPos) const
{
  uint64_t bits = 0;
  const int next = GetLE(&bits, 1, startPos);
  if (next >= 0) *value = static_cast<uint8_t>(bits);
  return next;
}

int ByteChunk::Get(float* value, int startPos) const
{
  uint64_t bits = 0;
  const int next = GetLE(&bits, 4, startPos);
  if (next >= 0)
  {
    const uint32_t narrow = static_cast<uint32_t>(bits);
    std::memcpy(value, &narrow, sizeof(narrow));
  }
  return next;
}

int ByteChunk::Get(double* value, int startPos) const
{
  uint64_t bits = 0;
  const int next = GetLE(&bits, 8, startPos);
  if (next >= 0) std::memcpy(value, &bits, sizeof(bits));
  return next;
}

int ByteChunk::PutStr(const char* text)
{
  const size_t length = text ? std::strlen(text) : 0;
  if (length > 0x7FFFFFFF - 4) return -1;
  const int32_t n = static_cast<int32_t>(length);
  const int old = Size();
  if (Put(&n) < 0) return -1;
  if (PutBytes(text, n) < 0)
  {
    mBytes.Resize(old, false);  // no half-written string
    return -1;
  }
  return Size();
}

int ByteChunk::GetStr(WDL_String* out, int startPos) const
{
  int32_t length = 0;
  const int textPos = Get(&length, startPos);
  if (textPos < 0) return -1;
  // A negative length would step the reader backwards: it reads as an empty text.
  if (length < 1)
  {
    out->Set("");
    return textPos;
  }
  const long long end = static_cast<long long>(textPos) + length;
  if (end > Size()) return -1;
  out->Set(reinterpret_cast<const char*>(mBytes.Get() + textPos), length);
  return static_cast<int>(end);
}

int ByteChunk::PutChunk(const ByteChunk* other)
{
  if (!other) return -1;
  return PutBytes(other->GetData(), other->Size());
}

int ByteChunk::Resize(int size)
{
  const int old = Size();
  if (size < 0) size = 0;
  uint8_t* p = mBytes.Resize(size, false);
  if (p && Size() == size && size > old) std::memset(p + old, 0, static_cast<size_t>(size - old));
  return Size();
}
