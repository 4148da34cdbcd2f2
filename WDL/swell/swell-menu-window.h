#pragma once

// What the menus need of the windows: message delivery and the mouse capture.

#include "swell-types.h"

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void ReleaseCapture();
