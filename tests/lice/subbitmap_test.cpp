#include "bitmap_png.h"
#include "lice_subbitmap.h"
#include "lice_test_util.h"
#include "lice.h"
#include "lice_text.h"
#include "swell-gdi.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr unsigned int kRed = 0xFFFF0000u;

bool inside(int x, int y, const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

TEST(SubBitmap, DrawingLandsInTheParentAtTheOffsetAndNeverOutside)
{
  // A flipped parent stores its rows the other way up; the view finds the same pixels.
  lice_test::FlippedBitmap flipped(20, 16);
  LICE_MemBitmap plain(20, 16);
  for (LICE_IBitmap* parent : {static_cast<LICE_IBitmap*>(&plain), static_cast<LICE_IBitmap*>(&flipped)})
  {
    SCOPED_TRACE(parent->isFlipped() ? "flipped parent" : "plain parent");
    // The second view reaches past the parent's left and lower edges and is cut there.
    struct Case
    {
      int x, y, w, h;
      RECT covered;
    };
    for (const Case& c : {Case{5, 4, 8, 6, {5, 4, 13, 10}}, Case{-3, 12, 10, 10, {0, 12, 7, 16}}})
    {
      lice_test::FillCoordinates(*parent);
      LICE_SubBitmap view(parent, c.x, c.y, c.w, c.h);
      EXPECT_EQ(view.getWidth(), c.covered.right - c.covered.left);
      EXPECT_EQ(view.getHeight(), c.covered.bottom - c.covered.top);
      EXPECT_EQ(view.Extended(LICE_SubBitmap::kViewQuery, nullptr), LICE_SubBitmap::kIsView);
      EXPECT_EQ(view.getDC(), nullptr);
      // Ask for far more than the view holds: the view's own edges cut it.
      LICE_FillRect(&view, -5, -5, 100, 100, kRed, 1.0f, BLEND_COPY);
      EXPECT_EQ(LICE_GetPixel(&view, 0, 0), kRed);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x)
          ASSERT_EQ(LICE_GetPixel(parent, x, y), inside(x, y, c.covered) ? kRed : lice_test::Coordinate(x, y))
              << x << ", " << y;
    }
  }
}

// Text drawn through views: where it lands in the parent, and what the views keep out.
class NativeTextThroughViews : public ::testing::Test
{
protected:
  NativeTextThroughViews()
  {
    m_font.SetFromHFont(CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Geneva"),
                        CFONT_OWNS_FONT | CFONT_NATIVE_OK);
    m_font.SetTextColor(0xFFFFFFFF);
  }

  // The text drawn straight into a bitmap with a context of its own.
  void drawDirect(LICE_IBitmap* bm, RECT r)
  {
    LICE_Clear(bm, 0xFF000000);
    m_font.DrawText(bm, kText, -1, &r, DT_NOCLIP);
  }

  static constexpr const char* kText = "WWWW";
  LICE_CachedFont m_font;
};

TEST_F(NativeTextThroughViews, TextGoesToTheViewsPlaceAndStaysInsideIt)
{
  // A view of a view: the offsets add up to (24, 13), and the inner view is 24 x 18.
  const int kX = 24, kY = 13, kW = 24, kH = 18;
  // Text starting left of the view and far wider than it.
  const RECT text = {-4, 2, kW, kH};

  // What the view should show: the text drawn into a bitmap of the view's size.
  LICE_SysBitmap alone(kW, kH);
  drawDirect(&alone, text);
  // Where the text would reach with nothing holding it in: the same text at the view's
  // place in a bitmap of the parent's size. It reaches out of the view on both sides, or
  // the test below proves nothing.
  LICE_SysBitmap unheld(60, 40);
  drawDirect(&unheld, RECT{text.left + kX, text.top + kY, text.right + kX, text.bottom + kY});
  const RECT view = {kX, kY, kX + kW, kY + kH};
  int inkOutside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) inkOutside += !inside(x, y, view) && (LICE_GetPixel(&unheld, x, y) & 0xFFFFFF);
  ASSERT_GT(inkOutside, 20);

  // The parent with a context takes the text through its context; the parent without one
  // through the scratch copy. Both show the same.
  LICE_SysBitmap withContext(60, 40);
  LICE_MemBitmap withoutContext(60, 40);
  for (LICE_IBitmap* parent : {static_cast<LICE_IBitmap*>(&withContext), static_cast<LICE_IBitmap*>(&withoutContext)})
  {
    SCOPED_TRACE(parent->getDC() ? "parent with a context" : "parent without one");
    LICE_Clear(parent, 0xFF000000);
    LICE_SubBitmap outer(parent, 20, 10, 30, 24);
    LICE_SubBitmap inner(&outer, 4, 3, kW, kH);
    RECT r = text;
    EXPECT_GT(m_font.DrawText(&inner, kText, -1, &r, DT_NOCLIP), 0);
    int differing = 0, inkInside = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x)
      {
        const unsigned int shown = LICE_GetPixel(parent, x, y) & 0xFFFFFF;
        const bool in = inside(x, y, view);
        differing += shown != (in ? LICE_GetPixel(&alone, x - kX, y - kY) & 0xFFFFFF : 0u);
        inkInside += in && shown;
      }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inkInside, 20);
    if (::testing::Test::HasFailure()) lice_test::WriteBitmapPng(parent, "subbitmap-text.png");

    // Measuring through a view measures the caller's rectangle where it is and draws nothing.
    RECT measured = {3, 4, 3, 4}, plain = {3, 4, 3, 4};
    LICE_Clear(parent, 0xFF000000);
    m_font.DrawText(&inner, kText, -1, &measured, DT_CALCRECT);
    m_font.DrawText(nullptr, kText, -1, &plain, DT_CALCRECT);
    EXPECT_EQ(measured.left, 3);
    EXPECT_EQ(measured.top, 4);
    EXPECT_EQ(measured.right, plain.right);
    EXPECT_EQ(measured.bottom, plain.bottom);
    EXPECT_GT(plain.right, 3);
    EXPECT_EQ(lice_test::Pixels(*parent), std::vector<unsigned int>(60 * 40, 0xFF000000));
  }

  // The view's clip was the text's only: the parent's own text reaches everywhere again.
  RECT whole = {-4, 2, 60, 40};
  m_font.DrawText(&withContext, kText, -1, &whole, DT_NOCLIP);
  LICE_SysBitmap reference(60, 40);
  drawDirect(&reference, whole);
  EXPECT_EQ(lice_test::Pixels(withContext), lice_test::Pixels(reference));
}
}  // namespace
