#pragma once

// The pictures raster-bench draws with: the same content for both sides, with
// straight alpha for ours and premultiplied for pixman and cairo.

#include <cstdint>
#include <string>
#include <vector>

namespace raster_bench
{
// The editor's window size, and a source scaled up by 1.5 onto it.
constexpr int kWidth = 770, kHeight = 650;
constexpr int kScaledSourceWidth = 514, kScaledSourceHeight = 434;
// A knob strip as the editor's controls use them: frames stacked top to bottom.
constexpr int kKnobSize = 48, kKnobFrames = 64;

// Pixels 0xAARRGGBB, rows packed.
struct Image
{
  int width = 0, height = 0;
  bool premultiplied = false;
  std::vector<std::uint32_t> pixels;
};

// The worst case for blending: every pixel differs from its neighbours, and with
// varying alpha every alpha from 0 to 255 comes round in turn. Straight alpha.
Image Pattern(int width, int height, bool varyingAlpha);

// The opaque picture every operation draws over, unlike any source.
Image Background();

// A 64-frame strip of a 48 x 48 knob turning through 270 degrees: a soft shadow, a
// shaded body with a rim and a pointer, all with anti-aliased edges over
// transparency. Straight alpha.
Image KnobStrip();

// The same picture with each colour scaled by its alpha, rounded.
Image Premultiplied(const Image& straight);

// Writes the picture as PNG; false when the file cannot be written.
bool WritePng(const Image& image, const std::string& path);
}  // namespace raster_bench
