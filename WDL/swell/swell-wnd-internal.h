#pragma once

// Helpers shared by the window files of this layer only.

#include "swell-types.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

#include <cmath>
#include <cstdint>
#include <vector>

class Swell_vVorna_hwnd;

namespace swell
{
inline cocoa::NSWindow* asWindow(HWND hwnd)
{
  return dynamic_cast<cocoa::NSWindow*>(swellObjectOf(hwnd));
}

inline cocoa::NSView* asView(HWND hwnd)
{
  return dynamic_cast<cocoa::NSView*>(swellObjectOf(hwnd));
}

inline bool isContentView(const cocoa::NSView* view)
{
  return view && view->window() && view->window()->contentView() == view;
}

// A window stands for its content view.
inline cocoa::NSView* viewOrContentView(HWND hwnd)
{
  if (cocoa::NSWindow* window = asWindow(hwnd)) return window->contentView();
  return asView(hwnd);
}

// A content view stands for its window; anything else for itself.
inline cocoa::NSObject* windowForContentView(HWND hwnd)
{
  cocoa::NSView* view = asView(hwnd);
  if (isContentView(view)) return view->window();
  return swellObjectOf(hwnd);
}

// Platform coordinates to integers: floor(v + 0.5), so that negative positions read back as
// they were written.
inline int roundCoordinate(double v)
{
  return static_cast<int>(std::floor(v + 0.5));
}

// (y << 16) | (x & 0xFFFF), computed without shifting a negative number.
inline LPARAM packPoint(int x, int y)
{
  return static_cast<LPARAM>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFFu));
}

// WM_NCCALCSIZE with the rectangle as the first of an otherwise empty record; the procedure
// may change it. Sent again from inside its own handler it is not sent, so a handler that
// asks for the client rectangle gets the plain bounds; false then.
bool sendNcCalcSize(HWND hwnd, RECT* rect);

// The view that holds the mouse capture, or null (swell-wnd-capture.cpp).
cocoa::NSView* captureHolder();

// The main thread is the one that started the posted-message queue (before that, the one
// that loaded the layer); requests from other threads go through the queue, which must be
// running for them (swell-timer-queue.cpp).
bool onMainThread();
bool postQueueRunning();

// Posted messages may be addressed to a window view only between its creation and the start
// of its destruction (swell-timer-queue.cpp); the queue checks this under its own lock.
void setPostTarget(HWND hwnd, bool alive);

// Top-level windows (swell-wnd-toplevel.cpp): the owner of a window and its teardown.
HWND ownerOf(cocoa::NSWindow* window);
void destroyOwnedWindows(cocoa::NSWindow* window);
void doDestroyStuff(cocoa::NSWindow* window);
// GWL_STYLE read and set (swell-wnd-style.cpp); setting answers the style read before.
LONG_PTR windowStyle(HWND hwnd);
LONG_PTR setWindowStyle(HWND hwnd, LONG_PTR style);
// GWL_STYLE on a content view: a new top-level window around it when the caption and frame
// bits change (swell-wnd-reparent.cpp). Always 0.
LONG_PTR restyleTopLevel(HWND hwnd, LONG_PTR style);
// A control's delegate (the window view it tells of edits, lists and focus) is not held by it:
// a control can outlive the view that made it, held across a call-out or moved elsewhere. In
// `subtree`, a delegate that is `from` now is `to` (null: no one); with `from` null, every
// delegate outside the subtree is `to` (the subtree was moved under it).
void retargetControlDelegates(cocoa::NSView* subtree, cocoa::NSObject* from, cocoa::NSObject* to);

// Gives a top-level window a content view of its own (with no procedure), so that the view it
// had can go elsewhere and the window be destroyed without it.
void replaceContentView(cocoa::NSWindow* window);
}  // namespace swell
