#include "platform/appkit/menu_bar.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/menu_drawing.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/window.h"

#include <cmath>

namespace cocoa
{
namespace
{
NSString titleOf(const NSMenuItem* item)
{
  if (!item->title().empty()) return item->title();
  if (item->submenu()) return item->submenu()->title();
  return {};
}
}  // namespace

std::vector<NSRect> menuBarTitleRects(NSMenu* mainMenu)
{
  std::vector<NSRect> rects;
  if (!mainMenu) return rects;
  double x = 4;
  for (NSMenuItem* item : mainMenu->itemArray())
  {
    const double width = std::ceil(menuTextWidth(titleOf(item))) + 2 * MenuStyle::kBarTitlePadding;
    rects.push_back(NSMakeRect(x, 0, width, kTitleStripHeight - 1));
    x += width;
  }
  return rects;
}

void drawMenuBarStrip(NSWindow* window, CGContextRef context, NSRect strip)
{
  const ControlTheme::Colors& colors = controlTheme().colors;
  fillMenuRect(context, strip.origin.x, strip.origin.y, strip.size.width, strip.size.height, colors.menuBarBackground);
  fillMenuRect(context, strip.origin.x, NSMaxY(strip) - 1, strip.size.width, 1, colors.menuBarEdge);
  NSMenu* menu = NSApp()->mainMenu();
  if (!menu) return;
  MenuTracker* tracker = MenuTracker::active();
  const NSInteger open = tracker && tracker->window() == window ? tracker->barTitleIndex() : -1;
  const std::vector<NSRect> titles = menuBarTitleRects(menu);
  for (size_t i = 0; i < titles.size(); ++i)
  {
    const NSRect& r = titles[i];
    const bool lit = static_cast<NSInteger>(i) == open;
    if (lit) fillMenuRect(context, r.origin.x, r.origin.y, r.size.width, r.size.height, colors.accent);
    drawMenuText(context, titleOf(menu->itemAtIndex(static_cast<NSInteger>(i))),
                 r.origin.x + MenuStyle::kBarTitlePadding, r.origin.y, r.size.height, lit ? colors.accentText : colors.text);
  }
}

void trackMenuBarClick(NSWindow* window, NSEvent* event)
{
  NSMenu* menu = NSApp()->mainMenu();
  if (!menu || !window) return;
  const NSPoint pixel = window->pixelFromBase(event->locationInWindow());
  const std::vector<NSRect> titles = menuBarTitleRects(menu);
  // Tracking runs the application; the walk ends with the one title that was pressed.
  for (size_t i = 0; i < titles.size(); ++i)
  {
    if (!NSPointInRect(pixel, titles[i])) continue;
    if (NSMenuItem* item = MenuTracker::trackMenuBar(window, static_cast<NSInteger>(i)))
    {
      StrongRef<NSMenuItem> keep(item);
      NSApp()->sendAction(item->action(), item->target(), item);
    }
    return;
  }
}
}  // namespace cocoa
