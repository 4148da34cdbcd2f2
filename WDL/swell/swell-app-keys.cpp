// The application object's look at every key before the platform dispatches it.

#include "swell-app.h"
#include "swell-dlg.h"
#include "swell-hosted.h"
#include "swell-kb.h"
#include "swell-wnd-capabilities.h"
#include "swell-wnd.h"

#include "platform/appkit/event.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/run_loop.h"

using namespace cocoa;

namespace
{
// A press of the same key queued this soon after makes a held key's older events stale.
constexpr double kRepeatWindow = 0.003;

bool supersededByQueuedPress(NSEvent* event)
{
  const double until = NSRunLoop::currentRunLoop()->now() + kRepeatWindow;
  NSEvent* next = NSApp()->nextEventMatchingMask(NSEventMaskFromType(NSEventTypeKeyDown), until, false);
  return next && next->keyCode() == event->keyCode();
}

bool onlyCommand(int flags)
{
  return flags == FCONTROL || flags == (FCONTROL | FVIRTKEY);
}

// A text view inside a single-line field is that field's editor; one that reaches the
// dialog without passing a field is a multi-line field of its own.
bool insideTextField(NSView* view, NSView* content)
{
  for (NSView* v = view->superview(); v && v != content; v = v->superview())
    if (auto* text = respondsTo<SWELL_TextControl>(v); text && text->swellIsTextField()) return true;
  return false;
}

bool isMultiLineEditor(NSView* focused, SWELL_TextControl* text, NSView* content)
{
  return text && text->swellIsTextView() && text->swellIsEditable() && !insideTextField(focused, content);
}

Action clipboardAction(int vk)
{
  switch (vk)
  {
  case 'C': return Action::copy;
  case 'X': return Action::cut;
  case 'V': return Action::paste;
  default: return Action::none;
  }
}

// The keys a dialog handles itself; true when the key was used.
bool handleDialogKey(NSWindow* window, NSView* focused, NSView* content, int vk, int flags)
{
  const HWND dialog = swellHandleOf(content);
  auto* text = respondsTo<SWELL_TextControl>(focused);
  if (const Action action = clipboardAction(vk); action != Action::none && onlyCommand(flags))
    if (auto* target = dynamic_cast<ActionTarget*>(focused); target && text)
    {
      target->performAction(action, content);
      return true;
    }
  if (vk == VK_ESCAPE && !(flags & ~(FVIRTKEY | FSHIFT)))
  {
    if (text && text->swellIsTextView() && ((flags & FSHIFT) || isMultiLineEditor(focused, text, content)))
      window->makeFirstResponder(content);
    else
      SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    return true;
  }
  if (vk == 'W' && onlyCommand(flags))
  {
    SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    return true;
  }
  if (vk == VK_RETURN && (flags == 0 || flags == FVIRTKEY))
  {
    if (isMultiLineEditor(focused, text, content)) return false;
    if (const int id = SWELL_GetDefaultButtonID(dialog, true)) SendMessage(dialog, WM_COMMAND, id, 0);
    else window->makeFirstResponder(content);
    return true;
  }
  return false;
}

// Where a key goes: the focused view of the event's window; but Command and Option keys
// belong to a hosting view when the event's window, or a window it sits in, has one as its
// delegate (the foreign toolkit inside wants its shortcuts).
struct KeyTarget
{
  StrongRef<NSWindow> window;
  StrongRef<NSView> view;
};

KeyTarget keyTargetOf(NSEvent* event, int flags)
{
  NSWindow* window = event->window();
  if (flags & (FCONTROL | FALT))
    for (NSWindow* w = window; w; w = w->parentWindow())
      if (auto* host = dynamic_cast<Swell_vVorna_hwndcarbonhost*>(w->delegate());
          host && host->swellIsCarbonHostingView())
        return {host->window(), host};
  return {window, window ? dynamic_cast<NSView*>(window->firstResponder()) : nullptr};
}

// True when the key was used up: by the host, or by the dialog it was typed in.
bool filterKey(NSEvent* event)
{
  NSApplication* app = NSApp();
  // Keys for windows that a modal run shuts out go where the platform drops them.
  if (event->window() && !app->windowAcceptsInput(event->window())) return false;
  int flags = 0;
  int vk = SWELL_MacKeyToWindowsKey(event, &flags);
  KeyTarget target = keyTargetOf(event, flags);
  if (!app->modalWindow() && !(target.window && !target.view))
  {
    const bool down = event->type() == NSEventTypeKeyDown;
    MSG msg = {swellHandleOf(target.view.get()), UINT(down ? WM_KEYDOWN : WM_KEYUP), WPARAM(vk), flags, 0, {0, 0}};
    if (SWELLAppMain(SWELLAPP_KBDMESSAGE, reinterpret_cast<INT_PTR>(&msg), reinterpret_cast<INT_PTR>(event)) > 0)
      return true;
  }
  if (event->type() != NSEventTypeKeyDown) return false;
  // The host may have moved the focus or closed windows meanwhile.
  vk = SWELL_MacKeyToWindowsKey(event, &flags);
  target = keyTargetOf(event, flags);
  if (!target.window || !target.view) return false;
  StrongRef<NSView> content(target.window->contentView());
  if (!respondsTo<SWELL_MessageTarget>(content.get())) return false;
  return handleDialogKey(target.window.get(), target.view.get(), content.get(), vk, flags);
}
}  // namespace

void SWELLApplication::sendEvent(NSEvent* event)
{
  if (!event) return;
  StrongRef<NSEvent> keep(event);
  if (isKeyEvent(event->type()) && (supersededByQueuedPress(event) || filterKey(event))) return;
  NSApplication::sendEvent(event);
}
