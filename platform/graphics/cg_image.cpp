#include "platform/graphics/cg_image.h"

#include "platform/graphics/cg_internal.h"

#include <cstring>
#include <memory>

namespace cocoa
{
namespace
{
// Cairo wants premultiplied alpha; straight-alpha pixels are converted into a copy.
cairo_surface_t* premultipliedCopy(const CGImage* image)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(image->width),
                                                        static_cast<int>(image->height));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return surface;
  unsigned char* out = cairo_image_surface_get_data(surface);
  const int outStride = cairo_image_surface_get_stride(surface);
  const auto* in = static_cast<const unsigned char*>(image->provider->data);
  for (size_t y = 0; y < image->height; ++y)
  {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(in + y * image->bytesPerRow);
    uint32_t* dst = reinterpret_cast<uint32_t*>(out + y * outStride);
    for (size_t x = 0; x < image->width; ++x)
    {
      const uint32_t p = src[x];
      const uint32_t a = p >> 24;
      const uint32_t r = ((p >> 16) & 0xFF) * a / 255;
      const uint32_t g = ((p >> 8) & 0xFF) * a / 255;
      const uint32_t b = (p & 0xFF) * a / 255;
      dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

cairo_surface_t* surfaceFor(const CGImage* image)
{
  cairo_format_t format;
  if (cairoFormatFor(image->bitmapInfo, &format))
    return cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(const_cast<void*>(image->provider->data)), format,
        static_cast<int>(image->width), static_cast<int>(image->height), static_cast<int>(image->bytesPerRow));
  return premultipliedCopy(image);
}

bool drawableLayout(uint32_t bitmapInfo)
{
  cairo_format_t format;
  if (cairoFormatFor(bitmapInfo, &format)) return true;
  return (bitmapInfo & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little &&
         (bitmapInfo & kCGBitmapAlphaInfoMask) == kCGImageAlphaFirst;
}
}  // namespace

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback release)
{
  CGDataProvider* provider = new CGDataProvider;
  provider->info = info;
  provider->data = data;
  provider->size = size;
  provider->releaseData = release;
  return provider;
}

void CGDataProviderRelease(CGDataProviderRef provider)
{
  if (provider) provider->release();
}

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel,
                         size_t bytesPerRow, CGColorSpaceRef, uint32_t bitmapInfo, CGDataProviderRef provider,
                         const CGFloat*, bool shouldInterpolate, int)
{
  if (!provider || !provider->data || bitsPerComponent != 8 || bitsPerPixel != 32) return nullptr;
  if (width == 0 || height == 0 || width > 32767 || height > 32767) return nullptr;
  if (bytesPerRow < width * 4 || bytesPerRow % 4 != 0) return nullptr;
  if (provider->size < bytesPerRow * (height - 1) + width * 4) return nullptr;
  if (!drawableLayout(bitmapInfo)) return nullptr;
  CGImage* image = new CGImage;
  image->width = width;
  image->height = height;
  image->bytesPerRow = bytesPerRow;
  image->bitmapInfo = bitmapInfo;
  image->provider = provider;
  image->shouldInterpolate = shouldInterpolate;
  provider->retain();
  return image;
}

CGImageRef CGImageRetain(CGImageRef image)
{
  if (image) image->retain();
  return image;
}

void CGImageRelease(CGImageRef image)
{
  if (image) image->release();
}

size_t CGImageGetWidth(CGImageRef image) { return image ? image->width : 0; }
size_t CGImageGetHeight(CGImageRef image) { return image ? image->height : 0; }

void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image)
{
  if (!c || !c->cr || !image || NSIsEmptyRect(rect)) return;
  cairo_surface_t* surface = surfaceFor(image);
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
  {
    cairo_t* cr = c->cr;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
    cairo_scale(cr, rect.size.width / static_cast<double>(image->width),
                -rect.size.height / static_cast<double>(image->height));
    cairo_set_source_surface(cr, surface, 0, 0);
    const bool smooth = c->state.interpolation != kCGInterpolationNone && image->shouldInterpolate;
    cairo_pattern_set_filter(cairo_get_source(cr), smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, static_cast<double>(image->width), static_cast<double>(image->height));
    cairo_fill(cr);
    cairo_restore(cr);
  }
  cairo_surface_destroy(surface);
}
}  // namespace cocoa
