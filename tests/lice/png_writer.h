#pragma once

#include <png.h>

#include <cstdio>
#include <vector>

namespace lice_test
{
// What to write: the rows hold samples as libpng expects them for the colour type
// and bit depth (packed for depths below 8, big-endian for 16).
struct PngImageDesc
{
  int width = 1, height = 1;
  int bitDepth = 8;
  int colorType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;  // tRNS for palette images
  bool grayKey = false;                // tRNS for grey images
  png_uint_16 grayKeyValue = 0;
  std::vector<std::vector<png_byte>> rows;
};

// Encodes an image with libpng's write side into memory.
inline std::vector<unsigned char> EncodePng(const PngImageDesc& desc)
{
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* v = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(p));
        v->insert(v->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, desc.width, desc.height, desc.bitDepth, desc.colorType,
               desc.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!desc.palette.empty()) png_set_PLTE(png, info, desc.palette.data(), (int)desc.palette.size());
  if (!desc.paletteAlpha.empty())
    png_set_tRNS(png, info, desc.paletteAlpha.data(), (int)desc.paletteAlpha.size(), nullptr);
  if (desc.grayKey)
  {
    png_color_16 key{};
    key.gray = desc.grayKeyValue;
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& r : desc.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

inline bool WriteFile(const char* path, const std::vector<unsigned char>& bytes)
{
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace lice_test
