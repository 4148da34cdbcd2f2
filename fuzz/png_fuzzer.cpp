#include "lice.h"

#include <cstddef>
#include <cstdint>

// PNG bytes from outside: decoded into a new bitmap and into a given one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (size_t)0x7FFFFFFF) return 0;
  delete LICE_LoadPNGFromMemory(data, (int)size);
  LICE_MemBitmap given(3, 3, 4);
  LICE_LoadPNGFromMemory(data, (int)size, &given);
  return 0;
}
