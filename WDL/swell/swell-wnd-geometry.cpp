// Window geometry: rectangles in screen and client coordinates, conversions, the viewport,
// moving, sizing and ordering, and the window under a point.

#include "swell-ctl-classes.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/walk.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/screen.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace cocoa;

namespace
{
constexpr RECT kNoScreenViewport = {0, 0, 1600, 1200};

RECT integralRect(NSRect r)
{
  return RECT{swell::roundCoordinate(NSMinX(r)), swell::roundCoordinate(NSMinY(r)), swell::roundCoordinate(NSMaxX(r)),
              swell::roundCoordinate(NSMaxY(r))};
}

NSPoint screenFromView(const NSView* view, NSPoint local)
{
  const NSPoint base = view->convertPointToView(local, nullptr);
  return view->window() ? view->window()->convertBaseToScreen(base) : base;
}

NSPoint viewFromScreen(const NSView* view, NSPoint screen)
{
  const NSPoint base = view->window() ? view->window()->convertScreenToBase(screen) : screen;
  return view->convertPointFromView(base, nullptr);
}

// Whether x lies in [left, left + width) and y in [bottom, bottom + height).
bool frameHolds(NSRect frame, NSPoint p)
{
  return p.x >= NSMinX(frame) && p.x < NSMaxX(frame) && p.y >= NSMinY(frame) && p.y < NSMaxY(frame);
}

// The currently running sends of WM_NCCALCSIZE, innermost last.
std::vector<HWND>& ncCalcSizeInProgress()
{
  static std::vector<HWND> handles;
  return handles;
}

// The first responder of the view's window when it is the view or lies inside it.
NSResponder* focusInside(NSView* view)
{
  NSWindow* window = view->window();
  auto* first = window ? dynamic_cast<NSView*>(window->firstResponder()) : nullptr;
  return first && first->isDescendantOf(view) ? first : nullptr;
}

void reorder(NSView* view, HWND insertAfter)
{
  NSView* parent = view->superview();
  const std::vector<NSView*> siblings = parent ? parent->subviews() : std::vector<NSView*>();
  if (swellHandleOf(view) == insertAfter || siblings.size() < 2 || insertAfter == HWND_TOPMOST ||
      insertAfter == HWND_NOTOPMOST)
    return;
  NSView* after = nullptr;
  NSWindowOrderingMode place = NSWindowAbove;
  if (insertAfter == HWND_BOTTOM)
  {
    if (siblings.front() == view) return;
    place = NSWindowBelow;
  }
  else if (insertAfter == HWND_TOP)
  {
    if (siblings.back() == view) return;
  }
  else
  {
    auto found = std::find(siblings.begin(), siblings.end(), swell::asView(insertAfter));
    if (found == siblings.end()) return;
    if (found + 1 != siblings.end() && found[1] == view) return;  // already directly above it
    after = *found;
  }
  if (NSView* holder = swell::captureHolder(); holder && holder->isDescendantOf(view)) return;
  // Taking the view out ends a field's editing (EN_KILLFOCUS), whose procedure may destroy the
  // parent or the sibling it goes above: all are held, and looked at again.
  StrongRef<NSView> keep(view);
  const StrongRef<NSView> keepParent(parent);
  const StrongRef<NSView> keepAfter(after);
  StrongRef<NSResponder> focused(focusInside(view));
  view->removeFromSuperviewWithoutNeedingDisplay();
  if (isRetired(parent) || isRetired(view) || view->superview()) return;
  parent->addSubview(view, place, after && after->superview() == parent ? after : nullptr);
  // A field's editor leaves with the field and stays out: the field itself takes the keyboard
  // again, and edits anew.
  if (NSWindow* window = view->window(); focused && window)
    window->makeFirstResponder(window->ownsResponder(focused.get()) ? focused.get() : view);
}
}  // namespace

bool swell::sendNcCalcSize(HWND hwnd, RECT* rect)
{
  std::vector<HWND>& running = ncCalcSizeInProgress();
  if (std::find(running.begin(), running.end(), hwnd) != running.end()) return false;
  NCCALCSIZE_PARAMS params = {};
  params.rgrc[0] = *rect;
  running.push_back(hwnd);
  SendMessage(hwnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&params));
  running.erase(std::find(running.begin(), running.end(), hwnd));
  *rect = params.rgrc[0];
  return true;
}

namespace
{
// A multi-line field follows its scroll view's size in the directions it does not scroll.
void fitTextToScrollView(NSView* view)
{
  auto* scroll = dynamic_cast<NSScrollView*>(view);
  auto* text = scroll ? dynamic_cast<NSTextView*>(scroll->documentView()) : nullptr;
  if (!text) return;
  NSRect frame = text->frame();
  const NSSize content = scroll->contentSize();
  if (!scroll->hasHorizontalScroller()) frame.size.width = content.width;
  if (!scroll->hasVerticalScroller()) frame.size.height = content.height;
  text->setFrame(frame);
}
}  // namespace

