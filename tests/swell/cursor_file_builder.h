#pragma once

// Cursor files (.cur) for tests and fuzzer seeds: one image, as a device-independent bitmap
// with its mask or as PNG bytes, written little-endian as the format lays them out.

#include <cstdint>
#include <functional>
#include <vector>

namespace cursorfile
{
inline void put16(std::vector<uint8_t>& out, unsigned v)
{
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v)
{
  for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(v >> shift));
}

// The file around one image, with the hot spot in its directory entry.
inline std::vector<uint8_t> wrap(const std::vector<uint8_t>& image, int side, int hotX, int hotY)
{
  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 2);  // a cursor
  put16(out, 1);  // one image
  out.push_back(uint8_t(side));
  out.push_back(uint8_t(side));
  out.push_back(0);
  out.push_back(0);
  put16(out, unsigned(hotX));
  put16(out, unsigned(hotY));
  put32(out, uint32_t(image.size()));
  put32(out, 22);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

// A square bitmap of `bits` per pixel (1, 4, 8, 24 or 32). `pixel` gives a palette index for
// 8 bits and fewer, else 0xAARRGGBB; `transparent` gives the mask.
inline std::vector<uint8_t> bitmap(int side, int bits, const std::vector<uint32_t>& palette,
                                   const std::function<uint32_t(int, int)>& pixel,
                                   const std::function<bool(int, int)>& transparent)
{
  std::vector<uint8_t> out;
  put32(out, 40);
  put32(out, uint32_t(side));
  put32(out, uint32_t(side * 2));
  put16(out, 1);
  put16(out, unsigned(bits));
  for (int i = 0; i < 6; ++i) put32(out, i == 4 ? uint32_t(palette.size()) : 0);
  for (uint32_t colour : palette) put32(out, colour & 0xFFFFFF);
  const size_t colourRow = ((size_t(side) * bits + 31) / 32) * 4;
  const size_t maskRow = ((size_t(side) + 31) / 32) * 4;
  for (int y = side - 1; y >= 0; --y)  // rows bottom-up
  {
    std::vector<uint8_t> row(colourRow, 0);
    for (int x = 0; x < side; ++x)
    {
      const uint32_t v = pixel(x, y);
      if (bits == 32)
        for (int b = 0; b < 4; ++b) row[size_t(x) * 4 + b] = uint8_t(v >> (8 * b));
      else if (bits == 24)
        for (int b = 0; b < 3; ++b) row[size_t(x) * 3 + b] = uint8_t(v >> (8 * b));
      else
      {
        const int perByte = 8 / bits;
        row[size_t(x / perByte)] |= uint8_t(v << (8 - bits * (x % perByte + 1)));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = side - 1; y >= 0; --y)
  {
    std::vector<uint8_t> row(maskRow, 0);
    for (int x = 0; x < side; ++x)
      if (transparent(x, y)) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}
}  // namespace cursorfile
