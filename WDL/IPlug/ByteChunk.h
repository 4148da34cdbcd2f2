#pragma once

#include "heapbuf.h"
#include "wdlstring.h"

#include <cstdint>

// A growable byte buffer for plug-in state: values are appended at the end and
// read back from a position. Numbers are stored little-endian and unaligned,
// whatever the machine, so a state saved on one build loads on any other.
//
// Every put returns the chunk's new size, or -1 when the chunk could not grow
// (then nothing was appended). Every get returns the position after the value,
// or -1 when the value does not lie wholly inside the chunk or the position is
// negative; a failed get leaves its output untouched and reads nothing.
class ByteChunk
{
public:
  ByteChunk() = default;

  int Put(const int32_t* value);
  int Put(const uint32_t* value);
  int Put(const uint8_t* value);
  int Put(const float* value);
  int Put(const double* value);

  int Get(int32_t* value, int startPos) const;
  int Get(uint32_t* value, int startPos) const;
  int Get(uint8_t* value, int startPos) const;
  int Get(float* value, int startPos) const;
  int Get(double* value, int startPos) const;

  // size bytes as they are; a size of 0 or less appends nothing.
  int PutBytes(const void* data, int size);
  int GetBytes(void* out, int size, int startPos) const;

  // An int32 length (without the NUL), then the characters; null puts "".
  int PutStr(const char* text);
  // Needs the length and the whole text inside the chunk. A length below 1
  // gives ""; otherwise the text runs to its first NUL within its length.
  int GetStr(WDL_String* out, int startPos) const;

  // Appends the other chunk's bytes.
  int PutChunk(const ByteChunk* other);

  void Clear() { mBytes.Resize(0, false); }
  int Size() const { return mBytes.GetSize(); }
  // Resizes to size bytes (new bytes are zero); returns the new size, which is
  // the old one when the chunk could not grow.
  int Resize(int size);
  // Null while the chunk is empty.
  uint8_t* GetData() { return mBytes.Get(); }
  const uint8_t* GetData() const { return mBytes.Get(); }

private:
  int PutLE(uint64_t bits, int nBytes);
  int GetLE(uint64_t* bits, int nBytes, int startPos) const;

  WDL_TypedBuf<uint8_t> mBytes;
};
