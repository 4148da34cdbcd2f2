#pragma once

// System metrics, scrolling a window's children, finding windows, opening documents and
// web addresses, and the focus-rectangle overlay.

#include "swell-types.h"

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYVSCROLL 20
#define SM_CXHSCROLL 21

// Screen size; scroll bar sizes 16; every other index 0.
int GetSystemMetrics(int index);
// Moves every direct child by (dx, dy); 0 when there is nothing to move by or no view.
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scrollRect, const RECT* clipRect);
// Children of a parent (after `after`), or top-level windows by title; className "Static"
// asks for labels.
HWND FindWindowEx(HWND parent, HWND after, const char* className, const char* title);
// Opens web addresses and documents with the desktop's opener (xdg-open) and starts programs
// found on PATH with a document, without a shell; 1 when something started.
BOOL ShellExecute(HWND hwnd, const char* verb, const char* file, const char* params, const char* dir, int show);
// Shows, moves or (rect null) removes the focus-rectangle window kept in the caller's slot.
void SWELL_DrawFocusRect(HWND hwnd, const RECT* rect, void** slot);
