#include "platform/appkit/menu.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/view.h"
#include "platform/appkit/walk.h"
#include "platform/appkit/window.h"
#include "platform/foundation/object_registry.h"
#include "platform/graphics/cg_image.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace cocoa
{
NSMenuItem::NSMenuItem(const NSString& title, Action action, const NSString& keyEquivalent)
    : m_title(title), m_action(action), m_keyEquivalent(keyEquivalent), m_keyModifiers(NSEventModifierFlagCommand)
{
}

NSMenuItem* NSMenuItem::separatorItem()
{
  NSMenuItem* item = new NSMenuItem("", Action::none, "");
  item->m_separator = true;
  item->m_enabled = false;
  item->autorelease();
  return item;
}

void NSMenuItem::setTitle(const NSString& title)
{
  m_title = title;
}

void NSMenuItem::setSubmenu(NSMenu* submenu)
{
  if (submenu == m_submenu) return;
  if (submenu) submenu->retain();
  if (NSMenu* old = std::exchange(m_submenu, submenu))
  {
    old->m_supermenu = nullptr;
    old->release();
  }
  if (submenu) submenu->m_supermenu = m_menu;
}

void NSMenuItem::setRepresentedObject(NSObject* object)
{
  if (object) object->retain();
  if (NSObject* old = std::exchange(m_represented, object)) old->release();
}

void NSMenuItem::setImage(CGImageRef image)
{
  if (image) CGImageRetain(image);
  if (CGImageRef old = std::exchange(m_image, image)) CGImageRelease(old);
}

NSMenuItem* NSMenuItem::copy() const
{
  NSMenuItem* item = new NSMenuItem(m_title, m_action, m_keyEquivalent);
  item->m_tag = m_tag;
  item->m_state = m_state;
  item->m_enabled = m_enabled;
  item->m_separator = m_separator;
  item->m_indentation = m_indentation;
  item->m_target = m_target;
  item->m_keyModifiers = m_keyModifiers;
  item->setRepresentedObject(m_represented);
  item->setImage(m_image);
  if (m_submenu)
  {
    NSMenu* submenu = m_submenu->copy();
    item->setSubmenu(submenu);
    submenu->release();
  }
  return item;
}

void NSMenuItem::dealloc()
{
  setSubmenu(nullptr);
  setRepresentedObject(nullptr);
  setImage(nullptr);
}

NSMenu::NSMenu(const NSString& title) : m_title(title) {}

void NSMenu::dealloc()
{
  removeAllItems();
  setFont(nullptr);
}

void NSMenu::setFont(CTFontRef font)
{
  if (font) CTFontRetain(font);
  if (CTFontRef old = std::exchange(m_font, font)) CTFontRelease(old);
}

NSMenuItem* NSMenu::itemAtIndex(NSInteger index) const
{
  if (index < 0 || index >= numberOfItems()) return nullptr;
  return m_items[static_cast<size_t>(index)];
}

NSInteger NSMenu::indexOfItem(const NSMenuItem* item) const
{
  auto found = std::find(m_items.begin(), m_items.end(), item);
  return found == m_items.end() ? -1 : static_cast<NSInteger>(found - m_items.begin());
}

NSInteger NSMenu::indexOfItemWithTag(NSInteger tag) const
{
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i]->tag() == tag) return static_cast<NSInteger>(i);
  return -1;
}

NSMenuItem* NSMenu::itemWithTag(NSInteger tag) const
{
  return itemAtIndex(indexOfItemWithTag(tag));
}

void NSMenu::addItem(NSMenuItem* item)
{
  insertItem(item, numberOfItems());
}

void NSMenu::insertItem(NSMenuItem* item, NSInteger index)
{
  // An item lives in one menu at a time, as in Cocoa.
  if (!item || item->m_menu) return;
  index = std::clamp<NSInteger>(index, 0, numberOfItems());
  item->retain();
  m_items.insert(m_items.begin() + index, item);
  item->m_menu = this;
  if (item->m_submenu) item->m_submenu->m_supermenu = this;
}

void NSMenu::removeItemAtIndex(NSInteger index)
{
  NSMenuItem* item = itemAtIndex(index);
  if (!item) return;
  m_items.erase(m_items.begin() + index);
  item->m_menu = nullptr;
  if (item->m_submenu) item->m_submenu->m_supermenu = nullptr;
  item->release();
}

void NSMenu::removeItem(NSMenuItem* item)
{
  removeItemAtIndex(indexOfItem(item));
}

void NSMenu::removeAllItems()
{
  while (!m_items.empty()) removeItemAtIndex(numberOfItems() - 1);
}

void NSMenu::setSubmenu(NSMenu* submenu, NSMenuItem* item)
{
  if (item && item->m_menu == this) item->setSubmenu(submenu);
}

NSMenuDelegate* NSMenu::delegate() const
{
  if (m_delegateObject && !isLiveObject(m_delegateObject)) return nullptr;
  return m_delegate;
}

void NSMenu::setDelegate(NSMenuDelegate* delegate)
{
  m_delegate = delegate;
  m_delegateObject = dynamic_cast<const NSObject*>(delegate);
}

