// Dialogs from registered resources: modal dialog boxes, modeless and child dialogs, and the
// end of a modal run.

#include "swell-dlg.h"

#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/foundation/run_loop.h"

using namespace cocoa;

namespace
{
constexpr int kFlagChildDialog = 0x1;
constexpr int kFlagResizable = 0x2;
constexpr uintptr_t kForcedStyleLast = SWELL_FORCED_STYLE + 0xF;
constexpr int kModelessWithoutRecord = 10;
// What a child dialog tells of the window it was made for: every frame part a dialog has.
constexpr unsigned kChildDialogWindowFlags = 15;
constexpr unsigned kDialogFrame = NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable;

const SWELL_DialogResourceIndex* findResource(const SWELL_DialogResourceIndex* head, const char* resid)
{
  for (const SWELL_DialogResourceIndex* record = head; record; record = record->_next)
    if (record->resid == resid) return record;
  return nullptr;
}

unsigned resizableBit(const SWELL_DialogResourceIndex* resource)
{
  return (resource->windowTypeFlags & kFlagResizable) ? unsigned(NSWindowStyleMaskResizable) : 0u;
}

unsigned forcedStyleOf(uintptr_t id)
{
  const unsigned k = id & 0xF;
  unsigned style = NSWindowStyleMaskTitled;
  if (!(k & 4)) style |= NSWindowStyleMaskClosable;
  if (!(k & 2)) style |= NSWindowStyleMaskMiniaturizable;
  if (k & 1) style |= NSWindowStyleMaskResizable;
  return style;
}

// The parent as an owner of windows: itself, or the window of a parent view.
NSWindow* ownerWindowOf(HWND parent)
{
  NSObject* object = swellObjectOf(parent);
  if (auto* view = dynamic_cast<NSView*>(object)) return view->window();
  return dynamic_cast<NSWindow*>(object);
}

// Makes the content view of a window: its controls, WM_INITDIALOG and the first focus.
// Held for the caller: WM_INITDIALOG may move the view out of the window, or destroy it.
StrongRef<Swell_vVorna_hwnd> buildContent(const SWELL_DialogResourceIndex* resource, NSWindow* window,
                                          DLGPROC dlgProc, LPARAM param)
{
  const StrongRef<Swell_vVorna_hwnd> content = StrongRef<Swell_vVorna_hwnd>::adopt(new Swell_vVorna_hwnd);
  content->initChild(resource, window, dlgProc, param);
  content->setSwellCreateWindowFlags(window->styleMask());
  return content;
}

// Placed at the screen's origin; a procedure that does not place it leaves it to be centred
// when it runs, as the platform's own modal panels are.
Swell_vVorna_dialogbox* makeDialogBox(const SWELL_DialogResourceIndex* resource, HWND parent, DLGPROC dlgProc,
                                      LPARAM param)
{
  const unsigned style = NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | resizableBit(resource);
  auto* panel = new Swell_vVorna_dialogbox(NSMakeRect(0, 0, resource->width, resource->height), style);
  // The dialog box lets go of it after the run; closing only takes it off the screen.
  panel->setReleasedWhenClosed(false);
  panel->setAcceptsMouseMovedEvents(true);
  if (auto* adopter = respondsTo<SWELL_OwnerWindow>(ownerWindowOf(parent))) adopter->swellAddOwnedWindow(panel);
  if (resource->title) SetDlgItemText(swellHandleOf(panel), 0, resource->title);
  const StrongRef<Swell_vVorna_hwnd> content = buildContent(resource, panel, dlgProc, param);
  if (!content->swellHasBeenDestroyed()) content->setHidden(false);
  panel->display();
  return panel;
}

// A dialog is over once it has a result or has been destroyed. EndDialog stops the run
// itself; a result stored while a run above this one had the screen, or a DestroyWindow
// from a run above, ends it as soon as that run is over.
bool isOver(Swell_vVorna_dialogbox* panel)
{
  auto* content = dynamic_cast<Swell_vVorna_hwnd*>(panel->contentView());
  return panel->swellHasModalRetVal() || !content || content->swellHasBeenDestroyed();
}

void runUntilOver(Swell_vVorna_dialogbox* panel)
{
  NSApplication* app = NSApp();
  const NSPoint placedAt = panel->frame().origin;
  if (placedAt.x == 0 && placedAt.y == 0) panel->center();
  // As a window shown the first time picks the first view that takes the keyboard: with no
  // control focused, the dialog itself has the keys (Escape, Return).
  if (!dynamic_cast<NSView*>(panel->firstResponder())) panel->makeFirstResponder(panel->contentView());
  NSModalSession session = app->beginModalSessionForWindow(panel);
  while (!isOver(panel) && app->runModalSession(session) == NSModalResponseContinue)
    // Waits for input, timers firing meanwhile; a stop wakes it.
    app->nextEventMatchingMask(NSEventMaskAny, kDistantFuture, false);
  app->endModalSession(session);
  // This run may have been opened from a timer while the run below waited for input, and
  // that run's dialog may be over meanwhile: an event of no window wakes it to look.
  if (app->modalWindow())
    app->postEvent(NSEvent::otherEventWithType(NSEventTypeApplicationDefined, NSPoint{}, 0,
                                               NSRunLoop::currentRunLoop()->now(), nullptr, 0, 0, 0),
                   true);
}
}  // namespace

