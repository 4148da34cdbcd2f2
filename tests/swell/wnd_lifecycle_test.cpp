// Window views: construction, the destroy cascade, procedures that destroy their own window,
// window words, text, properties, keys and menu commands.
#include "wnd_test_support.h"

#include "swell-kb.h"
#include "swell-menu.h"
#include "swell-shell.h"

#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"

#include <cstring>

using namespace cocoa;

namespace
{
std::string entry(const std::string& name, UINT msg)
{
  return name + ":" + std::to_string(msg);
}

// Creates two controls: window views of their own.
void makeTwoControls(HWND dialog, int)
{
  for (int id : {11, 12})
  {
    auto* control = new Swell_vVorna_hwnd;
    control->initChild(nullptr, swellObjectOf(dialog), nullptr, 0);
    control->setTag(id);
    control->release();
  }
}

// A stand-in for the dialog buttons: a radio button (flag 1), maybe first of its group (2).
class RadioButton : public NSView, public SWELL_RadioButton
{
public:
  RadioButton(int flags, int on, NSInteger id) : m_flags(flags), m_state(on), m_id(id) {}
  NSInteger tag() const override { return m_id; }
  int swellGetRadioFlags() override { return m_flags; }
  int state() const override { return m_state; }
  void setState(int state) override { m_state = state; }

private:
  int m_flags;
  int m_state;
  NSInteger m_id;
};

LRESULT s_initDialogAnswer = 0;
WPARAM s_initDialogFocusCandidate = 0;

LRESULT dialogProc(HWND, UINT msg, WPARAM wParam, LPARAM)
{
  if (msg != WM_INITDIALOG) return 0;
  s_initDialogFocusCandidate = wParam;
  return s_initDialogAnswer;
}
}  // namespace

TEST_F(WindowTest, TheDestroyCascadeRunsOnceAndLeavesNoTimerOrPostedMessageBehind)
{
  Recorder* parent = recorder("parent");
  Recorder* first = recorder("first");
  Recorder* second = recorder("second");
  HWND top = topLevel(parent);
  HWND a = child(top, first);
  HWND b = child(top, second);
  ASSERT_EQ(SetTimer(top, 1, 10, nullptr), 1u);
  ASSERT_EQ(SetTimer(a, 2, 10, nullptr), 2u);
  ASSERT_TRUE(PostMessage(top, WM_USER, 0, 0));
  ASSERT_TRUE(PostMessage(b, WM_USER, 0, 0));
  // Posts made while the window dies: refused for the dying window, dropped for its children.
  BOOL postedToSelf = 1;
  parent->answer = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_DESTROY)
    {
      postedToSelf = PostMessage(h, WM_USER + 1, 0, 0);
      PostMessage(a, WM_USER + 1, 0, 0);
      SetTimer(a, 3, 10, nullptr);
      return 7;
    }
    return std::nullopt;
  };

  EXPECT_EQ(SendMessage(top, WM_DESTROY, 0, 0), 7);
  EXPECT_EQ(SendMessage(top, WM_DESTROY, 0, 0), 0);
  EXPECT_EQ(SendMessage(a, WM_USER, 0, 0), 0);  // destroyed views answer nothing
  DestroyWindow(top);
  EXPECT_FALSE(postedToSelf);
  EXPECT_EQ(parent->count(WM_DESTROY), 1);
  const std::vector<std::string> order(std::find(journal.begin(), journal.end(), entry("parent", WM_DESTROY)), journal.end());
  EXPECT_EQ(order, (std::vector<std::string>{entry("parent", WM_DESTROY), entry("first", WM_DESTROY),
                                             entry("second", WM_DESTROY)}));
  EXPECT_FALSE(IsWindow(top));

  journal.clear();
  driver.runFor(0.5);
  EXPECT_TRUE(journal.empty()) << journal.front();
}

