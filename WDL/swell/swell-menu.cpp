#include "swell-menu-internal.h"
#include "swell-misc.h"

#include "platform/foundation/object_registry.h"

#include <string>

using namespace cocoa;

namespace
{
constexpr size_t kMaxTitleBytes = 1023;

bool isContinuationByte(char c)
{
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
}  // namespace

NSMenu* Swell_vVorna_menu::emptyCopy() const
{
  return new Swell_vVorna_menu(title());
}

namespace swell
{
NSMenu* menuOf(HMENU menu)
{
  auto* object = reinterpret_cast<NSObject*>(menu);
  return isLiveObject(object) ? dynamic_cast<NSMenu*>(object) : nullptr;
}

HMENU handleOf(NSMenu* menu)
{
  return reinterpret_cast<HMENU>(static_cast<NSObject*>(menu));
}

void setMenuCommandTarget(NSMenu* menu, NSObject* target, NSMenuDelegate* delegate)
{
  menu->setDelegate(delegate);
  for (NSMenuItem* item : menu->itemArray())
  {
    if (item->submenu()) setMenuCommandTarget(item->submenu(), target, delegate);
    if (item->tag() == 0) continue;
    item->setTarget(target);
    if (target) item->setAction(Action::onSwellCommand);
  }
}

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
  return swell::handleOf(new Swell_vVorna_menu());
}

HMENU CreatePopupMenuEx(const char* title)
{
  return swell::handleOf(new Swell_vVorna_menu(title ? swell::menuTitle(title) : NSString()));
}

void DestroyMenu(HMENU handle)
{
  NSMenu* menu = swell::menuOf(handle);
  if (!menu) return;
  swell::setMenuCommandTarget(menu, nullptr, nullptr);
  menu->release();
}

HMENU SWELL_DuplicateMenu(HMENU handle)
{
  NSMenu* menu = swell::menuOf(handle);
  return menu ? swell::handleOf(menu->copy()) : nullptr;
}

HMENU GetSubMenu(HMENU handle, int position)
{
  NSMenu* menu = swell::menuOf(handle);
  NSMenuItem* item = menu ? menu->itemAtIndex(position) : nullptr;
  return item && item->submenu() ? swell::handleOf(item->submenu()) : nullptr;
}

int GetMenuItemCount(HMENU handle)
{
  NSMenu* menu = swell::menuOf(handle);
  return menu ? static_cast<int>(menu->numberOfItems()) : 0;
}

int GetMenuItemID(HMENU handle, int position)
{
  NSMenu* menu = swell::menuOf(handle);
  NSMenuItem* item = menu ? menu->itemAtIndex(position) : nullptr;
  if (!item) return 0;
  return item->submenu() ? -1 : static_cast<int>(item->tag());
}
