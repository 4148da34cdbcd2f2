#pragma once

// The application's main window, as far as the standalone plug-in moves it.

struct HWND__;
typedef HWND__* HWND;

// The main dialog window: set by the application while the dialog exists, null otherwise.
extern HWND gHWND;

// The height of the main window's title bar, in points.
constexpr int kMainWindowTitleBarHeight = 22;

// A window frame in screen coordinates with y growing upward: (x, y) is the lower-left corner.
struct WindowFrame
{
  int x;
  int y;
  int width;
  int height;
};

// The frame that holds an editor of the given size below the title bar while
// keeping the window's left and upper edges. windowTop is the upper edge (a
// window rectangle's `bottom` where y grows upward).
WindowFrame MainWindowFrameForEditor(int windowLeft, int windowTop, int editorWidth, int editorHeight);

// Moves and sizes the main window to fit the editor; false when there is no
// main window to move.
bool FitMainWindowToEditor(int editorWidth, int editorHeight);
