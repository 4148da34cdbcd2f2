#pragma once

#include "lice_sample.h"
#include "lice_surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace lice
{
// The destination run and where it starts sampling, after clipping.
struct ScaledWalk
{
  unsigned int* dest;
  std::ptrdiff_t destStep;
  int width, height;
  std::int64_t sx, sy;  // 16.16, relative to the box origin
  std::int64_t dx, dy;  // 16.16 advance per pixel and per row
};
}  // namespace lice

// The per-operation loops of the plain and the scaled blits.
template <class Op>
struct _LICE_Template_Blit2
{
  static void blit(unsigned int* dest, const unsigned int* src, int w, int h, std::ptrdiff_t srcStep,
                   std::ptrdiff_t destStep, int weight)
  {
    for (; h > 0; --h, dest += destStep, src += srcStep)
    {
      for (int x = 0; x < w; ++x)
      {
        const unsigned int p = src[x];
        Op::doPix(lice::Bytes(dest + x), lice::ChannelR(p), lice::ChannelG(p), lice::ChannelB(p), lice::ChannelA(p),
                  weight);
      }
    }
  }

  static void scaleBlit(const lice::ScaledWalk& walk, const lice::SourceBox& box, int weight, bool bilinear)
  {
    unsigned int* dest = walk.dest;
    std::int64_t t = walk.sy;
    for (int y = 0; y < walk.height; ++y, t += walk.dy, dest += walk.destStep)
    {
      std::int64_t s = walk.sx;
      lice::Rgba c;
      for (int x = 0; x < walk.width; ++x, s += walk.dx)
      {
        const bool inside = bilinear ? lice::SampleBilinear(box, s, t, c) : lice::SampleNearest(box, s, t, c);
        if (inside) lice::Combine<Op>(dest + x, c, weight);
      }
    }
  }

  // Strong reductions average a kernel of source pixels around each sample.
  static void scaleBlitFilterDown(const lice::ScaledWalk& walk, const lice::SourceBox& box, int weight, int kernel)
  {
    const int reach = kernel / 2;
    unsigned int* dest = walk.dest;
    std::int64_t t = walk.sy;
    for (int y = 0; y < walk.height; ++y, t += walk.dy, dest += walk.destStep)
    {
      const std::int64_t cy = t >> 16;
      if ((std::uint64_t)cy >= (std::uint64_t)box.height) continue;
      const int y0 = (int)std::max<std::int64_t>(cy - reach, 0), y1 = (int)std::min<std::int64_t>(cy + reach, box.height - 1);
      std::int64_t s = walk.sx;
      for (int x = 0; x < walk.width; ++x, s += walk.dx)
      {
        const std::int64_t cx = s >> 16;
        if ((std::uint64_t)cx >= (std::uint64_t)box.width) continue;
        const int x0 = (int)std::max<std::int64_t>(cx - reach, 0), x1 = (int)std::min<std::int64_t>(cx + reach, box.width - 1);
        int r = 0, g = 0, b = 0, a = 0;
        for (int ky = y0; ky <= y1; ++ky)
        {
          const unsigned int* row = box.origin + ky * box.step;
          for (int kx = x0; kx <= x1; ++kx)
          {
            const unsigned int p = row[kx];
            r += lice::ChannelR(p), g += lice::ChannelG(p), b += lice::ChannelB(p), a += lice::ChannelA(p);
          }
        }
        const int count = (y1 - y0 + 1) * (x1 - x0 + 1);
        Op::doPix(lice::Bytes(dest + x), r / count, g / count, b / count, a / count, weight);
      }
    }
  }
};
