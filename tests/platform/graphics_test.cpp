#include "platform/appkit/backing_bitmap.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

using namespace cocoa;

namespace
{
constexpr uint32_t kXrgb = uint32_t(kCGImageAlphaNoneSkipFirst) | uint32_t(kCGBitmapByteOrder32Little);

// Pixels of our own, so that what the context draws is read from the caller's memory.
struct Pixels
{
  Pixels(int w, int h) : width(w), height(h)
  {
    data = allocateXrgbPixels(w, h, &allocation);
    context = CGBitmapContextCreate(data, w, h, 8, static_cast<size_t>(w) * 4, nullptr, kXrgb);
  }
  ~Pixels()
  {
    CGContextRelease(context);
    std::free(allocation);
  }
  uint32_t at(int x, int y) const { return data[y * width + x] & 0xFFFFFF; }
  // Makes user space y-down from the top row, as the window layer's memory contexts are.
  void flip()
  {
    CGContextTranslateCTM(context, 0, height);
    CGContextScaleCTM(context, 1, -1);
  }

  int width, height;
  void* allocation = nullptr;
  uint32_t* data;
  CGContextRef context;
};
}  // namespace

TEST(Graphics, MemoryContextsDrawStraightIntoTheCallersBufferWithQuartzOrientation)
{
  Pixels p(20, 10);
  ASSERT_NE(p.context, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p.data) % 64, 0u);
  EXPECT_EQ(CGBitmapContextGetData(p.context), p.data);
  CGContextSetRGBFillColor(p.context, 1, 0, 0, 1);
  // y up: a rectangle at y 2..5 covers rows 10 - 5 = 5 to 7 from the top.
  CGContextFillRect(p.context, CGRectMake(3, 2, 4, 3));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
    {
      const bool inside = x >= 3 && x < 7 && y >= 5 && y < 8;
      EXPECT_EQ(p.at(x, y), inside ? 0xFF0000u : 0u) << x << "," << y;
    }
  // Bytes in memory: blue, green, red, unused.
  const auto* bytes = reinterpret_cast<const uint8_t*>(p.data + 5 * 20 + 3);
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[2], 255);
}

TEST(Graphics, AOnePixelLineOnPixelCentresCoversExactlyOneRow)
{
  Pixels p(16, 12);
  p.flip();
  CGContextSetRGBStrokeColor(p.context, 0, 0, 1, 1);
  CGContextSetLineWidth(p.context, 1);
  CGContextMoveToPoint(p.context, 2, 5.5);
  CGContextAddLineToPoint(p.context, 12, 5.5);
  CGContextStrokePath(p.context);
  for (int x = 0; x < 16; ++x)
  {
    EXPECT_EQ(p.at(x, 5), x >= 2 && x < 12 ? 0x0000FFu : 0u) << x;
    EXPECT_EQ(p.at(x, 4), 0u);
    EXPECT_EQ(p.at(x, 6), 0u);
  }
}

TEST(Graphics, AntialiasingIsOnUnlessSwitchedOff)
{
  auto levels = [](bool antialias) {
    Pixels p(32, 32);
    CGContextSetShouldAntialias(p.context, antialias);
    CGContextSetRGBFillColor(p.context, 1, 1, 1, 1);
    CGContextFillEllipseInRect(p.context, CGRectMake(3, 3, 25, 25));
    std::set<uint32_t> seen;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) seen.insert(p.at(x, y) & 0xFF);
    return seen;
  };
  EXPECT_GT(levels(true).size(), 4u);  // edge pixels between black and white
  EXPECT_EQ(levels(false), (std::set<uint32_t>{0, 255}));
}

TEST(Graphics, ClippingNarrowsUntilTheStateIsRestored)
{
  Pixels p(10, 10);
  p.flip();
  CGContextSaveGState(p.context);
  CGContextClipToRect(p.context, CGRectMake(0, 0, 3, 3));
  CGContextSetRGBFillColor(p.context, 0, 1, 0, 1);
  CGContextFillRect(p.context, CGRectMake(0, 0, 10, 10));
  EXPECT_EQ(CGContextGetClipBoundingBox(p.context), CGRectMake(0, 0, 3, 3));
  CGContextRestoreGState(p.context);
  // The colour went with the state too: this is drawn black on black unless set again.
  CGContextSetRGBFillColor(p.context, 1, 0, 0, 1);
  CGContextFillRect(p.context, CGRectMake(8, 8, 2, 2));
  EXPECT_EQ(p.at(2, 2), 0x00FF00u);
  EXPECT_EQ(p.at(3, 3), 0u);
  EXPECT_EQ(p.at(9, 9), 0xFF0000u);
  CGContextRestoreGState(p.context);  // unbalanced: ignored
  EXPECT_EQ(CGContextGetClipBoundingBox(p.context), CGRectMake(0, 0, 10, 10));
}

