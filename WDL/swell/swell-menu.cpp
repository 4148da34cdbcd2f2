#include "swell-menu-internal.h"
#include "swell-misc.h"

#include <string>

using namespace cocoa;

namespace
{
constexpr size_t kMaxTitleBytes = 1023;

bool isContinuationByte(char c)
{
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Every item with an id takes the target, the one opening a submenu as well: choosing it
// only opens the submenu, but an item inserted later next to it copies its target.
void setDestination(NSMenu* menu, NSObject* target)
{
  menu->setDelegate(target ? dynamic_cast<NSMenuDelegate*>(target) : nullptr);
  for (NSMenuItem* item : menu->itemArray())
  {
    if (item->submenu()) setDestination(item->submenu(), target);
    if (item->tag() == 0) continue;
    item->setTarget(target);
    if (target) item->setAction(Action::onSwellCommand);
  }
}
}  // namespace

NSMenu* Swell_vVorna_menu::emptyCopy() const
{
  return new Swell_vVorna_menu(title());
}

void SWELL_SetMenuDestination(HMENU handle, HWND hwnd)
{
  NSMenu* menu = swellMenuOf(handle);
  NSObject* target = swellObjectOf(hwnd);
  if (!menu || (target && !respondsTo<SWELL_CommandTarget>(target))) return;
  setDestination(menu, target);
}

namespace swell
{
NSString menuTitle(const char* text)
{
  std::string title;
  const char* p = text ? text : "";
  for (; *p && *p != '\t' && title.size() < kMaxTitleBytes; ++p)
  {
    if (*p == '&' && !*++p) break;
    title += *p;
  }
  // Cut at the limit inside a character: drop the whole character.
  if (title.size() == kMaxTitleBytes && isContinuationByte(*p))
  {
    while (!title.empty() && isContinuationByte(title.back())) title.pop_back();
    if (!title.empty()) title.pop_back();
  }
  return SWELL_CStringToCFString(title.c_str());
}

NSMenuItem* findMenuItem(NSMenu* menu, int item, bool byPosition)
{
  if (byPosition) return menu->itemAtIndex(item);
  if (NSMenuItem* found = menu->itemWithTag(item)) return found;
  for (NSMenuItem* holder : menu->itemArray())
    if (holder->submenu())
      if (NSMenuItem* found = findMenuItem(holder->submenu(), item, false)) return found;
  return nullptr;
}
}  // namespace swell

HMENU CreatePopupMenu()
{
  return swellMenuHandleOf(new Swell_vVorna_menu());
}

HMENU CreatePopupMenuEx(const char* title)
{
  return swellMenuHandleOf(new Swell_vVorna_menu(title ? swell::menuTitle(title) : NSString()));
}

void DestroyMenu(HMENU handle)
{
  NSMenu* menu = swellMenuOf(handle);
  if (!menu) return;
  SWELL_SetMenuDestination(handle, nullptr);
  menu->release();
}

HMENU SWELL_DuplicateMenu(HMENU handle)
{
  NSMenu* menu = swellMenuOf(handle);
  return menu ? swellMenuHandleOf(menu->copy()) : nullptr;
}

HMENU GetSubMenu(HMENU handle, int position)
{
  NSMenu* menu = swellMenuOf(handle);
  NSMenuItem* item = menu ? menu->itemAtIndex(position) : nullptr;
  return item && item->submenu() ? swellMenuHandleOf(item->submenu()) : nullptr;
}

int GetMenuItemCount(HMENU handle)
{
  NSMenu* menu = swellMenuOf(handle);
  return menu ? static_cast<int>(menu->numberOfItems()) : 0;
}

int GetMenuItemID(HMENU handle, int position)
{
  NSMenu* menu = swellMenuOf(handle);
  NSMenuItem* item = menu ? menu->itemAtIndex(position) : nullptr;
  if (!item) return 0;
  return item->submenu() ? -1 : static_cast<int>(item->tag());
}
