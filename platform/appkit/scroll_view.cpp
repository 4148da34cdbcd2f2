#include "platform/appkit/scroll_view.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/theme.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
NSClipView::NSClipView(NSRect frame) : NSView(frame), m_backgroundColor(controlTheme().colors.fieldBackground) {}

NSScrollView* NSClipView::scrollView() const
{
  return dynamic_cast<NSScrollView*>(superview());
}

const NSView* NSClipView::partOwner() const
{
  return m_owner;
}

void NSClipView::setDocumentView(NSView* view)
{
  if (view == m_document) return;
  StrongRef<NSView> keep(view);
  if (m_document) m_document->removeFromSuperview();
  if (view)
  {
    view->setFrameOrigin(NSPoint{});
    addSubview(view);
    m_document = view;
  }
  setBoundsOrigin(NSPoint{});
  if (NSScrollView* scroll = scrollView()) scroll->tile();
}

void NSClipView::willRemoveSubview(NSView* view)
{
  if (view == m_document) m_document = nullptr;
}

NSPoint NSClipView::constrainScrollPoint(NSPoint point) const
{
  if (!m_document) return {};
  const NSRect doc = m_document->frame();
  const NSSize size = bounds().size;
  point.x = std::clamp(point.x, NSMinX(doc), std::max(NSMinX(doc), NSMaxX(doc) - size.width));
  point.y = std::clamp(point.y, NSMinY(doc), std::max(NSMinY(doc), NSMaxY(doc) - size.height));
  return point;
}

void NSClipView::scrollToPoint(NSPoint point)
{
  point = constrainScrollPoint(point);
  if (point == bounds().origin) return;
  setBoundsOrigin(point);
  if (NSScrollView* scroll = scrollView()) scroll->reflectScrolledClipView(this);
}

NSRect NSClipView::documentVisibleRect() const
{
  return m_document ? convertRectToView(bounds(), m_document) : NSRect{};
}

void NSClipView::setDrawsBackground(bool draws)
{
  m_drawsBackground = draws;
  setNeedsDisplay(true);
}

void NSClipView::setBackgroundColor(const NSColor& color)
{
  m_backgroundColor = color;
  setNeedsDisplay(true);
}

bool NSClipView::scrollRectToVisible(NSRect rect)
{
  const NSRect shown = bounds();
  NSPoint origin = shown.origin;
  if (NSMaxX(rect) > NSMaxX(shown)) origin.x += NSMaxX(rect) - NSMaxX(shown);
  if (NSMinX(rect) < origin.x) origin.x = NSMinX(rect);
  if (NSMaxY(rect) > NSMaxY(shown)) origin.y += NSMaxY(rect) - NSMaxY(shown);
  if (NSMinY(rect) < origin.y) origin.y = NSMinY(rect);
  const NSPoint before = shown.origin;
  scrollToPoint(origin);
  const bool scrolled = bounds().origin != before;
  return NSView::scrollRectToVisible(rect) || scrolled;
}

void NSClipView::subviewFrameDidChange(NSView* view)
{
  if (view != m_document) return;
  scrollToPoint(bounds().origin);
  if (NSScrollView* scroll = scrollView()) scroll->tile();
}

void NSClipView::drawRect(NSRect)
{
  if (!m_drawsBackground) return;
  if (CGContextRef context = currentCGContext()) fillRect(context, bounds(), m_backgroundColor);
}

NSScroller::NSScroller(NSRect frame) : NSView(frame) {}

CGFloat NSScroller::scrollerWidth()
{
  return controlTheme().metrics.scrollerWidth;
}

void NSScroller::setDoubleValue(double value)
{
  value = std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0);
  if (value == m_value) return;
  m_value = value;
  setNeedsDisplay(true);
}

