// The table of the layer's functions by name, as code loaded at run time finds them.
#include "swell-app.h"
#include "swell-clipboard.h"
#include "swell-dlg.h"
#include "swell-filedlg.h"
#include "swell-gdi.h"
#include "swell-listview.h"
#include "swell-treeview.h"
#include "swell-wnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

// The application's own function, which the table hands out under its name.
void CenterWindow(HWND) {}

namespace
{
// Every name the interface promises.
constexpr const char* kInterface[] = {
    "AddFontResourceEx", "AddMenuItem", "BeginPaint", "BitBlt", "BrowseFile_SetTemplate", "BrowseForDirectory",
    "BrowseForFiles", "BrowseForSaveFile", "CenterWindow", "CheckDlgButton", "CheckMenuItem", "ClientToScreen",
    "CloseClipboard", "CloseHandle", "CreateBitmap", "CreateEvent", "CreateEventAsSocket", "CreateFont",
    "CreateFontIndirect", "CreateIconIndirect", "CreatePen", "CreatePenAlpha", "CreatePopupMenu",
    "CreatePopupMenuEx", "CreateSolidBrush", "CreateSolidBrushAlpha", "CreateThread", "DefWindowProc",
    "DeleteMenu", "DeleteObject", "DestroyMenu", "DestroyWindow", "DragFinish", "DragQueryFile",
    "DragQueryPoint", "DrawImageInRect", "DrawMenuBar", "Ellipse", "EmptyClipboard", "EnableMenuItem",
    "EnableWindow", "EndDialog", "EndPaint", "EnumChildWindows", "EnumClipboardFormats", "EnumPropsEx",
    "EnumWindows", "FindWindowEx", "FreeLibrary", "GetAsyncKeyState", "GetCapture", "GetClientRect",
    "GetClipboardData", "GetCurrentThreadId", "GetCursorPos", "GetDC", "GetDlgItem", "GetDlgItemInt",
    "GetDlgItemText", "GetFileTime", "GetFocus", "GetForegroundWindow", "GetGlyphIndicesW", "GetMenu",
    "GetMenuItemCount", "GetMenuItemID", "GetMenuItemInfo", "GetMessagePos", "GetModuleFileName",
    "GetNSImageFromHICON", "GetObject", "GetParent", "GetPrivateProfileInt", "GetPrivateProfileSection",
    "GetPrivateProfileString", "GetPrivateProfileStruct", "GetProcAddress", "GetProp", "GetStockObject",
    "GetSubMenu", "GetSysColor", "GetSystemMetrics", "GetTempPath", "GetTextColor", "GetTextFace",
    "GetTextMetrics", "GetTickCount", "GetWindow", "GetWindowContentViewRect", "GetWindowDC", "GetWindowLong",
    "GetWindowRect", "GlobalAlloc", "GlobalFree", "GlobalLock", "GlobalSize", "GlobalUnlock", "Header_GetItem",
    "Header_GetItemCount", "Header_SetItem", "ImageList_Add", "ImageList_CreateEx", "ImageList_Destroy",
    "ImageList_Remove", "ImageList_ReplaceIcon", "InsertMenuItem", "InvalidateRect", "IsChild",
    "IsDlgButtonChecked", "IsWindow", "IsWindowEnabled", "IsWindowVisible", "KillTimer", "LineTo",
    "ListView_DeleteAllItems", "ListView_DeleteColumn", "ListView_DeleteItem", "ListView_EnsureVisible",
    "ListView_GetColumnOrderArray", "ListView_GetColumnWidth", "ListView_GetCountPerPage", "ListView_GetHeader",
    "ListView_GetItem", "ListView_GetItemCount", "ListView_GetItemRect", "ListView_GetItemState",
    "ListView_GetItemText", "ListView_GetNextItem", "ListView_GetSelectedCount", "ListView_GetSelectionMark",
    "ListView_GetSubItemRect", "ListView_GetTopIndex", "ListView_HitTest", "ListView_InsertColumn",
    "ListView_InsertItem", "ListView_RedrawItems", "ListView_Scroll", "ListView_SetBkColor",
    "ListView_SetColumn", "ListView_SetColumnOrderArray", "ListView_SetColumnWidth",
    "ListView_SetExtendedListViewStyleEx", "ListView_SetGridColor", "ListView_SetImageList", "ListView_SetItem",
    "ListView_SetItemCount", "ListView_SetItemState", "ListView_SetItemText", "ListView_SetSelColors",
    "ListView_SetTextBkColor", "ListView_SetTextColor", "ListView_SortItems", "ListView_SubItemHitTest",
    "LoadLibrary", "LoadLibraryGlobals", "LoadNamedImage", "MessageBox", "MoveToEx", "MulDiv", "OpenClipboard",
    "PolyBezierTo", "PolyPolyline", "PostMessage", "Rectangle", "RegisterClipboardFormat", "ReleaseCapture",
    "ReleaseDC", "RemoveProp", "ResetEvent", "RoundRect", "SWELL_BroadcastMessage", "SWELL_CB_AddString",
    "SWELL_CB_DeleteString", "SWELL_CB_Empty", "SWELL_CB_FindString", "SWELL_CB_GetCurSel",
    "SWELL_CB_GetItemData", "SWELL_CB_GetItemText", "SWELL_CB_GetNumItems", "SWELL_CB_InsertString",
    "SWELL_CB_SetCurSel", "SWELL_CB_SetItemData", "SWELL_CFStringToCString", "SWELL_CStringToCFString",
    "SWELL_CloneGDIObject", "SWELL_CloseWindow", "SWELL_CreateDialog", "SWELL_CreateMemContext",
    "SWELL_CreateProcess", "SWELL_CreateProcessIO", "SWELL_DeleteGfxContext", "SWELL_DialogBox",
    "SWELL_DisableAppNap", "SWELL_DrawFocusRect", "SWELL_DrawText", "SWELL_DuplicateMenu",
    "SWELL_EnableRightClickEmulate", "SWELL_EnsureMultithreadedCocoa", "SWELL_ExtendedAPI",
    "SWELL_FillDialogBackground", "SWELL_FillRect", "SWELL_FinishDragDrop", "SWELL_FlushWindow",
    "SWELL_GenerateDialogFromList", "SWELL_GenerateGUID", "SWELL_GenerateMenuFromList", "SWELL_GetBundle",
    "SWELL_GetCtxFrameBuffer", "SWELL_GetCtxGC", "SWELL_GetCurrentMenu", "SWELL_GetCursor",
    "SWELL_GetDefaultButtonID", "SWELL_GetDefaultModalWindowMenu", "SWELL_GetDefaultWindowMenu",
    "SWELL_GetDesiredControlSize", "SWELL_GetGestureInfo", "SWELL_GetLastSetCursor",
    "SWELL_GetListViewHeaderHeight", "SWELL_GetOSXVersion", "SWELL_GetProcessExitCode", "SWELL_GetViewGL",
    "SWELL_GetViewPort", "SWELL_GetWindowWantRaiseAmt", "SWELL_HideApp", "SWELL_InitAutoRelease",
    "SWELL_InitiateDragDrop", "SWELL_InitiateDragDropOfFileList", "SWELL_InsertMenu",
    "SWELL_Internal_PostMessage_Init", "SWELL_IsButton", "SWELL_IsCursorVisible", "SWELL_IsGroupBox",
    "SWELL_IsRetinaDC", "SWELL_IsRetinaHWND", "SWELL_IsStaticText", "SWELL_KeyToASCII", "SWELL_LoadCursor",
    "SWELL_LoadCursorFromFile", "SWELL_LoadMenu", "SWELL_MacKeyToWindowsKey", "SWELL_MacKeyToWindowsKeyEx",
    "SWELL_MakeButton", "SWELL_MakeCheckBox", "SWELL_MakeCombo", "SWELL_MakeControl", "SWELL_MakeEditField",
    "SWELL_MakeGroupBox", "SWELL_MakeLabel", "SWELL_MakeListBox", "SWELL_MakeSetCurParms",
    "SWELL_Menu_AddMenuItem", "SWELL_MessageQueue_Clear", "SWELL_MessageQueue_Flush", "SWELL_ModalWindowEnd",
    "SWELL_ModalWindowRun", "SWELL_ModalWindowStart", "SWELL_Polygon", "SWELL_PopClipRegion",
    "SWELL_PostQuitMessage", "SWELL_PtInRect", "SWELL_PushClipRegion", "SWELL_QuitAutoRelease",
    "SWELL_ReadWriteProcessIO", "SWELL_RegisterCustomControlCreator", "SWELL_Register_Cursor_Resource",
    "SWELL_SetClipRegion", "SWELL_SetCurrentMenu", "SWELL_SetCursor", "SWELL_SetCursorPos",
    "SWELL_SetDefaultModalWindowMenu", "SWELL_SetDefaultWindowMenu", "SWELL_SetGLContextToView",
    "SWELL_SetListViewFastClickMask", "SWELL_SetMenuDestination", "SWELL_SetViewGL", "SWELL_SetWindowLevel",
    "SWELL_SetWindowRepre", "SWELL_SetWindowWantRaiseAmt", "SWELL_ShowCursor", "SWELL_TB_GetPos",
    "SWELL_TB_SetPos", "SWELL_TB_SetRange", "SWELL_TB_SetTic", "SWELL_TerminateProcess",
    "SWELL_UnregisterCustomControlCreator", "ScreenToClient", "ScrollWindow", "SelectObject", "SendMessage",
    "SetAllowNoMiddleManRendering", "SetBkColor", "SetBkMode", "SetCapture", "SetClipboardData",
    "SetDlgItemInt", "SetDlgItemText", "SetEvent", "SetFocus", "SetForegroundWindow", "SetMenu",
    "SetMenuItemInfo", "SetMenuItemModifier", "SetMenuItemText", "SetOpaque", "SetParent", "SetPixel",
    "SetProp", "SetTextColor", "SetThreadPriority", "SetTimer", "SetWindowLong", "SetWindowPos", "ShellExecute",
    "ShowWindow", "Sleep", "StretchBlt", "TabCtrl_AdjustRect", "TabCtrl_DeleteItem", "TabCtrl_GetCurSel",
    "TabCtrl_GetItemCount", "TabCtrl_InsertItem", "TabCtrl_SetCurSel", "TrackPopupMenu",
    "TreeView_DeleteAllItems", "TreeView_DeleteItem", "TreeView_Expand", "TreeView_GetChild",
    "TreeView_GetItem", "TreeView_GetNextSibling", "TreeView_GetRoot", "TreeView_GetSelection",
    "TreeView_HitTest", "TreeView_InsertItem", "TreeView_SelectItem", "TreeView_SetBkColor",
    "TreeView_SetIndent", "TreeView_SetItem", "TreeView_SetTextColor", "UpdateWindow", "WaitForAnySocketObject",
    "WaitForSingleObject", "WinIntersectRect", "WinOffsetRect", "WinSetRect", "WinUnionRect", "WindowFromPoint",
    "WritePrivateProfileSection", "WritePrivateProfileString", "WritePrivateProfileStruct", "_controlfp",
    "lstrcpyn",
};
}  // namespace

