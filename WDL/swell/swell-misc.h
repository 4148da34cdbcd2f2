#pragma once

#include "swell-types.h"

#include "platform/foundation/nsstring.h"

#include <string>

// The small services of the window layer: string conversions, Win32 string,
// rectangle and memory functions, file times, libraries and bundles, paths,
// identifiers, configuration and the application-wide switches.

// Strings. A platform string from UTF-8 bytes; bytes that are not UTF-8 are taken as
// ASCII, each byte above 127 becoming '?'. Null is the empty string.
cocoa::NSString SWELL_CStringToCFString(const char* text);
// Stores the string as UTF-8 in buf when it fits in size bytes, else its first size - 1
// bytes (a multi-byte character may be split). size < 1 does nothing; a null string
// leaves buf empty.
void SWELL_CFStringToCString(const cocoa::NSString* str, char* buf, int size);

// At most n - 1 characters and a NUL; n <= 0 changes nothing.
char* lstrcpyn(char* dst, const char* src, int n);
// a * b / c truncated toward zero; 0 when c is 0, -1 when the result is not an int.
int MulDiv(int a, int b, int c);
// Accepted and ignored: the floating-point control word is left as it is.
unsigned int _controlfp(unsigned int newValue, unsigned int mask);

// Rectangles. A point is inside when left <= x < right and between top and bottom in
// whichever order they come.
BOOL SWELL_PtInRect(const RECT* r, POINT p);
BOOL WinOffsetRect(RECT* r, int dx, int dy);
BOOL WinSetRect(RECT* r, int left, int top, int right, int bottom);
// out is the overlap; 0 (with out zeroed) when there is none.
BOOL WinIntersectRect(RECT* out, const RECT* a, const RECT* b);
// out covers both; a rectangle counts as empty only when it has neither width nor height.
void WinUnionRect(RECT* out, const RECT* a, const RECT* b);

// Global memory: the handle is the data, preceded by its size and lock count. Flags are
// ignored and the memory is not cleared.
HANDLE GlobalAlloc(int flags, int size);
void* GlobalLock(HANDLE h);
void GlobalUnlock(HANDLE h);
int GlobalSize(HANDLE h);
void GlobalFree(HANDLE h);

// Creation (status change), access and write times of an open file.
BOOL GetFileTime(int fd, FILETIME* creation, FILETIME* access, FILETIME* write);

// Libraries. A path that names a folder is a bundle: the shared object inside it (the one
// named after the folder, else the first in name order) is loaded. Loading the same
// library again gives the same instance with one more reference.
HINSTANCE LoadLibrary(const char* path);
HINSTANCE LoadLibraryGlobals(const char* path, bool globals);
void* GetProcAddress(HINSTANCE instance, const char* name);
BOOL FreeLibrary(HINSTANCE instance);
// The bundle of an instance; null for a plain library.
void* SWELL_GetBundle(HINSTANCE instance);
// The file of a plain library (found through the last symbol looked up in it), the folder
// of a bundle, or for a null instance the folder of the running program. Returns the
// length written.
DWORD GetModuleFileName(HINSTANCE instance, char* buf, DWORD size);

// $TMPDIR (or "/tmp/") with a trailing '/', cut to size - 1 characters.
BOOL GetTempPath(int size, char* buf);
// 16 random bytes; 0 when none could be had.
BOOL SWELL_GenerateGUID(void* out16);

// Configuration: "APPNAME" and "FONTPANGRAM" keep the text by pointer, "INIFILE" copies the
// default settings file path (null removes it). Always null.
void* SWELL_ExtendedAPI(const char* key, void* value);
extern const char* g_swell_appname;
extern const char* g_swell_fontpangram;
int SWELL_GetOSXVersion();

// Switches.
void SWELL_EnableRightClickEmulate(BOOL enable);
BOOL IsRightClickEmulateEnabled();
// Marks the application as quitting and asks it to terminate.
void SWELL_PostQuitMessage(void* sender);
extern bool g_swell_terminating;
// Counts requests to keep the application responsive while in the background; the first
// one above zero begins an activity, a return to zero ends it.
void SWELL_DisableAppNap(int delta);

namespace swell
{
// For the layer's own files: the "INIFILE" path (empty when none was set), and whether an
// App Nap activity is held.
std::string defaultIniFile();
bool appNapActivityHeld();
}  // namespace swell
