// Mouse and gesture input of window views: capture, the non-client test, cursors chosen by
// WM_SETCURSOR, the wheel, right-click emulation and mouse moves sent to the view under the
// pointer.
#include "wnd_test_support.h"

#include "swell-cursor.h"
#include "swell-misc.h"
#include "swell-mouse.h"

#include "platform/appkit/cursor.h"
#include "platform/appkit/event.h"

using namespace cocoa;

namespace
{
// Content pixels of a titled window start 22 below its top, under the menu strip.
constexpr int kStrip = 22;

NSEvent* eventIn(NSWindow* window, NSEventType type, NSPoint pixel, CGFloat dx = 0, CGFloat dy = 0, float rotation = 0)
{
  NSEventFields fields;
  fields.type = type;
  fields.window = window;
  fields.locationInWindow = window->baseFromPixel(NSMakePoint(pixel.x, pixel.y + kStrip));
  fields.deltaX = dx;
  fields.deltaY = dy;
  fields.deltaZ = dx;
  fields.rotation = rotation;
  fields.clickCount = 1;
  return NSEvent::eventWithFields(fields);
}

std::vector<UINT> buttonMessages(const Recorder& r)
{
  std::vector<UINT> seen;
  for (const Message& m : r.log)
    if ((m.msg >= WM_LBUTTONDOWN && m.msg <= WM_MBUTTONDBLCLK) || (m.msg >= WM_NCLBUTTONDOWN && m.msg <= WM_NCMBUTTONDBLCLK))
      seen.push_back(m.msg);
  return seen;
}
}  // namespace

TEST_F(WindowTest, TheCaptureHolderTakesEveryMouseMessageOfItsWindowInItsOwnCoordinates)
{
  HWND top = topLevel(recorder("top"));
  Recorder* holder = recorder("holder");
  Recorder* sibling = recorder("sibling");
  HWND a = child(top, holder, NSMakeRect(0, 0, 100, 80));
  HWND b = child(top, sibling, NSMakeRect(150, 0, 100, 80));
  NSWindow* window = windowOf(top);

  EXPECT_EQ(SetCapture(a), nullptr);
  driver.mouseDown(window, NSMakePoint(160, 30));
  driver.mouseMove(window, NSMakePoint(170, 35));
  driver.mouseUp(window, NSMakePoint(170, 35));
  EXPECT_TRUE(buttonMessages(*sibling).empty());
  EXPECT_EQ(sibling->count(WM_MOUSEMOVE), 0);
  EXPECT_EQ(buttonMessages(*holder), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  ASSERT_NE(holder->last(WM_LBUTTONDOWN), nullptr);
  EXPECT_EQ(packedX(holder->last(WM_LBUTTONDOWN)->lParam), 160);
  EXPECT_EQ(packedY(holder->last(WM_LBUTTONDOWN)->lParam), 30);
  EXPECT_EQ(packedX(holder->last(WM_MOUSEMOVE)->lParam), 170);
  // No hit test and no cursor question while a window holds the capture.
  EXPECT_EQ(holder->count(WM_NCHITTEST), 0);
  EXPECT_EQ(holder->count(WM_SETCURSOR), 0);

  EXPECT_EQ(SetCapture(b), a);
  ASSERT_NE(holder->last(WM_CAPTURECHANGED), nullptr);
  EXPECT_EQ(holder->last(WM_CAPTURECHANGED)->lParam, reinterpret_cast<LPARAM>(b));
  SetCapture(b);
  EXPECT_EQ(sibling->count(WM_CAPTURECHANGED), 0);
  ReleaseCapture();
  ASSERT_EQ(sibling->count(WM_CAPTURECHANGED), 1);
  EXPECT_EQ(sibling->last(WM_CAPTURECHANGED)->lParam, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowTest, TheNonClientTestDecidesBetweenCaptionAndClientMessagesAndTheCursor)
{
  HWND top = topLevel(recorder("top"));
  Recorder* r = recorder("view");
  HWND view = child(top, r, NSMakeRect(10, 10, 100, 80));
  NSWindow* window = windowOf(top);
  r->answer = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_NCHITTEST) return HTCAPTION;
    return std::nullopt;
  };
  driver.click(window, NSMakePoint(20, 30));
  EXPECT_EQ(buttonMessages(*r), (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}));
  const Message* caption = r->last(WM_NCLBUTTONDOWN);
  POINT screen = {10, 20};  // the click in the view's coordinates
  ClientToScreen(view, &screen);
  EXPECT_EQ(caption->wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(packedX(caption->lParam), screen.x);
  EXPECT_EQ(packedY(caption->lParam), screen.y);
  EXPECT_EQ(r->last(WM_NCHITTEST)->lParam, caption->lParam);
  // An event loop may let the view claim a press over what it calls its caption.
  NSEvent* press = eventIn(window, NSEventTypeLeftMouseDown, NSMakePoint(20, 30));
  EXPECT_TRUE(SWELL_HandleMouseEvent(press));
  EXPECT_EQ(r->count(WM_NCLBUTTONDOWN), 2);
  SetCapture(top);
  EXPECT_FALSE(SWELL_HandleMouseEvent(press));
  ReleaseCapture();

  // In the client area a move asks for the cursor; no answer shows the arrow.
  HCURSOR beam = SWELL_LoadCursor(IDC_IBEAM);
  SWELL_SetCursor(beam);
  r->answer = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_SETCURSOR && GetWindowLong(h, 0))
    {
      SWELL_SetCursor(beam);
      return 1;
    }
    return std::nullopt;
  };
  EXPECT_FALSE(SWELL_HandleMouseEvent(press));  // the client area is nobody's to claim
  driver.mouseMove(window, NSMakePoint(30, 30));
  const Message* asked = r->last(WM_SETCURSOR);
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->wParam, reinterpret_cast<WPARAM>(view));
  EXPECT_EQ(asked->lParam, static_cast<LPARAM>(HTCLIENT | (WM_MOUSEMOVE << 16)));
  EXPECT_EQ(SWELL_GetCursor(), SWELL_LoadCursor(IDC_ARROW));
  SetWindowLong(view, 0, 1);
  driver.mouseMove(window, NSMakePoint(31, 30));
  EXPECT_EQ(SWELL_GetCursor(), beam);

  // A procedure that destroys its window while being hit-tested ends the delivery.
  r->answer = [](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_NCHITTEST) DestroyWindow(h);
    return std::nullopt;
  };
  NSView* platformView = viewOf(view);
  StrongRef<NSView> keep(platformView);
  EXPECT_EQ(SWELL_SendMouseMessage(platformView, WM_LBUTTONDOWN, eventIn(window, NSEventTypeLeftMouseDown, NSMakePoint(20, 20))), -1);
  EXPECT_EQ(r->count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(SWELL_SendMouseMessage(platformView, WM_LBUTTONUP, eventIn(window, NSEventTypeLeftMouseUp, NSMakePoint(20, 20))), -1);
  EXPECT_EQ(SWELL_SendMouseMessage(nullptr, WM_LBUTTONUP, nullptr), 0);
}

