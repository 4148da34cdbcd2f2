#include "platform/appkit/menu_tracker.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/menu_bar.h"
#include "platform/appkit/menu_drawing.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/view.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/run_loop.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
namespace
{
MenuTracker* g_active = nullptr;
// A release this soon after the menu opened belongs to the press that opened it.
constexpr double kOpeningClickTime = 0.3;
constexpr double kImageGap = 4;

double itemHeight(const NSMenuItem* item)
{
  if (item->isSeparatorItem()) return MenuStyle::kSeparatorHeight;
  const double image = item->image() ? static_cast<double>(CGImageGetHeight(item->image())) + kImageGap : 0;
  return std::max(MenuStyle::kItemHeight, image);
}

double imageWidth(const NSMenuItem* item)
{
  return item->image() ? static_cast<double>(CGImageGetWidth(item->image())) + kImageGap : 0;
}

// Images land bottom-up in user space; the menus draw y down, so mirror.
void drawItemImage(CGContextRef context, CGImageRef image, double x, double top, double height)
{
  const double w = static_cast<double>(CGImageGetWidth(image)), h = static_cast<double>(CGImageGetHeight(image));
  const double y = std::round(top + (height - h) / 2);
  CGContextSaveGState(context);
  CGContextTranslateCTM(context, std::round(x), y + h);
  CGContextScaleCTM(context, 1, -1);
  CGContextDrawImage(context, CGRectMake(0, 0, w, h), image);
  CGContextRestoreGState(context);
}
}  // namespace

struct MenuTracker::Level : WindowOverlay
{
  StrongRef<NSMenu> menu;
  NSRect frame;
  std::vector<NSRect> items;
  NSInteger highlighted = -1;
  StrongRef<NSWindow> popup;  // set when the menu does not fit inside the window

  NSRect overlayFrame() const override { return frame; }

  void drawOverlay(CGContextRef context) override
  {
    const double x = frame.origin.x, y = frame.origin.y, w = frame.size.width, h = frame.size.height;
    const ControlTheme::Colors& colors = controlTheme().colors;
    CTFontRef font = menu->font();
    fillMenuRect(context, x, y, w, h, colors.menuBorder);
    fillMenuRect(context, x + 1, y + 1, w - 2, h - 2, colors.menuBackground);
    for (size_t i = 0; i < items.size(); ++i)
    {
      // A timer or a posted message may have taken items from the open menu.
      NSMenuItem* item = menu->itemAtIndex(static_cast<NSInteger>(i));
      if (!item) break;
      const NSRect& r = items[i];
      if (item->isSeparatorItem())
      {
        fillMenuRect(context, r.origin.x + 1, r.origin.y + r.size.height / 2, r.size.width - 2, 1, colors.menuSeparator);
        continue;
      }
      const bool lit = static_cast<NSInteger>(i) == highlighted && item->isEnabled();
      if (lit) fillMenuRect(context, r.origin.x, r.origin.y, r.size.width, r.size.height, colors.accent);
      const NSColor color = lit ? colors.accentText : item->isEnabled() ? colors.text : colors.disabledText;
      if (item->state() == NSControlStateValueOn) drawMenuText(context, "\u2713", r.origin.x + 6, r.origin.y, r.size.height, color, font);
      if (item->state() == NSControlStateValueMixed) drawMenuText(context, "\u2013", r.origin.x + 6, r.origin.y, r.size.height, color, font);
      double left = r.origin.x + MenuStyle::kLeftColumn + MenuStyle::kIndent * static_cast<double>(item->indentationLevel());
      if (item->image()) drawItemImage(context, item->image(), left, r.origin.y, r.size.height);
      left += imageWidth(item);
      drawMenuText(context, item->title(), left, r.origin.y, r.size.height, color, font);
      const NSString key = keyEquivalentLabel(item);
      if (!key.empty())
        drawMenuText(context, key, NSMaxX(r) - MenuStyle::kRightColumn - menuTextWidth(key, font), r.origin.y, r.size.height,
                     color, font);
      if (item->hasSubmenu())
        drawMenuText(context, "\u25B8", NSMaxX(r) - MenuStyle::kRightColumn + 6, r.origin.y, r.size.height, color, font);
    }
  }
};

