#include "swell-gdi.h"
#include "swell-gdi-internal.h"

#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <algorithm>

using namespace cocoa;

namespace
{
// One axis of a blit: the part of the source span [start, start + span) that lies inside
// [0, limit), and where that part lands in the destination span [dest, dest + size).
// Returns false when nothing of the source is inside.
bool clipAxis(int* dest, int* size, int* start, int* span, int limit)
{
  const long long from = std::max(*start, 0);
  const long long to = std::min(static_cast<long long>(*start) + *span, static_cast<long long>(limit));
  if (to - from <= 0) return false;
  const long long span0 = *span;
  const long long size0 = *size;
  // The inside part keeps the scale of the whole: cut columns are not stretched over.
  *dest += static_cast<int>(size0 * (from - *start) / span0);
  *size = span0 == size0 ? static_cast<int>(to - from) : static_cast<int>(size0 * (to - from) / span0);
  *start = static_cast<int>(from);
  *span = static_cast<int>(to - from);
  return true;
}
}  // namespace

void BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int rop)
{
  StretchBlt(dest, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

void StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, int rop)
{
  if (!isLiveContext(dest) || !dest->ctx || !isLiveContext(source) || !source->ownedBuffer) return;
  if (sourceWidth <= 0 || sourceHeight <= 0) return;
  if (!clipAxis(&x, &width, &sourceX, &sourceWidth, source->width)) return;
  if (!clipAxis(&y, &height, &sourceY, &sourceHeight, source->height)) return;
  if (width <= 0 || height <= 0) return;

  const size_t bytesPerRow = static_cast<size_t>(source->width) * 4;
  const unsigned char* first = source->pixels + sourceY * bytesPerRow + static_cast<size_t>(sourceX) * 4;
  const size_t bytes = bytesPerRow * (sourceHeight - 1) + static_cast<size_t>(sourceWidth) * 4;
  const bool useAlpha = static_cast<unsigned>(rop) == SRCCOPY_USEALPHACHAN;
  const uint32_t layout = (useAlpha ? uint32_t(kCGImageAlphaFirst) : uint32_t(kCGImageAlphaNoneSkipFirst)) |
                          uint32_t(kCGBitmapByteOrder32Little);

  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, first, bytes, nullptr);
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGImageRef image =
      CGImageCreate(sourceWidth, sourceHeight, 8, 32, bytesPerRow, space, layout, provider, nullptr, false, 0);
  CGColorSpaceRelease(space);
  CGDataProviderRelease(provider);
  if (!image) return;

  CGContextRef ctx = dest->ctx;
  CGContextSaveGState(ctx);
  CGContextSetInterpolationQuality(ctx, kCGInterpolationNone);
  // Images land bottom-up in user space; mirror so the top row lands at y.
  CGContextTranslateCTM(ctx, x, y + height);
  CGContextScaleCTM(ctx, 1, -1);
  CGContextDrawImage(ctx, CGRectMake(0, 0, width, height), image);
  CGContextRestoreGState(ctx);
  CGImageRelease(image);
}
