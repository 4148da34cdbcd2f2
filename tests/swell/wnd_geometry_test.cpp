// Window geometry and painting: rectangles and conversions through flipped views, moving,
// sizing and ordering, the client area a procedure leaves, and where WM_PAINT may draw.
#include "wnd_test_support.h"

#include "swell-gdi.h"

#include "platform/appkit/screen.h"

#include <cstdlib>

using namespace cocoa;

namespace
{
bool operator==(const RECT& a, const RECT& b)
{
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT rectOf(HWND hwnd)
{
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

POINT roundTrip(HWND hwnd, POINT p)
{
  ClientToScreen(hwnd, &p);
  ScreenToClient(hwnd, &p);
  return p;
}

std::optional<LRESULT> insetNonClientArea(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
  if (msg != WM_NCCALCSIZE) return std::nullopt;
  RECT* r = &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
  RECT nested;
  GetClientRect(hwnd, &nested);  // asked again from inside: the plain bounds, no recursion
  r->left += 10;
  r->top += 10;
  r->right -= 10;
  r->bottom -= 10;
  return 0;
}

uint32_t pixel(NSWindow* window, int x, int y)
{
  return window->backing().pixel(x, y) & 0xFFFFFF;
}
}  // namespace

TEST_F(WindowTest, RectanglesAndPointsRoundTripThroughFlippedAndUnflippedViews)
{
  HWND top = topLevel(recorder("top"), NSMakeRect(100, 100, 300, 200));
  HWND flipped = child(top, recorder("flipped"), NSMakeRect(10, 20, 50, 40));
  HWND unflipped = child(top, recorder("unflipped"), NSMakeRect(10, 20, 50, 40));
  SWELL_SetWindowFlip(unflipped, false);

  // A titled window without an owner carries the menu strip: 22 more above the content.
  EXPECT_TRUE(rectOf(top) == (RECT{100, 100, 400, 322}));
  RECT content;
  GetWindowContentViewRect(top, &content);
  EXPECT_TRUE(content == (RECT{100, 300, 400, 100}));  // flipped: `top` holds the upper edge
  EXPECT_TRUE(rectOf(flipped) == (RECT{110, 280, 160, 240}));
  EXPECT_TRUE(rectOf(unflipped) == (RECT{110, 240, 160, 280}));
  POINT p = {0, 0};
  ClientToScreen(unflipped, &p);
  EXPECT_EQ(p.x, 110);
  EXPECT_EQ(p.y, 240);
  for (HWND view : {top, flipped, unflipped})
    for (POINT q : {POINT{0, 0}, POINT{7, 33}, POINT{-5, -9}, POINT{49, 39}})
    {
      const POINT back = roundTrip(view, q);
      EXPECT_EQ(back.x, q.x);
      EXPECT_EQ(back.y, q.y);
    }

  // Negative positions read back as they were written.
  SetWindowPos(top, nullptr, -101, -51, 200, 100, SWP_NOZORDER);
  EXPECT_TRUE(rectOf(top) == (RECT{-101, -51, 99, 49}));
  POINT corner = {0, 78};  // the bottom-left of the content, now 100 - 22 high
  ClientToScreen(top, &corner);
  EXPECT_EQ(corner.x, -101);
  EXPECT_EQ(corner.y, -51);

  RECT viewport;
  SWELL_GetViewPort(&viewport, nullptr, false);
  const NSRect screen = NSScreen::mainScreen()->frame();
  EXPECT_TRUE(viewport == (RECT{0, 0, int(screen.size.width), int(screen.size.height)}));
  // The later of two siblings lies on top.
  EXPECT_EQ(WindowFromPoint(POINT{-101 + 15, 49 - 22 - 25}), unflipped);
  EXPECT_EQ(WindowFromPoint(POINT{-101 + 150, -51 + 5}), top);
  EXPECT_EQ(WindowFromPoint(POINT{5000, 5000}), nullptr);
}

TEST_F(WindowTest, SetWindowPosMovesSizesAndReordersOnlyWhatItIsAskedTo)
{
  Recorder* limits = recorder("top");
  HWND top = topLevel(limits);
  Recorder* first = recorder("a");
  HWND a = child(top, first);
  HWND b = child(top, recorder("b"));
  HWND c = child(top, recorder("c"));
  const auto order = [&] {
    std::vector<HWND> seen;
    for (HWND h = GetWindow(top, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) seen.push_back(h);
    return seen;
  };
  SetFocus(a);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, c, a}));
  EXPECT_EQ(GetFocus(), a);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{a, b, c}));
  SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
  for (HWND ignored : {a, HWND_TOPMOST, HWND_NOTOPMOST, top})
    SetWindowPos(a, ignored, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  SetCapture(a);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ReleaseCapture();
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
  EXPECT_EQ(GetWindow(b, GW_HWNDPREV), nullptr);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  EXPECT_EQ(GetWindow(top, GW_HWNDFIRST), top);

  const int sizes = first->count(WM_SIZE);
  SetWindowPos(a, nullptr, 5, 6, 70, -30, SWP_NOZORDER);
  EXPECT_EQ(viewOf(a)->frame(), NSMakeRect(5, 6, 70, 30));
  SetWindowPos(a, nullptr, 50, 60, 10, 10, SWP_NOZORDER | SWP_NOSIZE);
  EXPECT_EQ(viewOf(a)->frame(), NSMakeRect(50, 60, 70, 30));
  SetWindowPos(a, nullptr, 1, 1, 1, 1, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(viewOf(a)->frame(), NSMakeRect(50, 60, 70, 30));
  EXPECT_EQ(first->count(WM_SIZE), sizes + 2);

  // A window keeps to the limits its procedure gives.
  limits->answer = [](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_GETMINMAXINFO) return std::nullopt;
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = POINT{200, 150};
    info->ptMaxTrackSize.x = 1000000;  // past the largest: the platform's own limit stays
    info->ptMaxTrackSize.y = 400;
    return 0;
  };
  SetWindowPos(top, nullptr, 10, 20, 50, 50, SWP_NOZORDER);
  EXPECT_TRUE(rectOf(top) == (RECT{10, 20, 210, 170}));
  SetWindowPos(top, nullptr, 10, 20, 5000, 5000, SWP_NOZORDER);
  EXPECT_TRUE(rectOf(top) == (RECT{10, 20, 5010, 420}));
}