namespace
{
// The content of a menu's popup window: the level drawn as the overlay would be, moved so
// that the level's corner is the view's.
class MenuPopupView : public NSView
{
public:
  MenuPopupView(NSRect frame, WindowOverlay* level) : NSView(frame), m_level(level) {}
  bool isFlipped() const override { return true; }
  void drawRect(NSRect) override
  {
    CGContextRef context = NSGraphicsContext::currentContext()->CGContext();
    const NSRect at = m_level->overlayFrame();
    CGContextTranslateCTM(context, -at.origin.x, -at.origin.y);
    m_level->drawOverlay(context);
  }

private:
  WindowOverlay* m_level;
};
}  // namespace

MenuTracker::MenuTracker(NSWindow* window, NSMenu* bar) : m_window(window), m_bar(bar) {}

MenuTracker::~MenuTracker()
{
  closeLevelsFrom(0);
}

MenuTracker* MenuTracker::active()
{
  return g_active;
}

size_t MenuTracker::levelCount() const { return m_levels.size(); }
NSMenu* MenuTracker::menuAtLevel(size_t level) const { return level < m_levels.size() ? m_levels[level]->menu.get() : nullptr; }
NSRect MenuTracker::menuFrame(size_t level) const { return level < m_levels.size() ? m_levels[level]->frame : NSRect{}; }
NSWindow* MenuTracker::window() const { return m_window.get(); }
NSWindow* MenuTracker::levelWindow(size_t level) const { return level < m_levels.size() ? m_levels[level]->popup.get() : nullptr; }
NSInteger MenuTracker::barTitleIndex() const { return m_barIndex; }

NSRect MenuTracker::itemRect(size_t level, NSInteger index) const
{
  if (level >= m_levels.size() || index < 0 || index >= static_cast<NSInteger>(m_levels[level]->items.size())) return {};
  return m_levels[level]->items[static_cast<size_t>(index)];
}

NSInteger MenuTracker::highlightedItem(size_t level) const
{
  return level < m_levels.size() ? m_levels[level]->highlighted : -1;
}

NSMenuItem* MenuTracker::track(NSMenu* menu, NSWindow* window, NSPoint topLeft, const MenuPlacement& placement)
{
  if (!menu || !window || g_active) return nullptr;
  MenuTracker tracker(window, nullptr);
  tracker.m_minimumWidth = placement.minimumWidth;
  tracker.openLevel(menu, topLeft);
  const NSInteger item = placement.itemAtPoint;
  if (item >= 0 && item < menu->numberOfItems())
  {
    // Opened once to learn where the item lies, then again moved up by that much.
    const double above = tracker.itemRect(0, item).origin.y - tracker.menuFrame(0).origin.y;
    tracker.closeLevelsFrom(0);
    tracker.openLevel(menu, NSMakePoint(topLeft.x, topLeft.y - above));
    tracker.m_levels[0]->highlighted = item;
  }
  return tracker.run();
}

NSMenuItem* MenuTracker::trackMenuBar(NSWindow* window, NSInteger titleIndex)
{
  NSMenu* bar = NSApp()->mainMenu();
  if (!bar || !window || g_active || !bar->itemAtIndex(titleIndex)) return nullptr;
  MenuTracker tracker(window, bar);
  tracker.openBarTitle(titleIndex);
  return tracker.run();
}

void MenuTracker::openBarTitle(NSInteger index)
{
  closeLevelsFrom(0);
  const std::vector<NSRect> titles = menuBarTitleRects(m_bar.get());
  m_barIndex = index;
  refresh(0);
  NSMenuItem* item = m_bar->itemAtIndex(index);
  if (item && item->submenu() && index < static_cast<NSInteger>(titles.size()))
    openLevel(item->submenu(), NSMakePoint(titles[static_cast<size_t>(index)].origin.x, kTitleStripHeight));
}

