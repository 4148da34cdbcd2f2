#include "lice.h"

#include <sanitizer/allocator_interface.h>

#include <cstddef>
#include <cstdint>

// PNG bytes from outside: decoded into a new bitmap and into a given one. Besides not
// crashing: no decode holds more heap at once than the pixels its header asks for and a
// few MB (the decoder's rows, zlib's window), whatever length its chunks claim.
namespace
{
constexpr size_t kHeapAllowance = 8u << 20;
// The bitmap's rows are padded to a multiple of this many pixels.
constexpr size_t kRowPadding = 4;
constexpr uint32_t kMaxSide = 16384;

bool sWatching = false;
size_t sHeld = 0;
size_t sPeak = 0;

void MallocHook(const volatile void*, size_t size)
{
  if (!sWatching) return;
  sHeld += size;
  if (sHeld > sPeak) sPeak = sHeld;
}

void FreeHook(const volatile void* p)
{
  if (!sWatching || !p) return;
  const size_t size = __sanitizer_get_allocated_size(const_cast<const void*>(p));
  sHeld = size > sHeld ? 0 : sHeld - size;
}

uint32_t BigEndian32(const uint8_t* p)
{
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The pixels the header asks for, when it is a header the decoder takes at all: the
// width and height at bytes 16 to 23, right after the signature and IHDR's length and type.
size_t PixelBytes(const uint8_t* data, size_t size)
{
  if (size < 24) return 0;
  const uint32_t w = BigEndian32(data + 16), h = BigEndian32(data + 20);
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return 0;
  return (size_t(w) + kRowPadding) * h * 4;
}

template <class Load>
void Watched(const uint8_t* data, size_t size, Load load)
{
  sHeld = sPeak = 0;
  sWatching = true;
  load();
  sWatching = false;
  if (sPeak > PixelBytes(data, size) + kHeapAllowance) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (size_t)0x7FFFFFFF) return 0;
  Watched(data, size, [&] { delete LICE_LoadPNGFromMemory(data, (int)size); });
  LICE_MemBitmap given(3, 3, 4);
  Watched(data, size, [&] { LICE_LoadPNGFromMemory(data, (int)size, &given); });
  return 0;
}
