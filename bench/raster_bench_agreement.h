#pragma once

// Whether our output and the other library's output of one operation show the same
// picture, up to the rounding that separates the two ways of computing it.

#include <cstdint>

namespace raster_bench
{
struct Tolerance
{
  // The largest difference allowed in any channel of any pixel.
  int perChannel;
  // Pixels at the edge of a filled shape may differ by any amount: each library
  // decides edge pixels by its own rule. An edge pixel is one that, in the other
  // library's picture, lies within two pixels of both an untouched pixel and one
  // fully in the shape's colour.
  bool edgesExempt;
  // How far the total change each side made to the picture (summed over channels)
  // may differ, as a fraction of the other's; negative: not compared.
  double ink;
  // Where the differences come from, printed beside the verdict.
  const char* rounding;
};

struct Agreement
{
  int largest = 0;      // largest channel difference found outside exempt edges
  long over = 0;        // pixels above the tolerance outside exempt edges
  long edges = 0;       // exempt edge pixels that differ
  double inkOurs = 0, inkTheirs = 0;
  bool agrees = false;
};

// Compares two opaque pictures of the same size (0xAARRGGBB, rows of the given
// strides in pixels; opaque, so straight and premultiplied colours are the same)
// that both started as `before`, the shapes drawn in `shapeColour`.
Agreement Compare(const std::uint32_t* ours, int oursStride, const std::uint32_t* theirs, const std::uint32_t* before,
                  int width, int height, std::uint32_t shapeColour, const Tolerance& tolerance);
}  // namespace raster_bench
