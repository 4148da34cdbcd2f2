#pragma once

// Tab controls ("SysTabControl32"), which only report which tab was chosen, and progress
// bars ("msctls_progress32"), moved by messages.

#include "swell-listview.h"

#define TCIF_TEXT 1
#define TCN_SELCHANGE (-551)
#define PBM_SETRANGE 0x401
#define PBM_SETPOS 0x402
#define PBM_DELTAPOS 0x403

struct TCITEM
{
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  char* pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};

int TabCtrl_GetItemCount(HWND hwnd);
int TabCtrl_InsertItem(HWND hwnd, int index, const TCITEM* item);
BOOL TabCtrl_DeleteItem(HWND hwnd, int index);
int TabCtrl_GetCurSel(HWND hwnd);
int TabCtrl_SetCurSel(HWND hwnd, int index);
// From the control's rectangle to its page area (larger false), or back.
BOOL TabCtrl_AdjustRect(HWND hwnd, BOOL larger, RECT* r);
