#include "cursor_file_builder.h"
#include "seed_writer.h"

#include <png.h>

// Writes cursor files into the directory given as the argument: bitmaps of every depth the
// reader takes, with masks, with their own alpha and with a short palette, and a PNG one.
int main(int argc, char** argv)
{
  using namespace cursorfile;
  if (argc != 2) return 2;
  const auto checker = [](int x, int y) { return uint32_t((x + y) & 1); };
  const auto ring = [](int x, int y) { return (x - 8) * (x - 8) + (y - 8) * (y - 8) > 49; };
  const auto none = [](int, int) { return false; };
  std::vector<uint32_t> palette16;
  for (uint32_t i = 0; i < 16; ++i) palette16.push_back(i * 0x111111u);
  std::vector<uint32_t> palette256;
  for (uint32_t i = 0; i < 256; ++i) palette256.push_back(i * 0x010101u);

  std::vector<uint32_t> pixels(16 * 16, 0x80FF8000u);
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = 16;
  image.height = 16;
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t pngSize = 0;
  png_image_write_to_memory(&image, nullptr, &pngSize, 0, pixels.data(), 64, nullptr);
  std::vector<uint8_t> png(pngSize);
  if (!png_image_write_to_memory(&image, png.data(), &pngSize, 0, pixels.data(), 64, nullptr)) return 1;

  const struct
  {
    const char* name;
    std::vector<uint8_t> bytes;
  } seeds[] = {
      {"mono.cur", wrap(bitmap(16, 1, {0, 0xFFFFFF}, checker, ring), 16, 8, 8)},
      {"four-bit.cur", wrap(bitmap(16, 4, palette16, [](int x, int) { return uint32_t(x); }, ring), 16, 0, 0)},
      {"eight-bit.cur", wrap(bitmap(32, 8, palette256, [](int x, int y) { return uint32_t(x * 8 + y) & 255; }, none), 32, 3, 4)},
      {"short-palette.cur", wrap(bitmap(8, 8, {0x102030, 0x405060}, checker, none), 8, 1, 1)},
      {"rgb.cur", wrap(bitmap(16, 24, {}, [](int x, int y) { return uint32_t(x * 16 + y * 4096); }, ring), 16, 2, 2)},
      {"alpha.cur", wrap(bitmap(16, 32, {}, [](int x, int) { return uint32_t(x * 16) << 24 | 0xFF0000u; }, none), 16, 15, 15)},
      {"png.cur", wrap(png, 16, 4, 4)},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, seed.bytes)) return 1;
  return 0;
}
