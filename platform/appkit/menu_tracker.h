#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/object.h"

#include <memory>
#include <vector>

namespace cocoa
{
class NSMenu;
class NSMenuItem;
class NSWindow;
class NSEvent;

// Shows menus as overlays inside their window, or in a borderless popup window of their
// own where they do not fit, and follows the mouse and keys until one item is chosen or
// the menus are dismissed. Only one tracker runs at a time; the run loop keeps turning
// (timers fire) while it does.
// How a control's list opens: at least as wide as the control, and with one item
// (highlighted) lying at the point, as a pop-up button shows its selected item over itself.
struct MenuPlacement
{
  double minimumWidth = 0;
  NSInteger itemAtPoint = -1;
};

class MenuTracker
{
public:
  // Opens the menu with its top-left corner at the point (window pixels). Returns the
  // chosen item (autoreleased) or null. The menu's delegate hears menuNeedsUpdate before
  // it is shown, and each submenu's before that one opens.
  static NSMenuItem* track(NSMenu* menu, NSWindow* window, NSPoint topLeft, const MenuPlacement& placement = {});
  // The same for one title of the menu bar in a window's title strip.
  static NSMenuItem* trackMenuBar(NSWindow* window, NSInteger titleIndex);
  static MenuTracker* active();

  // What is open, in the window's pixels (a menu in a popup window may lie outside them).
  size_t levelCount() const;
  // The popup window showing a level, or null when it is drawn inside the window.
  NSWindow* levelWindow(size_t level) const;
  NSMenu* menuAtLevel(size_t level) const;
  NSRect menuFrame(size_t level) const;
  NSRect itemRect(size_t level, NSInteger index) const;
  NSInteger highlightedItem(size_t level) const;
  NSWindow* window() const;
  // The open title of a menu bar being tracked, or -1.
  NSInteger barTitleIndex() const;

  ~MenuTracker();

private:
  struct Level;
  MenuTracker(NSWindow* window, NSMenu* bar);
  NSMenuItem* run();
  void openLevel(NSMenu* menu, NSPoint topLeft);
  void showInPopup(Level& level);
  NSPoint pixelOf(NSEvent* event) const;
  bool isOurWindow(const NSWindow* window) const;
  void closeLevelsFrom(size_t level);
  void openBarTitle(NSInteger index);
  void refresh(size_t level);
  void handle(NSEvent* event);
  void hover(NSPoint pixel);
  bool hit(NSPoint pixel, size_t* level, NSInteger* index) const;
  void moveHighlight(int step);
  void choose(size_t level, NSInteger index);

  StrongRef<NSWindow> m_window;
  StrongRef<NSMenu> m_bar;
  NSInteger m_barIndex = -1;
  std::vector<std::unique_ptr<Level>> m_levels;
  StrongRef<NSMenuItem> m_chosen;
  bool m_done = false;
  bool m_sawMouseDown = false;
  double m_openedAt = 0;
  double m_minimumWidth = 0;
};
}  // namespace cocoa
