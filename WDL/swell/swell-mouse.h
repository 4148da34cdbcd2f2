#pragma once

#include "swell-types.h"

namespace cocoa
{
class NSEvent;
class NSView;
}  // namespace cocoa

// Delivers one mouse message for a platform event to a window view: to the view holding the
// capture instead when that is another window view of the same window; through the
// non-client test first (answers other than HTCLIENT turn button and move messages into
// their WM_NC forms); WM_SETCURSOR after moves and releases. -1 when the view is destroyed
// or has no procedure (also when its WM_NCHITTEST destroyed it), 0 for a null view.
LRESULT SWELL_SendMouseMessage(cocoa::NSView* view, UINT msg, cocoa::NSEvent* event);
