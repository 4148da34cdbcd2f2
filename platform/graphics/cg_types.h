#pragma once

#include "platform/foundation/geometry.h"

#include <cstddef>
#include <cstdint>

namespace cocoa
{
struct CGContext;
struct CGColor;
struct CGColorSpace;
struct CGImage;
struct CGDataProvider;
using CGContextRef = CGContext*;
using CGColorRef = CGColor*;
using CGColorSpaceRef = CGColorSpace*;
using CGImageRef = CGImage*;
using CGDataProviderRef = CGDataProvider*;

struct CGAffineTransform
{
  CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};
inline CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty)
{
  return {a, b, c, d, tx, ty};
}
constexpr CGAffineTransform CGAffineTransformIdentity{};

// The pixel layouts. The platform handles 32-bit pixels in little-endian words: XRGB
// (bytes B, G, R, unused), and ARGB with premultiplied or straight alpha.
enum : uint32_t
{
  kCGImageAlphaNone = 0,
  kCGImageAlphaPremultipliedLast = 1,
  kCGImageAlphaPremultipliedFirst = 2,
  kCGImageAlphaLast = 3,
  kCGImageAlphaFirst = 4,
  kCGImageAlphaNoneSkipLast = 5,
  kCGImageAlphaNoneSkipFirst = 6,
};
enum : uint32_t
{
  kCGBitmapAlphaInfoMask = 0x1F,
  kCGBitmapByteOrderMask = 0x7000,
  kCGBitmapByteOrderDefault = 0,
  kCGBitmapByteOrder32Little = 2 << 12,
  kCGBitmapByteOrder32Big = 4 << 12,
};

enum CGPathDrawingMode
{
  kCGPathFill,
  kCGPathEOFill,
  kCGPathStroke,
  kCGPathFillStroke,
  kCGPathEOFillStroke,
};

enum CGLineCap
{
  kCGLineCapButt,
  kCGLineCapRound,
  kCGLineCapSquare,
};

enum CGLineJoin
{
  kCGLineJoinMiter,
  kCGLineJoinRound,
  kCGLineJoinBevel,
};

enum CGInterpolationQuality
{
  kCGInterpolationDefault = 0,
  kCGInterpolationNone = 1,
  kCGInterpolationLow = 2,
  kCGInterpolationHigh = 3,
  kCGInterpolationMedium = 4,
};
}  // namespace cocoa