void MenuTracker::openLevel(NSMenu* menu, NSPoint topLeft)
{
  StrongRef<NSMenu> keep(menu);
  menu->update();
  auto level = std::make_unique<Level>();
  level->menu = menu;
  double width = std::max(MenuStyle::kMinimumWidth, m_levels.empty() ? std::ceil(m_minimumWidth) : 0.0);
  double height = 2;
  for (NSMenuItem* item : menu->itemArray())
  {
    height += itemHeight(item);
    const NSString key = keyEquivalentLabel(item);
    const double itemWidth = MenuStyle::kLeftColumn + MenuStyle::kIndent * static_cast<double>(item->indentationLevel()) +
                             imageWidth(item) + menuTextWidth(item->title(), menu->font()) +
                             (key.empty() ? 0 : MenuStyle::kKeyGap + menuTextWidth(key, menu->font())) +
                             MenuStyle::kRightColumn;
    width = std::max(width, std::ceil(itemWidth));
  }
  // Keep the menu inside its window, shifted left and up as needed; one that cannot fit
  // gets a popup window of its own on the screen.
  const NSSize window = m_window->frame().size;
  NSPoint origin = NSMakePoint(std::round(topLeft.x), std::round(topLeft.y));
  const bool fits = width <= window.width && height <= window.height;
  if (fits && origin.x + width > window.width) origin.x = window.width - width;
  if (fits && origin.y + height > window.height) origin.y = window.height - height;
  level->frame = NSMakeRect(std::max(0.0, origin.x), std::max(0.0, origin.y), width, height);
  if (!fits) level->frame.origin = origin;
  if (fits) m_window->addOverlay(level.get());
  else showInPopup(*level);
  double y = level->frame.origin.y + 1;
  for (NSMenuItem* item : menu->itemArray())
  {
    const double h = itemHeight(item);
    level->items.push_back(NSMakeRect(level->frame.origin.x + 1, y, width - 2, h));
    y += h;
  }
  m_levels.push_back(std::move(level));
}

void MenuTracker::showInPopup(Level& level)
{
  // Where the menu would start, on the screen (y up), kept inside the screen's visible
  // part: moved left and down when it would run off, never above the top.
  const NSSize size = level.frame.size;
  const NSPoint corner = m_window->convertBaseToScreen(m_window->baseFromPixel(level.frame.origin));
  NSRect frame = NSMakeRect(corner.x, corner.y - size.height, size.width, size.height);
  NSScreen* screen = NSScreen::screenContainingPoint(corner);
  if (!screen) screen = NSScreen::mainScreen();
  if (screen)
  {
    const NSRect visible = screen->visibleFrame();
    frame.origin.x = std::max(visible.origin.x, std::min(frame.origin.x, NSMaxX(visible) - size.width));
    if (frame.origin.y < visible.origin.y) frame.origin.y = visible.origin.y;
    if (NSMaxY(frame) > NSMaxY(visible)) frame.origin.y = NSMaxY(visible) - size.height;
  }
  level.popup = StrongRef<NSWindow>::adopt(new NSWindow(frame, NSWindowStyleMaskBorderless));
  level.popup->setReleasedWhenClosed(false);
  level.popup->setLevel(NSPopUpMenuWindowLevel);
  auto* view = new MenuPopupView(NSMakeRect(0, 0, size.width, size.height), &level);
  level.popup->setContentView(view);
  view->release();
  // Back in the window's pixels, where the tracker places and hits every level.
  level.frame.origin = m_window->pixelFromBase(m_window->convertScreenToBase(NSMakePoint(frame.origin.x, NSMaxY(frame))));
  m_window->addChildWindow(level.popup.get(), NSWindowAbove);
  level.popup->orderFront(nullptr);
}

bool MenuTracker::isOurWindow(const NSWindow* window) const
{
  if (window == m_window.get()) return true;
  for (const auto& level : m_levels)
    if (level->popup.get() == window) return true;
  return false;
}

