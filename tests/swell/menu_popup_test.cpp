// Menus on the layer's own windows: context menus, the menu bar of a window and the menu a
// window keeps, chosen through the platform's menu tracker.
#include "swell-menu.h"
#include "swell-misc.h"
#include "wnd_test_support.h"

#include "platform/appkit/keys.h"
#include "platform/appkit/menu_bar.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/foundation/object_registry.h"

#include <vector>

using namespace cocoa;

namespace
{
NSPoint contentPoint(NSRect windowPixels)
{
  return NSMakePoint(NSMidX(windowPixels), NSMidY(windowPixels) - kTitleStripHeight);
}

class WindowMenus : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    r = recorder("top");
    hwnd = topLevel(r);
    window = windowOf(hwnd);
    menu = CreatePopupMenu();
    SWELL_Menu_AddMenuItem(menu, "First", 11, 0);
    submenu = CreatePopupMenu();
    SWELL_Menu_AddMenuItem(submenu, "Deep", 21, 0);
    SWELL_InsertMenu(menu, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "More");
  }
  void TearDown() override
  {
    DestroyMenu(menu);
    WindowTest::TearDown();
  }

  // The menus the window heard WM_INITMENUPOPUP for, in order, and the commands it got.
  std::vector<HMENU> initialised() const
  {
    std::vector<HMENU> menus;
    for (const Message& m : r->log)
      if (m.msg == WM_INITMENUPOPUP) menus.push_back(reinterpret_cast<HMENU>(m.wParam));
    return menus;
  }
  std::vector<WPARAM> commands() const
  {
    std::vector<WPARAM> ids;
    for (const Message& m : r->log)
      if (m.msg == WM_COMMAND) ids.push_back(m.wParam);
    return ids;
  }

  // TrackPopupMenu at the screen point of content pixel (30, 40); once the menu is open,
  // clicks the item, first opening the submenu for a level-1 item. -1 presses Escape.
  int track(int flags, HWND target, size_t level, NSInteger index, HMENU shown = nullptr)
  {
    driver.at(driver.now() + 0.5, [=, this] {
      MenuTracker* tracker = MenuTracker::active();
      openedAt = tracker->menuFrame(0).origin;
      if (index < 0) return driver.key(window, kVK_Escape);
      if (level == 1) driver.mouseMove(window, contentPoint(tracker->itemRect(0, 1)));
      driver.at(driver.now() + 0.1, [=, this] { driver.click(window, contentPoint(tracker->itemRect(level, index))); });
    });
    const NSPoint screen = window->convertBaseToScreen(window->baseFromPixel(NSMakePoint(30, 40 + kTitleStripHeight)));
    return TrackPopupMenu(shown ? shown : menu, flags, static_cast<int>(screen.x), static_cast<int>(screen.y), 0, target,
                          nullptr);
  }

  Recorder* r = nullptr;
  HWND hwnd = nullptr;
  NSWindow* window = nullptr;
  HMENU menu = nullptr;
  HMENU submenu = nullptr;
  NSPoint openedAt;
};
}  // namespace

TEST_F(WindowMenus, AContextMenuOpensBelowThePointAndReturnsTheChosenIdWithoutACommand)
{
  SetCapture(hwnd);
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 1, 0), 21);
  EXPECT_EQ(openedAt, NSMakePoint(30, 40 + kTitleStripHeight + 4));
  EXPECT_EQ(GetCapture(), nullptr);
  // The window hears of the menu before it opens and of the submenu before that opens.
  EXPECT_EQ(initialised(), (std::vector<HMENU>{menu, submenu}));
  EXPECT_TRUE(commands().empty());
  // The menu sends nowhere once closed.
  EXPECT_EQ(swellMenuOf(submenu)->itemAtIndex(0)->target(), nullptr);
  EXPECT_EQ(swellMenuOf(menu)->delegate(), nullptr);
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 0, -1), 0);
}

