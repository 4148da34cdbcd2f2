// Times the raster library's common operations beside pixman (blits and fills) and
// cairo (lines, circles and polygons) doing the same work on the same sizes, and
// prints our median time over the other library's per operation.

#include "lice.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace
{
// The editor's window size, and a source scaled up by 1.5 onto it.
constexpr int kWidth = 770, kHeight = 650;
constexpr int kScaledSourceWidth = 514, kScaledSourceHeight = 434;

// Opaque pixels with a pattern, or (for the alpha blits) every alpha from 0 to 255
// in turn, colours premultiplied so that both libraries see valid pixels.
void Pattern(unsigned int* pixels, int w, int h, int stride, bool varyingAlpha)
{
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const unsigned a = varyingAlpha ? (unsigned)(x + y) & 0xFF : 0xFF;
      const unsigned r = (unsigned)(x * 7) % (a + 1), g = (unsigned)(y * 5) % (a + 1), b = (unsigned)(x ^ y) % (a + 1);
      pixels[y * stride + x] = a << 24 | r << 16 | g << 8 | b;
    }
}

struct LiceImages
{
  LICE_MemBitmap dest{kWidth, kHeight, 4};
  LICE_MemBitmap src{kWidth, kHeight, 4};
  explicit LiceImages(bool varyingAlpha, int srcw = kWidth, int srch = kHeight)
  {
    src.resize(srcw, srch);
    Pattern(dest.getBits(), kWidth, kHeight, dest.getRowSpan(), false);
    Pattern(src.getBits(), srcw, srch, src.getRowSpan(), varyingAlpha);
  }
};

struct PixmanImages
{
  std::vector<unsigned int> destPixels, srcPixels;
  pixman_image_t* dest = nullptr;
  pixman_image_t* src = nullptr;
  explicit PixmanImages(bool varyingAlpha, int srcw = kWidth, int srch = kHeight)
      : destPixels((size_t)kWidth * kHeight), srcPixels((size_t)srcw * srch)
  {
    Pattern(destPixels.data(), kWidth, kHeight, kWidth, false);
    Pattern(srcPixels.data(), srcw, srch, srcw, varyingAlpha);
    dest = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destPixels.data(), kWidth * 4);
    src = pixman_image_create_bits(PIXMAN_a8r8g8b8, srcw, srch, srcPixels.data(), srcw * 4);
  }
  ~PixmanImages()
  {
    pixman_image_unref(dest);
    pixman_image_unref(src);
  }
};

