#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/object.h"

#include <vector>

namespace cocoa
{
// One display, in Cocoa screen coordinates: origin at the lower left of the main screen,
// y up. The visible frame leaves out what the desktop reserves (panels, docks).
class NSScreen : public NSObject
{
public:
  static NSScreen* mainScreen();
  static std::vector<NSScreen*> screens();
  // The screen holding the point, else the main screen.
  static NSScreen* screenContainingPoint(NSPoint point);

  NSRect frame() const { return m_frame; }
  NSRect visibleFrame() const { return m_visibleFrame; }
  CGFloat backingScaleFactor() const { return 1; }

private:
  NSScreen(NSRect frame, NSRect visibleFrame) : m_frame(frame), m_visibleFrame(visibleFrame) {}

  NSRect m_frame;
  NSRect m_visibleFrame;
};
}  // namespace cocoa
