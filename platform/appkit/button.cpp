#include "platform/appkit/button.h"

#include "platform/appkit/theme.h"

namespace cocoa
{
NSButton::NSButton(NSRect frame) : NSControl(frame, new NSButtonCell) {}

NSButtonCell* NSButton::buttonCell() const
{
  // setCell below keeps it a button cell.
  return static_cast<NSButtonCell*>(cell());
}

void NSButton::setCell(NSCell* cell)
{
  if (dynamic_cast<NSButtonCell*>(cell)) NSControl::setCell(cell);
}

NSColor NSButton::textColor() const
{
  return buttonCell()->titleColor().value_or(controlTheme().colors.text);
}

void NSButton::performClick(NSObject*)
{
  if (!isEnabled()) return;
  StrongRef<NSButton> keep(this);
  NSButtonCell* cell = buttonCell();
  if (cell->buttonType() == NSButtonTypeRadio)
  {
    setState(NSControlStateValueOn);
    turnOffRestOfRadioGroup();
  }
  else if (cell->keepsState())
    setState(cell->nextState());
  sendAction(action(), target());
}

void NSButton::mouseUpInside(NSEvent*)
{
  performClick(this);
}

void NSButton::turnOffRestOfRadioGroup()
{
  NSView* parent = superview();
  if (!parent || action() == Action::none) return;
  // Turning a button off marks it for drawing and tells nobody: the siblings cannot change.
  for (NSView* sibling : parent->subviews())
  {
    auto* other = dynamic_cast<NSButton*>(sibling);
    if (!other || other == this || other->buttonCell()->buttonType() != NSButtonTypeRadio) continue;
    if (other->action() == action() && other->state() != NSControlStateValueOff) other->setState(NSControlStateValueOff);
  }
}
}  // namespace cocoa
