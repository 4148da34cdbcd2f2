#pragma once

// The model of a toolkit menu: items with a state and an optional submenu, one signal
// per item, and link groups in which at most one item is checked. Picking an item
// reports (menu identifier, checked) through the item's signal.

#include "GallantSignal.h"
#include "wdlstring.h"

#include <memory>
#include <set>
#include <vector>

class IMenuZK;

struct IMenuItemZK
{
  enum ItemState : int
  {
    kItemUnchecked,
    kItemDisabled,
    kItemTitle,
    kItemChecked,
    kItemSeparator,
    // Picked like an unchecked item, but never becomes checked.
    kItemAction
  };

  explicit IMenuItemZK(const char* text = "", ItemState state = kItemUnchecked, IMenuZK* submenu = nullptr)
      : mText(text ? text : ""), mSubmenu(submenu), mState(state)
  {
  }

  WDL_String mText;
  IMenuZK* mSubmenu;  // not owned
  ItemState mState;
};

class IMenuZK
{
public:
  using ItemSignal = Gallant::Signal2<int, int>;

  explicit IMenuZK(int id) : mId(id) {}

  // Copies the item in at index pos (-1, or any index outside 0..count: at the end),
  // with a new empty signal. A group of 0 or more links the new item into that group.
  // Indices already in groups are not renumbered by a later insertion.
  void AddItem(const IMenuItemZK& item, int pos = -1, int group = -1);
  // Item indices outside the menu are ignored by every operation below.
  void SetItemText(int i, const char* text);
  void SetState(int i, IMenuItemZK::ItemState state);
  // Every item sharing a link group with i, i itself excluded.
  std::set<int> GetLinkedItems(int i) const;
  // Unchecks the checked items linked to i and checks or unchecks i (an action item
  // keeps its state). Emits nothing.
  void SilentCheckItem(int i, bool on);
  // The same, then emits item i's signal with (identifier, on).
  void CheckItem(int i, bool on);

  int GetId() const { return mId; }
  int NItems() const { return static_cast<int>(mItems.size()); }
  IMenuItemZK* GetItem(int i) const { return Valid(i) ? mItems[i].get() : nullptr; }
  ItemSignal* GetItemSignal(int i) { return Valid(i) ? &mSignals[i] : nullptr; }

private:
  bool Valid(int i) const { return i >= 0 && i < NItems(); }

  std::vector<ItemSignal> mSignals;
  int mId;
  std::vector<std::unique_ptr<IMenuItemZK>> mItems;
  std::vector<std::set<int>> mLinkGroups;
};