int SWELL_DialogBox(SWELL_DialogResourceIndex* head, const char* resid, HWND parent, DLGPROC dlgProc, LPARAM param)
{
  const SWELL_DialogResourceIndex* resource = findResource(head, resid);
  if (!resource || (resource->windowTypeFlags & kFlagChildDialog)) return -1;
  StrongRef<Swell_vVorna_dialogbox> panel = StrongRef<Swell_vVorna_dialogbox>::adopt(
      makeDialogBox(resource, parent, dlgProc, param));
  if (!isOver(panel.get())) runUntilOver(panel.get());
  // Whether EndDialog closed it or the run ended without it: the same end, once.
  if (NSView* content = panel->contentView()) SendMessage(swellHandleOf(content), WM_DESTROY, 0, 0);
  panel->close();
  return panel->swellGetModalRetVal();
}

HWND SWELL_CreateDialog(SWELL_DialogResourceIndex* head, const char* resid, HWND parent, DLGPROC dlgProc,
                        LPARAM param)
{
  const auto id = reinterpret_cast<uintptr_t>(resid);
  const bool forced = id >= SWELL_FORCED_STYLE && id <= kForcedStyleLast;
  const unsigned forcedStyle = forced ? forcedStyleOf(id) : 0;
  const SWELL_DialogResourceIndex* resource = findResource(head, forced ? nullptr : resid);
  if (!resource && resid && !forced) return nullptr;

  NSView* parentView = swell::viewOrContentView(parent);
  const bool child = parentView && (resource ? (resource->windowTypeFlags & kFlagChildDialog) != 0
                                             : (!resid || id == SWELL_FORCED_STYLE));
  if (child)
  {
    auto* view = new Swell_vVorna_hwnd;
    StrongRef<Swell_vVorna_hwnd> keep = StrongRef<Swell_vVorna_hwnd>::adopt(view);
    view->initChild(resource, parentView, dlgProc, param);
    view->setSwellCreateWindowFlags(kChildDialogWindowFlags);
    return view->swellHasBeenDestroyed() ? nullptr : view->handle();
  }

  const NSSize size = resource ? NSMakeSize(resource->width, resource->height)
                               : NSMakeSize(kModelessWithoutRecord, kModelessWithoutRecord);
  const unsigned style = resource ? forcedStyle | kDialogFrame | resizableBit(resource) : forcedStyle;
  auto* window = Swell_vVorna_modelesswindow::createPlaced(swellObjectOf(parent), size, style);
  StrongRef<NSWindow> keep(window);
  if (resource && resource->title) SetDlgItemText(swellHandleOf(window), 0, resource->title);
  const StrongRef<Swell_vVorna_hwnd> content = buildContent(resource, window, dlgProc, param);
  if (content->swellHasBeenDestroyed()) return nullptr;
  window->display();
  return content->handle();
}

void EndDialog(HWND hwnd, int result)
{
  NSObject* object = swellObjectOf(hwnd);
  NSView* dialog = dynamic_cast<NSView*>(object);
  NSWindow* window = dialog ? dialog->window() : dynamic_cast<NSWindow*>(object);
  if (!dialog && window) dialog = window->contentView();
  if (!window) return;
  StrongRef<NSWindow> keep(window);
  if (auto* panel = dynamic_cast<Swell_vVorna_dialogbox*>(window)) panel->swellSetModalRetVal(result);
  NSApplication* app = NSApp();
  if (app->modalWindow() != window) return;
  SendMessage(swellHandleOf(dialog), WM_DESTROY, 0, 0);
  const NSEvent* event = app->currentEvent();
  if (event && event->window() == window) app->stopModal();
  // Aborting also ends a run that no event of its own is being handled in (a timer, a
  // posted message).
  app->abortModal();
  window->close();
}
