#include "swell-gdi.h"
#include "swell-gdi-internal.h"

#include "platform/appkit/backing_bitmap.h"
#include "platform/appkit/graphics_context.h"
#include "platform/graphics/cg_context.h"

#include <cmath>
#include <cstdlib>

namespace
{
constexpr double kRetinaScale = 1.9;
// The version the modern branches of this layer ask for (10.10 and later).
constexpr int kOSVersion = 0x10A0;

constexpr int kSysColours[] = {0x606060, 0xE0E0E0, 0xC0C0C0, 0x000000, 0xC0C0C0,
                               0x202020, 0x303030, 0xC0C0C0, 0xFFF0C8, 0x000000};
}  // namespace

// The pixel memory is laid out by the platform layer, which lays out window backing
// bitmaps the same way, so one piece of code owns the layout and the size limits.
HDC SWELL_CreateMemContext(HDC, int width, int height)
{
  void* allocation = nullptr;
  uint32_t* pixels = cocoa::allocateXrgbPixels(width, height, &allocation);
  if (!pixels) return nullptr;

  cocoa::CGColorSpaceRef space = cocoa::CGColorSpaceCreateDeviceRGB();
  cocoa::CGContextRef ctx = cocoa::CGBitmapContextCreate(
      pixels, width, height, 8, static_cast<size_t>(width) * 4, space,
      uint32_t(cocoa::kCGImageAlphaNoneSkipFirst) | uint32_t(cocoa::kCGBitmapByteOrder32Little));
  cocoa::CGColorSpaceRelease(space);
  if (!ctx)
  {
    std::free(allocation);
    return nullptr;
  }
  // Row 0 at the top, y growing downward, as the callers count.
  cocoa::CGContextTranslateCTM(ctx, 0, height);
  cocoa::CGContextScaleCTM(ctx, 1, -1);

  HDC dc = takeContextRecord();
  if (!dc)
  {
    cocoa::CGContextRelease(ctx);
    std::free(allocation);
    return nullptr;
  }
  dc->ctx = ctx;
  dc->ownedBuffer = allocation;
  dc->pixels = reinterpret_cast<unsigned char*>(pixels);
  dc->width = width;
  dc->height = height;
  SetTextColor(dc, 0);
  return dc;
}

HDC SWELL_CreateGfxContext(void* nsGraphicsContext)
{
  auto* graphics = static_cast<cocoa::NSGraphicsContext*>(nsGraphicsContext);
  if (!graphics || !graphics->graphicsPort()) return nullptr;
  HDC dc = takeContextRecord();
  if (dc) dc->ctx = graphics->graphicsPort();
  return dc;
}

HDC SWELL_GDP_CTX_NEW()
{
  return takeContextRecord();
}

void SWELL_DeleteGfxContext(HDC dc)
{
  if (!isLiveContext(dc)) return;
  if (dc->ownedBuffer)
  {
    cocoa::CGContextRelease(dc->ctx);
    std::free(dc->ownedBuffer);
  }
  cocoa::CGColorRelease(dc->curtextcolor);
  noteDeselected(dc->curpen);
  noteDeselected(dc->curbrush);
  noteDeselected(dc->curfont);
  giveBackContextRecord(dc);
}

void* SWELL_GetCtxGC(HDC dc)
{
  return isLiveContext(dc) ? dc->ctx : nullptr;
}

void* SWELL_GetCtxFrameBuffer(HDC dc)
{
  return isLiveContext(dc) ? dc->pixels : nullptr;
}

bool SWELL_IsRetinaDC(HDC dc)
{
  if (!isLiveContext(dc) || !dc->ctx) return false;
  const cocoa::CGAffineTransform m = cocoa::CGContextGetCTM(dc->ctx);
  return std::hypot(m.a, m.b) > kRetinaScale;
}

void SWELL_PushClipRegion(HDC dc)
{
  if (isLiveContext(dc) && dc->ctx) cocoa::CGContextSaveGState(dc->ctx);
}

void SWELL_SetClipRegion(HDC dc, const RECT* r)
{
  if (!isLiveContext(dc) || !dc->ctx || !r) return;
  cocoa::CGContextClipToRect(dc->ctx, cocoa::CGRectMake(r->left, r->top, r->right - r->left, r->bottom - r->top));
}

void SWELL_PopClipRegion(HDC dc)
{
  if (isLiveContext(dc) && dc->ctx) cocoa::CGContextRestoreGState(dc->ctx);
}

void SetTextColor(HDC dc, int colour)
{
  if (!isLiveContext(dc)) return;
  dc->curtextcol = colour;
  cocoa::CGColorRelease(dc->curtextcolor);
  dc->curtextcolor = createGdiColour(colour, 1.0);
}

int GetTextColor(HDC dc)
{
  return isLiveContext(dc) ? dc->curtextcol : -1;
}

void SetBkColor(HDC dc, int colour)
{
  if (isLiveContext(dc)) dc->curbkcol = colour;
}

void SetBkMode(HDC dc, int mode)
{
  if (isLiveContext(dc)) dc->curbkmode = mode;
}

int GetSysColor(int index)
{
  if (index < 0 || index >= static_cast<int>(sizeof(kSysColours) / sizeof(kSysColours[0]))) return 0;
  return kSysColours[index];
}

int SWELL_GDI_GetOSXVersion()
{
  return kOSVersion;
}
