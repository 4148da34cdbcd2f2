// How top-level windows look and behave, modal sessions the caller drives, and the default
// button of a dialog.
#include "dialog_test_support.h"

#include "swell-ctl.h"

using namespace cocoa;

TEST_F(WindowTest, LevelsRaiseAmountsOpacityAndTheRepresentedFile)
{
  HWND top = topLevel(recorder("top"));
  NSWindow* window = windowOf(top);
  ASSERT_TRUE(NSApp()->isActive());
  EXPECT_EQ(SWELL_SetWindowLevel(top, 5), 0);
  EXPECT_EQ(SWELL_SetWindowLevel(swellHandleOf(window), 0), 5);

  SWELL_SetWindowWantRaiseAmt(top, 3);
  EXPECT_EQ(window->level(), 3);
  SWELL_SetWindowWantRaiseAmt(top, 3);
  EXPECT_EQ(window->level(), 3);
  SWELL_SetWindowWantRaiseAmt(top, 1);
  EXPECT_EQ(window->level(), 1);
  EXPECT_EQ(SWELL_GetWindowWantRaiseAmt(top), 1);
  NSApp()->setActive(false);
  SWELL_SetWindowWantRaiseAmt(top, 4);
  EXPECT_EQ(window->level(), 1);
  EXPECT_EQ(SWELL_GetWindowWantRaiseAmt(top), 4);
  NSApp()->setActive(true);

  SetOpaque(top, false);
  EXPECT_FALSE(viewOf(top)->isOpaque());
  SetOpaque(swellHandleOf(window), true);  // only views
  EXPECT_FALSE(viewOf(top)->isOpaque());

  SWELL_SetWindowRepre(top, "/tmp/song.txt", true);
  EXPECT_EQ(window->representedFilename().str(), "/tmp/song.txt");
  EXPECT_TRUE(window->isDocumentEdited());
  SWELL_SetWindowRepre(top, "", false);
  EXPECT_EQ(window->representedFilename().str(), "");
  EXPECT_FALSE(window->isDocumentEdited());
  SetProp(top, "SWELL_DisableWindowRepre", reinterpret_cast<void*>(1));
  SWELL_SetWindowRepre(top, "/tmp/other.txt", true);
  EXPECT_EQ(window->representedFilename().str(), "");

  // A view outside any window, and no handle at all.
  StrongRef<Swell_vVorna_hwnd> loose = StrongRef<Swell_vVorna_hwnd>::adopt(new Swell_vVorna_hwnd);
  loose->initChild(nullptr, nullptr, nullptr, 0);
  for (HWND nothing : {HWND(nullptr), loose->handle()})
  {
    EXPECT_EQ(SWELL_SetWindowLevel(nothing, 2), 0);
    SWELL_SetWindowWantRaiseAmt(nothing, 2);
    EXPECT_EQ(SWELL_GetWindowWantRaiseAmt(nothing), 0);
  }
}

TEST_F(WindowTest, TransparencyShadowAndTheAutoHiddenDockAreKeptWhereTheyWereAskedFor)
{
  HWND top = topLevel(recorder("top"));
  NSWindow* window = windowOf(top);
  ASSERT_TRUE(window->isOpaque());
  ASSERT_TRUE(window->hasShadow());
  SetTransparent(top);
  EXPECT_EQ(window->backgroundColor(), NSColor::clearColor());
  EXPECT_FALSE(window->isOpaque());
  SWELL_SetWindowShadow(swellHandleOf(window), false);
  EXPECT_FALSE(window->hasShadow());
  SWELL_SetWindowShadow(top, true);
  EXPECT_TRUE(window->hasShadow());
  SetTransparent(nullptr);
  SWELL_SetWindowShadow(nullptr, false);

  // The options in force at the first call come back for any mode below 1, even after
  // someone else changed them meanwhile.
  NSApp()->setPresentationOptions(NSApplicationPresentationAutoHideMenuBar);
  EXPECT_TRUE(SWELL_SetAppAutoHideMenuAndDock(2));
  EXPECT_EQ(NSApp()->presentationOptions(), 6u);
  EXPECT_TRUE(SWELL_SetAppAutoHideMenuAndDock(7));
  EXPECT_EQ(NSApp()->presentationOptions(), 6u);
  EXPECT_TRUE(SWELL_SetAppAutoHideMenuAndDock(1));
  EXPECT_EQ(NSApp()->presentationOptions(), 5u);
  EXPECT_TRUE(SWELL_SetAppAutoHideMenuAndDock(0));
  EXPECT_EQ(NSApp()->presentationOptions(), 4u);
  NSApp()->setPresentationOptions(NSApplicationPresentationDefault);
  EXPECT_TRUE(SWELL_SetAppAutoHideMenuAndDock(-3));
  EXPECT_EQ(NSApp()->presentationOptions(), 4u);
}

