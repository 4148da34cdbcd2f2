// IGraphics: the hit test and the dispatch of mouse and key events.

#include "IControl.h"
#include "IGraphics.h"
#include "IPlugBase.h"

int IGraphics::HitTest(int x, int y, bool mouseOver)
{
  for (int i = mControls.GetSize() - 1; i >= 0; --i)
  {
    IControl* control = mControls.Get(i);
    if (control->IsHidden()) continue;
    if (control->IsGrayed() && !(mouseOver && control->GetMOWhenGrayed())) continue;
    if (control->IsHit(x, y)) return i;
  }
  return -1;
}

int IGraphics::CaptureOrHit(int x, int y)
{
  return mCaptureIdx >= 0 ? mCaptureIdx : HitTest(x, y, false);
}

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver)
{
  return mCaptureIdx >= 0 ? mCaptureIdx : HitTest(x, y, mouseOver);
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y)
{
  const int idx = GetMouseControlIdx(x, y, false);
  const IControl* control = idx > 0 ? mControls.Get(idx) : nullptr;
  mLastClickedParamIdx = control ? control->ParamIdx() : -1;
  return mLastClickedParamIdx;
}

int IGraphics::GetLastClickedParamForPTAutomation()
{
  const int idx = mLastClickedParamIdx;
  mLastClickedParamIdx = -1;
  return idx;
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod)
{
  ReleaseMouseCapture();
  const int idx = HitTest(x, y, false);
  if (idx < 0) return;
  IControl* control = mControls.Get(idx);
  mCaptureIdx = idx;
  mLastMouseX = x;
  mLastMouseY = y;
  if (mPlug && control->ParamIdx() >= 0) mPlug->BeginInformHostOfParamChange(control->ParamIdx());
  control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod)
{
  IControl* control = mControls.Get(mCaptureIdx);
  if (!control) return;
  const int dX = x - mLastMouseX, dY = y - mLastMouseY;
  if (dX == 0 && dY == 0) return;
  mLastMouseX = x;
  mLastMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod)
{
  IControl* control = mControls.Get(CaptureOrHit(x, y));
  ReleaseMouseCapture();
  if (!control) return;
  const int paramIdx = control->ParamIdx();
  control->OnMouseUp(x, y, mod);
  if (mPlug && paramIdx >= 0) mPlug->EndInformHostOfParamChange(paramIdx);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  ReleaseMouseCapture();
  const int idx = HitTest(x, y, false);
  if (idx < 0) return false;
  IControl* control = mControls.Get(idx);
  if (control->GetDblAsSingleClick())
  {
    mCaptureIdx = idx;
    mLastMouseX = x;
    mLastMouseY = y;
    control->OnMouseDown(x, y, mod);
    return true;
  }
  control->OnMouseDblClick(x, y, mod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  if (IControl* control = mControls.Get(CaptureOrHit(x, y))) control->OnMouseWheel(x, y, mod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod)
{
  if (!mMouseOverEnabled) return false;
  const int idx = GetMouseControlIdx(x, y, true);
  IControl* control = mControls.Get(idx);
  if (!control) return true;
  mLastMouseX = x;
  mLastMouseY = y;
  control->OnMouseOver(x, y, mod);
  if (mMouseOverIdx >= 0 && mMouseOverIdx != idx)
    if (IControl* previous = mControls.Get(mMouseOverIdx)) previous->OnMouseOut();
  mMouseOverIdx = idx;
  return true;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOverIdx = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int idx = CaptureOrHit(x, y);
  if (idx >= 1)
    if (IControl* control = mControls.Get(idx)) return control->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}
