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

// Kernel objects (threads, events, child processes) share one handle type, as in Win32:
// each record says what it is.
typedef void* HANDLE;
typedef unsigned int DWORD;
typedef int BOOL;
