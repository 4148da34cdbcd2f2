// The window layer's clipboard on a real display, for the check under Xvfb: at start it
// copies a line of text with the clipboard functions (for `xclip -o` to read); an edit
// field takes the keyboard, and whenever its text changes (a paste with Ctrl+V) the program
// prints it. Closing the window or SIGTERM quits.
//
//   swell-clipboard-demo TEXT-TO-COPY

#include "swell-clipboard.h"
#include "swell-misc.h"
#include "swell-timer.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace cocoa;

namespace
{
constexpr UINT_PTR kPollTimer = 1;
NSTextField* g_field = nullptr;
std::string g_shown;

void say(const std::string& line)
{
  std::printf("swell-clipboard-demo: %s\n", line.c_str());
  std::fflush(stdout);
}

void copyText(const char* text)
{
  OpenClipboard(nullptr);
  EmptyClipboard();
  const size_t size = std::strlen(text) + 1;
  HANDLE handle = GlobalAlloc(0, static_cast<int>(size));
  std::memcpy(GlobalLock(handle), text, size);
  GlobalUnlock(handle);
  SetClipboardData(RegisterClipboardFormat("SWELL__CF_TEXT"), handle);
  CloseClipboard();
}

LRESULT demoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg)
  {
  case WM_TIMER:
    if (g_field && g_field->stringValue().str() != g_shown)
    {
      g_shown = g_field->stringValue().str();
      say("field: " + g_shown);
    }
    return 0;
  case WM_CLOSE: DestroyWindow(hwnd); return 1;
  case WM_DESTROY:
    KillTimer(hwnd, kPollTimer);
    SWELL_PostQuitMessage(nullptr);
    return 0;
  default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

class DemoController : public NSApplicationDelegate, public SWELL_PostMessageController
{
public:
  void applicationWillTerminate() override { say("quitting"); }
};
}  // namespace

int main(int argc, char** argv)
{
  if (argc < 2)
  {
    std::fprintf(stderr, "usage: swell-clipboard-demo TEXT-TO-COPY\n");
    return 2;
  }
  NSAutoreleasePool pool;
  installTerminationSignalHandlers();
  NSApplication* app = NSApp();
  DemoController controller;
  app->setDelegate(&controller);
  SWELL_Internal_PostMessage_Init();

  auto* view = new Swell_vVorna_hwnd;
  view->initChild(nullptr, nullptr, demoProc, 0);
  view->NSView::setFrame(NSMakeRect(0, 0, 360, 80));
  HWND hwnd = view->handle();
  SWELL_CreateModelessFrameForWindow(hwnd, nullptr, NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  view->release();
  SetDlgItemText(hwnd, 0, "Vorna clipboard demo");
  g_field = new NSTextField(NSMakeRect(20, 24, 320, 24));
  view->addSubview(g_field);
  g_field->release();
  ShowWindow(hwnd, SW_SHOW);
  view->window()->makeFirstResponder(g_field);
  SetTimer(hwnd, kPollTimer, 50, nullptr);

  copyText(argv[1]);
  say("copied");
  say(std::string("running with the ") + platformBackend().name() + " backend");
  app->run();
  app->setDelegate(nullptr);
  return 0;
}
