#pragma once

// What the menus need of the windows: message delivery, the mouse capture, and windows
// that keep a menu.

#include "swell-types.h"

#define WM_COMMAND 0x0111
#define WM_INITMENUPOPUP 0x0117

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void ReleaseCapture();

// A window that keeps a menu answers this (swellSetMenu:, swellGetMenu).
class SWELL_MenuHolder
{
public:
  // Stores the menu and makes the window its command destination.
  virtual void swellSetMenu(HMENU menu) = 0;
  virtual HMENU swellGetMenu() = 0;

protected:
  ~SWELL_MenuHolder() = default;
};
