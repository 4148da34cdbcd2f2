#include "app_window_fixture.h"

#include "IGraphics.h"
#include "IPlugStandalone.h"
#include "StandaloneMainWindow.h"
#include "app_main_window.h"
#include "app_menu.h"
#include "app_resources.h"
#include "swell-menu.h"
#include "swell-misc.h"
#include "swell-wnd-capabilities.h"
#include "swell-wnd.h"

#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/run_loop.h"
#include "platform/foundation/timer.h"

#include <string>
#include <vector>

namespace
{
TEST_F(AppWindowTest, TheMainWindowCarriesOneEditorViewAndACopyOfTheMainMenu)
{
  StartApplication();
  ASSERT_NE(gHWND, nullptr);
  EXPECT_TRUE(IsWindowVisible(gHWND));
  char title[32] = "";
  GetDlgItemText(gHWND, 0, title, sizeof(title));
  EXPECT_STREQ(title, "Vorna");
  RECT client;
  GetClientRect(gHWND, &client);
  EXPECT_EQ(client.right - client.left, kMainWindowWidth);
  EXPECT_EQ(client.bottom - client.top, kMainWindowHeight);

  // The window's menu: File with Preferences... and Quit, Help with About, and nothing else.
  HMENU menu = GetMenu(gHWND);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(ItemTitle(menu, 0), "File");
  EXPECT_EQ(ItemTitle(menu, 1), "Help");
  HMENU file = GetSubMenu(menu, 0);
  HMENU help = GetSubMenu(menu, 1);
  ASSERT_EQ(GetMenuItemCount(file), 2);
  EXPECT_EQ(GetMenuItemID(file, 0), ID_PREFERENCES);
  EXPECT_EQ(ItemTitle(file, 0), "Preferences...");
  EXPECT_EQ(GetMenuItemID(file, 1), ID_QUIT);
  EXPECT_EQ(ItemTitle(file, 1), "Quit");
  ASSERT_EQ(GetMenuItemCount(help), 1);
  EXPECT_EQ(GetMenuItemID(help, 0), ID_ABOUT);
  EXPECT_EQ(ItemTitle(help, 0), "About");
  // A copy: the application's own menu is another object, and still sends to the controller.
  EXPECT_NE(swellMenuOf(menu), mMainMenu);
  cocoa::NSMenuItem* quit = ItemWithTag(mMainMenu, ID_QUIT);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(quit->target(), static_cast<cocoa::NSObject*>(Controller()));
  EXPECT_EQ(quit->action(), cocoa::Action::onSysMenuCommand);
  // The copy keeps the standard application menu's shortcuts, and shows them as typed here.
  for (auto [tag, label] : {std::pair{ID_PREFERENCES, "Ctrl+,"}, {ID_QUIT, "Ctrl+Q"}, {ID_ABOUT, ""}})
    EXPECT_EQ(cocoa::keyEquivalentLabel(ItemWithTag(swellMenuOf(menu), tag)).str(), label) << tag;

  // While the window is up, the main thread prints what the audio thread noted.
  testing::internal::CaptureStdout();
  gWorld.audio->Pump({}, RTAUDIO_OUTPUT_UNDERFLOW);
  mDriver.runFor(0.3);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Stream underflow detected!"), std::string::npos);

  // Opened twice: the second view replaced the first, and it fills the window.
  IGraphics* gui = gPluginInstance->GetGUI();
  ASSERT_NE(gui, nullptr);
  auto* editorView = static_cast<cocoa::NSView*>(gui->GetWindow());
  ASSERT_NE(editorView, nullptr);
  EXPECT_EQ(editorView->superview(), MainView());
  EXPECT_EQ(MainView()->subviews().size(), 1u);
  EXPECT_EQ(int(editorView->frame().size.width), kMainWindowWidth);
  EXPECT_EQ(int(editorView->frame().size.height), kMainWindowHeight);
  // The first view's frame timer stopped with it: one timer beats at the editor's rate, the
  // view's in the window.
  int frameTimers = 0;
  for (const auto& timer : cocoa::NSRunLoop::currentRunLoop()->timers())
    if (timer->isValid() && timer->timeInterval() == 1.0 / gui->FPS())
    {
      ++frameTimers;
      EXPECT_EQ(timer->target(), dynamic_cast<cocoa::TimerTarget*>(editorView));
    }
  EXPECT_EQ(frameTimers, 1);
}

// The main window starts centred on the screen's visible area as the platform centres a
// window: across, exactly in the middle; up and down, where the platform's own centring puts
// it. Centring by the window's view handle moves a window put elsewhere back there.
TEST_F(AppWindowTest, TheMainWindowStartsCentredOnTheScreen)
{
  StartApplication();
  ASSERT_NE(gHWND, nullptr);
  cocoa::NSWindow* window = MainView()->window();
  ASSERT_NE(window, nullptr);
  cocoa::NSScreen* screen = window->screen() ? window->screen() : cocoa::NSScreen::mainScreen();
  ASSERT_NE(screen, nullptr);
  const cocoa::NSRect area = screen->visibleFrame();
  const cocoa::NSRect started = window->frame();
  ASSERT_LT(started.size.width, area.size.width);
  ASSERT_LT(started.size.height, area.size.height);

  EXPECT_NEAR(started.origin.x + started.size.width / 2, area.origin.x + area.size.width / 2, 0.5);
  EXPECT_GE(started.origin.y, area.origin.y);
  EXPECT_LE(started.origin.y + started.size.height, area.origin.y + area.size.height);
  window->center();
  EXPECT_EQ(window->frame(), started);

  window->setFrameOrigin(cocoa::NSMakePoint(area.origin.x, area.origin.y));
  ASSERT_NE(window->frame(), started);
  CenterWindow(gHWND);
  EXPECT_EQ(window->frame(), started);
}

TEST_F(AppWindowTest, AnEditorOfAnotherSizeResizesTheMainWindowAroundItInPlace)
{
  StartApplication();
  ASSERT_NE(gHWND, nullptr);
  cocoa::NSWindow* window = MainView()->window();
  RECT before;
  ASSERT_TRUE(GetWindowRect(gHWND, &before));

  // Wider and shorter than the editor the window was made for, painted in one colour so
  // that every pixel of it can be found on the window.
  constexpr int kWidth = 840, kHeight = 560;
  IGraphics* gui = gPluginInstance->GetGUI();
  gui->Resize(kWidth, kHeight);
  const IColor green(255, 0, 200, 0);
  gui->AttachPanelBackground(&green);
  gui->SetAllControlsDirty();
  mDriver.runFor(0.2);

  // The window keeps its left and upper edges (y grows upward: `bottom` is the upper edge)
  // and is the editor plus the 22-point strip above it.
  RECT after;
  ASSERT_TRUE(GetWindowRect(gHWND, &after));
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_EQ(after.right - after.left, kWidth);
  EXPECT_EQ(after.bottom - after.top, kHeight + 22);
  RECT client;
  GetClientRect(gHWND, &client);
  EXPECT_EQ(client.right - client.left, kWidth);
  EXPECT_EQ(client.bottom - client.top, kHeight);
  auto* editorView = static_cast<cocoa::NSView*>(gui->GetWindow());
  EXPECT_EQ(editorView->frame(), MainView()->bounds());

  // What the user sees: the editor's four corners below the strip, and the strip's menu
  // titles above it, untouched.
  const cocoa::BackingBitmap& shown = window->backing();
  ASSERT_EQ(shown.width(), kWidth);
  ASSERT_EQ(shown.height(), kHeight + 22);
  for (auto [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}})
    EXPECT_EQ(shown.pixel(x, 22 + y) & 0xFFFFFF, 0x00C800u) << x << ", " << y;
  EXPECT_NE(shown.pixel(kWidth / 2, 10) & 0xFFFFFF, 0x00C800u);
}

