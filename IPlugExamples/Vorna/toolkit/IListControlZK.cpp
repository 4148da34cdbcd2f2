#include "IListControlZK.h"

#include "IGraphics.h"
#include "IParam.h"
#include "IPlugBase.h"

#include <algorithm>

namespace
{
constexpr double kRowHeightFactor = 1.1;
constexpr int kGridMouseMargin = 20;
const char* const kMissingName = "ERR";

// The highlight of the chosen cell reaches one pixel over the grid line to its right
// and below; the shadow stays inside the cell.
void DrawHighlight(IGraphics* graphics, const IRECT& cell, IColor fill, bool shadow)
{
  IRECT grown(cell.L, cell.T, cell.R + 1, cell.B + 1);
  graphics->FillIRect(&fill, &grown);
  if (shadow) CZK::DrawPressedShadow(graphics, cell);
}

// The frame round a grid cell: the line colour pulled towards a mid grey.
IColor CellFrameColor(const IColor& line)
{
  const auto toward = [](int c) { return static_cast<int>(c * 0.30000000000000004 + 56); };
  return IColor(line.A, toward(line.R), toward(line.G), toward(line.B));
}
}  // namespace

IListControlZK::IListControlZK(IPlugBase* plug, int x, int y, int paramIdx, std::vector<std::string> names,
                               int textSize, int minChars, int rowsPerColumn, TextControlBGStyle style, EDirection)
    : IControlZK(plug, IRECT(x, y, x + textSize, y + textSize), paramIdx),
      mStyle(style),
      mRowHeight(static_cast<int>(textSize * kRowHeightFactor)),
      mRowsPerColumn(std::max(rowsPerColumn, 1)),
      mWidthInChars(minChars)
{
  const IColor line(255, 255, 132, 132);
  SetColorLine(line);
  SetColorFill(IColor(255, 60, 60, 60));
  SetColorHiLine(IColor(255, 255, 255, 255));
  SetColorHiFill(line);
  SetTextStyle(textSize, line, "Geneva", IText::kStyleNormal, IText::kAlignCenter);
  SetNames(std::move(names));
  // The parameter's own start, value and entry together: a redraw asked for before the
  // plug-in first sends the value must not move the entry the wheel and the grid start from.
  if (const IParam* param = GetParam())
  {
    mValue = mDefaultValue = param->GetNormalized(param->GetDefault());
    mHoveredIndex = static_cast<int>(EntryOf(mValue) + 0.5);
  }
}

double IListControlZK::NormalizedEntry(int i) const
{
  if (const IParam* param = GetParam()) return param->GetNormalized(i);
  return NNames() > 1 ? static_cast<double>(i) / (NNames() - 1) : 0.0;
}

double IListControlZK::EntryOf(double normalized) const
{
  if (const IParam* param = GetParam()) return param->GetNonNormalized(normalized);
  return normalized * (NNames() - 1);
}

int IListControlZK::ShownEntry() const
{
  return std::clamp(static_cast<int>((NNames() - 1) * mValue + 0.5), 0, NNames() - 1);
}

void IListControlZK::SetNames(std::vector<std::string> names)
{
  mRect = mBodyRECT;
  mNames = std::move(names);
  while (mNames.size() < 2) mNames.push_back(kMissingName);
  size_t longest = 0;
  for (const std::string& name : mNames) longest = std::max(longest, name.size());
  mWidthInChars = std::max(mWidthInChars, static_cast<int>(longest)) + 1;
  mCellWidth = static_cast<int>(mText.mSize * mWidthInChars * 0.5);
  mBodyRECT = IRECT(mBodyRECT.L, mBodyRECT.T, mBodyRECT.L + mCellWidth, mBodyRECT.T + mRowHeight);
  SetRects(mBodyRECT);
}

void IListControlZK::PositionControlAt(int x, int y)
{
  SetRects(mBodyRECT);
  IControlZK::ShiftControlBy(x - mBodyRECT.L, y - mBodyRECT.T);
  mBodyRECT = mRect;
}

IRECT IListControlZK::CellRECT(int i) const
{
  return CZK::Moved(mBodyRECT, (i / mRowsPerColumn) * mCellWidth, (i % mRowsPerColumn) * mRowHeight);
}

void IListControlZK::ExpandAreaToFullView()
{
  const int n = NNames();
  const int columns = std::max(1, static_cast<int>(static_cast<double>(n) / mRowsPerColumn + 0.5));
  const int L = mBodyRECT.L, T = mBodyRECT.T;
  mRect = IRECT(L, T, L + columns * mCellWidth + 1, T + std::min(n, mRowsPerColumn) * mRowHeight + 1);
  mTargetRect = CZK::Grown(mRect, kGridMouseMargin);
  mExpanded = true;
  mPromptDisabled = true;
  MarkDirty();
}

