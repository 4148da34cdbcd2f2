#include "platform/appkit/view.h"

#include "platform/appkit/graphics_context.h"
#include "platform/appkit/tool_tips.h"
#include "platform/appkit/walk.h"
#include "platform/appkit/window.h"
#include "platform/graphics/cg_context.h"

#include <algorithm>

namespace cocoa
{
NSView::NSView(NSRect frame) : m_frame(frame) {}

void NSView::dealloc()
{
  // Focus locked with no context current beforehand left a null entry.
  for (NSGraphicsContext* context : m_focusStack)
    if (context) context->release();
  m_focusStack.clear();
  // One subview at a time leaves the list before it is let go: letting go may run a window
  // procedure that removes another subview, which must then find its place in the list.
  while (!m_subviews.empty())
  {
    NSView* view = m_subviews.front();
    m_subviews.erase(m_subviews.begin());
    view->m_superview = nullptr;
    view->setWindowRecursive(nullptr);
    view->release();
  }
}

NSResponder* NSView::nextResponder() const
{
  if (m_superview) return m_superview;
  if (m_window && m_window->contentView() == this) return m_window;
  return nullptr;
}

void NSView::setWindowRecursive(NSWindow* window)
{
  if (m_window == window) return;
  StrongRef<NSView> keep(this);
  viewWillMoveToWindow(window);
  if (m_window) m_window->viewLeavingWindow(this);
  m_window = window;
  forEachSubview(
      this, [window](NSView* view) { view->setWindowRecursive(window); }, WalkOrder::Forward, WalkRetired::Included);
  viewDidMoveToWindow();
}

void NSView::addSubview(NSView* view)
{
  addSubview(view, NSWindowAbove, nullptr);
}

void NSView::addSubview(NSView* view, NSWindowOrderingMode place, NSView* relativeTo)
{
  if (!canTakeSubview(view)) return;
  StrongRef<NSView> keep(view);
  if (view->m_superview) view->detachFromSuperview(true);
  auto at = m_subviews.end();
  if (place == NSWindowBelow) at = m_subviews.begin();
  if (relativeTo)
  {
    auto found = std::find(m_subviews.begin(), m_subviews.end(), relativeTo);
    if (found != m_subviews.end()) at = place == NSWindowBelow ? found : found + 1;
  }
  m_subviews.insert(at, view);
  view->retain();
  view->m_superview = this;
  view->setWindowRecursive(m_window);
  view->viewDidMoveToSuperview();
  didAddSubview(view);
  view->setNeedsDisplay(true);
}

void NSView::detachFromSuperview(bool invalidate)
{
  NSView* parent = m_superview;
  if (!parent) return;
  StrongRef<NSView> keep(this);
  parent->willRemoveSubview(this);
  if (invalidate && !m_hidden) parent->setNeedsDisplayInRect(m_frame);
  auto found = std::find(parent->m_subviews.begin(), parent->m_subviews.end(), this);
  if (found != parent->m_subviews.end()) parent->m_subviews.erase(found);
  m_superview = nullptr;
  setWindowRecursive(nullptr);
  viewDidMoveToSuperview();
  release();
}

void NSView::removeFromSuperview()
{
  detachFromSuperview(true);
}

void NSView::removeFromSuperviewWithoutNeedingDisplay()
{
  detachFromSuperview(false);
}

bool NSView::isDescendantOf(const NSView* view) const
{
  for (const NSView* v = this; v; v = v->m_superview)
    if (v == view) return true;
  return false;
}

bool NSView::canTakeSubview(const NSView* view) const
{
  if (!view || isDescendantOf(view)) return false;
  for (const NSView* v = this; v; v = v->m_superview)
    if (const NSView* owner = v->partOwner(); owner && owner->isDescendantOf(view)) return false;
  return true;
}

void NSView::setFrame(NSRect frame)
{
  if (frame == m_frame) return;
  if (m_superview && !m_hidden) m_superview->setNeedsDisplayInRect(m_frame);
  const bool sizeChanged = frame.size != m_frame.size;
  m_frame = frame;
  if (m_superview && !m_hidden) m_superview->setNeedsDisplayInRect(m_frame);
  if (m_superview) m_superview->subviewFrameDidChange(this);
  // A flipped view's content hangs from its top edge, an unflipped one's from its bottom:
  // a new height moves everything in one of them.
  if (sizeChanged || !m_superview) setNeedsDisplay(true);
}

void NSView::setFrameOrigin(NSPoint origin)
{
  setFrame(NSRect{origin, m_frame.size});
}

void NSView::setFrameSize(NSSize size)
{
  setFrame(NSRect{m_frame.origin, size});
}

void NSView::setBoundsOrigin(NSPoint origin)
{
  if (origin == m_boundsOrigin) return;
  m_boundsOrigin = origin;
  setNeedsDisplay(true);
}

bool NSView::superviewIsFlipped() const
{
  return m_superview && m_superview->isFlipped();
}

NSPoint NSView::toSuperview(NSPoint p) const
{
  const CGFloat x = m_frame.origin.x + (p.x - m_boundsOrigin.x);
  const CGFloat dy = p.y - m_boundsOrigin.y;
  const CGFloat y = isFlipped() == superviewIsFlipped() ? m_frame.origin.y + dy
                                                         : m_frame.origin.y + m_frame.size.height - dy;
  return {x, y};
}

NSPoint NSView::fromSuperview(NSPoint p) const
{
  const CGFloat x = p.x - m_frame.origin.x + m_boundsOrigin.x;
  const CGFloat y = isFlipped() == superviewIsFlipped() ? p.y - m_frame.origin.y + m_boundsOrigin.y
                                                         : m_frame.origin.y + m_frame.size.height - p.y + m_boundsOrigin.y;
  return {x, y};
}

NSPoint NSView::toBase(NSPoint p) const
{
  for (const NSView* v = this; v; v = v->m_superview) p = v->toSuperview(p);
  return p;
}

NSPoint NSView::fromBase(NSPoint p) const
{
  std::vector<const NSView*> chain;
  for (const NSView* v = this; v; v = v->m_superview) chain.push_back(v);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) p = (*it)->fromSuperview(p);
  return p;
}