TEST_F(WindowMenus, WithoutReturnCmdTheWindowGetsTheCommandAndNoNotifyOnlySilencesTheOpening)
{
  EXPECT_EQ(track(0, hwnd, 0, 0), 1);
  EXPECT_EQ(initialised(), (std::vector<HMENU>{menu}));
  EXPECT_EQ(commands(), (std::vector<WPARAM>{11}));
  EXPECT_EQ(r->last(WM_COMMAND)->lParam, 0);

  r->log.clear();
  EXPECT_EQ(track(TPM_NONOTIFY, hwnd, 1, 0), 1);
  EXPECT_TRUE(initialised().empty());
  EXPECT_EQ(commands(), (std::vector<WPARAM>{21}));

  // Shown in the main window on no one's behalf: no one is told.
  r->log.clear();
  EXPECT_EQ(track(0, nullptr, 0, 0), 1);
  EXPECT_TRUE(initialised().empty());
  EXPECT_TRUE(commands().empty());
  EXPECT_EQ(TrackPopupMenu(nullptr, TPM_RETURNCMD, 0, 0, 0, hwnd, nullptr), 0);
}

TEST_F(WindowMenus, ItemsAWindowAddsWhileASubmenuOpensCanBeChosen)
{
  r->answer = [this](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == submenu)
      AddMenuItem(submenu, 1, "Added late", 22);  // no command target of its own
    return std::nullopt;
  };
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 1, 1), 22);
}

// Timers run while a context menu is open, and may take away the window it was opened for, or
// add items to the open menu: the chosen command goes to no window that is gone, and the keys
// move only over the rows the menu was laid out with.
TEST_F(WindowMenus, AContextMenuWhoseWindowGoesOrThatGainsItemsWhileOpenStaysInBounds)
{
  Recorder* childLog = recorder("child");
  HWND target = child(hwnd, childLog);
  driver.at(driver.now() + 0.3, [target] { DestroyWindow(target); });
  EXPECT_EQ(track(0, target, 0, 0), 1);
  EXPECT_FALSE(IsWindow(target));
  EXPECT_EQ(childLog->count(WM_COMMAND), 0);

  NSInteger highlighted = -2;
  HMENU addedSubmenu = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(addedSubmenu, "Deeper", 41, 0);
  driver.at(driver.now() + 0.3, [this, addedSubmenu] {
    for (int id = 31; id <= 32; ++id) SWELL_Menu_AddMenuItem(menu, "Added while open", id, 0);
    SWELL_InsertMenu(menu, 4, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(addedSubmenu), "Added submenu");
  });
  driver.at(driver.now() + 0.4, [this] {
    for (int press = 0; press < 5; ++press) driver.key(window, kVK_DownArrow);
    driver.key(window, kVK_RightArrow);
  });
  driver.at(driver.now() + 0.5, [this, &highlighted] {
    highlighted = MenuTracker::active() ? MenuTracker::active()->highlightedItem(0) : -1;
    driver.key(window, kVK_Escape);
  });
  const NSPoint screen = window->convertBaseToScreen(window->baseFromPixel(NSMakePoint(30, 40 + kTitleStripHeight)));
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, int(screen.x), int(screen.y), 0, hwnd, nullptr), 0);
  // Two rows were laid out: "First" and "More".
  EXPECT_GE(highlighted, 0);
  EXPECT_LT(highlighted, 2);
}

