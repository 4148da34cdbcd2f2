#include "platform/appkit/window.h"

#include "platform/appkit/application.h"
#include "platform/appkit/button.h"
#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/menu_bar.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/tool_tips.h"
#include "platform/appkit/view.h"
#include "platform/appkit/walk.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/graphics/cg_context.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
namespace
{
NSInteger g_nextWindowNumber = 1;
// Past this many separate dirty rectangles one bounding rectangle is cheaper to draw.
constexpr size_t kMaxDirtyRects = 16;
}  // namespace

NSWindow::NSWindow(NSRect contentRect, unsigned styleMask, NSBackingStoreType, bool)
    : NSWindow(contentRect, styleMask, (styleMask & NSWindowStyleMaskTitled) != 0)
{
}

NSWindow::NSWindow(NSRect contentRect, unsigned styleMask, bool showsMenuBar)
    : m_styleMask(styleMask), m_showsMenuBar(showsMenuBar), m_number(g_nextWindowNumber++)
{
  m_frame = frameRectForContentRect(contentRect);
  m_contentView = new NSView(NSMakeRect(0, 0, contentRect.size.width, contentRect.size.height));
  m_contentView->setWindowRecursive(this);
  m_firstResponder = this;
  m_toolTips = std::make_unique<ToolTipTracker>(this);
  NSApp()->windowCreated(this);
}

NSWindow::~NSWindow() = default;

void NSWindow::dealloc()
{
  m_toolTips.reset();
  // Each slot is emptied before its view is let go, whatever that view's going runs.
  for (NSView*& slot : m_tracking)
    if (NSView* view = std::exchange(slot, nullptr)) view->release();
  if (!m_closed) platformBackend().windowClosed(this);
  if (m_parent) m_parent->removeChildWindow(this);
  for (NSWindow* child : std::vector<NSWindow*>(m_children)) child->m_parent = nullptr;
  m_children.clear();
  if (NSView* content = std::exchange(m_contentView, nullptr))
  {
    content->setWindowRecursive(nullptr);
    content->release();
  }
  NSApp()->windowGone(this);
}

void NSWindow::setContentView(NSView* view)
{
  if (view == m_contentView) return;
  StrongRef<NSView> keep(view);
  if (view) view->removeFromSuperviewWithoutNeedingDisplay();
  // The content view of another window leaves that window empty.
  if (NSWindow* other = view ? view->window() : nullptr; other && other != this && other->m_contentView == view)
  {
    other->viewLeavingWindow(view);
    other->m_contentView = nullptr;
    view->setWindowRecursive(nullptr);
    view->release();
  }
  if (NSView* old = std::exchange(m_contentView, nullptr))
  {
    viewLeavingWindow(old);
    old->setWindowRecursive(nullptr);
    old->release();
  }
  if (view)
  {
    view->retain();
    m_contentView = view;
    const NSRect content = contentRectForFrameRect(m_frame);
    view->m_frame = NSMakeRect(0, 0, content.size.width, content.size.height);
    view->setWindowRecursive(this);
  }
  invalidateBaseRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
}

NSRect NSWindow::contentRectForFrameRect(NSRect frame) const
{
  if (m_showsMenuBar) frame.size.height = std::max(0.0, frame.size.height - kTitleStripHeight);
  return frame;
}

NSRect NSWindow::frameRectForContentRect(NSRect content) const
{
  if (m_showsMenuBar) content.size.height += kTitleStripHeight;
  return content;
}

NSRect NSWindow::contentBaseRect() const
{
  const NSRect content = contentRectForFrameRect(m_frame);
  return NSMakeRect(0, 0, content.size.width, content.size.height);
}

