#include "platform/appkit/cursor.h"

#include "platform/appkit/screen.h"
#include "platform/backend/backend.h"

namespace cocoa
{
namespace
{
NSCursor* g_current = nullptr;
int g_hideCount = 0;
}  // namespace

NSCursor::NSCursor(const std::vector<uint32_t>& argb, int width, int height, NSPoint hotSpot)
    : m_shape(Shape::custom), m_pixels(argb), m_width(width), m_height(height), m_hotSpot(hotSpot)
{
  if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
  {
    // An image that does not hold its size is shown as the arrow.
    m_shape = Shape::arrow;
    m_pixels.clear();
    m_width = m_height = 0;
  }
}

NSCursor* NSCursor::standard(Shape shape)
{
  static NSCursor* cursors[6] = {};
  NSCursor*& slot = cursors[static_cast<int>(shape)];
  if (!slot) slot = new NSCursor(shape);
  return slot;
}

NSCursor* NSCursor::arrowCursor() { return standard(Shape::arrow); }
NSCursor* NSCursor::IBeamCursor() { return standard(Shape::iBeam); }
NSCursor* NSCursor::resizeUpCursor() { return standard(Shape::resizeUp); }
NSCursor* NSCursor::resizeLeftRightCursor() { return standard(Shape::resizeLeftRight); }
NSCursor* NSCursor::resizeUpDownCursor() { return standard(Shape::resizeUpDown); }
NSCursor* NSCursor::openHandCursor() { return standard(Shape::openHand); }

void NSCursor::set()
{
  if (g_current == this) return;
  retain();
  if (g_current) g_current->release();
  g_current = this;
  platformBackend().setCursor(this);
}

NSCursor* NSCursor::currentCursor()
{
  return g_current ? g_current : arrowCursor();
}

void NSCursor::hide()
{
  if (g_hideCount++ == 0) platformBackend().setCursorVisible(false);
}

void NSCursor::unhide()
{
  if (g_hideCount > 0 && --g_hideCount == 0) platformBackend().setCursorVisible(true);
}

CGDirectDisplayID CGMainDisplayID()
{
  return 1;
}

size_t CGDisplayPixelsHigh(CGDirectDisplayID)
{
  NSScreen* screen = NSScreen::mainScreen();
  return screen ? static_cast<size_t>(screen->frame().size.height) : 0;
}

void CGDisplayHideCursor(CGDirectDisplayID)
{
  NSCursor::hide();
}

void CGDisplayShowCursor(CGDirectDisplayID)
{
  NSCursor::unhide();
}

void CGAssociateMouseAndMouseCursorPosition(bool connected)
{
  platformBackend().setPointerDetached(!connected);
}

void CGWarpMouseCursorPosition(CGPoint point)
{
  const double height = static_cast<double>(CGDisplayPixelsHigh(CGMainDisplayID()));
  platformBackend().warpPointer(NSMakePoint(point.x, height - point.y));
}
}  // namespace cocoa
