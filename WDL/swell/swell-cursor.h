#pragma once

// Cursors and the mouse position. Screen coordinates are the layer's: origin at the lower
// left of the main screen, y up. Hiding the cursor (a visibility count below zero) holds the
// pointer in place and switches to relative mode: the mouse's motion still moves a
// remembered position, which GetCursorPos and the mouse messages report.

#include "swell-types.h"

#include "platform/foundation/geometry.h"

namespace cocoa
{
class NSEvent;
class NSView;
}  // namespace cocoa

// The standard cursors by their Win32 ids (IDC_ARROW, ...), or a registered cursor resource
// by its id pointer; null for anything else. A cursor of either kind is made once and kept.
HCURSOR SWELL_LoadCursor(const char* id);
// A path (containing '/'), or the name of a ".cur" file in the application's resources or
// of one of its images; null when nothing loads. Cursor files are read in memory, every
// length and offset checked.
HCURSOR SWELL_LoadCursorFromFile(const char* name);
// Makes `name` (as for SWELL_LoadCursorFromFile) with the hot spot available as the cursor
// resource `id`.
void SWELL_Register_Cursor_Resource(const char* id, const char* name, int hotX, int hotY);

// Null (or anything that is no cursor) shows the arrow and forgets the last cursor set.
void SWELL_SetCursor(HCURSOR cursor);
HCURSOR SWELL_GetCursor();
HCURSOR SWELL_GetLastSetCursor();
bool SWELL_IsCursorVisible();
// Counts up for show, down for hide; the new count.
int SWELL_ShowCursor(BOOL show);
BOOL SWELL_SetCursorPos(int x, int y);
BOOL GetCursorPos(POINT* p);
// The cursor position packed: x in the low 16 bits, y in the high 16.
DWORD GetMessagePos();
// Where a mouse event happened, in the view's coordinates; in relative mode the remembered
// position, which a mouse move (WM_MOUSEMOVE) first shifts by the event's motion.
cocoa::NSPoint swellProcessMouseEvent(int msg, cocoa::NSView* view, cocoa::NSEvent* event);