void IListControlZK::OnMouseOver(int x, int y, IMouseMod*)
{
  ShowTooltip(x, y);
  if (x == mLastX && y == mLastY) return;
  mLastX = x;
  mLastY = y;
  if (!mExpanded || !mRect.Contains(x, y)) return;
  const int hovered = std::min((y - mRect.T) / mRowHeight + (x - mRect.L) / mCellWidth * mRowsPerColumn, NNames() - 1);
  if (hovered == mHoveredIndex) return;
  mHoveredIndex = hovered;
  MarkDirty();
}

void IListControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (ReportRightClick(x, y, mod)) return;
  if (mExpanded)
  {
    mExpanded = false;
    mPromptDisabled = false;
    mValue = NormalizedEntry(mHoveredIndex);
    SetDirty(true);
  }
  else if (NNames() > 2)
    ExpandAreaToFullView();
  else
  {
    mValue = mValue == 0.0 ? 1.0 : 0.0;
    mHoveredIndex = static_cast<int>(mValue);
    mPressed = true;
    SetDirty(true);
  }
}

void IListControlZK::OnMouseUp(int, int, IMouseMod*)
{
  mPressed = false;
  MarkDirty();
}

void IListControlZK::OnMouseWheel(int, int, IMouseMod*, int d)
{
  const IParam* param = GetParam();
  const int lo = param ? static_cast<int>(param->GetMin()) : 0;
  const int hi = param ? static_cast<int>(param->GetMax()) : NNames() - 1;
  // Closed, the hovered entry is the one shown.
  const int from = mExpanded ? mHoveredIndex : ShownEntry();
  const int i = std::clamp(from + d, lo, hi);
  if (i != from)
  {
    mValue = NormalizedEntry(i);
    SetDirty(true);
  }
  if (!mExpanded) mPressed = true;
}

void IListControlZK::OnMouseDblClick(int, int, IMouseMod*)
{
  mValue = mDefaultValue;
  const int i = static_cast<int>(EntryOf(mDefaultValue) + 0.5);
  if (i != mHoveredIndex)
  {
    mHoveredIndex = i;
    IControl::SetDirty(true);
  }
  if (!mExpanded) mPressed = true;
  mExpanded = false;
}

void IListControlZK::OnMouseOut()
{
  mHoveredIndex = static_cast<int>(EntryOf(mValue));
  mExpanded = false;
  mLastX = mLastY = -1;
  MarkDirty();
  mRedraw = true;
  mSignalHideTooltip.Emit(mParamIdx);
}

void IListControlZK::SetDirty(bool pushParamToPlug)
{
  MarkDirty();
  mValue = std::clamp(mValue, mClampLo, mClampHi);
  mHoveredIndex = static_cast<int>(EntryOf(mValue) + 0.5);
  mValue = NormalizedEntry(mHoveredIndex);
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  mPlug->SetParameterFromGUI(mParamIdx, mValue);
  if (const IParam* param = GetParam()) UpdateDisplayControls(param->Value());
}

bool IListControlZK::Draw(IGraphics* graphics)
{
  const IColor line = CZK::Shown(mColorLine, mGrayedOut);
  const IColor fill = CZK::Shown(mColorFill, mGrayedOut);
  const IColor hiLine = CZK::Shown(mColorHiLine, mGrayedOut);
  const IColor hiFill = CZK::Shown(mColorHiFill, mGrayedOut);
  IText style = mText;
  if (mExpanded)
  {
    graphics->FillIRect(&fill, &mRect);
    const IColor frame = CellFrameColor(line);
    for (int i = 0; i < NNames(); ++i)
    {
      IRECT cell = CellRECT(i);
      if (i == mHoveredIndex)
      {
        DrawHighlight(graphics, cell, hiFill, mPressedShadow);
        style.mColor = hiLine;
      }
      else
      {
        graphics->DrawRect(&frame, &cell);
        style.mColor = line;
      }
      graphics->DrawIText(&style, mNames[i].c_str(), &cell);
    }
    return true;
  }
  DrawLabels(graphics);
  style.mColor = line;
  if (mPressed)
  {
    style.mColor = hiLine;
    DrawHighlight(graphics, mBodyRECT, hiFill, mPressedShadow);
    mPressed = false;
    // Drawn released at the next frame: the highlight flashes once.
    mRedraw = true;
  }
  IRECT body = mBodyRECT;
  graphics->DrawIText(&style, mNames[ShownEntry()].c_str(), &body);
  SetRects(mBodyRECT);
  return true;
}
