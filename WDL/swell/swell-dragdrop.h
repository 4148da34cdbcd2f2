#pragma once

// Files dropped on windows that take them (WM_DROPFILES with a drop handle), the optional
// hooks an application may set, and the source side of dragging files out.

#include "swell-types.h"

#include <string>
#include <vector>

#define WM_DROPFILES 0x0233

typedef HANDLE HDROP;

// Hooks the application may set; null by default. Screen points are whole units.
extern void (*SWELL_DDrop_onDragEnter)(HANDLE dropHandle, POINT screen);
extern void (*SWELL_DDrop_onDragOver)(POINT screen);
extern void (*SWELL_DDrop_onDragLeave)();
// The folder promised files go to; null or empty means "/tmp/".
extern const char* (*SWELL_DDrop_getDroppedFileTargetPath)(const char* fileType);

// Reading a drop handle: i = 0xFFFFFFFF gives the number of names; otherwise the i-th name,
// at most size - 1 bytes and a terminator (nothing for a size below 1), and the length of
// what was copied, or the name's length without a buffer.
UINT DragQueryFile(HDROP drop, UINT index, char* buf, UINT size);
// True when the drop landed in the client area.
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

// Builds a drop handle: the names in order, then an empty one.
HANDLE swellMakeDropHandle(const std::vector<std::string>& names, POINT point);

// Starting drags from a window view. Linux desktops have no promised-file service and the
// platform no drag sessions of its own, so no drag starts: a promise is kept pending (for
// SWELL_DoDragDrop) and forgotten again as on the Mac.
void SWELL_InitiateDragDrop(HWND hwnd, RECT* srcRect, const char* srcFile, void (*callback)(const char* dropPath));
void SWELL_InitiateDragDropOfFileList(HWND hwnd, RECT* srcRect, const char** paths, int count, HICON icon);
void SWELL_FinishDragDrop();
// Fulfils the pending promise in the folder: the callback writes the file. When a file of
// that name is there, a question decides: keep both (the new one takes the first free name
// "base NNN.ext"), stop, or replace. Returns the file names made (one at most); empty when
// none was.
std::vector<std::string> SWELL_DoDragDrop(const char* folder);
