#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A cursor image: straight-alpha 0xAARRGGBB pixels, rows top-down, and its hot spot.
struct SwellCursorImage
{
  std::vector<uint32_t> argb;
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
};

// Decodes a cursor file (.cur) holding exactly one image, a device-independent bitmap of 1,
// 4, 8, 24 or 32 bits per pixel with its mask, or a PNG, at most 256 x 256. Every length and
// offset is checked against the bytes given; false for anything malformed.
bool swellDecodeCursorFile(const unsigned char* data, size_t size, SwellCursorImage* out);
