#include "ISwitchControlZK.h"

#include "ControlLook.h"
#include "IGraphics.h"

#include <algorithm>

namespace
{
// A sum of steps this far above 1 is past the last frame.
constexpr double kWrapAbove = 1.001;

IRECT FrameRect(int x, int y, const IBitmap* bitmap)
{
  return bitmap ? IRECT(x, y, x + bitmap->FrameWidth(), y + bitmap->FrameHeight()) : IRECT(x, y, x, y);
}
}  // namespace

IBitmapControlZK::IBitmapControlZK(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap)
    : IControlZK(plug, FrameRect(x, y, bitmap), paramIdx), mBitmap(bitmap ? *bitmap : IBitmap())
{
}

bool IBitmapControlZK::Draw(IGraphics* graphics)
{
  int frame = 1;
  if (mBitmap.N >= 2) frame = std::clamp(static_cast<int>((mBitmap.N - 1) * mValue + 0.5) + 1, 1, mBitmap.N);
  graphics->DrawBitmap(&mBitmap, &mBodyRECT, frame, &mBlend);
  DrawLabels(graphics);
  return true;
}

void ISwitchControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (!CZK::LeftButton(mod)) return;
  const double step = mBitmap.N >= 2 ? 1.0 / (mBitmap.N - 1) : 1.0;
  mValue += step;
  if (mValue > kWrapAbove) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControlZK::SetValueFromUserInput(double value)
{
  if (value == mValue) return;
  mValue = value;
  SetDirty(true);
  mRedraw = true;
}

void ISwitchControlWSignalZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  ISwitchControlZK::OnMouseDown(x, y, mod);
  mSignal.Emit(mParamIdx, mValue);
}

void ISwitchControlWSignalZK::SetValueFromUserInput(double value)
{
  ISwitchControlZK::SetValueFromUserInput(value);
  mSignal.Emit(mParamIdx, mValue);
}

void IContactControlZK::OnMouseUp(int, int, IMouseMod*)
{
  if (mValue == 0.0) return;
  mValue = 0.0;
  SetDirty(true);
}
