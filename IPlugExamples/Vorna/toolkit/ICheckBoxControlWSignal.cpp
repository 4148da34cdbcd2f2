#include "ICheckBoxControlWSignal.h"

#include "ControlLook.h"
#include "IGraphics.h"

void ICheckBoxControlWSignal::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (!CZK::LeftButton(mod)) return;
  mValue = mValue == 0.0 ? 1.0 : 0.0;
  SetDirty(true);
  mSignal.Emit(mParamIdx, mValue);
}

bool ICheckBoxControlWSignal::Draw(IGraphics* graphics)
{
  const IRECT& r = mRect;
  const int f = static_cast<int>((r.R - r.L) * 0.125 + 1);
  IRECT bars[] = {
      IRECT(r.L, r.T, r.R, r.T + f),          // top
      IRECT(r.L, r.T + f, r.L + f, r.B - f),  // left
      IRECT(r.L, r.B - f, r.R, r.B),          // bottom
      IRECT(r.R - f, r.T + f, r.R, r.B - f),  // right
  };
  for (IRECT& bar : bars) graphics->FillIRect(&mColorLine, &bar, &mBlend);
  if (mValue != 0.0)
  {
    IRECT inner(r.L + 2 * f, r.T + 2 * f, r.R - 2 * f, r.B - 2 * f);
    graphics->FillIRect(&mColorLine, &inner, &mBlend);
  }
  return true;
}
