// Faders and knobs: dragged, turned by the wheel, drawn as lines, rotated bitmaps or
// frames of a strip.

#include "IControls.h"
#include "IGraphics.h"

#include <cmath>
#include <numbers>

namespace
{
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;
constexpr double kFineGearing = 10.0;

// A wheel step: finer with Shift or Control held.
double WheelChange(const IMouseMod* mod, int d)
{
  return d * (mod && (mod->C || mod->S) ? kFineWheelStep : kWheelStep);
}

IBitmap Copy(const IBitmap* bitmap)
{
  return bitmap ? *bitmap : IBitmap();
}
}  // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, IBitmap* bitmap,
                             EDirection direction, bool onlyHandle)
    : IControl(plug, IRECT(), paramIdx),
      mLen(len),
      mBitmap(Copy(bitmap)),
      mDirection(direction),
      mOnlyHandle(onlyHandle)
{
  if (direction == kVertical)
  {
    mHandleHeadroom = mBitmap.FrameHeight();
    mRect = mTargetRect = IRECT(x, y, x + mBitmap.W, y + len);
  }
  else
  {
    mHandleHeadroom = mBitmap.FrameWidth();
    mRect = mTargetRect = IRECT(x, y, x + len, y + mBitmap.H);
  }
}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0) value = mValue;
  IRECT r(mRect.L, mRect.T, mRect.L + mBitmap.FrameWidth(), mRect.T + mBitmap.FrameHeight());
  if (mDirection == kVertical)
  {
    const int offset = static_cast<int>((mLen - mHandleHeadroom) * (1.0 - value));
    r.T += offset;
    r.B += offset;
  }
  else
  {
    const int offset = static_cast<int>(value * (mLen - mHandleHeadroom));
    r.L += offset;
    r.R += offset;
  }
  return r;
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R) PromptUserInput();
  else SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*)
{
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  mValue += WheelChange(mod, d);
  SetDirty(true);
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const double travel = mLen - mHandleHeadroom;
  if (travel > 0)
  {
    if (mDirection == kVertical) mValue = 1.0 - (y - mRect.T - mHandleHeadroom / 2) / travel;
    else mValue = (x - mRect.L - mHandleHeadroom / 2) / travel;
  }
  SetDirty(true);
}

bool IFaderControl::Draw(IGraphics* graphics)
{
  IRECT r = GetHandleRECT();
  return graphics->DrawBitmap(&mBitmap, &r, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y)
{
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return IControl::IsHit(x, y);
}

IKnobControl::IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction, double gearing)
    : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  double gearing = mGearing;
  if (mod && (mod->S || mod->C)) gearing *= kFineGearing;
  if (mDirection == kVertical) mValue += static_cast<double>(dY) / static_cast<double>(mRect.T - mRect.B) / gearing;
  else mValue += static_cast<double>(dX) / static_cast<double>(mRect.R - mRect.L) / gearing;
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  mValue += WheelChange(mod, d);
  SetDirty(true);
}

IKnobLineControl::IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color, double innerRadius,
                                   double outerRadius, double minAngle, double maxAngle, EDirection direction,
                                   double gearing)
    : IKnobControl(plug, rect, paramIdx, direction, gearing),
      mColor(color ? *color : COLOR_BLACK),
      mMinAngle(static_cast<float>(minAngle)),
      mMaxAngle(static_cast<float>(maxAngle)),
      mInnerRadius(static_cast<float>(innerRadius)),
      mOuterRadius(static_cast<float>(outerRadius == 0.0 ? 0.5 * rect.W() : outerRadius))
{
  mBlend = IChannelBlend(IChannelBlend::kBlendClobber);
}

bool IKnobLineControl::Draw(IGraphics* graphics)
{
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  const float cx = mRect.MW(), cy = mRect.MH();
  const float s = static_cast<float>(std::sin(angle)), c = static_cast<float>(-std::cos(angle));
  return graphics->DrawLine(&mColor, cx + s * mInnerRadius, cy + c * mInnerRadius, cx + s * mOuterRadius,
                            cy + c * mOuterRadius, &mBlend, true);
}

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                         double minAngle, double maxAngle, int yOffsetZeroDeg, EDirection direction,
                                         double gearing)
    : IKnobControl(plug, IRECT(x, y, x + (bitmap ? bitmap->W : 0), y + (bitmap ? bitmap->H : 0)), paramIdx, direction,
                   gearing),
      mBitmap(Copy(bitmap)),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mYOffset(yOffsetZeroDeg)
{
}

bool IKnobRotaterControl::Draw(IGraphics* graphics)
{
  const int cx = (mRect.L + mRect.R) / 2, cy = (mRect.T + mRect.B) / 2;
  return graphics->DrawRotatedBitmap(&mBitmap, cx, cy, mMinAngle + mValue * (mMaxAngle - mMinAngle), mYOffset,
                                     &mBlend);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                     EDirection direction, double gearing)
    : IKnobControl(plug,
                   bitmap ? IRECT(x, y, x + bitmap->FrameWidth(), y + bitmap->FrameHeight()) : IRECT(x, y, x, y),
                   paramIdx, direction, gearing),
      mBitmap(Copy(bitmap))
{
}

bool IKnobMultiControl::Draw(IGraphics* graphics)
{
  return graphics->DrawBitmap(&mBitmap, &mRect, FrameFromValue(mBitmap.N, mValue), &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* base,
                                                   IBitmap* mask, IBitmap* top, double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
    : IKnobControl(plug, IRECT(x, y, x + (base ? base->W : 0), y + (base ? base->H : 0)), paramIdx, direction, gearing),
      mBase(Copy(base)),
      mMask(Copy(mask)),
      mTop(Copy(top)),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* graphics)
{
  return graphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRect.L, mRect.T,
                                   mMinAngle + mValue * (mMaxAngle - mMinAngle), &mBlend);
}