void NSWindow::setFrame(NSRect frame, bool display)
{
  frame.size.width = std::max(1.0, std::round(frame.size.width));
  frame.size.height = std::max(1.0, std::round(frame.size.height));
  if (frame == m_frame) return;
  StrongRef<NSWindow> keep(this);
  const bool moved = frame.origin != m_frame.origin;
  const bool resized = frame.size != m_frame.size;
  const NSPoint oldOrigin = m_frame.origin;
  m_frame = frame;
  if (resized)
  {
    const NSRect content = contentRectForFrameRect(frame);
    if (m_contentView) m_contentView->setFrame(NSMakeRect(0, 0, content.size.width, content.size.height));
    m_dirty.clear();
    invalidateBaseRect(NSMakeRect(0, 0, frame.size.width, frame.size.height));
  }
  if (!m_frameFromBackend) platformBackend().windowFrameChanged(this);
  if (moved)
  {
    // A child that moves tells its delegate, which may close or detach another child.
    const NSPoint by = NSMakePoint(frame.origin.x - oldOrigin.x, frame.origin.y - oldOrigin.y);
    walkHeld(
        this, childWindows(), [this](NSWindow* child) { return child->parentWindow() == this; },
        [by](NSWindow* child) {
          child->setFrameOrigin(NSMakePoint(child->m_frame.origin.x + by.x, child->m_frame.origin.y + by.y));
        });
  }
  if (moved && m_delegate) m_delegate->windowDidMove(this);
  if (resized && m_delegate) m_delegate->windowDidResize(this);
  if (display && resized) displayIfNeeded();
}

void NSWindow::setFrameOrigin(NSPoint origin)
{
  setFrame(NSRect{origin, m_frame.size}, false);
}

void NSWindow::setContentSize(NSSize size)
{
  const NSRect content = contentRectForFrameRect(m_frame);
  // The top edge stays where it is, as Cocoa keeps it.
  NSRect frame = frameRectForContentRect(NSMakeRect(content.origin.x, content.origin.y, size.width, size.height));
  frame.origin.y = NSMaxY(m_frame) - frame.size.height;
  setFrame(frame, true);
}

NSPoint NSWindow::convertBaseToScreen(NSPoint p) const
{
  return {p.x + m_frame.origin.x, p.y + m_frame.origin.y};
}

NSPoint NSWindow::convertScreenToBase(NSPoint p) const
{
  return {p.x - m_frame.origin.x, p.y - m_frame.origin.y};
}

NSRect NSWindow::convertRectToScreen(NSRect r) const
{
  return NSOffsetRect(r, m_frame.origin.x, m_frame.origin.y);
}

NSRect NSWindow::convertRectFromScreen(NSRect r) const
{
  return NSOffsetRect(r, -m_frame.origin.x, -m_frame.origin.y);
}

NSPoint NSWindow::mouseLocationOutsideOfEventStream() const
{
  return convertScreenToBase(platformBackend().mouseLocation());
}

NSScreen* NSWindow::screen() const
{
  return NSScreen::screenContainingPoint(NSMakePoint(NSMidX(m_frame), NSMidY(m_frame)));
}

void NSWindow::center()
{
  NSScreen* on = screen() ? screen() : NSScreen::mainScreen();
  if (!on) return;
  const NSRect area = on->visibleFrame();
  // A third of the free height above the window, two thirds below.
  const CGFloat x = area.origin.x + std::floor((area.size.width - m_frame.size.width) / 2);
  const CGFloat y = area.origin.y + std::floor((area.size.height - m_frame.size.height) * 2 / 3);
  setFrameOrigin(NSMakePoint(x, y));
}

void NSWindow::setTitle(const NSString& title)
{
  if (title == m_title) return;
  m_title = title;
  platformBackend().windowTitleChanged(this);
}

bool NSWindow::isKeyWindow() const
{
  return NSApp()->keyWindow() == this;
}

bool NSWindow::isMainWindow() const
{
  return NSApp()->mainWindow() == this;
}

bool NSWindow::canBecomeKeyWindow() const
{
  return (m_styleMask & NSWindowStyleMaskTitled) != 0;
}

bool NSWindow::canBecomeMainWindow() const
{
  return canBecomeKeyWindow();
}

void NSWindow::orderFront(NSObject*)
{
  if (m_closed) return;
  StrongRef<NSWindow> keep(this);
  const bool wasVisible = m_visible;
  m_visible = true;
  m_miniaturized = false;
  NSApp()->windowOrderedFront(this);
  if (!wasVisible)
  {
    platformBackend().windowShown(this);
    invalidateBaseRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
  }
  platformBackend().windowRaised(this);
  // Ordering a window to the front tells no delegate and no procedure.
  for (NSWindow* child : std::vector<NSWindow*>(m_children))
    if (child->m_visible) child->orderFront(nullptr);
}

