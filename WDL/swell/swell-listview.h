#pragma once

// List views ("SysListView32") and list boxes ("SysListView32_LB"): report-style rows of
// text cells under column titles, answered through the ListView_ and Header_ functions and
// the LB_ messages. Several values differ from the published ones; callers of this layer use
// these.

#include "swell-ctl.h"
#include "swell-types.h"

typedef int (*PFNLVCOMPARE)(LPARAM, LPARAM, LPARAM);

struct NMHDR
{
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

#define NM_CLICK (-2)
#define NM_DBLCLK (-3)
#define NM_RCLICK (-5)

#define LVIF_TEXT 1
#define LVIF_IMAGE 2
#define LVIF_PARAM 4
#define LVIF_STATE 8
#define LVIS_SELECTED 1
#define LVIS_FOCUSED 2
#define LVIS_STATEIMAGEMASK 0xff0000
#define INDEXTOSTATEIMAGEMASK(i) ((i) << 16)
#define LVNI_SELECTED 1
#define LVNI_FOCUSED 2
#define LVCF_FMT 1
#define LVCF_WIDTH 2
#define LVCF_TEXT 4
#define LVCFMT_LEFT 0
#define LVCFMT_RIGHT 1
#define LVCFMT_CENTER 2
#define LVS_REPORT 1
#define LVS_SINGLESEL 4
#define LVS_SORTASCENDING 0x10
#define LVS_SORTDESCENDING 0x20
#define LVS_OWNERDATA 0x1000
#define LVS_NOCOLUMNHEADER 0x4000
#define LVS_NOSORTHEADER 0x8000
#define LVS_EX_GRIDLINES 1
#define LVS_EX_HEADERDRAGDROP 0x10
#define LVHT_NOWHERE 1
#define LVHT_ONITEMLABEL 4
#define LVHT_ONITEMSTATEICON 8
#define LVHT_ABOVE 0x10
#define LVHT_BELOW 0x20
#define LVHT_TORIGHT 0x40
#define LVHT_TOLEFT 0x80
#define LVSIL_STATE 1
#define LVSIL_SMALL 2
#define HDI_FORMAT 4
#define HDF_SORTDOWN 0x200
#define HDF_SORTUP 0x400

#define LVN_ITEMCHANGED (-101)
#define LVN_COLUMNCLICK (-108)
#define LVN_BEGINDRAG (-109)
#define LVN_GETDISPINFO (-150)

#define LBS_SORT 2
#define LBS_OWNERDRAWFIXED 0x10
#define LBS_EXTENDEDSEL 0x800
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define LB_ADDSTRING 0x180
#define LB_INSERTSTRING 0x181
#define LB_DELETESTRING 0x182
#define LB_GETTEXT 0x183
#define LB_RESETCONTENT 0x184
#define LB_SETSEL 0x185
#define LB_SETCURSEL 0x186
#define LB_GETSEL 0x187
#define LB_GETCURSEL 0x188
#define LB_GETTEXTLEN 0x18A
#define LB_GETCOUNT 0x18B
#define LB_GETSELCOUNT 0x190
#define LB_GETITEMDATA 0x199
#define LB_SETITEMDATA 0x19A
#define WM_SETREDRAW 0x000B

struct LVITEM
{
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  char* pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};

struct LVCOLUMN
{
  UINT mask;
  int fmt;
  int cx;
  char* pszText;
  int cchTextMax;
  int iSubItem;
};

struct NMLISTVIEW
{
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
};

struct NMLVDISPINFO
{
  NMHDR hdr;
  LVITEM item;
};

struct LVHITTESTINFO
{
  POINT pt;
  UINT flags;
  int iItem;
  int iSubItem;
};

struct HDITEM
{
  UINT mask;
  int cxy;
  char* pszText;
  HBITMAP hbm;
  int cchTextMax;
  int fmt;
  LPARAM lParam;
};

// Columns.
void ListView_InsertColumn(HWND hwnd, int index, const LVCOLUMN* column);
void ListView_SetColumn(HWND hwnd, int col, const LVCOLUMN* column);
bool ListView_DeleteColumn(HWND hwnd, int col);
int ListView_GetColumnWidth(HWND hwnd, int col);
void ListView_SetColumnWidth(HWND hwnd, int col, int width);
bool ListView_GetColumnOrderArray(HWND hwnd, int count, int* order);
bool ListView_SetColumnOrderArray(HWND hwnd, int count, const int* order);
HWND ListView_GetHeader(HWND hwnd);
int Header_GetItemCount(HWND header);
bool Header_GetItem(HWND header, int col, HDITEM* item);
bool Header_SetItem(HWND header, int col, const HDITEM* item);
int SWELL_GetListViewHeaderHeight(HWND hwnd);
void ListView_SetExtendedListViewStyleEx(HWND hwnd, int mask, int style);

// Rows and items.
int ListView_InsertItem(HWND hwnd, const LVITEM* item);
void ListView_DeleteItem(HWND hwnd, int index);
void ListView_DeleteAllItems(HWND hwnd);
int ListView_GetItemCount(HWND hwnd);
void ListView_SetItemCount(HWND hwnd, int count);
void ListView_SetItemText(HWND hwnd, int index, int col, const char* text);
void ListView_GetItemText(HWND hwnd, int index, int col, char* buf, int size);
bool ListView_GetItem(HWND hwnd, LVITEM* item);
bool ListView_SetItem(HWND hwnd, LVITEM* item);
bool ListView_SetItemState(HWND hwnd, int index, UINT state, UINT mask);
int ListView_GetItemState(HWND hwnd, int index, UINT mask);
int ListView_GetNextItem(HWND hwnd, int start, int flags);
int ListView_GetSelectedCount(HWND hwnd);
int ListView_GetSelectionMark(HWND hwnd);
void ListView_RedrawItems(HWND hwnd, int first, int last);
// The comparison gets the rows' parameters.
void ListView_SortItems(HWND hwnd, PFNLVCOMPARE compare, LPARAM lParamSort);
void ListView_SetImageList(HWND hwnd, HIMAGELIST list, int type);
void SWELL_SetListViewFastClickMask(HWND hwnd, int mask);

// Geometry and scrolling, in the list view's own coordinates (y down).
int ListView_HitTest(HWND hwnd, LVHITTESTINFO* info);
int ListView_SubItemHitTest(HWND hwnd, LVHITTESTINFO* info);
bool ListView_GetItemRect(HWND hwnd, int index, RECT* r, int code);
bool ListView_GetSubItemRect(HWND hwnd, int index, int col, int code, RECT* r);
int ListView_GetTopIndex(HWND hwnd);
int ListView_GetCountPerPage(HWND hwnd);
void ListView_EnsureVisible(HWND hwnd, int index, BOOL partialOK);
bool ListView_Scroll(HWND hwnd, int dx, int dy);
bool ListView_GetScroll(HWND hwnd, POINT* p);

// Colours, 0xRRGGBB.
void ListView_SetBkColor(HWND hwnd, int color);
void ListView_SetGridColor(HWND hwnd, int color);
void ListView_SetTextColor(HWND hwnd, int color);
void ListView_SetTextBkColor(HWND hwnd, int color);
// Also a tree view's selection colours: focused background and text, then unfocused.
void ListView_SetSelColors(HWND hwnd, const int* colors, int count);
