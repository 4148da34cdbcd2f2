#pragma once

// The clipboard: formats registered by name and numbered from 1. Text ("SWELL__CF_TEXT") is
// the desktop's clipboard text and lives on the general pasteboard; every other format on
// the application's own pasteboard. Data travels in GlobalAlloc handles.

#include "swell-types.h"

UINT RegisterClipboardFormat(const char* name);
bool OpenClipboard(HWND hwnd);
// The formats on the application's pasteboard at the last OpenClipboard, in its order.
UINT EnumClipboardFormats(UINT format);
// A new handle the layer keeps until the next CloseClipboard; null when there is no such data.
HANDLE GetClipboardData(UINT format);
void EmptyClipboard();
// The handle belongs to the layer from now on.
void SetClipboardData(UINT format, HANDLE handle);
// Writes what was set since the clipboard was opened or emptied.
void CloseClipboard();