// Walks over a window's children that call out for each: whatever a callee destroys, the
// views not yet reached or already passed, each child is met at most once and never after it
// went.
TEST_F(WindowTest, WalksOverChildrenSkipTheChildrenTheirCalleesDestroy)
{
  std::vector<Recorder*> said;
  const auto threeChildren = [&](HWND parent, const std::string& prefix) {
    std::vector<HWND> kids;
    said.clear();
    for (const char* name : {"1", "2", "3"})
    {
      said.push_back(recorder(prefix + name));
      kids.push_back(child(parent, said.back()));
    }
    return kids;
  };
  const auto onMessage = [](Recorder* r, UINT wanted, std::function<void()> action) {
    r->answer = [wanted, action](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg == wanted) action();
      return std::nullopt;
    };
  };

  // The destroy cascade: the first child takes the last with it, the second the first.
  HWND top = topLevel(recorder("top"));
  std::vector<HWND> kids = threeChildren(top, "cascade");
  onMessage(said[0], WM_DESTROY, [kid = kids[2]] { DestroyWindow(kid); });
  onMessage(said[1], WM_DESTROY, [kid = kids[0]] { DestroyWindow(kid); });
  DestroyWindow(top);
  std::vector<std::string> destroyed;
  for (const std::string& e : journal)
    if (e.starts_with("cascade") && e.ends_with(":" + std::to_string(WM_DESTROY))) destroyed.push_back(e);
  EXPECT_EQ(destroyed, (std::vector<std::string>{entry("cascade1", WM_DESTROY), entry("cascade3", WM_DESTROY),
                                                 entry("cascade2", WM_DESTROY)}));

  // The enumeration: a callback that destroys the next child, then one that destroys the
  // parent whose children it walks.
  struct Walk
  {
    std::vector<HWND> seen;
    std::function<void(HWND)> onVisit;
  };
  const auto visit = [](HWND hwnd, LPARAM lParam) -> BOOL {
    auto* walk = reinterpret_cast<Walk*>(lParam);
    walk->seen.push_back(hwnd);
    walk->onVisit(hwnd);
    return 1;
  };
  HWND window = topLevel(recorder("window"));
  HWND parent = child(window, recorder("parent"));
  kids = threeChildren(parent, "enum");
  Walk walk{{}, [&](HWND h) {
              if (h == kids[0]) DestroyWindow(kids[1]);
            }};
  EXPECT_TRUE(EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&walk)));
  EXPECT_EQ(walk.seen, (std::vector<HWND>{kids[0], kids[2]}));
  walk = Walk{{}, [&](HWND h) {
                if (h == kids[0]) DestroyWindow(parent);
              }};
  EXPECT_TRUE(EnumChildWindows(window, visit, reinterpret_cast<LPARAM>(&walk)));
  EXPECT_EQ(walk.seen, (std::vector<HWND>{parent, kids[0]}));
  // The same over top-level windows: the first window met takes the next with it.
  HWND next = topLevel(recorder("next"));
  HWND last = topLevel(recorder("last"));
  walk = Walk{{}, [&](HWND h) {
                if (h == window) DestroyWindow(next);
              }};
  EXPECT_TRUE(EnumWindows(visit, reinterpret_cast<LPARAM>(&walk)));
  EXPECT_EQ(walk.seen, (std::vector<HWND>{window, last}));
  DestroyWindow(window);
  DestroyWindow(last);

  // The default procedure's display change: a child that destroys its next sibling, then one
  // that destroys the window of them all.
  HWND screen = topLevel(recorder("screen"));
  kids = threeChildren(screen, "display");
  onMessage(said[0], WM_DISPLAYCHANGE, [kid = kids[1]] { DestroyWindow(kid); });
  SendMessage(screen, WM_DISPLAYCHANGE, 32, 0);
  EXPECT_EQ(said[0]->count(WM_DISPLAYCHANGE), 1);
  EXPECT_EQ(said[2]->count(WM_DISPLAYCHANGE), 1);
  onMessage(said[0], WM_DISPLAYCHANGE, [screen] { DestroyWindow(screen); });
  SendMessage(screen, WM_DISPLAYCHANGE, 32, 0);
  EXPECT_EQ(said[0]->count(WM_DISPLAYCHANGE), 2);
  EXPECT_EQ(said[2]->count(WM_DISPLAYCHANGE), 1);
  EXPECT_FALSE(IsWindow(screen));

  // Scrolling moves every child; a moved child hears WM_SIZE and destroys its next sibling.
  HWND scrolled = topLevel(recorder("scrolled"));
  kids = threeChildren(scrolled, "scroll");
  onMessage(said[0], WM_SIZE, [kid = kids[1]] { DestroyWindow(kid); });
  EXPECT_TRUE(ScrollWindow(scrolled, 0, 5, nullptr, nullptr));
  EXPECT_EQ(said[2]->count(WM_SIZE), 2);  // when it was placed, and now
  EXPECT_EQ(viewOf(kids[2])->frame().origin.y, 5);
}

