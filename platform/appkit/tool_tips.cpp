#include "platform/appkit/tool_tips.h"

#include "platform/appkit/event.h"
#include "platform/appkit/menu_drawing.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/timer.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
namespace
{
constexpr double kPadding = 4;
constexpr double kOffsetBelowPointer = 18;
}  // namespace

struct ToolTipTracker::Overlay : WindowOverlay
{
  NSString text;
  NSRect frame;
  NSRect overlayFrame() const override { return frame; }
  void drawOverlay(CGContextRef context) override
  {
    const ControlTheme::Colors& colors = controlTheme().colors;
    fillMenuRect(context, frame.origin.x, frame.origin.y, frame.size.width, frame.size.height, colors.toolTipBorder);
    fillMenuRect(context, frame.origin.x + 1, frame.origin.y + 1, frame.size.width - 2, frame.size.height - 2,
                 colors.toolTipBackground);
    drawMenuText(context, text, frame.origin.x + kPadding, frame.origin.y, frame.size.height, colors.text);
  }
};

ToolTipTracker::ToolTipTracker(NSWindow* window) : m_window(window) {}

ToolTipTracker::~ToolTipTracker()
{
  reset();
}

const NSString& ToolTipTracker::shownText() const
{
  static const NSString none;
  return m_overlay ? m_overlay->text : none;
}

void ToolTipTracker::hide()
{
  if (m_timer) m_timer->invalidate();
  m_timer.reset();
  if (m_overlay)
  {
    m_window->removeOverlay(m_overlay.get());
    m_overlay.reset();
  }
}

void ToolTipTracker::reset()
{
  hide();
  m_view.reset();
  m_tag = 0;
}

void ToolTipTracker::eventArrived(NSEvent* event)
{
  switch (event->type())
  {
  case NSEventTypeMouseMoved:
  case NSEventTypeLeftMouseDragged:
  case NSEventTypeRightMouseDragged:
  case NSEventTypeOtherMouseDragged: pointerAt(event->locationInWindow()); break;
  case NSEventTypeScrollWheel: break;
  default:
    // A press or a key ends the tip until the pointer moves to another one.
    hide();
    break;
  }
}

void ToolTipTracker::pointerAt(NSPoint base)
{
  NSView* content = m_window->contentView();
  NSView* view = content ? content->hitTest(base) : nullptr;
  NSView* found = nullptr;
  NSInteger tag = 0;
  for (; view && !found; view = view->superview())
  {
    const NSPoint local = view->convertPointFromView(base, nullptr);
    tag = view->toolTipTagAt(local);
    if (tag) found = view;
  }
  if (found == m_view.get() && tag == m_tag)
  {
    m_point = base;
    return;
  }
  hide();
  m_view = found;
  m_tag = tag;
  m_point = base;
  if (!found) return;
  m_timer = NSTimer::scheduledTimerWithTimeInterval(kDelay, false, [this](NSTimer*) { show(); });
}

void ToolTipTracker::show()
{
  m_timer.reset();
  if (!m_view || !m_view->window()) return;
  StrongRef<NSView> view = m_view;
  const NSString text = view->toolTipString(m_tag, view->convertPointFromView(m_point, nullptr));
  if (text.empty()) return;
  auto overlay = std::make_unique<Overlay>();
  overlay->text = text;
  const NSSize window = m_window->frame().size;
  const double width = std::ceil(menuTextWidth(text)) + 2 * kPadding;
  const double height = MenuStyle::kItemHeight;
  const NSPoint pointer = m_window->pixelFromBase(m_point);
  double x = std::min(pointer.x, window.width - width);
  double y = pointer.y + kOffsetBelowPointer;
  if (y + height > window.height) y = pointer.y - height - 4;
  overlay->frame = NSMakeRect(std::round(std::max(0.0, x)), std::round(std::max(0.0, y)), width, height);
  m_overlay = std::move(overlay);
  m_window->addOverlay(m_overlay.get());
}
}  // namespace cocoa
