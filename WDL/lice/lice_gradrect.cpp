#include "lice.h"
#include "lice_dispatch.h"
#include "lice_limits.h"
#include "lice_pixelrect.h"
#include "lice_surface.h"

#include <cstdint>
#include <initializer_list>

namespace
{
using std::int64_t;

// Start values and steps in 16.16 fixed point: red, green, blue in channel units,
// alpha in weight units.
struct GradientChannels
{
  int64_t r, g, b, a;
  GradientChannels& operator+=(const GradientChannels& o)
  {
    r += o.r, g += o.g, b += o.b, a += o.a;
    return *this;
  }
};

// Gradients steeper than this many full ranges per pixel are a caller's mistake.
constexpr double kMaxGradientValue = 65536.0;

// Components leave 0..255 by design (the clamping rules exist for them), and the
// walked alpha is also the weight: the rules run in int only while every value
// stays narrow.
bool StaysNarrow(const GradientChannels& start, const GradientChannels& across, const GradientChannels& down, int w,
                 int h)
{
  // The values are linear across the rectangle: the corners hold the extremes.
  constexpr int64_t bound = (lice::kNarrowLimit + 1) * 65536;
  for (int64_t i : {0, w - 1})
    for (int64_t j : {0, h - 1})
      for (int64_t v : {start.r + i * across.r + j * down.r, start.g + i * across.g + j * down.g,
                        start.b + i * across.b + j * down.b, start.a + i * across.a + j * down.a})
        if (v <= -bound || v >= bound) return false;
  return true;
}
}  // namespace

template <class Op>
struct _LICE_Template_Blit1
{
  template <class I>
  static void gradBlit(const lice::Surface& s, const lice::PixelRect& r, GradientChannels start,
                       const GradientChannels& across, const GradientChannels& down)
  {
    for (int y = 0; y < r.h; ++y, start += down)
    {
      unsigned int* p = s.at(r.x, r.y + y);
      GradientChannels v = start;
      for (int x = 0; x < r.w; ++x, v += across)
      {
        const I a = (I)(v.a / 65536);
        Op::template apply<I>(lice::Bytes(p + x), (I)(v.r / 65536), (I)(v.g / 65536), (I)(v.b / 65536), a, a);
      }
    }
  }
};

void LICE_GradRect(LICE_IBitmap* bmp, int x, int y, int w, int h, float ir, float ig, float ib, float ia, float drdx,
                   float dgdx, float dbdx, float dadx, float drdy, float dgdy, float dbdy, float dady, int mode)
{
  if (!bmp) return;
  for (float v : {ir, ig, ib, ia, drdx, dgdx, dbdx, dadx, drdy, dgdy, dbdy, dady})
    if (!lice::IsSane(v, kMaxGradientValue)) return;
  // The start moves by the steps times a negative origin: bounded like every
  // coordinate so that the fixed-point values fit.
  for (int v : {x, y, w, h})
    if (!lice::IsSaneCoordinate(v)) return;

  float r0 = ir * 255, g0 = ig * 255, b0 = ib * 255, a0 = ia * 256;
  drdx *= 255, dgdx *= 255, dbdx *= 255, dadx *= 256;
  drdy *= 255, dgdy *= 255, dbdy *= 255, dady *= 256;
  if (x < 0)
  {
    r0 -= x * drdx, g0 -= x * dgdx, b0 -= x * dbdx, a0 -= x * dadx;
    w += x;
    x = 0;
  }
  if (y < 0)
  {
    r0 -= y * drdy, g0 -= y * dgdy, b0 -= y * dbdy, a0 -= y * dady;
    h += y;
    y = 0;
  }
  lice::Surface s;
  lice::PixelRect r;
  if (!lice::SurfaceOf(bmp, s) || !lice::ClipToBitmap(x, y, w, h, s.width, s.height, r)) return;

  const auto fixed = [](float v) { return (int64_t)((double)v * 65536.0); };
  const GradientChannels start{fixed(r0), fixed(g0), fixed(b0), fixed(a0)};
  const GradientChannels across{fixed(drdx), fixed(dgdx), fixed(dbdx), fixed(dadx)};
  const GradientChannels down{fixed(drdy), fixed(dgdy), fixed(dbdy), fixed(dady)};
  const bool narrow = StaysNarrow(start, across, down, r.w, r.h);
  lice::DispatchClamped(mode, [&](auto op) {
    using Blit = _LICE_Template_Blit1<decltype(op)>;
    if (narrow) Blit::template gradBlit<int>(s, r, start, across, down);
    else Blit::template gradBlit<lice::Wide>(s, r, start, across, down);
  });
}