TEST_F(WindowTest, ACallerDrivenSessionRunsUntilStoppedAndEndsEitherWay)
{
  Recorder* r = recorder("modal");
  HWND top = topLevel(r);
  HWND other = topLevel(recorder("other"));
  void* session = SWELL_ModalWindowStart(top);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(NSApp()->modalWindow(), windowOf(top));
  int result = 0;
  SetTimer(top, 1, 10, nullptr);
  driver.runFor(0.05);
  EXPECT_TRUE(SWELL_ModalWindowRun(session, &result));
  EXPECT_GE(r->count(WM_TIMER), 1);
  // Input for another window is shut out meanwhile.
  driver.click(windowOf(other), NSMakePoint(10, 10));
  EXPECT_TRUE(SWELL_ModalWindowRun(session, &result));
  EXPECT_EQ(recorders[1].count(WM_LBUTTONDOWN), 0);

  EndDialog(top, 4);
  EXPECT_FALSE(SWELL_ModalWindowRun(session, &result));
  EXPECT_EQ(result, NSModalResponseAbort);
  EXPECT_FALSE(SWELL_ModalWindowRun(session, nullptr));
  SWELL_ModalWindowEnd(session);
  EXPECT_EQ(NSApp()->modalWindow(), nullptr);

  // Still running when ended: stopped first.
  session = SWELL_ModalWindowStart(other);
  EXPECT_TRUE(SWELL_ModalWindowRun(session, &result));
  SWELL_ModalWindowEnd(session);
  EXPECT_EQ(NSApp()->modalWindow(), nullptr);
  // Ended from inside its own run, as an OK button's handler does: the run reports the end,
  // and ending it again does nothing.
  session = SWELL_ModalWindowStart(other);
  recorders[1].answer = [&session](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_LBUTTONDOWN) SWELL_ModalWindowEnd(session);
    return std::nullopt;
  };
  driver.click(windowOf(other), NSMakePoint(20, 40));  // taken by the session's next run
  result = 0;
  int runs = 1;
  while (SWELL_ModalWindowRun(session, &result) && runs < 10) ++runs;
  EXPECT_LT(runs, 10);
  EXPECT_EQ(result, NSModalResponseStop);
  EXPECT_EQ(recorders[1].count(WM_LBUTTONDOWN), 1);
  EXPECT_FALSE(SWELL_ModalWindowRun(session, &result));
  SWELL_ModalWindowEnd(session);
  EXPECT_EQ(NSApp()->modalWindow(), nullptr);
  recorders[1].answer = nullptr;
  EXPECT_EQ(SWELL_ModalWindowStart(nullptr), nullptr);
  EXPECT_FALSE(SWELL_ModalWindowRun(nullptr, &result));
  SWELL_ModalWindowEnd(nullptr);

  Recorder* closing = recorder("closing");
  HWND closed = topLevel(closing);
  SWELL_CloseWindow(closed);
  EXPECT_FALSE(windowOf(other)->isMiniaturized());
  EXPECT_EQ(closing->count(WM_CLOSE), 0);
  SWELL_HideApp();
  EXPECT_TRUE(windowOf(other)->isMiniaturized());
  EXPECT_FALSE(NSApp()->isActive());
}

TEST_F(WindowTest, TheDefaultButtonIsFoundAnywhereInItsWindowAndMayBeAskedToBeEnabled)
{
  HWND top = topLevel(recorder("top"));
  addButton(top, 30, false);
  EXPECT_EQ(SWELL_GetDefaultButtonID(top, false), 0);
  HWND group = child(top, recorder("group"));
  HWND ok = addButton(group, IDOK, true);
  EXPECT_EQ(SWELL_GetDefaultButtonID(top, true), IDOK);
  EXPECT_EQ(SWELL_GetDefaultButtonID(group, true), IDOK);
  EnableWindow(ok, 0);
  EXPECT_EQ(SWELL_GetDefaultButtonID(top, true), 0);
  EXPECT_EQ(SWELL_GetDefaultButtonID(top, false), IDOK);
  EXPECT_EQ(SWELL_GetDefaultButtonID(nullptr, false), 0);
}

TEST_F(WindowTest, TheDesiredSizeOfAControlFitsItsTextAndLeavesItsFrameAsItWas)
{
  HWND top = topLevel(recorder("top"));
  SWELL_MakeSetCurParms(1, 1, 0, 0, top, false, false);
  HWND shortLabel = SWELL_MakeLabel(0, "Hi", 10, 10, 10, 300, 40, 0);
  HWND longLabel = SWELL_MakeLabel(0, "A much longer label than that", 11, 10, 60, 20, 8, 0);
  SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
  const NSRect before = dynamic_cast<NSView*>(swellObjectOf(longLabel))->frame();

  RECT fitted{-1, -1, -1, -1};
  SWELL_GetDesiredControlSize(longLabel, &fitted);
  EXPECT_EQ(dynamic_cast<NSView*>(swellObjectOf(longLabel))->frame(), before);
  EXPECT_EQ(fitted.left, 0);
  EXPECT_EQ(fitted.top, 0);
  EXPECT_GT(fitted.right, 20);  // wider than its frame: the whole text
  EXPECT_GT(fitted.bottom, 8);
  RECT small{};
  SWELL_GetDesiredControlSize(shortLabel, &small);
  EXPECT_LT(small.right, 300);  // narrower than its frame
  EXPECT_LT(small.right, fitted.right);
  EXPECT_EQ(small.bottom, fitted.bottom);

  // Not a control: nothing is written.
  RECT untouched{1, 2, 3, 4};
  SWELL_GetDesiredControlSize(top, &untouched);
  SWELL_GetDesiredControlSize(nullptr, &untouched);
  EXPECT_EQ(untouched.left + untouched.top + untouched.right + untouched.bottom, 1 + 2 + 3 + 4);
}