TEST_F(WindowTest, WheelAndGesturesArriveScaledAndPackedWithoutSignShifts)
{
  Recorder* outer = recorder("outer");
  HWND top = topLevel(outer);
  Recorder* inner = recorder("inner");
  child(top, inner, NSMakeRect(0, 0, 100, 80));
  NSWindow* window = windowOf(top);
  std::vector<GESTUREINFO> gestures;
  inner->answer = [&](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_GESTURE) return std::nullopt;
    GESTUREINFO info;
    SWELL_GetGestureInfo(lParam, &info);
    gestures.push_back(info);
    return 1;
  };

  SetWindowPos(top, nullptr, -300, -200, 300, 222, SWP_NOZORDER);  // negative screen positions
  driver.mouseMove(window, NSMakePoint(20, 20));
  driver.wheel(window, NSMakePoint(20, 20), 1.0);
  const Message* notch = inner->last(WM_MOUSEWHEEL);
  ASSERT_NE(notch, nullptr);
  EXPECT_EQ(notch->wParam, WPARAM(60) << 16);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_LT(cursor.x, 0);
  EXPECT_EQ(packedX(notch->lParam), cursor.x);
  EXPECT_EQ(packedY(notch->lParam), cursor.y);
  EXPECT_EQ(inner->count(WM_NCHITTEST), 0);
  // Both directions from one event; the default procedure hands them to the parent.
  driver.wheel(window, NSMakePoint(20, 20), -2.5, 0.5);
  EXPECT_EQ(static_cast<short>(inner->last(WM_MOUSEWHEEL)->wParam >> 16), -150);
  EXPECT_EQ(static_cast<short>(inner->last(WM_MOUSEHWHEEL)->wParam >> 16), 30);
  EXPECT_EQ(outer->count(WM_MOUSEWHEEL), 2);
  EXPECT_EQ(outer->count(WM_MOUSEHWHEEL), 1);

  NSApp()->sendEvent(eventIn(window, NSEventTypeMagnify, NSMakePoint(20, 20), 0));
  NSApp()->sendEvent(eventIn(window, NSEventTypeMagnify, NSMakePoint(20, 20), 2.0));
  NSApp()->sendEvent(eventIn(window, NSEventTypeRotate, NSMakePoint(20, 20), 0, 0, -30));
  NSApp()->sendEvent(eventIn(window, NSEventTypeSwipe, NSMakePoint(20, 20), -1));
  ASSERT_EQ(gestures.size(), 8u);
  EXPECT_EQ(gestures[0].dwFlags, DWORD(GF_BEGIN));
  EXPECT_EQ(gestures[0].ullArguments, 1024u);
  EXPECT_EQ(gestures[1].dwFlags, DWORD(GF_END));
  EXPECT_EQ(gestures[1].ullArguments, 1025u);  // no change still counts as a step
  EXPECT_EQ(gestures[3].ullArguments, 2048u);
  EXPECT_EQ(gestures[5].dwID, DWORD(GID_ROTATE));
  EXPECT_EQ(gestures[5].ullArguments, 32767u - 16383u);
  EXPECT_EQ(gestures[7].dwID, DWORD(GID_PAN));
  EXPECT_EQ(gestures[7].ptsLocation.x, gestures[6].ptsLocation.x - 100);
  EXPECT_EQ(gestures[0].ptsLocation.x, -280);
  EXPECT_EQ(gestures[0].cbSize, 56u);
}

