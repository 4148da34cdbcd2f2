#include "IPopupMenu.h"

IPopupMenu::~IPopupMenu()
{
  for (int i = mMenuItems.GetSize() - 1; i >= 0; --i) delete mMenuItems.Get(i);
}

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index)
{
  if (!item) return nullptr;
  const int n = mMenuItems.GetSize();
  if (index == -1 || index >= n) mMenuItems.Add(item);
  else mMenuItems.Insert(index < 0 ? 0 : index, item);
  return item;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags)
{
  return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu)
{
  return AddItem(new IPopupMenuItem(text, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu)
{
  return AddItem(new IPopupMenuItem(text, submenu), -1);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index)
{
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

const char* IPopupMenu::GetItemText(int index) const
{
  const IPopupMenuItem* item = GetItem(index);
  return item ? item->GetText() : "";
}

void IPopupMenu::SetPrefix(int prefix)
{
  if (prefix >= 0 && prefix <= 3) mPrefix = prefix;
}

bool IPopupMenu::CheckItem(int index, bool checked)
{
  IPopupMenuItem* item = GetItem(index);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int index)
{
  for (int i = 0; i < mMenuItems.GetSize(); ++i) mMenuItems.Get(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const
{
  const IPopupMenuItem* item = GetItem(index);
  return item && item->GetChecked();
}