NSPoint MenuTracker::pixelOf(NSEvent* event) const
{
  NSWindow* from = event->window();
  if (!from || from == m_window.get()) return m_window->pixelFromBase(event->locationInWindow());
  const NSPoint screen = from->convertBaseToScreen(event->locationInWindow());
  return m_window->pixelFromBase(m_window->convertScreenToBase(screen));
}

void MenuTracker::closeLevelsFrom(size_t level)
{
  while (m_levels.size() > level)
  {
    Level& last = *m_levels.back();
    if (last.popup) last.popup->close();
    else if (m_window) m_window->removeOverlay(&last);
    m_levels.pop_back();
  }
}

void MenuTracker::refresh(size_t level)
{
  if (level < m_levels.size() && m_levels[level]->popup) m_levels[level]->popup->contentView()->setNeedsDisplay(true);
  else if (level < m_levels.size()) m_window->invalidateBaseRect(NSMakeRect(
      m_levels[level]->frame.origin.x, m_window->frame().size.height - NSMaxY(m_levels[level]->frame),
      m_levels[level]->frame.size.width, m_levels[level]->frame.size.height));
  if (m_bar)
    m_window->invalidateBaseRect(NSMakeRect(0, m_window->frame().size.height - kTitleStripHeight,
                                            m_window->frame().size.width, kTitleStripHeight));
}

bool MenuTracker::hit(NSPoint pixel, size_t* level, NSInteger* index) const
{
  for (size_t l = m_levels.size(); l-- > 0;)
  {
    if (!NSPointInRect(pixel, m_levels[l]->frame)) continue;
    *level = l;
    *index = -1;
    for (size_t i = 0; i < m_levels[l]->items.size(); ++i)
      if (NSPointInRect(pixel, m_levels[l]->items[i])) *index = static_cast<NSInteger>(i);
    return true;
  }
  return false;
}

void MenuTracker::hover(NSPoint pixel)
{
  if (m_bar && pixel.y < kTitleStripHeight)
  {
    const std::vector<NSRect> titles = menuBarTitleRects(m_bar.get());
    for (size_t i = 0; i < titles.size(); ++i)
      if (NSPointInRect(pixel, titles[i]) && static_cast<NSInteger>(i) != m_barIndex) openBarTitle(static_cast<NSInteger>(i));
    return;
  }
  size_t level = 0;
  NSInteger index = -1;
  if (!hit(pixel, &level, &index)) return;
  Level& current = *m_levels[level];
  if (index == current.highlighted) return;
  current.highlighted = index;
  closeLevelsFrom(level + 1);
  refresh(level);
  NSMenuItem* item = current.menu->itemAtIndex(index);
  if (item && item->hasSubmenu() && item->isEnabled())
    openLevel(item->submenu(), NSMakePoint(NSMaxX(current.items[static_cast<size_t>(index)]),
                                           current.items[static_cast<size_t>(index)].origin.y - 1));
}

void MenuTracker::moveHighlight(int step)
{
  if (m_levels.empty()) return;
  Level& current = *m_levels.back();
  // Only what was laid out when the level opened can be reached: a menu that gained items
  // while it was open shows them the next time it opens, one that lost some has fewer rows.
  const NSInteger count = std::min(current.menu->numberOfItems(), static_cast<NSInteger>(current.items.size()));
  if (count <= 0) return;
  NSInteger index = current.highlighted;
  for (NSInteger tries = 0; tries < count; ++tries)
  {
    index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
    NSMenuItem* item = current.menu->itemAtIndex(index);
    if (item && !item->isSeparatorItem() && item->isEnabled()) break;
  }
  current.highlighted = index;
  refresh(m_levels.size() - 1);
}

void MenuTracker::choose(size_t level, NSInteger index)
{
  NSMenuItem* item = m_levels[level]->menu->itemAtIndex(index);
  if (!item || !item->isEnabled() || item->isSeparatorItem() || item->hasSubmenu()) return;
  m_chosen = item;
  m_done = true;
}

