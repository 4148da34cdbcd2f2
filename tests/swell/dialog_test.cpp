// Dialogs from registered resources: how a modal run ends and what it answers, where dialog
// windows go and what style they get, and child dialogs.
#include "dialog_test_support.h"

#include "platform/appkit/screen.h"
#include "platform/foundation/object_registry.h"

#include <cstdio>
#include <unistd.h>

using namespace cocoa;

namespace
{
SWELL_DialogResourceIndex dialogRecord(const char* id, int flags = 0x4 | 0x10, int width = 200, int height = 100)
{
  return SWELL_DialogResourceIndex{id, "Dialog", flags, makeTwoControls, width, height, nullptr};
}

NSWindow* windowOfView(HWND view)
{
  auto* v = dynamic_cast<NSView*>(swellObjectOf(view));
  return v ? v->window() : nullptr;
}

}  // namespace

TEST_F(WindowTest, ADialogBoxAnswersWhatEndDialogWasGivenWhereverItWasCalled)
{
  bool gaveUp = false;
  SWELL_DialogResourceIndex record = dialogRecord("dlg");

  // From WM_INITDIALOG: no run at all, and WM_DESTROY once.
  DialogScript early;
  early.onInit = [](HWND dialog) {
    EndDialog(dialog, 5);
    return LRESULT(1);
  };
  const char sameText[] = "dlg";
  EXPECT_EQ(SWELL_DialogBox(&record, sameText, nullptr, scriptedDialogProc, scriptParam(early)), -1);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(early)), 5);
  EXPECT_EQ(early.count(WM_DESTROY), 1);
  EXPECT_EQ(early.count(WM_ACTIVATE), 0);
  EXPECT_EQ(NSApp()->modalWindow(), nullptr);

  // From a timer, seen running modally and key.
  DialogScript timed;
  bool wasModal = false;
  timed.onInit = [](HWND dialog) {
    SetTimer(dialog, 1, 100, nullptr);
    return LRESULT(1);
  };
  timed.onMessage = [&wasModal](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_TIMER) return LRESULT(0);
    wasModal = NSApp()->modalWindow() == windowOfView(dialog) && windowOfView(dialog)->isKeyWindow();
    EndDialog(dialog, 6);
    return LRESULT(1);
  };
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(timed)), 6);
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(timed.count(WM_DESTROY), 1);
  EXPECT_FALSE(IsWindow(timed.dialog));

  // From a posted message.
  DialogScript posted;
  posted.onInit = [](HWND dialog) {
    PostMessage(dialog, WM_USER + 1, 8, 0);
    return LRESULT(1);
  };
  posted.onMessage = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_USER + 1) EndDialog(dialog, static_cast<int>(wParam));
    return LRESULT(0);
  };
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(posted)), 8);

  // Destroyed while it is made: no run at all.
  DialogScript stillborn;
  stillborn.onInit = [](HWND dialog) {
    DestroyWindow(dialog);
    return LRESULT(0);
  };
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(stillborn)), 0);
  EXPECT_EQ(stillborn.count(WM_DESTROY), 1);

  // Destroyed instead of ended: the run ends too, with no result.
  DialogScript destroyed;
  destroyed.onInit = timed.onInit;
  destroyed.onMessage = [](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_TIMER) DestroyWindow(dialog);
    return LRESULT(0);
  };
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(destroyed)), 0);
  EXPECT_EQ(destroyed.count(WM_DESTROY), 1);

  // From a click on the dialog: the event belongs to its window.
  DialogScript clicked;
  clicked.onMessage = [](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_LBUTTONDOWN) EndDialog(dialog, 9);
    return LRESULT(0);
  };
  driver.at(driver.now() + 1, [&] { driver.click(windowOfView(clicked.dialog), NSMakePoint(150, 50)); });
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(clicked)), 9);
  EXPECT_FALSE(gaveUp);
}

