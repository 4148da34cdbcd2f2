#include "swell-cursor-file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Cursor-file bytes from outside. Besides not crashing: a decoded image holds exactly its
// width times its height in pixels, within the format's 256 x 256.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  SwellCursorImage image;
  if (!swellDecodeCursorFile(data, size, &image)) return 0;
  if (image.width < 1 || image.height < 1 || image.width > 256 || image.height > 256 ||
      image.argb.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    std::abort();
  return 0;
}
