#include "platform/appkit/combo_box.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/window.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
NSRect NSComboBoxCell::buttonRectForBounds(NSRect bounds) const
{
  const CGFloat width = std::min(bounds.size.width, controlTheme().metrics.popUpArrowWidth);
  return NSMakeRect(NSMaxX(bounds) - width, NSMinY(bounds), width, bounds.size.height);
}

NSRect NSComboBoxCell::titleRectForBounds(NSRect bounds) const
{
  NSRect text = NSTextFieldCell::titleRectForBounds(bounds);
  text.size.width = std::max(0.0, NSMinX(buttonRectForBounds(bounds)) - text.origin.x - 2);
  return text;
}

NSSize NSComboBoxCell::cellSize() const
{
  NSSize size = NSTextFieldCell::cellSize();
  CGFloat widest = 0;
  if (auto* combo = dynamic_cast<NSComboBox*>(controlView()))
    for (const NSString& item : combo->objectValues()) widest = std::max(widest, textWidth(font(), item.str()));
  size.width = std::max(size.width, std::ceil(widest) + 2 * controlTheme().metrics.fieldInsetX) +
               controlTheme().metrics.popUpArrowWidth;
  return size;
}

void NSComboBoxCell::drawFrame(NSRect frame, NSView* view)
{
  NSTextFieldCell::drawFrame(frame, view);
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const NSRect button = buttonRectForBounds(frame);
  fillRect(context, NSMakeRect(NSMinX(button), NSMinY(button) + 4, 1, button.size.height - 8),
           isEnabled() ? theme.colors.fieldBorder : theme.colors.borderDisabled);
  if (isHighlighted())
    fillRoundedRect(context, NSInsetRect(NSMakeRect(NSMinX(button) + 1, NSMinY(button), button.size.width - 1, button.size.height), 2, 2),
                    theme.metrics.fieldRadius, theme.colors.facePressed);
  drawChevron(context, NSMakePoint(std::round(NSMidX(button)) + 0.5, std::round(NSMidY(button))), theme.metrics.chevronSize,
              true, isEnabled() ? theme.colors.mark : theme.colors.disabledText);
}

NSComboBox::NSComboBox(NSRect frame) : NSTextField(frame, new NSComboBoxCell)
{
  cell()->setScrollable(true);
}

NSComboBoxCell* NSComboBox::comboBoxCell() const
{
  return static_cast<NSComboBoxCell*>(cell());
}

NSComboBoxDelegate* NSComboBox::comboBoxDelegate() const
{
  return dynamic_cast<NSComboBoxDelegate*>(delegate());
}

void NSComboBox::addItemWithObjectValue(const NSString& value)
{
  m_items.push_back(value);
}

void NSComboBox::insertItemWithObjectValueAtIndex(const NSString& value, NSInteger index)
{
  if (index < 0) return;
  index = std::min(index, numberOfItems());
  m_items.insert(m_items.begin() + index, value);
  if (m_selected >= index) ++m_selected;
}

void NSComboBox::removeItemAtIndex(NSInteger index)
{
  if (index < 0 || index >= numberOfItems()) return;
  m_items.erase(m_items.begin() + index);
  if (m_selected == index) m_selected = -1;
  else if (m_selected > index) --m_selected;
}

void NSComboBox::removeAllItems()
{
  m_items.clear();
  m_selected = -1;
}

NSString NSComboBox::itemObjectValueAtIndex(NSInteger index) const
{
  return index >= 0 && index < numberOfItems() ? m_items[static_cast<size_t>(index)] : NSString();
}

void NSComboBox::selectItemAtIndex(NSInteger index)
{
  if (index < 0 || index >= numberOfItems())
  {
    m_selected = -1;
    return;
  }
  m_selected = index;
  setStringValue(m_items[static_cast<size_t>(index)]);
}

void NSComboBox::deselectItemAtIndex(NSInteger index)
{
  if (index == m_selected) m_selected = -1;
}

void NSComboBox::popUp()
{
  if (!window() || !isEnabled()) return;
  StrongRef<NSComboBox> keep(this);
  if (NSComboBoxDelegate* d = comboBoxDelegate()) d->comboBoxWillPopUp(this);
  // The delegate may have taken the combo box out of its window.
  StrongRef<NSWindow> w(window());
  StrongRef<NSMenu> list = StrongRef<NSMenu>::adopt(new NSMenu);
  list->setFont(font());
  for (size_t i = 0; i < m_items.size(); ++i)
  {
    auto* item = new NSMenuItem(m_items[i], Action::none, "");
    item->setState(static_cast<NSInteger>(i) == m_selected ? NSControlStateValueOn : NSControlStateValueOff);
    list->addItem(item);
    item->release();
  }
  const NSRect frame = convertRectToView(bounds(), nullptr);
  MenuPlacement placement;
  placement.minimumWidth = frame.size.width;
  cell()->setHighlighted(true);
  NSMenuItem* chosen = w && list->numberOfItems() > 0
                           ? MenuTracker::track(list.get(), w.get(), w->pixelFromBase(frame.origin), placement)
                           : nullptr;
  cell()->setHighlighted(false);
  if (chosen)
  {
    selectItemAtIndex(list->indexOfItem(chosen));
    if (NSText* editor = currentEditor()) editor->selectAll();
    if (NSComboBoxDelegate* d = comboBoxDelegate()) d->comboBoxSelectionDidChange(this);
    sendAction(action(), target());
  }
  if (NSComboBoxDelegate* d = comboBoxDelegate()) d->comboBoxWillDismiss(this);
}

void NSComboBox::mouseDown(NSEvent* event)
{
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
  if (NSMouseInRect(p, comboBoxCell()->buttonRectForBounds(bounds()), true))
  {
    popUp();
    return;
  }
  NSTextField::mouseDown(event);
}
}  // namespace cocoa
