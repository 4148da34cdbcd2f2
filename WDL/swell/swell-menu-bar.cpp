#include "swell-menu-internal.h"
#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

using namespace cocoa;

namespace
{
// A window keeps its menu in its content view.
SWELL_MenuHolder* menuHolderOf(HWND hwnd)
{
  return respondsTo<SWELL_MenuHolder>(swell::viewOrContentView(hwnd));
}

// The window that hwnd stands for: itself, or the window of its content view.
NSWindow* topLevelWindowOf(HWND hwnd)
{
  if (NSWindow* window = swell::asWindow(hwnd)) return window;
  NSView* view = swell::asView(hwnd);
  return swell::isContentView(view) ? view->window() : nullptr;
}
}  // namespace

int SetMenu(HWND hwnd, HMENU handle)
{
  SWELL_MenuHolder* holder = menuHolderOf(hwnd);
  NSMenu* menu = swellMenuOf(handle);
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
  NSMenu* menu = swellMenuOf(handle);
  if (menu && !g_swell_terminating) NSApp()->setMainMenu(menu);
}

HMENU SWELL_GetCurrentMenu()
{
  NSMenu* menu = NSApp()->mainMenu();
  return menu ? swellMenuHandleOf(menu) : nullptr;
}
