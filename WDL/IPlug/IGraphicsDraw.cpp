// IGraphics: the drawing primitives the controls draw with, all into the back buffer
// and, during a frame, only inside the area being redrawn.

#include "IGraphics.h"
#include "IGraphicsDrawArea.h"
#include "lice.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace
{
// Float positions far outside any bitmap, and NaN, become positions that draw nothing
// rather than undefined integer conversions.
constexpr double kMaxCoordinate = 1 << 24;

int ToInt(double v)
{
  if (std::isnan(v)) return static_cast<int>(-kMaxCoordinate);
  return static_cast<int>(std::clamp(v, -kMaxCoordinate, kMaxCoordinate));
}

int RoundToInt(double v)
{
  return ToInt(v + 0.5);
}

bool Drawable(const IBitmap* bitmap)
{
  return bitmap && bitmap->mBitmap;
}
}  // namespace

IRECT IGraphics::ClipToDrawArea(const IRECT& dest) const
{
  return dest.Intersect(mDrawArea);
}

IGraphics::DrawTarget IGraphics::Target()
{
  if (mDrawArea.Empty()) return DrawTarget{mBackBuffer, 0, 0};
  mDrawAreaView->Set(mBackBuffer, mDrawArea);
  return DrawTarget{mDrawAreaView, mDrawAreaView->OffsetX(), mDrawAreaView->OffsetY()};
}

