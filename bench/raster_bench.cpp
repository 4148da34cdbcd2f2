// Times the raster library's common operations beside pixman doing the same work
// on the same sizes, and prints our median time over pixman's per operation.

#include "lice.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

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

const char* const kOperations[] = {"OpaqueBlit", "SourceAlphaBlit", "ScaledBilinearBlit", "FillRect"};

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
                           {"Pixman_FillRect", Pixman_FillRect}};
  for (const Entry& e : entries)
    benchmark::RegisterBenchmark(e.name, e.fn)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-22s %12s %12s %8s\n", "operation (770x650)", "ours (us)", "pixman (us)", "ratio");
  for (const char* op : kOperations)
  {
    const auto ours = reporter.medians.find(std::string("Lice_") + op);
    const auto theirs = reporter.medians.find(std::string("Pixman_") + op);
    if (ours == reporter.medians.end() || theirs == reporter.medians.end()) continue;
    std::printf("%-22s %12.1f %12.1f %8.2f\n", op, ours->second, theirs->second, ours->second / theirs->second);
  }
  benchmark::Shutdown();
  return 0;
}