void NSMenu::update()
{
  if (NSMenuDelegate* current = delegate()) current->menuNeedsUpdate(this);
}

namespace
{
constexpr unsigned kEquivalentModifiers = NSEventModifierFlagCommand | NSEventModifierFlagOption |
                                          NSEventModifierFlagControl | NSEventModifierFlagShift;

char32_t lowerAscii(char32_t c)
{
  return c < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(c))) : c;
}

bool matches(const NSMenuItem* item, NSEvent* event)
{
  const char32_t key = singleCharacterOf(item->keyEquivalent());
  const char32_t typed = singleCharacterOf(event->charactersIgnoringModifiers());
  if (!key || !typed) return false;
  unsigned required = item->keyEquivalentModifierMask() & kEquivalentModifiers;
  if (key < 128 && std::isupper(static_cast<int>(key))) required |= NSEventModifierFlagShift;
  return lowerAscii(key) == lowerAscii(typed) && (event->modifierFlags() & kEquivalentModifiers) == required;
}

// Each menu is brought up to date before it is searched, and its delegate may change any
// menu on the way, the ones already searched included.
StrongRef<NSMenuItem> findEquivalent(NSMenu* menu, NSEvent* event)
{
  menu->update();
  StrongRef<NSMenuItem> found;
  walkHeld(
      menu, menu->itemArray(), [menu](NSMenuItem* item) { return item->menu() == menu; },
      [&found, event](NSMenuItem* item) {
        if (const StrongRef<NSMenu> submenu{item->submenu()})
          found = findEquivalent(submenu.get(), event);
        else if (item->isEnabled() && matches(item, event))
          found = StrongRef<NSMenuItem>(item);
        return !found;
      });
  return found;
}
}  // namespace

bool NSMenu::performKeyEquivalent(NSEvent* event)
{
  if (!event || event->type() != NSEventTypeKeyDown) return false;
  StrongRef<NSMenu> keep(this);
  const StrongRef<NSMenuItem> item = findEquivalent(this, event);
  if (!item) return false;
  NSApp()->sendAction(item->action(), item->target(), item.get());
  return true;
}

void NSMenu::popUpContextMenu(NSMenu* menu, NSEvent* event, NSView* view)
{
  NSWindow* window = view ? view->window() : nullptr;
  if (!window && event) window = event->window();
  if (!menu || !window || !event) return;
  const NSPoint pixel = window->pixelFromBase(event->locationInWindow());
  if (NSMenuItem* item = MenuTracker::track(menu, window, pixel))
  {
    StrongRef<NSMenuItem> keep(item);
    NSApp()->sendAction(item->action(), item->target(), item);
  }
}

NSMenu* NSMenu::copy() const
{
  NSMenu* menu = emptyCopy();
  menu->setDelegate(delegate());
  menu->setFont(m_font);
  for (NSMenuItem* item : m_items)
  {
    NSMenuItem* copied = item->copy();
    menu->addItem(copied);
    copied->release();
  }
  return menu;
}

namespace
{
struct KeyName
{
  char32_t character;
  const char* name;
};

// Keys that type nothing, by the names their keycaps carry on Linux keyboards.
constexpr KeyName kKeyNames[] = {
    {NSUpArrowFunctionKey, "Up"},      {NSDownArrowFunctionKey, "Down"},  {NSLeftArrowFunctionKey, "Left"},
    {NSRightArrowFunctionKey, "Right"}, {NSInsertFunctionKey, "Insert"},  {kDeleteCharacter, "Delete"},
    {NSHomeFunctionKey, "Home"},       {NSEndFunctionKey, "End"},         {NSPageUpFunctionKey, "Page Up"},
    {NSPageDownFunctionKey, "Page Down"}, {kBackspaceCharacter, "Backspace"},
};
constexpr char32_t kLastFunctionKey = NSF1FunctionKey + 34;  // F35

std::string keyName(char32_t key)
{
  if (key < 128 && std::isprint(static_cast<int>(key))) return std::string(1, static_cast<char>(std::toupper(static_cast<int>(key))));
  if (key >= NSF1FunctionKey && key <= kLastFunctionKey) return "F" + std::to_string(key - NSF1FunctionKey + 1);
  for (const KeyName& entry : kKeyNames)
    if (entry.character == key) return entry.name;
  return {};
}
}  // namespace

NSString keyEquivalentLabel(const NSMenuItem* item)
{
  const char32_t key = singleCharacterOf(item->keyEquivalent());
  const std::string name = keyName(key);
  if (name.empty()) return {};
  unsigned mask = item->keyEquivalentModifierMask();
  if (key < 128 && std::isupper(static_cast<int>(key))) mask |= NSEventModifierFlagShift;
  std::string label;
  // On Linux the Command key is Ctrl and the Control key is Super.
  if (mask & NSEventModifierFlagControl) label += "Super+";
  if (mask & NSEventModifierFlagCommand) label += "Ctrl+";
  if (mask & NSEventModifierFlagOption) label += "Alt+";
  if (mask & NSEventModifierFlagShift) label += "Shift+";
  return NSString(label + name);
}
}  // namespace cocoa
