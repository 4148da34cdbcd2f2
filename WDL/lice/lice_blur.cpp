#include "lice.h"
#include "lice_packed.h"
#include "lice_scratch.h"
#include "lice_surface.h"

#include <algorithm>
#include <cstring>

namespace
{
using lice::Eighth;
using lice::Half;
using lice::Quarter;

// One output row: half the centre, a quarter shared by the horizontal neighbours
// (an eighth each, or a quarter for the one neighbour at an edge), and likewise a
// quarter for the rows above and below. Each term is shifted per byte, so the sum
// never carries between channels.
void BlurRow(unsigned int* out, const unsigned int* above, const unsigned int* centre, const unsigned int* below,
             int width)
{
  const auto vertical = [&](int x) {
    if (!above) return Quarter(below[x]);
    if (!below) return Quarter(above[x]);
    return Eighth(above[x]) + Eighth(below[x]);
  };
  out[0] = Half(centre[0]) + Quarter(centre[1]) + vertical(0);
  for (int x = 1; x < width - 1; ++x) out[x] = Half(centre[x]) + Eighth(centre[x - 1]) + Eighth(centre[x + 1]) + vertical(x);
  out[width - 1] = Half(centre[width - 1]) + Quarter(centre[width - 2]) + vertical(width - 1);
}
}  // namespace

void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch)
{
  lice::Surface d, s;
  if (!lice::SurfaceOf(dest, d) || !lice::SurfaceOf(src, s)) return;

  const long long right = std::min<long long>((long long)srcx + srcw, s.width);
  const long long bottom = std::min<long long>((long long)srcy + srch, s.height);
  const long long sx = std::max(srcx, 0) + std::max(-(long long)dstx, 0ll);
  const long long sy = std::max(srcy, 0) + std::max(-(long long)dsty, 0ll);
  const int dx = std::max(dstx, 0), dy = std::max(dsty, 0);
  if (sx >= right || sy >= bottom || dx >= d.width || dy >= d.height) return;
  const int width = (int)(std::min(right, sx + d.width - dx) - sx);
  const int height = (int)(std::min(bottom, sy + d.height - dy) - sy);
  if (width < 2 || height < 2) return;

  const bool sameBitmap = d.origin == s.origin;
  const bool inPlace = sameBitmap && sx == dx && sy == dy;
  // Onto an overlapping other part of the same bitmap: blur from a copy. Working
  // memory that cannot be had means no blur rather than an exception.
  lice::ScratchBuffer<unsigned int, 0> copy(sameBitmap && !inPlace ? (size_t)width * height : 0);
  if (!copy.ok()) return;
  const unsigned int* source = s.at((int)sx, (int)sy);
  std::ptrdiff_t sourceStep = s.step;
  if (sameBitmap && !inPlace)
  {
    for (int y = 0; y < height; ++y)
      std::memcpy(&copy[(size_t)y * width], s.at((int)sx, (int)sy + y), (size_t)width * sizeof(unsigned int));
    source = copy.data();
    sourceStep = width;
  }

  // In place, each row is saved before it is overwritten, so every neighbour is
  // read as it was before the blur: two saved rows suffice.
  constexpr int kStackRowPixels = 1024;
  lice::ScratchBuffer<unsigned int, 2 * kStackRowPixels> saved(inPlace ? (size_t)2 * width : 0);
  if (!saved.ok()) return;

  const unsigned int* previous = nullptr;  // the row above, as it was
  for (int y = 0; y < height; ++y)
  {
    const unsigned int* centre = source + y * sourceStep;
    const unsigned int* below = y + 1 < height ? centre + sourceStep : nullptr;
    unsigned int* out = d.at(dx, dy + y);
    if (inPlace)
    {
      unsigned int* keep = saved.data() + (y & 1) * width;
      std::memcpy(keep, centre, (size_t)width * sizeof(unsigned int));
      centre = keep;
    }
    BlurRow(out, previous, centre, below, width);
    previous = centre;
  }
}