void NSScroller::setKnobProportion(double proportion)
{
  proportion = std::clamp(std::isfinite(proportion) ? proportion : 1.0, 0.0, 1.0);
  if (proportion == m_proportion) return;
  m_proportion = proportion;
  setNeedsDisplay(true);
}

NSRect NSScroller::knobRect() const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  const NSRect b = bounds();
  const bool vertical = isVertical();
  const CGFloat track = vertical ? b.size.height : b.size.width;
  const CGFloat across = vertical ? b.size.width : b.size.height;
  const CGFloat length = std::min(track, std::max(m.scrollerMinimumKnob, std::round(m_proportion * track)));
  const CGFloat start = std::round(m_value * (track - length));
  const CGFloat side = std::floor((across - m.scrollerKnobWidth) / 2);
  return vertical ? NSMakeRect(side, start, m.scrollerKnobWidth, length) : NSMakeRect(start, side, length, m.scrollerKnobWidth);
}

double NSScroller::valueForKnobAt(CGFloat start) const
{
  const NSRect knob = knobRect();
  const CGFloat track = isVertical() ? bounds().size.height : bounds().size.width;
  const CGFloat room = track - (isVertical() ? knob.size.height : knob.size.width);
  return room > 0 ? std::clamp(start / room, 0.0, 1.0) : 0.0;
}

void NSScroller::drawRect(NSRect)
{
  CGContextRef context = currentCGContext();
  if (!context || m_proportion >= 1) return;
  fillRoundedRect(context, knobRect(), controlTheme().metrics.scrollerKnobWidth / 2, controlTheme().colors.scrollerKnob);
}

void NSScroller::mouseDown(NSEvent* event)
{
  if (m_proportion >= 1) return;
  StrongRef<NSScroller> keep(this);
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
  const NSRect knob = knobRect();
  const CGFloat at = isVertical() ? p.y : p.x;
  const CGFloat knobStart = isVertical() ? NSMinY(knob) : NSMinX(knob);
  const CGFloat knobEnd = isVertical() ? NSMaxY(knob) : NSMaxX(knob);
  if (at >= knobStart && at < knobEnd)
  {
    m_dragging = true;
    m_grab = at - knobStart;
    return;
  }
  // A press beside the knob turns one page toward it.
  const double page = m_proportion / std::max(1e-9, 1 - m_proportion);
  setDoubleValue(m_value + (at < knobStart ? -page : page));
  if (m_owner) m_owner->scrollerMoved(this);
}

void NSScroller::mouseDragged(NSEvent* event)
{
  if (!m_dragging) return;
  StrongRef<NSScroller> keep(this);
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
  setDoubleValue(valueForKnobAt((isVertical() ? p.y : p.x) - m_grab));
  if (m_owner) m_owner->scrollerMoved(this);
}

void NSScroller::mouseUp(NSEvent*)
{
  m_dragging = false;
}

const NSView* NSScroller::partOwner() const
{
  return m_owner;
}

NSScrollView::NSScrollView(NSRect frame)
    : NSView(frame), m_clip(new NSClipView(NSMakeRect(0, 0, frame.size.width, frame.size.height))),
      m_vertical(new NSScroller), m_horizontal(new NSScroller)
{
  m_keepParts[0] = m_clip;
  m_keepParts[1] = m_vertical;
  m_keepParts[2] = m_horizontal;
  m_clip->m_owner = this;
  addSubview(m_clip);
  m_clip->release();
  for (NSScroller* scroller : {m_vertical, m_horizontal})
  {
    scroller->m_owner = this;
    scroller->setHidden(true);
    addSubview(scroller);
    scroller->release();
  }
  tile();
}

void NSScrollView::dealloc()
{
  m_clip->m_owner = nullptr;
  m_vertical->m_owner = nullptr;
  m_horizontal->m_owner = nullptr;
  NSView::dealloc();
}

void NSScrollView::setHasVerticalScroller(bool has)
{
  m_hasVertical = has;
  tile();
}

