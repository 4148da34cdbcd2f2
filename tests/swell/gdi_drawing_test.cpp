#include "gdi_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
constexpr int kSize = 16;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

// Each pixel a different opaque colour, so a misplaced one shows.
uint32_t patternAt(int x, int y)
{
  return 0xFF000000u | (static_cast<uint32_t>(x) << 16) | (static_cast<uint32_t>(y) << 8) | 0x80;
}

HDC patternContext(int width, int height)
{
  HDC dc = SWELL_CreateMemContext(nullptr, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) setPixelWord(dc, width, x, y, patternAt(x, y));
  return dc;
}

// Counts the pixels of a colour inside and outside a rectangle.
struct Coverage
{
  int inside = 0, outside = 0;
};
Coverage coverage(HDC dc, uint32_t colour, RECT r)
{
  Coverage c;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (pixelAt(dc, kSize, x, y) == colour)
        (x >= r.left && x < r.right && y >= r.top && y < r.bottom ? c.inside : c.outside)++;
  return c;
}

void clear(HDC dc)
{
  std::memset(SWELL_GetCtxFrameBuffer(dc), 0, kSize * kSize * 4);
}
}  // namespace

TEST(GdiDrawing, FillsCoverExactlyTheirRectangles)
{
  HDC dc = SWELL_CreateMemContext(nullptr, kSize, kSize);
  HBRUSH red = CreateSolidBrush(kRed);
  const RECT r = {2, 3, 9, 7};
  SWELL_FillRect(dc, &r, red);
  Coverage c = coverage(dc, kRed, r);
  EXPECT_EQ(c.inside, 7 * 4);
  EXPECT_EQ(c.outside, 0);

  // Only the brush passed fills; the stock null brush fills nothing.
  clear(dc);
  SelectObject(dc, red);
  SWELL_FillRect(dc, &r, nullptr);
  SWELL_FillRect(dc, &r, GetStockObject(NULL_BRUSH));
  EXPECT_EQ(coverage(dc, kRed, r).inside, 0);

  // Rectangle fills with the selected brush; without a pen nothing is stroked.
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 1, 1, 5, 4);
  c = coverage(dc, kRed, {1, 1, 5, 4});
  EXPECT_EQ(c.inside, 12);
  EXPECT_EQ(c.outside, 0);

  // An ellipse and a round rectangle fill their middle and leave their corners.
  for (int shape = 0; shape < 2; ++shape)
  {
    clear(dc);
    shape ? Ellipse(dc, 0, 0, 16, 16) : RoundRect(dc, 0, 0, 16, 16, 12, 12);
    EXPECT_EQ(pixelAt(dc, kSize, 8, 8), kRed);
    EXPECT_EQ(pixelAt(dc, kSize, 0, 0), 0u);
    EXPECT_EQ(pixelAt(dc, kSize, 15, 15), 0u);
  }

  // The clip stack narrows and restores.
  clear(dc);
  const RECT all = {0, 0, kSize, kSize};
  const RECT corner = {0, 0, 4, 4};
  SWELL_PushClipRegion(dc);
  SWELL_SetClipRegion(dc, &corner);
  SWELL_FillRect(dc, &all, red);
  EXPECT_EQ(coverage(dc, kRed, corner).inside, 16);
  EXPECT_EQ(coverage(dc, kRed, corner).outside, 0);
  SWELL_PopClipRegion(dc);
  SWELL_FillRect(dc, &all, red);
  EXPECT_EQ(coverage(dc, kRed, all).inside, kSize * kSize);

  SWELL_DeleteGfxContext(dc);
  DeleteObject(red);
}

TEST(GdiDrawing, LinesStrokeWholePixelsAndSetPixelTouchesOnlyItsOwn)
{
  HDC dc = SWELL_CreateMemContext(nullptr, kSize, kSize);
  HPEN thin = CreatePen(PS_SOLID, 0, kBlue);
  SelectObject(dc, thin);

  POINT previous = {-1, -1};
  MoveToEx(dc, 2, 5, &previous);
  EXPECT_EQ(previous.x, 0);
  SWELL_LineTo(dc, 10, 5);
  // The stroke runs through pixel centres from (2.5, 5.5) to (10.5, 5.5): one row, whole
  // pixels 3 to 9, the end pixels half covered.
  Coverage c = coverage(dc, kBlue, {3, 5, 10, 6});
  EXPECT_EQ(c.inside, 7);
  EXPECT_EQ(c.outside, 0);
  EXPECT_EQ(inkBox(dc, kSize, kSize, 0), (InkBox{2, 5, 11, 6}));
  SWELL_LineTo(dc, 10, 12);  // from where the last line ended
  EXPECT_EQ(coverage(dc, kBlue, {10, 6, 11, 12}).inside, 6);
  // A curve ends where its last point is, and the next line starts there.
  const POINT curve[] = {{10, 14}, {4, 14}, {4, 12}};
  PolyBezierTo(dc, curve, 3);
  SWELL_LineTo(dc, 4, 2);
  EXPECT_EQ(coverage(dc, kBlue, {4, 3, 5, 12}).inside, 9);

  clear(dc);
  HPEN wide = CreatePen(PS_SOLID, 4, kBlue);
  SelectObject(dc, wide);
  MoveToEx(dc, 0, 6, nullptr);
  SWELL_LineTo(dc, 16, 6);
  c = coverage(dc, kBlue, {2, 6, 16, 10});
  EXPECT_EQ(c.inside, 56);
  EXPECT_EQ(c.outside, 0);

  // Two polylines; the count of 1 between them skips one point.
  clear(dc);
  SelectObject(dc, thin);
  const POINT points[] = {{0, 1}, {5, 1}, {9, 9}, {0, 3}, {5, 3}};
  const unsigned counts[] = {2, 1, 2};
  PolyPolyline(dc, points, counts, 3);
  EXPECT_EQ(coverage(dc, kBlue, {1, 1, 5, 2}).inside, 4);
  EXPECT_EQ(coverage(dc, kBlue, {1, 3, 5, 4}).inside, 4);
  EXPECT_EQ(coverage(dc, kBlue, {0, 0, kSize, kSize}).inside, 8);

  clear(dc);
  SWELL_SetPixel(dc, 7, 9, 0x00FF00);
  c = coverage(dc, 0x00FF00, {7, 9, 8, 10});
  EXPECT_EQ(c.inside, 1);
  EXPECT_EQ(inkBox(dc, kSize, kSize, 0), (InkBox{7, 9, 8, 10}));

  SWELL_DeleteGfxContext(dc);
  DeleteObject(thin);
  DeleteObject(wide);
}

