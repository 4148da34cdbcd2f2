#pragma once

// Dialog controls: making them from a creation context or a dialog's control table, the
// messages and dialog-item functions that read and change them, and the message box. Main
// thread only. The dialog-item functions take a dialog (or any view) and a control id; id 0
// means the handle itself. Each gives its neutral result (0, -1 or nothing) when the id names
// no control or a control of another kind.

#include "swell-types.h"
#include "swell-wnd-messages.h"

// ---- message and notification numbers

#define WM_VSCROLL 0x0115
#define WM_SETFONT 0x0030
#define WM_DRAWITEM 0x002B

#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETIMAGE 0x00F6
#define BM_SETIMAGE 0x00F7
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BST_INDETERMINATE 2
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define BN_CLICKED 0

#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_FINDSTRINGEXACT 0x0158
#define CB_ERR (-1)
#define CBN_SELCHANGE 1
#define CBN_EDITCHANGE 5
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8

#define TBM_GETPOS 0x0400
#define TBM_SETTIC 0x0404
#define TBM_SETPOS 0x0405
#define TBM_SETRANGE 0x0406

// The layer's edit messages: the Win32 numbers plus 0xF000.
#define EM_GETSEL 0xF0B0
#define EM_SETSEL 0xF0B1
#define EM_SCROLL 0xF0B5
#define SB_TOP 6
#define SB_BOTTOM 7
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300

// Message-box types and answers.
#define MB_OK 0
#define MB_OKCANCEL 1
#define MB_YESNOCANCEL 3
#define MB_YESNO 4
#define MB_RETRYCANCEL 5
#define IDRETRY 4
#define IDYES 6
#define IDNO 7

// What an owner-drawn button's parent gets with WM_DRAWITEM: the button, a context to draw
// into and the button's rectangle in it.
#define ODT_BUTTON 4
struct DRAWITEMSTRUCT
{
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  UINT_PTR itemData;
};

// ---- style bits the creators read

#define SWELL_NOT_WS_VISIBLE ((int)0x80000000)  // created hidden
#define SWELL_BS_GROUPBOX 0x20000000
#define SWELL_BS_DEFPUSHBUTTON 0x10000000
#define SWELL_BS_PUSHBUTTON 0x08000000
#define BS_LEFTTEXT 0x20
#define BS_BITMAP 0x80
#define BS_LEFT 0x100
#define BS_CENTER 0x300
#define BS_AUTOCHECKBOX 3
#define BS_AUTO3STATE 6
#define BS_AUTORADIOBUTTON 9
#define BS_OWNERDRAW 11
#define ES_CENTER 1
#define ES_RIGHT 2
#define ES_PASSWORD 0x20
#define ES_READONLY 0x800
#define WS_HSCROLL 0x100000
#define WS_VSCROLL 0x200000
#define SS_CENTER 1
#define SS_RIGHT 2
#define SS_BLACKRECT 4
#define SS_LEFTNOWORDWRAP 0xC
#define SS_NOTIFY 0x100
#define CBS_DROPDOWNLIST 3
#define CBS_SORT 0x100

// One record of a dialog's control table: a marker ("__SWELL_BUTTON", "__SWELL_EDIT",
// "__SWELL_COMBO", "__SWELL_LISTBOX", "__SWELL_GROUP", "__SWELL_CHECKBOX", "__SWELL_LABEL")
// or, for any other control, its caption with the class name in str2.
struct SWELL_DialogListEntry
{
  const char* str1;
  int flag1;
  const char* str2;
  int p1, p2, p3, p4, p5, p6;
};

// Returns the new control, or null to leave the class to the next creator.
typedef HWND (*SWELL_ControlCreatorProc)(HWND parent, const char* caption, int id, const char* classname,
                                         int style, int x, int y, int w, int h);

// ---- creation

// Every creator until the next call places its control in `parent` (a window stands for its
// content view): x' = (x + xtrans) * xscale, and y measured downward from the top of a
// flipped parent. Auto-right moves a control placed just right of one that grew to fit its
// text; size-to-fit grows labels and buttons to their text.
void SWELL_MakeSetCurParms(float xscale, float yscale, float xtrans, float ytrans, HWND parent, bool doautoright,
                           bool dosizetofit);
