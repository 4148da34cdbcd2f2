#include "platform/appkit/backing_bitmap.h"

#include "platform/graphics/cg_context.h"

#include <cstdint>
#include <cstdlib>

namespace cocoa
{
namespace
{
constexpr uintptr_t kPixelAlignment = 64;
// The window layer's memory contexts refuse the same sizes.
constexpr int kMaxSide = 16384;
constexpr size_t kMaxBytes = size_t(512) << 20;
}  // namespace

uint32_t* allocateXrgbPixels(int width, int height, void** allocation)
{
  *allocation = nullptr;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  const size_t bytes = static_cast<size_t>(width) * 4 * static_cast<size_t>(height);
  if (bytes > kMaxBytes) return nullptr;
  void* memory = std::calloc(bytes + kPixelAlignment - 1, 1);
  if (!memory) return nullptr;
  const uintptr_t address = reinterpret_cast<uintptr_t>(memory);
  const uintptr_t aligned = (address + kPixelAlignment - 1) & ~(kPixelAlignment - 1);
  *allocation = memory;
  return reinterpret_cast<uint32_t*>(aligned);
}

BackingBitmap::~BackingBitmap()
{
  release();
}

void BackingBitmap::release()
{
  CGContextRelease(m_context);
  m_context = nullptr;
  std::free(m_allocation);
  m_allocation = nullptr;
  m_pixels = nullptr;
  m_width = m_height = 0;
}

bool BackingBitmap::resize(int width, int height)
{
  release();
  ++m_generation;
  m_pixels = allocateXrgbPixels(width, height, &m_allocation);
  if (!m_pixels) return false;
  m_width = width;
  m_height = height;
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  m_context = CGBitmapContextCreate(m_pixels, width, height, 8, bytesPerRow(), space,
                                    uint32_t(kCGImageAlphaNoneSkipFirst) | uint32_t(kCGBitmapByteOrder32Little));
  CGColorSpaceRelease(space);
  if (!m_context)
  {
    release();
    return false;
  }
  return true;
}
}  // namespace cocoa
