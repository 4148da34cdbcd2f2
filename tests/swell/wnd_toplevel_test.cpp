// Top-level windows: closing, moving and sizing reports, activation and the main menu, the
// menu strip, and windows rebuilt or left behind when their content view moves.
#include "swell-menu.h"
#include "wnd_test_support.h"

using namespace cocoa;

TEST_F(WindowTest, TheCloseButtonAsksTheProcedureAndNeverClosesTheWindowItself)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  NSWindow* window = windowOf(top);
  window->performClose(nullptr);
  EXPECT_EQ(r->count(WM_CLOSE), 1);
  ASSERT_EQ(r->count(WM_COMMAND), 1);
  EXPECT_EQ(r->last(WM_COMMAND)->wParam, WPARAM(IDCANCEL));
  EXPECT_TRUE(window->isVisible());
  r->answer = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    return msg == WM_CLOSE ? std::optional<LRESULT>(1) : std::nullopt;
  };
  window->performClose(nullptr);
  EXPECT_EQ(r->count(WM_CLOSE), 2);
  EXPECT_EQ(r->count(WM_COMMAND), 1);
  EXPECT_TRUE(IsWindow(top));
}

TEST_F(WindowTest, MovingAndResizingReportOnlyWhatChanged)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r, NSMakeRect(100, 100, 300, 200), NSWindowStyleMaskTitled | NSWindowStyleMaskResizable);
  NSWindow* window = windowOf(top);
  r->log.clear();
  window->setFrameOrigin(NSMakePoint(-30, -40));
  ASSERT_EQ(r->count(WM_MOVE), 1);
  EXPECT_EQ(packedX(r->last(WM_MOVE)->lParam), -30);
  EXPECT_EQ(packedY(r->last(WM_MOVE)->lParam), -40);
  EXPECT_EQ(r->count(WM_SIZE), 0);
  window->setFrame(NSMakeRect(-30, -40, 300.3, 222), true);  // below a point: nothing
  EXPECT_EQ(r->count(WM_SIZE), 0);
  window->setFrame(NSMakeRect(-30, -40, 320, 222), true);
  EXPECT_GE(r->count(WM_SIZE), 1);
  EXPECT_EQ(r->count(WM_MOVE), 1);
}