unsigned int* IGraphics::GetBits()
{
  return mBackBuffer ? mBackBuffer->getBits() : nullptr;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend)
{
  if (!Drawable(bitmap) || !dest) return true;
  const IRECT area = ClipToDrawArea(*dest);
  if (area.Empty()) return true;
  LICE_Blit(mBackBuffer, bitmap->mBitmap, area.L, area.T, srcX + area.L - dest->L, srcY + area.T - dest->T, area.W(),
            area.H(), LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend)
{
  if (!Drawable(bitmap)) return true;
  int srcX = 0, srcY = 0;
  if (frame >= 2 && bitmap->N >= 2)
  {
    if (bitmap->mHorizontal) srcX = static_cast<int>((frame - 1) * bitmap->W / static_cast<double>(bitmap->N) + 0.5);
    else srcY = static_cast<int>((frame - 1) * bitmap->H / static_cast<double>(bitmap->N) + 0.5);
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg,
                                  const IChannelBlend* blend)
{
  if (!Drawable(bitmap)) return true;
  const int w = bitmap->W, h = bitmap->H;
  const DrawTarget t = Target();
  LICE_RotatedBlit(t.bitmap, bitmap->mBitmap, destCtrX - w / 2 - t.x, destCtrY - h / 2 - t.y, w, h, 0.0f, 0.0f,
                   static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle), false, LiceWeight(blend),
                   LiceBlendMode(blend) | BLEND_FILTER_BILINEAR, 0.0f, static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                                const IChannelBlend* blend)
{
  if (!Drawable(base)) return true;
  const int w = base->W, h = base->H;
  const float radians = static_cast<float>(angle * std::numbers::pi / 180.0);
  if (!mScratchBitmap) mScratchBitmap = new LICE_MemBitmap(0, 0, 4);
  LICE_Copy(mScratchBitmap, base->mBitmap);
  LICE_ClearRect(mScratchBitmap, 0, 0, w, h, 0xFFFFFF, 0);
  const float centreX = (w & 1) ? -0.5f : 0.0f;
  const auto layer = [&](const IBitmap* image, int mode) {
    if (Drawable(image))
      LICE_RotatedBlit(mScratchBitmap, image->mBitmap, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(image->W),
                       static_cast<float>(image->H), radians, true, 1.0f,
                       mode | BLEND_FILTER_BILINEAR | BLEND_SOURCE_ALPHA, centreX, 0.0f);
  };
  layer(mask, BLEND_ADD);
  layer(top, BLEND_COPY);
  const IRECT area = ClipToDrawArea(IRECT(x, y, x + w, y + h));
  if (!area.Empty())
    LICE_Blit(mBackBuffer, mScratchBitmap, area.L, area.T, area.L - x, area.T - y, area.W(), area.H(),
              LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_PutPixel(t.bitmap, RoundToInt(x) - t.x, RoundToInt(y) - t.y, LiceColor(*color), LiceWeight(blend),
                LiceBlendMode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y)
{
  if (!color || !mBackBuffer || !mBackBuffer->getBits()) return true;
  if (x < 0 || y < 0 || x >= mBackBuffer->getWidth() || y >= mBackBuffer->getHeight()) return true;
  mBackBuffer->getBits()[static_cast<long>(y) * mBackBuffer->getRowSpan() + x] = LiceColor(*color);
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend,
                         bool aa)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_Line(t.bitmap, ToInt(x1) - t.x, ToInt(y1) - t.y, ToInt(x2) - t.x, ToInt(y2) - t.y, LiceColor(*color),
            LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* blend, bool aa)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_Arc(t.bitmap, cx - t.x, cy - t.y, r, minAngle, maxAngle, LiceColor(*color), LiceWeight(blend),
           LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend, bool aa)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_Circle(t.bitmap, cx - t.x, cy - t.y, r, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa)
{
  if (!color || !r) return true;
  const DrawTarget t = Target();
  LICE_RoundRect(t.bitmap, static_cast<float>(r->L - t.x), static_cast<float>(r->T - t.y), static_cast<float>(r->W()),
                 static_cast<float>(r->H()), cornerRadius, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend),
                 aa);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa)
{
  if (!color || !r) return true;
  const unsigned int pixel = LiceColor(*color);
  const float weight = LiceWeight(blend);
  const int mode = LiceBlendMode(blend), c = cornerRadius;
  const DrawTarget t = Target();
  const int L = r->L - t.x, T = r->T - t.y, R = r->R - t.x, B = r->B - t.y;
  LICE_FillRect(t.bitmap, L + c, T, r->W() - 2 * c, r->H(), pixel, weight, mode);
  LICE_FillRect(t.bitmap, L, T + c, c, r->H() - 2 * c, pixel, weight, mode);
  LICE_FillRect(t.bitmap, R - c, T + c, c, r->H() - 2 * c, pixel, weight, mode);
  const auto disc = [&](int cx, int cy) {
    LICE_FillCircle(t.bitmap, static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(c), pixel, weight,
                    mode, aa);
  };
  disc(L + c, T + c);
  disc(R - c - 1, B - c - 1);
  disc(R - c - 1, T + c);
  disc(L + c, B - c - 1);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend)
{
  if (!color || !r) return true;
  const DrawTarget t = Target();
  LICE_FillRect(t.bitmap, r->L - t.x, r->T - t.y, r->W(), r->H(), LiceColor(*color), LiceWeight(blend),
                LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool aa)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_FillCircle(t.bitmap, static_cast<float>(cx - t.x), static_cast<float>(cy - t.y), r, LiceColor(*color),
                  LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* blend)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_FillTriangle(t.bitmap, x1 - t.x, y1 - t.y, x2 - t.x, y2 - t.y, x3 - t.x, y3 - t.y, LiceColor(*color),
                    LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend)
{
  if (!color || !x || !y || npoints <= 0) return true;
  const DrawTarget t = Target();
  std::vector<int> xs(x, x + npoints), ys(y, y + npoints);
  for (int i = 0; i < npoints; ++i) xs[i] -= t.x, ys[i] -= t.y;
  LICE_FillConvexPolygon(t.bitmap, xs.data(), ys.data(), npoints, LiceColor(*color), LiceWeight(blend),
                         LiceBlendMode(blend));
  return true;
}

IColor IGraphics::GetPoint(int x, int y)
{
  const unsigned int p = LICE_GetPixel(mBackBuffer, x, y);
  return IColor(static_cast<int>(p >> 24), (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_Line(t.bitmap, xi - t.x, yLo - t.y, xi - t.x, yHi - t.y, LiceColor(*color), 1.0f, BLEND_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi)
{
  if (!color) return true;
  const DrawTarget t = Target();
  LICE_Line(t.bitmap, xLo - t.x, yi - t.y, xHi - t.x, yi - t.y, LiceColor(*color), 1.0f, BLEND_COPY, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* r, float x)
{
  if (!r) return true;
  return DrawVerticalLine(color, r->L + ToInt(r->W() * std::clamp(x, 0.0f, 1.0f)), r->T, r->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* r, float y)
{
  if (!r) return true;
  return DrawHorizontalLine(color, r->B - ToInt(r->H() * std::clamp(y, 0.0f, 1.0f)), r->L, r->R);
}

bool IGraphics::DrawRect(const IColor* color, IRECT* r)
{
  if (!r) return true;
  DrawHorizontalLine(color, r->T, r->L, r->R);
  DrawHorizontalLine(color, r->B, r->L, r->R);
  DrawVerticalLine(color, r->L, r->T, r->B);
  DrawVerticalLine(color, r->R, r->T, r->B);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* blend, bool aa)
{
  if (!color) return true;
  const double s = std::sin(angle), c = std::cos(angle);
  const DrawTarget t = Target();
  LICE_Line(t.bitmap, ToInt(cx + s * rMin) - t.x, ToInt(cy - c * rMin) - t.y, ToInt(cx + s * rMax) - t.x,
            ToInt(cy - c * rMax) - t.y, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}