TEST_F(WindowTest, ADialogEndedOrDestroyedUnderANestedRunClosesWhenThatRunEnds)
{
  bool gaveUp = false;
  SWELL_DialogResourceIndex outerRecord = dialogRecord("outer");
  SWELL_DialogResourceIndex innerRecord = dialogRecord("inner");
  outerRecord._next = &innerRecord;

  for (bool destroy : {false, true})
  {
    DialogScript outer;
    DialogScript inner;
    double innerEnded = -1;
    double outerEnded = -1;
    outer.onInit = [](HWND dialog) {
      SetTimer(dialog, 1, 100, nullptr);
      return LRESULT(1);
    };
    outer.onMessage = [&](HWND dialog, UINT msg, WPARAM, LPARAM) {
      if (msg != WM_TIMER) return LRESULT(0);
      KillTimer(dialog, 1);
      // The inner dialog stands for a message box opened by the outer one.
      EXPECT_EQ(SWELL_DialogBox(&outerRecord, innerRecord.resid, nullptr, scriptedDialogProc, scriptParam(inner)), 3);
      innerEnded = driver.now();
      return LRESULT(1);
    };
    inner.onInit = [](HWND dialog) {
      SetTimer(dialog, 1, 100, nullptr);
      SetTimer(dialog, 2, 500, nullptr);
      return LRESULT(1);
    };
    inner.onMessage = [&](HWND dialog, UINT msg, WPARAM id, LPARAM) {
      if (msg != WM_TIMER) return LRESULT(0);
      KillTimer(dialog, id);
      if (id == 1 && destroy) DestroyWindow(outer.dialog);
      else if (id == 1) EndDialog(outer.dialog, 7);
      else EndDialog(dialog, 3);
      return LRESULT(1);
    };
    giveUpAfterAWhile(driver, &gaveUp);
    const int answer = SWELL_DialogBox(&outerRecord, outerRecord.resid, nullptr, scriptedDialogProc, scriptParam(outer));
    outerEnded = driver.now();
    EXPECT_EQ(answer, destroy ? 0 : 7) << destroy;
    EXPECT_GE(innerEnded, 0) << destroy;
    EXPECT_LT(outerEnded - innerEnded, 0.01) << destroy;
    EXPECT_EQ(outer.count(WM_DESTROY), 1) << destroy;
    EXPECT_EQ(NSApp()->modalWindow(), nullptr);
  }
  EXPECT_FALSE(gaveUp);
}

TEST_F(WindowTest, ADialogBoxTakesItsRecordsTitleSizeAndStyleAndIsCentredUnlessPlaced)
{
  bool gaveUp = false;
  const char sameText[] = "dlg";
  SWELL_DialogResourceIndex plain = dialogRecord("dlg", 0x4 | 0x10, 240, 120);
  SWELL_DialogResourceIndex resizable = dialogRecord(sameText, 0x4 | 0x10 | 0x2, 240, 120);
  SWELL_DialogResourceIndex child = dialogRecord("child", 0x1 | 0x4);
  plain._next = &resizable;
  resizable._next = &child;
  EXPECT_EQ(SWELL_DialogBox(&plain, child.resid, nullptr, scriptedDialogProc, 0), -1);

  HWND parent = topLevel(recorder("owner"));
  struct Seen
  {
    unsigned style = 0;
    unsigned createFlags = 0;
    NSRect frame;
    std::string title;
    HWND owner = nullptr;
    bool firstControlFocused = false;
  };
  const auto look = [&](SWELL_DialogResourceIndex* record, std::function<void(HWND)> place) {
    Seen seen;
    DialogScript script;
    script.onInit = [&](HWND dialog) {
      if (place) place(dialog);
      return LRESULT(1);
    };
    script.onMessage = [&](HWND dialog, UINT msg, WPARAM, LPARAM) {
      if (msg != WM_USER) return LRESULT(0);
      NSWindow* window = windowOfView(dialog);
      seen = {window->styleMask(), swellWindowView(dialog)->swellCreateWindowFlags(), window->frame(),
              window->title().str(), GetParent(dialog),
              window->firstResponder() == swellObjectOf(GetDlgItem(dialog, 11))};
      EndDialog(dialog, 1);
      return LRESULT(1);
    };
    driver.at(driver.now() + 0.2, [&script] { SendMessage(script.dialog, WM_USER, 0, 0); });
    giveUpAfterAWhile(driver, &gaveUp);
    EXPECT_EQ(SWELL_DialogBox(&plain, record->resid, parent, scriptedDialogProc, scriptParam(script)), 1);
    return seen;
  };

  const Seen centred = look(&plain, nullptr);
  EXPECT_EQ(centred.style, unsigned(NSWindowStyleMaskTitled | NSWindowStyleMaskClosable));
  EXPECT_EQ(centred.createFlags, centred.style);
  EXPECT_EQ(centred.title, "Dialog");
  EXPECT_EQ(centred.owner, parent);
  EXPECT_TRUE(centred.firstControlFocused);
  const NSRect screen = NSScreen::mainScreen()->visibleFrame();
  EXPECT_NEAR(NSMidX(centred.frame), NSMidX(screen), 1);
  EXPECT_GT(NSMidY(centred.frame), NSMidY(screen));

  const Seen placed = look(&resizable, [](HWND dialog) { SetWindowPos(dialog, nullptr, 30, 40, 0, 0, SWP_NOSIZE); });
  EXPECT_EQ(placed.style, unsigned(NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskResizable));
  EXPECT_EQ(placed.frame.origin.x, 30);
  EXPECT_EQ(placed.frame.origin.y, 40);
  EXPECT_EQ(placed.frame.size.width, 240);
  EXPECT_FALSE(gaveUp);
}