TEST(ApiTable, EveryNameResolvesToItsFunctionAndNothingElseResolves)
{
  EXPECT_EQ(std::size(kInterface), 351u);
  EXPECT_EQ(SWELLAPI_GetFunc(nullptr), reinterpret_cast<void*>(0x100));
  // Before and after the table puts itself in order.
  EXPECT_EQ(SWELLAPI_GetFunc("SendMessage"), reinterpret_cast<void*>(&SendMessage));
  EXPECT_EQ(SWELLAPI_GetFunc("SendMessage"), reinterpret_cast<void*>(&SendMessage));

  const std::set<std::string> promised(std::begin(kInterface), std::end(kInterface));
  EXPECT_EQ(promised.size(), std::size(kInterface));
  for (const char* name : kInterface) EXPECT_NE(SWELLAPI_GetFunc(name), nullptr) << name;

  // The names the layer gives its own functions, and the application's.
  EXPECT_EQ(SWELLAPI_GetFunc("LineTo"), reinterpret_cast<void*>(&SWELL_LineTo));
  EXPECT_EQ(SWELLAPI_GetFunc("SetPixel"), reinterpret_cast<void*>(&SWELL_SetPixel));
  EXPECT_EQ(SWELLAPI_GetFunc("SWELL_DialogBox"), reinterpret_cast<void*>(&SWELL_DialogBox));
  EXPECT_EQ(SWELLAPI_GetFunc("EndDialog"), reinterpret_cast<void*>(&EndDialog));
  EXPECT_EQ(SWELLAPI_GetFunc("CenterWindow"), reinterpret_cast<void*>(&CenterWindow));
  EXPECT_EQ(SWELLAPI_GetFunc("ListView_InsertItem"), reinterpret_cast<void*>(&ListView_InsertItem));
  EXPECT_EQ(SWELLAPI_GetFunc("TreeView_SetItem"), reinterpret_cast<void*>(&TreeView_SetItem));
  EXPECT_EQ(SWELLAPI_GetFunc("CloseClipboard"), reinterpret_cast<void*>(&CloseClipboard));
  EXPECT_EQ(SWELLAPI_GetFunc("BrowseForFiles"), reinterpret_cast<void*>(&BrowseForFiles));

  for (const char* unknown : {"", "sendmessage", "SendMessageX", "SWELLAPI_GetFunc", "SWELLAppMain", "~"})
    EXPECT_EQ(SWELLAPI_GetFunc(unknown), nullptr) << unknown;
}
