// Menus attached to windows: the window becomes the target of their items, and hears
// WM_INITMENUPOPUP before one of them opens.

#include "swell-wnd-view.h"
#include "swell-wnd.h"

using namespace cocoa;

namespace
{
void setDestination(NSMenu* menu, NSObject* target)
{
  menu->setDelegate(target ? dynamic_cast<NSMenuDelegate*>(target) : nullptr);
  for (NSMenuItem* item : menu->itemArray())
  {
    if (NSMenu* submenu = item->submenu())
      setDestination(submenu, target);
    else if (item->tag())
    {
      item->setTarget(target);
      if (target) item->setAction(Action::onSwellCommand);
    }
  }
}
}  // namespace

void SWELL_SetMenuDestination(HMENU menu, HWND hwnd)
{
  NSMenu* platformMenu = swellMenuOf(menu);
  NSObject* target = swellObjectOf(hwnd);
  if (!platformMenu || (target && !respondsTo<SWELL_CommandTarget>(target))) return;
  setDestination(platformMenu, target);
}

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
