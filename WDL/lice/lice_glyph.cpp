#include "lice.h"
#include "lice_dispatch.h"
#include "lice_sample.h"
#include "lice_surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace
{
// The part of a glyph_w x glyph_h mask at (x, y) that lands in the bitmap.
struct GlyphPlacement
{
  unsigned int* dest;          // first destination pixel
  std::ptrdiff_t destStep;     // pixels from one logical row to the next
  const unsigned char* row;    // the mask row drawn first
  std::ptrdiff_t maskStep;     // bytes from one mask row to the next (may be negative)
  int skipColumns;             // mask columns left of the bitmap
  int width, height;           // visible size
  int weight;
};

bool Place(LICE_IBitmap* dest, int x, int y, const unsigned char* alphas, int glyph_w, int glyph_span, int glyph_h,
           float alpha, GlyphPlacement& out)
{
  if (!dest || !alphas) return false;
  const std::int64_t gx = x, gy = y, gw = glyph_w, gh = glyph_h;
  if (gx <= -gw || gy <= -gh) return false;
  std::int64_t visibleW = gw + std::min<std::int64_t>(gx, 0), visibleH = gh + std::min<std::int64_t>(gy, 0);
  if (visibleW < 0 || visibleH < 0) return false;
  lice::Surface s;
  if (!lice::SurfaceOf(dest, s)) return false;
  const int column = std::max(x, 0), row = std::max(y, 0);
  if (column >= s.width || row >= s.height) return false;
  visibleW = std::min<std::int64_t>(visibleW, s.width - column);
  visibleH = std::min<std::int64_t>(visibleH, s.height - row);
  if (visibleW < 1 || visibleH < 1) return false;
  const int w = lice::WeightFromAlpha(alpha);
  if (w == 0) return false;

  // A negative span stores the rows bottom-up: the top row is the last in memory.
  const std::ptrdiff_t span = glyph_span;
  const unsigned char* top = span < 0 ? alphas + (gh - 1) * -span : alphas;
  if (gy < 0) top += -gy * span;
  out = GlyphPlacement{s.at(column, row), s.step, top, span, gx < 0 ? (int)-gx : 0, (int)visibleW, (int)visibleH, w};
  return true;
}
}  // namespace

// Row blenders over one combine operation: each covered mask pixel combines the
// colour at the call's weight scaled by its coverage.
template <class Op>
struct GlyphDrawImpl
{
  static void DrawGlyph(const GlyphPlacement& g, const lice::Rgba& c)
  {
    const unsigned char* mask = g.row + g.skipColumns;
    unsigned int* dest = g.dest;
    for (int y = 0; y < g.height; ++y, mask += g.maskStep, dest += g.destStep)
      for (int x = 0; x < g.width; ++x)
        if (const int v = mask[x]) lice::Combine<Op>(dest + x, c, g.weight * v / 256);
  }

  static void DrawGlyphMono(const GlyphPlacement& g, const lice::Rgba& c)
  {
    const int w = g.weight * 255 / 256;
    const unsigned char* mask = g.row;
    unsigned int* dest = g.dest;
    for (int y = 0; y < g.height; ++y, mask += g.maskStep, dest += g.destStep)
      for (int x = 0; x < g.width; ++x)
      {
        const int bit = x + g.skipColumns;
        if (mask[bit >> 3] & (0x80 >> (bit & 7))) lice::Combine<Op>(dest + x, c, w);
      }
  }
};

void LICE_DrawGlyphEx(LICE_IBitmap* dest, int x, int y, unsigned int color, const unsigned char* alphas, int glyph_w,
                      int glyph_span, int glyph_h, float alpha, int mode)
{
  GlyphPlacement g;
  if (!Place(dest, x, y, alphas, glyph_w, glyph_span, glyph_h, alpha, g)) return;
  const lice::Rgba c = lice::Unpack(color);
  lice::DispatchShape(mode, g.weight, [&](auto op) { GlyphDrawImpl<decltype(op)>::DrawGlyph(g, c); });
}

void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, unsigned int color, const unsigned char* alphas, int glyph_w,
                    int glyph_h, float alpha, int mode)
{
  LICE_DrawGlyphEx(dest, x, y, color, alphas, glyph_w, glyph_w, glyph_h, alpha, mode);
}

void LICE_DrawMonoGlyph(LICE_IBitmap* dest, int x, int y, unsigned int color, const unsigned char* alphas, int glyph_w,
                        int glyph_span, int glyph_h, float alpha, int mode)
{
  GlyphPlacement g;
  if (!Place(dest, x, y, alphas, glyph_w, glyph_span, glyph_h, alpha, g)) return;
  const lice::Rgba c = lice::Unpack(color);
  lice::DispatchShape(mode, g.weight, [&](auto op) { GlyphDrawImpl<decltype(op)>::DrawGlyphMono(g, c); });
}
