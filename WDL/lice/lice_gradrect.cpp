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
}  // namespace

template <class Op>
struct _LICE_Template_Blit1
{
  static void gradBlit(const lice::Surface& s, const lice::PixelRect& r, GradientChannels start,
                       const GradientChannels& across, const GradientChannels& down)
  {
    for (int y = 0; y < r.h; ++y, start += down)
    {
      unsigned int* p = s.at(r.x, r.y + y);
      GradientChannels v = start;
      for (int x = 0; x < r.w; ++x, v += across)
      {
        const int64_t a = v.a / 65536;
        Op::doPix(lice::Bytes(p + x), lice::BoundComponent(v.r / 65536), lice::BoundComponent(v.g / 65536),
                  lice::BoundComponent(v.b / 65536), lice::BoundComponent(a), lice::ClampWeight(a));
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
  lice::DispatchClamped(mode, [&](auto op) { _LICE_Template_Blit1<decltype(op)>::gradBlit(s, r, start, across, down); });
}
