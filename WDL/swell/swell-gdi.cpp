#include "swell-gdi.h"

#include "platform/appkit/backing_bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <new>

struct HDC__
{
  void* allocation;       // what must be freed; the pixels start inside it
  unsigned char* pixels;  // first pixel, 64-byte aligned
  int width;
  int height;
};

// The pixel memory is laid out by the platform layer, which lays out window backing
// bitmaps the same way, so one piece of code owns the layout and the size limits.
HDC SWELL_CreateMemContext(HDC, int width, int height)
{
  void* allocation = nullptr;
  uint32_t* pixels = cocoa::allocateXrgbPixels(width, height, &allocation);
  if (!pixels) return nullptr;

  HDC context = new (std::nothrow) HDC__;
  if (!context)
  {
    std::free(allocation);
    return nullptr;
  }
  context->allocation = allocation;
  context->pixels = reinterpret_cast<unsigned char*>(pixels);
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
