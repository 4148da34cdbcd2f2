#pragma once

// Dialogs made from registered resources (SWELL_DialogResourceIndex, swell-types.h): modal
// dialog boxes, modeless dialogs and child dialogs, and how a modal one ends. Then what
// changes how a top-level window looks or behaves, modal sessions the caller drives, and the
// questions asked of a dialog's controls. Main thread only; a handle may be a window or a
// view, and a view stands for its window.

#include "swell-types.h"

// The record whose identifier is `resid` (compared by address, never by text) runs as a
// modal dialog over `parent`; the answer is the value given to EndDialog. -1 when no record
// matches or the record is a child dialog.
int SWELL_DialogBox(SWELL_DialogResourceIndex* head, const char* resid, HWND parent, DLGPROC dlgProc, LPARAM param);

// Identifiers from SWELL_FORCED_STYLE to SWELL_FORCED_STYLE + 15 ask for a plain window
// (the record with a null identifier, if any) of a forced style built from the low four
// bits: always titled; closable unless bit 2; miniaturizable unless bit 1; resizable with
// bit 0.
#define SWELL_FORCED_STYLE 0x400000

// A modeless dialog (hidden until ShowWindow), or a child dialog inside the parent view:
// its content view, after WM_INITDIALOG ran. Null when a non-null identifier outside the
// forced styles matches no record, or when the procedure destroyed the dialog while it
// was being made.
HWND SWELL_CreateDialog(SWELL_DialogResourceIndex* head, const char* resid, HWND parent, DLGPROC dlgProc,
                        LPARAM param);

// Ends a modal dialog with that result (the dialog view or its window). A dialog that is not
// the one running modally only keeps the result; its run ends as soon as the runs above it
// have ended.
void EndDialog(HWND hwnd, int result);

// ---- presentation

// The previous level.
int SWELL_SetWindowLevel(HWND hwnd, int level);
// The extra level a modeless window keeps above its owner while the application is active;
// a change moves it at once when the application is active.
int SWELL_GetWindowWantRaiseAmt(HWND hwnd);
void SWELL_SetWindowWantRaiseAmt(HWND hwnd, int amount);
// Only for a window view.
void SetOpaque(HWND hwnd, bool opaque);
// Its window: a clear, non-opaque background.
void SetTransparent(HWND hwnd);
void SWELL_SetWindowShadow(HWND hwnd, bool shadow);
// The file the window stands for (null or empty for none) and its edited mark; nothing when
// its content view has the property "SWELL_DisableWindowRepre".
void SWELL_SetWindowRepre(HWND hwnd, const char* path, bool edited);
// Closes the window without a message.
void SWELL_CloseWindow(HWND hwnd);
void SWELL_HideApp();
// Mode 1 auto-hides the Dock and the menu bar, 2 or more hides the Dock and auto-hides the
// menu bar, below 1 restores what was in force at the first call. False on systems older
// than 0x1060, which lack the options.
bool SWELL_SetAppAutoHideMenuAndDock(int mode);

// ---- modal sessions the caller drives

// Null for no window.
void* SWELL_ModalWindowStart(HWND hwnd);
// One turn of the session: true while it continues; otherwise its response goes to *result
// (when given) and the answer is false.
bool SWELL_ModalWindowRun(void* session, int* result);
// Stops the session if it still runs, waits for it to stop, and ends it.
void SWELL_ModalWindowEnd(void* session);

// ---- control queries

// The id of the window's default button (the one Return presses); 0 for none, and 0 for a
// disabled one when onlyIfEnabled.
int SWELL_GetDefaultButtonID(HWND hwnd, bool onlyIfEnabled);