void NSWindow::orderOut(NSObject*)
{
  if (!m_visible) return;
  StrongRef<NSWindow> keep(this);
  m_visible = false;
  platformBackend().windowHidden(this);
  NSApp()->windowOrderedOut(this);
}

void NSWindow::makeKeyAndOrderFront(NSObject* sender)
{
  orderFront(sender);
  makeKeyWindow();
}

void NSWindow::makeKeyWindow()
{
  if (m_closed || !canBecomeKeyWindow()) return;
  NSApp()->setKeyWindow(this);
}

void NSWindow::setLevel(int level)
{
  if (level == m_level) return;
  m_level = level;
  if (m_visible) NSApp()->windowOrderedFront(this);
  platformBackend().windowHintsChanged(this);
}

void NSWindow::setMinSize(NSSize size)
{
  m_minSize = size;
  platformBackend().windowHintsChanged(this);
}

void NSWindow::setMaxSize(NSSize size)
{
  m_maxSize = size;
  platformBackend().windowHintsChanged(this);
}

void NSWindow::setModalOwner(NSWindow* owner)
{
  if (owner == this || owner == m_modalOwner.get()) return;
  m_modalOwner = owner;
  platformBackend().windowHintsChanged(this);
}

void NSWindow::miniaturize(NSObject*)
{
  if (!m_visible) return;
  m_miniaturized = true;
  platformBackend().windowMiniaturized(this);
}

void NSWindow::deminiaturize(NSObject*)
{
  if (m_miniaturized) makeKeyAndOrderFront(nullptr);
}

void NSWindow::addChildWindow(NSWindow* child, NSWindowOrderingMode)
{
  if (!child || child == this || child->m_parent == this) return;
  if (child->m_parent) child->m_parent->removeChildWindow(child);
  child->m_parent = this;
  m_children.push_back(child);
  platformBackend().windowHintsChanged(child);
  if (child->m_visible) child->orderFront(nullptr);
}

void NSWindow::removeChildWindow(NSWindow* child)
{
  auto found = std::find(m_children.begin(), m_children.end(), child);
  if (found == m_children.end()) return;
  m_children.erase(found);
  child->m_parent = nullptr;
  if (!child->m_closed) platformBackend().windowHintsChanged(child);
}

bool NSWindow::ownsResponder(NSResponder* responder) const
{
  if (responder == this) return true;
  auto* view = dynamic_cast<NSView*>(responder);
  return view && view->window() == this;
}

bool NSWindow::makeFirstResponder(NSResponder* responder)
{
  if (!responder) responder = this;
  if (responder == m_firstResponder) return true;
  // The old responder's resigning and the new one's becoming run the procedures' code, which
  // may destroy either view, move the focus again or take it away. So both are held, and the
  // window's own state changes first: the new responder is the first responder before the old
  // one hears that it resigned (so that it is not asked to resign again from inside), and a
  // view that leaves the window meanwhile takes the focus with it (viewLeavingWindow).
  // Only the window or a view in it can have its keyboard.
  if (!ownsResponder(responder)) return false;
  StrongRef<NSWindow> keep(this);
  StrongRef<NSResponder> next(responder);
  StrongRef<NSResponder> old(m_firstResponder != this ? m_firstResponder : nullptr);
  m_firstResponder = responder;
  if (old && !old->resignFirstResponder())
  {
    if (m_firstResponder == responder) m_firstResponder = ownsResponder(old.get()) ? old.get() : this;
    return false;
  }
  // What the old one's code did: the new one gone, or the focus moved on elsewhere.
  if (m_firstResponder != responder) return false;
  if (!ownsResponder(responder))
  {
    m_firstResponder = this;
    return false;
  }
  if (responder == this) return true;
  m_firstResponder = this;
  if (!responder->acceptsFirstResponder()) return false;
  m_firstResponder = responder;
  if (!responder->becomeFirstResponder())
  {
    if (m_firstResponder == responder) m_firstResponder = this;
    return false;
  }
  // Its becoming may have handed the keyboard on (a field to its editor), which stands.
  return ownsResponder(responder);
}

