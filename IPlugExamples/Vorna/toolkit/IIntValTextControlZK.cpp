#include "IIntValTextControlZK.h"

#include "IGraphics.h"
#include "IParam.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace
{
constexpr double kHeightFactor = 1.05;
constexpr int kOwnMin = 1, kOwnMax = 16;
constexpr double kOwnGearing = 3.0;
constexpr double kOwnWidthFactor = 1.4;
constexpr double kCharWidth = 0.7;
constexpr int kBracketAlpha = 100;

// Characters of the widest number of the range: a sign, and never fewer than 2.
int CharsFor(int lo, int hi)
{
  const int widest = std::max(std::abs(lo), std::abs(hi));
  int chars = widest < 1 ? 1 : static_cast<int>(std::log10(widest)) + 1;
  if (lo < 0) ++chars;
  if (chars < 2) ++chars;
  return chars;
}
}  // namespace

IIntValTextControlZK::IIntValTextControlZK(IPlugBase* plug, int x, int y, int paramIdx, int textSize,
                                           TextControlBGStyle style, IIntValTextControlZK::RLine line,
                                           EDirection direction)
    : IKnobControlZK(plug, IRECT(x, y, x, y + static_cast<int>(std::lround(textSize * kHeightFactor))), paramIdx,
                     direction, 4.0),
      mStyle(style),
      mLine(line)
{
  const IColor lineColor(255, 255, 132, 132);
  SetColorLine(lineColor);
  SetColorFill(IColor(0, 0, 0, 0));
  SetTextStyle(textSize, lineColor, "Geneva", IText::kStyleNormal, IText::kAlignCenter);
  SetPid(paramIdx);
  if (paramIdx < 0) mDefaultValue = 0.0;
}

double IIntValTextControlZK::Normalized(int n) const
{
  if (const IParam* param = GetParam()) return param->GetNormalized(n);
  return static_cast<double>(n - mMin) / (mMax - mMin);
}

void IIntValTextControlZK::SetPid(int id)
{
  const IParam* param = GetParam();
  int width;
  if (id < 0 || !param)
  {
    mMin = kOwnMin;
    mMax = kOwnMax;
    mGearing = kOwnGearing;
    width = static_cast<int>(mText.mSize * kOwnWidthFactor);
    mCurrent = kOwnMin;
  }
  else
  {
    const int a = static_cast<int>(param->GetMin()), b = static_cast<int>(param->GetMax());
    mMin = std::min(a, b);
    mMax = std::max(a, b);
    mGearing = (mMax - mMin) * 4 * 0.05;
    width = static_cast<int>(mText.mSize * CharsFor(mMin, mMax) * kCharWidth);
    mCurrent = static_cast<int>(param->GetDefault());
    // The value goes with the integer: a redraw asked for before the plug-in first sends
    // the value would otherwise round the integer from the value's start at the range's end.
    mValue = mDefaultValue = param->GetNormalized(mCurrent);
  }
  mBodyRECT = IRECT(mBodyRECT.L, mBodyRECT.T, mBodyRECT.L + width, mBodyRECT.B);
  SetRects(mBodyRECT);
}

void IIntValTextControlZK::SetQuantized(int n)
{
  if (n == mCurrent) return;
  mCurrent = n;
  mValue = Normalized(n);
  SetDirty(true);
}

void IIntValTextControlZK::SetRange(int lo, int hi)
{
  mMin = std::min(lo, hi);
  mMax = std::max(lo, hi);
  if (mMax == mMin) ++mMax;  // a one-number range would divide by zero
  mCurrent = std::clamp(mCurrent, mMin, mMax);
  mValue = Normalized(mCurrent);
  MarkDirty();
}

void IIntValTextControlZK::SetBodyRects(IRECT r)
{
  mBodyRECT = r;
  SetRects(r);
}

void IIntValTextControlZK::SetDirty(bool pushParamToPlug)
{
  MarkDirty();
  mValue = std::clamp(mValue, mClampLo, mClampHi);
  const IParam* param = GetParam();
  const int n = param ? static_cast<int>(param->GetNonNormalized(mValue) + 0.5)
                      : static_cast<int>(mValue * (mMax - mMin) + mMin + 0.5);
  // Left unrounded, so that small drags add up.
  if (n == mCurrent) return;
  mCurrent = n;
  mValue = Normalized(n);
  if (param) IControl::SetDirty(pushParamToPlug);
  mSignal.Emit(mParamIdx, n);
}

void IIntValTextControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (!CZK::LeftButton(mod)) return;
  if (mEntryArmed) PromptUserInput(&mRect);
  else SetDirty(false);
}

void IIntValTextControlZK::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  mValue += DragChange(dX, dY, CZK::FineModifier(mod));
  SetDirty(true);
}

void IIntValTextControlZK::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  int n;
  if (mod && mod->S) n = d < 1 ? mCurrent / 2 : mCurrent * 2;
  else n = mCurrent + d;
  mValue = Normalized(std::clamp(n, mMin, mMax));
  SetDirty(true);
}

void IIntValTextControlZK::OnMouseDblClick(int, int, IMouseMod*)
{
  mValue = mDefaultValue;
  SetDirty(true);
}

void IIntValTextControlZK::OnMouseOut()
{
  if (mEntryArmed)
  {
    mEntryArmed = false;
    SetDirty(false);
  }
  mSignalHideTooltip.Emit(mParamIdx);
}

bool IIntValTextControlZK::Draw(IGraphics* graphics)
{
  const IColor line = CZK::Shown(mColorLine, mGrayedOut);
  IText style = mText;
  style.mColor = line;
  std::string text = std::to_string(mCurrent);
  if (mLine == kSlash) text += "/";
  IRECT body = mBodyRECT;
  if (mStyle == kTextBGBrackets) CZK::DrawSquareBrackets(graphics, body, CZK::WithAlpha(line, kBracketAlpha));
  if (mLine == kUnderline)
  {
    const double half = (body.R - body.L) * 0.5;
    const double x0 = body.L + (body.R - body.L - half) * 0.5;
    const double t = std::max(mText.mSize / 20.0, 1.0);
    IRECT under(static_cast<int>(x0), static_cast<int>(std::round(body.B - t)), static_cast<int>(x0 + half), body.B);
    graphics->FillIRect(&line, &under);
  }
  graphics->DrawIText(&style, text.c_str(), &body);
  DrawLabels(graphics);
  return true;
}