TEST_F(WindowTest, BecomingKeyTellsBothWindowsAndShowsTheRightMenu)
{
  Recorder* first = recorder("first");
  Recorder* second = recorder("second");
  HWND a = topLevel(first, NSMakeRect(100, 100, 200, 100));
  HWND b = topLevel(second, NSMakeRect(400, 100, 200, 100));
  HMENU own = CreatePopupMenuEx("own");  // a's from now on
  HMENU fallback = CreatePopupMenuEx("windows");
  HMENU modal = CreatePopupMenuEx("dialogs");
  SetMenu(a, own);
  SWELL_SetDefaultWindowMenu(fallback);
  SWELL_SetDefaultModalWindowMenu(modal);

  first->log.clear();
  second->log.clear();
  SetFocus(a);
  ASSERT_NE(second->last(WM_ACTIVATE), nullptr);
  EXPECT_EQ(second->last(WM_ACTIVATE)->wParam, WPARAM(WA_INACTIVE));
  ASSERT_NE(first->last(WM_ACTIVATE), nullptr);
  EXPECT_EQ(first->last(WM_ACTIVATE)->wParam, WPARAM(WA_ACTIVE));
  EXPECT_EQ(first->last(WM_ACTIVATE)->lParam, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(first->only({WM_ACTIVATE, WM_MOUSEACTIVATE}).back(), UINT(WM_MOUSEACTIVATE));
  EXPECT_EQ(NSApp()->mainMenu(), swellMenuOf(own));
  SetFocus(b);
  EXPECT_EQ(NSApp()->mainMenu(), swellMenuOf(fallback));

  // A dialog panel without a menu of its own shows the dialogs' menu.
  auto* panel = new Swell_vVorna_dialogbox(NSMakeRect(200, 200, 100, 60), NSWindowStyleMaskTitled);
  auto* content = new Swell_vVorna_hwnd;
  content->initChild(nullptr, panel, nullptr, 0);
  content->release();
  EXPECT_FALSE(panel->showsMenuBar());
  panel->makeKeyAndOrderFront(nullptr);
  EXPECT_EQ(NSApp()->mainMenu(), swellMenuOf(modal));
  DestroyWindow(swellHandleOf(panel));

  SWELL_SetDefaultWindowMenu(nullptr);
  SWELL_SetDefaultModalWindowMenu(nullptr);
  DestroyMenu(fallback);
  DestroyMenu(modal);
}

TEST_F(WindowTest, OnlyATitledWindowWithoutAnOwnerCarriesTheMenuStrip)
{
  HWND main = topLevel(recorder("main"));
  HWND owned = topLevel(recorder("owned"), NSMakeRect(10, 10, 100, 100), NSWindowStyleMaskTitled, main);
  HWND bare = topLevel(recorder("bare"), NSMakeRect(10, 10, 100, 100), NSWindowStyleMaskBorderless);
  EXPECT_TRUE(windowOf(main)->showsMenuBar());
  EXPECT_FALSE(windowOf(owned)->showsMenuBar());
  EXPECT_FALSE(windowOf(bare)->showsMenuBar());
  // The owned window opens 50 right of and 100 below its owner's top-left.
  RECT ownerRect, ownedRect;
  GetWindowRect(main, &ownerRect);
  auto* fresh = new Swell_vVorna_hwnd;
  fresh->initChild(nullptr, nullptr, nullptr, 0);
  GetWindowRect(SWELL_CreateModelessFrameForWindow(fresh->handle(), main, NSWindowStyleMaskTitled), &ownedRect);
  fresh->release();
  EXPECT_EQ(ownedRect.left, ownerRect.left + 50);
  EXPECT_EQ(ownedRect.top, ownerRect.bottom - 200 - 100);
}

TEST_F(WindowTest, AStyleChangeRebuildsTheWindowAroundTheSameViewAndKeepsWhatItOwns)
{
  Recorder* r = recorder("main");
  HWND main = topLevel(r, NSMakeRect(100, 100, 300, 200));
  HWND owned = topLevel(recorder("owned"), NSMakeRect(10, 10, 100, 100), NSWindowStyleMaskTitled, main);
  SetDlgItemText(main, 0, "Main window");
  NSWindow* before = windowOf(main);
  EXPECT_EQ(SetWindowLong(main, GWL_STYLE, WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_EQ(windowOf(main), before);  // the same frame style: nothing to do

  const int destroys = r->count(WM_DESTROY);
  SetWindowLong(main, GWL_STYLE, WS_CAPTION);
  NSWindow* after = windowOf(main);
  ASSERT_NE(after, before);
  EXPECT_EQ(r->count(WM_DESTROY), destroys);  // the view lives on in its new window
  EXPECT_EQ(GetWindowLong(main, GWL_STYLE), WS_CAPTION);
  EXPECT_EQ(after->title().str(), "Main window");
  EXPECT_TRUE(after->isVisible());
  EXPECT_EQ(GetParent(owned), main);
  EXPECT_EQ(NSApp()->windows().size(), 2u);

  SetWindowLong(main, GWL_STYLE, 0);
  EXPECT_EQ(windowOf(main)->styleMask(), unsigned(NSWindowStyleMaskBorderless));
  DestroyWindow(main);
  EXPECT_TRUE(NSApp()->windows().empty());  // the owned window went with its owner
}

TEST_F(WindowTest, SetParentMovesAViewBetweenWindowsAndOutToAWindowOfItsOwn)
{
  Recorder* host = recorder("host");
  Recorder* mover = recorder("mover");
  HWND target = topLevel(host, NSMakeRect(100, 100, 300, 200));
  HWND owner = topLevel(recorder("owner"), NSMakeRect(500, 100, 100, 100));
  HWND moving = topLevel(mover, NSMakeRect(50, 50, 120, 90), NSWindowStyleMaskTitled, owner);
  SetDlgItemText(moving, 0, "Travelling");

  EXPECT_EQ(SetParent(moving, swellHandleOf(windowOf(target))), target);
  EXPECT_EQ(GetParent(moving), target);
  EXPECT_EQ(mover->count(WM_DESTROY), 0);
  EXPECT_EQ(NSApp()->windows().size(), 2u);
  char text[64];
  GetDlgItemText(moving, 0, text, sizeof text);
  EXPECT_STREQ(text, "Travelling");

  HWND previous = SetParent(moving, owner);
  EXPECT_EQ(previous, target);
  EXPECT_EQ(GetParent(moving), owner);

  // Out on its own again: a window owned by the window it first came from.
  EXPECT_EQ(SetParent(moving, nullptr), nullptr);
  ASSERT_NE(windowOf(moving), nullptr);
  EXPECT_EQ(GetParent(moving), owner);
  EXPECT_EQ(windowOf(moving)->title().str(), "Travelling");
  EXPECT_EQ(mover->count(WM_DESTROY), 0);
}