TEST_F(WindowTest, CreateDialogForcesStylesPlacesWindowsAndEmbedsChildren)
{
  SWELL_DialogResourceIndex record = dialogRecord("dlg", 0x4 | 0x10 | 0x2, 200, 100);
  SWELL_DialogResourceIndex childRecord = dialogRecord("child", 0x1 | 0x4, 80, 40);
  record._next = &childRecord;
  const auto windowStyle = [](HWND view) { return windowOfView(view)->styleMask(); };
  const auto forced = [](uintptr_t low) { return reinterpret_cast<const char*>(SWELL_FORCED_STYLE + low); };

  EXPECT_EQ(SWELL_CreateDialog(&record, "missing", nullptr, scriptedDialogProc, 0), nullptr);

  // A record: hidden, 50 right of and 100 below the top-left of the screen, titled,
  // closable, miniaturizable and here resizable.
  DialogScript script;
  HWND modeless = SWELL_CreateDialog(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(script));
  ASSERT_NE(modeless, nullptr);
  EXPECT_EQ(script.count(WM_INITDIALOG), 1);
  EXPECT_FALSE(IsWindowVisible(modeless));
  EXPECT_EQ(windowStyle(modeless), 15u);
  RECT screen;
  SWELL_GetViewPort(&screen, nullptr, false);
  const NSRect content = windowOfView(modeless)->contentRectForFrameRect(windowOfView(modeless)->frame());
  EXPECT_EQ(content.origin.x, screen.left + 50);
  EXPECT_EQ(NSMaxY(content), screen.bottom - 100);
  EXPECT_EQ(content.size.width, 200);

  // Forced styles without a record: an empty window whose procedure is the window procedure.
  Recorder* plain = recorder("plain");
  HWND full = SWELL_CreateDialog(&record, forced(1), nullptr, recordingProc, reinterpret_cast<LPARAM>(plain));
  EXPECT_EQ(windowStyle(full), 15u);
  EXPECT_EQ(plain->log.front().msg, WM_CREATE);
  EXPECT_EQ(GetWindowLong(full, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&recordingProc));
  EXPECT_EQ(windowStyle(SWELL_CreateDialog(nullptr, forced(6), nullptr, nullptr, 0)), 1u);
  EXPECT_EQ(windowStyle(SWELL_CreateDialog(nullptr, forced(2), nullptr, nullptr, 0)), 3u);

  // Placed below its parent window, and owned by it.
  HWND owned = SWELL_CreateDialog(&record, record.resid, modeless, scriptedDialogProc, scriptParam(script));
  RECT parentRect;
  GetWindowRect(modeless, &parentRect);
  const NSRect ownedContent = windowOfView(owned)->contentRectForFrameRect(windowOfView(owned)->frame());
  EXPECT_EQ(ownedContent.origin.x, parentRect.left + 50);
  EXPECT_EQ(GetParent(owned), modeless);

  // Children: a child record, 0x400000 or a null identifier with a parent view.
  HWND childView = SWELL_CreateDialog(&record, childRecord.resid, modeless, scriptedDialogProc, scriptParam(script));
  HWND forcedChild = SWELL_CreateDialog(&record, forced(0), modeless, nullptr, 0);
  HWND nullChild = SWELL_CreateDialog(nullptr, nullptr, modeless, nullptr, 0);
  for (HWND view : {childView, forcedChild, nullChild})
  {
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), modeless);
    EXPECT_EQ(swellWindowView(view)->swellCreateWindowFlags(), 15u);
    EXPECT_FALSE(IsWindowVisible(view));
  }
  EXPECT_NE(GetDlgItem(childView, 11), nullptr);
  // With a forced style, a record without an identifier is the one used.
  SWELL_DialogResourceIndex anonymous = {nullptr, nullptr, 0x4, nullptr, 120, 60, nullptr};
  HWND sized = SWELL_CreateDialog(&anonymous, forced(0), nullptr, scriptedDialogProc, scriptParam(script));
  RECT client;
  GetClientRect(sized, &client);
  EXPECT_EQ(client.right, 120);

  // A procedure that destroys its dialog while it is made gets no handle back.
  DialogScript selfDestroying;
  selfDestroying.onInit = [](HWND dialog) {
    DestroyWindow(dialog);
    return LRESULT(0);
  };
  EXPECT_EQ(SWELL_CreateDialog(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(selfDestroying)), nullptr);
  EXPECT_EQ(SWELL_CreateDialog(&record, childRecord.resid, modeless, scriptedDialogProc, scriptParam(selfDestroying)), nullptr);
  // The scripts go with the test; the windows that use them go first (owned ones and
  // children with their window).
  DestroyWindow(modeless);
  DestroyWindow(sized);
}

