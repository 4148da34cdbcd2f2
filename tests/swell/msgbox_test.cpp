// Message boxes: the buttons of each type and what they answer, the keys, the text shown as
// given, and a dialog ended while a message box over it runs.

#include "ctl_test_support.h"

using namespace cocoa;

namespace
{
struct Shown
{
  std::string title;
  std::string text;
  std::vector<std::string> buttons;  // left to right
  int defaultButton = 0;
};

// What the running message box shows.
Shown inspect(NSWindow* window)
{
  Shown shown;
  shown.title = window->title().str();
  std::vector<NSButton*> buttons;
  for (NSView* v : window->contentView()->subviews())
  {
    if (auto* button = dynamic_cast<NSButton*>(v)) buttons.push_back(button);
    else if (auto* field = dynamic_cast<NSTextField*>(v)) shown.text = field->stringValue().str();
  }
  std::sort(buttons.begin(), buttons.end(), [](NSButton* a, NSButton* b) { return a->frame().origin.x < b->frame().origin.x; });
  for (NSButton* b : buttons) shown.buttons.push_back(b->title().str());
  shown.defaultButton = SWELL_GetDefaultButtonID(swellHandleOf(window), true);
  return shown;
}
}  // namespace

TEST_F(WindowTest, EachMessageBoxTypeShowsItsButtonsAndAnswersThePressedOne)
{
  struct Case
  {
    int type;
    std::vector<std::string> leftToRight;
    std::vector<std::pair<std::string, int>> presses;
  };
  const std::vector<Case> cases = {
      {MB_OK, {"OK"}, {{"OK", IDOK}}},
      {MB_OKCANCEL, {"Cancel", "OK"}, {{"OK", IDOK}, {"Cancel", IDCANCEL}}},
      {MB_YESNOCANCEL, {"No", "Cancel", "Yes"}, {{"Yes", IDYES}, {"Cancel", IDCANCEL}, {"No", IDNO}}},
      {MB_YESNO, {"No", "Yes"}, {{"Yes", IDYES}, {"No", IDNO}}},
      {MB_RETRYCANCEL, {"Cancel", "Retry"}, {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}}},
  };
  // Percent signs and ampersands are the text's own.
  const char* text = "Saved 100% of it & done.\nA second line.";
  for (const Case& c : cases)
    for (const auto& [press, expected] : c.presses)
    {
      Shown shown;
      bool clicked = false;
      driver.at(driver.now() + 0.5, [&] {
        shown = inspect(modalWindow());
        snapshotForLooking(driver, modalWindow(), "message_box_type_" + std::to_string(c.type));
        clicked = clickInModal(driver, press);
      });
      EXPECT_EQ(MessageBox(nullptr, text, "Vorna %s", c.type), expected) << c.type << " " << press;
      EXPECT_TRUE(clicked);
      EXPECT_EQ(shown.title, "Vorna %s");
      EXPECT_EQ(shown.text, text);
      EXPECT_EQ(shown.buttons, c.leftToRight) << c.type;
      EXPECT_NE(shown.defaultButton, 0);
      EXPECT_EQ(modalWindow(), nullptr);
    }

  // Any other type, flags added to a good one included, shows nothing.
  for (int type : {2, 6, 0x10, MB_YESNO | 0x10, -1})
  {
    bool shownAnything = false;
    driver.at(driver.now() + 0.1, [&] { shownAnything = modalWindow() != nullptr; });
    EXPECT_EQ(MessageBox(nullptr, "x", "y", type), 0) << type;
    driver.runFor(0.2);
    EXPECT_FALSE(shownAnything);
  }
}

TEST_F(WindowTest, ThePresenterKeepsTheCallersButtonsAndResultsAndGrowsToItsText)
{
  const SWELL_MessageBoxButton buttons[] = {{"Keep", 1}, {"Discard", 7}, {"Cancel", 2}};
  int seenWidth = 0;
  driver.at(driver.now() + 0.5, [&] {
    seenWidth = static_cast<int>(modalWindow()->contentView()->frame().size.width);
    clickInModal(driver, "Discard");
  });
  const std::string longText(300, 'w');
  EXPECT_EQ(SWELL_ShowMessageBoxDialog(longText.c_str(), "Title", buttons, 3, 2), 7);
  // Wide text wraps at the widest a box gets; the button row still fits.
  EXPECT_GE(seenWidth, 400);
  EXPECT_LE(seenWidth, 480);
  EXPECT_EQ(SWELL_ShowMessageBoxDialog("x", "y", buttons, 0, 2), 0);
  EXPECT_EQ(SWELL_ShowMessageBoxDialog("x", "y", nullptr, 3, 2), 0);
}

TEST_F(WindowTest, ReturnPressesTheDefaultButtonAndEscapeOrCommandWTheCancellingOne)
{
  const auto answerWithKeys = [this](int type, std::vector<std::pair<uint16_t, unsigned>> keys) {
    driver.at(driver.now() + 0.5, [this, keys] {
      for (const auto& [code, modifiers] : keys)
        if (modalWindow()) driver.key(modalWindow(), code, modifiers);
    });
    return MessageBox(nullptr, "Question?", "Keys", type);
  };
  EXPECT_EQ(answerWithKeys(MB_YESNO, {{kVK_Return, 0}}), IDYES);
  EXPECT_EQ(answerWithKeys(MB_YESNOCANCEL, {{kVK_Escape, 0}}), IDCANCEL);
  EXPECT_EQ(answerWithKeys(MB_OKCANCEL, {{kVK_ANSI_W, NSEventModifierFlagCommand}}), IDCANCEL);
  EXPECT_EQ(answerWithKeys(MB_OK, {{kVK_Escape, 0}}), IDOK);
  // Yes or No has no cancelling button: Escape leaves it open until a button is pressed.
  bool stillOpen = false;
  driver.at(driver.now() + 0.5, [&] { driver.key(modalWindow(), kVK_Escape); });
  driver.at(driver.now() + 1.0, [&] {
    stillOpen = modalWindow() != nullptr;
    clickInModal(driver, "No");
  });
  EXPECT_EQ(MessageBox(nullptr, "Question?", "Keys", MB_YESNO), IDNO);
  EXPECT_TRUE(stillOpen);
}

TEST_F(WindowTest, ADialogEndedWhileItsMessageBoxRunsClosesWhenTheMessageBoxIsAnswered)
{
  SWELL_DialogResourceIndex record{"outer", "Outer", 0x4 | 0x10, makeTwoControls, 200, 100, nullptr};
  DialogScript outer;
  int boxAnswer = -1;
  double boxAnsweredAt = -1;
  outer.onInit = [](HWND dialog) {
    SetTimer(dialog, 1, 100, nullptr);
    return LRESULT(1);
  };
  outer.onMessage = [&](HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_TIMER) return LRESULT(0);
    KillTimer(dialog, 1);
    driver.at(driver.now() + 0.3, [&] { EndDialog(outer.dialog, 5); });
    driver.at(driver.now() + 0.6, [&] { clickInModal(driver, "OK"); });
    boxAnswer = MessageBox(dialog, "Inner", "Box", MB_OK);
    boxAnsweredAt = driver.now();
    return LRESULT(1);
  };
  bool gaveUp = false;
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, nullptr, scriptedDialogProc, scriptParam(outer)), 5);
  EXPECT_EQ(boxAnswer, IDOK);
  EXPECT_LT(driver.now() - boxAnsweredAt, 0.01);
  EXPECT_EQ(outer.count(WM_DESTROY), 1);
  EXPECT_FALSE(gaveUp);
}