void Lice_OpaqueBlit(benchmark::State& state)
{
  LiceImages img(false);
  for (auto _ : state)
  {
    LICE_Blit(&img.dest, &img.src, 0, 0, nullptr, 1.0f, BLEND_COPY);
    benchmark::ClobberMemory();
  }
}
void Pixman_OpaqueBlit(benchmark::State& state)
{
  PixmanImages img(false);
  for (auto _ : state)
  {
    pixman_image_composite32(PIXMAN_OP_SRC, img.src, nullptr, img.dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}

void Lice_SourceAlphaBlit(benchmark::State& state)
{
  LiceImages img(true);
  for (auto _ : state)
  {
    LICE_Blit(&img.dest, &img.src, 0, 0, nullptr, 1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY);
    benchmark::ClobberMemory();
  }
}
void Pixman_SourceAlphaBlit(benchmark::State& state)
{
  PixmanImages img(true);
  for (auto _ : state)
  {
    pixman_image_composite32(PIXMAN_OP_OVER, img.src, nullptr, img.dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}

void Lice_ScaledBilinearBlit(benchmark::State& state)
{
  LiceImages img(false, kScaledSourceWidth, kScaledSourceHeight);
  for (auto _ : state)
  {
    LICE_ScaledBlit(&img.dest, &img.src, 0, 0, kWidth, kHeight, 0.0f, 0.0f, (float)kScaledSourceWidth,
                    (float)kScaledSourceHeight, 1.0f, BLEND_FILTER_BILINEAR);
    benchmark::ClobberMemory();
  }
}
void Pixman_ScaledBilinearBlit(benchmark::State& state)
{
  PixmanImages img(false, kScaledSourceWidth, kScaledSourceHeight);
  pixman_transform_t scale;
  pixman_transform_init_scale(&scale, pixman_double_to_fixed((double)kScaledSourceWidth / kWidth),
                              pixman_double_to_fixed((double)kScaledSourceHeight / kHeight));
  pixman_image_set_transform(img.src, &scale);
  pixman_image_set_filter(img.src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state)
  {
    pixman_image_composite32(PIXMAN_OP_SRC, img.src, nullptr, img.dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}

void Lice_FillRect(benchmark::State& state)
{
  LiceImages img(false);
  for (auto _ : state)
  {
    LICE_FillRect(&img.dest, 0, 0, kWidth, kHeight, 0xFF336699, 1.0f, BLEND_COPY);
    benchmark::ClobberMemory();
  }
}
void Pixman_FillRect(benchmark::State& state)
{
  PixmanImages img(false);
  const pixman_color_t color{0x3333, 0x6666, 0x9999, 0xFFFF};
  const pixman_rectangle16_t rect{0, 0, (unsigned short)kWidth, (unsigned short)kHeight};
  for (auto _ : state)
  {
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, img.dest, &color, 1, &rect);
    benchmark::ClobberMemory();
  }
}

// The vector operations, each a batch of shapes per iteration as the editor draws
// them: one call per shape.
constexpr int kLines = 200, kCircles = 16, kPolygonSides = 24;
constexpr double kTwoPi = 6.283185307179586;

// Spokes from the window's centre to a ring around it.
void SpokeEnd(int i, int& x, int& y)
{
  const double a = kTwoPi * i / kLines;
  x = kWidth / 2 + (int)std::lround(std::sin(a) * 300.0);
  y = kHeight / 2 - (int)std::lround(std::cos(a) * 300.0);
}

float CircleRadius(int i) { return 12.0f + 10.0f * (float)i; }

void PolygonCorners(std::vector<int>& xs, std::vector<int>& ys)
{
  for (int i = 0; i < kPolygonSides; ++i)
  {
    const double a = kTwoPi * i / kPolygonSides;
    xs.push_back(kWidth / 2 + (int)std::lround(std::sin(a) * 310.0));
    ys.push_back(kHeight / 2 - (int)std::lround(std::cos(a) * 310.0));
  }
}

// A cairo context over the same kind of pixels, drawing opaque colour over them.
struct CairoImage
{
  std::vector<unsigned int> pixels;
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  CairoImage() : pixels((size_t)kWidth * kHeight)
  {
    Pattern(pixels.data(), kWidth, kHeight, kWidth, false);
    surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_ARGB32,
                                                  kWidth, kHeight, kWidth * 4);
    cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
  }
  ~CairoImage()
  {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
};

void Lice_AntiAliasedLine(benchmark::State& state)
{
  LiceImages img(false);
  for (auto _ : state)
  {
    for (int i = 0; i < kLines; ++i)
    {
      int x, y;
      SpokeEnd(i, x, y);
      LICE_Line(&img.dest, kWidth / 2, kHeight / 2, x, y, 0xFF336699, 1.0f, BLEND_COPY, true);
    }
    benchmark::ClobberMemory();
  }
}
void Cairo_AntiAliasedLine(benchmark::State& state)
{
  CairoImage img;
  cairo_set_line_width(img.cr, 1.0);
  for (auto _ : state)
  {
    for (int i = 0; i < kLines; ++i)
    {
      int x, y;
      SpokeEnd(i, x, y);
      cairo_move_to(img.cr, kWidth / 2 + 0.5, kHeight / 2 + 0.5);
      cairo_line_to(img.cr, x + 0.5, y + 0.5);
      cairo_stroke(img.cr);
    }
    cairo_surface_flush(img.surface);
    benchmark::ClobberMemory();
  }
}

void Lice_FilledCircle(benchmark::State& state)
{
  LiceImages img(false);
  for (auto _ : state)
  {
    for (int i = 0; i < kCircles; ++i)
      LICE_FillCircle(&img.dest, kWidth / 2.0f, kHeight / 2.0f, CircleRadius(i), 0xFF336699, 1.0f, BLEND_COPY, true);
    benchmark::ClobberMemory();
  }
}
void Cairo_FilledCircle(benchmark::State& state)
{
  CairoImage img;
  for (auto _ : state)
  {
    for (int i = 0; i < kCircles; ++i)
    {
      cairo_arc(img.cr, kWidth / 2.0 + 0.5, kHeight / 2.0 + 0.5, CircleRadius(i), 0.0, kTwoPi);
      cairo_fill(img.cr);
    }
    cairo_surface_flush(img.surface);
    benchmark::ClobberMemory();
  }
}

// Our polygon fill does not anti-alias; cairo is asked for the same.
void Lice_PolygonFill(benchmark::State& state)
{
  LiceImages img(false);
  std::vector<int> xs, ys;
  PolygonCorners(xs, ys);
  for (auto _ : state)
  {
    LICE_FillConvexPolygon(&img.dest, xs.data(), ys.data(), kPolygonSides, 0xFF336699, 1.0f, BLEND_COPY);
    benchmark::ClobberMemory();
  }
}
void Cairo_PolygonFill(benchmark::State& state)
{
  CairoImage img;
  std::vector<int> xs, ys;
  PolygonCorners(xs, ys);
  cairo_set_antialias(img.cr, CAIRO_ANTIALIAS_NONE);
  for (auto _ : state)
  {
    cairo_move_to(img.cr, xs[0] + 0.5, ys[0] + 0.5);
    for (int i = 1; i < kPolygonSides; ++i) cairo_line_to(img.cr, xs[(size_t)i] + 0.5, ys[(size_t)i] + 0.5);
    cairo_close_path(img.cr);
    cairo_fill(img.cr);
    cairo_surface_flush(img.surface);
    benchmark::ClobberMemory();
  }
}

// Each operation and the library it is measured against.
struct Comparison
{
  const char* operation;
  const char* peer;
};
const Comparison kComparisons[] = {{"OpaqueBlit", "Pixman"},       {"SourceAlphaBlit", "Pixman"},
                                   {"ScaledBilinearBlit", "Pixman"}, {"FillRect", "Pixman"},
                                   {"AntiAliasedLine", "Cairo"},     {"FilledCircle", "Cairo"},
                                   {"PolygonFill", "Cairo"}};

// Keeps the median of every benchmark as it is reported.
class MedianCollector : public benchmark::ConsoleReporter
{
public:
  std::map<std::string, double> medians;  // ns per iteration, by benchmark name

  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};
}  // namespace

int main(int argc, char** argv)
{
  struct Entry
  {
    const char* name;
    void (*fn)(benchmark::State&);
  };
  const Entry entries[] = {{"Lice_OpaqueBlit", Lice_OpaqueBlit},
                           {"Pixman_OpaqueBlit", Pixman_OpaqueBlit},
                           {"Lice_SourceAlphaBlit", Lice_SourceAlphaBlit},
                           {"Pixman_SourceAlphaBlit", Pixman_SourceAlphaBlit},
                           {"Lice_ScaledBilinearBlit", Lice_ScaledBilinearBlit},
                           {"Pixman_ScaledBilinearBlit", Pixman_ScaledBilinearBlit},
                           {"Lice_FillRect", Lice_FillRect},
                           {"Pixman_FillRect", Pixman_FillRect},
                           {"Lice_AntiAliasedLine", Lice_AntiAliasedLine},
                           {"Cairo_AntiAliasedLine", Cairo_AntiAliasedLine},
                           {"Lice_FilledCircle", Lice_FilledCircle},
                           {"Cairo_FilledCircle", Cairo_FilledCircle},
                           {"Lice_PolygonFill", Lice_PolygonFill},
                           {"Cairo_PolygonFill", Cairo_PolygonFill}};
  for (const Entry& e : entries)
    benchmark::RegisterBenchmark(e.name, e.fn)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-22s %12s %8s %12s %8s\n", "operation (770x650)", "ours (us)", "peer", "peer (us)", "ratio");
  for (const Comparison& c : kComparisons)
  {
    const auto ours = reporter.medians.find(std::string("Lice_") + c.operation);
    const auto theirs = reporter.medians.find(std::string(c.peer) + "_" + c.operation);
    if (ours == reporter.medians.end() || theirs == reporter.medians.end()) continue;
    std::printf("%-22s %12.1f %8s %12.1f %8.2f\n", c.operation, ours->second, c.peer, theirs->second,
                ours->second / theirs->second);
  }
  benchmark::Shutdown();
  return 0;
}