// WM_INITDIALOG is offered the control the focus would go to; a procedure that destroys it and
// answers 1 ("focus it") leaves the focus on the dialog, not on the control that went.
TEST_F(WindowTest, ADialogWhoseProcedureDestroysTheOfferedControlKeepsTheFocusOnWhatIsLeft)
{
  SWELL_DialogResourceIndex record = dialogRecord("dlg");
  DialogScript script;
  HWND offered = nullptr;
  script.onInit = [&offered](HWND dialog) -> LRESULT {
    offered = GetDlgItem(dialog, 11);
    DestroyWindow(offered);
    return 1;
  };
  HWND dialog = SWELL_CreateDialog(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(script));
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  EXPECT_FALSE(IsWindow(offered));
  EXPECT_NE(GetFocus(), offered);
  if (HWND focus = GetFocus()) EXPECT_TRUE(IsWindow(focus));
  DestroyWindow(dialog);
}

TEST_F(WindowTest, AThousandDialogsComeAndGoLeavingNothingBehind)
{
  SWELL_DialogResourceIndex record = dialogRecord("dlg");
  DialogScript modal;
  modal.onInit = [](HWND dialog) {
    SetTimer(dialog, 1, 1, nullptr);
    return LRESULT(1);
  };
  modal.onMessage = [](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_TIMER) EndDialog(dialog, IDOK);
    return LRESULT(0);
  };
  DialogScript modeless;
  const auto cycle = [&] {
    NSAutoreleasePool cyclePool;
    modal.seen.clear();
    EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(modal)), IDOK);
    HWND window = SWELL_CreateDialog(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(modeless));
    ShowWindow(window, SW_SHOW);
    DestroyWindow(window);
    modeless.seen.clear();
  };

  expectNothingLeftAfterAThousand(cycle, 512 * 1024);
}