BOOL GetWindowRect(HWND hwnd, RECT* r)
{
  if (!r) return 0;
  *r = RECT{};
  NSObject* object = swell::windowForContentView(hwnd);
  if (auto* window = dynamic_cast<NSWindow*>(object))
  {
    *r = integralRect(window->frame());
    return 1;
  }
  // A control in a scroll view covers what its scroll view covers.
  auto* view = swell::outerViewOf(dynamic_cast<NSView*>(object));
  if (!view) return 0;
  const RECT local = integralRect(view->bounds());
  POINT corners[2] = {{local.left, local.top}, {local.right, local.bottom}};
  for (POINT& p : corners) ClientToScreen(swellHandleOf(view), &p);
  *r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  return 1;
}

void GetWindowContentViewRect(HWND hwnd, RECT* r)
{
  if (NSView* view = swell::viewOrContentView(hwnd); swell::isContentView(view))
  {
    if (!r) return;
    const RECT local = integralRect(view->bounds());
    POINT corners[2] = {{local.left, local.top}, {local.right, local.bottom}};
    for (POINT& p : corners) ClientToScreen(swellHandleOf(view), &p);
    *r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    return;
  }
  GetWindowRect(hwnd, r);
}

void GetClientRect(HWND hwnd, RECT* r)
{
  if (!r) return;
  *r = RECT{};
  NSView* view = swell::outerViewOf(swell::viewOrContentView(hwnd));
  if (!view) return;
  const RECT bounds = integralRect(view->bounds());
  RECT offered = bounds;
  if (!swell::sendNcCalcSize(hwnd, &offered)) offered = bounds;
  *r = RECT{bounds.left, bounds.top, bounds.left + (offered.right - offered.left),
            bounds.top + (offered.bottom - offered.top)};
}

void ClientToScreen(HWND hwnd, POINT* p)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (!view || !p) return;
  const NSPoint screen = screenFromView(view, NSMakePoint(p->x, p->y));
  *p = POINT{swell::roundCoordinate(screen.x), swell::roundCoordinate(screen.y)};
}

void ScreenToClient(HWND hwnd, POINT* p)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (!view || !p) return;
  const NSPoint local = viewFromScreen(view, NSMakePoint(p->x, p->y));
  *p = POINT{swell::roundCoordinate(local.x), swell::roundCoordinate(local.y)};
}

void SWELL_GetViewPort(RECT* out, const RECT* ref, bool workArea)
{
  if (!out) return;
  const std::vector<NSScreen*> screens = NSScreen::screens();
  if (screens.empty())
  {
    *out = kNoScreenViewport;
    return;
  }
  const NSPoint centre = ref ? NSMakePoint((ref->left + ref->right) / 2, (ref->top + ref->bottom) / 2) : NSPoint{};
  NSRect chosen = workArea ? screens.front()->visibleFrame() : screens.front()->frame();
  for (size_t i = 1; i < screens.size(); ++i)
  {
    const NSRect area = workArea ? screens[i]->visibleFrame() : screens[i]->frame();
    if (frameHolds(area, centre)) chosen = area;
  }
  *out = integralRect(chosen);
}

void SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, int flags)
{
  NSObject* object = swell::windowForContentView(hwnd);
  auto* view = swell::outerViewOf(dynamic_cast<NSView*>(object));
  auto* window = dynamic_cast<NSWindow*>(object);
  if (!view && !window) return;
  if (view) object = view;
  StrongRef<NSObject> keep(object);
  if (view && !(flags & SWP_NOZORDER)) reorder(view, insertAfter);
  if ((flags & SWP_NOMOVE) && (flags & SWP_NOSIZE)) return;

  NSRect frame = view ? view->frame() : window->frame();
  if (!(flags & SWP_NOMOVE)) frame.origin = NSMakePoint(x, y);
  if (!(flags & SWP_NOSIZE)) frame.size = NSMakeSize(cx, std::abs(cy));
  if (view)
  {
    view->setFrame(frame);
    fitTextToScrollView(view);
    return;
  }
  const NSSize least = window->minSize();
  const NSSize most = window->maxSize();
  if (frame.size.width < least.width) frame.size.width = least.width;
  else if (frame.size.width > most.width) frame.size.width = most.width;
  if (frame.size.height < least.height) frame.size.height = least.height;
  else if (frame.size.height > most.height) frame.size.height = most.height;
  window->setFrame(frame, false);
  window->display();
}

HWND WindowFromPoint(POINT screen)
{
  std::vector<NSWindow*> candidates = NSApp()->orderedWindows();
  if (NSWindow* key = NSApp()->keyWindow(); key && std::find(candidates.begin(), candidates.end(), key) == candidates.end())
    candidates.insert(candidates.begin(), key);
  const NSPoint point = NSMakePoint(screen.x, screen.y);
  for (NSWindow* window : candidates)
  {
    if (!window->isVisible() || !frameHolds(window->frame(), point)) continue;
    NSView* content = window->contentView();
    if (!content) return nullptr;
    NSView* hit = content->hitTest(window->convertScreenToBase(point));
    return swellHandleOf(hit ? hit : content);
  }
  return nullptr;
}
