#pragma once

// The records and handle types of the Win32-style interface that more than one
// layer shares. Handles are pointers to incomplete structs so that each kind is
// its own type and a wrong handle does not compile.

struct HDC__;
typedef HDC__* HDC;

struct RECT
{
  int left, top, right, bottom;  // right and bottom are exclusive
};

struct POINT
{
  int x, y;
};

// Integer types of the Win32 interface, at the widths its callers assume.
typedef int BOOL;
typedef unsigned int DWORD;

// 100-nanosecond units since 1601, low half first.
struct FILETIME
{
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// A loaded library or bundle (LoadLibrary), and a global-memory block (GlobalAlloc),
// whose handle is the address of its data.
struct SWELL_HINSTANCE;
typedef SWELL_HINSTANCE* HINSTANCE;
typedef void* HANDLE;

// A window handle stands for the platform view (or window) behind it.
struct HWND__;
typedef HWND__* HWND;

// Pens, brushes, fonts, bitmaps and icons share one record type.
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBITMAP;
typedef HGDIOBJ HICON;

struct HIMAGELIST__;
typedef HIMAGELIST__* HIMAGELIST;

struct TEXTMETRIC
{
  int tmHeight;
  int tmAscent;
  int tmDescent;
  int tmInternalLeading;
  int tmAveCharWidth;
};

struct LOGFONT
{
  int lfHeight;
  int lfWidth;
  int lfEscapement;
  int lfOrientation;
  int lfWeight;
  unsigned char lfItalic;
  unsigned char lfUnderline;
  unsigned char lfStrikeOut;
  unsigned char lfCharSet;
  unsigned char lfOutPrecision;
  unsigned char lfClipPrecision;
  unsigned char lfQuality;
  unsigned char lfPitchAndFamily;
  char lfFaceName[32];
};

// What GetObject tells of a bitmap.
struct BITMAP
{
  int bmWidth;
  int bmHeight;
  int bmWidthBytes;
  unsigned short bmPlanes;
  unsigned short bmBitsPixel;
  void* bmBits;
};

struct ICONINFO
{
  BOOL fIcon;
  int xHotspot;
  int yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
};

// Text drawing flags.
#define DT_TOP 0x0
#define DT_LEFT 0x0
#define DT_CENTER 0x1
#define DT_RIGHT 0x2
#define DT_VCENTER 0x4
#define DT_BOTTOM 0x8
#define DT_SINGLELINE 0x20
#define DT_NOCLIP 0x100
#define DT_CALCRECT 0x400
#define DT_NOPREFIX 0x800

#define GGI_MARK_NONEXISTING_GLYPHS 1

// Background modes: 1, not Win32's 2, fills behind text.
#define TRANSPARENT 0
#define OPAQUE 1

// Stock objects this layer has.
#define NULL_PEN 1
#define NULL_BRUSH 2

#define PS_SOLID 0

#define FW_NORMAL 400
#define FW_BOLD 700

#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4

// Raster operations: every one copies, except that this one takes the source's alpha
// channel into account.
#define SRCCOPY 0x00CC0020
#define SRCCOPY_USEALPHACHAN 0xDEADBEEF

// ---- windows and messages

#include <cstdint>

typedef unsigned int UINT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef unsigned long long ULONGLONG;

// A window procedure and a dialog procedure take the same arguments.
typedef LRESULT (*WNDPROC)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
typedef LRESULT (*DLGPROC)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
typedef void (*TIMERPROC)(HWND hwnd, UINT msg, UINT_PTR id, DWORD time);

// A menu stands for the platform menu behind it.
struct HMENU__;
typedef HMENU__* HMENU;

// A cursor stands for the platform cursor behind it.
struct HCURSOR__;
typedef HCURSOR__* HCURSOR;

// A message as a queue holds it: the window, the message and its parameters, when it was
// made and where the pointer was.
struct MSG
{
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

struct PAINTSTRUCT
{
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};

struct WINDOWPOS;

// WM_NCCALCSIZE: the first rectangle comes in as the window rectangle and goes out as the
// client rectangle.
struct NCCALCSIZE_PARAMS
{
  RECT rgrc[3];
  WINDOWPOS* lppos;
};

struct MINMAXINFO
{
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct POINTS
{
  short x, y;
};

// What a WM_GESTURE message carries (SWELL_GetGestureInfo copies it out).
struct GESTUREINFO
{
  UINT cbSize;
  DWORD dwFlags;
  DWORD dwID;
  HWND hwndTarget;
  POINTS ptsLocation;
  DWORD dwInstanceID;
  DWORD dwSequenceID;
  ULONGLONG ullArguments;
  UINT cbExtraArgs;
};

// One registered dialog: its identifier (compared by address), title, flags (bit 0 child
// dialog, bit 1 resizable, bit 2 flipped, bit 4 opaque, bit 5 accepts dropped files), the
// function that makes its controls, and its client size.
struct SWELL_DialogResourceIndex
{
  const char* resid;
  const char* title;
  int windowTypeFlags;
  void (*createFunc)(HWND view, int flags);
  int width, height;
  SWELL_DialogResourceIndex* _next;
};