TEST_F(WindowMenus, TheKeyWindowsMenuBecomesTheMenuBar)
{
  HMENU bar = CreatePopupMenu();
  EXPECT_EQ(SetMenu(hwnd, bar), 1);
  EXPECT_EQ(GetMenu(swellHandleOf(window)), bar);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  EXPECT_EQ(initialised(), (std::vector<HMENU>{bar}));

  // A window that is not key keeps its menu to itself.
  Recorder* otherRecorder = recorder("other");
  HWND other = topLevel(otherRecorder, NSMakeRect(500, 100, 200, 200));
  window->makeKeyWindow();
  HMENU otherMenu = CreatePopupMenu();
  EXPECT_EQ(SetMenu(swellHandleOf(windowOf(other)), otherMenu), 1);
  EXPECT_EQ(GetMenu(other), otherMenu);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  EXPECT_EQ(otherRecorder->count(WM_INITMENUPOPUP), 0);
  DestroyWindow(other);

  // Menus that are not menus, objects that keep none, and a quitting application.
  EXPECT_EQ(SetMenu(hwnd, reinterpret_cast<HMENU>(window)), 0);
  StrongRef<NSView> plain = StrongRef<NSView>::adopt(new NSView(NSMakeRect(0, 0, 10, 10)));
  EXPECT_EQ(SetMenu(swellHandleOf(plain.get()), bar), 0);
  g_swell_terminating = true;
  EXPECT_EQ(SetMenu(hwnd, nullptr), 0);
  g_swell_terminating = false;
  EXPECT_EQ(GetMenu(hwnd), bar);
  EXPECT_EQ(SetMenu(hwnd, nullptr), 1);
  EXPECT_EQ(SWELL_GetCurrentMenu(), nullptr);
  DestroyMenu(bar);
}

TEST_F(WindowMenus, AChoiceInTheWindowsMenuBarReachesItAndEachOpeningIsAnnouncedOnce)
{
  HMENU bar = CreatePopupMenu();
  HMENU file = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(file, "Open", 41, 0);
  SWELL_Menu_AddMenuItem(file, "Save", 42, 0);
  HMENU edit = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(edit, "Undo", 51, 0);
  SWELL_InsertMenu(bar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  SWELL_InsertMenu(bar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  ASSERT_EQ(SetMenu(hwnd, bar), 1);
  EXPECT_EQ(initialised(), (std::vector<HMENU>{bar}));
  r->log.clear();

  // File, across to Edit and back, then Save; then File again, left with Escape.
  const std::vector<NSRect> titles = menuBarTitleRects(swellMenuOf(bar));
  ASSERT_EQ(titles.size(), 2u);
  driver.at(driver.now() + 0.5, [&] {
    driver.mouseMove(window, contentPoint(titles[1]));
    driver.at(driver.now() + 0.1, [&] {
      driver.mouseMove(window, contentPoint(titles[0]));
      driver.at(driver.now() + 0.1, [&] { driver.click(window, contentPoint(MenuTracker::active()->itemRect(0, 1))); });
    });
  });
  driver.click(window, contentPoint(titles[0]));
  EXPECT_EQ(initialised(), (std::vector<HMENU>{file, edit, file}));
  ASSERT_EQ(commands(), (std::vector<WPARAM>{42}));

  driver.at(driver.now() + 0.5, [&] { driver.key(window, kVK_Escape); });
  driver.click(window, contentPoint(titles[0]));
  EXPECT_EQ(initialised(), (std::vector<HMENU>{file, edit, file, file}));
  EXPECT_EQ(commands().size(), 1u);
}

namespace
{
MENUITEMINFO submenuInfo(HMENU submenu, const char* title = nullptr)
{
  MENUITEMINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU | (title ? MIIM_TYPE : 0);
  info.hSubMenu = submenu;
  info.dwTypeData = const_cast<char*>(title);
  return info;
}

MENUITEMINFO textInfo(const char* title, UINT id)
{
  MENUITEMINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_TYPE | MIIM_ID;
  info.wID = id;
  info.dwTypeData = const_cast<char*>(title);
  return info;
}

// Moves a submenu out of one menu (detached, then its empty item deleted) into another.
void moveSubmenu(HMENU from, int position, HMENU to, int toPosition, const char* title)
{
  HMENU moving = GetSubMenu(from, position);
  MENUITEMINFO detach = submenuInfo(nullptr);
  ASSERT_TRUE(SetMenuItemInfo(from, position, true, &detach));
  ASSERT_TRUE(DeleteMenu(from, position, MF_BYPOSITION));
  MENUITEMINFO attach = submenuInfo(moving, title);
  InsertMenuItem(to, toPosition, true, &attach);
}
}  // namespace

TEST_F(WindowMenus, AContextMenuEditedBetweenShowingsOffersWhatItHoldsNow)
{
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 0, 0), 11);

  // Removed by id, one added at an id that is not there (the end), one at the front.
  EXPECT_TRUE(DeleteMenu(menu, 11, 0));
  EXPECT_FALSE(DeleteMenu(menu, 11, 0));
  MENUITEMINFO last = textInfo("Last", 12);
  InsertMenuItem(menu, 999, false, &last);
  MENUITEMINFO first = textInfo("New first", 10);
  InsertMenuItem(menu, 0, true, &first);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  EXPECT_EQ(GetMenuItemID(menu, 1), -1);
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 0, 0), 10);
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 0, 2), 12);
  EXPECT_EQ(track(0, hwnd, 1, 0), 1);
  EXPECT_EQ(commands(), std::vector<WPARAM>{21});

  // The submenu moves to another menu: found there by its ids, gone from here, and chosen
  // there it reaches the window; closed, it sends nowhere.
  HMENU other = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(other, "Other", 31, 0);
  moveSubmenu(menu, 1, other, 1, "Moved");
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(GetSubMenu(other, 1), submenu);
  EXPECT_FALSE(CheckMenuItem(menu, 21, MF_CHECKED));
  EXPECT_TRUE(CheckMenuItem(other, 21, MF_CHECKED));
  r->log.clear();
  EXPECT_EQ(track(0, hwnd, 1, 0, other), 1);
  EXPECT_EQ(commands(), std::vector<WPARAM>{21});
  EXPECT_EQ(initialised(), (std::vector<HMENU>{other, submenu}));
  EXPECT_EQ(swellMenuOf(submenu)->itemAtIndex(0)->target(), nullptr);
  EXPECT_EQ(swellMenuOf(submenu)->delegate(), nullptr);
  EXPECT_EQ(track(TPM_RETURNCMD, hwnd, 0, 1), 12);  // the first menu is whole without it
  DestroyMenu(other);
}