void SWELL_GenerateDialogFromList(const void* list, int count);
// `def` non-zero makes it its window's default button (the one Return presses).
HWND SWELL_MakeButton(int def, const char* label, int id, int x, int y, int w, int h, int style);
HWND SWELL_MakeEditField(int id, int x, int y, int w, int h, int style);
// align < 0 left, 0 centred, > 0 right.
HWND SWELL_MakeLabel(int align, const char* label, int id, int x, int y, int w, int h, int style);
HWND SWELL_MakeCheckBox(const char* label, int id, int x, int y, int w, int h, int style);
// List boxes come with the list view; until then null.
HWND SWELL_MakeListBox(int id, int x, int y, int w, int h, int style);
HWND SWELL_MakeGroupBox(const char* name, int id, int x, int y, int w, int h, int style);
// The height is the platform's own (h is not used).
HWND SWELL_MakeCombo(int id, int x, int y, int w, int h, int style);
// By class name: "Edit", "static", "Button", "COMBOBOX", "msctls_trackbar32", "REAPERhfader",
// or whatever a registered creator makes; null for any other name.
HWND SWELL_MakeControl(const char* caption, int id, const char* classname, int style, int x, int y, int w, int h,
                       int exstyle);
// Registered as often as unregistered; tried in registration order.
void SWELL_RegisterCustomControlCreator(SWELL_ControlCreatorProc creator);
void SWELL_UnregisterCustomControlCreator(SWELL_ControlCreatorProc creator);

// ---- buttons

// BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE (a three-state box).
void CheckDlgButton(HWND hwnd, int id, int check);
int IsDlgButtonChecked(HWND hwnd, int id);

// ---- combo boxes (drop-down lists and editable combo boxes)

int SWELL_CB_AddString(HWND hwnd, int id, const char* text);
// pos -1000 appends (or takes the sorted place with CBS_SORT); others are clamped to the
// items. The position used.
int SWELL_CB_InsertString(HWND hwnd, int id, int pos, const char* text);
void SWELL_CB_DeleteString(HWND hwnd, int id, int index);
int SWELL_CB_GetNumItems(HWND hwnd, int id);
int SWELL_CB_GetCurSel(HWND hwnd, int id);
// With a buffer (at most size bytes, nothing written below 1): 1, or -1 for no such item.
// Without: the text's byte length plus 64.
int SWELL_CB_GetItemText(HWND hwnd, int id, int index, char* buf, int size);
void SWELL_CB_Empty(HWND hwnd, int id);
// An index outside the items clears the selection.
void SWELL_CB_SetCurSel(HWND hwnd, int id, int index);
LONG_PTR SWELL_CB_GetItemData(HWND hwnd, int id, int index);
void SWELL_CB_SetItemData(HWND hwnd, int id, int index, LONG_PTR value);
// Items after `start` to the last, without wrapping; ASCII case ignored; exact compares the
// whole text, otherwise the item begins with it. -1 when none matches.
int SWELL_CB_FindString(HWND hwnd, int id, int start, const char* text, bool exact);

// ---- track bars

int SWELL_TB_GetPos(HWND hwnd, int id);
void SWELL_TB_SetPos(HWND hwnd, int id, int pos);
void SWELL_TB_SetRange(HWND hwnd, int id, int low, int high);
void SWELL_TB_SetTic(HWND hwnd, int id, int pos);

// ---- questions about controls

bool SWELL_IsGroupBox(HWND hwnd);
bool SWELL_IsButton(HWND hwnd);
// Any text field: labels and single-line edit fields.
bool SWELL_IsStaticText(HWND hwnd);
// The size the control would take to fit its content; its frame stays as it was.
void SWELL_GetDesiredControlSize(HWND hwnd, RECT* out);
// True when both stand for the same text control: equal, or one is the editor the other
// (a single-line field) edits through.
BOOL IsEquivalentTextView(HWND a, HWND b);
// Asks the dialog procedure for the text colours of the view's labels, check boxes, radio
// buttons and group boxes (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN); with useDefaults, controls
// the procedure leaves alone get the system text colour.
void SWELL_DoDialogColorUpdates(HWND hwnd, DLGPROC dlgproc, bool useDefaults);

// ---- message boxes

// MB_OK, MB_OKCANCEL, MB_YESNOCANCEL, MB_YESNO or MB_RETRYCANCEL as the whole type; the
// pressed button's IDOK, IDCANCEL, IDRETRY, IDYES or IDNO. Any other type shows nothing and
// gives 0. The owner is not used.
int MessageBox(HWND owner, const char* text, const char* caption, int type);

// One button of a message box: its title and what pressing it answers.
struct SWELL_MessageBoxButton
{
  const char* title;
  int result;
};

// The one presenter of message boxes: a modal dialog with the title, the text (shown as
// given, no formatting) and the buttons from right to left in the order given, the first the
// default one (Return). Escape, Command+W and closing the window answer escapeResult when a
// button answers it, and do nothing otherwise. The answer is the pressed button's result.
int SWELL_ShowMessageBoxDialog(const char* text, const char* title, const SWELL_MessageBoxButton* buttons, int count,
                               int escapeResult);
