#include "IKnobControlZK.h"

#include "CZK.h"
#include "ControlLook.h"
#include "IGraphics.h"
#include "IParam.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace
{
constexpr double kFineGearing = 10.0;
constexpr double kWheelStep = 0.01, kFineWheelStep = 0.001;
// The value box sits this far from the frame before the offsets apply.
constexpr int kValueBoxGap = 5;
// The extended target never gets thinner than this.
constexpr int kMinTargetSize = 10;
constexpr int kValueTextSize = 14;
constexpr int kValueBoxAlpha = 100;

IBitmap Copied(const IBitmap* bitmap)
{
  return bitmap ? *bitmap : IBitmap();
}

// The first n characters of a UTF-8 text.
std::string FirstCharacters(const char* text, int n)
{
  std::string out;
  for (const char* p = text; *p; ++p)
  {
    const bool starts = (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    if (starts && n-- <= 0) break;
    out += *p;
  }
  return out;
}
}  // namespace

// ---------------------------------------------------------------------------------------
IKnobControlZK::IKnobControlZK(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction, double gearing)
    : IControlZK(plug, rect, paramIdx), mDirection(direction), mGearing(gearing)
{
}

double IKnobControlZK::DragChange(int dX, int dY, bool fine) const
{
  const double gearing = fine ? mGearing * kFineGearing : mGearing;
  if (mDirection == kVertical) return dY / static_cast<double>(mRect.T - mRect.B) / gearing;
  return dX / static_cast<double>(mRect.R - mRect.L) / gearing;
}

double IKnobControlZK::WheelStep(const IMouseMod* mod)
{
  return CZK::FineModifier(mod) ? kFineWheelStep : kWheelStep;
}

void IKnobControlZK::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  mValue += DragChange(dX, dY, CZK::FineModifier(mod));
  SetDirty(true);
}

// ---------------------------------------------------------------------------------------
IKnobMultiControlZK::IKnobMultiControlZK(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                         int textLength, IControlZK::LabelPosition position,
                                         IControlZK::LabelAlignment alignment, int offsetX, int offsetY,
                                         EDirection direction, double gearing)
    : IKnobControlZK(plug,
                     IRECT(x, y, x + Copied(bitmap).FrameWidth(), y + Copied(bitmap).FrameHeight()), paramIdx,
                     direction, gearing),
      mBitmap(Copied(bitmap)),
      mBitmapRECT(x, y, x + mBitmap.FrameWidth(), y + mBitmap.FrameHeight()),
      mValuePosition(position),
      mValueAlignment(alignment),
      mValueOffsetX(offsetX),
      mValueOffsetY(offsetY),
      mTextLength(textLength)
{
  IKnobMultiControlZK::SetTargetRect(mBitmapRECT);
  IKnobMultiControlZK::SetStyle();
  mPromptDisabled = false;
  mValueShown = false;
}

void IKnobMultiControlZK::SetStyle()
{
  SetColorLine(IColor(255, 255, 255, 255));
  SetColorFill(IColor(150, 30, 30, 30));
  mText.mEntryBackColor = mColorFill;
  mText.mEntryTextColor = mColorLine;
  SetTextLength(mTextLength);
}

void IKnobMultiControlZK::SetTextLength(int n)
{
  mTextLength = n;
  const int s = mText.mSize;
  const int w = (n + 1) * s / 2;
  const int frameW = mBitmap.FrameWidth(), frameH = mBitmap.FrameHeight();
  const IRECT& r = mRect;
  int x = 0, y = 0;
  switch (mValuePosition)
  {
  case kLabelBelow: x = r.L + mValueOffsetX, y = r.B + mValueOffsetY + kValueBoxGap; break;
  case kLabelAbove: x = r.L + mValueOffsetX, y = r.T - s - mValueOffsetY - kValueBoxGap; break;
  case kLabelLeft: x = r.L - w - mValueOffsetX, y = r.T + mValueOffsetY; break;
  case kLabelRight: x = r.R + mValueOffsetX, y = r.T + mValueOffsetY; break;
  default: break;
  }
  const bool beside = mValuePosition == kLabelLeft || mValuePosition == kLabelRight;
  const bool underOrOver = mValuePosition == kLabelBelow || mValuePosition == kLabelAbove;
  if (mValueAlignment == kLabelAlignEnd)
  {
    if (beside) y += frameH - s;
    if (underOrOver) x += frameW - w;
  }
  else if (mValueAlignment == kLabelAlignCenter)
  {
    if (beside) y += static_cast<int>(std::floor((frameH - s) / 2.0));
    if (underOrOver) x += static_cast<int>(std::floor((frameW - w) / 2.0));
  }
  x += mExtraOffsetX;
  y += mExtraOffsetY;
  mValueTextRECT = IRECT(x, y, x + w, y + s);
  mRect = mRect.Union(mValueTextRECT);
}

