// IGraphics: its life, the control list, parameter traffic and the redraw cycle.

#include "IGraphics.h"

#include "IControl.h"
#include "IControls.h"
#include "IGraphicsDrawArea.h"
#include "IParam.h"
#include "IPlugBase.h"
#include "lice.h"

namespace
{
constexpr int kDefaultFrameRate = 25;
}  // namespace

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int fps)
    : mPlug(plug),
      mWidth(w),
      mHeight(h),
      mFrameRate(fps > 0 ? fps : kDefaultFrameRate),
      mDrawAreaView(new IGraphicsDrawArea),
      mAudioParamMailbox(plug ? plug->NParams() : 0)
{
}

IGraphics::~IGraphics()
{
  delete mKeyCatcher;
  DeleteControls();
  DeleteBitmaps();
  delete mDrawAreaView;
}

void IGraphics::DeleteControls()
{
  for (int i = mControls.GetSize() - 1; i >= 0; --i) delete mControls.Get(i);
  mControls.Empty();
}

void IGraphics::DeleteBitmaps()
{
  delete mBackBuffer;
  delete mScratchBitmap;
  mBackBuffer = nullptr;
  mScratchBitmap = nullptr;
}

void IGraphics::PrepDraw()
{
  // A second call (the plug-in attaching the same editor again) must not leak the first.
  DeleteBitmaps();
  mBackBuffer = new LICE_SysBitmap(mWidth, mHeight);
  mScratchBitmap = new LICE_MemBitmap(0, 0, 4);
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  mMouseOverIdx = -1;
  DeleteControls();
  DeleteBitmaps();
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

int IGraphics::AttachControl(IControl* control)
{
  mControls.Add(control);
  return mControls.GetSize() - 1;
}

void IGraphics::AttachBackground(int id, const char* name)
{
  IBitmap bitmap = LoadIBitmap(id, name, 1, false);
  mControls.Insert(0, new IBitmapControl(mPlug, 0, 0, -1, &bitmap, IChannelBlend::kBlendClobber));
}

void IGraphics::AttachPanelBackground(const IColor* color)
{
  IControl* panel = new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), color);
  mControls.Insert(0, panel);
}

void IGraphics::AttachKeyCatcher(IControl* control)
{
  if (mKeyCatcher != control) delete mKeyCatcher;
  mKeyCatcher = control;
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
    const int aux = control->AuxParamIdx(paramIdx);
    if (aux >= 0) control->SetAuxParamValueFromPlug(aux, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* control = mControls.Get(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->SetValueFromUserInput(normalizedValue);
}

void IGraphics::DrainParamMailbox()
{
  // Only the posted values are read: the parameters themselves may be changing on the
  // audio thread right now.
  mAudioParamMailbox.Drain([this](int paramIdx, double value) {
    SetParameterFromPlug(paramIdx, value, false);
    for (int i = 0; i < mControls.GetSize(); ++i)
      if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->UpdateDisplayControls(value);
  });
  // The plug-in's own share of the main thread's time before each frame.
  if (mPlug) mPlug->OnIdle();
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->Clamp(lo, hi);
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->GrayOut(gray);
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrictDrawing = strict;
  SetAllControlsDirty();
}

void IGraphics::AssignParamNameToolTips()
{
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (const IParam* param = control->GetParam()) control->SetTooltip(param->GetNameForHost());
  }
}

void IGraphics::ReleaseMouseCapture()
{
  mCaptureIdx = -1;
  mLastMouseX = mLastMouseY = -1;
}

bool IGraphics::IsDirty(IRECT* r)
{
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (!control->IsDirty()) continue;
    *r = r->Union(*control->GetRECT());
    dirty = true;
  }
  return dirty;
}

bool IGraphics::Draw(IRECT* r)
{
  const int n = mControls.GetSize();
  if (!n) return true;

  if (mStrictDrawing)
  {
    mDrawArea = *r;
    for (int i = 0; i < n; ++i)
    {
      IControl* control = mControls.Get(i);
      if (!control->IsHidden() && control->GetRECT()->Intersects(*r)) control->Draw(this);
      control->SetClean();
    }
  }
  else if (IControl* background = mControls.Get(0); background->IsDirty())
  {
    mDrawArea = *background->GetRECT();
    for (int i = 0; i < n; ++i)
    {
      IControl* control = mControls.Get(i);
      if (i != 0 && control->IsHidden()) continue;
      control->Draw(this);
      control->SetClean();
    }
  }
  else
  {
    for (int j = 1; j < n; ++j)
    {
      IControl* dirty = mControls.Get(j);
      if (!dirty->IsDirty()) continue;
      mDrawArea = *dirty->GetRECT();
      for (int k = 0; k < n; ++k)
      {
        IControl* control = mControls.Get(k);
        if (!control->IsHidden() && (k == j || control->GetRECT()->Intersects(mDrawArea))) control->Draw(this);
      }
      dirty->SetClean();
    }
  }
  return DrawScreen(r);
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}
