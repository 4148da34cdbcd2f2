#pragma once

// Tree views ("SysTreeView32"): items with a text, caller data and a has-children flag,
// nested to any depth, in one column with expanders and a single selection.

#include "swell-listview.h"

struct HTREEITEM__;
typedef HTREEITEM__* HTREEITEM;

// Insertion markers of this layer (they differ from the sign-extended published values).
#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(0xFFFF0000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(0xFFFF0001)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(0xFFFF0002)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(0xFFFF0003)))

#define TVIF_TEXT 1
#define TVIF_PARAM 4
#define TVIF_STATE 8
#define TVIF_HANDLE 0x10
#define TVIF_CHILDREN 0x40
#define TVIS_SELECTED 2
#define TVIS_EXPANDED 0x20
#define TVE_COLLAPSE 1
#define TVE_EXPAND 2
#define TVE_TOGGLE 3
#define TVN_SELCHANGED (-402)

struct TVITEM
{
  UINT mask;
  HTREEITEM hItem;
  UINT state;
  UINT stateMask;
  char* pszText;
  int cchTextMax;
  int iImage;
  int iSelectedImage;
  int cChildren;
  LPARAM lParam;
};

struct TVINSERTSTRUCT
{
  HTREEITEM hParent;
  HTREEITEM hInsertAfter;
  TVITEM item;
};

struct TVHITTESTINFO
{
  POINT pt;
  UINT flags;
  HTREEITEM hItem;
};

struct NMTREEVIEW
{
  NMHDR hdr;
  UINT action;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};

HTREEITEM TreeView_InsertItem(HWND hwnd, const TVINSERTSTRUCT* insert);
void TreeView_DeleteItem(HWND hwnd, HTREEITEM item);
void TreeView_DeleteAllItems(HWND hwnd);
HTREEITEM TreeView_GetRoot(HWND hwnd);
HTREEITEM TreeView_GetChild(HWND hwnd, HTREEITEM item);
HTREEITEM TreeView_GetNextSibling(HWND hwnd, HTREEITEM item);
HTREEITEM TreeView_GetSelection(HWND hwnd);
void TreeView_SelectItem(HWND hwnd, HTREEITEM item);
BOOL TreeView_Expand(HWND hwnd, HTREEITEM item, UINT code);
BOOL TreeView_GetItem(HWND hwnd, TVITEM* item);
BOOL TreeView_SetItem(HWND hwnd, const TVITEM* item);
HTREEITEM TreeView_HitTest(HWND hwnd, TVHITTESTINFO* info);
BOOL TreeView_SetIndent(HWND hwnd, int indent);
void TreeView_SetBkColor(HWND hwnd, int color);
void TreeView_SetTextColor(HWND hwnd, int color);
