#pragma once

#include <png.h>

#include <cstddef>
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

// The CRC-32 a PNG chunk ends with, over its type and data.
inline unsigned ChunkCrc(const unsigned char* bytes, size_t size)
{
  unsigned crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i)
  {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void AppendBigEndian32(std::vector<unsigned char>* out, unsigned value)
{
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back((unsigned char)(value >> shift));
}

// A whole chunk: length, type, data and CRC.
inline void AppendChunk(std::vector<unsigned char>* out, const char (&type)[5], const std::vector<unsigned char>& data)
{
  AppendBigEndian32(out, (unsigned)data.size());
  const size_t start = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  AppendBigEndian32(out, ChunkCrc(out->data() + start, out->size() - start));
}

// A file of 229 bytes that asks for 1.9 GB: the signature, the header of a 9 x 7 image of
// 4-bit palette indices and its 16-colour palette, then a suggested-palette (sPLT) chunk
// whose length field reads "ssss" (1,936,946,035 bytes) and whose data ends with the file.
inline std::vector<unsigned char> PngWithHugeSpltClaim()
{
  std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  AppendBigEndian32(&header, 9);
  AppendBigEndian32(&header, 7);
  header.insert(header.end(), {4, PNG_COLOR_TYPE_PALETTE, 0, 0, 0});
  AppendChunk(&out, "IHDR", header);
  std::vector<unsigned char> palette;
  for (int i = 0; i < 16; ++i) palette.insert(palette.end(), {(unsigned char)(i * 16), (unsigned char)(i * 3), 200});
  AppendChunk(&out, "PLTE", palette);
  AppendBigEndian32(&out, 0x73737373u);
  out.insert(out.end(), {'s', 'P', 'L', 'T'});
  out.resize(229, 's');
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