TEST_F(WindowTest, TheClientAreaIsWhatWmNcCalcSizeLeavesAndPaintStaysInsideIt)
{
  HWND top = topLevel(recorder("top"), NSMakeRect(100, 100, 200, 120));
  Recorder* inset = recorder("inset");
  inset->answer = [&](HWND h, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_PAINT)
    {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      EXPECT_EQ(dc, reinterpret_cast<HDC>(wParam));
      EXPECT_TRUE(ps.rcPaint == (RECT{10, 10, 60, 40})) << ps.rcPaint.left << " " << ps.rcPaint.right;
      HBRUSH red = CreateSolidBrush(0xFF0000);
      const RECT everything = {-100, -100, 1000, 1000};
      SWELL_FillRect(dc, &everything, red);
      DeleteObject(red);
      EndPaint(h, &ps);
      return 0;
    }
    return insetNonClientArea(h, msg, wParam, lParam);
  };
  HWND framed = child(top, inset, NSMakeRect(10, 10, 80, 60));
  RECT client;
  GetClientRect(framed, &client);
  EXPECT_TRUE(client == (RECT{0, 0, 60, 40}));
  POINT centre = {40, 30}, edge = {3, 3};
  ClientToScreen(framed, &centre);
  ClientToScreen(framed, &edge);
  EXPECT_EQ(DefWindowProc(framed, WM_NCHITTEST, 0, (centre.y << 16) | (centre.x & 0xFFFF)), HTCLIENT);
  EXPECT_EQ(DefWindowProc(framed, WM_NCHITTEST, 0, (edge.y << 16) | (edge.x & 0xFFFF)), HTNOWHERE);

  // A dialog procedure's background brush fills a view painted by the default procedure.
  auto* plain = new Swell_vVorna_hwnd;
  plain->initChild(nullptr, swellObjectOf(top), nullptr, 0);
  plain->setFrame(NSMakeRect(110, 10, 60, 60));
  plain->release();
  ShowWindow(plain->handle(), SW_SHOWNA);
  static HBRUSH blue = CreateSolidBrush(0x0000FF);
  SetWindowLong(plain->handle(), DWL_DLGPROC, reinterpret_cast<LONG_PTR>(+[](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
                  return msg == WM_CTLCOLORDLG ? reinterpret_cast<LRESULT>(blue) : 0;
                }));

  inset->log.clear();
  NSWindow* window = windowOf(top);
  window->display();
  ASSERT_FALSE(inset->log.empty());
  EXPECT_EQ(inset->log.front().msg, WM_NCCALCSIZE);
  EXPECT_EQ(inset->only({WM_NCPAINT, WM_PAINT}), (std::vector<UINT>{WM_NCPAINT, WM_PAINT}));
  ASSERT_TRUE(driver.snapshot(window, "swell_paint_inset.png"));
  // The strip is 22 high: the child starts at window pixel (10, 32); its client area is
  // the first 60 x 40 of it, and only that turned red.
  EXPECT_EQ(pixel(window, 10, 32), 0xFF0000u);
  EXPECT_EQ(pixel(window, 69, 71), 0xFF0000u);
  EXPECT_NE(pixel(window, 70, 50), 0xFF0000u);
  EXPECT_NE(pixel(window, 30, 72), 0xFF0000u);
  EXPECT_EQ(pixel(window, 140, 60), 0x0000FFu);
  EXPECT_EQ(BeginPaint(framed, nullptr), nullptr);
  PAINTSTRUCT outside;
  EXPECT_EQ(BeginPaint(framed, &outside), nullptr);
  DeleteObject(blue);
}

