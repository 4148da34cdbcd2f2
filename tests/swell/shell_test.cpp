// The application shell: the life cycle as the host hears it, the controller's answers, and
// the keys the application object handles before any window sees them.
#include "shell_test_support.h"

#include "swell-hosted.h"
#include "swell-kb.h"

#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"

#include <cstring>

using namespace cocoa;

std::vector<HostCall> g_hostCalls;
std::function<INT_PTR(int, INT_PTR, INT_PTR)> g_hostAnswer;

INT_PTR SWELLAppMain(int msg, INT_PTR parm1, INT_PTR parm2)
{
  HostCall call = {msg, parm1, parm2, {}, {}};
  if (msg == SWELLAPP_KBDMESSAGE) call.keyMessage = *reinterpret_cast<const MSG*>(parm1);
  if (msg == SWELLAPP_OPENFILE) call.path = reinterpret_cast<const char*>(parm1);
  g_hostCalls.push_back(call);
  return g_hostAnswer ? g_hostAnswer(msg, parm1, parm2) : 0;
}

namespace
{
// The shell's application object is the shared one only when it is made first.
const bool s_applicationMade = (new SWELLApplication, true);

// A text control with the focus, as the platform's edit fields will be: it tells what kind
// of text it is and takes the clipboard actions.
class TextControl : public Swell_vVorna_hwnd, public SWELL_TextControl
{
public:
  TextControl(bool textView, bool editable, bool field) : m_textView(textView), m_editable(editable), m_field(field) {}
  bool swellIsTextView() override { return m_textView; }
  bool swellIsEditable() override { return m_editable; }
  bool swellIsTextField() override { return m_field; }
  bool performAction(Action action, NSObject* sender) override
  {
    actions.push_back(action);
    senders.push_back(sender);
    return true;
  }
  std::vector<Action> actions;
  std::vector<NSObject*> senders;

private:
  bool m_textView, m_editable, m_field;
};

TextControl* addText(HWND parent, Recorder* r, bool textView, bool editable, bool field)
{
  auto* text = new TextControl(textView, editable, field);
  text->initChild(nullptr, swellObjectOf(parent), recordingProc, reinterpret_cast<LPARAM>(r));
  text->cocoa::NSView::setFrame(NSMakeRect(10, 10, 80, 40));
  text->setHidden(false);
  text->release();
  return text;
}

// Keys the window procedure saw (a key it leaves alone goes on to the parent).
int keyDowns(const Recorder* r, WPARAM vk, HWND to = nullptr)
{
  return static_cast<int>(std::count_if(r->log.begin(), r->log.end(), [vk, to](const Message& m) {
    return m.msg == WM_KEYDOWN && m.wParam == vk && (!to || m.hwnd == to);
  }));
}

int commands(const Recorder* r, WPARAM id)
{
  return static_cast<int>(std::count_if(r->log.begin(), r->log.end(),
                                        [id](const Message& m) { return m.msg == WM_COMMAND && m.wParam == id; }));
}

NSEvent* keyDownEvent(NSWindow* window, uint16_t code, const char* characters)
{
  return NSEvent::keyEventWithType(NSEventTypeKeyDown, NSPoint{}, 0, 0, window, NSString(characters),
                                   NSString(characters), true, code);
}
}  // namespace

