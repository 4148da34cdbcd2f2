#pragma once

#include "swell-gdi.h"

#include <png.h>

#include <cstdint>
#include <string>

// Pixels of memory contexts as 0xRRGGBB, and PNG pictures of them to look at.
inline uint32_t pixelAt(HDC dc, int width, int x, int y)
{
  const auto* pixels = static_cast<const uint32_t*>(SWELL_GetCtxFrameBuffer(dc));
  return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
}

inline void setPixelWord(HDC dc, int width, int x, int y, uint32_t value)
{
  static_cast<uint32_t*>(SWELL_GetCtxFrameBuffer(dc))[static_cast<size_t>(y) * width + x] = value;
}

struct InkBox
{
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // right and bottom exclusive
  bool empty() const { return right < 0; }
  bool operator==(const InkBox&) const = default;
};

// The bounding box of every pixel that differs from the background.
inline InkBox inkBox(HDC dc, int width, int height, uint32_t background)
{
  InkBox box;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (pixelAt(dc, width, x, y) != background)
      {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}

// Written beside the test binary's working folder, for a person to look at.
inline bool writeSnapshot(HDC dc, int width, int height, const std::string& name)
{
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_BGRA;
  std::string bytes(static_cast<const char*>(SWELL_GetCtxFrameBuffer(dc)), static_cast<size_t>(width) * height * 4);
  for (size_t i = 3; i < bytes.size(); i += 4) bytes[i] = static_cast<char>(0xFF);
  return png_image_write_to_file(&image, (name + ".png").c_str(), 0, bytes.data(), width * 4, nullptr) != 0;
}
