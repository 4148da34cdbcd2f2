#pragma once

#include "platform/graphics/cg_types.h"

namespace cocoa
{
using CGDataProviderReleaseDataCallback = void (*)(void* info, const void* data, size_t size);

// Wraps caller-owned bytes without copying; the callback (when given) runs when the last
// image using them is gone.
CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback release);
void CGDataProviderRelease(CGDataProviderRef provider);

// An image over a provider's bytes, row 0 at the top. Null for layouts the platform does
// not draw (see CGBitmapContextCreate) or for bytes too few for the size given.
CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel,
                         size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo, CGDataProviderRef provider,
                         const CGFloat* decode, bool shouldInterpolate, int intent);
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);

// Draws the whole image scaled into the rectangle, its top row at the rectangle's top in
// unflipped user space (so a flipped context shows it upside down, as Quartz does).
void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image);
}  // namespace cocoa