TEST_F(ShellTest, TheHostHearsTheLifeOfTheApplicationInOrder)
{
  ASSERT_TRUE(s_applicationMade);
  ASSERT_NE(dynamic_cast<SWELLApplication*>(NSApp()), nullptr);
  // As a program starts: nothing launched yet.
  NSApp()->resetForTesting();
  g_hostCalls.clear();
  // The host delays termination once and opens an untitled document.
  g_hostAnswer = [](int msg, INT_PTR, INT_PTR) -> INT_PTR {
    return msg == SWELLAPP_SHOULDTERMINATE || msg == SWELLAPP_SHOULDOPENUNTITLED;
  };
  driver.at(driver.now() + 1, [] { SWELL_PostQuitMessage(nullptr); });
  driver.at(driver.now() + 2, [] { NSApp()->replyToApplicationShouldTerminate(true); });
  EXPECT_EQ(SWELLApplicationMain(0, nullptr), 0);
  EXPECT_EQ(hostCodes(), (std::vector<int>{SWELLAPP_ONLOAD, SWELLAPP_LAUNCHED, SWELLAPP_SHOULDOPENUNTITLED,
                                           SWELLAPP_OPENUNTITLED, SWELLAPP_ACTIVATE, SWELLAPP_SHOULDTERMINATE,
                                           SWELLAPP_WILLTERMINATE}));
  EXPECT_GE(driver.now(), 2);
  EXPECT_EQ(g_hostCalls[4].parm1, 1);

  // A host that quits while it launches hears nothing after it was told the end.
  NSApp()->resetForTesting();
  g_hostCalls.clear();
  g_hostAnswer = [](int msg, INT_PTR, INT_PTR) -> INT_PTR {
    if (msg == SWELLAPP_LAUNCHED) SWELL_PostQuitMessage(nullptr);
    return 0;
  };
  SWELLApplicationMain(0, nullptr);
  EXPECT_EQ(hostCodes(), (std::vector<int>{SWELLAPP_ONLOAD, SWELLAPP_LAUNCHED, SWELLAPP_SHOULDTERMINATE,
                                           SWELLAPP_WILLTERMINATE}));
}

TEST_F(ShellTest, TheControllerAsksTheHostAndActsOnItsAnswers)
{
  // Activation: the layer tells every window itself unless the host answers.
  Recorder* r = recorder("window");
  topLevel(r);
  NSApp()->setActive(false);
  ASSERT_NE(r->last(WM_ACTIVATEAPP), nullptr);
  EXPECT_EQ(r->last(WM_ACTIVATEAPP)->wParam, 0u);
  g_hostAnswer = [](int, INT_PTR, INT_PTR) -> INT_PTR { return 1; };
  NSApp()->setActive(true);
  EXPECT_EQ(r->count(WM_ACTIVATEAPP), 1);
  EXPECT_EQ(g_hostCalls.back().msg, SWELLAPP_ACTIVATE);
  EXPECT_EQ(g_hostCalls.back().parm1, 1);

  // Opening files: the path in UTF-8, an empty one never asked about.
  EXPECT_TRUE(shell()->applicationOpenFile(NSApp(), NSString("/tmp/Größe.ini")));
  EXPECT_EQ(g_hostCalls.back().path, "/tmp/Größe.ini");
  const size_t asked = g_hostCalls.size();
  EXPECT_FALSE(shell()->applicationOpenFile(NSApp(), NSString("")));
  EXPECT_EQ(g_hostCalls.size(), asked);
  EXPECT_EQ(shell()->applicationShouldTerminate(NSApp()), NSTerminateLater);
  g_hostAnswer = nullptr;
  EXPECT_FALSE(shell()->applicationOpenFile(NSApp(), NSString("/tmp/x")));
  EXPECT_EQ(shell()->applicationShouldTerminate(NSApp()), NSTerminateNow);

  // The application menu's items reach the host through the responder chain by their tag.
  StrongRef<NSMenuItem> about = StrongRef<NSMenuItem>::adopt(new NSMenuItem("About", Action::onSysMenuCommand, ""));
  about->setTag(40005);
  EXPECT_TRUE(NSApp()->sendAction(Action::onSysMenuCommand, nullptr, about.get()));
  EXPECT_EQ(g_hostCalls.back().msg, SWELLAPP_MENUCOMMAND);
  EXPECT_EQ(g_hostCalls.back().parm1, 40005);
  EXPECT_EQ(g_hostCalls.back().parm2, reinterpret_cast<INT_PTR>(about.get()));
  about->setTag(0);
  const size_t before = g_hostCalls.size();
  NSApp()->sendAction(Action::onSysMenuCommand, nullptr, about.get());
  EXPECT_EQ(g_hostCalls.size(), before);

  EXPECT_EQ(shell()->swellGetAPPAPIFunc(), &SWELLAPI_GetFunc);
}

