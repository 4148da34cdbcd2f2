#pragma once

// Until the layer's own windows can hold them, the menu tests give their menus to this
// window view. This file's source also answers the two calls the menus make of the windows,
// SendMessage (recorded, and handed to the view's handler) and ReleaseCapture (counted).

#include "swell-menu.h"
#include "swell-menu-window.h"

#include "platform/appkit/view.h"

#include <functional>
#include <vector>

struct SentMessage
{
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const SentMessage&) const = default;
};

class MenuTestView : public cocoa::NSView, public SWELL_MenuHolder
{
public:
  explicit MenuTestView(cocoa::NSRect frame) : NSView(frame) {}
  void swellSetMenu(HMENU menu) override { m_menu = menu; }
  HMENU swellGetMenu() override { return m_menu; }

  std::function<LRESULT(UINT, WPARAM, LPARAM)> handler;

protected:
  // A window lets its menu go with it.
  void dealloc() override
  {
    if (m_menu) DestroyMenu(m_menu);
    NSView::dealloc();
  }

private:
  HMENU m_menu = nullptr;
};

inline HWND hwndOf(cocoa::NSObject* object)
{
  return reinterpret_cast<HWND>(object);
}

std::vector<SentMessage>& sentMessages();
int releaseCaptureCount();
