#include "menu_test_window.h"
#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/window.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
NSPoint centre(NSRect r)
{
  return NSMakePoint(NSMidX(r), NSMidY(r) - kTitleStripHeight);  // tracker pixels to content pixels
}

SentMessage initMenu(HWND hwnd, HMENU menu)
{
  return {hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0};
}

class WindowMenus : public ::testing::Test
{
protected:
  void SetUp() override
  {
    sentMessages().clear();
    window = new NSWindow(NSMakeRect(100, 100, 400, 300), NSWindowStyleMaskTitled);
    view = new MenuTestView(NSMakeRect(0, 0, 400, 300));
    window->setContentView(view);
    view->release();
    window->makeKeyAndOrderFront(nullptr);
    hwnd = hwndOf(view);
    menu = CreatePopupMenu();
    SWELL_Menu_AddMenuItem(menu, "First", 11, 0);
    submenu = CreatePopupMenuEx("More");
    SWELL_Menu_AddMenuItem(submenu, "Deep", 21, 0);
    SWELL_InsertMenu(menu, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "More");
    SWELL_Menu_AddMenuItem(menu, "Last", 13, 0);
  }
  void TearDown() override { DestroyMenu(menu); }

  // Runs TrackPopupMenu at the screen point of the content pixel, doing `choose` once the
  // menu is open.
  int track(int flags, HWND target, std::function<void(MenuTracker*)> choose, NSPoint pixel = NSMakePoint(30, 40))
  {
    driver.at(driver.now() + 0.5, [=] { choose(MenuTracker::active()); });
    const NSPoint screen = window->convertBaseToScreen(window->baseFromPixel(
        NSMakePoint(pixel.x, pixel.y + kTitleStripHeight)));
    return TrackPopupMenu(menu, flags, static_cast<int>(screen.x), static_cast<int>(screen.y), 0, target, nullptr);
  }

  void clickItem(size_t level, NSInteger index)
  {
    driver.click(window, centre(MenuTracker::active()->itemRect(level, index)));
  }

  void openSubmenuAndClickDeep(MenuTracker* tracker)
  {
    driver.mouseMove(window, centre(tracker->itemRect(0, 1)));
    driver.at(driver.now() + 0.1, [this] { clickItem(1, 0); });
  }

  TestDriver driver;
  NSWindow* window = nullptr;
  MenuTestView* view = nullptr;
  HWND hwnd = nullptr;
  HMENU menu = nullptr;
  HMENU submenu = nullptr;
};
}  // namespace

TEST_F(WindowMenus, AContextMenuOpensBelowThePointAndReturnsTheChosenIdWithoutACommand)
{
  const int captureReleases = releaseCaptureCount();
  NSPoint origin;
  const int chosen = track(TPM_RETURNCMD, hwnd, [&](MenuTracker* tracker) {
    origin = tracker->menuFrame(0).origin;
    openSubmenuAndClickDeep(tracker);
  });
  EXPECT_EQ(chosen, 21);
  EXPECT_EQ(origin, NSMakePoint(30, 40 + kTitleStripHeight + 4));
  EXPECT_EQ(releaseCaptureCount(), captureReleases + 1);
  // The window hears of the menu before it opens and of the submenu before that opens.
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, menu), initMenu(hwnd, submenu)}));
  // The menu sends nowhere once closed.
  EXPECT_EQ(swell::menuOf(submenu)->itemAtIndex(0)->target(), nullptr);
  EXPECT_EQ(swell::menuOf(menu)->delegate(), nullptr);

  sentMessages().clear();
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, [&](MenuTracker*) { driver.key(window, kVK_Escape); }), 0);
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, menu)}));
}

TEST_F(WindowMenus, WithoutReturnCmdTheWindowGetsTheCommandUnlessNotNotified)
{
  EXPECT_EQ(track(0, hwnd, [&](MenuTracker*) { clickItem(0, 2); }), 1);
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, menu), {hwnd, WM_COMMAND, 13, 0}}));

  sentMessages().clear();
  EXPECT_EQ(track(TPM_NONOTIFY, hwnd, [&](MenuTracker*) { clickItem(0, 0); }), 1);
  EXPECT_EQ(track(0, hwnd, [&](MenuTracker*) { driver.key(window, kVK_Escape); }), 0);
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, menu)}));

  // Without a window the main window shows the menu and no one is told.
  sentMessages().clear();
  EXPECT_EQ(track(0, nullptr, [&](MenuTracker*) { clickItem(0, 0); }), 1);
  EXPECT_TRUE(sentMessages().empty());
  EXPECT_EQ(TrackPopupMenu(nullptr, TPM_RETURNCMD, 0, 0, 0, hwnd, nullptr), 0);
}

TEST_F(WindowMenus, ItemsAWindowAddsWhileASubmenuOpensCanBeChosen)
{
  view->handler = [this](UINT msg, WPARAM wParam, LPARAM) -> LRESULT {
    if (msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == submenu)
      AddMenuItem(submenu, 1, "Added late", 22);  // no command target of its own
    return 0;
  };
  const int chosen = track(TPM_RETURNCMD, hwnd, [&](MenuTracker* tracker) {
    driver.mouseMove(window, centre(tracker->itemRect(0, 1)));
    driver.at(driver.now() + 0.1, [this] { clickItem(1, 1); });
  });
  EXPECT_EQ(chosen, 22);
}

TEST_F(WindowMenus, TheKeyWindowsMenuBecomesTheMenuBar)
{
  HMENU bar = CreatePopupMenu();
  EXPECT_EQ(SetMenu(hwnd, bar), 1);
  EXPECT_EQ(GetMenu(hwndOf(window)), bar);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, bar)}));

  // Another window that is not key keeps its menu to itself.
  NSWindow* other = new NSWindow(NSMakeRect(500, 100, 200, 200), NSWindowStyleMaskTitled);
  auto* otherView = new MenuTestView(NSMakeRect(0, 0, 200, 200));
  other->setContentView(otherView);
  otherView->release();
  other->orderFront(nullptr);
  HMENU otherMenu = CreatePopupMenu();
  sentMessages().clear();
  EXPECT_EQ(SetMenu(hwndOf(other), otherMenu), 1);
  EXPECT_EQ(GetMenu(hwndOf(otherView)), otherMenu);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  EXPECT_TRUE(sentMessages().empty());
  other->close();

  // Objects that keep no menu, menus that are not menus, and a quitting application.
  EXPECT_EQ(SetMenu(hwnd, reinterpret_cast<HMENU>(window)), 0);
  auto* plain = new NSView(NSMakeRect(0, 0, 10, 10));
  EXPECT_EQ(SetMenu(hwndOf(plain), bar), 0);
  EXPECT_EQ(GetMenu(hwndOf(plain)), nullptr);
  plain->release();
  g_swell_terminating = true;
  EXPECT_EQ(SetMenu(hwnd, nullptr), 0);
  g_swell_terminating = false;
  EXPECT_EQ(GetMenu(hwnd), bar);
  EXPECT_EQ(SetMenu(hwnd, nullptr), 1);
  EXPECT_EQ(SWELL_GetCurrentMenu(), nullptr);
  DestroyMenu(bar);
}