void IKnobMultiControlZK::SetValueTextOffset(int x, int y)
{
  mExtraOffsetX = x;
  mExtraOffsetY = y;
  mValueTextRECT = CZK::Moved(mValueTextRECT, x, y);
  // Wherever the box goes, redraws must still cover it.
  mRect = mRect.Union(mValueTextRECT);
}

void IKnobMultiControlZK::SetTargetRect(IRECT r)
{
  mTargetRect = r;
  mSavedTargetRECT = r;
}

void IKnobMultiControlZK::ExtendTargetAreaWithText()
{
  IRECT& t = mTargetRect;
  const IRECT& v = mValueTextRECT;
  const IRECT& saved = mSavedTargetRECT;
  switch (mValuePosition)
  {
  case kLabelBelow: t.B += v.B - saved.B; break;
  case kLabelAbove: t.T += v.T - saved.T; break;
  case kLabelLeft: t.L += v.L - saved.L; break;
  case kLabelRight: t.R += v.R - saved.R; break;
  default: break;
  }
  if (t.B - t.T < kMinTargetSize) t.B = t.T + kMinTargetSize;
  if (t.R - t.L < kMinTargetSize) t.R = t.L + kMinTargetSize;
}

void IKnobMultiControlZK::CollapseTargetArea()
{
  mTargetRect = mSavedTargetRECT;
}

void IKnobMultiControlZK::ShiftControlBy(int dx, int dy)
{
  IControlZK::ShiftControlBy(dx, dy);
  mSavedTargetRECT = CZK::Moved(mSavedTargetRECT, dx, dy);
  mValueTextRECT = CZK::Moved(mValueTextRECT, dx, dy);
  mBitmapRECT = CZK::Moved(mBitmapRECT, dx, dy);
}

void IKnobMultiControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (!CZK::LeftButton(mod)) return;
  if (mValueShown)
  {
    // Elsewhere on the knob a drag may follow.
    if (mValueTextRECT.Contains(x, y)) PromptUserInput(&mValueTextRECT);
  }
  else if (mShowValue)
  {
    ExtendTargetAreaWithText();
    mValueShown = true;
    SetDirty(false);
  }
}

void IKnobMultiControlZK::OnMouseDblClick(int, int, IMouseMod* mod)
{
  // Before the plug-in has given a value there is no default to go back to.
  if (mDefaultValue < 0.0) return;
  if (CZK::LeftButton(mod)) mValue = mDefaultValue;
  SetDirty(true);
}

void IKnobMultiControlZK::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  if (!mValueShown)
  {
    mValueShown = true;
    ExtendTargetAreaWithText();
  }
  mValue += d * WheelStep(mod);
  SetDirty(true);
}

void IKnobMultiControlZK::OnMouseOut()
{
  if (mValueShown)
  {
    mValueShown = false;
    SetDirty(false);
    CollapseTargetArea();
  }
  mSignalHideTooltip.Emit(mParamIdx);
}

int IKnobMultiControlZK::FrameFor(double position) const
{
  const int n = std::max(mBitmap.N, 1);
  const int i = static_cast<int>((n - 1) * position + 0.5);
  return std::clamp(i + 1, 1, n);
}

void IKnobMultiControlZK::DrawFrame(IGraphics* graphics, double position)
{
  graphics->DrawBitmap(&mBitmap, &mBitmapRECT, FrameFor(position), &mBlend);
  DrawLabels(graphics);
  DrawValue(graphics);
}

bool IKnobMultiControlZK::Draw(IGraphics* graphics)
{
  DrawFrame(graphics, mValue);
  return true;
}

void IKnobMultiControlZK::DrawValue(IGraphics* graphics)
{
  if (!mValueShown || !mShowValue) return;
  const IParam* param = GetParam();
  if (!param) return;
  char display[IParam::kDisplaySize];
  param->GetDisplayForHost(param->Value(), false, display, true);
  const std::string shown = FirstCharacters(display, mTextLength);
  if (shown.empty()) return;
  const IColor box = CZK::WithAlpha(mColorFill, kValueBoxAlpha);
  graphics->FillIRect(&box, &mValueTextRECT);
  IText style = mText;
  CZK::ResizeText(style, kValueTextSize);
  // The text is taller than its box: centred on it, the digits' ink stays inside the
  // area the knob redraws, so hiding the box leaves nothing behind.
  IRECT line = mValueTextRECT;
  graphics->DrawIText(&style, shown.c_str(), &line, true);
  IRECT r = mValueTextRECT;
  r.T -= (line.H() - mValueTextRECT.H()) / 2;
  r.B = r.T + line.H();
  graphics->DrawIText(&style, shown.c_str(), &r);
}
