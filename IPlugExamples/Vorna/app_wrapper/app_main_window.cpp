#include "app_main_window.h"

#include "IGraphicsMac.h"
#include "IPlugStandalone.h"
#include "StandaloneMainWindow.h"
#include "app_main.h"
#include "app_menu.h"
#include "app_preferences.h"
#include "app_resources.h"
#include "callback_reports.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-menu.h"
#include "swell-misc.h"
#include "swell-timer.h"
#include "swell-wnd-capabilities.h"
#include "swell-wnd.h"

#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

#include <cstdio>

namespace
{
constexpr const char* kBundleID = "org.vorna.Vorna";
// How often the main thread prints what the audio and MIDI threads noted, and looks at what
// the services said.
constexpr UINT_PTR kReportTimer = 1;
constexpr UINT kReportMilliseconds = 100;

void SayGUINotAttached()
{
  std::printf("couldn't attach gui\n");
  std::fflush(stdout);
}

void ShowAbout(HWND hwnd)
{
  if (gPluginInstance && gPluginInstance->HostRequestingAboutBox()) return;
  MessageBox(hwnd, kAboutText, kAboutTitle, MB_OK);
}

void ShowPreferences(HWND hwnd)
{
  if (SWELL_DialogBox(SWELL_curmodule_dialogresource_head, ResourceId(IDD_DIALOG_PREF), hwnd, PreferencesDlgProc,
                      0) == IDOK)
    UpdateINI();
}
}  // namespace

IGraphics* MakeGraphics(IPlugBase* plug, int width, int height, int fps)
{
  auto* graphics = new IGraphicsMac(plug, width, height, fps);
  graphics->SetBundleID(kBundleID);
  return graphics;
}

bool AttachGUI()
{
  IGraphics* gui = gPluginInstance ? gPluginInstance->GetGUI() : nullptr;
  if (!gui || !gHWND) return false;
  // The editor's view goes into the main dialog's content view.
  auto* parent = dynamic_cast<cocoa::NSView*>(swellObjectOf(gHWND));
  if (!parent || !gui->OpenWindow(parent)) return false;
  gPluginInstance->OnGUIOpen();
  return true;
}

void CenterWindow(HWND hwnd)
{
  cocoa::NSObject* object = swellObjectOf(hwnd);
  cocoa::NSWindow* window = dynamic_cast<cocoa::NSWindow*>(object);
  if (auto* view = dynamic_cast<cocoa::NSView*>(object)) window = view->window();
  if (window) window->center();
}

LRESULT MainDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
  switch (msg)
  {
    case WM_INITDIALOG:
      gHWND = hwnd;
      if (!AttachGUI()) SayGUINotAttached();
      CenterWindow(hwnd);
      ShowWindow(hwnd, SW_SHOW);
      SetTimer(hwnd, kReportTimer, kReportMilliseconds, nullptr);
      return 1;
    case WM_COMMAND:
      switch (wParam & 0xFFFF)
      {
        case ID_ABOUT: ShowAbout(hwnd); return 0;
        case ID_PREFERENCES: ShowPreferences(hwnd); return 0;
        case ID_QUIT: DestroyWindow(hwnd); return 0;
        default: return 0;
      }
    case WM_TIMER:
      if (wParam == kReportTimer)
      {
        ReportCallbackEvents();
        LookAtServices();
      }
      return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kReportTimer);
      gHWND = nullptr;
      // The window takes its menu with it.
      SWELL_SetDefaultModalWindowMenu(nullptr);
      SWELL_PostQuitMessage(hwnd);
      return 0;
    default: return 0;
  }
}

void CreateMainWindow()
{
  HMENU menu = MakeWindowMenu();
  SWELL_CreateDialog(SWELL_curmodule_dialogresource_head, ResourceId(IDD_DIALOG_MAIN), nullptr, MainDlgProc, 0);
  if (menu && gHWND)
  {
    SetMenu(gHWND, menu);
    SWELL_SetDefaultModalWindowMenu(menu);
  }
  else if (menu)
  {
    DestroyMenu(menu);
  }
  // Opening again replaces the view made while the dialog was made.
  if (!AttachGUI()) SayGUINotAttached();
}
