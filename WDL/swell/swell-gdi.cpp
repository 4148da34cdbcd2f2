#include "swell-gdi.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace
{
// Same limits as the raster library: larger surfaces are refused, not attempted.
constexpr long long kMaxContextSide = 16384;
constexpr long long kMaxContextBytes = 512ll << 20;
constexpr std::uintptr_t kPixelAlignment = 64;
}  // namespace

struct HDC__
{
  void* allocation;       // what malloc returned; the pixels start inside it
  unsigned char* pixels;  // first pixel, 64-byte aligned
  int width;
  int height;
};

HDC SWELL_CreateMemContext(HDC, int width, int height)
{
  if (width <= 0 || height <= 0 || width > kMaxContextSide || height > kMaxContextSide) return nullptr;
  const long long bytes = (long long)width * height * 4;
  if (bytes > kMaxContextBytes) return nullptr;

  void* allocation = std::calloc((size_t)bytes + kPixelAlignment - 1, 1);
  if (!allocation) return nullptr;

  HDC context = new (std::nothrow) HDC__;
  if (!context)
  {
    std::free(allocation);
    return nullptr;
  }
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(allocation);
  const std::uintptr_t aligned = (address + kPixelAlignment - 1) & ~(kPixelAlignment - 1);
  context->allocation = allocation;
  context->pixels = static_cast<unsigned char*>(allocation) + (aligned - address);
  context->width = width;
  context->height = height;
  return context;
}

void* SWELL_GetCtxFrameBuffer(HDC context)
{
  return context ? context->pixels : nullptr;
}

void SWELL_DeleteGfxContext(HDC context)
{
  if (!context) return;
  std::free(context->allocation);
  delete context;
}
