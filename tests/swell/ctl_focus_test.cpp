// The keyboard focus while the procedures that hear of it destroy what it moves between: the
// view that is to take it, the field that is losing it, the one it moves to. Whatever they
// destroy, the focus rests on a view that is still there, the keys reach it, and a field says
// that it lost the focus once.
#include "ctl_test_support.h"

#include <functional>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
constexpr int kFirstId = 10;
constexpr int kSecondId = 11;

int notificationsFrom(const Recorder* r, int id, unsigned code)
{
  int count = 0;
  for (const Message& m : r->log)
    if (m.msg == WM_COMMAND && (m.wParam & 0xFFFF) == WPARAM(id) && (m.wParam >> 16) == code) ++count;
  return count;
}

bool IsNotification(UINT msg, WPARAM wParam, int id, unsigned code)
{
  return msg == WM_COMMAND && (wParam & 0xFFFF) == WPARAM(id) && (wParam >> 16) == code;
}
}  // namespace

TEST_F(WindowTest, TheFocusNeverRestsOnAViewThatTheCodeItCalledDestroyed)
{
  enum class Destroyer
  {
    itselfOnMouseActivate,   // the view, on the WM_MOUSEACTIVATE its becoming the focus sends
    parentOnSetFocus,        // the parent, of a multi-line field on its EN_SETFOCUS
    parentOnOthersKillFocus  // the parent, of the field the focus moves to, on the old one's EN_KILLFOCUS
  };
  const struct
  {
    const char* what;
    Destroyer destroyer;
    bool click;  // a click on the view, else SetFocus
  } cases[] = {
    {"a view destroying itself, by SetFocus", Destroyer::itselfOnMouseActivate, false},
    {"a view destroying itself, by a click", Destroyer::itselfOnMouseActivate, true},
    {"a multi-line field destroyed on its EN_SETFOCUS", Destroyer::parentOnSetFocus, false},
    {"a multi-line field destroyed on its EN_SETFOCUS, by a click", Destroyer::parentOnSetFocus, true},
    {"the field the focus moves to, destroyed on the old one's EN_KILLFOCUS", Destroyer::parentOnOthersKillFocus,
     false},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    Recorder* parentLog = recorder("parent");
    Recorder* plainLog = recorder("plain");
    HWND parent = topLevel(parentLog);
    SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
    HWND multi = SWELL_MakeEditField(kFirstId, 10, 10, 200, 60, WS_VSCROLL);
    HWND single = SWELL_MakeEditField(kSecondId, 10, 80, 200, 20, 0);
    HWND plain = child(parent, plainLog, NSMakeRect(10, 120, 100, 40));
    NSWindow* window = windowOf(parent);
    window->makeKeyAndOrderFront(nullptr);

    HWND target = nullptr;
    switch (c.destroyer)
    {
    case Destroyer::itselfOnMouseActivate:
      target = plain;
      plainLog->answer = [plain](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_MOUSEACTIVATE && IsWindow(plain)) DestroyWindow(plain);
        return std::nullopt;
      };
      break;
    case Destroyer::parentOnSetFocus:
      target = multi;
      parentLog->answer = [multi](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (IsNotification(msg, wParam, kFirstId, EN_SETFOCUS) && IsWindow(multi)) DestroyWindow(multi);
        return std::nullopt;
      };
      break;
    case Destroyer::parentOnOthersKillFocus:
      target = multi;
      SetFocus(single);
      parentLog->answer = [multi](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (IsNotification(msg, wParam, kSecondId, EN_KILLFOCUS) && IsWindow(multi)) DestroyWindow(multi);
        return std::nullopt;
      };
      break;
    }
    if (c.click) driver.click(window, centreInWindow(dynamic_cast<NSView*>(swellObjectOf(target))));
    else SetFocus(target);

    EXPECT_FALSE(IsWindow(target));
    EXPECT_NE(GetFocus(), target);
    // A click on a view that went while it was being focused presses nothing.
    EXPECT_EQ(plainLog->count(WM_LBUTTONDOWN), 0);
    // The focus rests on what is still there, and keys typed now reach it.
    if (HWND focus = GetFocus()) EXPECT_TRUE(IsWindow(focus));
    driver.type(window, "ab");
    driver.key(window, kVK_Tab, 0, "\t");
    if (HWND focus = GetFocus()) EXPECT_TRUE(IsWindow(focus));
    parentLog->answer = nullptr;
    plainLog->answer = nullptr;
    DestroyWindow(parent);
  }
}

// A parent that destroys an edit field when it loses the keyboard (an inline editor), checking
// IsWindow first as Win32 code does: the field, single-line or multi-line, is told once that it
// lost the focus, whether the focus moves to another field or the field is destroyed while it
// has it.
TEST_F(WindowTest, AFieldItsParentDestroysOnItsKillFocusSaysSoOnce)
{
  for (const int lines : {1, 3})
  for (const bool destroyedWhileFocused : {false, true})
  {
    SCOPED_TRACE(std::to_string(lines) + (destroyedWhileFocused ? " lines, destroyed while focused" :
                                                                  " lines, the focus moved on"));
    Recorder* parentLog = recorder("parent");
    HWND parent = topLevel(parentLog);
    SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
    HWND field = SWELL_MakeEditField(kFirstId, 10, 10, 200, 20 * lines, lines > 1 ? WS_VSCROLL : 0);
    HWND other = SWELL_MakeEditField(kSecondId, 10, 40, 200, 20, 0);
    NSWindow* window = windowOf(parent);
    window->makeKeyAndOrderFront(nullptr);
    SetFocus(field);
    driver.type(window, "x");
    parentLog->answer = [field](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
      if (IsNotification(msg, wParam, kFirstId, EN_KILLFOCUS) && IsWindow(field)) DestroyWindow(field);
      return std::nullopt;
    };
    if (destroyedWhileFocused) DestroyWindow(field);
    else SetFocus(other);

    EXPECT_FALSE(IsWindow(field));
    EXPECT_EQ(notificationsFrom(parentLog, kFirstId, EN_KILLFOCUS), 1);
    if (!destroyedWhileFocused) EXPECT_EQ(GetFocus(), other);
    parentLog->answer = nullptr;
    DestroyWindow(parent);
  }
}
