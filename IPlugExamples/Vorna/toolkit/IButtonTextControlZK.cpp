#include "IButtonTextControlZK.h"

#include "IGraphics.h"

#include <algorithm>

namespace
{
constexpr double kBoxHeightFactor = 1.1;
constexpr int kBracketAlpha = 100;
}  // namespace

IContactTextControlZK::IContactTextControlZK(IPlugBase* plug, int x, int y, int paramIdx,
                                             std::vector<std::string> names, int textSize, TextControlBGStyle style)
    : IControlZK(plug, IRECT(x, y, x + textSize, y + textSize), paramIdx),
      mStyle(style),
      mBoxHeight(static_cast<int>(textSize * kBoxHeightFactor))
{
  const IColor line(255, 255, 132, 132);
  SetTextStyle(textSize, line, "Geneva", IText::kStyleNormal, IText::kAlignCenter);
  SetColorLine(line);
  SetColorFill(IColor(255, 60, 60, 60));
  SetColorHiLine(IColor(255, 255, 255, 255));
  SetColorHiFill(line);
  mDblClickAsSingle = true;
  IContactTextControlZK::SetNames(std::move(names));
}

void IContactTextControlZK::SetNames(std::vector<std::string> names)
{
  mNames.clear();
  size_t longest = 3;
  if (names.empty()) mNames = {"OFF", "ON"};
  else
  {
    longest = 0;
    for (size_t i = 0; i < names.size() && i < 2; ++i)
    {
      mNames.push_back(names[i]);
      longest = std::max(longest, names[i].size());
    }
    if (mNames.size() == 1) mNames.push_back(mNames[0]);
  }
  mBoxWidth = static_cast<int>(mText.mSize * (static_cast<double>(longest) + 1.0) * 0.5);
  mBodyRECT = IRECT(mBodyRECT.L, mBodyRECT.T, mBodyRECT.L + mBoxWidth, mBodyRECT.T + mBoxHeight);
  SetRects(mBodyRECT);
}

void IContactTextControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (!CZK::LeftButton(mod)) return;
  mValue = 1.0;
  mPressed = true;
  SetDirty(true);
}

void IContactTextControlZK::OnMouseUp(int, int, IMouseMod*)
{
  if (mValue == 0.0) return;
  mValue = 0.0;
  mPressed = false;
  SetDirty(true);
}

void IContactTextControlZK::OnMouseOut()
{
  mPressed = false;
  mValue = 0.0;
  MarkDirty();
  mRedraw = true;
  IControlZK::OnMouseOut();
}

void IContactTextControlZK::SetValueFromUserInput(double value)
{
  mPressed = value >= 0.5;
  const double quantised = mPressed ? 1.0 : 0.0;
  if (quantised == mValue) return;
  mValue = quantised;
  SetDirty(true);
  mRedraw = true;
}

void IContactTextControlZK::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0) mValue = mDefaultValue = value;
  SetValueFromUserInput(value);
}

bool IContactTextControlZK::Draw(IGraphics* graphics, IRECT r)
{
  const IColor line = CZK::Shown(mColorLine, mGrayedOut);
  const IColor hiLine = CZK::Shown(mColorHiLine, mGrayedOut);
  const IColor hiFill = CZK::Shown(mColorHiFill, mGrayedOut);
  IText style = mText;
  if (mPressed)
  {
    style.mColor = hiLine;
    CZK::DrawPressedBox(graphics, r, hiFill, mPressedShadow);
  }
  else
  {
    style.mColor = line;
    if (mStyle == kTextBGBrackets) CZK::DrawSquareBrackets(graphics, r, CZK::WithAlpha(line, kBracketAlpha));
  }
  const size_t index = std::min<size_t>(mValue > 0.0 ? static_cast<size_t>(mValue) : 0, mNames.size() - 1);
  graphics->DrawIText(&style, mNames[index].c_str(), &r);
  return true;
}

void IButtonTextControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (!CZK::LeftButton(mod)) return;
  mValue = mValue == 0.0 ? 1.0 : 0.0;
  mPressed = mValue == 1.0;
  SetDirty(true);
}

void IButtonTextWithSignal::OnMouseDown(int x, int y, IMouseMod* mod)
{
  IButtonTextControlZK::OnMouseDown(x, y, mod);
  mSignal.Emit(mParamIdx, mValue);
}

void IContactTextControlWSignalZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  IContactTextControlZK::OnMouseDown(x, y, mod);
  mSignal.Emit(mParamIdx, mValue);
}
