#pragma once

// The insides of the graphics objects, shared by the platform's own graphics and text code
// only: nothing above the platform includes cairo.

#include "platform/foundation/object.h"
#include "platform/graphics/cg_types.h"

#include <cairo.h>

#include <vector>

namespace cocoa
{
struct RGBA
{
  double r = 0, g = 0, b = 0, a = 1;
};

struct CGColorSpace : NSObject
{
};

struct CGColor : NSObject
{
  CGFloat components[4] = {0, 0, 0, 1};
};

struct CGDataProvider : NSObject
{
  void* info = nullptr;
  const void* data = nullptr;
  size_t size = 0;
  void (*releaseData)(void*, const void*, size_t) = nullptr;

protected:
  void dealloc() override
  {
    if (releaseData) releaseData(info, data, size);
  }
};

struct CGImage : NSObject
{
  size_t width = 0;
  size_t height = 0;
  size_t bytesPerRow = 0;
  uint32_t bitmapInfo = 0;
  CGDataProvider* provider = nullptr;
  bool shouldInterpolate = true;

protected:
  void dealloc() override
  {
    if (provider) provider->release();
  }
};

struct CGContext : NSObject
{
  struct State
  {
    RGBA fill;
    RGBA stroke;
    CGInterpolationQuality interpolation = kCGInterpolationDefault;
    bool antialias = true;
  };

  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  void* ownedPixels = nullptr;
  void* pixels = nullptr;
  size_t width = 0;
  size_t height = 0;
  size_t bytesPerRow = 0;
  State state;
  std::vector<State> savedStates;
  bool allowsAntialiasing = true;
  CGAffineTransform textMatrix;
  CGPoint textPosition;

  void applyAntialias();

protected:
  void dealloc() override;
};

// Whether the layout is one of the two the platform draws with, and the cairo format for it.
bool cairoFormatFor(uint32_t bitmapInfo, cairo_format_t* format);
void setSourceColor(cairo_t* cr, const RGBA& color);
}  // namespace cocoa
