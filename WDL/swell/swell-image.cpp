#include "swell-image.h"

#include "platform/appkit/backing_bitmap.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace
{
constexpr int kMaxImageSide = 16384;
constexpr uint32_t kOpaqueMagenta = 0xFFFF00FF;

uint32_t premultiplied(uint32_t straight)
{
  const uint32_t a = straight >> 24;
  const uint32_t r = ((straight >> 16) & 0xFF) * a / 255;
  const uint32_t g = ((straight >> 8) & 0xFF) * a / 255;
  const uint32_t b = (straight & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}
}  // namespace

SwellImage* SwellImage::create(int width, int height)
{
  void* allocation = nullptr;
  uint32_t* pixels = cocoa::allocateXrgbPixels(width, height, &allocation);
  if (!pixels) return nullptr;
  SwellImage* image = new SwellImage;
  image->m_allocation = allocation;
  image->m_pixels = pixels;
  image->m_width = width;
  image->m_height = height;
  return image;
}

SwellImage* SwellImage::loadPng(const char* path)
{
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path)) return nullptr;
  if (png.width == 0 || png.height == 0 || png.width > kMaxImageSide || png.height > kMaxImageSide)
  {
    png_image_free(&png);
    return nullptr;
  }
  png.format = PNG_FORMAT_BGRA;  // straight alpha, bytes B, G, R, A
  SwellImage* image = create(static_cast<int>(png.width), static_cast<int>(png.height));
  if (!image)
  {
    png_image_free(&png);
    return nullptr;
  }
  if (!png_image_finish_read(&png, nullptr, image->m_pixels, static_cast<png_int_32>(png.width * 4), nullptr))
  {
    png_image_free(&png);
    image->release();
    return nullptr;
  }
  const size_t count = static_cast<size_t>(image->m_width) * image->m_height;
  for (size_t i = 0; i < count; ++i) image->m_pixels[i] = premultiplied(image->m_pixels[i]);
  return image;
}

SwellImage* SwellImage::copy() const
{
  SwellImage* image = create(m_width, m_height);
  if (image) std::memcpy(image->m_pixels, m_pixels, static_cast<size_t>(m_width) * m_height * 4);
  return image;
}

bool SwellImage::clearMagenta()
{
  bool cleared = false;
  const size_t count = static_cast<size_t>(m_width) * m_height;
  for (size_t i = 0; i < count; ++i)
    if (m_pixels[i] == kOpaqueMagenta)
    {
      m_pixels[i] = 0;
      cleared = true;
    }
  return cleared;
}

cocoa::CGImageRef SwellImage::cgImage()
{
  if (m_cgImage) return m_cgImage;
  const size_t bytesPerRow = static_cast<size_t>(m_width) * 4;
  cocoa::CGDataProviderRef provider =
      cocoa::CGDataProviderCreateWithData(nullptr, m_pixels, bytesPerRow * m_height, nullptr);
  cocoa::CGColorSpaceRef space = cocoa::CGColorSpaceCreateDeviceRGB();
  m_cgImage = cocoa::CGImageCreate(m_width, m_height, 8, 32, bytesPerRow, space,
                                   uint32_t(cocoa::kCGImageAlphaPremultipliedFirst) |
                                       uint32_t(cocoa::kCGBitmapByteOrder32Little),
                                   provider, nullptr, true, 0);
  cocoa::CGColorSpaceRelease(space);
  cocoa::CGDataProviderRelease(provider);
  return m_cgImage;
}

void SwellImage::dealloc()
{
  cocoa::CGImageRelease(m_cgImage);
  std::free(m_allocation);
}
