#include "platform/appkit/control.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/window.h"

#include <cmath>
#include <utility>

namespace cocoa
{
NSControl::NSControl(NSRect frame, NSCell* cell) : NSView(frame)
{
  m_cell = cell ? cell : new NSCell;
  m_cell->setControlView(this);
}

void NSControl::dealloc()
{
  if (NSCell* cell = std::exchange(m_cell, nullptr))
  {
    cell->setControlView(nullptr);
    cell->release();
  }
  NSView::dealloc();
}

void NSControl::setCell(NSCell* cell)
{
  if (!cell || cell == m_cell) return;
  cell->retain();
  m_cell->setControlView(nullptr);
  m_cell->release();
  m_cell = cell;
  m_cell->setControlView(this);
  setNeedsDisplay(true);
}

void NSControl::setEnabled(bool enabled)
{
  m_cell->setEnabled(enabled);
}

bool NSControl::sendAction(Action action, NSObject* target)
{
  if (action == Action::none) return false;
  StrongRef<NSControl> keep(this);
  return NSApp()->sendAction(action, target, this);
}

void NSControl::sizeToFit()
{
  const NSSize size = m_cell->cellSize();
  setFrameSize(NSMakeSize(std::ceil(size.width), std::ceil(size.height)));
}

void NSControl::drawRect(NSRect)
{
  StrongRef<NSCell> keep(m_cell);
  m_cell->drawWithFrame(bounds(), this);
}

bool NSControl::showsKeyboardFocus() const
{
  NSWindow* w = window();
  if (!w || !w->isKeyWindow()) return false;
  auto* first = dynamic_cast<NSView*>(w->firstResponder());
  return first && first->isDescendantOf(this);
}

bool NSControl::pointIsInside(NSEvent* event) const
{
  const NSPoint local = convertPointFromView(event->locationInWindow(), nullptr);
  return NSMouseInRect(local, bounds(), isFlipped());
}

void NSControl::mouseDown(NSEvent* event)
{
  if (!tracksClicks() || !isEnabled()) return;
  m_tracking = true;
  m_cell->setHighlighted(true);
  (void)event;
}

void NSControl::mouseDragged(NSEvent* event)
{
  if (m_tracking) m_cell->setHighlighted(pointIsInside(event));
}

void NSControl::mouseUp(NSEvent* event)
{
  if (!std::exchange(m_tracking, false)) return;
  StrongRef<NSControl> keep(this);
  m_cell->setHighlighted(false);
  if (pointIsInside(event) && isEnabled()) mouseUpInside(event);
}
}  // namespace cocoa
