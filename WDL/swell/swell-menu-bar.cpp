#include "swell-menu-internal.h"
#include "swell-menu-window.h"
#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

using namespace cocoa;

namespace
{
NSObject* objectOf(HWND hwnd)
{
  return reinterpret_cast<NSObject*>(hwnd);
}

// A window keeps its menu in its content view.
SWELL_MenuHolder* menuHolderOf(HWND hwnd)
{
  NSObject* object = objectOf(hwnd);
  if (auto* holder = respondsTo<SWELL_MenuHolder>(object)) return holder;
  if (auto* window = dynamic_cast<NSWindow*>(object)) return respondsTo<SWELL_MenuHolder>(window->contentView());
  return nullptr;
}

// The window that hwnd stands for: itself, or the window of its content view.
NSWindow* topLevelWindowOf(HWND hwnd)
{
  NSObject* object = objectOf(hwnd);
  if (auto* window = dynamic_cast<NSWindow*>(object)) return window;
  auto* view = dynamic_cast<NSView*>(object);
  return view && view->window() && view->window()->contentView() == view ? view->window() : nullptr;
}
}  // namespace

int SetMenu(HWND hwnd, HMENU handle)
{
  SWELL_MenuHolder* holder = menuHolderOf(hwnd);
  NSMenu* menu = swell::menuOf(handle);
  if (!holder || g_swell_terminating || (handle && !menu)) return 0;
  holder->swellSetMenu(handle);
  NSWindow* window = topLevelWindowOf(hwnd);
  if (window && window->isKeyWindow() && NSApp()->mainMenu() != menu)
  {
    NSApp()->setMainMenu(menu);
    if (menu) SendMessage(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), 0);
  }
  return 1;
}

HMENU GetMenu(HWND hwnd)
{
  SWELL_MenuHolder* holder = menuHolderOf(hwnd);
  return holder ? holder->swellGetMenu() : nullptr;
}

void DrawMenuBar(HWND) {}

void SWELL_SetCurrentMenu(HMENU handle)
{
  NSMenu* menu = swell::menuOf(handle);
  if (menu && !g_swell_terminating) NSApp()->setMainMenu(menu);
}

HMENU SWELL_GetCurrentMenu()
{
  NSMenu* menu = NSApp()->mainMenu();
  return menu ? swell::handleOf(menu) : nullptr;
}