TEST_F(WindowTest, ControlClickIsARightClickOnlyWhileEmulationIsOn)
{
  HWND top = topLevel(recorder("top"));
  Recorder* r = recorder("view");
  HWND view = child(top, r, NSMakeRect(0, 0, 100, 80));
  NSWindow* window = windowOf(top);
  const NSPoint at = NSMakePoint(10, 10);
  SWELL_EnableRightClickEmulate(1);
  driver.click(window, at, TestDriver::left, NSEventModifierFlagControl);
  EXPECT_EQ(buttonMessages(*r), (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
  r->log.clear();
  driver.mouseDown(window, at, TestDriver::left, NSEventModifierFlagControl, 2);
  driver.mouseUp(window, at, TestDriver::left, NSEventModifierFlagControl, 2);
  EXPECT_EQ(buttonMessages(*r), (std::vector<UINT>{WM_RBUTTONDBLCLK, WM_LBUTTONUP}));
  r->log.clear();
  driver.click(window, at, TestDriver::left, NSEventModifierFlagCommand);
  SWELL_EnableRightClickEmulate(0);
  driver.click(window, at, TestDriver::left, NSEventModifierFlagControl);
  driver.doubleClick(window, at);
  EXPECT_EQ(buttonMessages(*r), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                                   WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

  // A disabled view still hears right and middle presses, nothing else.
  r->log.clear();
  EnableWindow(view, 0);
  driver.click(window, at);
  driver.click(window, at, TestDriver::right);
  driver.click(window, at, TestDriver::middle);
  EXPECT_EQ(buttonMessages(*r), (std::vector<UINT>{WM_RBUTTONDOWN, WM_MBUTTONDOWN}));
}

TEST_F(WindowTest, MouseMovesGoToTheViewUnderThePointerEvenInAnotherWindow)
{
  HWND top = topLevel(recorder("top"), NSMakeRect(100, 100, 300, 200));
  Recorder* focused = recorder("focused");
  Recorder* under = recorder("under");
  HWND a = child(top, focused, NSMakeRect(0, 0, 100, 80));
  child(top, under, NSMakeRect(150, 0, 100, 80));
  Recorder* front = recorder("front");
  HWND other = topLevel(front, NSMakeRect(300, 250, 200, 100));
  SetFocus(a);
  windowOf(other)->orderFront(nullptr);  // the first window is key, the other lies in front of part of it
  ASSERT_EQ(NSApp()->keyWindow(), windowOf(top));
  NSWindow* window = windowOf(top);

  driver.mouseMove(window, NSMakePoint(170, 30));
  EXPECT_EQ(focused->count(WM_MOUSEMOVE), 0);
  ASSERT_EQ(under->count(WM_MOUSEMOVE), 1);
  EXPECT_EQ(packedX(under->last(WM_MOUSEMOVE)->lParam), 20);
  EXPECT_EQ(packedY(under->last(WM_MOUSEMOVE)->lParam), 30);

  // Screen (310, 290): inside the other window's content, which lies in front.
  driver.mouseMove(window, NSMakePoint(210, 10));
  ASSERT_EQ(front->count(WM_MOUSEMOVE), 1);
  POINT expected = {310, 290};
  ScreenToClient(other, &expected);
  EXPECT_EQ(packedX(front->last(WM_MOUSEMOVE)->lParam), expected.x);
  EXPECT_EQ(packedY(front->last(WM_MOUSEMOVE)->lParam), expected.y);
}
