#include "swell-cursor-file.h"

#include <png.h>

#include <cstring>

namespace
{
constexpr size_t kHeaderBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr size_t kInfoHeaderBytes = 40;
constexpr int kLargestSide = 256;
constexpr uint16_t kCursorType = 2;
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint16_t read16(const unsigned char* p)
{
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t read32(const unsigned char* p)
{
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// Bytes per row of a bitmap, rows padded to 32 bits.
size_t rowBytes(int width, int bitsPerPixel)
{
  return ((static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32) * 4;
}

bool decodePng(const unsigned char* data, size_t size, SwellCursorImage* out)
{
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  if (image.width < 1 || image.height < 1 || image.width > kLargestSide || image.height > kLargestSide)
  {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words, straight alpha
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), static_cast<png_int_32>(image.width * 4), nullptr))
  {
    png_image_free(&image);
    return false;
  }
  out->argb = std::move(pixels);
  out->width = static_cast<int>(image.width);
  out->height = static_cast<int>(image.height);
  return true;
}

bool decodeBitmap(const unsigned char* data, size_t size, SwellCursorImage* out)
{
  if (size < kInfoHeaderBytes) return false;
  const uint32_t headerBytes = read32(data);
  const int32_t width = static_cast<int32_t>(read32(data + 4));
  const int32_t doubledHeight = static_cast<int32_t>(read32(data + 8));
  const int bits = read16(data + 14);
  const uint32_t compression = read32(data + 16);
  const uint32_t coloursUsed = read32(data + 32);
  // The height covers the colour image and the mask below it.
  if (headerBytes < kInfoHeaderBytes || headerBytes > size || read16(data + 12) != 1 || compression != 0) return false;
  if (width < 1 || width > kLargestSide || doubledHeight < 2 || doubledHeight > 2 * kLargestSide || doubledHeight % 2)
    return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const int height = doubledHeight / 2;
  const size_t maxColours = bits <= 8 ? size_t(1) << bits : 0;
  const size_t colours = bits <= 8 ? (coloursUsed ? coloursUsed : maxColours) : 0;
  if (colours > maxColours) return false;

  const size_t paletteAt = headerBytes;
  const size_t pixelsAt = paletteAt + colours * 4;
  const size_t colourRow = rowBytes(width, bits);
  const size_t maskAt = pixelsAt + colourRow * static_cast<size_t>(height);
  const size_t maskRow = rowBytes(width, 1);
  const bool hasMask = maskAt + maskRow * static_cast<size_t>(height) <= size;
  if (maskAt > size || (!hasMask && bits != 32)) return false;

  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y)
  {
    const unsigned char* row = data + pixelsAt + colourRow * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x)
    {
      uint32_t argb;
      if (bits == 32)
      {
        argb = read32(row + x * 4);
        anyAlpha = anyAlpha || (argb >> 24) != 0;
      }
      else if (bits == 24)
        argb = 0xFF000000u | (uint32_t(row[x * 3 + 2]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
      else
      {
        const int perByte = 8 / bits;
        const int shift = 8 - bits * (x % perByte + 1);
        const size_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
        if (index >= colours) return false;
        argb = 0xFF000000u | (read32(data + paletteAt + index * 4) & 0xFFFFFFu);
      }
      pixels[static_cast<size_t>(y) * width + x] = argb;
    }
  }
  // The mask decides what is transparent, unless the colour image carries its own alpha.
  if (!(bits == 32 && anyAlpha) && hasMask)
    for (int y = 0; y < height; ++y)
    {
      const unsigned char* row = data + maskAt + maskRow * static_cast<size_t>(height - 1 - y);
      for (int x = 0; x < width; ++x)
      {
        uint32_t& pixel = pixels[static_cast<size_t>(y) * width + x];
        const bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
        pixel = transparent ? 0 : (pixel | 0xFF000000u);
      }
    }
  out->argb = std::move(pixels);
  out->width = width;
  out->height = height;
  return true;
}
}  // namespace

bool swellDecodeCursorFile(const unsigned char* data, size_t size, SwellCursorImage* out)
{
  if (!data || !out || size < kHeaderBytes + kEntryBytes) return false;
  if (read16(data) != 0 || read16(data + 2) != kCursorType || read16(data + 4) != 1) return false;
  const unsigned char* entry = data + kHeaderBytes;
  if (entry[3] != 0) return false;
  const uint32_t imageBytes = read32(entry + 8);
  const uint32_t imageAt = read32(entry + 12);
  if (imageAt > size || imageBytes > size - imageAt || imageBytes == 0) return false;
  const unsigned char* image = data + imageAt;
  SwellCursorImage decoded;
  const bool isPng = imageBytes >= sizeof kPngSignature && std::memcmp(image, kPngSignature, sizeof kPngSignature) == 0;
  if (!(isPng ? decodePng(image, imageBytes, &decoded) : decodeBitmap(image, imageBytes, &decoded))) return false;
  decoded.hotX = read16(entry + 4);
  decoded.hotY = read16(entry + 6);
  *out = std::move(decoded);
  return true;
}
