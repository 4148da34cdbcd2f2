// Moving views between windows: a top-level window's content view into another view, a
// child view out to a window of its own, and a new window around a content view whose frame
// style changes. The view, and so its HWND, stays the same throughout.

#include "swell-ctl-classes.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/walk.h"

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
constexpr int kTitleBytes = 2048;
constexpr LONG_PTR kFrameBits = WS_CAPTION | WS_THICKFRAME;
constexpr unsigned kFullFrameMask = NSWindowStyleMaskTitled | NSWindowStyleMaskClosable |
                                    NSWindowStyleMaskMiniaturizable | NSWindowStyleMaskResizable;

std::string textOf(HWND hwnd)
{
  char text[kTitleBytes];
  GetDlgItemText(hwnd, 0, text, sizeof text);
  return text;
}

// An empty window view takes the place of the content view in its window.

NSWindow* windowOrOwnerOf(NSObject* remembered)
{
  if (!remembered) return nullptr;
  for (NSWindow* window : NSApp()->windows())
    if (window == remembered || window->contentView() == remembered) return window;
  return nullptr;
}

LONG_PTR frameClassOf(const NSWindow* window)
{
  const unsigned mask = window->styleMask();
  if (!(mask & NSWindowStyleMaskTitled)) return 0;
  return (mask & NSWindowStyleMaskResizable) ? kFrameBits : WS_CAPTION;
}

void moveOwnedWindows(NSWindow* from, NSWindow* to)
{
  auto* oldList = respondsTo<SWELL_OwnerWindow>(from);
  auto* newList = respondsTo<SWELL_OwnerWindow>(to);
  if (!oldList || !newList) return;
  std::vector<NSWindow*> owned;
  for (OwnedWindowListRec* rec = oldList->swellGetOwnerWindowHead(); rec; rec = rec->_next) owned.push_back(rec->hwnd);
  // Added last to first, so that the new list keeps the order of the old.
  for (auto it = owned.rbegin(); it != owned.rend(); ++it)
  {
    oldList->swellRemoveOwnedWindow(*it);
    newList->swellAddOwnedWindow(*it);
  }
}
// The window view that a control inside `view` tells: `view` itself, or the nearest around it.
NSObject* nearestWindowView(NSView* view)
{
  for (NSView* v = view; v; v = v->superview())
    if (auto* windowView = dynamic_cast<Swell_vVorna_hwnd*>(v)) return windowView;
  return nullptr;
}
}  // namespace

void swell::replaceContentView(NSWindow* window)
{
  auto* stand_in = new Swell_vVorna_hwnd;
  stand_in->initChild(nullptr, window, nullptr, 0);
  stand_in->release();
}

LONG_PTR swell::restyleTopLevel(HWND hwnd, LONG_PTR style)
{
  NSView* view = asView(hwnd);
  if (!isContentView(view)) return 0;
  NSWindow* old = view->window();
  if ((style & kFrameBits) == frameClassOf(old)) return 0;

  StrongRef<NSView> keepView(view);
  StrongRef<NSWindow> keepOld(old);
  const bool visible = old->isVisible();
  const StrongRef<NSWindow> parent(old->parentWindow());
  const std::string title = textOf(swellHandleOf(old));
  const NSRect frame = old->frame();
  auto* ownerList = respondsTo<SWELL_OwnerWindow>(old);
  NSWindow* owner = ownerList ? ownerList->swellGetOwner() : nullptr;
  const int level = old->level();

  unsigned mask = 0;
  if ((style & kFrameBits) == kFrameBits) mask = kFullFrameMask;
  else if ((style & WS_CAPTION) == WS_CAPTION) mask = NSWindowStyleMaskTitled;
  swell::replaceContentView(old);
  // Moving the children and the frame runs procedures (WM_SHOWWINDOW, WM_MOVE, WM_SIZE), which
  // may destroy the new window or take the view elsewhere: it is held, and looked at again.
  const StrongRef<NSWindow> created(asWindow(SWELL_CreateModelessFrameForWindow(hwnd, swellHandleOf(owner), mask)));
  const auto stillItsWindow = [&] { return created && view->window() == created.get(); };
  if (stillItsWindow())
  {
    moveOwnedWindows(old, created.get());
    walkHeld(
        old, old->childWindows(), [old](NSWindow* child) { return child->parentWindow() == old; },
        [&](NSWindow* child) {
          old->removeChildWindow(child);
          if (stillItsWindow()) created->addChildWindow(child, NSWindowAbove);
        });
  }
  if (parent && stillItsWindow()) parent->addChildWindow(created.get(), NSWindowAbove);
  if (!title.empty() && stillItsWindow()) created->setTitle(title);
  if (stillItsWindow()) created->setFrame(frame, visible);
  if (stillItsWindow())
  {
    created->setLevel(level);
    if (visible) ShowWindow(swellHandleOf(created.get()), SW_SHOW);
  }
  DestroyWindow(swellHandleOf(old));
  return 0;
}