TEST_F(ShellTest, HeldKeysCoalesceAndKeysGoToTheHostFirstButNotDuringAModalRun)
{
  Recorder* top = recorder("top");
  Recorder* field = recorder("field");
  const auto [dialog, focused] = windowWithFocusedChild(top, field);
  NSWindow* window = windowOf(dialog);

  // Three presses of A, one of B, queued together: only the last A counts.
  for (int i = 0; i < 3; ++i) NSApp()->postEvent(keyDownEvent(window, kVK_ANSI_A, "a"), false);
  NSApp()->postEvent(keyDownEvent(window, kVK_ANSI_B, "b"), false);
  driver.runUntilIdle();
  EXPECT_EQ(keyDowns(field, 'A'), 1);
  EXPECT_EQ(keyDowns(field, 'B'), 1);

  // Offered to the host with the focused view; an answer above 0 keeps it from the window.
  g_hostCalls.clear();
  driver.key(window, kVK_ANSI_K, NSEventModifierFlagShift);
  ASSERT_EQ(hostCount(SWELLAPP_KBDMESSAGE), 2);
  const MSG& down = g_hostCalls[0].keyMessage;
  EXPECT_EQ(down.hwnd, focused);
  EXPECT_EQ(down.message, UINT(WM_KEYDOWN));
  EXPECT_EQ(down.wParam, WPARAM('K'));
  EXPECT_EQ(down.lParam, FVIRTKEY | FSHIFT);
  EXPECT_EQ(g_hostCalls[1].keyMessage.message, UINT(WM_KEYUP));
  EXPECT_EQ(keyDowns(field, 'K'), 1);
  g_hostAnswer = [](int msg, INT_PTR, INT_PTR) -> INT_PTR { return msg == SWELLAPP_KBDMESSAGE; };
  driver.key(window, kVK_ANSI_K);
  driver.key(window, kVK_Escape);
  EXPECT_EQ(keyDowns(field, 'K'), 1);
  EXPECT_EQ(commands(top, IDCANCEL), 0);
  g_hostAnswer = nullptr;

  // A window without a focused view passes its keys on untouched.
  g_hostCalls.clear();
  window->makeFirstResponder(window);
  driver.key(window, kVK_ANSI_K);
  EXPECT_EQ(hostCount(SWELLAPP_KBDMESSAGE), 0);

  // A window that a modal run shuts out gets no dialog keys either.
  window->makeFirstResponder(dynamic_cast<NSView*>(swellObjectOf(focused)));
  HWND modalOne = topLevel(recorder("modal"));
  void* session = SWELL_ModalWindowStart(modalOne);
  top->log.clear();
  driver.key(window, kVK_Escape);
  EXPECT_TRUE(SWELL_ModalWindowRun(session, nullptr));
  EXPECT_EQ(NSApp()->queuedEventCount(), 0u);
  EXPECT_EQ(commands(top, IDCANCEL), 0);
  SWELL_ModalWindowEnd(session);

  // While a dialog runs modally, the host hears no keys; Escape cancels the dialog.
  SWELL_DialogResourceIndex record = {"modal", "Modal", 0x4 | 0x10, makeTwoControls, 200, 100, nullptr};
  DialogScript script;
  script.onInit = [this](HWND dialogView) {
    driver.at(driver.now() + 0.5, [this, dialogView] { driver.key(windowOf(dialogView), kVK_Escape); });
    return LRESULT(1);
  };
  script.onMessage = [](HWND dialogView, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && wParam == IDCANCEL) EndDialog(dialogView, IDCANCEL);
    return LRESULT(0);
  };
  g_hostCalls.clear();
  bool gaveUp = false;
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, dialog, scriptedDialogProc, scriptParam(script)), IDCANCEL);
  EXPECT_EQ(hostCount(SWELLAPP_KBDMESSAGE), 0);
  // A dialog without controls has the keys itself.
  record.createFunc = nullptr;
  giveUpAfterAWhile(driver, &gaveUp);
  EXPECT_EQ(SWELL_DialogBox(&record, record.resid, dialog, scriptedDialogProc, scriptParam(script)), IDCANCEL);
  EXPECT_FALSE(gaveUp);
}