TEST_F(AppWindowTest, QuitFromTheMainMenuEndsTheWindowThenShutsDownInOrder)
{
  // Before the window exists, and with id 0, a menu command does nothing.
  EXPECT_EQ(SWELLAppMain(SWELLAPP_MENUCOMMAND, ID_QUIT, 0), 0);
  StartApplication();
  ASSERT_NE(gHWND, nullptr);
  EXPECT_EQ(SWELLAppMain(SWELLAPP_MENUCOMMAND, 0x10000, 0), 0);
  EXPECT_NE(gHWND, nullptr);
  ASSERT_TRUE(gDAC && gDAC->isStreamRunning());

  gWorld.log.clear();
  Controller()->onSysMenuCommand(ItemWithTag(mMainMenu, ID_QUIT));
  EXPECT_EQ(gHWND, nullptr);
  EXPECT_TRUE(cocoa::NSApp()->hasTerminated());
  EXPECT_EQ(gPluginInstance, nullptr);
  EXPECT_EQ(gWorld.log, (std::vector<std::string>{"stop", "in close", "out close", "close", "in deleted",
                                                  "out deleted", "audio deleted"}));
  EXPECT_TRUE(gWorld.pluginOutlivedMidiIn);
}

TEST_F(AppWindowTest, CtrlQQuitsAsFileQuitDoesWhereverTheFocusIs)
{
  for (bool inEditor : {true, false})
  {
    SCOPED_TRACE(inEditor ? "focus in the editor" : "no focus");
    StartApplication();
    ASSERT_NE(gHWND, nullptr);
    cocoa::StrongRef<cocoa::NSWindow> window(MainView()->window());
    ASSERT_EQ(cocoa::NSApp()->keyWindow(), window.get());
    auto* editor = static_cast<cocoa::NSView*>(gPluginInstance->GetGUI()->GetWindow());
    ASSERT_TRUE(window->makeFirstResponder(inEditor ? editor : nullptr));
    const std::string settings = ReadSettings();

    // Typing is not a command.
    mDriver.key(window.get(), cocoa::kVK_ANSI_Q);
    mDriver.type(window.get(), "Q");
    ASSERT_NE(gHWND, nullptr);
    EXPECT_FALSE(cocoa::NSApp()->hasTerminated());

    gWorld.log.clear();
    mDriver.key(window.get(), cocoa::kVK_ANSI_Q, cocoa::NSEventModifierFlagCommand);
    EXPECT_EQ(gHWND, nullptr);
    EXPECT_TRUE(cocoa::NSApp()->hasTerminated());
    EXPECT_EQ(gPluginInstance, nullptr);
    EXPECT_EQ(gWorld.log, (std::vector<std::string>{"stop", "in close", "out close", "close", "in deleted",
                                                    "out deleted", "audio deleted"}));
    EXPECT_EQ(ReadSettings(), settings);
    Quit();
    if (mMainMenu) mMainMenu->release();
    mMainMenu = nullptr;
  }
}