HWND SetParent(HWND hwnd, HWND newParent)
{
  NSView* view = swell::asView(hwnd);
  if (!view) return nullptr;
  NSView* parentView = swell::viewOrContentView(newParent);
  auto* swellView = dynamic_cast<Swell_vVorna_hwnd*>(view);
  // A view cannot go inside itself (nor can a control's scroll view, which it takes along, go
  // inside the control), nor inside a part that a scroll view in it keeps; and one being
  // destroyed (its WM_DESTROY, even from its last release) stays where it goes: attached
  // elsewhere it would outlive its own end.
  if (parentView && !parentView->canTakeSubview(swell::outerViewOf(view))) return nullptr;
  // The editor of a field being edited is part of the field, which callers know it by; taken
  // out it would be a window nobody made, and the field would lose its keyboard.
  if (swell::fieldEditedBy(view)) return nullptr;
  if ((swellView && swellView->swellHasBeenDestroyed()) || isRetired(parentView)) return nullptr;
  if (auto* parentSwell = dynamic_cast<Swell_vVorna_hwnd*>(parentView); parentSwell && parentSwell->swellHasBeenDestroyed())
    return nullptr;
  StrongRef<NSView> keep(view);

  if (swell::isContentView(view))
  {
    if (!parentView) return nullptr;
    NSWindow* old = view->window();
    StrongRef<NSWindow> keepOld(old);
    const std::string title = textOf(swellHandleOf(old));
    auto* ownerList = respondsTo<SWELL_OwnerWindow>(old);
    if (swellView) swellView->m_lastTopLevelOwner = ownerList ? ownerList->swellGetOwner() : nullptr;
    swell::replaceContentView(old);
    parentView->addSubview(view);
    DestroyWindow(swellHandleOf(old));
    if (!title.empty()) SetDlgItemText(hwnd, 0, title.c_str());
    return swellHandleOf(parentView);
  }

  if (!newParent)
  {
    const std::string text = textOf(hwnd);
    view->removeFromSuperview();
    const unsigned flags = swellView ? swellView->swellCreateWindowFlags() : kFullFrameMask;
    NSWindow* owner = windowOrOwnerOf(swellView ? swellView->m_lastTopLevelOwner : nullptr);
    if (NSWindow* created = swell::asWindow(SWELL_CreateModelessFrameForWindow(hwnd, swellHandleOf(owner), flags)))
      created->display();
    swell::retargetControlDelegates(view, nullptr, nearestWindowView(view));
    SetDlgItemText(hwnd, 0, text.c_str());
    return nullptr;
  }

  // A control living in a scroll view takes its scroll view along.
  NSView* moving = swell::outerViewOf(view);
  StrongRef<NSView> keepMoving(moving);
  NSView* previous = moving->superview();
  moving->removeFromSuperview();
  if (parentView) parentView->addSubview(moving);
  // Its controls tell their new parent from now on, as they tell a parent in Win32.
  swell::retargetControlDelegates(moving, nullptr, nearestWindowView(parentView));
  return swellHandleOf(previous);
}
