#pragma once

#include "lice.h"

#include <vector>

namespace lice_test
{
// A bitmap that stores its rows bottom-up, as some platform surfaces do.
class FlippedBitmap : public LICE_IBitmap
{
public:
  FlippedBitmap(int w, int h) { resize(w, h); }
  unsigned int* getBits() override { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_w; }
  bool isFlipped() override { return true; }
  bool resize(int w, int h) override
  {
    if (w == m_w && h == m_h) return false;
    m_w = w, m_h = h;
    m_pixels.assign((size_t)w * h, 0);
    return true;
  }
  // Pixel (x, y) as stored: memory row 0 is the bottom row.
  unsigned int stored(int x, int memoryRow) const { return m_pixels[(size_t)memoryRow * m_w + x]; }

private:
  std::vector<unsigned int> m_pixels;
  int m_w = 0, m_h = 0;
};

inline void Fill(LICE_IBitmap& bmp, unsigned int color)
{
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x) LICE_PutPixel(&bmp, x, y, color, 1.0f, BLEND_COPY);
}

// Every pixel distinct and opaque: blue = x, green = y, red = 0x5A.
inline unsigned int Coordinate(int x, int y) { return 0xFF5A0000u | ((unsigned)(y & 0xFF) << 8) | (unsigned)(x & 0xFF); }

inline void FillCoordinates(LICE_IBitmap& bmp)
{
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x) LICE_PutPixel(&bmp, x, y, Coordinate(x, y), 1.0f, BLEND_COPY);
}

inline std::vector<unsigned int> Pixels(LICE_IBitmap& bmp)
{
  std::vector<unsigned int> out;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x) out.push_back(LICE_GetPixel(&bmp, x, y));
  return out;
}
}  // namespace lice_test