void NSWindow::setDefaultButtonCell(NSButtonCell* cell)
{
  if (cell == m_defaultButtonCell.get()) return;
  StrongRef<NSButtonCell> old = m_defaultButtonCell;
  m_defaultButtonCell = cell;
  if (old)
  {
    old->setKeyEquivalent(NSString());
    if (old->controlView()) old->controlView()->setNeedsDisplay(true);
  }
  if (cell)
  {
    cell->setKeyEquivalent("\r");
    if (cell->controlView()) cell->controlView()->setNeedsDisplay(true);
  }
}

void NSWindow::keyDown(NSEvent* event)
{
  const bool enter = event->keyCode() == kVK_Return || event->keyCode() == kVK_ANSI_KeypadEnter;
  const unsigned modifiers = event->modifierFlags() & (NSEventModifierFlagCommand | NSEventModifierFlagControl |
                                                       NSEventModifierFlagOption | NSEventModifierFlagShift);
  StrongRef<NSButtonCell> cell = m_defaultButtonCell;
  auto* button = cell ? dynamic_cast<NSButton*>(cell->controlView()) : nullptr;
  if (enter && !modifiers && button && button->window() == this && !button->isHiddenOrHasHiddenAncestor())
  {
    StrongRef<NSButton> keep(button);
    button->performClick(this);
    return;
  }
  NSResponder::keyDown(event);
}

void NSWindow::becomeKeyWindow()
{
  if (auto* view = dynamic_cast<NSView*>(m_firstResponder)) view->setNeedsDisplay(true);
}

void NSWindow::resignKeyWindow()
{
  if (auto* view = dynamic_cast<NSView*>(m_firstResponder)) view->setNeedsDisplay(true);
}

const NSString& NSWindow::shownToolTip() const
{
  return m_toolTips->shownText();
}

void NSWindow::toolTipsChanged(NSView*)
{
  m_toolTips->reset();
}

void NSWindow::viewLeavingWindow(NSView* view)
{
  if (m_toolTips) m_toolTips->reset();
  if (auto* first = dynamic_cast<NSView*>(m_firstResponder); first && first->isDescendantOf(view))
    m_firstResponder = this;
  // The view leaving is held by its tree, so no release here is the last one.
  for (NSView*& slot : m_tracking)
    if (slot && slot->isDescendantOf(view)) std::exchange(slot, nullptr)->release();
}

NSView*& NSWindow::trackingSlotFor(NSEvent* event)
{
  switch (event->type())
  {
  case NSEventTypeRightMouseDown:
  case NSEventTypeRightMouseUp:
  case NSEventTypeRightMouseDragged: return m_tracking[1];
  case NSEventTypeOtherMouseDown:
  case NSEventTypeOtherMouseUp:
  case NSEventTypeOtherMouseDragged: return m_tracking[2];
  default: return m_tracking[0];
  }
}

void NSWindow::trackMouseDown(NSEvent* event)
{
  const NSPoint point = event->locationInWindow();
  if (m_showsMenuBar && point.y > NSMaxY(contentBaseRect()))
  {
    if (event->type() == NSEventTypeLeftMouseDown) trackMenuBarClick(this, event);
    return;
  }
  const bool wasKey = isKeyWindow();
  if (!wasKey && canBecomeKeyWindow()) makeKeyAndOrderFront(nullptr);
  NSView* hit = m_contentView ? m_contentView->hitTest(point) : nullptr;
  if (!hit) return;
  StrongRef<NSView> target(hit);
  if (!wasKey && !hit->acceptsFirstMouse(event)) return;
  if (event->type() == NSEventTypeLeftMouseDown && hit != m_firstResponder && hit->acceptsFirstResponder())
    makeFirstResponder(hit);
  // Both asked the view's own code (WM_MOUSEACTIVATE), which may have taken it away.
  if (hit->window() != this || m_closed) return;
  NSView*& slot = trackingSlotFor(event);
  if (slot) slot->release();
  slot = hit;
  hit->retain();
  switch (event->type())
  {
  case NSEventTypeLeftMouseDown: hit->mouseDown(event); break;
  case NSEventTypeRightMouseDown: hit->rightMouseDown(event); break;
  default: hit->otherMouseDown(event); break;
  }
}