TEST_F(ShellTest, EscapeAndCommandWCancelAndReturnPressesTheDefaultButton)
{
  Recorder* top = recorder("top");
  Recorder* plain = recorder("plain");
  HWND dialog = topLevel(top);
  HWND focused = child(dialog, plain);
  NSWindow* window = windowOf(dialog);
  const auto focus = [&](HWND hwnd) {
    SetFocus(hwnd);
    top->log.clear();
  };

  focus(focused);
  driver.key(window, kVK_Escape);
  driver.key(window, kVK_Escape, NSEventModifierFlagShift);
  driver.key(window, kVK_ANSI_W, NSEventModifierFlagCommand);
  EXPECT_EQ(commands(top, IDCANCEL), 3);
  EXPECT_EQ(top->last(WM_COMMAND)->lParam, 0);
  EXPECT_EQ(keyDowns(plain, VK_ESCAPE), 0);
  // With other modifiers the keys are the window's own.
  driver.key(window, kVK_Escape, NSEventModifierFlagOption);
  driver.key(window, kVK_ANSI_W, NSEventModifierFlagCommand | NSEventModifierFlagShift);
  EXPECT_EQ(commands(top, IDCANCEL), 3);
  EXPECT_EQ(keyDowns(plain, VK_ESCAPE), 1);

  // Return: no default button moves the focus to the dialog; a disabled one as well.
  top->log.clear();
  driver.key(window, kVK_Return);
  EXPECT_EQ(window->firstResponder(), swellObjectOf(dialog));
  EXPECT_EQ(top->count(WM_COMMAND), 0);
  HWND ok = addButton(dialog, IDOK, true);
  EnableWindow(ok, 0);
  focus(focused);
  driver.key(window, kVK_Return);
  EXPECT_EQ(window->firstResponder(), swellObjectOf(dialog));
  EnableWindow(ok, 1);
  focus(focused);
  driver.key(window, kVK_Return);
  driver.key(window, kVK_Return, NSEventModifierFlagShift);
  EXPECT_EQ(commands(top, IDOK), 1);
  EXPECT_EQ(keyDowns(plain, VK_RETURN), 1);
  EXPECT_EQ(window->firstResponder(), swellObjectOf(focused));
}

TEST_F(ShellTest, TextWithTheFocusKeepsItsReturnAndTakesTheClipboardKeys)
{
  Recorder* top = recorder("top");
  Recorder* typed = recorder("typed");
  HWND dialog = topLevel(top);
  NSWindow* window = windowOf(dialog);
  addButton(dialog, IDOK, true);
  TextControl* multiLine = addText(dialog, typed, true, true, false);
  TextControl* readOnly = addText(dialog, typed, true, false, false);
  HWND field = child(dialog, recorder("field"));
  TextControl* fieldFrame = addText(field, typed, false, true, true);
  TextControl* fieldEditor = addText(swellHandleOf(fieldFrame), typed, true, true, false);
  const auto focus = [&](TextControl* text) {
    window->makeFirstResponder(text);
    top->log.clear();
    typed->log.clear();
  };

  // A multi-line field types its Return, and Escape only leaves it.
  focus(multiLine);
  driver.key(window, kVK_Return);
  EXPECT_EQ(keyDowns(typed, VK_RETURN), 1);
  EXPECT_EQ(top->count(WM_COMMAND), 0);
  driver.key(window, kVK_Escape);
  EXPECT_EQ(window->firstResponder(), swellObjectOf(dialog));
  focus(readOnly);
  driver.key(window, kVK_Escape, NSEventModifierFlagShift);
  EXPECT_EQ(window->firstResponder(), swellObjectOf(dialog));
  EXPECT_EQ(commands(top, IDCANCEL), 0);

  // A read-only one, and the editor of a single-line field, are the dialog's.
  focus(readOnly);
  driver.key(window, kVK_Escape);
  focus(fieldEditor);
  driver.key(window, kVK_Escape);
  driver.key(window, kVK_Return);
  EXPECT_EQ(commands(top, IDCANCEL), 1);
  EXPECT_EQ(commands(top, IDOK), 1);
  EXPECT_EQ(keyDowns(typed, VK_RETURN), 0);

  // Command with C, X or V goes to the text as its actions, sent by the dialog; other text
  // views and other modifiers leave the keys alone.
  focus(fieldEditor);
  driver.key(window, kVK_ANSI_C, NSEventModifierFlagCommand);
  driver.key(window, kVK_ANSI_X, NSEventModifierFlagCommand | NSEventModifierFlagShift);
  driver.key(window, kVK_ANSI_V, NSEventModifierFlagCommand);
  EXPECT_EQ(fieldEditor->actions, (std::vector<Action>{Action::copy, Action::paste}));
  EXPECT_EQ(fieldEditor->senders.back(), swellObjectOf(dialog));
  EXPECT_EQ(keyDowns(typed, 'X', fieldEditor->handle()), 1);
  HWND plain = child(dialog, recorder("plain"));
  SetFocus(plain);
  driver.key(window, kVK_ANSI_C, NSEventModifierFlagCommand);
  EXPECT_EQ(keyDowns(&recorders.back(), 'C'), 1);
}

