// Panels, bitmaps, switches, radio buttons and the file selector.

#include "IControls.h"
#include "IGraphics.h"
#include "IPlugBase.h"

#include <algorithm>

namespace
{
// Values at and beyond this step a switch back to 0: a little room for rounding.
constexpr double kSwitchWrap = 1.001;

// The rectangle of a bitmap's frame at (x, y).
IRECT FrameRect(int x, int y, const IBitmap& bitmap)
{
  return IRECT(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight());
}

IBitmap Copy(const IBitmap* bitmap)
{
  return bitmap ? *bitmap : IBitmap();
}

// The index of the first rectangle holding the point, or -1.
int PartAt(const WDL_TypedBuf<IRECT>& parts, int x, int y)
{
  for (int i = 0; i < parts.GetSize(); ++i)
    if (parts.Get()[i].Contains(x, y)) return i;
  return -1;
}
}  // namespace

int FrameFromValue(int nFrames, double value)
{
  if (nFrames < 2) return 1;
  const int k = static_cast<int>((nFrames - 1) * value + 0.5);
  if (k < 0) return 1;
  return k < nFrames ? k + 1 : nFrames;
}

IPanelControl::IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color)
    : IControl(plug, rect, -1, IChannelBlend(IChannelBlend::kBlendNone)), mColor(color ? *color : COLOR_BLACK)
{
}

bool IPanelControl::Draw(IGraphics* graphics)
{
  return graphics->FillIRect(&mColor, &mRect, &mBlend);
}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, FrameRect(x, y, Copy(bitmap)), paramIdx, IChannelBlend(blendMethod)), mBitmap(Copy(bitmap))
{
}

bool IBitmapControl::Draw(IGraphics* graphics)
{
  return graphics->DrawBitmap(&mBitmap, &mRect, FrameFromValue(mBitmap.N, mValue), &mBlend);
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue += mBitmap.N < 2 ? 1.0 : 1.0 / (mBitmap.N - 1);
  if (mValue > kSwitchWrap) mValue = 0.0;
  SetDirty(true);
}

ISwitchPopUpControl::ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                         IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod)
{
  mPromptDisabled = false;
}

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*)
{
  PromptUserInput();
  SetDirty(true);
}

ISwitchFramesControl::ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                           bool imagesAreHorizontal, IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod)
{
  mPromptDisabled = false;
  const int n = std::max(mBitmap.N, 1);
  for (int i = 1; i <= n; ++i)
  {
    IRECT part = mRect;
    if (imagesAreHorizontal)
    {
      part.L = mRect.L + static_cast<int>((i - 1) * mRect.W() / n);
      part.R = static_cast<int>(part.L + mRect.W() / n);
    }
    else
    {
      part.T = mRect.T + static_cast<int>((i - 1) * mRect.H() / n);
      part.B = static_cast<int>(part.T + mRect.H() / n);
    }
    mRECTs.Add(part);
  }
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*)
{
  const int part = PartAt(mRECTs, x, y);
  if (part >= 0) mValue = mRECTs.GetSize() > 1 ? static_cast<double>(part) / (mRECTs.GetSize() - 1) : 0.0;
  SetDirty(true);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendClobber))
{
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons, IBitmap* bitmap,
                                           EDirection direction, bool reverse)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendNone)), mBitmap(Copy(bitmap))
{
  const int n = std::max(nButtons, 1);
  const int w = mBitmap.W, h = mBitmap.FrameHeight();
  const int gapX = n > 1 ? (rect.W() - n * w) / (n - 1) : 0;
  const int gapY = n > 1 ? (rect.H() - n * h) / (n - 1) : 0;
  for (int i = 0; i < n; ++i)
  {
    // Reversed, the first button sits at the far end.
    const int slot = reverse ? n - 1 - i : i;
    const int x = direction == kHorizontal ? rect.L + slot * (w + gapX) : rect.L;
    const int y = direction == kHorizontal ? rect.T : rect.T + slot * (h + gapY);
    mRECTs.Add(IRECT(x, y, x + w, y + h));
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
    PromptUserInput();
  else
  {
    const int n = mRECTs.GetSize();
    const int button = PartAt(mRECTs, x, y);
    if (button >= 0) mValue = n > 1 ? static_cast<double>(button) / (n - 1) : 0.0;
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics)
{
  const int n = mRECTs.GetSize();
  const int active = std::clamp(static_cast<int>((n - 1) * mValue + 0.5), 0, n - 1);
  for (int i = 0; i < n; ++i) graphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, i == active ? 2 : 1, &mBlend);
  return true;
}

void IContactControl::OnMouseUp(int, int, IMouseMod*)
{
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                             IRECT targetArea)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), mTargetArea(targetArea)
{
}

bool IBitmapOverlayControl::Draw(IGraphics* graphics)
{
  if (mValue < 0.5)
  {
    mTargetRect = mTargetArea;
    return true;
  }
  mTargetRect = mRect;
  return IBitmapControl::Draw(graphics);
}

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, IBitmap* bitmap,
                                           EFileAction action, const char* dir, const char* extensions)
    : IControl(plug, rect, paramIdx),
      mBitmap(Copy(bitmap)),
      mDir(dir ? dir : ""),
      mExtensions(extensions ? extensions : ""),
      mFileAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  mState = kFSSelecting;
  SetDirty(false);
  gui->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.GetWritable());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics)
{
  if (mState != kFSSelecting) return true;
  IRECT r = mRect;
  return graphics->DrawBitmap(&mBitmap, &r, 0, 0, nullptr);
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty) return true;
  if (mState == kFSDone)
  {
    mState = kFSNone;
    return true;
  }
  return false;
}
