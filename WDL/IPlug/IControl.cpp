#include "IControl.h"

#include "IControls.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr double kGrayedWeight = 0.25;
// Each part of a value display (the number, the label) keeps at most this many characters.
constexpr int kDisplayPartLength = 32;
constexpr int kPromptBoxHalfWidth = 20, kPromptBoxHalfHeight = 8;
}  // namespace

IControl::IControl(IPlugBase* plug, IRECT rect, int paramIdx, IChannelBlend blend)
    : mPlug(plug), mRect(rect), mTargetRect(rect), mParamIdx(paramIdx), mBlend(blend)
{
}

IParam* IControl::GetParam() const
{
  return mPlug && mParamIdx >= 0 ? mPlug->GetParam(mParamIdx) : nullptr;
}

IGraphics* IControl::GetGUI() const
{
  return mPlug ? mPlug->GetGUI() : nullptr;
}

void IControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  SetDirty(true);
}

void IControl::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0)
  {
    mValue = mDefaultValue = value;
    if (!std::isnan(value)) return;
  }
  else if (value == mValue)
    return;
  mValue = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::SetValueFromUserInput(double value)
{
  if (value == mValue) return;
  mValue = value;
  SetDirty(true);
  mRedraw = true;
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = static_cast<float>(gray ? kGrayedWeight : 1.0);
  SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  // A value that is not a number would reach the drawing's integer conversions: it
  // clamps to the low end.
  mValue = std::isnan(mValue) ? mClampLo : std::min(std::max(mValue, mClampLo), mClampHi);
  mDirty = true;
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  mPlug->SetParameterFromGUI(mParamIdx, mValue);
  if (const IParam* param = GetParam()) UpdateDisplayControls(param->Value());
}

void IControl::SetClean()
{
  mDirty = mRedraw;
  mRedraw = false;
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value)
{
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (!aux || aux->mValue == value) return;
  aux->mValue = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::UpdateDisplayControls(double plainValue)
{
  const IParam* param = GetParam();
  if (!param) return;
  if (auto* display = dynamic_cast<ITextControl*>(mValueDisplayControl))
  {
    char value[IParam::kDisplaySize];
    param->GetDisplayForHost(plainValue, false, value, true);
    WDL_String text(value, kDisplayPartLength);
    text.Append(" ");
    text.Append(param->GetLabelForHost(plainValue), kDisplayPartLength);
    if (std::strcmp(display->GetTextString(), text.Get()) != 0) display->SetTextFromPlug(text.Get());
  }
  if (auto* display = dynamic_cast<ITextControl*>(mNameDisplayControl))
  {
    if (std::strcmp(display->GetTextString(), param->GetNameForHost()) != 0)
      display->SetTextFromPlug(param->GetNameForHost());
  }
}

void IControl::PromptUserInput()
{
  IParam* param = GetParam();
  if (!param || mPromptDisabled) return;
  IRECT r = mRect;
  if (param->GetNDisplayTexts() == 0)
  {
    const int cx = static_cast<int>((mRect.L + mRect.R) * 0.5), cy = static_cast<int>((mRect.T + mRect.B) * 0.5);
    r = IRECT(cx - kPromptBoxHalfWidth, cy - kPromptBoxHalfHeight, cx + kPromptBoxHalfWidth, cy + kPromptBoxHalfHeight);
  }
  PromptUserInput(&r);
}

void IControl::PromptUserInput(IRECT* textRect)
{
  IParam* param = GetParam();
  if (!param || mPromptDisabled) return;
  if (IGraphics* gui = GetGUI()) gui->PromptUserInput(this, param, textRect);
  mRedraw = true;
}

IControl::AuxParam* IControl::GetAuxParam(int idx)
{
  return idx >= 0 && idx < mAuxParams.GetSize() ? mAuxParams.Get() + idx : nullptr;
}

int IControl::AuxParamIdx(int paramIdx) const
{
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get()[i].mParamIdx == paramIdx) return i;
  return -1;
}

void IControl::AddAuxParam(int paramIdx)
{
  AuxParam aux;
  aux.mParamIdx = paramIdx;
  mAuxParams.Add(aux);
}

void IControl::SetAllAuxParamsFromGUI()
{
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    mPlug->SetParameterFromGUI(mAuxParams.Get()[i].mParamIdx, mAuxParams.Get()[i].mValue);
}
