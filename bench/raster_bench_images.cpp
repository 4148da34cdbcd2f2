#include "raster_bench_images.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace raster_bench
{
namespace
{
std::uint32_t Pack(unsigned a, unsigned r, unsigned g, unsigned b) { return a << 24 | r << 16 | g << 8 | b; }

// One layer of the knob, in premultiplied floating point, composited front over back.
struct Colour
{
  double r = 0, g = 0, b = 0, a = 0;
  void over(double cr, double cg, double cb, double alpha)
  {
    r = cr * alpha + r * (1 - alpha);
    g = cg * alpha + g * (1 - alpha);
    b = cb * alpha + b * (1 - alpha);
    a = alpha + a * (1 - alpha);
  }
};

constexpr double kPi = 3.141592653589793;

// The knob at one point of frame f, in frame coordinates (pixel centres at + 0.5).
Colour KnobAt(double x, double y, int frame)
{
  Colour c;
  const double shadow = std::hypot(x - 25.0, y - 26.5);
  if (shadow < 21.5) c.over(0, 0, 0, 0.35);
  const double d = std::hypot(x - 24.0, y - 24.0);
  if (d < 20.0)
  {
    const double shade = d > 18.5 ? 48 : 176 - (y - 4.0) / 40.0 * 96;
    c.over(shade, shade, shade + 8, 1.0);
  }
  // The pointer: a bar 3 wide from the centre to radius 17, at -135 to +135 degrees
  // from straight up, clockwise.
  const double angle = (-135.0 + 270.0 * frame / (kKnobFrames - 1)) * kPi / 180.0;
  const double ux = std::sin(angle), uy = -std::cos(angle);
  const double along = (x - 24.0) * ux + (y - 24.0) * uy, across = (x - 24.0) * uy - (y - 24.0) * ux;
  if (along > 0 && along < 17.0 && std::fabs(across) < 1.5) c.over(255, 160, 64, 1.0);
  return c;
}
}  // namespace

Image Pattern(int width, int height, bool varyingAlpha)
{
  Image out{width, height, false, std::vector<std::uint32_t>((size_t)width * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
    {
      const unsigned a = varyingAlpha ? (unsigned)(x + y) & 0xFF : 0xFF;
      out.pixels[(size_t)y * width + x] =
          Pack(a, (unsigned)(x * 7) & 0xFF, (unsigned)(y * 5) & 0xFF, (unsigned)(x ^ y) & 0xFF);
    }
  return out;
}

Image Background()
{
  Image out{kWidth, kHeight, false, std::vector<std::uint32_t>((size_t)kWidth * kHeight)};
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
    {
      const unsigned r = (unsigned)(x + 3 * y), g = (unsigned)(x * 3 ^ y), b = (unsigned)(200 - x / 4 - y / 4);
      out.pixels[(size_t)y * kWidth + x] = Pack(0xFF, r & 0xFF, g & 0xFF, b & 0xFF);
    }
  return out;
}

Image KnobStrip()
{
  // 8 x 8 samples per pixel give the edges 65 levels of coverage.
  constexpr int kSamples = 8;
  Image out{kKnobSize, kKnobSize * kKnobFrames, false, {}};
  out.pixels.resize((size_t)out.width * out.height);
  for (int frame = 0; frame < kKnobFrames; ++frame)
    for (int py = 0; py < kKnobSize; ++py)
      for (int px = 0; px < kKnobSize; ++px)
      {
        Colour sum;
        for (int j = 0; j < kSamples; ++j)
          for (int i = 0; i < kSamples; ++i)
          {
            const Colour c = KnobAt(px + (i + 0.5) / kSamples, py + (j + 0.5) / kSamples, frame);
            sum.r += c.r, sum.g += c.g, sum.b += c.b, sum.a += c.a;
          }
        const double n = kSamples * kSamples, a = sum.a / n;
        const unsigned alpha = (unsigned)std::lround(a * 255);
        const auto straight = [&](double premultiplied) {
          return alpha ? (unsigned)std::clamp(std::lround(premultiplied / n / a), 0l, 255l) : 0u;
        };
        out.pixels[(size_t)(frame * kKnobSize + py) * kKnobSize + px] =
            Pack(alpha, straight(sum.r), straight(sum.g), straight(sum.b));
      }
  return out;
}

Image Premultiplied(const Image& straight)
{
  Image out = straight;
  out.premultiplied = true;
  for (std::uint32_t& p : out.pixels)
  {
    const unsigned a = p >> 24;
    const auto scale = [a](unsigned c) { return (c * a + 127) / 255; };
    p = Pack(a, scale((p >> 16) & 0xFF), scale((p >> 8) & 0xFF), scale(p & 0xFF));
  }
  return out;
}

bool WritePng(const Image& image, const std::string& path)
{
  Image data = image.premultiplied ? image : Premultiplied(image);
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(data.pixels.data()), CAIRO_FORMAT_ARGB32,
                                          data.width, data.height, data.width * 4);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}
}  // namespace raster_bench
