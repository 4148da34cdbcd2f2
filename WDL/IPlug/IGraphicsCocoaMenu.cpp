// Pop-up menus on the platform's menu tracker, and the text field's formatter.

#include "IGraphicsCocoa.h"

#include "IPopupMenu.h"

#include "platform/appkit/event.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

using namespace cocoa;

namespace
{
// The item text with the menu's numbering before it (items count from 1).
std::string NumberedTitle(const IPopupMenu& menu, int index, const char* text)
{
  static const char* const kPrefixFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  const int prefix = menu.GetPrefix();
  char number[16] = "";
  if (prefix > 0 && prefix < 4) std::snprintf(number, sizeof(number), kPrefixFormats[prefix], index + 1);
  return std::string(number) + (text ? text : "");
}
}  // namespace

IGraphicsNSMenu_vVorna_sa* IGraphicsNSMenu_vVorna_sa::initWithIPopupMenuAndReciever(IPopupMenu* menu,
                                                                                    IGraphicsMenuRcvr_vVorna_sa* receiver)
{
  mIPopupMenu = menu;
  for (int i = 0; i < menu->GetNItems(); ++i)
  {
    const IPopupMenuItem* item = menu->GetItem(i);
    const NSString title(NumberedTitle(*menu, i, item->GetText()));
    if (IPopupMenu* submenu = item->GetSubmenu())
    {
      auto* entry = new NSMenuItem(title, Action::none, "");
      auto* nested = (new IGraphicsNSMenu_vVorna_sa)->initWithIPopupMenuAndReciever(submenu, receiver);
      entry->setSubmenu(nested);
      nested->release();
      addItem(entry);
      entry->release();
    }
    else if (item->GetIsSeparator())
    {
      addItem(NSMenuItem::separatorItem());
    }
    else
    {
      auto* entry = new NSMenuItem(title, Action::onMenuSelection, "");
      entry->setTarget(receiver);
      if (item->GetIsTitle()) entry->setIndentationLevel(1);
      if (item->GetChecked()) entry->setState(NSControlStateValueOn);
      entry->setEnabled(item->GetEnabled());
      addItem(entry);
      entry->release();
    }
  }
  return this;
}

bool IGraphicsMenuRcvr_vVorna_sa::performAction(Action action, NSObject* sender)
{
  if (action != Action::onMenuSelection) return false;
  OnMenuSelection(dynamic_cast<NSMenuItem*>(sender));
  return true;
}

void IGraphicsMenuRcvr_vVorna_sa::OnMenuSelection(NSMenuItem* sender)
{
  nsMenuItem = StrongRef<NSMenuItem>(sender);
}

IPopupMenu* IGraphicsCocoa_vVorna_sa::createIPopupMenu(IPopupMenu* menu, NSRect rect)
{
  NSWindow* w = window();
  if (!menu || !w) return nullptr;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  auto receiver = StrongRef<IGraphicsMenuRcvr_vVorna_sa>::adopt(new IGraphicsMenuRcvr_vVorna_sa(rect));
  auto nsMenu = StrongRef<IGraphicsNSMenu_vVorna_sa>::adopt(
      (new IGraphicsNSMenu_vVorna_sa)->initWithIPopupMenuAndReciever(menu, receiver.get()));

  // The menu opens just under the rectangle's lower left corner.
  NSPoint at = convertPointToView(NSMakePoint(rect.origin.x, rect.origin.y - 4), nullptr);
  const CGFloat scale = w->backingScaleFactor();
  at.x /= scale;
  at.y /= scale;
  NSEvent* event = NSEvent::otherEventWithType(NSEventTypeApplicationDefined, at, 0, 0, w, 0, 0, 0);
  NSMenu::popUpContextMenu(nsMenu.get(), event, receiver.get());

  NSMenuItem* item = receiver->MenuItem();
  auto* itemMenu = item ? dynamic_cast<IGraphicsNSMenu_vVorna_sa*>(item->menu()) : nullptr;
  IPopupMenu* chosen = itemMenu ? itemMenu->AssociatedIPopupMenu() : nullptr;
  const NSInteger index = itemMenu ? itemMenu->indexOfItem(item) : -1;
  if (!chosen || index < 0) return nullptr;
  chosen->SetChosenItemIdx(static_cast<int>(index));
  return chosen;
}

void CocoaFormatter_vVorna_sa::setAcceptableCharacterSet(const NSCharacterSet* characters)
{
  hasFilter = characters != nullptr;
  filterCharacterSet = characters ? *characters : NSCharacterSet();
}

bool CocoaFormatter_vVorna_sa::isPartialStringValid(const NSString& partial, NSString*, NSString*)
{
  if (hasFilter)
  {
    std::u32string characters;
    if (!decodeUtf8(partial.str(), &characters)) return false;
    for (char32_t c : characters)
      if (!filterCharacterSet.characterIsMember(c)) return false;
  }
  if (maxLength != 0 && partial.length() > static_cast<size_t>(maxLength)) return false;
  if (maxValue != 0)
  {
    // The leading number, as a text field's integer value reads it.
    const long value = std::strtol(partial.UTF8String(), nullptr, 10);
    if (value > maxValue) return false;
  }
  return true;
}

bool CocoaFormatter_vVorna_sa::stringForObjectValue(const NSString& value, NSString* string)
{
  if (string) *string = value;
  return true;
}

bool CocoaFormatter_vVorna_sa::getObjectValue(NSString* value, const NSString& string, NSString*)
{
  if (value) *value = string;
  return true;
}
