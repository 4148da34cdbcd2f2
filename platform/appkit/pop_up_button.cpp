#include "platform/appkit/pop_up_button.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/menu_drawing.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/window.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
NSPopUpButtonCell::NSPopUpButtonCell() : m_menu(new NSMenu)
{
  setAlignment(NSTextAlignmentLeft);
  setLineBreakMode(NSLineBreakByTruncatingTail);
}

void NSPopUpButtonCell::dealloc()
{
  m_selected.reset();
  m_menu->release();
  NSButtonCell::dealloc();
}

void NSPopUpButtonCell::setMenu(NSMenu* menu)
{
  if (!menu || menu == m_menu) return;
  menu->retain();
  m_menu->release();
  m_menu = menu;
  m_selected.reset();
  redisplay();
}

void NSPopUpButtonCell::setArrowPosition(NSPopUpArrowPosition position)
{
  m_arrowPosition = position;
  redisplay();
}

NSInteger NSPopUpButtonCell::indexOfSelectedItem() const
{
  return m_selected ? m_menu->indexOfItem(m_selected.get()) : -1;
}

void NSPopUpButtonCell::selectItemAtIndex(NSInteger index)
{
  NSMenuItem* item = m_menu->itemAtIndex(index);
  if (item == m_selected.get()) return;
  m_selected = item;
  redisplay();
}

NSMenuItem* NSPopUpButtonCell::selectedItem() const
{
  return indexOfSelectedItem() >= 0 ? m_selected.get() : nullptr;
}

NSString NSPopUpButtonCell::stringValue() const
{
  NSMenuItem* item = selectedItem();
  return item ? item->title() : NSString();
}

NSSize NSPopUpButtonCell::cellSize() const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  CGFloat widest = 0;
  for (NSMenuItem* item : m_menu->itemArray()) widest = std::max(widest, textWidth(font(), item->title().str()));
  const NSSize button = NSButtonCell::cellSize();
  return NSMakeSize(std::ceil(widest) + m.popUpTitleInset + m.popUpArrowWidth + 2, button.height);
}

NSRect NSPopUpButtonCell::titleRectForBounds(NSRect bounds) const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  const CGFloat arrow = m_arrowPosition == NSPopUpNoArrow ? m.popUpTitleInset : m.popUpArrowWidth;
  return NSMakeRect(NSMinX(bounds) + m.popUpTitleInset, NSMinY(bounds),
                    std::max(0.0, bounds.size.width - m.popUpTitleInset - arrow), bounds.size.height - 1);
}

void NSPopUpButtonCell::drawWithFrame(NSRect frame, NSView* view)
{
  drawBezelWithFrame(frame, view);
  drawTitle(stringValue(), titleRectForBounds(frame), view);
  CGContextRef context = currentCGContext();
  if (!context || m_arrowPosition == NSPopUpNoArrow) return;
  const ControlTheme& theme = controlTheme();
  const NSColor ink = isEnabled() ? theme.colors.mark : theme.colors.disabledText;
  const CGFloat size = theme.metrics.chevronSize;
  const NSPoint centre = NSMakePoint(std::round(NSMaxX(frame) - theme.metrics.popUpArrowWidth / 2),
                                     std::round(NSMidY(frame) - 0.5));
  if (m_arrowPosition == NSPopUpArrowAtBottom)
    drawChevron(context, centre, size, true, ink);
  else
  {
    drawChevron(context, NSMakePoint(centre.x, centre.y - size + 0.5), size * 0.8, false, ink);
    drawChevron(context, NSMakePoint(centre.x, centre.y + size - 0.5), size * 0.8, true, ink);
  }
}

NSPopUpButton::NSPopUpButton(NSRect frame) : NSButton(frame)
{
  NSPopUpButtonCell* cell = new NSPopUpButtonCell;
  setCell(cell);
  cell->release();
}

NSPopUpButtonCell* NSPopUpButton::popUpCell() const
{
  // setCell below keeps it a pop-up cell.
  return static_cast<NSPopUpButtonCell*>(cell());
}

void NSPopUpButton::setCell(NSCell* cell)
{
  if (dynamic_cast<NSPopUpButtonCell*>(cell)) NSButton::setCell(cell);
}

NSString NSPopUpButton::itemTitleAtIndex(NSInteger index) const
{
  NSMenuItem* item = itemAtIndex(index);
  return item ? item->title() : NSString();
}

void NSPopUpButton::performClick(NSObject*)
{
  NSWindow* w = window();
  if (!isEnabled() || !w) return;
  StrongRef<NSPopUpButton> keep(this);
  StrongRef<NSMenu> menu(this->menu());
  // The menu shows in the button's face, as the button's own title does.
  menu->setFont(font());
  const NSInteger selected = indexOfSelectedItem();
  for (NSMenuItem* item : menu->itemArray())
    item->setState(item == selectedItem() ? NSControlStateValueOn : NSControlStateValueOff);
  const NSRect frame = convertRectToView(bounds(), nullptr);
  // The menu's titles start where the button's does; its check column hangs out to the left.
  const CGFloat shift = MenuStyle::kLeftColumn + 1 - controlTheme().metrics.popUpTitleInset;
  NSPoint topLeft = w->pixelFromBase(NSMakePoint(NSMinX(frame), NSMaxY(frame)));
  topLeft.x -= shift;
  MenuPlacement placement;
  placement.minimumWidth = frame.size.width + shift;
  placement.itemAtPoint = selected;
  cell()->setHighlighted(true);
  NSMenuItem* chosen = MenuTracker::track(menu.get(), w, topLeft, placement);
  cell()->setHighlighted(false);
  if (!chosen) return;
  StrongRef<NSMenuItem> keepChosen(chosen);
  popUpCell()->selectItemAtIndex(menu->indexOfItem(chosen));
  sendAction(action(), target());
}

void NSPopUpButton::mouseDown(NSEvent*)
{
  performClick(this);
}
}  // namespace cocoa
