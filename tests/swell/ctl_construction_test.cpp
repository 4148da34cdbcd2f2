// The order in which a dialog is built and asked about its controls, and the colour
// questions asked again when the display changes.

#include "ctl_test_support.h"
#include "swell-gdi.h"

#include "platform/appkit/scroll_view.h"
#include "platform/foundation/autorelease_pool.h"

using namespace cocoa;

namespace
{
constexpr int kField = 20;
constexpr int kLabel = 21;
constexpr int kBox = 22;
constexpr int kSecondLabel = 23;

// A multi-line field first, then two labels and a check box.
void makeFieldLabelsAndBox(HWND view, int)
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
  SWELL_MakeEditField(kField, 10, 10, 200, 80, WS_VSCROLL);
  SWELL_MakeLabel(-1, "Label", kLabel, 10, 100, 60, 20, 0);
  SWELL_MakeCheckBox("Box", kBox, 10, 130, 60, 20, 0);
  SWELL_MakeLabel(-1, "Second", kSecondLabel, 80, 100, 60, 20, 0);
}

Recorder s_asked;
int s_staticColour = 0;
// Called once, at the next such question, with the dialog and the control asked about.
UINT s_hookedQuestion = 0;
std::function<void(HWND, LPARAM)> s_onQuestion;

// Records from the first message on, WM_INITDIALOG or not.
LRESULT colouringDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  s_asked.log.push_back(Message{hwnd, msg, wParam, lParam});
  if (msg == WM_CTLCOLORSTATIC) SetTextColor(reinterpret_cast<HDC>(wParam), s_staticColour);
  if (msg == s_hookedQuestion && s_onQuestion) std::exchange(s_onQuestion, nullptr)(hwnd, lParam);
  return msg == WM_INITDIALOG;
}

std::vector<UINT> messagesAsked()
{
  return s_asked.only({WM_INITDIALOG, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC});
}

double redOf(HWND dialog, int id)
{
  return dynamic_cast<NSTextField*>(swellObjectOf(GetDlgItem(dialog, id)))->textColor().redComponent();
}
}  // namespace

TEST_F(WindowTest, ADialogHearsWmInitDialogFirstAndADisplayChangeAsksItsColoursAgain)
{
  SWELL_DialogResourceIndex record = {"colours", "Colours", 0x4 | 0x10, makeFieldLabelsAndBox, 300, 200, nullptr};
  s_asked.log.clear();
  s_staticColour = 0x0000FF;  // red
  HWND dialog = nullptr;
  {
    // Nothing but the dialog holds its controls afterwards.
    NSAutoreleasePool controlsMade;
    dialog = SWELL_CreateDialog(&record, record.resid, nullptr, colouringDialogProc, 0);
  }
  ASSERT_NE(dialog, nullptr);

  // WM_INITDIALOG comes first, offering the multi-line field inside its scroll view as the
  // control to focus; then one colour question for the boxes and one for the labels.
  HWND field = GetDlgItem(dialog, kField);
  EXPECT_EQ(messagesAsked(), (std::vector<UINT>{WM_INITDIALOG, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC}));
  EXPECT_EQ(s_asked.last(WM_INITDIALOG)->wParam, reinterpret_cast<WPARAM>(field));
  EXPECT_EQ(s_asked.last(WM_CTLCOLORSTATIC)->lParam, reinterpret_cast<LPARAM>(GetDlgItem(dialog, kLabel)));
  EXPECT_EQ(windowOf(dialog)->firstResponder(), swellObjectOf(field));
  EXPECT_EQ(redOf(dialog, kSecondLabel), 1.0);
  // A text view keeps no user data and says so.
  EXPECT_EQ(GetWindowLong(field, GWL_USERDATA), 0xDEADF00B);

  // A display change asks again, and the answer takes effect.
  s_asked.log.clear();
  s_staticColour = 0xFF0000;  // blue
  SendMessage(dialog, WM_DISPLAYCHANGE, 32, 0);
  EXPECT_EQ(messagesAsked(), (std::vector<UINT>{WM_CTLCOLORBTN, WM_CTLCOLORSTATIC}));
  EXPECT_EQ(redOf(dialog, kSecondLabel), 0.0);

  // Asked with a procedure that destroys the label it is asked about and the one after it
  // while it answers: the colours go to the controls that are left.
  s_hookedQuestion = WM_CTLCOLORSTATIC;
  s_onQuestion = [](HWND hwnd, LPARAM asked) {
    DestroyWindow(GetDlgItem(hwnd, kSecondLabel));
    DestroyWindow(reinterpret_cast<HWND>(asked));
  };
  SWELL_DoDialogColorUpdates(dialog, colouringDialogProc, false);
  ASSERT_EQ(s_onQuestion, nullptr);
  EXPECT_EQ(GetDlgItem(dialog, kLabel), nullptr);
  EXPECT_EQ(GetDlgItem(dialog, kSecondLabel), nullptr);
  EXPECT_NE(GetDlgItem(dialog, kBox), nullptr);

  // A procedure that destroys its dialog while it answers is asked nothing more.
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, false);
  SWELL_MakeLabel(-1, "Again", kLabel, 10, 100, 60, 20, 0);
  s_asked.log.clear();
  s_hookedQuestion = WM_CTLCOLORBTN;
  s_onQuestion = [](HWND hwnd, LPARAM) { DestroyWindow(hwnd); };
  SendMessage(dialog, WM_DISPLAYCHANGE, 32, 0);
  EXPECT_EQ(messagesAsked(), (std::vector<UINT>{WM_CTLCOLORBTN}));

  // The same asked from outside the procedure, by a caller that holds nothing; and a
  // procedure that moves the next label to another window while it answers.
  const auto freshDialog = [&record] {
    NSAutoreleasePool controlsMade;
    return SWELL_CreateDialog(&record, record.resid, nullptr, colouringDialogProc, 0);
  };
  HWND doomed = freshDialog();
  s_asked.log.clear();
  s_hookedQuestion = WM_CTLCOLORBTN;
  s_onQuestion = [](HWND hwnd, LPARAM) { DestroyWindow(hwnd); };
  SWELL_DoDialogColorUpdates(doomed, colouringDialogProc, false);
  EXPECT_EQ(messagesAsked(), (std::vector<UINT>{WM_CTLCOLORBTN}));
  EXPECT_FALSE(IsWindow(doomed));
  HWND moving = freshDialog();
  HWND refuge = freshDialog();
  HWND moved = GetDlgItem(moving, kSecondLabel);
  s_staticColour = 0x0000FF;
  s_hookedQuestion = WM_CTLCOLORSTATIC;
  s_onQuestion = [moved, refuge](HWND, LPARAM) { SetParent(moved, refuge); };
  SWELL_DoDialogColorUpdates(moving, colouringDialogProc, false);
  EXPECT_EQ(redOf(moving, kLabel), 1.0);
  EXPECT_EQ(redOf(refuge, kSecondLabel), 0.0) << "the label that left is not coloured";
}
