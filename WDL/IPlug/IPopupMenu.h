#pragma once

#include "ptrlist.h"
#include "wdlstring.h"

class IPopupMenu;

// One entry of a pop-up menu: a text, flags and an optional submenu (not owned).
class IPopupMenuItem
{
public:
  enum Flags
  {
    kNoFlags = 0,
    kDisabled = 1,
    kTitle = 2,  // shown indented
    kChecked = 4,
    kSeparator = 8
  };

  IPopupMenuItem(const char* text, int flags = kNoFlags) : mText(text ? text : ""), mFlags(flags) {}
  IPopupMenuItem(const char* text, IPopupMenu* submenu) : mText(text ? text : ""), mSubmenu(submenu) {}

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text ? text : ""); }
  int GetFlags() const { return mFlags; }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
  void SetChecked(bool checked) { mFlags = checked ? (mFlags | kChecked) : (mFlags & ~kChecked); }

private:
  WDL_String mText;
  IPopupMenu* mSubmenu = nullptr;
  int mFlags = kNoFlags;
};

// A platform-neutral menu: the platform shows it and writes the chosen index back.
class IPopupMenu
{
public:
  IPopupMenu() = default;
  ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Placement of index: -1 (or any index at or past the end) appends, any other
  // negative index inserts first, else the item is inserted before that index.
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  int GetNItems() const { return mMenuItems.GetSize(); }
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  const char* GetItemText(int index) const;

  // Numbering of the item texts: 0 none, 1 "%1d: ", 2 "%02d: ", 3 "%03d: ".
  int GetPrefix() const { return mPrefix; }
  void SetPrefix(int prefix);
  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

  bool CheckItem(int index, bool checked);
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

private:
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  WDL_PtrList<IPopupMenuItem> mMenuItems;
};
