#pragma once

// The Win32-style window functions. A handle is a top-level window or a view of the
// platform layer (normally a window view, swell-wnd-view.h); each function decides by what
// the object answers, a window and its content view standing for the same window. A null
// handle, or an object that is neither, gives the neutral result (0, false or null).
// Everything here runs on the main thread, except PostMessage, SetTimer and KillTimer
// (swell-timer.h).

#include "swell-types.h"
#include "swell-wnd-messages.h"

namespace cocoa
{
class NSEvent;
}

// ---- messages

// Synchronous and re-entrant: the procedure may send further messages, and may destroy the
// window it answers for.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Every window's content view that takes messages; WM_DISPLAYCHANGE also invalidates it.
void SWELL_BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam);
// Queued for the main thread, from any thread (swell-timer.h).
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- text

// id 0 is the handle itself. The text of a window view, or a window's title; at most
// size - 1 bytes and a terminating zero.
BOOL GetDlgItemText(HWND hwnd, int id, char* buf, int size);
// On a content view the title of its window changes as well.
BOOL SetDlgItemText(HWND hwnd, int id, const char* text);
BOOL SetDlgItemInt(HWND hwnd, int id, int value, BOOL isSigned);
int GetDlgItemInt(HWND hwnd, int id, BOOL* translated, BOOL isSigned);

// ---- finding windows

// id 0 is the handle itself; otherwise the direct subview with that tag (one level only), or
// the control inside a direct scroll or clip view.
HWND GetDlgItem(HWND hwnd, int id);
HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, int cmd);
BOOL IsChild(HWND parent, HWND child);
// The deepest view under a screen point in the frontmost window holding it.
HWND WindowFromPoint(POINT screen);
BOOL EnumWindows(BOOL (*proc)(HWND, LPARAM), LPARAM lParam);
// Depth first, parents before their children, a control in a scroll view as itself; false as
// soon as proc is. Children that proc destroys are skipped.
BOOL EnumChildWindows(HWND hwnd, BOOL (*proc)(HWND, LPARAM), LPARAM lParam);
HWND GetFocus();
HWND GetForegroundWindow();
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);

// ---- changing windows

// SW_HIDE, SW_SHOWNA, SW_SHOW, SW_SHOWMINIMIZED; a content view passes the command on to its
// window.
void ShowWindow(HWND hwnd, int cmd);
void DestroyWindow(HWND hwnd);
// A content view moved into another view leaves its window, which is destroyed; a child view
// with a null parent becomes top-level; a control moves with its scroll view. The previous
// superview, the new parent or null.
HWND SetParent(HWND hwnd, HWND newParent);
// Flags SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER; coordinates are the parent's (screen
// coordinates, y up and the lower edge, for a window). A negative cy counts as |cy|.
void SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, int flags);
// The previous value; GWL_STYLE on a content view may rebuild its window, on a button it
// makes it another kind of button, on a combo box or list view it replaces the style kept.
LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLong(HWND hwnd, int index);
#define SetWindowLongPtr SetWindowLong
#define GetWindowLongPtr GetWindowLong
// -1000 enables without ever taking the keyboard focus.
void EnableWindow(HWND hwnd, int enable);
void SetFocus(HWND hwnd);
void SetForegroundWindow(HWND hwnd);
void SetAllowNoMiddleManRendering(HWND hwnd, bool allow);

// Properties: a name above 0xFFFF is a string (copied), one up to 0xFFFF an atom.
BOOL SetProp(HWND hwnd, const char* name, void* value);
void* GetProp(HWND hwnd, const char* name);
void* RemoveProp(HWND hwnd, const char* name);
// -1 without properties, 0 when proc stopped it, else 1.
int EnumPropsEx(HWND hwnd, int (*proc)(HWND, const char*, void*, LPARAM), LPARAM lParam);

// ---- geometry (integers; platform coordinates round with floor(v + 0.5))

// A window: its frame in screen coordinates, y up, with `top` the lower edge. A view: its
// bounds' corners in screen coordinates.
BOOL GetWindowRect(HWND hwnd, RECT* r);
void GetWindowContentViewRect(HWND hwnd, RECT* r);
// The bounds as the window procedure leaves them after WM_NCCALCSIZE.
void GetClientRect(HWND hwnd, RECT* r);
void ScreenToClient(HWND hwnd, POINT* p);
void ClientToScreen(HWND hwnd, POINT* p);
// The screen holding the centre of ref (the first screen without it), whole or its work area.
void SWELL_GetViewPort(RECT* out, const RECT* ref, bool workArea);

// ---- invalidation and painting

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
void UpdateWindow(HWND hwnd);
void SWELL_FlushWindow(HWND hwnd);
// Only while the window paints: its context and the rectangle being painted.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, PAINTSTRUCT* ps);
void SWELL_SetWindowFlip(HWND hwnd, bool flipped);
// OpenGL is not available: no view takes a context, none is made current.
void SWELL_SetViewGL(HWND hwnd, char enable);
bool SWELL_GetViewGL(HWND hwnd);
bool SWELL_SetGLContextToView(HWND hwnd);

// ---- mouse capture and default handling

HWND SetCapture(HWND hwnd);
void ReleaseCapture();
HWND GetCapture();
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// For an event loop that lets window views claim mouse events over their non-client areas:
// true when a view took the event.
bool SWELL_HandleMouseEvent(cocoa::NSEvent* event);
// Copies the gesture record of a WM_GESTURE message (cbSize bytes at most).
bool SWELL_GetGestureInfo(LPARAM lParam, GESTUREINFO* out);

// ---- top-level windows and menus

// A new modeless window around an existing view, owned by `owner` when given. A titled window
// without an owner can become the application's main window and shows the main menu in its
// title strip; owned windows and dialogs do not.
HWND SWELL_CreateModelessFrameForWindow(HWND view, HWND owner, unsigned styleMask);
void SWELL_SetDefaultWindowMenu(HMENU menu);
HMENU SWELL_GetDefaultWindowMenu();
void SWELL_SetDefaultModalWindowMenu(HMENU menu);
HMENU SWELL_GetDefaultModalWindowMenu();
// Owned windows float above their owners.
extern bool SWELL_owned_windows_levelincrease;