TEST_F(ShellTest, CommandAndOptionKeysBelongToAHostingViewFoundThroughParentWindows)
{
  Recorder* top = recorder("top");
  const auto [dialog, focused] = windowWithFocusedChild(top, recorder("field"));
  RECT rect{0, 0, 50, 50};
  HWND hostHwnd = SWELL_CreateCarbonWindowView(dialog, nullptr, &rect, false);
  auto* host = dynamic_cast<Swell_vVorna_hwndcarbonhost*>(swellObjectOf(hostHwnd));
  ASSERT_NE(host, nullptr);
  // The window the foreign toolkit would fill, and a palette of its own above it.
  NSWindow* hosted = new NSWindow(NSMakeRect(400, 400, 100, 80), NSWindowStyleMaskTitled);
  NSWindow* palette = new NSWindow(NSMakeRect(420, 420, 60, 40), NSWindowStyleMaskTitled);
  hosted->setDelegate(host);
  windowOf(dialog)->addChildWindow(hosted, NSWindowAbove);
  hosted->addChildWindow(palette, NSWindowAbove);
  hosted->orderFront(nullptr);
  palette->orderFront(nullptr);

  const auto keyTo = [this](NSWindow* window, uint16_t code, unsigned modifiers) {
    g_hostCalls.clear();
    driver.key(window, code, modifiers);
    return g_hostCalls.empty() ? HWND(nullptr) : g_hostCalls[0].keyMessage.hwnd;
  };
  EXPECT_EQ(keyTo(hosted, kVK_ANSI_K, NSEventModifierFlagCommand), hostHwnd);
  EXPECT_EQ(keyTo(palette, kVK_ANSI_K, NSEventModifierFlagOption), hostHwnd);
  EXPECT_EQ(g_hostCalls[0].keyMessage.lParam, FVIRTKEY | FALT);
  // Other keys go to the focused view of their own window; the palette has none.
  EXPECT_EQ(keyTo(palette, kVK_ANSI_K, NSEventModifierFlagShift), nullptr);
  EXPECT_EQ(keyTo(windowOf(dialog), kVK_ANSI_K, NSEventModifierFlagCommand), focused);

  // The dialog keys are those of the hosting view's window.
  top->log.clear();
  keyTo(palette, kVK_ANSI_W, NSEventModifierFlagCommand);
  EXPECT_EQ(commands(top, IDCANCEL), 1);
  hosted->setDelegate(nullptr);
}

TEST_F(ShellTest, AHostViewIsAPlainChildWindowWithoutTimerMessages)
{
  Recorder* top = recorder("top");
  Recorder* hostLog = recorder("host");
  HWND dialog = topLevel(top);
  RECT rect{10, 10, 110, 60};
  HWND host = SWELL_CreateCarbonWindowView(dialog, nullptr, &rect, false);
  SetWindowLong(host, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc));
  SetWindowLong(host, GWL_USERDATA, reinterpret_cast<LONG_PTR>(hostLog));
  EXPECT_FALSE(viewOf(host)->isOpaque());
  Recorder* innerLog = recorder("inner");
  HWND inner = child(host, innerLog);

  // Timer 1 stops when the view goes; no timer of the view reaches its procedure.
  SetTimer(host, 1, 10, nullptr);
  SetTimer(host, 2, 10, nullptr);
  driver.runFor(0.1);
  EXPECT_EQ(hostLog->count(WM_TIMER), 0);
  SendMessage(host, WM_SIZE, 0, 0);
  EXPECT_EQ(hostLog->count(WM_SIZE), 1);

  DestroyWindow(host);
  EXPECT_EQ(hostLog->count(WM_DESTROY), 1);
  EXPECT_EQ(innerLog->count(WM_DESTROY), 1);
  EXPECT_FALSE(IsWindow(inner));
  EXPECT_FALSE(IsWindow(host));
}
