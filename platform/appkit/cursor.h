#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/object.h"

#include <cstdint>
#include <vector>

namespace cocoa
{
class NSCursor : public NSObject
{
public:
  enum class Shape
  {
    arrow,
    iBeam,
    resizeUp,
    resizeLeftRight,
    resizeUpDown,
    openHand,
    custom,
  };

  static NSCursor* arrowCursor();
  static NSCursor* IBeamCursor();
  static NSCursor* resizeUpCursor();
  static NSCursor* resizeLeftRightCursor();
  static NSCursor* resizeUpDownCursor();
  static NSCursor* openHandCursor();
  // An image cursor: width × height pixels of straight-alpha ARGB (0xAARRGGBB), row 0 on top.
  NSCursor(const std::vector<uint32_t>& argb, int width, int height, NSPoint hotSpot);

  void set();
  static NSCursor* currentCursor();
  // Hides the pointer until unhide; calls nest as in Cocoa.
  static void hide();
  static void unhide();

  Shape shape() const { return m_shape; }
  const std::vector<uint32_t>& pixels() const { return m_pixels; }
  int width() const { return m_width; }
  int height() const { return m_height; }
  NSPoint hotSpot() const { return m_hotSpot; }

private:
  explicit NSCursor(Shape shape) : m_shape(shape) {}
  static NSCursor* standard(Shape shape);

  Shape m_shape;
  std::vector<uint32_t> m_pixels;
  int m_width = 0;
  int m_height = 0;
  NSPoint m_hotSpot;
};

// The pointer services of CoreGraphics, in Cocoa screen coordinates except where noted.
using CGDirectDisplayID = uint32_t;
CGDirectDisplayID CGMainDisplayID();
size_t CGDisplayPixelsHigh(CGDirectDisplayID display);
void CGDisplayHideCursor(CGDirectDisplayID display);
void CGDisplayShowCursor(CGDirectDisplayID display);
// With false the pointer stays put while the mouse still reports motion.
void CGAssociateMouseAndMouseCursorPosition(bool connected);
// In the display's top-down coordinates, as Quartz takes them.
void CGWarpMouseCursorPosition(CGPoint point);
}  // namespace cocoa
