#include "StandaloneMainWindow.h"

HWND gHWND = nullptr;

WindowFrame MainWindowFrameForEditor(int windowLeft, int windowTop, int editorWidth, int editorHeight)
{
  const int height = editorHeight + kMainWindowTitleBarHeight;
  return WindowFrame{windowLeft, windowTop - height, editorWidth, height};
}

bool FitMainWindowToEditor(int editorWidth, int editorHeight)
{
  if (!gHWND) return false;
  // Where the window layer plugs in: measure the window with
  //   RECT r; GetWindowRect(gHWND, &r);
  // and move it to
  //   const WindowFrame f = MainWindowFrameForEditor(r.left, r.bottom, editorWidth, editorHeight);
  //   SetWindowPos(gHWND, nullptr, f.x, f.y, f.width, f.height, 0);
  // Until that layer is linked in there is no window to move.
  (void)editorWidth;
  (void)editorHeight;
  return false;
}
