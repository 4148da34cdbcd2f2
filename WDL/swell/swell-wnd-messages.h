#pragma once

// Message, notification, style and command numbers of the window layer. They are the
// published Win32 values, except where this layer numbers its own (ShowWindow commands,
// SetWindowPos flags, window word -8).

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_SETCURSOR 0x0020
#define WM_MOUSEACTIVATE 0x0021
#define WM_GETMINMAXINFO 0x0024
#define WM_GETOBJECT 0x003D
#define WM_NOTIFY 0x004E
#define WM_CONTEXTMENU 0x007B
#define WM_DISPLAYCHANGE 0x007E
#define WM_NCCALCSIZE 0x0083
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define WM_NCLBUTTONDBLCLK 0x00A3
#define WM_NCRBUTTONDOWN 0x00A4
#define WM_NCRBUTTONUP 0x00A5
#define WM_NCRBUTTONDBLCLK 0x00A6
#define WM_NCMBUTTONDOWN 0x00A7
#define WM_NCMBUTTONUP 0x00A8
#define WM_NCMBUTTONDBLCLK 0x00A9
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_INITMENUPOPUP 0x0117
#define WM_GESTURE 0x0119
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#define WM_MOUSEWHEEL 0x020A
#define WM_MOUSEHWHEEL 0x020E
#define WM_CAPTURECHANGED 0x0215
#define WM_USER 0x0400

// WM_ACTIVATE
#define WA_INACTIVE 0
#define WA_ACTIVE 1

// WM_NCHITTEST answers.
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2

#define IDOK 1
#define IDCANCEL 2

#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B

// ShowWindow, in this layer's numbering.
#define SW_HIDE 0
#define SW_SHOWNA 1
#define SW_SHOW 2
#define SW_SHOWMINIMIZED 3

// SetWindowPos, in this layer's numbering; insert-after handles.
#define SWP_NOMOVE 1
#define SWP_NOSIZE 2
#define SWP_NOZORDER 4
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)

// GetWindow
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

// Window words; -8 is the dialog procedure.
#define GWL_USERDATA (-21)
#define GWL_EXSTYLE (-20)
#define GWL_STYLE (-16)
#define GWL_ID (-12)
#define DWL_DLGPROC (-8)
#define GWL_WNDPROC (-4)

#define WS_CHILD 0x40000000
#define WS_CAPTION 0x00C00000
#define WS_THICKFRAME 0x00040000
#define WS_GROUP 0x00020000
#define WS_EX_ACCEPTFILES 0x00000010

// WM_GESTURE
#define GF_BEGIN 1
#define GF_END 4
#define GID_ZOOM 3
#define GID_PAN 4
#define GID_ROTATE 5

// Standard cursors (SWELL_LoadCursor).
#define IDC_ARROW ((const char*)32512)
#define IDC_IBEAM ((const char*)32513)
#define IDC_UPARROW ((const char*)32516)
#define IDC_SIZENWSE ((const char*)32642)
#define IDC_SIZENESW ((const char*)32643)
#define IDC_SIZEWE ((const char*)32644)
#define IDC_SIZENS ((const char*)32645)
#define IDC_SIZEALL ((const char*)32646)
#define IDC_NO ((const char*)32648)
#define IDC_HAND ((const char*)32649)

// WM_INITDIALOG's answer asking for the focus on the dialog view itself, and a key
// handler's answer handing the key back to the platform.
#define SWELL_INITDIALOG_FOCUS_DIALOG 0xBEEF
#define SWELL_KEY_NOT_HANDLED 69
