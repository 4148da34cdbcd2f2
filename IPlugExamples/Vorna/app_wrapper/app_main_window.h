#pragma once

// The main window, which carries the plug-in's editor, and the commands of its menu.

#include "swell-types.h"

// Procedure of the main dialog.
LRESULT MainDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Opens the plug-in's editor in the main window; false when there is no editor or no view.
bool AttachGUI();
// Centres the window (a view through its window) on the screen.
void CenterWindow(HWND hwnd);
// The last step of start-up: the window menu, the main window, and the editor opened again.
void CreateMainWindow();

// The editor's drawing surface: the platform's view of that size and frame rate.
class IGraphics;
class IPlugBase;
IGraphics* MakeGraphics(IPlugBase* plug, int width, int height, int fps);

// What About shows.
constexpr const char* kAboutText = "Ostrelin\nBuilt on Jun 12 2018";
constexpr const char* kAboutTitle = "Vorna";