void NSWindow::sendEvent(NSEvent* event)
{
  if (!event || m_closed) return;
  StrongRef<NSWindow> keep(this);
  StrongRef<NSEvent> keepEvent(event);
  const NSEventType type = event->type();
  m_toolTips->eventArrived(event);
  if (isMouseDownEvent(type))
  {
    trackMouseDown(event);
    return;
  }
  if (type == NSEventTypeLeftMouseDragged || type == NSEventTypeRightMouseDragged ||
      type == NSEventTypeOtherMouseDragged)
  {
    StrongRef<NSView> target(trackingSlotFor(event));
    if (!target) return;
    if (type == NSEventTypeLeftMouseDragged) target->mouseDragged(event);
    else if (type == NSEventTypeRightMouseDragged) target->rightMouseDragged(event);
    else target->otherMouseDragged(event);
    return;
  }
  if (isMouseUpEvent(type))
  {
    NSView*& slot = trackingSlotFor(event);
    StrongRef<NSView> target = StrongRef<NSView>::adopt(std::exchange(slot, nullptr));
    if (!target) return;
    if (type == NSEventTypeLeftMouseUp) target->mouseUp(event);
    else if (type == NSEventTypeRightMouseUp) target->rightMouseUp(event);
    else target->otherMouseUp(event);
    return;
  }
  StrongRef<NSResponder> first(m_firstResponder);
  switch (type)
  {
  case NSEventTypeMouseMoved:
    if (m_acceptsMouseMoved) first->mouseMoved(event);
    break;
  case NSEventTypeMouseExited:
    // Whoever follows the pointer also hears that it has gone, so that hover state ends.
    if (m_acceptsMouseMoved) first->mouseExited(event);
    break;
  case NSEventTypeScrollWheel:
  case NSEventTypeMagnify:
  case NSEventTypeSwipe:
  case NSEventTypeRotate:
    if (NSView* hit = m_contentView ? m_contentView->hitTest(event->locationInWindow()) : nullptr)
    {
      StrongRef<NSView> target(hit);
      if (type == NSEventTypeScrollWheel) hit->scrollWheel(event);
      else if (type == NSEventTypeMagnify) hit->magnifyWithEvent(event);
      else if (type == NSEventTypeSwipe) hit->swipeWithEvent(event);
      else hit->rotateWithEvent(event);
    }
    break;
  case NSEventTypeKeyDown: first->keyDown(event); break;
  case NSEventTypeKeyUp: first->keyUp(event); break;
  case NSEventTypeFlagsChanged: first->flagsChanged(event); break;
  case NSEventTypeTextInput: first->insertText(event->characters()); break;
  default: break;
  }
}

void NSWindow::performClose(NSObject*)
{
  StrongRef<NSWindow> keep(this);
  if (m_delegate && !m_delegate->windowShouldClose(this)) return;
  close();
}

void NSWindow::close()
{
  // Ordering the window out tells its procedures (the key window's change), which may close it
  // again from inside: that close is this one.
  if (m_closed || m_closing) return;
  m_closing = true;
  StrongRef<NSWindow> keep(this);
  if (m_delegate) m_delegate->windowWillClose(this);
  m_toolTips->hide();
  orderOut(nullptr);
  m_closed = true;
  m_dragTarget.reset();
  if (m_parent) m_parent->removeChildWindow(this);
  // Detaching a child tells no delegate and no procedure.
  for (NSWindow* child : std::vector<NSWindow*>(m_children)) removeChildWindow(child);
  platformBackend().windowClosed(this);
  NSApp()->windowGone(this);
  if (m_releasedWhenClosed) release();
}

NSPoint NSWindow::pixelFromBase(NSPoint base) const
{
  return {base.x, m_frame.size.height - base.y};
}

NSPoint NSWindow::baseFromPixel(NSPoint pixel) const
{
  return {pixel.x, m_frame.size.height - pixel.y};
}

NSRect NSWindow::pixelRectFromBase(NSRect base) const
{
  return NSMakeRect(base.origin.x, m_frame.size.height - NSMaxY(base), base.size.width, base.size.height);
}