NSPoint NSView::convertPointFromView(NSPoint point, const NSView* view) const
{
  return fromBase(view ? view->toBase(point) : point);
}

NSPoint NSView::convertPointToView(NSPoint point, const NSView* view) const
{
  const NSPoint base = toBase(point);
  return view ? view->fromBase(base) : base;
}

namespace
{
NSRect rectFromCorners(NSPoint a, NSPoint b)
{
  return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
}
}  // namespace

NSRect NSView::convertRectFromView(NSRect rect, const NSView* view) const
{
  return rectFromCorners(convertPointFromView(rect.origin, view),
                         convertPointFromView(NSMakePoint(NSMaxX(rect), NSMaxY(rect)), view));
}

NSRect NSView::convertRectToView(NSRect rect, const NSView* view) const
{
  return rectFromCorners(convertPointToView(rect.origin, view),
                         convertPointToView(NSMakePoint(NSMaxX(rect), NSMaxY(rect)), view));
}

NSRect NSView::visibleRect() const
{
  NSRect visible = bounds();
  for (const NSView* v = this; v->m_superview; v = v->m_superview)
    visible = NSIntersectionRect(visible, convertRectFromView(v->m_superview->bounds(), v->m_superview));
  return visible;
}

bool NSView::scrollRectToVisible(NSRect rect)
{
  return m_superview && m_superview->scrollRectToVisible(convertRectToView(rect, m_superview));
}

NSView* NSView::hitTest(NSPoint point)
{
  if (m_hidden || !NSMouseInRect(point, m_frame, superviewIsFlipped())) return nullptr;
  const NSPoint local = fromSuperview(point);
  NSView* hit = nullptr;
  // Front to back; an override may do more than look.
  forEachSubview(
      this,
      [&hit, local](NSView* view) {
        hit = view->hitTest(local);
        return hit == nullptr;
      },
      WalkOrder::Backward, WalkRetired::Included);
  return hit ? hit : this;
}

bool NSView::isHiddenOrHasHiddenAncestor() const
{
  for (const NSView* v = this; v; v = v->m_superview)
    if (v->m_hidden) return true;
  return false;
}

void NSView::notifyHidden(bool hidden)
{
  StrongRef<NSView> keep(this);
  hidden ? viewDidHide() : viewDidUnhide();
  forEachSubview(this, [hidden](NSView* view) {
    if (!view->m_hidden) view->notifyHidden(hidden);
  });
}

