#include "StandaloneMainWindow.h"

#include "swell-wnd.h"

HWND gHWND = nullptr;

WindowFrame MainWindowFrameForEditor(int windowLeft, int windowTop, int editorWidth, int editorHeight)
{
  const int height = editorHeight + kMainWindowTitleBarHeight;
  return WindowFrame{windowLeft, windowTop - height, editorWidth, height};
}

bool FitMainWindowToEditor(int editorWidth, int editorHeight)
{
  if (!gHWND) return false;
  // The window layer measures and places windows in screen coordinates with y growing
  // upward, so the rectangle's `bottom` is the window's upper edge: the frame below keeps
  // the upper-left corner where the user left it. The platform's window frame holds the
  // menu strip of the same 22 points above the content, so the content takes exactly the
  // editor's size.
  RECT r;
  if (!GetWindowRect(gHWND, &r)) return false;
  const WindowFrame f = MainWindowFrameForEditor(r.left, r.bottom, editorWidth, editorHeight);
  SetWindowPos(gHWND, nullptr, f.x, f.y, f.width, f.height, 0);
  return true;
}