TEST_F(WindowTest, AnOwnerTakesItsOwnedWindowsWithItMostRecentFirst)
{
  Recorder* owner = recorder("owner");
  HWND top = topLevel(owner);
  SWELL_owned_windows_levelincrease = true;  // owned windows float above their owner
  HWND older = topLevel(recorder("older"), NSMakeRect(120, 120, 50, 50), NSWindowStyleMaskTitled, top);
  HWND newer = topLevel(recorder("newer"), NSMakeRect(140, 140, 50, 50), NSWindowStyleMaskTitled, top);
  EXPECT_EQ(GetParent(newer), top);
  EXPECT_EQ(GetWindow(newer, GW_OWNER), swellHandleOf(windowOf(top)));
  EXPECT_EQ(windowOf(older)->level(), windowOf(top)->level() + 1);
  NSApp()->setActive(false);
  dynamic_cast<SWELL_OwnerWindow*>(windowOf(top))->swellResetOwnedWindowLevels();
  EXPECT_EQ(windowOf(newer)->level(), windowOf(top)->level());
  SWELL_owned_windows_levelincrease = false;

  DestroyWindow(top);
  std::vector<std::string> destroyed;
  for (const std::string& e : journal)
    if (e.ends_with(":" + std::to_string(WM_DESTROY))) destroyed.push_back(e);
  EXPECT_EQ(destroyed, (std::vector<std::string>{entry("owner", WM_DESTROY), entry("newer", WM_DESTROY),
                                                 entry("older", WM_DESTROY)}));
  EXPECT_TRUE(NSApp()->windows().empty());
}

