#pragma once

#include "Colour.h"
#include "Paint.h"
#include "Shapes.h"

#include <vector>

// A picture in floating point with premultiplied alpha, painted by filling shapes.
// Each pixel is sampled on a regular grid of kSamplesPerSide x kSamplesPerSide
// points, so edges are smooth and the same calls always give the same pixels.
class Canvas
{
public:
  static constexpr int kSamplesPerSide = 5;

  Canvas(int width, int height);

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  // Paints the part of the shape that lies on the canvas over what is there.
  void Fill(const Shape& shape, const Paint& paint);
  void Fill(const Shape& shape, Rgba colour) { Fill(shape, Solid(colour)); }
  // Lays another canvas over this one with its top left corner at (x, y).
  void Place(const Canvas& other, int x, int y);

  // Straight-alpha colour of one pixel.
  Rgba PixelAt(int x, int y) const;

private:
  struct Premultiplied
  {
    float r = 0, g = 0, b = 0, a = 0;
  };
  void Over(Premultiplied& under, const Premultiplied& top) const;

  int mWidth, mHeight;
  std::vector<Premultiplied> mPixels;
};
