#include "swell-menu-internal.h"

#include <cstring>

SWELL_MenuResourceIndex* SWELL_curmodule_menuresource_head = nullptr;

namespace
{
constexpr size_t kSubmenuMarkerLength = sizeof(SWELL_MENU_LIST_SUBMENU) - 1;

// Appends entries until count are read or one closes the level (read as well); returns the
// number read. A submenu's entries and its closing entry count as read by its level; one
// left open ends with the list.
int appendEntries(HMENU menu, const SWELL_MenuListEntry* list, int count)
{
  int read = 0;
  while (read < count)
  {
    const SWELL_MenuListEntry& entry = list[read++];
    if (!entry.text)
      SWELL_Menu_AddMenuItem(menu, nullptr, 0, 0);
    else if (!std::strcmp(entry.text, SWELL_MENU_LIST_END))
      break;
    else if (!std::strncmp(entry.text, SWELL_MENU_LIST_SUBMENU, kSubmenuMarkerLength))
    {
      const char* title = entry.text + kSubmenuMarkerLength;
      HMENU submenu = CreatePopupMenuEx(title);
      read += appendEntries(submenu, list + read, count - read);
      MENUITEMINFO info = {};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_SUBMENU | MIIM_TYPE;
      info.fType = MFT_STRING;
      info.hSubMenu = submenu;
      info.dwTypeData = const_cast<char*>(title);
      InsertMenuItem(menu, GetMenuItemCount(menu), true, &info);
    }
    else
      SWELL_Menu_AddMenuItem(menu, entry.text, entry.id, entry.grayed);
  }
  return read;
}
}  // namespace

int SWELL_GenerateMenuFromList(HMENU menu, const SWELL_MenuListEntry* list, int count)
{
  if (!swellMenuOf(menu)) return 0;
  if (!list || count < 0) return 1;
  return appendEntries(menu, list, count) + 1;
}

HMENU SWELL_LoadMenu(SWELL_MenuResourceIndex* head, const char* resid)
{
  // The walk ends at the record whose function it calls.
  for (SWELL_MenuResourceIndex* record = head; record; record = record->next)
  {
    if (record->resid != resid) continue;
    HMENU menu = CreatePopupMenu();
    if (record->createFunc) record->createFunc(menu);
    return menu;
  }
  return nullptr;
}