TEST_F(WindowTest, AProcedureMayDestroyItsOwnWindowFromACommandATimerOrAClick)
{
  Recorder* top = recorder("top");
  HWND window = topLevel(top);
  Recorder* byCommand = recorder("command");
  Recorder* byTimer = recorder("timer");
  Recorder* byClick = recorder("click");
  HWND commandChild = child(window, byCommand, NSMakeRect(0, 0, 50, 50));
  HWND timerChild = child(window, byTimer, NSMakeRect(50, 0, 50, 50));
  child(window, byClick, NSMakeRect(100, 0, 50, 50));
  for (Recorder* r : {byCommand, byTimer, byClick})
    r->answer = [](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg == WM_COMMAND || msg == WM_TIMER || msg == WM_LBUTTONDOWN) DestroyWindow(h);
      return std::nullopt;
    };

  // A menu choice reaches the window as WM_COMMAND with the item's id.
  NSMenu* menu = new NSMenu("Actions");
  NSMenuItem* item = new NSMenuItem("Go", Action::none, "");
  item->setTag(4242);
  menu->addItem(item);
  item->release();
  SWELL_SetMenuDestination(swellMenuHandleOf(menu), commandChild);
  EXPECT_TRUE(NSApp()->sendAction(item->action(), item->target(), item));
  ASSERT_NE(byCommand->last(WM_COMMAND), nullptr);
  EXPECT_EQ(byCommand->last(WM_COMMAND)->wParam, 4242u);
  EXPECT_EQ(byCommand->last(WM_COMMAND)->lParam, reinterpret_cast<LPARAM>(item));
  // The window is gone: the item's target is skipped from now on.
  EXPECT_FALSE(NSApp()->sendAction(item->action(), item->target(), item));
  menu->release();

  SetTimer(timerChild, 9, 20, nullptr);
  driver.runFor(0.1);
  EXPECT_EQ(byTimer->count(WM_TIMER), 1);

  driver.click(windowOf(window), NSMakePoint(120, 20));
  EXPECT_EQ(byClick->count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(byClick->count(WM_LBUTTONUP), 0);

  EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr);
  for (Recorder* r : {byCommand, byTimer, byClick}) EXPECT_EQ(r->log.back().msg, WM_DESTROY);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowTest, WmCreateCarriesTheParameterAndWmInitDialogDecidesTheFocus)
{
  Recorder* plain = recorder("plain");
  HWND top = topLevel(recorder("top"));
  HWND view = child(top, plain);
  ASSERT_GE(plain->log.size(), 1u);
  EXPECT_EQ(plain->log.front().msg, WM_CREATE);
  EXPECT_EQ(plain->log.front().lParam, reinterpret_cast<LPARAM>(plain));
  EXPECT_EQ(GetWindowLong(view, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&recordingProc));

  SWELL_DialogResourceIndex resource = {"dlg", "Dialog", 0x4 | 0x10, makeTwoControls, 200, 100, nullptr};
  const auto makeDialog = [&](LRESULT answer) {
    s_initDialogAnswer = answer;
    auto* window = new Swell_vVorna_modelesswindow(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskTitled, false);
    auto* dialog = new Swell_vVorna_hwnd;
    dialog->initChild(&resource, window, dialogProc, 0);
    dialog->release();
    return window;
  };

  NSWindow* focusDialog = makeDialog(SWELL_INITDIALOG_FOCUS_DIALOG);
  HWND first = GetDlgItem(swellHandleOf(focusDialog), 11);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(s_initDialogFocusCandidate, reinterpret_cast<WPARAM>(first));
  EXPECT_EQ(focusDialog->firstResponder(), focusDialog->contentView());
  EXPECT_EQ(GetWindowLong(swellHandleOf(focusDialog->contentView()), DWL_DLGPROC),
            reinterpret_cast<LONG_PTR>(&dialogProc));
  // The answer asked for the focus while the window was not yet shown: showing makes it key.
  ShowWindow(swellHandleOf(focusDialog), SW_SHOWNA);
  EXPECT_TRUE(focusDialog->isKeyWindow());

  for (LRESULT answer : {LRESULT(0), LRESULT(1)})
  {
    NSWindow* window = makeDialog(answer);
    EXPECT_EQ(window->firstResponder(), swellObjectOf(GetDlgItem(swellHandleOf(window), 11))) << answer;
    DestroyWindow(swellHandleOf(window));
  }
  DestroyWindow(swellHandleOf(focusDialog));
}