TEST_F(WindowTest, FindingWindowsAndMovingFocusLookOnlyWhereTheyShould)
{
  HWND top = topLevel(recorder("top"));
  HWND outer = child(top, recorder("outer"));
  HWND inner = child(outer, recorder("inner"), NSMakeRect(5, 5, 20, 20));
  SetWindowLong(inner, GWL_ID, 9);
  SetWindowLong(outer, GWL_ID, 8);
  NSWindow* window = windowOf(top);
  EXPECT_EQ(GetDlgItem(swellHandleOf(window), 0), top);
  EXPECT_EQ(GetDlgItem(top, 8), outer);
  EXPECT_EQ(GetDlgItem(top, 9), nullptr);  // one level only
  EXPECT_EQ(GetParent(inner), outer);
  EXPECT_EQ(GetParent(top), nullptr);
  EXPECT_TRUE(IsChild(top, inner));
  EXPECT_TRUE(IsChild(swellHandleOf(window), inner));
  EXPECT_FALSE(IsChild(inner, top));
  EXPECT_FALSE(IsChild(inner, inner));
  EXPECT_TRUE(IsWindow(inner));
  EXPECT_TRUE(IsWindow(swellHandleOf(window)));
  EXPECT_EQ(SendMessage(swellHandleOf(window), WM_USER, 0, 0), 0);
  EXPECT_EQ(recorders[0].count(WM_USER), 1);  // a window's messages go to its content view

  std::vector<HWND> visited;
  EnumChildWindows(top, [](HWND h, LPARAM lp) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return 1;
  }, reinterpret_cast<LPARAM>(&visited));
  EXPECT_EQ(visited, (std::vector<HWND>{outer, inner}));
  EXPECT_FALSE(EnumChildWindows(top, [](HWND, LPARAM) -> BOOL { return 0; }, 0));

  SetFocus(inner);
  EXPECT_EQ(GetFocus(), inner);
  EXPECT_EQ(GetForegroundWindow(), inner);
  ShowWindow(outer, SW_HIDE);
  EXPECT_EQ(GetFocus(), top);
  EXPECT_FALSE(IsWindowVisible(inner));
  EXPECT_TRUE(IsWindowVisible(top));
  ShowWindow(outer, SW_SHOWNA);
  EXPECT_TRUE(IsWindowVisible(inner));

  EnableWindow(inner, -1000);  // enabled, but never takes the focus
  EXPECT_TRUE(IsWindowEnabled(inner));
  SetFocus(inner);
  EXPECT_NE(GetFocus(), inner);
  EnableWindow(inner, 0);
  EXPECT_FALSE(IsWindowEnabled(inner));
}