void NSScrollView::setHasHorizontalScroller(bool has)
{
  m_hasHorizontal = has;
  tile();
}

void NSScrollView::setAutohidesScrollers(bool autohides)
{
  m_autohides = autohides;
  tile();
}

void NSScrollView::setFrame(NSRect frame)
{
  NSView::setFrame(frame);
  tile();
}

void NSScrollView::tile()
{
  const NSSize size = bounds().size;
  m_clip->setFrame(NSMakeRect(0, 0, size.width, size.height));
  const NSView* doc = documentView();
  const NSSize docSize = doc ? doc->frame().size : NSSize{};
  const bool showVertical = m_hasVertical && (!m_autohides || docSize.height > size.height);
  const bool showHorizontal = m_hasHorizontal && (!m_autohides || docSize.width > size.width);
  const CGFloat width = NSScroller::scrollerWidth();
  // The scrollers lie over the content along the right and bottom edges (y counts down
  // here: the scroll view is flipped).
  m_vertical->setFrame(NSMakeRect(size.width - width, 0, width, std::max(0.0, size.height - (showHorizontal ? width : 0))));
  m_horizontal->setFrame(NSMakeRect(0, size.height - width, std::max(0.0, size.width - (showVertical ? width : 0)), width));
  m_vertical->setHidden(!showVertical);
  m_horizontal->setHidden(!showHorizontal);
  m_clip->scrollToPoint(m_clip->bounds().origin);
  reflectScrolledClipView(m_clip);
}

void NSScrollView::reflectScrolledClipView(NSClipView* clip)
{
  const NSView* doc = clip->documentView();
  if (!doc) return;
  const NSRect docFrame = doc->frame();
  const NSRect shown = clip->bounds();
  const auto place = [](NSScroller* scroller, CGFloat offset, CGFloat shownLength, CGFloat docLength, bool fromEnd) {
    const CGFloat range = docLength - shownLength;
    scroller->setKnobProportion(docLength > 0 ? shownLength / docLength : 1);
    const double value = range > 0 ? offset / range : 0;
    scroller->setDoubleValue(fromEnd ? 1 - value : value);
  };
  place(m_horizontal, shown.origin.x - NSMinX(docFrame), shown.size.width, docFrame.size.width, false);
  // An unflipped document shows its top at the largest y.
  place(m_vertical, shown.origin.y - NSMinY(docFrame), shown.size.height, docFrame.size.height, !clip->isFlipped());
}

void NSScrollView::scrollerMoved(NSScroller* scroller)
{
  const NSView* doc = documentView();
  if (!doc) return;
  const NSRect docFrame = doc->frame();
  const NSSize shown = m_clip->bounds().size;
  NSPoint origin = m_clip->bounds().origin;
  if (scroller == m_horizontal) origin.x = NSMinX(docFrame) + scroller->doubleValue() * (docFrame.size.width - shown.width);
  else
  {
    const double value = m_clip->isFlipped() ? scroller->doubleValue() : 1 - scroller->doubleValue();
    origin.y = NSMinY(docFrame) + value * (docFrame.size.height - shown.height);
  }
  m_clip->scrollToPoint(origin);
}

void NSScrollView::scrollWheel(NSEvent* event)
{
  StrongRef<NSScrollView> keep(this);
  const CGFloat step = event->hasPreciseScrollingDeltas() ? 1 : controlTheme().metrics.lineScroll;
  const NSPoint before = m_clip->bounds().origin;
  NSPoint target = before;
  target.x -= event->scrollingDeltaX() * step;
  target.y += (m_clip->isFlipped() ? -1 : 1) * event->scrollingDeltaY() * step;
  if (m_clip->constrainScrollPoint(target) == before)
  {
    // Nothing to scroll here: an enclosing scroll view may take it.
    NSView::scrollWheel(event);
    return;
  }
  m_clip->scrollToPoint(target);
}
}  // namespace cocoa