TEST_F(WindowTest, WindowWordsTextAndPropertiesKeepTheirBounds)
{
  HWND top = topLevel(recorder("top"));
  HWND view = child(top, recorder("child"));

  SetWindowLong(view, 0, 11);
  SetWindowLong(view, 7, 12);  // the same word as index 0
  SetWindowLong(view, 248, 13);
  EXPECT_EQ(GetWindowLong(view, 0), 12);
  EXPECT_EQ(GetWindowLong(view, 248), 13);
  for (int outside : {256, 1000, -1, -100})
  {
    EXPECT_EQ(SetWindowLong(view, outside, 99), 0);
    EXPECT_EQ(GetWindowLong(view, outside), 0);
  }
  EXPECT_EQ(GetWindowLong(view, 0), 12);
  EXPECT_EQ(SetWindowLong(view, GWL_ID, 77), 0);
  EXPECT_EQ(GetDlgItem(top, 77), view);
  EXPECT_EQ(GetWindowLong(view, GWL_STYLE), WS_CHILD);
  EXPECT_EQ(GetWindowLong(top, GWL_STYLE), WS_CAPTION | WS_THICKFRAME);
  EXPECT_EQ(SetWindowLong(view, GWL_EXSTYLE, WS_EX_ACCEPTFILES), 0);
  EXPECT_EQ(GetWindowLong(view, GWL_EXSTYLE), WS_EX_ACCEPTFILES);

  // Text: cut to 1023 bytes, never inside a character; a content view titles its window.
  std::string longText(1022, 'x');
  longText += "\xC3\xA9tail";
  char buffer[2048];
  ASSERT_TRUE(SetDlgItemText(view, 0, longText.c_str()));
  ASSERT_TRUE(GetDlgItemText(view, 0, buffer, sizeof buffer));
  EXPECT_EQ(std::strlen(buffer), 1022u);
  EXPECT_TRUE(GetDlgItemText(view, 0, buffer, 4));
  EXPECT_STREQ(buffer, "xxx");
  SetDlgItemText(top, 0, "Main");
  EXPECT_EQ(windowOf(top)->title().str(), "Main");
  GetDlgItemText(swellHandleOf(windowOf(top)), 0, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "Main");

  const auto number = [&](const char* text, BOOL isSigned) {
    SetDlgItemText(view, 0, text);
    BOOL translated = 0;
    const int value = GetDlgItemInt(view, 0, &translated, isSigned);
    return std::make_pair(value, translated);
  };
  EXPECT_EQ(number(" \t0", TRUE), std::make_pair(0, 1));
  EXPECT_EQ(number("abc", TRUE), std::make_pair(0, 0));
  EXPECT_EQ(number("-5", FALSE), std::make_pair(0, 0));
  EXPECT_EQ(number("-5", TRUE), std::make_pair(-5, 1));

  // Properties: strings by content, atoms by value, never one for the other.
  const auto atom = reinterpret_cast<const char*>(uintptr_t(0x1234));
  const auto collect = [](HWND, const char* name, void* value, LPARAM lp) -> int {
    auto* seen = reinterpret_cast<std::vector<std::pair<std::string, void*>>*>(lp);
    seen->emplace_back(reinterpret_cast<uintptr_t>(name) <= 0xFFFF ? "atom" : name, value);
    return seen->size() < 2;
  };
  std::vector<std::pair<std::string, void*>> seen;
  EXPECT_EQ(EnumPropsEx(view, collect, reinterpret_cast<LPARAM>(&seen)), -1);
  std::string name = "colour";
  SetProp(view, name.c_str(), reinterpret_cast<void*>(1));
  name = "changed";  // the property kept its own copy
  SetProp(view, atom, reinterpret_cast<void*>(2));
  SetProp(view, "colour", reinterpret_cast<void*>(3));
  EXPECT_EQ(GetProp(view, "colour"), reinterpret_cast<void*>(3));
  EXPECT_EQ(GetProp(view, reinterpret_cast<const char*>(uintptr_t(0x1235))), nullptr);
  SetProp(view, "size", reinterpret_cast<void*>(4));
  EXPECT_EQ(EnumPropsEx(view, collect, reinterpret_cast<LPARAM>(&seen)), 0);  // stopped after two
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, void*>>{{"size", reinterpret_cast<void*>(4)},
                                                              {"atom", reinterpret_cast<void*>(2)}}));
  EXPECT_EQ(RemoveProp(view, "colour"), reinterpret_cast<void*>(3));
  EXPECT_EQ(GetProp(view, "colour"), nullptr);
}

TEST_F(WindowTest, KeysReachTheFocusedViewAndOnlyTheAnswer69HandsThemOn)
{
  Recorder* outer = recorder("outer");
  Recorder* inner = recorder("inner");
  HWND top = topLevel(outer);
  HWND view = child(top, inner);
  SetFocus(view);
  EXPECT_EQ(GetFocus(), view);
  inner->answer = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP) return 1;
    return std::nullopt;
  };
  driver.key(windowOf(top), 0, NSEventModifierFlagShift);  // the A key
  ASSERT_NE(inner->last(WM_KEYDOWN), nullptr);
  EXPECT_EQ(inner->last(WM_KEYDOWN)->wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(inner->last(WM_KEYDOWN)->lParam, FVIRTKEY | FSHIFT);
  EXPECT_EQ(outer->count(WM_KEYDOWN), 0);

  inner->answer = nullptr;  // DefWindowProc answers 69: the key travels to the parent
  driver.key(windowOf(top), 0);
  EXPECT_EQ(inner->count(WM_KEYDOWN), 2);
  EXPECT_EQ(outer->count(WM_KEYDOWN), 1);
  EXPECT_EQ(outer->count(WM_KEYUP), 1);
}

