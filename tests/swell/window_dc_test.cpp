#include "gdi_test_support.h"
#include "swell-paint-info.h"

#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

using namespace cocoa;

namespace
{
// A view that may be in the middle of its paint, drawing into a context of its own.
class PaintingView : public NSView, public SWELL_PaintInfoSource
{
public:
  using NSView::NSView;
  bool isFlipped() const override { return true; }
  bool getSwellPaintInfo(PAINTSTRUCT* ps) override
  {
    if (!paint) return false;
    ps->hdc = paint;
    return true;
  }
  HDC paint = nullptr;
};

HWND hwndOf(NSObject* object)
{
  return reinterpret_cast<HWND>(object);
}
}  // namespace

TEST(WindowContexts, GetDCDrawsIntoTheViewAndThePaintContextWhilePainting)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 60, 40), NSWindowStyleMaskBorderless);
  auto* view = new PaintingView(NSMakeRect(0, 0, 60, 40));
  window->setContentView(view);
  view->release();
  window->orderFront(nullptr);

  HBRUSH red = CreateSolidBrush(0xFF0000);
  const RECT block = {10, 5, 20, 15};
  HDC dc = GetDC(hwndOf(window));  // a window stands for its content view
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SWELL_GetCtxFrameBuffer(dc), nullptr);
  EXPECT_FALSE(SWELL_IsRetinaDC(dc));
  SWELL_FillRect(dc, &block, red);
  ReleaseDC(hwndOf(window), dc);
  EXPECT_EQ(window->backing().pixel(12, 7) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(window->backing().pixel(25, 7) & 0xFFFFFF, window->backing().pixel(25, 30) & 0xFFFFFF);
  EXPECT_FALSE(SWELL_IsRetinaHWND(hwndOf(view)));

  // During a paint the paint's own context comes back and survives its release.
  view->paint = SWELL_CreateMemContext(nullptr, 60, 40);
  HDC during = GetDC(hwndOf(view));
  EXPECT_EQ(during, view->paint);
  SWELL_FillRect(during, &block, red);
  ReleaseDC(hwndOf(view), during);
  EXPECT_EQ(GetTextColor(view->paint), 0);
  EXPECT_EQ(pixelAt(view->paint, 60, 12, 7), 0xFF0000u);
  SWELL_DeleteGfxContext(view->paint);
  view->paint = nullptr;

  // A hidden view cannot be drawn into.
  view->setHidden(true);
  EXPECT_EQ(GetDC(hwndOf(view)), nullptr);
  EXPECT_EQ(GetDC(nullptr), nullptr);
  DeleteObject(red);
  window->close();
}
