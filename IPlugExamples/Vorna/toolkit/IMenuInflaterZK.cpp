// The levels of a toolkit menu: their layout, their flipping at the editor's edges and
// how they answer the mouse.

#include "IMenuControlZK.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kWideExtra = 0.2;
constexpr double kNarrowSaving = 0.3;
// Room for the text of an item without a submenu beyond its characters.
constexpr double kPlainItemExtra = 0.5;
}  // namespace

const IRECT* IMenuInflaterZK::Anchor() const
{
  if (!mParent || mAnchorItem < 0 || mAnchorItem >= static_cast<int>(mParent->mItemRECTs.size())) return nullptr;
  return &mParent->mItemRECTs[mAnchorItem];
}

const IMenuInflaterZK* IMenuInflaterZK::Root() const
{
  const IMenuInflaterZK* level = this;
  while (level->mParent) level = level->mParent;
  return level;
}

void IMenuInflaterZK::RefillRECTArray()
{
  mItemRECTs.clear();
  mTotalHeight = 0;
  const int n = mMenu ? mMenu->NItems() : 0;
  for (int i = 0; i < n; ++i)
  {
    const IMenuItemZK::ItemState state = mMenu->GetItem(i)->mState;
    const int h = state == IMenuItemZK::kItemTitle       ? mDrawData->mTitleHeight
                  : state == IMenuItemZK::kItemSeparator ? mDrawData->mSeparatorHeight
                                                         : mDrawData->mItemHeight;
    mItemRECTs.emplace_back(0, 0, 0, h);
    mTotalHeight += h;
  }
}

void IMenuInflaterZK::CalcMenuWidth()
{
  const MenuDrawData& d = *mDrawData;
  double widest = 0.0;
  const int n = mMenu ? mMenu->NItems() : 0;
  for (int i = 0; i < n; ++i)
  {
    const IMenuItemZK& item = *mMenu->GetItem(i);
    const std::string text = item.mText.Get();
    double e = static_cast<double>(text.size());
    if (item.mState != IMenuItemZK::kItemTitle) e += d.mCheckColumn;
    if (!d.mPlainCount)
      e += kWideExtra * static_cast<double>(CZK::CountWide(text)) -
           kNarrowSaving * static_cast<double>(CZK::CountNarrow(text, d.mNarrowChars));
    e += item.mSubmenu ? d.mCheckColumn : kPlainItemExtra;
    widest = i == 0 ? e : std::max(widest, e);
  }
  mWidth = n ? static_cast<int>(std::floor(d.mTextSize * d.mWidthFactor * widest)) : 0;
}

void IMenuInflaterZK::PositionMenuRect(int x, int y, int anchorW, int anchorH)
{
  const int w = mWidth, h = mTotalHeight, areaW = mDrawData->mAreaW, areaH = mDrawData->mAreaH;
  int top = y;
  if (!mParent)
  {
    if (areaW < x + w) x = std::max(0, x - w - anchorW);
    top = areaH >= y + h ? y : std::max(0, y + anchorH - h);
  }
  else
  {
    if (mOpensRight)
    {
      if (areaW < x + w)
      {
        mOpensRight = false;
        x = std::max(0, x - w - anchorW);
      }
    }
    else if (x - w - anchorW < 0)
    {
      mOpensRight = true;
      x -= std::max(0, x + w - areaW);
    }
    else
      x = x - w - anchorW;

    if (mOpensDown)
    {
      if (areaH < y + h)
      {
        mOpensDown = false;
        top = std::max(0, y + anchorH - h);
      }
    }
    else
    {
      top = y + anchorH - h;
      if (top < 0)
      {
        mOpensDown = true;
        top = y;
      }
    }
  }
  mLevelRECT = IRECT(x, top, x + w, top + h);
}

void IMenuInflaterZK::UpdItemRECTs()
{
  int top = mLevelRECT.T;
  for (IRECT& r : mItemRECTs)
  {
    const int h = r.H();
    r = IRECT(mLevelRECT.L, top, mLevelRECT.L + mWidth, top + h);
    top += h;
  }
}