TEST_F(WindowTest, AWindowMenuFollowsItsWindowAndLeavesTheMainMenuWithIt)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  HMENU menu = CreatePopupMenu();
  HMENU file = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(file, "Open", 40001, 0);
  SWELL_Menu_AddMenuItem(file, "Label", 0, 0);
  SWELL_InsertMenu(menu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
  SetMenuItemModifier(menu, 40001, MF_BYCOMMAND, 'O', FCONTROL);
  NSMenuItem* open = swellMenuOf(file)->itemAtIndex(0);

  NSApp()->setKeyWindow(nullptr);
  EXPECT_EQ(SetMenu(top, menu), 1);
  EXPECT_EQ(open->target(), swellObjectOf(top));
  EXPECT_EQ(open->action(), Action::onSwellCommand);
  EXPECT_EQ(swellMenuOf(file)->itemAtIndex(1)->target(), nullptr);  // items without an id send nothing
  // Becoming key shows the window's menu; its key equivalent reaches the window.
  windowOf(top)->makeKeyWindow();
  EXPECT_EQ(SWELL_GetCurrentMenu(), menu);
  swellMenuOf(file)->update();
  ASSERT_NE(r->last(WM_INITMENUPOPUP), nullptr);
  EXPECT_EQ(r->last(WM_INITMENUPOPUP)->wParam, reinterpret_cast<WPARAM>(file));
  driver.key(windowOf(top), kVK_ANSI_O, NSEventModifierFlagCommand);
  ASSERT_NE(r->last(WM_COMMAND), nullptr);
  EXPECT_EQ(r->last(WM_COMMAND)->wParam, 40001u);

  // The window took over the caller's reference and lets go of exactly that one.
  StrongRef<NSMenu> watch(swellMenuOf(menu));
  DestroyWindow(top);
  EXPECT_EQ(SWELL_GetCurrentMenu(), nullptr);
  EXPECT_EQ(open->target(), nullptr);
  EXPECT_EQ(watch->retainCount(), 1);
  watch.reset();
  EXPECT_FALSE(isLiveObject(menu));
  EXPECT_FALSE(isLiveObject(file));

  // Nothing else holds this one: a window released without DestroyWindow takes it along.
  HWND other = topLevel(recorder("other"));
  HMENU otherMenu = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(otherMenu, "Item", 1, 0);
  SetMenu(other, otherMenu);
  windowOf(other)->close();
  driver.runUntilIdle();
  EXPECT_FALSE(isLiveObject(otherMenu));
}

TEST_F(WindowTest, ARadioClickTurnsOffTheRestOfItsGroupAndNoOtherButton)
{
  Recorder* dialog = recorder("dialog");
  HWND top = topLevel(dialog);
  // Groups: [1] [2 3 4] [5 6], then a button that is no radio button.
  const int flags[] = {3, 3, 1, 1, 3, 1, 0};
  std::vector<RadioButton*> buttons;
  for (int i = 0; i < 7; ++i)
  {
    buttons.push_back(new RadioButton(flags[i], 1, 100 + i));
    viewOf(top)->addSubview(buttons.back());
    buttons.back()->release();
  }
  EXPECT_TRUE(NSApp()->sendAction(Action::onSwellCommand3, viewOf(top), buttons[2]));
  std::vector<int> states;
  for (RadioButton* b : buttons) states.push_back(b->state());
  EXPECT_EQ(states, (std::vector<int>{1, 0, 1, 0, 1, 1, 1}));
  ASSERT_NE(dialog->last(WM_COMMAND), nullptr);
  EXPECT_EQ(dialog->last(WM_COMMAND)->wParam, 102u);  // BN_CLICKED is 0
  EXPECT_EQ(dialog->last(WM_COMMAND)->lParam, reinterpret_cast<LPARAM>(buttons[2]));
  NSApp()->sendAction(Action::onSwellCommand, viewOf(top), buttons[4]);  // the first of its group
  EXPECT_EQ(buttons[5]->state(), 0);
  EXPECT_EQ(buttons[3]->state(), 0);
  EXPECT_EQ(buttons[6]->state(), 1);
}