TEST_F(WindowMenus, ASubmenuMovedIntoAnotherWindowsMenuBarOutlivesTheWindowItCameFrom)
{
  HMENU bar = CreatePopupMenu();
  HMENU file = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(file, "Open", 41, 0);
  SWELL_InsertMenu(bar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  SWELL_Menu_AddMenuItem(bar, "Help", 43, 0);
  ASSERT_EQ(SetMenu(hwnd, bar), 1);

  Recorder* secondRecorder = recorder("second");
  HWND second = topLevel(secondRecorder, NSMakeRect(400, 100, 300, 200));
  NSWindow* secondWindow = windowOf(second);
  secondWindow->makeKeyWindow();
  HMENU secondBar = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(secondBar, "Quit", 44, 0);
  ASSERT_EQ(SetMenu(second, secondBar), 1);
  ASSERT_EQ(SWELL_GetCurrentMenu(), secondBar);

  // File moves to the second window's menu after it was attached, and its first window goes.
  moveSubmenu(bar, 0, secondBar, 0, "&File");
  DestroyWindow(hwnd);
  const std::vector<NSRect> titles = menuBarTitleRects(swellMenuOf(secondBar));
  ASSERT_EQ(titles.size(), 2u);
  auto chooseOpen = [&] {
    driver.at(driver.now() + 0.5, [&] { driver.click(secondWindow, contentPoint(MenuTracker::active()->itemRect(0, 0))); });
    driver.click(secondWindow, contentPoint(titles[0]));
  };
  // Until the second window takes the menu again its new items send nowhere; then they do.
  chooseOpen();
  EXPECT_EQ(secondRecorder->count(WM_COMMAND), 0);
  ASSERT_EQ(SetMenu(second, secondBar), 1);
  secondRecorder->log.clear();
  chooseOpen();
  ASSERT_EQ(secondRecorder->count(WM_COMMAND), 1);
  EXPECT_EQ(secondRecorder->last(WM_COMMAND)->wParam, 41u);
  EXPECT_EQ(secondRecorder->count(WM_INITMENUPOPUP), 1);
  DestroyWindow(second);
}
