#include "swell-gdi.h"
#include "swell-image.h"
#include "swell-menu-internal.h"
#include "swell-misc.h"
#include "swell-sdh.h"

#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <cstdlib>
#include <cstring>

using namespace cocoa;

namespace
{
// A menu looks at every other item for a command target to share when it has fewer items
// than this, else only at the first and last few.
constexpr NSInteger kMenuSizeToSearchWhole = 15;
constexpr NSInteger kFirstItemsSearched = 6;
constexpr NSInteger kLastItemsSearched = 5;

void freeImageCopy(void*, const void* data, size_t)
{
  std::free(const_cast<void*>(data));
}

// A platform image with its own copy of the pixels of a bitmap or icon object, so that the
// item keeps its picture when the caller deletes the object. Null for anything else.
CGImageRef imageCopyOf(const void* handle)
{
  auto* image = static_cast<SwellImage*>(GetNSImageFromHICON(reinterpret_cast<HICON>(const_cast<void*>(handle))));
  if (!image || image->width() < 1 || image->height() < 1) return nullptr;
  const size_t bytesPerRow = static_cast<size_t>(image->width()) * 4;
  const size_t size = bytesPerRow * static_cast<size_t>(image->height());
  void* pixels = std::malloc(size);
  if (!pixels) return nullptr;
  std::memcpy(pixels, image->pixels(), size);
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels, size, freeImageCopy);
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGImageRef copy = CGImageCreate(static_cast<size_t>(image->width()), static_cast<size_t>(image->height()), 8, 32,
                                  bytesPerRow, space,
                                  uint32_t(kCGImageAlphaPremultipliedFirst) | uint32_t(kCGBitmapByteOrder32Little),
                                  provider, nullptr, true, 0);
  CGColorSpaceRelease(space);
  CGDataProviderRelease(provider);
  return copy;
}

NSMenuItem* newItemFor(const MENUITEMINFO* info)
{
  if (info->fType == MFT_BITMAP)
  {
    auto* item = new NSMenuItem("(no image)", Action::none, "");
    if (CGImageRef image = imageCopyOf(info->dwTypeData))
    {
      item->setImage(image);
      item->setTitle("");
      CGImageRelease(image);
    }
    return item;
  }
  if (info->fType != MFT_STRING)
  {
    NSMenuItem* separator = NSMenuItem::separatorItem();
    separator->retain();
    return separator;
  }
  return new NSMenuItem(info->dwTypeData ? swell::menuTitle(info->dwTypeData) : NSString("(null)"), Action::none, "");
}

void setItemData(NSMenuItem* item, UINT_PTR data)
{
  auto* holder = new Swell_vVorna_sdh(static_cast<INT_PTR>(data));
  item->setRepresentedObject(holder);
  holder->release();
}

void setItemState(NSMenuItem* item, UINT state)
{
  item->setState(state & MFS_CHECKED ? NSControlStateValueOn : NSControlStateValueOff);
  item->setEnabled(!(state & MFS_GRAYED));
}

// A new item sends its command where the menu's other items do: to the window the menu is
// attached to. Big menus are only looked at near their ends.
void shareCommandTarget(NSMenu* menu, NSMenuItem* item)
{
  const NSInteger count = menu->numberOfItems();
  for (NSInteger i = 0; i < count; ++i)
  {
    if (count >= kMenuSizeToSearchWhole && i == kFirstItemsSearched) i = count - kLastItemsSearched;
    NSMenuItem* other = menu->itemAtIndex(i);
    if (other == item || (!other->target() && other->action() == Action::none)) continue;
    if (other->action() != Action::none) item->setAction(other->action());
    if (other->target()) item->setTarget(other->target());
    return;
  }
}
}  // namespace

using swell::changeItem;

void InsertMenuItem(HMENU handle, int position, bool byPosition, MENUITEMINFO* info)
{
  NSMenu* menu = swellMenuOf(handle);
  if (!menu || !info) return;
  NSInteger index = byPosition ? position : menu->indexOfItemWithTag(position);
  if (index < 0 || index > menu->numberOfItems()) index = menu->numberOfItems();
  NSMenuItem* item = newItemFor(info);
  menu->insertItem(item, index);
  item->release();
  if (info->fMask & MIIM_SUBMENU)
    if (NSMenu* submenu = swellMenuOf(info->hSubMenu))
    {
      if (info->fType == MFT_STRING) submenu->setTitle(item->title());
      item->setSubmenu(submenu);
      submenu->release();
    }
  item->setEnabled(true);
  if (info->fMask & MIIM_STATE) setItemState(item, info->fState);
  if (info->fMask & MIIM_DATA) setItemData(item, info->dwItemData);
  if (info->fMask & MIIM_ID) item->setTag(static_cast<int>(info->wID));
  shareCommandTarget(menu, item);
}