void MenuTracker::handle(NSEvent* event)
{
  const NSEventType type = event->type();
  if (isMouseEvent(type) && !isOurWindow(event->window()))
  {
    if (isMouseDownEvent(type)) m_done = true;
    return;
  }
  const NSPoint pixel = pixelOf(event);
  size_t level = 0;
  NSInteger index = -1;
  switch (type)
  {
  case NSEventTypeMouseMoved:
  case NSEventTypeLeftMouseDragged:
  case NSEventTypeRightMouseDragged:
  case NSEventTypeOtherMouseDragged: hover(pixel); break;
  case NSEventTypeLeftMouseDown:
  case NSEventTypeRightMouseDown:
  case NSEventTypeOtherMouseDown:
    m_sawMouseDown = true;
    if (hit(pixel, &level, &index)) hover(pixel);
    else if (m_bar && pixel.y < kTitleStripHeight)
    {
      const std::vector<NSRect> titles = menuBarTitleRects(m_bar.get());
      if (m_barIndex >= 0 && m_barIndex < static_cast<NSInteger>(titles.size()) &&
          NSPointInRect(pixel, titles[static_cast<size_t>(m_barIndex)]))
        m_done = true;  // a second press on the open title closes it
      else
        hover(pixel);
    }
    else
      m_done = true;
    break;
  case NSEventTypeLeftMouseUp:
  case NSEventTypeRightMouseUp:
  case NSEventTypeOtherMouseUp:
    if (hit(pixel, &level, &index) &&
        (m_sawMouseDown || NSRunLoop::currentRunLoop()->now() - m_openedAt > kOpeningClickTime))
      choose(level, index);
    break;
  case NSEventTypeKeyDown:
    switch (event->keyCode())
    {
    case kVK_Escape: m_done = true; break;
    case kVK_UpArrow: moveHighlight(-1); break;
    case kVK_DownArrow: moveHighlight(1); break;
    case kVK_LeftArrow:
      if (m_levels.size() > 1) closeLevelsFrom(m_levels.size() - 1);
      else if (m_bar && m_bar->numberOfItems() > 0)
        openBarTitle((m_barIndex + m_bar->numberOfItems() - 1) % m_bar->numberOfItems());
      break;
    case kVK_RightArrow:
      if (!m_levels.empty())
      {
        Level& current = *m_levels.back();
        const bool laidOut = current.highlighted >= 0 && current.highlighted < static_cast<NSInteger>(current.items.size());
        NSMenuItem* item = laidOut ? current.menu->itemAtIndex(current.highlighted) : nullptr;
        if (item && item->hasSubmenu() && item->isEnabled())
        {
          const NSRect r = current.items[static_cast<size_t>(current.highlighted)];
          openLevel(item->submenu(), NSMakePoint(NSMaxX(r), r.origin.y - 1));
        }
        else if (m_bar && m_bar->numberOfItems() > 0)
          openBarTitle((m_barIndex + 1) % m_bar->numberOfItems());
      }
      break;
    case kVK_Return:
    case kVK_ANSI_KeypadEnter:
      if (!m_levels.empty()) choose(m_levels.size() - 1, m_levels.back()->highlighted);
      break;
    default: break;
    }
    break;
  default: break;
  }
}

NSMenuItem* MenuTracker::run()
{
  g_active = this;
  m_openedAt = NSRunLoop::currentRunLoop()->now();
  NSApplication* app = NSApp();
  while (!m_done)
  {
    NSAutoreleasePool pool;
    NSEvent* event = app->nextEventMatchingMask(NSEventMaskAny, kDistantFuture, true);
    if (app->hasTerminated() || !m_window->isVisible()) break;
    if (event) handle(event);
  }
  closeLevelsFrom(0);
  if (m_bar) refresh(0);
  m_barIndex = -1;
  g_active = nullptr;
  NSMenuItem* chosen = m_chosen.get();
  if (chosen) chosen->retain()->autorelease();
  return chosen;
}
}  // namespace cocoa
