// Menus attached to windows: the window becomes the target of their items, and hears
// WM_INITMENUPOPUP before one of them opens.

#include "swell-menu.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

using namespace cocoa;

void Swell_vVorna_hwnd::swellSetMenu(HMENU menu)
{
  if (NSMenu* incoming = swellMenuOf(menu)) incoming->retain();
  if (HMENU old = std::exchange(m_menu, nullptr))
  {
    SWELL_SetMenuDestination(old, nullptr);
    if (NSMenu* platformMenu = swellMenuOf(old)) platformMenu->release();
  }
  m_menu = swellMenuOf(menu) ? menu : nullptr;
  if (m_menu) SWELL_SetMenuDestination(m_menu, handle());
}

void Swell_vVorna_hwnd::menuNeedsUpdate(NSMenu* menu)
{
  if (!m_wndproc || m_hashaddestroy) return;
  SendMessage(handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(swellMenuHandleOf(menu)), 0);
}
