// Showing, hiding and destroying windows.

#include "swell-timer.h"
#include "swell-ctl-classes.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"

using namespace cocoa;

namespace
{
constexpr UINT_PTR kAllTimers = static_cast<UINT_PTR>(-1);

// The focus leaves a view that goes away: to its parent, when it was inside the view.
void moveFocusOutOf(NSView* view)
{
  NSWindow* window = view->window();
  if (!window || !window->isKeyWindow()) return;
  auto* first = dynamic_cast<NSView*>(window->firstResponder());
  if (first && first->isDescendantOf(view)) SetFocus(GetParent(swellHandleOf(view)));
}

void showTopLevel(NSWindow* window, int cmd)
{
  switch (cmd)
  {
  case SW_HIDE: window->orderOut(nullptr); break;
  case SW_SHOWNA:
    if (auto* modeless = dynamic_cast<Swell_vVorna_modelesswindow*>(window);
        modeless && modeless->m_wantInitialKeyWindowOnShow)
    {
      modeless->m_wantInitialKeyWindowOnShow = false;
      window->makeKeyAndOrderFront(nullptr);
    }
    else
      window->orderFront(nullptr);
    break;
  case SW_SHOW: window->makeKeyAndOrderFront(nullptr); break;
  case SW_SHOWMINIMIZED: window->miniaturize(nullptr); break;
  default: break;
  }
}

void destroyTopLevel(NSWindow* window)
{
  StrongRef<NSWindow> keep(window);
  KillTimer(swellHandleOf(window), kAllTimers);
  if (NSView* content = window->contentView())
    if (auto* target = respondsTo<SWELL_MessageTarget>(content))
    {
      StrongRef<NSView> keepContent(content);
      target->onSwellMessage(WM_DESTROY, 0, 0);
    }
  if (auto* target = respondsTo<SWELL_MessageTarget>(window)) target->onSwellMessage(WM_DESTROY, 0, 0);
  swell::doDestroyStuff(window);
  if (NSWindow* parent = window->parentWindow()) parent->removeChildWindow(window);
  // A window that runs modally takes its run with it, or the application would wait on a
  // window that no longer exists.
  if (NSApp()->modalWindow() == window) NSApp()->abortModal();
  window->close();
}
}  // namespace

void ShowWindow(HWND hwnd, int cmd)
{
  if (NSWindow* window = swell::asWindow(hwnd))
  {
    StrongRef<NSWindow> keep(window);
    showTopLevel(window, cmd);
    return;
  }
  NSView* view = swell::outerViewOf(swell::asView(hwnd));
  if (!view) return;
  hwnd = swellHandleOf(view);
  StrongRef<NSView> keep(view);
  if (cmd == SW_SHOWNA || cmd == SW_SHOW)
    view->setHidden(false);
  else if (cmd == SW_HIDE)
  {
    moveFocusOutOf(view);
    if (!view->isHidden())
    {
      if (!swell::isContentView(view) && view->superview())
      {
        // What the view covered in its parent is drawn again without it.
        RECT r;
        GetWindowRect(hwnd, &r);
        HWND parent = swellHandleOf(view->superview());
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        for (POINT& p : corners) ScreenToClient(parent, &p);
        const RECT inParent = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        InvalidateRect(parent, &inParent, FALSE);
      }
      view->setHidden(true);
    }
  }
  if (swell::isContentView(view)) showTopLevel(view->window(), cmd);
}

void DestroyWindow(HWND hwnd)
{
  if (NSWindow* window = swell::asWindow(hwnd))
  {
    destroyTopLevel(window);
    return;
  }
  NSView* view = swell::asView(hwnd);
  if (!view) return;
  StrongRef<NSView> keep(view);
  KillTimer(hwnd, kAllTimers);
  if (auto* target = respondsTo<SWELL_MessageTarget>(view)) target->onSwellMessage(WM_DESTROY, 0, 0);
  if (swell::isContentView(view))
  {
    destroyTopLevel(view->window());
    return;
  }
  moveFocusOutOf(view);
  // A multi-line field or a list leaves with the scroll view it lives in.
  StrongRef<NSView> outer(swell::outerViewOf(view));
  outer->removeFromSuperview();
  // A control held across a call-out (a combo box's open list) outlives this, and its parent
  // may go before it ends: what the parent's teardown can no longer reach tells no one now.
  swell::retargetControlDelegates(outer.get(), nullptr, nullptr);
}
