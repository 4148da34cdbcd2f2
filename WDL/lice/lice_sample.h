#pragma once

#include "lice_surface.h"

#include <cstddef>
#include <cstdint>

// Sampling a source clip box at 16.16 positions relative to its origin. Integer
// parts are compared unsigned, so a negative position counts as outside.
namespace lice
{
struct SourceBox
{
  const unsigned int* origin;  // pixel (0, 0) of the box
  std::ptrdiff_t step;         // pixels per row
  int width, height;

  bool contains(std::int64_t cx, std::int64_t cy) const
  {
    return (std::uint64_t)cx < (std::uint64_t)width && (std::uint64_t)cy < (std::uint64_t)height;
  }
};

struct Rgba
{
  int r, g, b, a;
};

inline Rgba Unpack(unsigned int p) { return Rgba{ChannelR(p), ChannelG(p), ChannelB(p), ChannelA(p)}; }

inline bool SampleNearest(const SourceBox& box, std::int64_t s, std::int64_t t, Rgba& out)
{
  const std::int64_t cx = s >> 16, cy = t >> 16;
  if (!box.contains(cx, cy)) return false;
  out = Unpack(box.origin[cy * box.step + cx]);
  return true;
}

// The four neighbours weighted by the fractions; in the last column only the
// vertical pair counts, in the last row only the horizontal pair.
inline Rgba Bilinear(const unsigned int* p00, std::ptrdiff_t step, int fx, int fy, bool lastColumn, bool lastRow)
{
  if (lastColumn) fx = 0;
  if (lastRow) fy = 0;
  const unsigned int a = p00[0];
  const unsigned int b = lastColumn ? a : p00[1];
  const unsigned int c = lastRow ? a : p00[step];
  const unsigned int d = lastColumn ? c : lastRow ? b : p00[step + 1];
  const int w11 = (int)(((unsigned int)fx * (unsigned int)fy) >> 16);
  const int w10 = fx - w11, w01 = fy - w11, w00 = 0x10000 - fx - fy + w11;
  const auto mix = [&](int shift) {
    const int va = (a >> shift) & 0xFF, vb = (b >> shift) & 0xFF, vc = (c >> shift) & 0xFF, vd = (d >> shift) & 0xFF;
    return (va * w00 + vb * w10 + vc * w01 + vd * w11) >> 16;
  };
  return Rgba{mix(16), mix(8), mix(0), mix(24)};
}

inline bool SampleBilinear(const SourceBox& box, std::int64_t s, std::int64_t t, Rgba& out)
{
  const std::int64_t cx = s >> 16, cy = t >> 16;
  if (!box.contains(cx, cy)) return false;
  out = Bilinear(box.origin + cy * box.step + cx, box.step, (int)(s & 0xFFFF), (int)(t & 0xFFFF), cx == box.width - 1,
                 cy == box.height - 1);
  return true;
}

template <class Op>
inline void Combine(unsigned int* dest, const Rgba& c, int weight)
{
  Op::doPix(Bytes(dest), c.r, c.g, c.b, c.a, weight);
}
}  // namespace lice