void NSView::setHidden(bool hidden)
{
  if (hidden == m_hidden) return;
  StrongRef<NSView> keep(this);
  const bool ancestorsHidden = m_superview && m_superview->isHiddenOrHasHiddenAncestor();
  if (hidden)
  {
    if (m_superview) m_superview->setNeedsDisplayInRect(m_frame);
    m_hidden = true;
    if (m_window) m_window->viewLeavingWindow(this);
  }
  else
  {
    m_hidden = false;
    setNeedsDisplay(true);
  }
  if (!ancestorsHidden) notifyHidden(hidden);
}

void NSView::setNeedsDisplay(bool needed)
{
  if (needed) setNeedsDisplayInRect(bounds());
  else m_needsDisplay = false;
}

void NSView::setNeedsDisplayInRect(NSRect rect)
{
  if (NSIsEmptyRect(rect)) return;
  m_needsDisplay = true;
  if (m_window && !isHiddenOrHasHiddenAncestor()) m_window->invalidateBaseRect(convertRectToView(rect, nullptr));
}

void NSView::display()
{
  setNeedsDisplay(true);
  displayIfNeeded();
}

void NSView::displayIfNeeded()
{
  if (m_window) m_window->displayIfNeeded();
}

bool NSView::lockFocusIfCanDraw()
{
  if (!m_window || isHiddenOrHasHiddenAncestor()) return false;
  CGContextRef context = m_window->prepareBackingContext();
  if (!context) return false;
  CGContextSaveGState(context);
  const NSRect visible = m_window->visibleBaseRectOf(this);
  CGContextClipToRect(context, visible);
  const NSPoint origin = toBase(NSPoint{});
  const NSPoint up = toBase(NSPoint{0, 1});
  CGContextTranslateCTM(context, origin.x, origin.y);
  CGContextScaleCTM(context, 1, up.y - origin.y);
  NSGraphicsContext* previous = NSGraphicsContext::currentContext();
  if (previous) previous->retain();
  m_focusStack.push_back(previous);
  NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithCGContext(context, isFlipped()));
  return true;
}

void NSView::unlockFocus()
{
  if (m_focusStack.empty()) return;
  NSGraphicsContext* previous = m_focusStack.back();
  m_focusStack.pop_back();
  if (m_window)
  {
    CGContextRestoreGState(m_window->backingContext());
    m_window->presentBaseRect(m_window->visibleBaseRectOf(this));
  }
  NSGraphicsContext::setCurrentContext(previous);
  if (previous) previous->release();
}

void NSView::registerForDraggedTypes(const std::vector<NSString>& types)
{
  for (const NSString& type : types)
    if (std::find(m_draggedTypes.begin(), m_draggedTypes.end(), type) == m_draggedTypes.end())
      m_draggedTypes.push_back(type);
}

void NSView::unregisterDraggedTypes()
{
  m_draggedTypes.clear();
}

NSInteger NSView::addToolTipRect(NSRect rect, NSToolTipOwner* owner, void* userData)
{
  if (!owner || NSIsEmptyRect(rect)) return 0;
  const NSInteger tag = m_nextToolTipTag++;
  m_toolTips.push_back({tag, rect, owner, userData});
  return tag;
}

void NSView::removeToolTip(NSInteger tag)
{
  m_toolTips.erase(std::remove_if(m_toolTips.begin(), m_toolTips.end(), [tag](const ToolTipRect& t) { return t.tag == tag; }),
                   m_toolTips.end());
  if (m_window) m_window->toolTipsChanged(this);
}

void NSView::removeAllToolTips()
{
  m_toolTips.clear();
  if (m_window) m_window->toolTipsChanged(this);
}

NSInteger NSView::toolTipTagAt(NSPoint point) const
{
  for (auto it = m_toolTips.rbegin(); it != m_toolTips.rend(); ++it)
    if (NSMouseInRect(point, it->rect, isFlipped())) return it->tag;
  return 0;
}

NSString NSView::toolTipString(NSInteger tag, NSPoint point)
{
  // Returns at the owner's answer: nothing of the list is read after the call.
  for (const ToolTipRect& t : m_toolTips)
    if (t.tag == tag) return t.owner->stringForToolTip(this, tag, point, t.userData);
  return {};
}
}  // namespace cocoa
