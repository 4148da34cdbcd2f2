#pragma once

#include "lice.h"

#include <png.h>

#include <string>
#include <vector>

namespace lice_test
{
// Writes a bitmap as an opaque PNG picture for a person to look at (the alpha byte of
// drawing contexts means nothing, so every pixel is written opaque).
inline bool WriteBitmapPng(LICE_IBitmap* bmp, const std::string& path)
{
  if (!bmp || bmp->getWidth() <= 0 || bmp->getHeight() <= 0) return false;
  const int w = bmp->getWidth(), h = bmp->getHeight();
  std::vector<unsigned int> pixels(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = LICE_GetPixel(bmp, x, y) | 0xFF000000u;
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_BGRA;
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), w * 4, nullptr) != 0;
}
}  // namespace lice_test