TEST(GdiDrawing, BlitsCopyExactPixelsAndClipToTheSource)
{
  HDC source = patternContext(8, 6);
  HDC dest = SWELL_CreateMemContext(nullptr, kSize, kSize);

  BitBlt(dest, 3, 4, 8, 6, source, 0, 0, SRCCOPY);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
    {
      const bool inside = x >= 3 && x < 11 && y >= 4 && y < 10;
      ASSERT_EQ(pixelAt(dest, kSize, x, y), inside ? patternAt(x - 3, y - 4) & 0xFFFFFF : 0u) << x << "," << y;
    }

  // A source reaching left of and above the bitmap draws its inside part where it would
  // have landed, unscaled.
  clear(dest);
  BitBlt(dest, 0, 0, 8, 6, source, -3, -2, SRCCOPY);
  EXPECT_EQ(inkBox(dest, kSize, kSize, 0), (InkBox{3, 2, 8, 6}));
  EXPECT_EQ(pixelAt(dest, kSize, 3, 2), patternAt(0, 0) & 0xFFFFFF);
  EXPECT_EQ(pixelAt(dest, kSize, 7, 5), patternAt(4, 3) & 0xFFFFFF);

  // One overhanging right and below draws only what exists.
  clear(dest);
  BitBlt(dest, 0, 0, 10, 10, source, 5, 4, SRCCOPY);
  EXPECT_EQ(inkBox(dest, kSize, kSize, 0), (InkBox{0, 0, 3, 2}));
  EXPECT_EQ(pixelAt(dest, kSize, 2, 1), patternAt(7, 5) & 0xFFFFFF);
  clear(dest);
  BitBlt(dest, 0, 0, 4, 4, source, 8, 0, SRCCOPY);
  BitBlt(dest, 0, 0, 4, 4, source, -4, 0, SRCCOPY);
  EXPECT_TRUE(inkBox(dest, kSize, kSize, 0).empty());

  // Doubled: every source pixel becomes a 2 x 2 block; with a negative start the shift
  // is scaled too.
  clear(dest);
  StretchBlt(dest, 0, 0, 16, 12, source, 0, 0, 8, 6, SRCCOPY);
  EXPECT_EQ(pixelAt(dest, kSize, 5, 3), patternAt(2, 1) & 0xFFFFFF);
  EXPECT_EQ(pixelAt(dest, kSize, 15, 11), patternAt(7, 5) & 0xFFFFFF);
  clear(dest);
  StretchBlt(dest, 0, 0, 16, 12, source, -2, 0, 8, 6, SRCCOPY);
  EXPECT_EQ(inkBox(dest, kSize, kSize, 0), (InkBox{4, 0, 16, 12}));
  EXPECT_EQ(pixelAt(dest, kSize, 4, 0), patternAt(0, 0) & 0xFFFFFF);
  EXPECT_EQ(pixelAt(dest, kSize, 15, 0), patternAt(5, 0) & 0xFFFFFF);

  // With the alpha operation transparent source pixels leave the destination.
  clear(dest);
  setPixelWord(source, 8, 1, 0, 0x00FFFFFF);
  BitBlt(dest, 0, 0, 2, 1, source, 0, 0, SRCCOPY_USEALPHACHAN);
  EXPECT_EQ(pixelAt(dest, kSize, 0, 0), patternAt(0, 0) & 0xFFFFFF);
  EXPECT_EQ(pixelAt(dest, kSize, 1, 0), 0u);
  BitBlt(dest, 0, 0, 2, 1, source, 0, 0, SRCCOPY);
  EXPECT_EQ(pixelAt(dest, kSize, 1, 0), 0xFFFFFFu);

  // Only memory contexts are sources.
  clear(dest);
  HDC empty = SWELL_GDP_CTX_NEW();
  BitBlt(dest, 0, 0, 4, 4, empty, 0, 0, SRCCOPY);
  StretchBlt(dest, 0, 0, 4, 4, source, 0, 0, 0, 4, SRCCOPY);
  EXPECT_TRUE(inkBox(dest, kSize, kSize, 0).empty());

  SWELL_DeleteGfxContext(empty);
  SWELL_DeleteGfxContext(source);
  SWELL_DeleteGfxContext(dest);
}
