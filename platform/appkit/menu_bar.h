#pragma once

#include "platform/foundation/geometry.h"
#include "platform/graphics/cg_types.h"

#include <vector>

namespace cocoa
{
class NSWindow;
class NSEvent;
class NSMenu;

// A titled window's strip shows the application's main menu: one title per item of the
// main menu, in window pixels (y down from the top of the frame).
std::vector<NSRect> menuBarTitleRects(NSMenu* mainMenu);
void drawMenuBarStrip(NSWindow* window, CGContextRef context, NSRect strip);
// A press in the strip: opens the title under it and sends the chosen item's action.
void trackMenuBarClick(NSWindow* window, NSEvent* event);
}  // namespace cocoa