void NSWindow::invalidateBaseRect(NSRect rect)
{
  rect = NSIntersectionRect(NSIntegralRect(rect), NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
  if (NSIsEmptyRect(rect)) return;
  for (const NSRect& existing : m_dirty)
    if (NSContainsRect(existing, rect)) return;
  m_dirty.erase(std::remove_if(m_dirty.begin(), m_dirty.end(), [&](const NSRect& r) { return NSContainsRect(rect, r); }),
                m_dirty.end());
  m_dirty.push_back(rect);
  if (m_dirty.size() > kMaxDirtyRects)
  {
    NSRect all{};
    for (const NSRect& r : m_dirty) all = NSUnionRect(all, r);
    m_dirty.assign(1, all);
  }
}

CGContextRef NSWindow::prepareBackingContext()
{
  const int width = static_cast<int>(m_frame.size.width);
  const int height = static_cast<int>(m_frame.size.height);
  if (m_backing.width() != width || m_backing.height() != height)
  {
    if (!m_backing.resize(width, height)) return nullptr;
    m_dirty.assign(1, NSMakeRect(0, 0, width, height));
  }
  return m_backing.context();
}

NSRect NSWindow::visibleBaseRectOf(const NSView* view) const
{
  NSRect visible = contentBaseRect();
  for (const NSView* v = view; v; v = v->superview())
    visible = NSIntersectionRect(visible, v->convertRectToView(v->bounds(), nullptr));
  return visible;
}

void NSWindow::display()
{
  invalidateBaseRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
  displayIfNeeded();
}

void NSWindow::drawView(NSView* view, NSRect clip)
{
  if (view->isHidden()) return;
  StrongRef<NSView> keep(view);
  const NSRect visible = NSIntersectionRect(clip, view->convertRectToView(view->bounds(), nullptr));
  if (NSIsEmptyRect(visible)) return;
  CGContextRef context = m_backing.context();
  const unsigned generation = m_backing.generation();
  CGContextSaveGState(context);
  CGContextClipToRect(context, visible);
  const NSPoint origin = view->toBase(NSPoint{});
  const NSPoint up = view->toBase(NSPoint{0, 1});
  CGContextTranslateCTM(context, origin.x, origin.y);
  CGContextScaleCTM(context, 1, up.y - origin.y);
  {
    NSAutoreleasePool pool;
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithCGContext(context, view->isFlipped()));
    view->drawRect(view->convertRectFromView(visible, nullptr));
    NSGraphicsContext::restoreGraphicsState();
  }
  // A view that resized the window while it drew, and had it drawn at once, left a new
  // backing store behind, dirty as a whole: this pass's context and its state are gone.
  if (m_backing.generation() != generation) return;
  CGContextRestoreGState(context);
  view->m_needsDisplay = false;
  forEachSubview(view, [this, visible](NSView* subview) { drawView(subview, visible); });
}

void NSWindow::drawTitleStrip(NSRect clip)
{
  const NSRect content = contentBaseRect();
  const NSRect strip = NSMakeRect(0, NSMaxY(content), m_frame.size.width, m_frame.size.height - NSMaxY(content));
  if (!NSIntersectsRect(strip, clip)) return;
  CGContextRef context = m_backing.context();
  CGContextSaveGState(context);
  CGContextClipToRect(context, NSIntersectionRect(strip, clip));
  // The strip draws in window pixels, y down.
  CGContextTranslateCTM(context, 0, m_frame.size.height);
  CGContextScaleCTM(context, 1, -1);
  drawMenuBarStrip(this, context, pixelRectFromBase(strip));
  CGContextRestoreGState(context);
}

