#include "raster_bench_agreement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace raster_bench
{
namespace
{
int Channel(std::uint32_t p, int shift) { return (int)(p >> shift) & 0xFF; }

bool IsEdge(const std::uint32_t* theirs, const std::uint32_t* before, int width, int height, int x, int y,
            std::uint32_t shapeColour)
{
  constexpr int kReach = 2;
  bool untouched = false, inside = false;
  for (int v = std::max(0, y - kReach); v <= std::min(height - 1, y + kReach); ++v)
    for (int u = std::max(0, x - kReach); u <= std::min(width - 1, x + kReach); ++u)
    {
      const size_t i = (size_t)v * width + u;
      untouched |= theirs[i] == before[i];
      inside |= theirs[i] == shapeColour;
    }
  return untouched && inside;
}
}  // namespace

Agreement Compare(const std::uint32_t* ours, int oursStride, const std::uint32_t* theirs, const std::uint32_t* before,
                  int width, int height, std::uint32_t shapeColour, const Tolerance& tolerance)
{
  Agreement out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
    {
      const std::uint32_t a = ours[(size_t)y * oursStride + x], b = theirs[(size_t)y * width + x];
      const std::uint32_t o = before[(size_t)y * width + x];
      int largest = 0;
      for (int shift : {0, 8, 16, 24})
      {
        largest = std::max(largest, std::abs(Channel(a, shift) - Channel(b, shift)));
        out.inkOurs += std::abs(Channel(a, shift) - Channel(o, shift));
        out.inkTheirs += std::abs(Channel(b, shift) - Channel(o, shift));
      }
      if (largest > tolerance.perChannel && tolerance.edgesExempt &&
          IsEdge(theirs, before, width, height, x, y, shapeColour))
      {
        ++out.edges;
        continue;
      }
      out.largest = std::max(out.largest, largest);
      if (largest > tolerance.perChannel) ++out.over;
    }
  const bool inkAgrees =
      tolerance.ink < 0 || (out.inkTheirs > 0 && std::fabs(out.inkOurs / out.inkTheirs - 1) <= tolerance.ink);
  out.agrees = out.over == 0 && inkAgrees;
  return out;
}
}  // namespace raster_bench
