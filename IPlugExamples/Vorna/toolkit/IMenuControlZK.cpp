// The menu control: showing and closing menus, and drawing their levels.

#include "IMenuControlZK.h"

#include "IGraphics.h"

#include <cstring>

namespace
{
constexpr int kEditorMargin = 40;
constexpr int kShadowOffset = 10;
constexpr double kOtherFontWidthFactor = 0.55;
constexpr double kMarkRadius = 0.2;   // of the text size
constexpr double kTextDrop = 0.166;   // of the text size, below the item's top
const IColor kShadow(60, 0, 0, 0);
const IColor kItemColor(255, 60, 60, 60);
}  // namespace

MenuDrawData::MenuDrawData()
    : mItemStyle(mTextSize, &kItemColor, "Geneva", IText::kStyleNormal, IText::kAlignNear),
      mBlend(IChannelBlend::kBlendNone, 1.0f)
{
  mItemStyle.mEntryBackColor = COLOR_TRANSPARENT;
  mDisabledStyle = mItemStyle;
  mDisabledStyle.mColor = COLOR_GRAY;
  CheckFontCorrectness();
}

void MenuDrawData::CheckFontCorrectness()
{
  if (std::strncmp(mItemStyle.mFontName, mExpectedFont, IText::kFontNameSize) == 0) return;
  mPlainCount = false;
  mWidthFactor = kOtherFontWidthFactor;
}

IMenuControlZK::IMenuControlZK(IPlugBase* plug, IRECT rect) : IControlZK(plug, rect), mRoot(this, &mDrawData)
{
  mHide = true;
  SetStyle();
  mRect = AreaRECT();
}

void IMenuControlZK::SetStyle()
{
  mDrawData.mMargin = kEditorMargin;
}

IRECT IMenuControlZK::AreaRECT() const
{
  const IRECT editor = EditorRECT();
  return editor.Empty() ? IRECT(0, 0, mDrawData.mAreaW, mDrawData.mAreaH) : editor;
}

void IMenuControlZK::ShowMenu(IMenuZK* menu, int x, int y)
{
  mMenu = menu;
  mRoot.Inflate(menu, x, y);
  mHide = false;
  SetDirty(true);
}

void IMenuControlZK::OnMouseDown(int x, int y, IMouseMod*)
{
  mRoot.OnMouseDown(x, y);
  mHide = true;
  SetDirty(true);
}

void IMenuControlZK::OnMouseOver(int x, int y, IMouseMod*)
{
  mHovered = mRoot.OnMouseOver(x, y);
  SetDirty(true);
}

void IMenuControlZK::OnMouseOut()
{
  mHide = true;
  mRoot.CloseChildren();
  mRoot.ResetDirections();
  mHovered = nullptr;
  SetDirty(true);
}

bool IMenuControlZK::Draw(IGraphics* graphics)
{
  mGraphics = graphics;
  mRect = AreaRECT();
  DrawInflater(&mRoot, mHovered);
  return true;
}

void IMenuControlZK::DrawOpenBox(IColor color, IRECT r, int side)
{
  if (!mGraphics) return;
  IRECT top(r.L + 1, r.T, r.R - 1, r.T + 1), bottom(r.L + 1, r.B - 1, r.R - 1, r.B);
  IRECT left(r.L, r.T + 1, r.L + 1, r.B - 1), right(r.R - 1, r.T + 1, r.R, r.B - 1);
  const IChannelBlend* blend = &mDrawData.mBlend;
  if (side != 0) mGraphics->FillIRect(&color, &top, blend);
  if (side != 1) mGraphics->FillIRect(&color, &bottom, blend);
  if (side != 2) mGraphics->FillIRect(&color, &left, blend);
  if (side != 3) mGraphics->FillIRect(&color, &right, blend);
}

void IMenuControlZK::DrawInflater(IMenuInflaterZK* level, IMenuItemZK* hovered)
{
  const IChannelBlend* blend = &mDrawData.mBlend;
  IRECT r = level->GetLevelRECT();
  IRECT shadowRight(r.R, r.T + kShadowOffset, r.R + kShadowOffset, r.B + kShadowOffset);
  IRECT shadowBelow(r.L + kShadowOffset, r.B, r.R, r.B + kShadowOffset);
  mGraphics->FillIRect(&kShadow, &shadowRight, blend);
  mGraphics->FillIRect(&kShadow, &shadowBelow, blend);
  mGraphics->FillIRect(&mColorFill, &r, blend);

  IMenuInflaterZK* open = nullptr;
  const int n = level->GetMenu() ? level->GetMenu()->NItems() : 0;
  for (int i = 0; i < n; ++i)
    if (IMenuInflaterZK* child = DrawMenuItem(level, i, hovered)) open = child;
  if (open) DrawInflater(open, hovered);

  const IColor& c = mText.mColor;
  const auto soften = [](int v) { return static_cast<int>(0.5 * v + 40); };
  const IColor outline(c.A, soften(c.R), soften(c.G), soften(c.B));
  mGraphics->DrawRect(&outline, &r);
}

IMenuInflaterZK* IMenuControlZK::DrawMenuItem(IMenuInflaterZK* level, int index, IMenuItemZK* hovered)
{
  const IMenuItemZK* item = level->GetMenu()->GetItem(index);
  const IChannelBlend* blend = &mDrawData.mBlend;
  IRECT r = level->GetItemRECT(index);
  const int s = mDrawData.mTextSize, dy = static_cast<int>(kTextDrop * s);
  if (item->mState == IMenuItemZK::kItemSeparator)
  {
    mGraphics->FillIRect(&mText.mColor, &r, blend);
    return nullptr;
  }

  IText& style = item->mState == IMenuItemZK::kItemDisabled ? mDrawData.mDisabledStyle : mDrawData.mItemStyle;
  CZK::ResizeText(style, s);
  const IColor own = style.mColor;
  IColor mark = mText.mColor;
  if (item == hovered && item->mState != IMenuItemZK::kItemDisabled && item->mState != IMenuItemZK::kItemTitle)
  {
    style.mColor = mark = mColorHiLine;
    mGraphics->FillIRect(&mColorHiFill, &r, blend);
  }
  DrawOpenBox(mColorFill, r, 0);

  const char* text = item->mText.Get();
  if (item->mState == IMenuItemZK::kItemTitle)
  {
    IRECT at = CZK::Moved(r, static_cast<int>(0.5 * s), dy);
    mGraphics->DrawIText(&style, text, &at);
  }
  else
  {
    if (item->mState == IMenuItemZK::kItemChecked)
      mGraphics->FillCircle(&mark, r.L + r.H() / 2, static_cast<int>((r.T + r.B) * 0.5),
                            static_cast<float>(kMarkRadius * s), blend, true);
    IRECT at = CZK::Moved(r, mDrawData.mItemHeight, dy);
    mGraphics->DrawIText(&style, text, &at);
  }

  IMenuInflaterZK* open = nullptr;
  if (item->mSubmenu)
  {
    IMenuInflaterZK* child = level->GetChild();
    const bool openHere = level->IsChildOpen() && child && child->GetAnchorItem() == index &&
                          child->GetMenu() == item->mSubmenu;
    const bool leftward = openHere && !child->OpensRight();
    IRECT at = CZK::Moved(r, leftward ? static_cast<int>(0.5 * s) : level->GetWidth() - s, dy);
    mGraphics->DrawIText(&style, openHere ? (leftward ? "<" : ">") : "/", &at);
    if (openHere) open = child;
  }
  style.mColor = own;
  return open;
}
