#pragma once

#include "platform/appkit/button.h"

namespace cocoa
{
enum NSPopUpArrowPosition
{
  NSPopUpNoArrow = 0,
  NSPopUpArrowAtCenter = 1,  // a pair of chevrons
  NSPopUpArrowAtBottom = 2,  // one chevron pointing down
};

// The cell of a pop-up button: its menu and which item of it is selected.
class NSPopUpButtonCell : public NSButtonCell
{
public:
  NSPopUpButtonCell();

  // The cell owns its menu.
  NSMenu* menu() const { return m_menu; }
  void setMenu(NSMenu* menu);
  NSPopUpArrowPosition arrowPosition() const { return m_arrowPosition; }
  void setArrowPosition(NSPopUpArrowPosition position);

  // -1 when no item is selected (or the selected one left the menu).
  NSInteger indexOfSelectedItem() const;
  // An index outside the menu selects nothing.
  void selectItemAtIndex(NSInteger index);
  NSMenuItem* selectedItem() const;
  // The selected item's title ("" for none).
  NSString stringValue() const override;

  NSSize cellSize() const override;
  NSRect titleRectForBounds(NSRect bounds) const override;
  void drawWithFrame(NSRect frame, NSView* view) override;

protected:
  void dealloc() override;

private:
  NSMenu* m_menu;
  StrongRef<NSMenuItem> m_selected;
  NSPopUpArrowPosition m_arrowPosition = NSPopUpArrowAtCenter;
};

// A drop-down list: a press opens its menu over the button with the selected item under
// the pointer (as an overlay, or a popup window where it does not fit); choosing an item
// selects it and sends the action.
class NSPopUpButton : public NSButton
{
public:
  explicit NSPopUpButton(NSRect frame = NSRect{});

  NSPopUpButtonCell* popUpCell() const;
  void setCell(NSCell* cell) override;
  NSMenu* menu() const { return popUpCell()->menu(); }
  void setMenu(NSMenu* menu) { popUpCell()->setMenu(menu); }
  NSInteger numberOfItems() const { return menu()->numberOfItems(); }
  NSMenuItem* itemAtIndex(NSInteger index) const { return menu()->itemAtIndex(index); }
  NSString itemTitleAtIndex(NSInteger index) const;
  void removeItemAtIndex(NSInteger index) { menu()->removeItemAtIndex(index); setNeedsDisplay(true); }
  void removeAllItems() { menu()->removeAllItems(); setNeedsDisplay(true); }
  NSInteger indexOfSelectedItem() const { return popUpCell()->indexOfSelectedItem(); }
  void selectItemAtIndex(NSInteger index) { popUpCell()->selectItemAtIndex(index); }
  NSMenuItem* selectedItem() const { return popUpCell()->selectedItem(); }
  NSString titleOfSelectedItem() const { return popUpCell()->stringValue(); }

  // Opens the menu as a press does.
  void performClick(NSObject* sender) override;

protected:
  void mouseDown(NSEvent* event) override;
};
}  // namespace cocoa
