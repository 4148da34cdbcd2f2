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