void IMenuInflaterZK::Inflate(IMenuZK* menu, int x, int y, int anchorItem)
{
  // A level below belongs to an item of the menu shown here before.
  if (menu != mMenu) CloseChildren();
  mMenu = menu;
  RefillRECTArray();
  CalcMenuWidth();
  mAnchorItem = anchorItem;
  const IRECT* anchor = Anchor();
  mOpensRight = mParent ? mParent->mOpensRight : true;
  mOpensDown = mParent ? mParent->mOpensDown : true;
  PositionMenuRect(x, y, anchor ? anchor->W() : 0, anchor ? anchor->H() : 0);
  UpdItemRECTs();
  // A submenu level still open follows its item to the level's new place.
  if (mChildOpen && mChild)
  {
    const int i = mChild->mAnchorItem;
    if (mMenu && i >= 0 && i < mMenu->NItems() && mMenu->GetItem(i)->mSubmenu == mChild->mMenu)
      mChild->Inflate(mChild->mMenu, mItemRECTs[i].R, mItemRECTs[i].T, i);
    else
      CloseChildren();
  }
  mOwner->SetTargetRect(CZK::Grown(Root()->TreeOutline(), mDrawData->mMargin));
}

void IMenuInflaterZK::CloseChildren()
{
  for (IMenuInflaterZK* level = this; level; level = level->mChild.get()) level->mChildOpen = false;
}

void IMenuInflaterZK::ResetDirections()
{
  for (IMenuInflaterZK* level = this; level; level = level->mChild.get()) level->mOpensRight = level->mOpensDown = true;
}

void IMenuInflaterZK::OpenSubmenu(int i)
{
  IMenuZK* submenu = mMenu->GetItem(i)->mSubmenu;
  if (!mChild) mChild = std::make_unique<IMenuInflaterZK>(mOwner, mDrawData, this);
  const bool other = mChild->mMenu != submenu || mChild->mAnchorItem != i;
  if (other) mChild->CloseChildren();
  const bool wasOpen = mChildOpen;
  mChildOpen = true;
  if (!wasOpen || other) mChild->Inflate(submenu, mItemRECTs[i].R, mItemRECTs[i].T, i);
}

bool IMenuInflaterZK::OnMouseDown(int x, int y)
{
  if (mChildOpen && mChild && mChild->OnMouseDown(x, y)) return true;
  for (int i = 0; i < static_cast<int>(mItemRECTs.size()); ++i)
  {
    if (!mItemRECTs[i].Contains(x, y)) continue;
    const IMenuItemZK& item = *mMenu->GetItem(i);
    if (item.mState == IMenuItemZK::kItemDisabled || item.mState == IMenuItemZK::kItemTitle ||
        item.mState == IMenuItemZK::kItemSeparator)
      continue;
    if (item.mSubmenu) OpenSubmenu(i);
    else mMenu->CheckItem(i, item.mState != IMenuItemZK::kItemChecked);
    return true;
  }
  return false;
}

IMenuItemZK* IMenuInflaterZK::OnMouseOver(int x, int y)
{
  if (mChildOpen && mChild)
  {
    if (IMenuItemZK* item = mChild->OnMouseOver(x, y)) return item;
  }
  else if (const IRECT* anchor = Anchor();
           anchor && !CZK::Grown(mLevelRECT, mDrawData->mMargin).Contains(x, y) && !anchor->Contains(x, y))
  {
    mParent->mChildOpen = false;
    CloseChildren();
    return nullptr;
  }
  for (int i = 0; i < static_cast<int>(mItemRECTs.size()); ++i)
    if (mItemRECTs[i].Contains(x, y)) return mMenu->GetItem(i);
  return nullptr;
}

IRECT IMenuInflaterZK::Outline(const IRECT& a, const IRECT& b)
{
  return IRECT(std::min(a.L, b.L), std::min(a.T, b.T), std::max(a.R, b.R), std::max(a.B, b.B));
}

IRECT IMenuInflaterZK::TreeOutline() const
{
  return mChildOpen && mChild ? Outline(mLevelRECT, mChild->TreeOutline()) : mLevelRECT;
}
