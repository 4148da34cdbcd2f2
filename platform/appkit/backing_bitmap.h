#pragma once

#include "platform/graphics/cg_types.h"

#include <cstddef>
#include <cstdint>

namespace cocoa
{
// A window's pixels: XRGB in 32-bit little-endian words (bytes B, G, R, unused), row 0 at
// the top, rows width × 4 bytes apart, the first pixel on a 64-byte boundary: the same
// layout as the window layer's memory drawing contexts, so the same code reads both.
class BackingBitmap
{
public:
  BackingBitmap() = default;
  ~BackingBitmap();
  BackingBitmap(const BackingBitmap&) = delete;
  BackingBitmap& operator=(const BackingBitmap&) = delete;

  // Reallocates for a new size, cleared; false (and empty) when the memory is not there.
  bool resize(int width, int height);

  int width() const { return m_width; }
  int height() const { return m_height; }
  size_t bytesPerRow() const { return static_cast<size_t>(m_width) * 4; }
  uint32_t* pixels() const { return m_pixels; }
  uint32_t pixel(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
  // A Quartz context over the pixels (y up from the bottom row), owned by the bitmap.
  CGContextRef context() const { return m_context; }
  // Counts the reallocations: a context taken before one is gone, even where a new one has
  // its address.
  unsigned generation() const { return m_generation; }

private:
  void release();

  void* m_allocation = nullptr;
  uint32_t* m_pixels = nullptr;
  int m_width = 0;
  int m_height = 0;
  CGContextRef m_context = nullptr;
  unsigned m_generation = 0;
};

// The one place that lays out XRGB pixel memory, for window backing bitmaps and for the
// window layer's memory drawing contexts alike; returns the aligned first pixel, zeroed, and
// stores what must be freed (with free). Sizes past 16384 a side or 512 MiB are refused.
uint32_t* allocateXrgbPixels(int width, int height, void** allocation);
}  // namespace cocoa
