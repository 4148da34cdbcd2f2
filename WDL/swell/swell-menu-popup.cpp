#include "swell-menu-internal.h"
#include "swell-menu-window.h"

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

NSView* viewOf(HWND hwnd)
{
  auto* object = reinterpret_cast<NSObject*>(hwnd);
  if (auto* window = dynamic_cast<NSWindow*>(object)) return window->contentView();
  return dynamic_cast<NSView*>(object);
}
}  // namespace

// Receives the command of a context menu while it is shown, and tells the window of each
// submenu about to open.
class Swell_vVorna_trackpopupmenurecv : public NSObject, public NSMenuDelegate, public ActionTarget
{
public:
  Swell_vVorna_trackpopupmenurecv(NSMenu* menu, HWND notify) : m_menu(menu), m_notify(notify) {}

  int command() const { return m_command; }

  bool performAction(Action, NSObject* sender) override
  {
    auto* item = dynamic_cast<NSMenuItem*>(sender);
    if (item && item->tag()) m_command = static_cast<int>(item->tag());
    return true;
  }

  // The menu itself was announced before it was shown.
  void menuNeedsUpdate(NSMenu* menu) override
  {
    if (menu == m_menu) return;
    if (m_notify) SendMessage(m_notify, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(swell::handleOf(menu)), 0);
    // What the window added takes its commands here too.
    swell::setMenuCommandTarget(menu, this, this);
  }

private:
  NSMenu* m_menu;
  HWND m_notify;
  int m_command = 0;
};

int TrackPopupMenu(HMENU handle, int flags, int x, int y, int, HWND hwnd, const RECT*)
{
  ReleaseCapture();
  NSMenu* menu = swell::menuOf(handle);
  if (!menu) return 0;
  NSView* view = hwnd ? viewOf(hwnd) : nullptr;
  if (!hwnd && NSApp()->mainWindow()) view = NSApp()->mainWindow()->contentView();
  NSWindow* window = view ? view->window() : nullptr;
  if (!window) return 0;

  StrongRef<NSMenu> keep(menu);
  NSAutoreleasePool pool;
  NSPoint point = window->convertScreenToBase(NSMakePoint(x, y));
  point.y -= kBelowPointer;
  NSEvent* current = NSApp()->currentEvent();
  NSEvent* event = NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, point, 0,
                                               current ? current->timestamp() : 0, window, 1, 1);

  const HWND notify = (flags & TPM_NONOTIFY) ? nullptr : hwnd;
  auto* receiver = new Swell_vVorna_trackpopupmenurecv(menu, notify);
  swell::setMenuCommandTarget(menu, receiver, receiver);
  if (notify)
  {
    SendMessage(notify, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), 0);
    swell::setMenuCommandTarget(menu, receiver, receiver);
  }
  NSMenu::popUpContextMenu(menu, event, view);
  swell::setMenuCommandTarget(menu, nullptr, nullptr);
  const int command = receiver->command();
  receiver->release();

  if (!command) return 0;
  if (flags & TPM_RETURNCMD) return command;
  if (notify) SendMessage(notify, WM_COMMAND, static_cast<WPARAM>(command), 0);
  return 1;
}
