#include "lice.h"
#include "lice_circle_drawer.h"
#include "lice_circle_masks.h"
#include "lice_dispatch.h"
#include "lice_limits.h"

#include <initializer_list>

void __DrawCircleClipped(LICE_IBitmap* dest, float cx, float cy, float r, unsigned int color, int weight, bool aa,
                         bool filled, int mode, const lice::ClipBox& clip, bool clipNeeded)
{
  lice::Surface s;
  if (!lice::MemoryRowsOf(dest, s) || clip.empty()) return;
  const lice::Rgba c = lice::Unpack(color);
  const auto draw = [&](auto op, const auto& anyClip) {
    using Drawer = _LICE_CircleDrawer<decltype(op)>;
    if (aa) Drawer::DrawClippedCircleAA(s, cx, cy, r, anyClip, c, weight, filled);
    else Drawer::DrawClippedCircle(s, cx, cy, r, anyClip, c, weight, filled);
  };
  const auto run = [&](auto op) {
    if (clipNeeded) draw(op, clip);
    else draw(op, lice::Unclipped{});
  };
  if (aa) lice::DispatchShape(mode, weight, run);
  else lice::DispatchShapeStore(mode, weight, run);
}

namespace
{
bool SaneCircle(float cx, float cy, float r)
{
  for (float v : {cx, cy, r})
    if (!lice::IsSaneCoordinate(v)) return false;
  return true;
}

// More than two pixels off the bitmap, judged on truncated values.
bool FarOutside(float cx, float cy, float r, int W, int H)
{
  const int x = (int)cx, y = (int)cy, radius = (int)r;
  return x + radius < -2 || y + radius < -2 || x - radius > W + 2 || y - radius > H + 2;
}

// True when the circle with a two-pixel margin lies inside the bitmap, so the
// drawers may skip the clip tests.
bool NeedsClip(float cx, float cy, float r, int W, int H)
{
  return !(cx - r - 2 >= 0 && cy - r - 2 >= 0 && W > cx + r + 2 && H > cy + r + 2);
}
}  // namespace

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, unsigned int color, float alpha, int mode, bool aa)
{
  if (!dest || !SaneCircle(cx, cy, r)) return;
  const int W = dest->getWidth(), H = dest->getHeight();
  if (r < 0 || W <= 0 || H <= 0 || FarOutside(cx, cy, r, W, H)) return;

  if (const lice::CircleMask* mask = lice::SmallCircleMask(r))
  {
    LICE_DrawGlyph(dest, (int)(cx - r), (int)(cy - r), color, aa ? mask->antialiased : mask->plain, mask->size,
                   mask->size, alpha, mode);
    return;
  }

  if (dest->isFlipped()) cy = (float)(H - 1) - cy;
  const int w = lice::WeightFromAlpha(alpha);
  if (w == 0) return;
  __DrawCircleClipped(dest, cx, cy, r, color, w, aa, false, mode, lice::ClipBox{0, 0, W, H},
                      NeedsClip(cx, cy, r, W, H));
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, unsigned int color, float alpha, int mode,
                     bool aa)
{
  if (!dest || !SaneCircle(cx, cy, r)) return;
  const int W = dest->getWidth(), H = dest->getHeight();
  if (dest->isFlipped()) cy = (float)(H - 1) - cy;
  const int w = lice::WeightFromAlpha(alpha);
  if (w == 0) return;
  if (r < 0 || W <= 0 || H <= 0 || FarOutside(cx, cy, r, W, H)) return;
  __DrawCircleClipped(dest, cx, cy, r, color, w, aa, true, mode, lice::ClipBox{0, 0, W, H},
                      NeedsClip(cx, cy, r, W, H));
}