TEST_F(AppWindowTest, CtrlCommaOpensThePreferences)
{
  StartApplication();
  ASSERT_NE(gHWND, nullptr);
  cocoa::NSWindow* window = MainView()->window();
  std::string title;
  RunWithModal([&] { mDriver.key(window, cocoa::kVK_ANSI_Comma, cocoa::NSEventModifierFlagCommand); }, "Ctrl+,",
               {[&title](HWND dialog) {
                 title = ModalWindow()->title().str();
                 SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
               }});
  EXPECT_EQ(title, "Preferences");
  EXPECT_NE(gHWND, nullptr);
}

TEST_F(AppWindowTest, ClosingTheWindowOrTerminatingQuitsTheSameWay)
{
  for (bool close : {true, false})
  {
    SCOPED_TRACE(close ? "close" : "terminate");
    StartApplication();
    ASSERT_NE(gHWND, nullptr);
    HWND window = gHWND;
    gWorld.log.clear();
    if (close) SendMessage(window, WM_CLOSE, 0, 0);
    else cocoa::NSApp()->terminate(nullptr);
    EXPECT_EQ(gHWND, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(gPluginInstance, nullptr);
    ASSERT_FALSE(gWorld.log.empty());
    EXPECT_EQ(gWorld.log.back(), "audio deleted");
    Quit();
    if (mMainMenu) mMainMenu->release();
    mMainMenu = nullptr;
  }
}
}  // namespace

namespace
{
// SIGTERM (which the platform turns into terminate) while a dialog runs modally over the
// main window: the dialog ends, then the application shuts down in the usual order, and the
// settings are left as they were. The dialog's own close box only ends the dialog.
TEST_F(AppWindowTest, TerminatingWhileADialogIsOpenEndsTheDialogThenShutsDownInOrder)
{
  for (int command : {ID_PREFERENCES, ID_ABOUT})
    for (bool signalled : {true, false})
    {
      SCOPED_TRACE(std::string(command == ID_ABOUT ? "About" : "Preferences") +
                   (signalled ? ", SIGTERM" : ", the dialog's close box"));
      StartApplication();
      ASSERT_NE(gHWND, nullptr);
      HWND window = gHWND;
      const std::string settings = ReadSettings();
      HWND dialog = nullptr;
      RunCommandWithModal(command, {[&](HWND d) {
                            dialog = d;
                            gWorld.log.clear();
                            if (signalled) cocoa::NSApp()->terminate(nullptr);
                            else ModalWindow()->performClose(nullptr);
                          }});
      EXPECT_EQ(ModalWindow(), nullptr);
      if (dialog)
      {
        EXPECT_FALSE(IsWindow(dialog));
      }
      EXPECT_EQ(ReadSettings(), settings);
      if (signalled)
      {
        EXPECT_EQ(gHWND, nullptr);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(cocoa::NSApp()->hasTerminated());
        EXPECT_EQ(gPluginInstance, nullptr);
        EXPECT_EQ(gWorld.log, (std::vector<std::string>{"stop", "in close", "out close", "close", "in deleted",
                                                        "out deleted", "audio deleted"}));
      }
      else
      {
        EXPECT_EQ(gHWND, window);
        EXPECT_FALSE(cocoa::NSApp()->hasTerminated());
        ASSERT_NE(gDAC, nullptr);
        EXPECT_TRUE(gDAC->isStreamRunning());
      }
      Quit();
      if (mMainMenu) mMainMenu->release();
      mMainMenu = nullptr;
    }
}
}  // namespace
