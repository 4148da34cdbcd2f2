#include "lice_deltawalk.h"

#include "lice_dispatch.h"
#include "lice_limits.h"
#include "lice_sample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using std::int64_t;

namespace
{
using CombineFn = void (*)(unsigned char* dest, int r, int g, int b, int a, int weight);

// 16.16 positions and steps of one walk.
struct FixedWalk
{
  int64_t s, t, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
};

struct FixedAlpha
{
  int64_t a, dadx, dady, dadxdy;
};

int64_t Fixed(double v) { return (int64_t)(v * 65536.0); }

// The start may lie far outside the source (the walk can come back in); beyond
// this it cannot, within any bitmap the library accepts.
constexpr double kMaxStart = lice::kMaxCoordinate * lice::kMaxStep;
}  // namespace

// General steps: per pixel, per row, and per-row changes of the per-pixel steps.
struct _LICE_Template_Blit3
{
  static void deltaBlit(const lice::Surface& d, int dx, int dy, int w, int h, const lice::SourceBox& box, FixedWalk f,
                        int weight, bool bilinear, CombineFn combine)
  {
    for (int y = 0; y < h; ++y)
    {
      unsigned int* out = d.at(dx, dy + y);
      int64_t s = f.s, t = f.t;
      lice::Rgba c;
      for (int x = 0; x < w; ++x, s += f.dsdx, t += f.dtdx)
      {
        const bool inside = bilinear ? lice::SampleBilinear(box, s, t, c) : lice::SampleNearest(box, s, t, c);
        if (inside) combine(lice::Bytes(out + x), c.r, c.g, c.b, c.a, weight);
      }
      f.s += f.dsdy, f.t += f.dtdy, f.dsdx += f.dsdxdy, f.dtdx += f.dtdxdy;
    }
  }
};

// The same walk with a 16.16 weight walked alongside (1.0 = 65536, used as >> 8).
struct _LICE_Template_Blit4
{
  static void deltaBlitAlpha(const lice::Surface& d, int dx, int dy, int w, int h, const lice::SourceBox& box,
                             FixedWalk f, FixedAlpha fa, bool bilinear, CombineFn combine)
  {
    for (int y = 0; y < h; ++y)
    {
      unsigned int* out = d.at(dx, dy + y);
      int64_t s = f.s, t = f.t, a = fa.a;
      lice::Rgba c;
      for (int x = 0; x < w; ++x, s += f.dsdx, t += f.dtdx, a += fa.dadx)
      {
        const bool inside = bilinear ? lice::SampleBilinear(box, s, t, c) : lice::SampleNearest(box, s, t, c);
        if (inside) combine(lice::Bytes(out + x), c.r, c.g, c.b, c.a, lice::ClampWeight(a >> 8));
      }
      f.s += f.dsdy, f.t += f.dtdy, f.dsdx += f.dsdxdy, f.dtdx += f.dtdxdy;
      fa.a += fa.dady, fa.dadx += fa.dadxdy;
    }
  }
};

lice::SourceClip lice::DeltaSourceClip(LICE_IBitmap* src, bool cliptosourcerect, float srcx, float srcy, float srcw,
                                       float srch)
{
  const float width = (float)src->getWidth(), height = (float)src->getHeight();
  if (!cliptosourcerect) return SourceClip{0.0f, 0.0f, width, height};
  return SourceClip{std::max(srcx, 0.0f), std::max(srcy, 0.0f), std::min(srcx + srcw, width),
                    std::min(srcy + srch, height)};
}

void lice::DeltaWalk(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, DeltaMapping m,
                     const SourceClip& clip, float alpha, int mode, const AlphaMapping* alphaWalk)
{
  AlphaMapping am = alphaWalk ? *alphaWalk : AlphaMapping{};

  // Skipping rows above the destination moves the start down and changes the
  // per-pixel steps; skipping columns then moves it along the new steps.
  if (dsty < 0)
  {
    const double k = -(double)dsty;
    m.s += k * m.dsdy, m.t += k * m.dtdy;
    m.dsdx += k * m.dsdxdy, m.dtdx += k * m.dtdxdy;
    am.a += k * am.dady, am.dadx += k * am.dadxdy;
    dsth += dsty;
    dsty = 0;
  }
  if (dstx < 0)
  {
    const double j = -(double)dstx;
    m.s += j * m.dsdx, m.t += j * m.dtdx;
    m.dsdy += j * m.dsdxdy, m.dtdy += j * m.dtdxdy;
    am.a += j * am.dadx, am.dady += j * am.dadxdy;
    dstw += dstx;
    dstx = 0;
  }

  Surface d, s;
  if (!SurfaceOf(dest, d) || !SurfaceOf(src, s)) return;
  if (dstw <= 0 || dsth <= 0 || dstx >= d.width || dsty >= d.height) return;
  dstw = std::min(dstw, d.width - dstx);
  dsth = std::min(dsth, d.height - dsty);

  // The box in whole pixels, never outside the source.
  const int left = (int)std::clamp(clip.left, 0.0f, (float)s.width);
  const int top = (int)std::clamp(clip.top, 0.0f, (float)s.height);
  const int right = (int)std::clamp(clip.right, 0.0f, (float)s.width);
  const int bottom = (int)std::clamp(clip.bottom, 0.0f, (float)s.height);
  if (right - left < 1 || bottom - top < 1) return;

  m.s -= left, m.t -= top;
  for (double v : {m.dsdx, m.dtdx, m.dsdy, m.dtdy, m.dsdxdy, m.dtdxdy, am.dadx, am.dady, am.dadxdy})
    if (!IsSaneStep(v)) return;
  if (!IsSane(m.s, kMaxStart) || !IsSane(m.t, kMaxStart) || !IsSane(am.a, kMaxStart)) return;

  const SourceBox box{s.at(left, top), s.step, right - left, bottom - top};
  const FixedWalk f{Fixed(m.s),    Fixed(m.t),    Fixed(m.dsdx),   Fixed(m.dtdx),
                    Fixed(m.dsdy), Fixed(m.dtdy), Fixed(m.dsdxdy), Fixed(m.dtdxdy)};
  const bool bilinear = (mode & BLEND_FILTER_MASK) == BLEND_FILTER_BILINEAR;

  if (alphaWalk)
  {
    const FixedAlpha fa{Fixed(am.a), Fixed(am.dadx), Fixed(am.dady), Fixed(am.dadxdy)};
    DispatchClamped(mode, [&](auto op) {
      _LICE_Template_Blit4::deltaBlitAlpha(d, dstx, dsty, dstw, dsth, box, f, fa, bilinear, &decltype(op)::doPix);
    });
    return;
  }

  const int w = WeightFromAlpha(alpha);
  DispatchBlit(mode, w, [&](auto op) {
    _LICE_Template_Blit3::deltaBlit(d, dstx, dsty, dstw, dsth, box, f, w, bilinear, &decltype(op)::doPix);
  });
}
