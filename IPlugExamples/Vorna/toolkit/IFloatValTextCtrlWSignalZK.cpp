#include "IFloatValTextCtrlWSignalZK.h"

#include "IGraphics.h"
#include "IParam.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kHeightFactor = 1.05;
constexpr double kOwnMin = 1.0, kOwnMax = 16.0;
constexpr double kCharWidth = 0.7;
constexpr double kWheelStep = 0.01, kFineWheelStep = 0.001;
constexpr int kBracketAlpha = 100;

// Gearing from the range: 8 per unit, a quarter of that for each started power of ten.
double GearingFor(double range)
{
  double gearing = 8.0 * range;
  const double decades = std::log10(range);
  if (decades > 0.0)
    for (int i = 0; i < static_cast<int>(std::ceil(decades)); ++i) gearing /= 4.0;
  return gearing;
}
}  // namespace

IFloatValTextCtrlWSignalZK::IFloatValTextCtrlWSignalZK(IPlugBase* plug, int x, int y, int id, int textSize,
                                                       TextControlBGStyle style, EDirection direction)
    : IKnobControlZK(plug, IRECT(x, y, x, y + static_cast<int>(std::lround(textSize * kHeightFactor))), id,
                     direction, 4.0),
      mStyle(style)
{
  // Sized at the framework's text size: the field's own style comes after.
  SetPid(id);
  const IColor line(255, 255, 132, 132);
  SetColorLine(line);
  SetColorFill(IColor(0, 0, 0, 0));
  SetTextStyle(textSize, line, "Geneva", IText::kStyleNormal, IText::kAlignCenter);
}

void IFloatValTextCtrlWSignalZK::SetPid(int id)
{
  const IParam* param = id >= 0 ? GetParam() : nullptr;
  if (param) SetMinMax(param->GetMin(), param->GetMax());
  else SetMinMax(kOwnMin, kOwnMax);
}

void IFloatValTextCtrlWSignalZK::SetMinMax(double a, double b)
{
  mMin = std::min(a, b);
  mMax = std::max(a, b);
  mGearing = GearingFor(mMax - mMin);
  UpdateWidth();
}

void IFloatValTextCtrlWSignalZK::SetNumDecimals(int n)
{
  mDecimals = n;
  UpdateWidth();
}

void IFloatValTextCtrlWSignalZK::UpdateWidth()
{
  const int widest = static_cast<int>(std::max(std::abs(mMin), std::abs(mMax)));
  int chars = widest < 1 ? 1 : static_cast<int>(std::log10(widest)) + 1;
  if (mMin < 0.0) ++chars;
  if (mDecimals > 0) chars += mDecimals + 1;
  if (chars < 2) ++chars;
  const int width = static_cast<int>(mText.mSize * chars * kCharWidth);
  mBodyRECT = IRECT(mBodyRECT.L, mBodyRECT.T, mBodyRECT.L + width, mBodyRECT.B);
  SetRects(mBodyRECT);
}

void IFloatValTextCtrlWSignalZK::SetDefaultNonNorm(double x)
{
  mShown = std::clamp(x, mMin, mMax);
  const bool firstDefault = mDefaultValue < 0.0;
  mDefaultValue = std::clamp(Normalized(mShown), mClampLo, mClampHi);
  if (firstDefault) mValue = mDefaultValue;
}

void IFloatValTextCtrlWSignalZK::SetNonnormFromPlug(double x)
{
  mShown = std::clamp(x, mMin, mMax);
  mValue = Normalized(mShown);
  MarkDirty();
  mRedraw = true;
}

void IFloatValTextCtrlWSignalZK::SetValueFromPlug(double value)
{
  IControl::SetValueFromPlug(value);
  mShown = (mMax - mMin) * mValue + mMin;
}

void IFloatValTextCtrlWSignalZK::AlignNormalizedAndSetDirty(bool push)
{
  const double p = std::pow(10.0, mDecimals);
  const double shown = std::floor(((mMax - mMin) * mValue + mMin) * p) / p;
  const double aligned = shown == mMax ? 1.0 : shown == mMin ? 0.0 : Normalized(shown);
  // A step can land exactly on a shown number: the value is then already aligned, but
  // the number shown and played still has to follow it.
  if (mValue == aligned && shown == mShown) return;
  mValue = aligned;
  mShown = shown;
  mSignal.Emit(mParamIdx, shown);
  SetDirty(push);
}

void IFloatValTextCtrlWSignalZK::OnMouseDown(int, int, IMouseMod*)
{
  PromptUserInput();
}

void IFloatValTextCtrlWSignalZK::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  mValue = std::clamp(mValue + DragChange(dX, dY, CZK::FineModifier(mod)), mClampLo, mClampHi);
  AlignNormalizedAndSetDirty(true);
}

void IFloatValTextCtrlWSignalZK::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  mValue = std::clamp(mValue + d * (CZK::FineModifier(mod) ? kFineWheelStep : kWheelStep), mClampLo, mClampHi);
  AlignNormalizedAndSetDirty(true);
}

void IFloatValTextCtrlWSignalZK::OnMouseDblClick(int, int, IMouseMod*)
{
  // Without a default there is nothing to go back to.
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  mShown = mDefaultValue * (mMax - mMin) + mMin;
  SetDirty(true);
  // What plays follows what is shown.
  mSignal.Emit(mParamIdx, mShown);
}

std::string IFloatValTextCtrlWSignalZK::ShownText() const
{
  const long long scale = std::llround(std::pow(10.0, mDecimals));
  const long long n = std::llround(std::fabs(mShown) * static_cast<double>(scale));
  const long long whole = n / scale, fraction = n % scale;
  // Between -1 and 0 the sign is not shown.
  std::string text = mShown < 0.0 && whole > 0 ? "-" : "";
  text += std::to_string(whole) + ".";
  if (std::pow(10.0, mDecimals - 1) > static_cast<double>(fraction)) text += "0";
  return text + std::to_string(fraction);
}

bool IFloatValTextCtrlWSignalZK::Draw(IGraphics* graphics)
{
  const IColor line = CZK::Shown(mColorLine, mGrayedOut);
  IText style = mText;
  style.mColor = line;
  IRECT body = mBodyRECT;
  if (mStyle == kTextBGBrackets) CZK::DrawSquareBrackets(graphics, body, CZK::WithAlpha(line, kBracketAlpha));
  else if (mStyle != kTextBGNone)
  {
    const IColor fill = CZK::Shown(mColorFill, mGrayedOut);
    graphics->FillIRect(&fill, &body);
  }
  graphics->DrawIText(&style, ShownText().c_str(), &body);
  DrawLabels(graphics);
  return true;
}
