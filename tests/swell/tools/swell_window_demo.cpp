// A window of the window layer on a real display, for the check under Xvfb: its procedure
// prints what reaches it. A File menu in the window's strip (Say Hello, Ctrl+H; Quit,
// Ctrl+Q), a 40 ms timer, and a worker thread posting to the window. Clicks turn the swatch
// from red to green. The close button, Quit and SIGTERM quit.
//
//   swell-window-demo                     open the window
//   swell-window-demo --snapshot FILE.png draw it, write the window to FILE.png, quit

#include "swell-gdi.h"
#include "swell-menu.h"
#include "swell-misc.h"
#include "swell-text.h"
#include "swell-timer.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/timer.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

using namespace cocoa;

namespace
{
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 40;
constexpr int kHello = 40001;
constexpr int kQuit = 40002;
constexpr UINT kFromWorker = WM_USER + 1;

int g_ticks = 0;
bool g_clicked = false;
bool g_postArrived = false;

void say(const std::string& line)
{
  std::printf("swell-window-demo: %s\n", line.c_str());
  std::fflush(stdout);
}

void paint(HWND hwnd)
{
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  HBRUSH background = CreateSolidBrush(0xF0F0F0);
  SWELL_FillRect(dc, &client, background);
  HBRUSH swatch = CreateSolidBrush(g_clicked ? 0x00BF00 : 0xD90000);
  const RECT area = {20, 20, 220, 150};
  SWELL_FillRect(dc, &area, swatch);
  SetTextColor(dc, 0x202020);
  RECT text = {20, 160, 460, 190};
  const std::string ticks = "Timer ticks: " + std::to_string(g_ticks);
  SWELL_DrawText(dc, ticks.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX);
  RECT help = {20, 190, 460, 220};
  SWELL_DrawText(dc, "Click the swatch; File > Quit or Ctrl+Q quits.", -1, &help, DT_SINGLELINE | DT_NOPREFIX);
  DeleteObject(swatch);
  DeleteObject(background);
  EndPaint(hwnd, &ps);
}

LRESULT demoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg)
  {
  case WM_TIMER:
    if (++g_ticks == 5) say("timer ticking");
    if (g_ticks % 5 == 0) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
  case WM_LBUTTONDOWN:
    say("click at " + std::to_string(static_cast<short>(lParam & 0xFFFF)) + " " +
        std::to_string(static_cast<short>((lParam >> 16) & 0xFFFF)));
    g_clicked = true;
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
  case WM_KEYDOWN: say("key " + std::to_string(wParam)); return 0;
  case kFromWorker:
    if (!g_postArrived) say("posted message arrived");
    g_postArrived = true;
    return 0;
  case WM_COMMAND:
    if ((wParam & 0xFFFF) == kHello) say("hello");
    if ((wParam & 0xFFFF) == kQuit) DestroyWindow(hwnd);
    return 0;
  case WM_CLOSE: DestroyWindow(hwnd); return 1;
  case WM_DESTROY:
    KillTimer(hwnd, kTickTimer);
    SWELL_PostQuitMessage(nullptr);
    return 0;
  case WM_PAINT: paint(hwnd); return 0;
  default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

class DemoController : public NSApplicationDelegate, public SWELL_PostMessageController
{
public:
  void applicationWillTerminate() override { say("quitting"); }
};

HMENU makeMenu()
{
  HMENU file = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(file, "Say Hello", kHello, 0);
  SWELL_Menu_AddMenuItem(file, nullptr, 0, 0);
  SWELL_Menu_AddMenuItem(file, "Quit", kQuit, 0);
  SetMenuItemModifier(file, kHello, MF_BYCOMMAND, 'H', FCONTROL);
  SetMenuItemModifier(file, kQuit, MF_BYCOMMAND, 'Q', FCONTROL);
  HMENU bar = CreatePopupMenu();
  SWELL_InsertMenu(bar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  return bar;
}
}  // namespace

int main(int argc, char** argv)
{
  NSAutoreleasePool pool;
  installTerminationSignalHandlers();
  NSApplication* app = NSApp();
  DemoController controller;
  app->setDelegate(&controller);
  SWELL_Internal_PostMessage_Init();

  auto* view = new Swell_vVorna_hwnd;
  view->initChild(nullptr, nullptr, demoProc, 0);
  view->NSView::setFrame(NSMakeRect(0, 0, 480, 240));
  HWND hwnd = view->handle();
  SWELL_CreateModelessFrameForWindow(hwnd, nullptr, NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  view->release();
  SetDlgItemText(hwnd, 0, "Vorna window demo");
  ShowWindow(hwnd, SW_SHOW);
  SetMenu(hwnd, makeMenu());
  SetFocus(hwnd);
  SetTimer(hwnd, kTickTimer, kTickMs, nullptr);

  std::atomic<bool> stop{false};
  std::thread worker([&] {
    while (!stop.load())
    {
      PostMessage(hwnd, kFromWorker, 0, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });

  if (argc > 2 && std::strcmp(argv[1], "--snapshot") == 0)
  {
    const std::string path = argv[2];
    NSTimer::scheduledTimerWithTimeInterval(0.5, false, [path, hwnd](NSTimer*) {
      NSApp()->updateWindows();
      if (!writeWindowSnapshot(swellWindowView(hwnd)->window(), path)) say("cannot write " + path);
      DestroyWindow(hwnd);
    });
  }
  say(std::string("running with the ") + platformBackend().name() + " backend");
  app->run();
  stop = true;
  worker.join();
  app->setDelegate(nullptr);
  return 0;
}
