#include "ITooltipControlZK.h"

#include "IGraphics.h"
#include "IParam.h"
#include "IPlugBase.h"

#include <algorithm>
#include <cstring>

namespace
{
// Where the bubble sits from the mouse, and how close it may come to an edge.
constexpr int kMouseDistance = 10;
constexpr int kTextInsetX = 6, kTextInsetY = 5;
constexpr int kShadowOffset = 10;
constexpr double kOtherFontWidthFactor = 0.55;
const IColor kShadow(60, 0, 0, 0);
const IRECT kNowhere(-1, -1, -1, -1);
}  // namespace

ITooltipControlZK::ITooltipControlZK(IPlugBase* plug, int paramIdx, int textSize)
    : IControlZK(plug, IRECT(), paramIdx)
{
  SetFont("Geneva");
  CheckFontCorrectness();
  SetTextSize(textSize);
  SetColorLine(IColor(255, 255, 132, 132));
  SetColorFill(IColor(255, 40, 40, 40));
  mTargetRect = kNowhere;
}

void ITooltipControlZK::CheckFontCorrectness()
{
  if (std::strncmp(mText.mFontName, mExpectedFont, IText::kFontNameSize) == 0) return;
  mPlainCount = false;
  mWidthFactor = kOtherFontWidthFactor;
}

void ITooltipControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R) mSignalRightClick.Emit(mParamIdx, x, y);
}

void ITooltipControlZK::OnShowTooltip(int param, const std::string* source, int x, int y)
{
  if (!mTipsEnabled) return;
  mTipShown = true;
  if (param != mTipParamIdx || source != mTipSource)
  {
    RecreateTooltip(param, source);
    CalcRect();
  }
  PositionRect(x, y);
  SetDirty(false);
}

void ITooltipControlZK::OnHideTooltip(int)
{
  mTipShown = false;
  mTipParamIdx = -1;
  mTipSource = nullptr;
  mTipText.clear();
  SetDirty(false);
  mRedraw = true;
}

void ITooltipControlZK::RecreateTooltip(int param, const std::string* source)
{
  mTipText.clear();
  mTipNameOnly = true;
  if (param >= 0 && mPlug && param < mPlug->NParams()) mTipText = mPlug->GetParam(param)->GetNameForHost();
  if (source && !source->empty())
  {
    if (!mTipText.empty()) mTipText += "\n";
    mTipText += *source;
    mTipNameOnly = false;
  }
  mTipParamIdx = param;
  mTipSource = source;
}

void ITooltipControlZK::CalcRect()
{
  const int size = GetTextSize();
  mBodyRECT = CZK::Grown(CZK::RectForText(mTipText, size, 0, mPlainCount, mNarrowChars, mWidthFactor), size / 4);
}

void ITooltipControlZK::PositionRect(int x, int y)
{
  const int w = mBodyRECT.W(), h = mBodyRECT.H();
  IRECT bubble(x + kMouseDistance, y + kMouseDistance, x + kMouseDistance + w, y + kMouseDistance + h);
  const IGraphics* gui = GetGUI();
  const int areaW = gui ? gui->Width() : 0, areaH = gui ? gui->Height() : 0;
  int mx = 0, my = 0;
  if (x < -kMouseDistance) mx = -x;
  else if (bubble.R - areaW > -kMouseDistance) mx = -w - 2 * kMouseDistance;
  if (y < -kMouseDistance) my = -y;
  else if (bubble.B - areaH > -kMouseDistance) my = -h - 2 * kMouseDistance;
  bubble = CZK::Moved(bubble, mx, my);
  // A bubble wider than the room left of the mouse would flip past the left edge and lose
  // the start of every line: it is moved back inside the editor, the left and top edges
  // winning over the right and bottom ones.
  if (gui)
  {
    const int dx = std::max(-bubble.L, std::min(0, areaW - bubble.R));
    const int dy = std::max(-bubble.T, std::min(0, areaH - bubble.B));
    bubble = CZK::Moved(bubble, dx, dy);
  }
  mBodyRECT = bubble;

  mTextRECT = mTipNameOnly ? CZK::GetRectForTextInRect(mTipText, bubble, GetTextSize(), 0, true)
                           : CZK::Moved(bubble, kTextInsetX, kTextInsetY);
  const IRECT area(bubble.L, bubble.T, bubble.R + mShadowSize, bubble.B + mShadowSize);
  // Moving a bubble that is up keeps its old place in the area, so that place is
  // repainted too.
  mRect = !mTipShown && !mRedraw ? area : mRect.Union(area);
}

bool ITooltipControlZK::Draw(IGraphics* graphics)
{
  // Nothing needs clearing: the redraw cycle has repainted what lies under the drawing
  // rectangle before this control draws.
  if (mTipsEnabled && mTipShown && !mTipText.empty())
  {
    const IRECT& b = mBodyRECT;
    IRECT shadowRight(b.R, b.T + kShadowOffset, b.R + kShadowOffset, b.B + kShadowOffset);
    IRECT shadowBelow(b.L + kShadowOffset, b.B, b.R, b.B + kShadowOffset);
    graphics->FillIRect(&kShadow, &shadowRight, &mBlend);
    graphics->FillIRect(&kShadow, &shadowBelow, &mBlend);
    IRECT bubble = b;
    graphics->FillIRect(&mColorFill, &bubble, &mBlend);
    const auto edge = [](int c) { return static_cast<int>(0.4 * c + 48); };
    const IColor border(mColorLine.A, edge(mColorLine.R), edge(mColorLine.G), edge(mColorLine.B));
    graphics->DrawRect(&border, &bubble);
    mText.mAlign = mTipNameOnly ? IText::kAlignCenter : IText::kAlignNear;
    IRECT text = mTextRECT;
    graphics->DrawIText(&mText, mTipText.c_str(), &text);
  }
  else if (mRedraw)
  {
    // Hidden: the old place is being repainted now; the bubble's rectangles collapse.
    mBodyRECT = mRect = mTargetRect;
    MarkDirty();
  }
  return true;
}
