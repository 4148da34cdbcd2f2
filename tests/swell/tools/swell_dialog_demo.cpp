// A modal dialog of the window layer on a real display, for the check under Xvfb: two
// drop-down lists, an edit field, OK and Cancel. When the run ends it prints what the dialog
// answered and the values chosen, and quits.
//
//   swell-dialog-demo

#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-misc.h"
#include "swell-timer.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/timer.h"

#include <cstdio>
#include <string>

using namespace cocoa;

namespace
{
constexpr int kRate = 1001;
constexpr int kBuffer = 1002;
constexpr int kName = 1003;

std::string g_rate = "none";
std::string g_buffer = "none";
std::string g_name;

void say(const std::string& line)
{
  std::printf("swell-dialog-demo: %s\n", line.c_str());
  std::fflush(stdout);
}

void makeControls(HWND view, int)
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
  SWELL_MakeLabel(-1, "Sample rate", -1, 10, 10, 100, 20, 0);
  SWELL_MakeCombo(kRate, 120, 10, 120, 100, CBS_DROPDOWNLIST);
  SWELL_MakeLabel(-1, "Buffer size", -1, 10, 40, 100, 20, 0);
  SWELL_MakeCombo(kBuffer, 120, 40, 120, 100, CBS_DROPDOWNLIST);
  SWELL_MakeLabel(-1, "Name", -1, 10, 70, 100, 20, 0);
  SWELL_MakeEditField(kName, 120, 70, 160, 20, 0);
  SWELL_MakeButton(1, "OK", IDOK, 150, 110, 60, 20, 0);
  SWELL_MakeButton(0, "Cancel", IDCANCEL, 220, 110, 60, 20, 0);
}

// The selected entry's text, "none" without a selection.
std::string selectedText(HWND dialog, int id)
{
  const int index = SWELL_CB_GetCurSel(dialog, id);
  char text[64];
  return index >= 0 && SWELL_CB_GetItemText(dialog, id, index, text, sizeof text) == 1 ? text : "none";
}

LRESULT dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
  if (msg == WM_INITDIALOG)
  {
    for (const char* rate : {"44100", "48000", "96000"}) SWELL_CB_AddString(hwnd, kRate, rate);
    for (const char* size : {"64", "128", "256"}) SWELL_CB_AddString(hwnd, kBuffer, size);
    say("dialog open");
    return 1;
  }
  if (msg != WM_COMMAND) return 0;
  const int id = static_cast<int>(wParam & 0xFFFF);
  if ((wParam >> 16) == CBN_SELCHANGE) say("picked " + selectedText(hwnd, id) + " in " + std::to_string(id));
  if (id == IDOK)
  {
    g_rate = selectedText(hwnd, kRate);
    g_buffer = selectedText(hwnd, kBuffer);
    char name[128];
    GetDlgItemText(hwnd, kName, name, sizeof name);
    g_name = name;
    EndDialog(hwnd, 1);
  }
  else if (id == IDCANCEL)
    EndDialog(hwnd, 2);
  return 1;
}

class DemoController : public NSApplicationDelegate, public SWELL_PostMessageController
{
};
}  // namespace

int main()
{
  NSAutoreleasePool pool;
  installTerminationSignalHandlers();
  NSApplication* app = NSApp();
  DemoController controller;
  app->setDelegate(&controller);
  SWELL_Internal_PostMessage_Init();
  static const char kDialogId = 0;
  static SWELL_DialogResourceIndex record{&kDialogId, "Vorna dialog demo", 0x4 | 0x10, makeControls, 300, 140, nullptr};
  NSTimer::scheduledTimerWithTimeInterval(0.1, false, [](NSTimer*) {
    const int answer = SWELL_DialogBox(&record, &kDialogId, nullptr, dialogProc, 0);
    say("dialog returned " + std::to_string(answer) + " rate=" + g_rate + " buffer=" + g_buffer + " name=" + g_name);
    SWELL_PostQuitMessage(nullptr);
  });
  say(std::string("running with the ") + platformBackend().name() + " backend");
  app->run();
  app->setDelegate(nullptr);
  return 0;
}
