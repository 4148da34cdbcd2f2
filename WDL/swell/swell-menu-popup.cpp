#include "swell-menu-internal.h"
#include "swell-wnd-internal.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"

using namespace cocoa;

namespace
{
// The context menu opens just below the point, clear of the pointer.
constexpr CGFloat kBelowPointer = 4;
}  // namespace

// The destination of a context menu's commands while it is shown: it keeps the chosen id,
// and tells the window of each submenu about to open.
class Swell_vVorna_trackpopupmenurecv : public NSObject, public SWELL_CommandTarget, public NSMenuDelegate
{
public:
  Swell_vVorna_trackpopupmenurecv(NSMenu* menu, HWND notify)
      : m_menu(menu), m_notify(notify), m_keepNotify(notify ? swellObjectOf(notify) : nullptr)
  {
  }

  int command() const { return m_command; }

  void onSwellCommand(NSObject* sender) override
  {
    auto* item = dynamic_cast<NSMenuItem*>(sender);
    if (item && item->tag()) m_command = static_cast<int>(item->tag());
  }

  // The menu itself was announced before it was shown.
  void menuNeedsUpdate(NSMenu* menu) override
  {
    if (menu == m_menu) return;
    // The window may have gone while the menu was open (a timer closed it).
    if (m_notify && IsWindow(m_notify))
      SendMessage(m_notify, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(swellMenuHandleOf(menu)), 0);
    // What the window added takes its commands here too.
    SWELL_SetMenuDestination(swellMenuHandleOf(menu), swellHandleOf(this));
  }

private:
  NSMenu* m_menu;
  HWND m_notify;
  // Held, so that the handle names the same window, or a gone one, until the menu closes.
  StrongRef<NSObject> m_keepNotify;
  int m_command = 0;
};

int TrackPopupMenu(HMENU handle, int flags, int x, int y, int, HWND hwnd, const RECT*)
{
  ReleaseCapture();
  NSMenu* menu = swellMenuOf(handle);
  if (!menu) return 0;
  NSView* view = hwnd ? swell::viewOrContentView(hwnd) : nullptr;
  if (!hwnd && NSApp()->mainWindow()) view = NSApp()->mainWindow()->contentView();
  NSWindow* window = view ? view->window() : nullptr;
  if (!window) return 0;

  // Opening the menu and its tracking run procedures and timers, which may destroy the window
  // it belongs to (or the menu): all are held, and the window looked at again before it is
  // told anything more.
  StrongRef<NSMenu> keep(menu);
  const StrongRef<NSObject> keepTarget(hwnd ? swellObjectOf(hwnd) : nullptr);
  const StrongRef<NSView> keepView(view);
  const StrongRef<NSWindow> keepWindow(window);
  const auto stillThere = [&] { return (!hwnd || IsWindow(hwnd)) && view->window() == window; };
  NSAutoreleasePool pool;
  NSPoint point = window->convertScreenToBase(NSMakePoint(x, y));
  point.y -= kBelowPointer;
  NSEvent* current = NSApp()->currentEvent();
  NSEvent* event = NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, point, 0,
                                               current ? current->timestamp() : 0, window, 1, 1);

  const HWND notify = (flags & TPM_NONOTIFY) ? nullptr : hwnd;
  auto* receiver = new Swell_vVorna_trackpopupmenurecv(menu, notify);
  SWELL_SetMenuDestination(handle, swellHandleOf(receiver));
  if (notify)
  {
    SendMessage(notify, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), 0);
    SWELL_SetMenuDestination(handle, swellHandleOf(receiver));
  }
  if (stillThere()) NSMenu::popUpContextMenu(menu, event, view);
  SWELL_SetMenuDestination(handle, nullptr);
  const int command = receiver->command();
  receiver->release();

  // TPM_NONOTIFY silences only the openings: the chosen command still goes to hwnd.
  if (!command) return 0;
  if (flags & TPM_RETURNCMD) return command;
  if (hwnd && IsWindow(hwnd)) SendMessage(hwnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
  return 1;
}