int SetMenuItemInfo(HMENU handle, int position, bool byPosition, MENUITEMINFO* info)
{
  if (!info) return 0;
  return changeItem(handle, position, byPosition, [info](NSMenuItem* item) {
    if ((info->fMask & MIIM_TYPE) && info->fType == MFT_STRING && info->dwTypeData)
    {
      item->setTitle(swell::menuTitle(info->dwTypeData));
      if (item->submenu()) item->submenu()->setTitle(item->title());
    }
    if (info->fMask & MIIM_SUBMENU)
    {
      NSMenu* submenu = swellMenuOf(info->hSubMenu);
      NSMenu* current = item->submenu();
      if ((submenu || !info->hSubMenu) && submenu != current)
      {
        // Whoever holds the detached submenu's handle still has it.
        if (current) current->retain();
        if (submenu) submenu->setTitle(item->title());
        item->setSubmenu(submenu);
        if (submenu) submenu->release();
      }
    }
    if (info->fMask & MIIM_STATE) setItemState(item, info->fState);
    if (info->fMask & MIIM_ID) item->setTag(static_cast<int>(info->wID));
    if (info->fMask & MIIM_DATA) setItemData(item, info->dwItemData);
  });
}

int GetMenuItemInfo(HMENU handle, int position, bool byPosition, MENUITEMINFO* info)
{
  if (!info) return 0;
  return changeItem(handle, position, byPosition, [info](NSMenuItem* item) {
    if (info->fMask & MIIM_TYPE)
    {
      info->fType = item->isSeparatorItem() ? MFT_SEPARATOR : MFT_STRING;
      if (!item->isSeparatorItem() && info->dwTypeData && info->cch)
      {
        const NSString title = item->title();
        SWELL_CFStringToCString(&title, info->dwTypeData, info->cch > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(info->cch));
      }
    }
    if (info->fMask & MIIM_DATA)
    {
      auto* holder = dynamic_cast<Swell_vVorna_sdh*>(item->representedObject());
      info->dwItemData = holder ? static_cast<UINT_PTR>(holder->getValue()) : 0;
    }
    if (info->fMask & MIIM_STATE)
      info->fState = (item->state() == NSControlStateValueOn ? MFS_CHECKED : 0) | (item->isEnabled() ? 0 : MFS_GRAYED);
    if (info->fMask & MIIM_ID) info->wID = static_cast<UINT>(item->tag());
    if (info->fMask & MIIM_SUBMENU) info->hSubMenu = item->submenu() ? swellMenuHandleOf(item->submenu()) : nullptr;
  });
}

void SWELL_InsertMenu(HMENU menu, int position, unsigned flags, UINT_PTR idOrSubmenu, const char* text)
{
  MENUITEMINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_STATE | MIIM_TYPE;
  info.fType = MFT_STRING;
  info.fState = flags & ~MF_BYPOSITION;
  info.wID = static_cast<UINT>(idOrSubmenu);
  info.dwTypeData = const_cast<char*>(text);
  if (flags & MF_POPUP)
  {
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = reinterpret_cast<HMENU>(idOrSubmenu);
    info.wID = 0;
    info.fState &= ~MF_POPUP;
  }
  if (flags & MF_SEPARATOR)
  {
    info.fMask = MIIM_TYPE;
    info.fType = MFT_SEPARATOR;
    info.fState &= ~(MF_BYPOSITION | MF_SEPARATOR);
  }
  if (flags & MF_BITMAP)
  {
    info.fType = MFT_BITMAP;
    info.fState &= ~MF_BITMAP;
  }
  InsertMenuItem(menu, position, (flags & MF_BYPOSITION) != 0, &info);
}

void SWELL_Menu_AddMenuItem(HMENU menu, const char* text, int id, unsigned grayed)
{
  MENUITEMINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_STATE | MIIM_TYPE;
  info.fType = text ? MFT_STRING : MFT_SEPARATOR;
  info.fState = grayed ? MFS_GRAYED : MFS_ENABLED;
  info.wID = static_cast<UINT>(id);
  info.dwTypeData = const_cast<char*>(text);
  InsertMenuItem(menu, GetMenuItemCount(menu), true, &info);
}

int AddMenuItem(HMENU handle, int position, const char* text, int id)
{
  NSMenu* menu = swellMenuOf(handle);
  if (!menu) return -1;
  auto* item = new NSMenuItem(SWELL_CStringToCFString(text), Action::none, "");
  item->setTag(id);
  menu->insertItem(item, position);
  item->release();
  return 0;
}

int DeleteMenu(HMENU handle, int position, int flags)
{
  return changeItem(handle, position, (flags & MF_BYPOSITION) != 0, [](NSMenuItem* item) {
    StrongRef<NSMenuItem> keep(item);
    if (NSMenu* submenu = item->submenu())
    {
      SWELL_SetMenuDestination(swellMenuHandleOf(submenu), nullptr);
      item->setSubmenu(nullptr);
    }
    item->menu()->removeItem(item);
  });
}

int SetMenuItemText(HMENU handle, int position, int flags, const char* text)
{
  return changeItem(handle, position, (flags & MF_BYPOSITION) != 0, [text](NSMenuItem* item) {
    item->setTitle(swell::menuTitle(text));
    if (item->submenu()) item->submenu()->setTitle(item->title());
  });
}

int EnableMenuItem(HMENU handle, int position, int flags)
{
  return changeItem(handle, position, (flags & MF_BYPOSITION) != 0,
                    [flags](NSMenuItem* item) { item->setEnabled(!(flags & MF_GRAYED)); });
}

int CheckMenuItem(HMENU handle, int position, int flags)
{
  return changeItem(handle, position, (flags & MF_BYPOSITION) != 0, [flags](NSMenuItem* item) {
    item->setState(flags & MF_CHECKED ? NSControlStateValueOn : NSControlStateValueOff);
  });
}
