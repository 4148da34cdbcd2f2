#pragma once

// The toolkit's menus drawn inside the editor: one control over the whole editor
// shows a menu model as a root level and, where an item with a submenu is clicked, a
// level for the submenu beside it. Levels flip left or up where they would cross the
// editor's edges. Any click ends the menu; so does the mouse straying further than
// the margin from the open levels.

#include "CZK.h"
#include "IControlZK.h"
#include "IMenuZK.h"

#include <memory>
#include <string>

class IMenuControlZK;

// Sizes, styles and the width heuristic of the levels.
struct MenuDrawData
{
  MenuDrawData();
  // The width estimate is tuned for mExpectedFont; with another font it counts wide and
  // narrow characters and allows more per character.
  void CheckFontCorrectness();

  int mAreaW = 0, mAreaH = 0;  // what levels must fit in: the editor
  int mTextSize = 14;
  int mCheckColumn = 4;  // characters for the check mark and for the submenu marker
  int mItemHeight = 19;  // also the left indent of an item's text
  int mTitleHeight = 24;
  int mSeparatorHeight = 1;
  IText mItemStyle;
  IText mDisabledStyle;
  IChannelBlend mBlend;
  char mExpectedFont[IText::kFontNameSize] = "Geneva";
  bool mPlainCount = true;
  std::string mNarrowChars = "!|:;',.`ilf";
  double mWidthFactor = 0.45;
  int mMargin = 20;  // how far the mouse may stray from the open levels
};

// One open level of a menu on screen.
class IMenuInflaterZK
{
public:
  IMenuInflaterZK(IMenuControlZK* owner, MenuDrawData* drawData, IMenuInflaterZK* parent = nullptr)
      : mOwner(owner), mParent(parent), mDrawData(drawData)
  {
  }

  // Lays the level out for menu at (x, y). A submenu level is anchored on item
  // anchorItem of its parent level (-1: no anchor) and placed beside it. The owner's
  // target rectangle becomes every open level grown by the margin.
  void Inflate(IMenuZK* menu, int x, int y, int anchorItem = -1);
  // True when the click picked an item or opened a submenu.
  bool OnMouseDown(int x, int y);
  // The item under the mouse, looking in open submenu levels first. A submenu level
  // the mouse has strayed from (beyond the margin and off its anchor item) closes.
  IMenuItemZK* OnMouseOver(int x, int y);
  // This level and every open level below it.
  IRECT TreeOutline() const;
  // Componentwise union of two rectangles.
  static IRECT Outline(const IRECT& a, const IRECT& b);

  // Steps of Inflate.
  void RefillRECTArray();
  void CalcMenuWidth();
  void PositionMenuRect(int x, int y, int anchorW, int anchorH);
  void UpdItemRECTs();

  // Closes every level below this one.
  void CloseChildren();
  // Back to opening right and down, here and below.
  void ResetDirections();

  IMenuZK* GetMenu() const { return mMenu; }
  IMenuInflaterZK* GetChild() const { return mChild.get(); }
  bool IsChildOpen() const { return mChildOpen; }
  int GetAnchorItem() const { return mAnchorItem; }
  const IRECT& GetLevelRECT() const { return mLevelRECT; }
  const IRECT& GetItemRECT(int i) const { return mItemRECTs[i]; }
  int GetWidth() const { return mWidth; }
  int GetTotalHeight() const { return mTotalHeight; }
  bool OpensRight() const { return mOpensRight; }
  bool OpensDown() const { return mOpensDown; }

private:
  // The parent's item this level is anchored on; null for none.
  const IRECT* Anchor() const;
  const IMenuInflaterZK* Root() const;
  void OpenSubmenu(int i);

  IMenuControlZK* mOwner;
  IMenuZK* mMenu = nullptr;
  std::unique_ptr<IMenuInflaterZK> mChild;
  IMenuInflaterZK* mParent;
  bool mChildOpen = false;
  MenuDrawData* mDrawData;
  std::vector<IRECT> mItemRECTs;
  IRECT mLevelRECT;
  int mAnchorItem = -1;
  int mWidth = 0, mTotalHeight = 0;
  bool mOpensRight = true, mOpensDown = true;
};

class IMenuControlZK : public IControlZK
{
public:
  // Hidden until a menu is shown; it draws over the whole editor.
  IMenuControlZK(IPlugBase* plug, IRECT rect);

  // Every click ends the menu, whatever it picked or opened.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  // The mouse has left every level and its margin: the menu closes.
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override;
  void SetTextSize(int size) override { mDrawData.mTextSize = size; }
  int GetTextSize() const override { return mDrawData.mTextSize; }

  virtual void SetStyle();
  // Shows menu (not owned) with its root level at (x, y).
  void ShowMenu(IMenuZK* menu, int x, int y);
  // One-pixel lines inside rect, each a pixel short of the corners, open on one side:
  // 0 the top, 1 the bottom, 2 the left, 3 the right; any other side closed all round.
  void DrawOpenBox(IColor color, IRECT rect, int side);

  MenuDrawData& GetDrawData() { return mDrawData; }
  IMenuInflaterZK& GetRootLevel() { return mRoot; }
  IMenuItemZK* GetHovered() const { return mHovered; }
  IMenuZK* GetMenu() const { return mMenu; }

private:
  // The area levels fit in: the editor, or the draw data's area without one.
  IRECT AreaRECT() const;
  void DrawInflater(IMenuInflaterZK* level, IMenuItemZK* hovered);
  // Returns the level open for this item's submenu, to be drawn over this one.
  IMenuInflaterZK* DrawMenuItem(IMenuInflaterZK* level, int index, IMenuItemZK* hovered);

  MenuDrawData mDrawData;
  IMenuZK* mMenu = nullptr;
  IGraphics* mGraphics = nullptr;
  IMenuInflaterZK mRoot;
  IMenuItemZK* mHovered = nullptr;
};
