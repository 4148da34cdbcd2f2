// The default window procedure, and the service that lets window views claim mouse events
// over their non-client areas.

#include "swell-ctl.h"
#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/event.h"

#include <cmath>
#include <cstring>
#include <utility>

using namespace cocoa;

namespace
{
POINT unpackPoint(LPARAM lParam)
{
  return POINT{static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF)};
}

// The first ancestor that takes messages, up to and including the content view.
LRESULT passUp(NSView* view, UINT msg, WPARAM wParam, LPARAM lParam)
{
  for (NSView* ancestor = view->superview(); ancestor; ancestor = ancestor->superview())
  {
    if (respondsTo<SWELL_MessageTarget>(ancestor)) return SendMessage(swellHandleOf(ancestor), msg, wParam, lParam);
    if (swell::isContentView(ancestor)) break;
  }
  return 0;
}

LRESULT hitTestClientArea(HWND hwnd, LPARAM lParam)
{
  RECT r;
  GetWindowRect(hwnd, &r);
  POINT p = unpackPoint(lParam);
  if (r.top > r.bottom)
  {
    std::swap(r.top, r.bottom);
    p.y = r.top + r.bottom - p.y;
  }
  swell::sendNcCalcSize(hwnd, &r);
  return SWELL_PtInRect(&r, p) ? HTCLIENT : HTNOWHERE;
}

LRESULT contextMenuForRightClick(HWND hwnd, LPARAM lParam)
{
  POINT p = unpackPoint(lParam);
  ClientToScreen(hwnd, &p);
  HWND target = hwnd;
  if (NSView* under = swell::asView(WindowFromPoint(p)))
  {
    NSWindow* window = swell::asWindow(hwnd);
    NSView* view = swell::asView(hwnd);
    if ((window && under->window() == window) || (view && under->isDescendantOf(view))) target = swellHandleOf(under);
  }
  SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), swell::packPoint(p.x, p.y));
  return 1;
}

// Every child that takes messages hears of it, and the dialog procedure is asked for its
// control colours again: another display may bring another appearance, so controls it gives
// no colour return to the system's.
void passDisplayChangeDown(NSView* view, WPARAM wParam, LPARAM lParam)
{
  const bool hadChildren = !view->subviews().empty();
  const WalkEnd end = forEachSubview(view, [wParam, lParam](NSView* child) {
    if (respondsTo<SWELL_MessageTarget>(child)) SendMessage(swellHandleOf(child), WM_DISPLAYCHANGE, wParam, lParam);
  });
  const HWND hwnd = swellHandleOf(view);
  if (hadChildren && end != WalkEnd::OwnerRetired)
    if (auto dialogProc = reinterpret_cast<DLGPROC>(GetWindowLong(hwnd, DWL_DLGPROC)))
      SWELL_DoDialogColorUpdates(hwnd, dialogProc, true);
}

void redeliver(NSView* target, NSEvent* event)
{
  switch (event->type())
  {
  case NSEventTypeLeftMouseDown: target->mouseDown(event); break;
  case NSEventTypeLeftMouseUp: target->mouseUp(event); break;
  case NSEventTypeRightMouseDown: target->rightMouseDown(event); break;
  case NSEventTypeRightMouseUp: target->rightMouseUp(event); break;
  case NSEventTypeMouseMoved: target->mouseMoved(event); break;
  case NSEventTypeLeftMouseDragged: target->mouseDragged(event); break;
  default: target->rightMouseDragged(event); break;
  }
}
}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  NSView* view = swell::asView(hwnd);
  switch (msg)
  {
  case WM_CONTEXTMENU:
  case WM_GESTURE:
  case WM_MOUSEWHEEL:
  case WM_MOUSEHWHEEL: return view ? passUp(view, msg, wParam, lParam) : 0;
  case WM_DISPLAYCHANGE:
    if (view) passDisplayChangeDown(view, wParam, lParam);
    return 0;
  case WM_NCHITTEST: return hitTestClientArea(hwnd, lParam);
  case WM_NCRBUTTONUP:
    SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
    return 1;
  case WM_RBUTTONUP: return contextMenuForRightClick(hwnd, lParam);
  case WM_KEYDOWN:
  case WM_KEYUP: return SWELL_KEY_NOT_HANDLED;
  default: return 0;
  }
}

bool SWELL_HandleMouseEvent(NSEvent* event)
{
  if (!event || swell::captureHolder()) return false;
  const NSEventType type = event->type();
  if (type < NSEventTypeLeftMouseDown || type > NSEventTypeRightMouseDragged) return false;
  const StrongRef<NSWindow> window(event->window());
  const StrongRef<NSView> content(window ? window->contentView() : nullptr);
  NSView* hit = content ? content->hitTest(event->locationInWindow()) : nullptr;
  const NSPoint screen = window ? window->convertBaseToScreen(event->locationInWindow()) : NSPoint{};
  const LPARAM where = swell::packPoint(static_cast<int>(std::floor(screen.x)), static_cast<int>(std::floor(screen.y)));
  // The chain from the view under the pointer up to the content view. A view asked may
  // destroy itself or any other view of the chain: a view that left the window is not asked,
  // and the question ends with the window.
  std::vector<NSView*> chain;
  for (NSView* v = hit; v; v = v->superview())
  {
    chain.push_back(v);
    if (v == content.get()) break;
  }
  StrongRef<NSView> target;
  const auto inWindow = [&content](NSView* v) { return v->isDescendantOf(content.get()); };
  const WalkEnd end = walkHeld(content.get(), chain, inWindow, [&](NSView* v) {
    if (respondsTo<SWELL_MessageTarget>(v) &&
        static_cast<unsigned long>(SendMessage(swellHandleOf(v), WM_NCHITTEST, 0, where)) >= HTCAPTION)
      target = StrongRef<NSView>(v);
  });
  if (end == WalkEnd::OwnerRetired || !target || isRetired(target.get()) || !inWindow(target.get())) return false;
  redeliver(target.get(), event);
  return true;
}

bool SWELL_GetGestureInfo(LPARAM lParam, GESTUREINFO* out)
{
  if (!lParam || !out) return false;
  std::memcpy(out, reinterpret_cast<const GESTUREINFO*>(lParam), sizeof(GESTUREINFO));
  return true;
}