TEST_F(WindowTest, UpsideDownEmptyAndZeroSizedRectanglesReachWindowsAsTheyShould)
{
  HWND top = topLevel(recorder("top"), NSMakeRect(100, 100, 200, 120));
  Recorder* painted = recorder("painted");
  std::vector<RECT> paints;
  painted->answer = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    paints.push_back(ps.rcPaint);
    EndPaint(h, &ps);
    return 0;
  };
  HWND view = child(top, painted, NSMakeRect(10, 10, 100, 80));
  NSWindow* window = windowOf(top);
  window->display();
  paints.clear();

  // Top below bottom: the same rows as the right way up.
  const RECT upsideDown{10, 40, 30, 20};
  EXPECT_TRUE(InvalidateRect(view, &upsideDown, FALSE));
  window->displayIfNeeded();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_TRUE(paints[0] == (RECT{10, 20, 30, 40}));
  // No width, or no height: nothing to paint.
  const RECT thin{10, 10, 10, 50}, flat{5, 30, 60, 30};
  InvalidateRect(view, &thin, FALSE);
  InvalidateRect(view, &flat, FALSE);
  window->displayIfNeeded();
  EXPECT_EQ(paints.size(), 1u);
  EXPECT_TRUE(InvalidateRect(nullptr, &thin, FALSE));

  // Sized to nothing: the client area is empty, its corners are one point, and it is not
  // painted; sized back, it is.
  SetWindowPos(view, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
  RECT client{1, 1, 1, 1};
  GetClientRect(view, &client);
  EXPECT_TRUE(client == (RECT{0, 0, 0, 0}));
  const RECT outer = rectOf(view);
  EXPECT_EQ(outer.left, outer.right);
  EXPECT_EQ(outer.top, outer.bottom);
  POINT origin{0, 0};
  ClientToScreen(view, &origin);
  EXPECT_EQ(origin.x, outer.left);
  EXPECT_EQ(roundTrip(view, POINT{7, -3}).x, 7);
  EXPECT_EQ(roundTrip(view, POINT{7, -3}).y, -3);
  paints.clear();
  InvalidateRect(view, nullptr, FALSE);
  window->displayIfNeeded();
  EXPECT_TRUE(paints.empty());
  EXPECT_EQ(WindowFromPoint(origin), top);  // a point on an empty window is not on it
  SetWindowPos(view, nullptr, 0, 0, 50, -40, SWP_NOMOVE | SWP_NOZORDER);
  window->displayIfNeeded();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_TRUE(paints[0] == (RECT{0, 0, 50, 40}));

  // The screen of a reference rectangle is found by its centre, whichever way up it is;
  // a centre on no screen, or no reference, gives the first screen.
  const NSRect screen = NSScreen::mainScreen()->frame();
  const RECT whole{0, 0, int(screen.size.width), int(screen.size.height)};
  RECT port{};
  const RECT inverted{300, 200, 100, 100};
  SWELL_GetViewPort(&port, &inverted, false);
  EXPECT_TRUE(port == whole);
  const RECT offScreen{-5000, -5000, -4000, -4000};
  SWELL_GetViewPort(&port, &offScreen, false);
  EXPECT_TRUE(port == whole);
  const RECT point{50, 50, 50, 50};
  SWELL_GetViewPort(&port, &point, true);
  const NSRect visible = NSScreen::mainScreen()->visibleFrame();
  EXPECT_TRUE(port == (RECT{int(visible.origin.x), int(visible.origin.y), int(NSMaxX(visible)), int(NSMaxY(visible))}));
}
