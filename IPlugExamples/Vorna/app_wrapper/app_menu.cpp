#include "app_menu.h"

#include "app_resources.h"
#include "swell-menu.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/menu.h"

namespace
{
struct KeyEquivalent
{
  int command;
  int key;
};

// The shortcuts the platform's standard application menu gives these items (Command, which
// is Ctrl here); About has none there.
constexpr KeyEquivalent kKeyEquivalents[] = {
  {ID_PREFERENCES, ','},
  {ID_QUIT, 'Q'},
};

void SendTagsTo(cocoa::NSMenu* menu, cocoa::NSObject* controller)
{
  for (cocoa::NSMenuItem* item : menu->itemArray())
  {
    if (item->submenu()) SendTagsTo(item->submenu(), controller);
    if (item->tag() == 0) continue;
    item->setTarget(controller);
    item->setAction(cocoa::Action::onSysMenuCommand);
  }
}

// Takes out the separators a removal left at the end of the menu.
void TrimTrailingSeparators(HMENU menu)
{
  for (int last = GetMenuItemCount(menu) - 1; last >= 0; --last)
  {
    cocoa::NSMenuItem* item = swellMenuOf(menu)->itemAtIndex(last);
    if (!item || !item->isSeparatorItem()) break;
    DeleteMenu(menu, last, MF_BYPOSITION);
  }
}
}  // namespace

void InstallApplicationMainMenu(cocoa::NSObject* controller)
{
  HMENU menu = SWELL_LoadMenu(SWELL_curmodule_menuresource_head, ResourceId(IDR_MENU1));
  if (!menu) return;
  SendTagsTo(swellMenuOf(menu), controller);
  for (const KeyEquivalent& equivalent : kKeyEquivalents)
    SetMenuItemModifier(menu, equivalent.command, MF_BYCOMMAND, equivalent.key, FCONTROL);
  SWELL_SetCurrentMenu(menu);
  // The application holds the menu from here on.
  swellMenuOf(menu)->release();
}

HMENU MakeWindowMenu()
{
  HMENU main = SWELL_GetCurrentMenu();
  if (!main) return nullptr;
  HMENU copy = SWELL_DuplicateMenu(main);
  HMENU resource = SWELL_LoadMenu(SWELL_curmodule_menuresource_head, ResourceId(IDR_MENU1));
  if (resource)
  {
    const int count = GetMenuItemCount(resource);
    for (int i = 0; i < count - 1; ++i)
    {
      HMENU sub = GetSubMenu(resource, i);
      if (!sub) continue;
      char title[256] = "";
      MENUITEMINFO info = {};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_TYPE;
      info.dwTypeData = title;
      info.cch = sizeof(title);
      GetMenuItemInfo(resource, i, true, &info);
      MENUITEMINFO insert = {};
      insert.cbSize = sizeof(insert);
      insert.fMask = MIIM_SUBMENU | MIIM_TYPE;
      insert.fType = MFT_STRING;
      insert.dwTypeData = title;
      insert.hSubMenu = SWELL_DuplicateMenu(sub);
      InsertMenuItem(copy, 1, true, &insert);
    }
    DestroyMenu(resource);
  }
  if (HMENU inserted = GetSubMenu(copy, 1))
  {
    DeleteMenu(inserted, ID_QUIT, MF_BYCOMMAND);
    DeleteMenu(inserted, ID_PREFERENCES, MF_BYCOMMAND);
    TrimTrailingSeparators(inserted);
    DeleteMenu(copy, 1, MF_BYPOSITION);
  }
  return copy;
}
