#include "IControlZK.h"

#include "CZK.h"
#include "IGraphics.h"

namespace
{
constexpr int kLabelTextSize = 14;
constexpr double kGrayedWeight = 0.25;
// The faint light copy under every label.
const IColor kLabelHighlight(50, 255, 255, 255);
}  // namespace

IControlZK::IControlZK(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendNone, 1.0f)), mBodyRECT(rect)
{
  mText.mColor = mColorLine;
}

void IControlZK::OnMouseOver(int x, int y, IMouseMod*)
{
  ShowTooltip(x, y);
}

void IControlZK::OnMouseOut()
{
  mSignalHideTooltip.Emit(mParamIdx);
}

void IControlZK::ShowTooltip(int x, int y)
{
  mSignalShowTooltip.Emit(mParamIdx, &mTooltipText, x, y);
}

void IControlZK::GrayOut(bool gray)
{
  mGrayedOut = gray;
  mBlend.mWeight = static_cast<float>(gray ? kGrayedWeight : 1.0);
  SetDirty(false);
}

IRECT IControlZK::EditorRECT() const
{
  const IGraphics* gui = GetGUI();
  return gui ? IRECT(0, 0, gui->Width(), gui->Height()) : IRECT();
}

void IControlZK::PositionControlAt(int x, int y)
{
  ShiftControlBy(x - mBodyRECT.L, y - mBodyRECT.T);
}

void IControlZK::ShiftControlBy(int dx, int dy)
{
  mBodyRECT = CZK::Moved(mBodyRECT, dx, dy);
  mRect = CZK::Moved(mRect, dx, dy);
  mTargetRect = CZK::Moved(mTargetRect, dx, dy);
  for (IRECT& r : mLabelRECTs) r = CZK::Moved(r, dx, dy);
}

void IControlZK::SetRects(IRECT r)
{
  mRect = r;
  mTargetRect = r;
}

void IControlZK::SetColorLine(IColor color)
{
  mColorLine = color;
  mText.mColor = color;
}

void IControlZK::SetTextSize(int size)
{
  CZK::ResizeText(mText, size);
}

void IControlZK::SetLabelTextSize(int n, int size)
{
  if (n < 0 || n >= NLabels()) return;
  CZK::ResizeText(mLabels[n].mStyle, size);
}

int IControlZK::GetLabelTextSize(int n) const
{
  return n >= 0 && n < NLabels() ? mLabels[n].mStyle.mSize : 0;
}

void IControlZK::SetTextStyle(int size, IColor color, const char* font, IText::EStyle style, IText::EAlign align)
{
  mText = IText(size, &color, font ? font : "Geneva", style, align, 0);
}

void IControlZK::SetTextStyle(IText text)
{
  mText = text;
}

void IControlZK::SetFont(const char* name)
{
  mText.SetFontName(name);
  mText.mCachedFont = nullptr;
}

void IControlZK::AddLabel(std::string text, IText style, int x, int y, LabelPosition position)
{
  style.mCachedFont = nullptr;
  style.mSize = kLabelTextSize;
  const IRECT r = CalcRectForLabel(text, style, x, y, position);
  mLabels.push_back(Label{std::move(text), style});
  mLabelRECTs.push_back(r);
  mRect = mRect.Union(r);
  MarkDirty();
}

void IControlZK::SetLabel(int n, std::string text, IText style, int x, int y, LabelPosition position)
{
  if (n < 0 || n >= NLabels()) return;
  // The style is new, so the font found for the old one no longer applies.
  style.mCachedFont = nullptr;
  const IRECT r = CalcRectForLabel(text, style, x, y, position);
  mLabels[n] = Label{std::move(text), style};
  mLabelRECTs[n] = r;
  mRect = mRect.Union(r);
  MarkDirty();
}

IRECT IControlZK::CalcRectForLabel(const std::string& text, const IText& style, int x, int y,
                                   LabelPosition position) const
{
  const IRECT c = CZK::GetRectForTextInRect(text, mBodyRECT, style.mSize, style.mOrientation, true);
  const int halfW = mBodyRECT.W() / 2, halfH = mBodyRECT.H() / 2;
  switch (position)
  {
  case kLabelBelow: return CZK::Moved(c, x, halfH + y);
  case kLabelAbove: return CZK::Moved(c, x, -halfH - y);
  case kLabelLeft: return CZK::Moved(c, -halfW - x, y);
  case kLabelRight: return CZK::Moved(c, halfW + x, y);
  default: return c;
  }
}

void IControlZK::DrawLabels(IGraphics* graphics)
{
  if (!mShowLabels) return;
  for (size_t i = 0; i < mLabels.size(); ++i)
  {
    IText& style = mLabels[i].mStyle;
    const char* text = mLabels[i].mText.c_str();
    const IColor own = style.mColor;
    const IColor shown = mGrayedOut ? CZK::Grayed(own) : own;
    IRECT r = CZK::Moved(mLabelRECTs[i], 1, 1);
    style.mColor = kLabelHighlight;
    graphics->DrawIText(&style, text, &r);
    r = mLabelRECTs[i];
    style.mColor = shown;
    graphics->DrawIText(&style, text, &r);
    style.mColor = own;
  }
}
