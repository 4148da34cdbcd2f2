#include "lice.h"
#include "lice_dispatch.h"
#include "lice_line_class.h"
#include "lice_lineclip.h"
#include "lice_packed.h"
#include "lice_surface.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace
{
using lice::Surface;

// Copy mode at the alphas that have a packed rule: the exact values 1, 1/2, 1/4 and
// 3/4. Returns false for any other alpha.
template <class Visit>
bool PackedRun(float alpha, unsigned int color, Visit visit)
{
  if (alpha == 1.0f)
    visit([color](unsigned int* p) { _LICE_CombinePixelsClobberFAST::doPix(p, color); });
  else if (alpha == 0.5f)
    visit([color](unsigned int* p) { _LICE_CombinePixelsHalfMix2FAST::doPix(p, color); });
  else if (alpha == 0.25f)
    visit([color](unsigned int* p) { _LICE_CombinePixelsQuarterMix2FAST::doPix(p, color); });
  else if (alpha == 0.75f)
    visit([color](unsigned int* p) { _LICE_CombinePixelsThreeQuarterMix2FAST::doPix(p, color); });
  else
    return false;
  return true;
}

// A horizontal or vertical run of n pixels from p, step apart.
void DrawRun(unsigned int* p, std::ptrdiff_t step, int n, unsigned int color, float alpha, int mode)
{
  const bool copy = (mode & BLEND_OP_MASK) == BLEND_COPY;
  if (copy && PackedRun(alpha, color, [&](auto packed) {
        for (int i = 0; i < n; ++i) packed(p + i * step);
      }))
    return;
  const lice::Rgba c = lice::Unpack(color);
  const int w = lice::WeightFromAlpha(alpha);
  lice::DispatchShapeStore(mode, w, [&](auto op) {
    using Line = __LICE_LineClassSimple<decltype(op)>;
    if (step == 1) Line::LICE_HorizLine(p, n, c, w);
    else Line::LICE_VertLine(p, step, n, c, w);
  });
}

// An exact diagonal of n steps from p.
void DrawDiagonal(unsigned int* p, std::ptrdiff_t span, int n, int xstep, std::ptrdiff_t ystep, unsigned int color,
                  float alpha, int mode, bool aa)
{
  const bool copy = (mode & BLEND_OP_MASK) == BLEND_COPY;
  if (copy && alpha == 1.0f)
  {
    if (!aa)
    {
      for (int i = 0; i <= n; ++i) p[i * (xstep + ystep)] = color;
      return;
    }
    _LICE_CombinePixelsThreeQuarterMix2FAST::doPix(p, color);
    for (int i = 0; i < n; ++i)
    {
      _LICE_CombinePixelsQuarterMix2FAST::doPix(p + xstep, color);
      _LICE_CombinePixelsQuarterMix2FAST::doPix(p + ystep, color);
      p += xstep + ystep;
      _LICE_CombinePixelsThreeQuarterMix2FAST::doPix(p, color);
    }
    return;
  }
  const lice::Rgba c = lice::Unpack(color);
  const int w = lice::WeightFromAlpha(alpha);
  if (aa)
    lice::DispatchShape(mode, w, [&](auto op) {
      __LICE_LineClassSimple<decltype(op)>::LICE_DiagLineAA(p, span, n, xstep, ystep, c, w);
    });
  else
    lice::DispatchShapeStore(mode, w, [&](auto op) {
      __LICE_LineClassSimple<decltype(op)>::LICE_DiagLine(p, span, n, xstep, ystep, c, w);
    });
}

// Any other slope: walked along the major axis from the end with the smaller major
// coordinate.
void DrawSloped(const Surface& s, int x1, int y1, int x2, int y2, unsigned int color, float alpha, int mode, bool aa)
{
  int dx = x2 - x1, dy = y2 - y1;
  const bool xMajor = std::abs(dx) > std::abs(dy);
  if ((xMajor ? dx : dy) < 0)
  {
    std::swap(x1, x2);
    std::swap(y1, y2);
    dx = -dx, dy = -dy;
  }
  const int n = xMajor ? dx : dy;
  const int minorDelta = xMajor ? dy : dx;
  const int slope = (int)((double)std::abs(minorDelta) / (double)n * 65536.0);
  const std::ptrdiff_t majorStep = xMajor ? 1 : s.step;
  std::ptrdiff_t minorStep = xMajor ? s.step : 1;
  if (minorDelta < 0) minorStep = -minorStep;

  const int w = lice::WeightFromAlpha(alpha);
  const lice::Rgba c = lice::Unpack(color);
  unsigned int* start = s.at(x1, y1);
  unsigned int* end = s.at(x2, y2);
  const auto run = [&](auto op) {
    __LICE_LineClass<decltype(op)>::LICE_LineImpl(start, end, slope, majorStep, n, minorStep, c, w, aa);
  };
  if (aa) lice::DispatchShape(mode, w, run);
  else lice::DispatchShapeStore(mode, w, run);
}
}  // namespace

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, unsigned int color, float alpha, int mode, bool aa)
{
  // Rows in memory order: a bottom-up bitmap has its ends mirrored first, so the
  // walk's starting end is the same as for any other bitmap of that layout.
  Surface s;
  if (!lice::MemoryRowsOf(dest, s)) return;
  std::int64_t lx1 = x1, ly1 = y1, lx2 = x2, ly2 = y2;
  if (dest->isFlipped())
  {
    ly1 = s.height - 1 - ly1;
    ly2 = s.height - 1 - ly2;
  }
  if (!lice::ClipLine(lx1, ly1, lx2, ly2, s.width, s.height)) return;
  x1 = (int)lx1, y1 = (int)ly1, x2 = (int)lx2, y2 = (int)ly2;

  if (y1 == y2)
  {
    const int left = x1 < x2 ? x1 : x2;
    DrawRun(s.at(left, y1), 1, std::abs(x2 - x1) + 1, color, alpha, mode);
  }
  else if (x1 == x2)
  {
    const int top = y1 < y2 ? y1 : y2;
    DrawRun(s.at(x1, top), s.step, std::abs(y2 - y1) + 1, color, alpha, mode);
  }
  else if (std::abs(x2 - x1) == std::abs(y2 - y1))
  {
    const int xstep = x1 < x2 ? 1 : -1;
    const std::ptrdiff_t ystep = y1 < y2 ? s.step : -s.step;
    DrawDiagonal(s.at(x1, y1), s.step, std::abs(x2 - x1), xstep, ystep, color, alpha, mode, aa);
  }
  else
    DrawSloped(s, x1, y1, x2, y2, color, alpha, mode, aa);
}
