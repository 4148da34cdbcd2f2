#include "menu_test_window.h"
#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/window.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <vector>

using namespace cocoa;

namespace
{
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
    submenu = CreatePopupMenu();
    SWELL_Menu_AddMenuItem(submenu, "Deep", 21, 0);
    SWELL_InsertMenu(menu, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "More");
  }
  void TearDown() override { DestroyMenu(menu); }

  // TrackPopupMenu at the screen point of content pixel (30, 40); once the menu is open,
  // clicks the item, first opening the submenu for a level-1 item. -1 presses Escape.
  int track(int flags, HWND target, size_t level, NSInteger index)
  {
    driver.at(driver.now() + 0.5, [=, this] {
      MenuTracker* tracker = MenuTracker::active();
      openedAt = tracker->menuFrame(0).origin;
      if (index < 0) return driver.key(window, kVK_Escape);
      if (level == 1) driver.mouseMove(window, contentPoint(tracker->itemRect(0, 1)));
      driver.at(driver.now() + 0.1, [=, this] { driver.click(window, contentPoint(tracker->itemRect(level, index))); });
    });
    const NSPoint screen = window->convertBaseToScreen(window->baseFromPixel(NSMakePoint(30, 40 + kTitleStripHeight)));
    return TrackPopupMenu(menu, flags, static_cast<int>(screen.x), static_cast<int>(screen.y), 0, target, nullptr);
  }

  static NSPoint contentPoint(NSRect itemRect)
  {
    return NSMakePoint(NSMidX(itemRect), NSMidY(itemRect) - kTitleStripHeight);
  }

  TestDriver driver;
  NSWindow* window = nullptr;
  MenuTestView* view = nullptr;
  HWND hwnd = nullptr;
  HMENU menu = nullptr;
  HMENU submenu = nullptr;
  NSPoint openedAt;
};
}  // namespace

TEST_F(WindowMenus, AContextMenuOpensBelowThePointAndReturnsTheChosenIdWithoutACommand)
{
  const int captureReleases = releaseCaptureCount();
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 1, 0), 21);
  EXPECT_EQ(openedAt, NSMakePoint(30, 40 + kTitleStripHeight + 4));
  EXPECT_EQ(releaseCaptureCount(), captureReleases + 1);
  // The window hears of the menu before it opens and of the submenu before that opens.
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, menu), initMenu(hwnd, submenu)}));
  // The menu sends nowhere once closed.
  EXPECT_EQ(swell::menuOf(submenu)->itemAtIndex(0)->target(), nullptr);
  EXPECT_EQ(swell::menuOf(menu)->delegate(), nullptr);
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 0, -1), 0);
}

TEST_F(WindowMenus, WithoutReturnCmdTheWindowGetsTheCommandUnlessNotNotified)
{
  EXPECT_EQ(track(0, hwnd, 0, 0), 1);
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, menu), {hwnd, WM_COMMAND, 11, 0}}));
  sentMessages().clear();
  EXPECT_EQ(track(TPM_NONOTIFY, hwnd, 0, 0), 1);
  EXPECT_EQ(track(0, nullptr, 0, 0), 1);  // shown in the main window, no one told
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
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 1, 1), 22);
}

TEST_F(WindowMenus, TheKeyWindowsMenuBecomesTheMenuBar)
{
  HMENU bar = CreatePopupMenu();
  EXPECT_EQ(SetMenu(hwnd, bar), 1);
  EXPECT_EQ(GetMenu(hwndOf(window)), bar);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  EXPECT_EQ(sentMessages(), (std::vector<SentMessage>{initMenu(hwnd, bar)}));

  // A window that is not key keeps its menu to itself.
  NSWindow* other = new NSWindow(NSMakeRect(500, 100, 200, 200), NSWindowStyleMaskTitled);
  auto* otherView = new MenuTestView(NSMakeRect(0, 0, 200, 200));
  other->setContentView(otherView);
  otherView->release();
  other->orderFront(nullptr);
  HMENU otherMenu = CreatePopupMenu();
  EXPECT_EQ(SetMenu(hwndOf(other), otherMenu), 1);
  EXPECT_EQ(GetMenu(hwndOf(otherView)), otherMenu);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  EXPECT_EQ(sentMessages().size(), 1u);
  other->close();

  // Menus that are not menus, objects that keep none, and a quitting application.
  EXPECT_EQ(SetMenu(hwnd, reinterpret_cast<HMENU>(window)), 0);
  StrongRef<NSView> plain = StrongRef<NSView>::adopt(new NSView(NSMakeRect(0, 0, 10, 10)));
  EXPECT_EQ(SetMenu(hwndOf(plain.get()), bar), 0);
  g_swell_terminating = true;
  EXPECT_EQ(SetMenu(hwnd, nullptr), 0);
  g_swell_terminating = false;
  EXPECT_EQ(GetMenu(hwnd), bar);
  EXPECT_EQ(SetMenu(hwnd, nullptr), 1);
  EXPECT_EQ(SWELL_GetCurrentMenu(), nullptr);
  DestroyMenu(bar);
}
