// IGraphics: the drawing primitives the controls draw with, all into the back buffer.
// Bitmaps are clipped to the area being redrawn; everything else draws where it is asked.

#include "IGraphics.h"
#include "lice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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
  LICE_RotatedBlit(mBackBuffer, bitmap->mBitmap, destCtrX - w / 2, destCtrY - h / 2, w, h, 0.0f, 0.0f,
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
  if (Drawable(mask))
    LICE_RotatedBlit(mScratchBitmap, mask->mBitmap, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(mask->W),
                     static_cast<float>(mask->H), radians, true, 1.0f,
                     BLEND_ADD | BLEND_FILTER_BILINEAR | BLEND_SOURCE_ALPHA, centreX, 0.0f);
  if (Drawable(top))
    LICE_RotatedBlit(mScratchBitmap, top->mBitmap, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(top->W),
                     static_cast<float>(top->H), radians, true, 1.0f, BLEND_COPY | BLEND_FILTER_BILINEAR | BLEND_SOURCE_ALPHA,
                     centreX, 0.0f);
  const IRECT area = ClipToDrawArea(IRECT(x, y, x + w, y + h));
  if (!area.Empty())
    LICE_Blit(mBackBuffer, mScratchBitmap, area.L, area.T, area.L - x, area.T - y, area.W(), area.H(),
              LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool)
{
  if (color)
    LICE_PutPixel(mBackBuffer, RoundToInt(x), RoundToInt(y), LiceColor(*color), LiceWeight(blend),
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
  if (color)
    LICE_Line(mBackBuffer, ToInt(x1), ToInt(y1), ToInt(x2), ToInt(y2), LiceColor(*color), LiceWeight(blend),
              LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* blend, bool aa)
{
  if (color)
    LICE_Arc(mBackBuffer, cx, cy, r, minAngle, maxAngle, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend),
             aa);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend, bool aa)
{
  if (color) LICE_Circle(mBackBuffer, cx, cy, r, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa)
{
  if (color && r)
    LICE_RoundRect(mBackBuffer, static_cast<float>(r->L), static_cast<float>(r->T), static_cast<float>(r->W()),
                   static_cast<float>(r->H()), cornerRadius, LiceColor(*color), LiceWeight(blend),
                   LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa)
{
  if (!color || !r) return true;
  const unsigned int pixel = LiceColor(*color);
  const float weight = LiceWeight(blend);
  const int mode = LiceBlendMode(blend), c = cornerRadius;
  LICE_FillRect(mBackBuffer, r->L + c, r->T, r->W() - 2 * c, r->H(), pixel, weight, mode);
  LICE_FillRect(mBackBuffer, r->L, r->T + c, c, r->H() - 2 * c, pixel, weight, mode);
  LICE_FillRect(mBackBuffer, r->R - c, r->T + c, c, r->H() - 2 * c, pixel, weight, mode);
  const float fc = static_cast<float>(c);
  LICE_FillCircle(mBackBuffer, static_cast<float>(r->L + c), static_cast<float>(r->T + c), fc, pixel, weight, mode, aa);
  LICE_FillCircle(mBackBuffer, static_cast<float>(r->R - c - 1), static_cast<float>(r->B - c - 1), fc, pixel, weight,
                  mode, aa);
  LICE_FillCircle(mBackBuffer, static_cast<float>(r->R - c - 1), static_cast<float>(r->T + c), fc, pixel, weight, mode,
                  aa);
  LICE_FillCircle(mBackBuffer, static_cast<float>(r->L + c), static_cast<float>(r->B - c - 1), fc, pixel, weight, mode,
                  aa);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend)
{
  if (color && r)
    LICE_FillRect(mBackBuffer, r->L, r->T, r->W(), r->H(), LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool aa)
{
  if (color)
    LICE_FillCircle(mBackBuffer, static_cast<float>(cx), static_cast<float>(cy), r, LiceColor(*color),
                    LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* blend)
{
  if (color)
    LICE_FillTriangle(mBackBuffer, x1, y1, x2, y2, x3, y3, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend)
{
  if (color && x && y)
    LICE_FillConvexPolygon(mBackBuffer, x, y, npoints, LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

IColor IGraphics::GetPoint(int x, int y)
{
  const unsigned int p = LICE_GetPixel(mBackBuffer, x, y);
  return IColor(static_cast<int>(p >> 24), (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi)
{
  if (color) LICE_Line(mBackBuffer, xi, yLo, xi, yHi, LiceColor(*color), 1.0f, BLEND_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi)
{
  if (color) LICE_Line(mBackBuffer, xLo, yi, xHi, yi, LiceColor(*color), 1.0f, BLEND_COPY, false);
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
  LICE_Line(mBackBuffer, ToInt(cx + s * rMin), ToInt(cy - c * rMin), ToInt(cx + s * rMax), ToInt(cy - c * rMax),
            LiceColor(*color), LiceWeight(blend), LiceBlendMode(blend), aa);
  return true;
}