TEST(Graphics, ImagesLandTopRowUpInQuartzSpaceAndUpsideDownInAFlippedOne)
{
  // Two rows: red on top, blue below.
  uint32_t source[4] = {0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF};
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, source, sizeof source, nullptr);
  CGImageRef image = CGImageCreate(2, 2, 8, 32, 8, nullptr, kXrgb, provider, nullptr, false, 0);
  CGDataProviderRelease(provider);
  ASSERT_NE(image, nullptr);

  Pixels up(2, 2);
  CGContextSetInterpolationQuality(up.context, kCGInterpolationNone);
  CGContextDrawImage(up.context, CGRectMake(0, 0, 2, 2), image);
  EXPECT_EQ(up.at(0, 0), 0xFF0000u);
  EXPECT_EQ(up.at(1, 1), 0x0000FFu);

  Pixels down(2, 2);
  down.flip();
  CGContextDrawImage(down.context, CGRectMake(0, 0, 2, 2), image);
  EXPECT_EQ(down.at(0, 0), 0x0000FFu);
  EXPECT_EQ(down.at(1, 1), 0xFF0000u);

  // Scaled without interpolation: each source pixel becomes a 2 × 2 block.
  Pixels big(4, 4);
  CGContextSetInterpolationQuality(big.context, kCGInterpolationNone);
  CGContextDrawImage(big.context, CGRectMake(0, 0, 4, 4), image);
  EXPECT_EQ(big.at(3, 1), 0xFF0000u);
  EXPECT_EQ(big.at(0, 2), 0x0000FFu);
  CGImageRelease(image);
}

TEST(Graphics, StraightAlphaImagesBlendAndUnknownLayoutsAreRefused)
{
  uint32_t halfWhite = 0x80FFFFFF;
  const uint32_t straight = uint32_t(kCGImageAlphaFirst) | uint32_t(kCGBitmapByteOrder32Little);
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, &halfWhite, 4, nullptr);
  CGImageRef image = CGImageCreate(1, 1, 8, 32, 4, nullptr, straight, provider, nullptr, false, 0);
  Pixels p(1, 1);
  CGContextDrawImage(p.context, CGRectMake(0, 0, 1, 1), image);
  EXPECT_EQ(p.at(0, 0), 0x808080u);  // 128/255 of white over black
  CGImageRelease(image);

  const uint32_t bigEndian = uint32_t(kCGImageAlphaNoneSkipFirst) | uint32_t(kCGBitmapByteOrder32Big);
  EXPECT_EQ(CGImageCreate(1, 1, 8, 32, 4, nullptr, bigEndian, provider, nullptr, false, 0), nullptr);
  EXPECT_EQ(CGImageCreate(2, 1, 8, 32, 8, nullptr, straight, provider, nullptr, false, 0), nullptr);  // 4 bytes for 8
  EXPECT_EQ(CGBitmapContextCreate(nullptr, 4, 4, 8, 15, nullptr, kXrgb), nullptr);
  CGDataProviderRelease(provider);
}

TEST(Graphics, BackingBitmapsKeepTheMemoryContextLayout)
{
  BackingBitmap bitmap;
  ASSERT_TRUE(bitmap.resize(770, 650));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.pixels()) % 64, 0u);
  EXPECT_EQ(bitmap.bytesPerRow(), 770u * 4);
  CGContextSetRGBFillColor(bitmap.context(), 0, 0, 1, 1);
  CGContextFillRect(bitmap.context(), CGRectMake(0, 649, 1, 1));  // the top row in Quartz space
  EXPECT_EQ(bitmap.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
  EXPECT_FALSE(bitmap.resize(0, 10));
  EXPECT_EQ(bitmap.pixels(), nullptr);
}