void NSWindow::displayIfNeeded()
{
  if (!m_visible || m_closed || m_dirty.empty()) return;
  StrongRef<NSWindow> keep(this);
  if (!prepareBackingContext()) return;
  std::vector<NSRect> dirty;
  dirty.swap(m_dirty);
  std::vector<NSRect> pixelRects;
  for (const NSRect& rect : dirty)
  {
    // A procedure that painted the last rectangle may have resized the window, and with it
    // the backing store and its context.
    CGContextRef context = prepareBackingContext();
    if (!context) break;
    CGContextSaveGState(context);
    CGContextClipToRect(context, rect);
    const NSColor background = controlTheme().colors.windowBackground;
    CGContextSetRGBFillColor(context, background.redComponent(), background.greenComponent(),
                             background.blueComponent(), 1);
    CGContextFillRect(context, rect);
    CGContextRestoreGState(context);
    if (m_showsMenuBar) drawTitleStrip(rect);
    if (m_contentView) drawView(m_contentView, NSIntersectionRect(rect, contentBaseRect()));
    const NSRect pixels = pixelRectFromBase(rect);
    context = m_backing.context();
    // Overlays only draw: none can remove another.
    for (WindowOverlay* overlay : std::vector<WindowOverlay*>(m_overlays))
    {
      const NSRect area = NSIntersectionRect(overlay->overlayFrame(), pixels);
      if (NSIsEmptyRect(area)) continue;
      CGContextSaveGState(context);
      CGContextTranslateCTM(context, 0, m_frame.size.height);
      CGContextScaleCTM(context, 1, -1);
      CGContextClipToRect(context, area);
      overlay->drawOverlay(context);
      CGContextRestoreGState(context);
    }
    pixelRects.push_back(pixels);
  }
  presentPixelRects(pixelRects);
}

void NSWindow::presentBaseRect(NSRect rect)
{
  rect = NSIntersectionRect(NSIntegralRect(rect), NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
  if (!NSIsEmptyRect(rect) && m_visible) presentPixelRects({pixelRectFromBase(rect)});
}

void NSWindow::presentPixelRects(const std::vector<NSRect>& rects)
{
  if (rects.empty()) return;
  ++m_presentations;
  platformBackend().present(this, rects);
}

void NSWindow::addOverlay(WindowOverlay* overlay)
{
  if (std::find(m_overlays.begin(), m_overlays.end(), overlay) != m_overlays.end()) return;
  m_overlays.push_back(overlay);
  const NSRect area = overlay->overlayFrame();
  invalidateBaseRect(NSMakeRect(area.origin.x, m_frame.size.height - NSMaxY(area), area.size.width, area.size.height));
}

void NSWindow::removeOverlay(WindowOverlay* overlay)
{
  auto found = std::find(m_overlays.begin(), m_overlays.end(), overlay);
  if (found == m_overlays.end()) return;
  m_overlays.erase(found);
  const NSRect area = overlay->overlayFrame();
  invalidateBaseRect(NSMakeRect(area.origin.x, m_frame.size.height - NSMaxY(area), area.size.width, area.size.height));
}

bool NSWindow::refusedDuringModal()
{
  if (NSApp()->windowAcceptsInput(this)) return false;
  // The native window already followed the request: put it back where this one is.
  platformBackend().windowFrameChanged(this);
  return true;
}

void NSWindow::backendCloseRequested()
{
  if (NSApp()->windowAcceptsInput(this)) performClose(nullptr);
}

void NSWindow::backendFocused()
{
  NSApp()->setActive(true);
  // While a window runs modally the window manager may not hand the keyboard elsewhere.
  NSWindow* modal = NSApp()->modalWindow();
  if (!NSApp()->windowAcceptsInput(this)) modal->makeKeyAndOrderFront(nullptr);
  else if (canBecomeKeyWindow() && !isKeyWindow()) makeKeyWindow();
}

void NSWindow::backendMovedTo(NSPoint origin)
{
  if (refusedDuringModal()) return;
  m_frameFromBackend = true;
  setFrame(NSRect{origin, m_frame.size}, false);
  m_frameFromBackend = false;
}

void NSWindow::backendResizedTo(NSSize size)
{
  if (refusedDuringModal()) return;
  m_frameFromBackend = true;
  // The top edge stays: the window grew or shrank downward on screen.
  setFrame(NSMakeRect(m_frame.origin.x, NSMaxY(m_frame) - size.height, size.width, size.height), true);
  m_frameFromBackend = false;
}

void NSWindow::backendExposed()
{
  if (m_visible && m_backing.width() > 0)
    presentPixelRects({NSMakeRect(0, 0, m_backing.width(), m_backing.height())});
}
}  // namespace cocoa
