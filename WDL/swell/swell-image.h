#pragma once

// The picture inside bitmap and icon objects: premultiplied ARGB in 32-bit little-endian
// words (bytes B, G, R, A), rows top-down and width × 4 bytes apart. The pixels are final
// once the image is handed out; sharing it means retaining it.

#include "platform/foundation/object.h"
#include "platform/graphics/cg_types.h"

#include <cstdint>

class SwellImage : public cocoa::NSObject
{
public:
  // Cleared to transparent; null for a size the pixel memory refuses.
  static SwellImage* create(int width, int height);
  // A PNG file; null when it cannot be read.
  static SwellImage* loadPng(const char* path);
  SwellImage* copy() const;

  int width() const { return m_width; }
  int height() const { return m_height; }
  uint32_t* pixels() { return m_pixels; }
  const uint32_t* pixels() const { return m_pixels; }
  // Clears every opaque 0xFF00FF pixel; true when there was one.
  bool clearMagenta();
  // The platform image over the pixels, made on first use.
  cocoa::CGImageRef cgImage();

private:
  SwellImage() = default;
  void dealloc() override;

  void* m_allocation = nullptr;
  uint32_t* m_pixels = nullptr;
  int m_width = 0;
  int m_height = 0;
  cocoa::CGImageRef m_cgImage = nullptr;
};
