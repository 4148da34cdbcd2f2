#pragma once

#include "platform/appkit/action.h"
#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"
#include "platform/graphics/cg_types.h"
#include "platform/text/core_text.h"

#include <vector>

namespace cocoa
{
class NSMenu;
class NSEvent;
class NSView;

enum NSControlStateValue : int
{
  NSControlStateValueMixed = -1,
  NSControlStateValueOff = 0,
  NSControlStateValueOn = 1,
};

class NSMenuItem : public NSObject
{
public:
  NSMenuItem(const NSString& title, Action action, const NSString& keyEquivalent);
  static NSMenuItem* separatorItem();  // autoreleased

  const NSString& title() const { return m_title; }
  void setTitle(const NSString& title);
  NSInteger tag() const { return m_tag; }
  void setTag(NSInteger tag) { m_tag = tag; }
  int state() const { return m_state; }
  void setState(int state) { m_state = state; }
  bool isEnabled() const { return m_enabled; }
  void setEnabled(bool enabled) { m_enabled = enabled; }
  bool isSeparatorItem() const { return m_separator; }
  NSInteger indentationLevel() const { return m_indentation; }
  void setIndentationLevel(NSInteger level) { m_indentation = level; }

  // The item owns its submenu.
  NSMenu* submenu() const { return m_submenu; }
  void setSubmenu(NSMenu* submenu);
  bool hasSubmenu() const { return m_submenu != nullptr; }
  NSMenu* menu() const { return m_menu; }

  // The target is not owned; an object that has gone away is skipped.
  NSObject* target() const { return m_target; }
  void setTarget(NSObject* target) { m_target = target; }
  Action action() const { return m_action; }
  void setAction(Action action) { m_action = action; }
  // One character: a lower-case one means no Shift, an upper-case letter requires Shift;
  // function keys and arrows are Cocoa's function-key characters (NSF1FunctionKey, ...).
  const NSString& keyEquivalent() const { return m_keyEquivalent; }
  void setKeyEquivalent(const NSString& key) { m_keyEquivalent = key; }
  unsigned keyEquivalentModifierMask() const { return m_keyModifiers; }
  void setKeyEquivalentModifierMask(unsigned mask) { m_keyModifiers = mask; }
  NSObject* representedObject() const { return m_represented; }
  void setRepresentedObject(NSObject* object);
  // Shown at its own size before the title; the item keeps a reference.
  CGImageRef image() const { return m_image; }
  void setImage(CGImageRef image);

  // A new item (owned by the caller) with the same fields and a copy of the submenu.
  NSMenuItem* copy() const;

protected:
  void dealloc() override;

private:
  friend class NSMenu;
  NSString m_title;
  NSInteger m_tag = 0;
  int m_state = NSControlStateValueOff;
  bool m_enabled = true;
  bool m_separator = false;
  NSInteger m_indentation = 0;
  NSMenu* m_submenu = nullptr;
  NSMenu* m_menu = nullptr;
  NSObject* m_target = nullptr;
  Action m_action = Action::none;
  NSString m_keyEquivalent;
  unsigned m_keyModifiers;
  NSObject* m_represented = nullptr;
  CGImageRef m_image = nullptr;
};

class NSMenuDelegate
{
public:
  virtual ~NSMenuDelegate() = default;
  // Called before the menu is shown or searched for a key equivalent.
  virtual void menuNeedsUpdate(NSMenu*) {}
};

class NSMenu : public NSObject
{
public:
  explicit NSMenu(const NSString& title = NSString());

  const NSString& title() const { return m_title; }
  void setTitle(const NSString& title) { m_title = title; }
  // The face its items show in (retained); null for the theme's menu font.
  CTFontRef font() const { return m_font; }
  void setFont(CTFontRef font);
  NSInteger numberOfItems() const { return static_cast<NSInteger>(m_items.size()); }
  // A copy, as Cocoa's array is: items may be removed while it is walked.
  std::vector<NSMenuItem*> itemArray() const { return m_items; }
  NSMenuItem* itemAtIndex(NSInteger index) const;
  NSInteger indexOfItem(const NSMenuItem* item) const;
  NSInteger indexOfItemWithTag(NSInteger tag) const;
  NSMenuItem* itemWithTag(NSInteger tag) const;
  // The menu owns its items.
  void addItem(NSMenuItem* item);
  void insertItem(NSMenuItem* item, NSInteger index);
  void removeItemAtIndex(NSInteger index);
  void removeItem(NSMenuItem* item);
  void removeAllItems();
  void setSubmenu(NSMenu* submenu, NSMenuItem* item);
  NSMenu* supermenu() const { return m_supermenu; }

  // The delegate is not owned: as with item targets, one whose object has gone away (a
  // window destroyed while a menu it no longer holds still names it) reads as none.
  NSMenuDelegate* delegate() const;
  void setDelegate(NSMenuDelegate* delegate);
  void update();

  // Finds an enabled item (in this menu or a submenu) whose key equivalent the event
  // carries and sends its action. True when one did.
  bool performKeyEquivalent(NSEvent* event);
  // Shows the menu at the event's location in the view's window and runs until it closes;
  // a chosen item's action is sent before this returns.
  static void popUpContextMenu(NSMenu* menu, NSEvent* event, NSView* view);

  // A new menu (owned by the caller) of this menu's class, with copies of every item.
  NSMenu* copy() const;

protected:
  void dealloc() override;
  // An empty menu of this menu's class with its title, as Cocoa's copy allocates [self class].
  virtual NSMenu* emptyCopy() const { return new NSMenu(m_title); }

private:
  friend class NSMenuItem;
  NSString m_title;
  std::vector<NSMenuItem*> m_items;
  NSMenu* m_supermenu = nullptr;
  NSMenuDelegate* m_delegate = nullptr;
  const NSObject* m_delegateObject = nullptr;  // the delegate's object, when it is one
  CTFontRef m_font = nullptr;
};

// The key equivalent as a person reads it in a menu: "Ctrl+Q".
NSString keyEquivalentLabel(const NSMenuItem* item);
}  // namespace cocoa
