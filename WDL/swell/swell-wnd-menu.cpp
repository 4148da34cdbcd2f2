// Menus attached to windows: the window becomes the target of their items, and hears
// WM_INITMENUPOPUP before one of them opens.

#include "swell-menu.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

using namespace cocoa;

// The window takes over the caller's reference; the destroy sequence lets it go. A menu
// replaced here is only detached: its reference is the caller's again.
void Swell_vVorna_hwnd::swellSetMenu(HMENU menu)
{
  if (m_menu) SWELL_SetMenuDestination(m_menu, nullptr);
  m_menu = swellMenuOf(menu) ? menu : nullptr;
  if (m_menu) SWELL_SetMenuDestination(m_menu, handle());
}

void Swell_vVorna_hwnd::menuNeedsUpdate(NSMenu* menu)
{
  if (!m_wndproc || m_hashaddestroy) return;
  SendMessage(handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(swellMenuHandleOf(menu)), 0);
}
