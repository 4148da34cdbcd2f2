#include "IMenuZK.h"

void IMenuZK::AddItem(const IMenuItemZK& item, int pos, int group)
{
  const int index = pos >= 0 && pos <= NItems() ? pos : NItems();
  mItems.insert(mItems.begin() + index, std::make_unique<IMenuItemZK>(item));
  mSignals.insert(mSignals.begin() + index, ItemSignal());
  if (group < 0) return;
  if (static_cast<int>(mLinkGroups.size()) <= group) mLinkGroups.resize(group + 1);
  mLinkGroups[group].insert(index);
}

void IMenuZK::SetItemText(int i, const char* text)
{
  if (Valid(i)) mItems[i]->mText.Set(text ? text : "");
}

void IMenuZK::SetState(int i, IMenuItemZK::ItemState state)
{
  if (Valid(i)) mItems[i]->mState = state;
}

std::set<int> IMenuZK::GetLinkedItems(int i) const
{
  std::set<int> linked;
  for (const std::set<int>& group : mLinkGroups)
    if (group.count(i)) linked.insert(group.begin(), group.end());
  linked.erase(i);
  return linked;
}

void IMenuZK::SilentCheckItem(int i, bool on)
{
  if (!Valid(i)) return;
  for (const int j : GetLinkedItems(i))
    if (Valid(j) && mItems[j]->mState == IMenuItemZK::kItemChecked) mItems[j]->mState = IMenuItemZK::kItemUnchecked;
  IMenuItemZK& item = *mItems[i];
  if (item.mState != IMenuItemZK::kItemAction) item.mState = on ? IMenuItemZK::kItemChecked : IMenuItemZK::kItemUnchecked;
}

void IMenuZK::CheckItem(int i, bool on)
{
  if (!Valid(i)) return;
  SilentCheckItem(i, on);
  mSignals[i].Emit(mId, on ? 1 : 0);
}
