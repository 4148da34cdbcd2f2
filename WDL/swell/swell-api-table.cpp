// The layer's functions by name, for code loaded at run time.

#include "swell-api-table.h"
#include "swell-app.h"
#include "swell-cursor.h"
#include "swell-dlg.h"
#include "swell-gdi.h"
#include "swell-image.h"
#include "swell-ini.h"
#include "swell-kb.h"
#include "swell-kernel.h"
#include "swell-misc.h"
#include "swell-mouse.h"
#include "swell-text.h"
#include "swell-timer.h"
#include "swell-wnd.h"

#include <algorithm>
#include <cstring>

// The application's own, when it has one (the table hands it out under its name).
void CenterWindow(HWND hwnd) __attribute__((weak));

namespace
{
constexpr INT_PTR kAPIVersion = 0x100;

struct APIEntry
{
  const char* name;
  void* function;
};

APIEntry api_table[] = {
    {"AddFontResourceEx", reinterpret_cast<void*>(&AddFontResourceEx)},
    {"BeginPaint", reinterpret_cast<void*>(&BeginPaint)},
    {"BitBlt", reinterpret_cast<void*>(&BitBlt)},
    {"CenterWindow", reinterpret_cast<void*>(&CenterWindow)},
    {"ClientToScreen", reinterpret_cast<void*>(&ClientToScreen)},
    {"CloseHandle", reinterpret_cast<void*>(&CloseHandle)},
    {"CreateBitmap", reinterpret_cast<void*>(&CreateBitmap)},
    {"CreateEvent", reinterpret_cast<void*>(&CreateEvent)},
    {"CreateEventAsSocket", reinterpret_cast<void*>(&CreateEventAsSocket)},
    {"CreateFont", reinterpret_cast<void*>(&CreateFont)},
    {"CreateFontIndirect", reinterpret_cast<void*>(&CreateFontIndirect)},
    {"CreateIconIndirect", reinterpret_cast<void*>(&CreateIconIndirect)},
    {"CreatePen", reinterpret_cast<void*>(&CreatePen)},
    {"CreatePenAlpha", reinterpret_cast<void*>(&CreatePenAlpha)},
    {"CreateSolidBrush", reinterpret_cast<void*>(&CreateSolidBrush)},
    {"CreateSolidBrushAlpha", reinterpret_cast<void*>(&CreateSolidBrushAlpha)},
    {"CreateThread", reinterpret_cast<void*>(&CreateThread)},
    {"DefWindowProc", reinterpret_cast<void*>(&DefWindowProc)},
    {"DeleteObject", reinterpret_cast<void*>(&DeleteObject)},
    {"DestroyWindow", reinterpret_cast<void*>(&DestroyWindow)},
    {"DrawImageInRect", reinterpret_cast<void*>(&DrawImageInRect)},
    {"Ellipse", reinterpret_cast<void*>(&Ellipse)},
    {"EnableWindow", reinterpret_cast<void*>(&EnableWindow)},
    {"EndDialog", reinterpret_cast<void*>(&EndDialog)},
    {"EndPaint", reinterpret_cast<void*>(&EndPaint)},
    {"EnumChildWindows", reinterpret_cast<void*>(&EnumChildWindows)},
    {"EnumPropsEx", reinterpret_cast<void*>(&EnumPropsEx)},
    {"EnumWindows", reinterpret_cast<void*>(&EnumWindows)},
    {"FreeLibrary", reinterpret_cast<void*>(&FreeLibrary)},
    {"GetAsyncKeyState", reinterpret_cast<void*>(&GetAsyncKeyState)},
    {"GetCapture", reinterpret_cast<void*>(&GetCapture)},
    {"GetClientRect", reinterpret_cast<void*>(&GetClientRect)},
    {"GetCurrentThreadId", reinterpret_cast<void*>(&GetCurrentThreadId)},
    {"GetCursorPos", reinterpret_cast<void*>(&GetCursorPos)},
    {"GetDC", reinterpret_cast<void*>(&GetDC)},
    {"GetDlgItem", reinterpret_cast<void*>(&GetDlgItem)},
    {"GetDlgItemInt", reinterpret_cast<void*>(&GetDlgItemInt)},
    {"GetDlgItemText", reinterpret_cast<void*>(&GetDlgItemText)},
    {"GetFileTime", reinterpret_cast<void*>(&GetFileTime)},
    {"GetFocus", reinterpret_cast<void*>(&GetFocus)},
    {"GetForegroundWindow", reinterpret_cast<void*>(&GetForegroundWindow)},
    {"GetGlyphIndicesW", reinterpret_cast<void*>(&GetGlyphIndicesW)},
    {"GetMessagePos", reinterpret_cast<void*>(&GetMessagePos)},
    {"GetModuleFileName", reinterpret_cast<void*>(&GetModuleFileName)},
    {"GetNSImageFromHICON", reinterpret_cast<void*>(&GetNSImageFromHICON)},
    {"GetObject", reinterpret_cast<void*>(&GetObject)},
    {"GetParent", reinterpret_cast<void*>(&GetParent)},
    {"GetPrivateProfileInt", reinterpret_cast<void*>(&GetPrivateProfileInt)},
    {"GetPrivateProfileSection", reinterpret_cast<void*>(&GetPrivateProfileSection)},
    {"GetPrivateProfileString", reinterpret_cast<void*>(&GetPrivateProfileString)},
    {"GetPrivateProfileStruct", reinterpret_cast<void*>(&GetPrivateProfileStruct)},
    {"GetProcAddress", reinterpret_cast<void*>(&GetProcAddress)},
    {"GetProp", reinterpret_cast<void*>(&GetProp)},
    {"GetStockObject", reinterpret_cast<void*>(&GetStockObject)},
    {"GetSysColor", reinterpret_cast<void*>(&GetSysColor)},
    {"GetTempPath", reinterpret_cast<void*>(&GetTempPath)},
    {"GetTextColor", reinterpret_cast<void*>(&GetTextColor)},
    {"GetTextFace", reinterpret_cast<void*>(&GetTextFace)},
    {"GetTextMetrics", reinterpret_cast<void*>(&GetTextMetrics)},
    {"GetTickCount", reinterpret_cast<void*>(&GetTickCount)},
    {"GetWindow", reinterpret_cast<void*>(&GetWindow)},
    {"GetWindowContentViewRect", reinterpret_cast<void*>(&GetWindowContentViewRect)},
    {"GetWindowDC", reinterpret_cast<void*>(&GetWindowDC)},
    {"GetWindowLong", reinterpret_cast<void*>(&GetWindowLong)},
    {"GetWindowRect", reinterpret_cast<void*>(&GetWindowRect)},
    {"GlobalAlloc", reinterpret_cast<void*>(&GlobalAlloc)},
    {"GlobalFree", reinterpret_cast<void*>(&GlobalFree)},
    {"GlobalLock", reinterpret_cast<void*>(&GlobalLock)},
    {"GlobalSize", reinterpret_cast<void*>(&GlobalSize)},
    {"GlobalUnlock", reinterpret_cast<void*>(&GlobalUnlock)},
    {"ImageList_Add", reinterpret_cast<void*>(&ImageList_Add)},
    {"ImageList_CreateEx", reinterpret_cast<void*>(&ImageList_CreateEx)},
    {"ImageList_Destroy", reinterpret_cast<void*>(&ImageList_Destroy)},
    {"ImageList_Remove", reinterpret_cast<void*>(&ImageList_Remove)},
    {"ImageList_ReplaceIcon", reinterpret_cast<void*>(&ImageList_ReplaceIcon)},
    {"InvalidateRect", reinterpret_cast<void*>(&InvalidateRect)},
    {"IsChild", reinterpret_cast<void*>(&IsChild)},
    {"IsWindow", reinterpret_cast<void*>(&IsWindow)},
    {"IsWindowEnabled", reinterpret_cast<void*>(&IsWindowEnabled)},
    {"IsWindowVisible", reinterpret_cast<void*>(&IsWindowVisible)},
    {"KillTimer", reinterpret_cast<void*>(&KillTimer)},
    {"LineTo", reinterpret_cast<void*>(&SWELL_LineTo)},
    {"LoadLibrary", reinterpret_cast<void*>(&LoadLibrary)},
    {"LoadLibraryGlobals", reinterpret_cast<void*>(&LoadLibraryGlobals)},
    {"LoadNamedImage", reinterpret_cast<void*>(&LoadNamedImage)},
    {"MoveToEx", reinterpret_cast<void*>(&MoveToEx)},
    {"MulDiv", reinterpret_cast<void*>(&MulDiv)},
    {"PolyBezierTo", reinterpret_cast<void*>(&PolyBezierTo)},
    {"PolyPolyline", reinterpret_cast<void*>(&PolyPolyline)},
    {"PostMessage", reinterpret_cast<void*>(&PostMessage)},
    {"Rectangle", reinterpret_cast<void*>(&Rectangle)},
    {"ReleaseCapture", reinterpret_cast<void*>(&ReleaseCapture)},
    {"ReleaseDC", reinterpret_cast<void*>(&ReleaseDC)},
    {"RemoveProp", reinterpret_cast<void*>(&RemoveProp)},
    {"ResetEvent", reinterpret_cast<void*>(&ResetEvent)},
    {"RoundRect", reinterpret_cast<void*>(&RoundRect)},
    {"SWELL_BroadcastMessage", reinterpret_cast<void*>(&SWELL_BroadcastMessage)},
    {"SWELL_CFStringToCString", reinterpret_cast<void*>(&SWELL_CFStringToCString)},
    {"SWELL_CStringToCFString", reinterpret_cast<void*>(&SWELL_CStringToCFString)},
    {"SWELL_CloneGDIObject", reinterpret_cast<void*>(&SWELL_CloneGDIObject)},
    {"SWELL_CloseWindow", reinterpret_cast<void*>(&SWELL_CloseWindow)},
    {"SWELL_CreateDialog", reinterpret_cast<void*>(&SWELL_CreateDialog)},
    {"SWELL_CreateMemContext", reinterpret_cast<void*>(&SWELL_CreateMemContext)},
    {"SWELL_CreateProcess", reinterpret_cast<void*>(&SWELL_CreateProcess)},
    {"SWELL_CreateProcessIO", reinterpret_cast<void*>(&SWELL_CreateProcessIO)},
    {"SWELL_DeleteGfxContext", reinterpret_cast<void*>(&SWELL_DeleteGfxContext)},
    {"SWELL_DialogBox", reinterpret_cast<void*>(&SWELL_DialogBox)},
    {"SWELL_DisableAppNap", reinterpret_cast<void*>(&SWELL_DisableAppNap)},
    {"SWELL_DrawText", reinterpret_cast<void*>(&SWELL_DrawText)},
    {"SWELL_EnableRightClickEmulate", reinterpret_cast<void*>(&SWELL_EnableRightClickEmulate)},
    {"SWELL_EnsureMultithreadedCocoa", reinterpret_cast<void*>(&SWELL_EnsureMultithreadedCocoa)},
    {"SWELL_ExtendedAPI", reinterpret_cast<void*>(&SWELL_ExtendedAPI)},
    {"SWELL_FillDialogBackground", reinterpret_cast<void*>(&SWELL_FillDialogBackground)},
    {"SWELL_FillRect", reinterpret_cast<void*>(&SWELL_FillRect)},
    {"SWELL_FlushWindow", reinterpret_cast<void*>(&SWELL_FlushWindow)},
    {"SWELL_GenerateGUID", reinterpret_cast<void*>(&SWELL_GenerateGUID)},
    {"SWELL_GetBundle", reinterpret_cast<void*>(&SWELL_GetBundle)},
    {"SWELL_GetCtxFrameBuffer", reinterpret_cast<void*>(&SWELL_GetCtxFrameBuffer)},
    {"SWELL_GetCtxGC", reinterpret_cast<void*>(&SWELL_GetCtxGC)},
    {"SWELL_GetCursor", reinterpret_cast<void*>(&SWELL_GetCursor)},
    {"SWELL_GetDefaultButtonID", reinterpret_cast<void*>(&SWELL_GetDefaultButtonID)},
    {"SWELL_GetDefaultModalWindowMenu", reinterpret_cast<void*>(&SWELL_GetDefaultModalWindowMenu)},
    {"SWELL_GetDefaultWindowMenu", reinterpret_cast<void*>(&SWELL_GetDefaultWindowMenu)},
    {"SWELL_GetGestureInfo", reinterpret_cast<void*>(&SWELL_GetGestureInfo)},
    {"SWELL_GetLastSetCursor", reinterpret_cast<void*>(&SWELL_GetLastSetCursor)},
    {"SWELL_GetOSXVersion", reinterpret_cast<void*>(&SWELL_GetOSXVersion)},
    {"SWELL_GetProcessExitCode", reinterpret_cast<void*>(&SWELL_GetProcessExitCode)},
    {"SWELL_GetViewGL", reinterpret_cast<void*>(&SWELL_GetViewGL)},
    {"SWELL_GetViewPort", reinterpret_cast<void*>(&SWELL_GetViewPort)},
    {"SWELL_GetWindowWantRaiseAmt", reinterpret_cast<void*>(&SWELL_GetWindowWantRaiseAmt)},
    {"SWELL_HideApp", reinterpret_cast<void*>(&SWELL_HideApp)},
    {"SWELL_InitAutoRelease", reinterpret_cast<void*>(&SWELL_InitAutoRelease)},
    {"SWELL_Internal_PostMessage_Init", reinterpret_cast<void*>(&SWELL_Internal_PostMessage_Init)},
    {"SWELL_IsCursorVisible", reinterpret_cast<void*>(&SWELL_IsCursorVisible)},
    {"SWELL_IsRetinaDC", reinterpret_cast<void*>(&SWELL_IsRetinaDC)},
    {"SWELL_IsRetinaHWND", reinterpret_cast<void*>(&SWELL_IsRetinaHWND)},
    {"SWELL_KeyToASCII", reinterpret_cast<void*>(&SWELL_KeyToASCII)},
    {"SWELL_LoadCursor", reinterpret_cast<void*>(&SWELL_LoadCursor)},
    {"SWELL_LoadCursorFromFile", reinterpret_cast<void*>(&SWELL_LoadCursorFromFile)},
    {"SWELL_MacKeyToWindowsKey", reinterpret_cast<void*>(&SWELL_MacKeyToWindowsKey)},
    {"SWELL_MacKeyToWindowsKeyEx", reinterpret_cast<void*>(&SWELL_MacKeyToWindowsKeyEx)},
    {"SWELL_MessageQueue_Clear", reinterpret_cast<void*>(&SWELL_MessageQueue_Clear)},
    {"SWELL_MessageQueue_Flush", reinterpret_cast<void*>(&SWELL_MessageQueue_Flush)},
    {"SWELL_ModalWindowEnd", reinterpret_cast<void*>(&SWELL_ModalWindowEnd)},
    {"SWELL_ModalWindowRun", reinterpret_cast<void*>(&SWELL_ModalWindowRun)},
    {"SWELL_ModalWindowStart", reinterpret_cast<void*>(&SWELL_ModalWindowStart)},
    {"SWELL_Polygon", reinterpret_cast<void*>(&SWELL_Polygon)},
    {"SWELL_PopClipRegion", reinterpret_cast<void*>(&SWELL_PopClipRegion)},
    {"SWELL_PostQuitMessage", reinterpret_cast<void*>(&SWELL_PostQuitMessage)},
    {"SWELL_PtInRect", reinterpret_cast<void*>(&SWELL_PtInRect)},
    {"SWELL_PushClipRegion", reinterpret_cast<void*>(&SWELL_PushClipRegion)},
    {"SWELL_QuitAutoRelease", reinterpret_cast<void*>(&SWELL_QuitAutoRelease)},
    {"SWELL_ReadWriteProcessIO", reinterpret_cast<void*>(&SWELL_ReadWriteProcessIO)},
    {"SWELL_Register_Cursor_Resource", reinterpret_cast<void*>(&SWELL_Register_Cursor_Resource)},
    {"SWELL_SetClipRegion", reinterpret_cast<void*>(&SWELL_SetClipRegion)},
    {"SWELL_SetCursor", reinterpret_cast<void*>(&SWELL_SetCursor)},
    {"SWELL_SetCursorPos", reinterpret_cast<void*>(&SWELL_SetCursorPos)},
    {"SWELL_SetDefaultModalWindowMenu", reinterpret_cast<void*>(&SWELL_SetDefaultModalWindowMenu)},
    {"SWELL_SetDefaultWindowMenu", reinterpret_cast<void*>(&SWELL_SetDefaultWindowMenu)},
    {"SWELL_SetGLContextToView", reinterpret_cast<void*>(&SWELL_SetGLContextToView)},
    {"SWELL_SetMenuDestination", reinterpret_cast<void*>(&SWELL_SetMenuDestination)},
    {"SWELL_SetViewGL", reinterpret_cast<void*>(&SWELL_SetViewGL)},
    {"SWELL_SetWindowLevel", reinterpret_cast<void*>(&SWELL_SetWindowLevel)},
    {"SWELL_SetWindowRepre", reinterpret_cast<void*>(&SWELL_SetWindowRepre)},
    {"SWELL_SetWindowWantRaiseAmt", reinterpret_cast<void*>(&SWELL_SetWindowWantRaiseAmt)},
    {"SWELL_ShowCursor", reinterpret_cast<void*>(&SWELL_ShowCursor)},
    {"SWELL_TerminateProcess", reinterpret_cast<void*>(&SWELL_TerminateProcess)},
    {"ScreenToClient", reinterpret_cast<void*>(&ScreenToClient)},
    {"SelectObject", reinterpret_cast<void*>(&SelectObject)},
    {"SendMessage", reinterpret_cast<void*>(&SendMessage)},
    {"SetAllowNoMiddleManRendering", reinterpret_cast<void*>(&SetAllowNoMiddleManRendering)},
    {"SetBkColor", reinterpret_cast<void*>(&SetBkColor)},
    {"SetBkMode", reinterpret_cast<void*>(&SetBkMode)},
    {"SetCapture", reinterpret_cast<void*>(&SetCapture)},
    {"SetDlgItemInt", reinterpret_cast<void*>(&SetDlgItemInt)},
    {"SetDlgItemText", reinterpret_cast<void*>(&SetDlgItemText)},
    {"SetEvent", reinterpret_cast<void*>(&SetEvent)},
    {"SetFocus", reinterpret_cast<void*>(&SetFocus)},
    {"SetForegroundWindow", reinterpret_cast<void*>(&SetForegroundWindow)},
    {"SetOpaque", reinterpret_cast<void*>(&SetOpaque)},
    {"SetParent", reinterpret_cast<void*>(&SetParent)},
    {"SetPixel", reinterpret_cast<void*>(&SWELL_SetPixel)},
    {"SetProp", reinterpret_cast<void*>(&SetProp)},
    {"SetTextColor", reinterpret_cast<void*>(&SetTextColor)},
    {"SetThreadPriority", reinterpret_cast<void*>(&SetThreadPriority)},
    {"SetTimer", reinterpret_cast<void*>(&SetTimer)},
    {"SetWindowLong", reinterpret_cast<void*>(&SetWindowLong)},
    {"SetWindowPos", reinterpret_cast<void*>(&SetWindowPos)},
    {"ShowWindow", reinterpret_cast<void*>(&ShowWindow)},
    {"Sleep", reinterpret_cast<void*>(&Sleep)},
    {"StretchBlt", reinterpret_cast<void*>(&StretchBlt)},
    {"UpdateWindow", reinterpret_cast<void*>(&UpdateWindow)},
    {"WaitForAnySocketObject", reinterpret_cast<void*>(&WaitForAnySocketObject)},
    {"WaitForSingleObject", reinterpret_cast<void*>(&WaitForSingleObject)},
    {"WinIntersectRect", reinterpret_cast<void*>(&WinIntersectRect)},
    {"WinOffsetRect", reinterpret_cast<void*>(&WinOffsetRect)},
    {"WinSetRect", reinterpret_cast<void*>(&WinSetRect)},
    {"WinUnionRect", reinterpret_cast<void*>(&WinUnionRect)},
    {"WindowFromPoint", reinterpret_cast<void*>(&WindowFromPoint)},
    {"WritePrivateProfileSection", reinterpret_cast<void*>(&WritePrivateProfileSection)},
    {"WritePrivateProfileString", reinterpret_cast<void*>(&WritePrivateProfileString)},
    {"WritePrivateProfileStruct", reinterpret_cast<void*>(&WritePrivateProfileStruct)},
    {"_controlfp", reinterpret_cast<void*>(&_controlfp)},
    {"lstrcpyn", reinterpret_cast<void*>(&lstrcpyn)},
};

// Names the table will hand out once their functions exist; until then they give null.
constexpr const char* kNotYetBuilt[] = {
    // menus
    "AddMenuItem", "CheckMenuItem", "CreatePopupMenu", "CreatePopupMenuEx", "DeleteMenu", "DestroyMenu",
    "DrawMenuBar", "EnableMenuItem", "GetMenu", "GetMenuItemCount", "GetMenuItemID", "GetMenuItemInfo",
    "GetSubMenu", "InsertMenuItem", "SWELL_DuplicateMenu", "SWELL_GenerateMenuFromList", "SWELL_GetCurrentMenu",
    "SWELL_InsertMenu", "SWELL_LoadMenu", "SWELL_Menu_AddMenuItem", "SWELL_SetCurrentMenu", "SetMenu",
    "SetMenuItemInfo", "SetMenuItemModifier", "SetMenuItemText", "TrackPopupMenu",
    // the dialog controls and the message box
    "CheckDlgButton", "IsDlgButtonChecked", "SWELL_CB_AddString", "SWELL_CB_DeleteString", "SWELL_CB_Empty",
    "SWELL_CB_FindString", "SWELL_CB_GetCurSel", "SWELL_CB_GetItemData", "SWELL_CB_GetItemText",
    "SWELL_CB_GetNumItems", "SWELL_CB_InsertString", "SWELL_CB_SetCurSel", "SWELL_CB_SetItemData",
    "SWELL_GenerateDialogFromList", "SWELL_MakeButton", "SWELL_MakeCheckBox", "SWELL_MakeCombo",
    "SWELL_MakeControl", "SWELL_MakeEditField", "SWELL_MakeGroupBox", "SWELL_MakeLabel", "SWELL_MakeListBox",
    "SWELL_MakeSetCurParms", "SWELL_RegisterCustomControlCreator", "SWELL_UnregisterCustomControlCreator",
    "SWELL_TB_GetPos", "SWELL_TB_SetPos", "SWELL_TB_SetRange", "SWELL_TB_SetTic", "SWELL_IsButton",
    "SWELL_IsGroupBox", "SWELL_IsStaticText", "SWELL_GetDesiredControlSize", "MessageBox",
    // list, tree and tab views, and the file dialogs that show folders in them
    "Header_GetItem", "Header_GetItemCount", "Header_SetItem", "ListView_DeleteAllItems",
    "ListView_DeleteColumn", "ListView_DeleteItem", "ListView_EnsureVisible", "ListView_GetColumnOrderArray",
    "ListView_GetColumnWidth", "ListView_GetCountPerPage", "ListView_GetHeader", "ListView_GetItem",
    "ListView_GetItemCount", "ListView_GetItemRect", "ListView_GetItemState", "ListView_GetItemText",
    "ListView_GetNextItem", "ListView_GetSelectedCount", "ListView_GetSelectionMark", "ListView_GetSubItemRect",
    "ListView_GetTopIndex", "ListView_HitTest", "ListView_InsertColumn", "ListView_InsertItem",
    "ListView_RedrawItems", "ListView_Scroll", "ListView_SetBkColor", "ListView_SetColumn",
    "ListView_SetColumnOrderArray", "ListView_SetColumnWidth", "ListView_SetExtendedListViewStyleEx",
    "ListView_SetGridColor", "ListView_SetImageList", "ListView_SetItem", "ListView_SetItemCount",
    "ListView_SetItemState", "ListView_SetItemText", "ListView_SetSelColors", "ListView_SetTextBkColor",
    "ListView_SetTextColor", "ListView_SortItems", "ListView_SubItemHitTest", "TabCtrl_AdjustRect",
    "TabCtrl_DeleteItem", "TabCtrl_GetCurSel", "TabCtrl_GetItemCount", "TabCtrl_InsertItem",
    "TabCtrl_SetCurSel", "TreeView_DeleteAllItems", "TreeView_DeleteItem", "TreeView_Expand",
    "TreeView_GetChild", "TreeView_GetItem", "TreeView_GetNextSibling", "TreeView_GetRoot",
    "TreeView_GetSelection", "TreeView_HitTest", "TreeView_InsertItem", "TreeView_SelectItem",
    "TreeView_SetBkColor", "TreeView_SetIndent", "TreeView_SetItem", "TreeView_SetTextColor",
    "SWELL_GetListViewHeaderHeight", "SWELL_SetListViewFastClickMask", "BrowseFile_SetTemplate",
    "BrowseForDirectory", "BrowseForFiles", "BrowseForSaveFile",
    // the clipboard, dropped files and dragging out
    "CloseClipboard", "EmptyClipboard", "EnumClipboardFormats", "GetClipboardData", "OpenClipboard",
    "RegisterClipboardFormat", "SetClipboardData", "DragFinish", "DragQueryFile", "DragQueryPoint",
    "SWELL_FinishDragDrop", "SWELL_InitiateDragDrop", "SWELL_InitiateDragDropOfFileList",
    // window search, system metrics, scrolling, opening documents, focus rectangles
    "FindWindowEx", "GetSystemMetrics", "ScrollWindow", "ShellExecute", "SWELL_DrawFocusRect",
};
}  // namespace

void* SWELLAPI_GetFunc(const char* name)
{
  if (!name) return reinterpret_cast<void*>(kAPIVersion);
  static const bool sorted = [] {
    std::sort(std::begin(api_table), std::end(api_table),
              [](const APIEntry& a, const APIEntry& b) { return std::strcmp(a.name, b.name) < 0; });
    return true;
  }();
  (void)sorted;
  const APIEntry* found = std::lower_bound(std::begin(api_table), std::end(api_table), name,
                                           [](const APIEntry& e, const char* n) { return std::strcmp(e.name, n) < 0; });
  return found != std::end(api_table) && !std::strcmp(found->name, name) ? found->function : nullptr;
}

std::span<const char* const> swell::apiNamesNotYetBuilt()
{
  return kNotYetBuilt;
}
