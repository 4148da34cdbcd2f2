#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <vector>

using lice_test::FlippedBitmap;
using Row = std::vector<unsigned int>;

TEST(GradRect, ColourRampAcrossAndClipping)
{
  LICE_MemBitmap bmp(5, 1, 4);
  lice_test::Fill(bmp, 0x12345678);
  // Red steps by 0.25 * 255 = 63.75 per pixel, truncated; alpha 1 is weight 256.
  LICE_GradRect(&bmp, 0, 0, 5, 1, 0, 0, 0, 1, 0.25f, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0xFF000000, 0xFF3F0000, 0xFF7F0000, 0xFFBF0000, 0xFFFF0000}));

  // Starting two pixels left of the bitmap advances the start by two steps.
  lice_test::Fill(bmp, 0);
  LICE_GradRect(&bmp, -2, 0, 5, 1, 0, 0, 0, 1, 0.25f, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0xFF7F0000, 0xFFBF0000, 0xFFFF0000, 0, 0}));
}

TEST(GradRect, WalkedAlphaIsTheWeight)
{
  LICE_MemBitmap bmp(4, 1, 4);
  lice_test::Fill(bmp, 0);
  // Alpha 0, 0.25, 0.5, 0.75: red 255 mixed in at weights 0, 64, 128, 192, and the
  // weight itself is the alpha component.
  LICE_GradRect(&bmp, 0, 0, 4, 1, 1, 0, 0, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0, 0x10400000, 0x40800000, 0x90C00000}));
}

TEST(GradRect, ComponentsBeyondTheByteRangeMeetTheClampingRules)
{
  LICE_MemBitmap bmp(1, 1, 4);
  const auto one = [&](unsigned int dest, float red, float alpha, int mode) {
    lice_test::Fill(bmp, dest);
    LICE_GradRect(&bmp, 0, 0, 1, 1, red, 0, 0, alpha, 0, 0, 0, 0, 0, 0, 0, 0, mode);
    return LICE_GetPixel(&bmp, 0, 0);
  };
  // Red 3.0 is 765, alpha 0.1 weight 25: 765 - 765 * 231 / 256 = 75; alpha 3.
  EXPECT_EQ(one(0, 3.0f, 0.1f, BLEND_COPY), 0x034B0000u);
  // Red 20.0 (5100) at weight 2: 5100 - 5100 * 254 / 256 = 40; alpha 2 - 508 / 256 = 1.
  EXPECT_EQ(one(0, 20.0f, 0.01f, BLEND_COPY), 0x01280000u);
  // Multiply, red 8.0 (2040) at weight 32 over 20: (65280 + 57344) * 20 >> 16 = 37;
  // the other channels (1024 + 57344) * 20 >> 16 and 57344 * 20 >> 16 = 17.
  EXPECT_EQ(one(0x14141414, 8.0f, 0.125f, BLEND_MULTIPLY), 0x11251111u);

  // Across a row the values leave the byte range and come back: red from -2.0 by
  // +1.0 a pixel at weight 128 over 100 is s + (100 - s) * 128 / 256 for s = -510,
  // -255, 0, 255, 510, clamped.
  LICE_MemBitmap row(5, 1, 4);
  lice_test::Fill(row, 0x00640000);
  LICE_GradRect(&row, 0, 0, 5, 1, -2.0f, 0, 0, 0.5f, 1.0f, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  std::vector<unsigned int> reds;
  for (unsigned int p : lice_test::Pixels(row)) reds.push_back((p >> 16) & 0xFF);
  EXPECT_EQ(reds, (std::vector<unsigned int>{0, 0, 50, 178, 255}));
}

TEST(GradRect, DownwardOnAFlippedBitmapAndRefusals)
{
  FlippedBitmap bmp(1, 3);
  LICE_GradRect(&bmp, 0, 0, 1, 3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0.25f, 0, 0, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0xFF000000, 0xFF003F00, 0xFF007F00}));
  EXPECT_EQ(bmp.stored(0, 0), 0xFF007F00u);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  LICE_GradRect(&bmp, 0, 0, 1, 3, nan, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  LICE_GradRect(&bmp, 0, 0, 1, 3, 0, 0, 0, 1, 1e30f, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  LICE_GradRect(&bmp, 0, 0, 1, 3, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 6);
  LICE_GradRect(nullptr, 0, 0, 1, 3, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  // An origin far outside would push the start beyond any fixed-point range.
  LICE_GradRect(&bmp, INT_MIN, 0, INT_MAX, 3, 0, 0, 0, 1, 60000, 0, 0, 0, 0, 0, 0, 0, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0xFF000000, 0xFF003F00, 0xFF007F00}));

  // Steep gradients over a large rectangle stay within integer range (sanitizer build).
  LICE_MemBitmap big(300, 300, 4);
  LICE_GradRect(&big, 0, 0, 300, 300, -100, 100, 0, 50, 100, -100, 30, -20, 100, 100, -100, 20, BLEND_OVERLAY);
  LICE_GradRect(&big, 0, 0, 300, 300, -100, 100, 0, 50, 100, -100, 30, -20, 100, 100, -100, 20, BLEND_MULTIPLY);
  LICE_GradRect(&big, 0, 0, 300, 300, -100, 100, 0, 50, 100, -100, 30, -20, 100, 100, -100, 20, BLEND_HSV_ADJUST);
  for (int mode : {BLEND_COPY, BLEND_ADD, BLEND_DODGE, BLEND_MULTIPLY, BLEND_OVERLAY, BLEND_HSV_ADJUST})
    LICE_GradRect(&big, -1000, -1000, 1300, 1300, 65536, -65536, 65536, 65536, 65536, 65536, -65536, -65536, -65536,
                  65536, 65536, 65536, mode);
}

namespace
{
// Whole pixel values into a bitmap, row by row.
void SetPixels(LICE_IBitmap& bmp, const Row& blues)
{
  for (int i = 0; i < (int)blues.size(); ++i)
    LICE_PutPixel(&bmp, i % bmp.getWidth(), i / bmp.getWidth(), blues[i], 1.0f, BLEND_COPY);
}
}  // namespace

TEST(Blur, TwoByTwoInPlaceAndCopied)
{
  // Each pixel: half itself, a quarter of its horizontal and of its vertical neighbour.
  const Row expected{0x58, 0x40, 0x30, 0x18};
  LICE_MemBitmap bmp(2, 2, 4), out(2, 2, 4);
  SetPixels(bmp, {0x80, 0x40, 0x20, 0x00});
  LICE_Blur(&out, &bmp, 0, 0, 0, 0, 2, 2);
  EXPECT_EQ(lice_test::Pixels(out), expected);
  LICE_Blur(&bmp, &bmp, 0, 0, 0, 0, 2, 2);
  EXPECT_EQ(lice_test::Pixels(bmp), expected);
}

TEST(Blur, InteriorReadsNeighboursFromBeforeTheBlur)
{
  // Centre 0x80, horizontal neighbours 0x40, vertical 0x20, corners 0xFF (never
  // part of the centre's sum): 0x40 + 2 * 0x08 + 2 * 0x04.
  LICE_MemBitmap bmp(3, 3, 4);
  SetPixels(bmp, {0xFF, 0x20, 0xFF, 0x40, 0x80, 0x40, 0xFF, 0x20, 0xFF});
  LICE_Blur(&bmp, &bmp, 0, 0, 0, 0, 3, 3);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 1), 0x58u);

  // The same on a flipped bitmap and wider than the stack buffer.
  FlippedBitmap wide(1500, 3);
  for (int x = 0; x < 1500; x += 3)
  {
    LICE_PutPixel(&wide, x, 0, 0x20, 1.0f, BLEND_COPY);
    LICE_PutPixel(&wide, x, 1, 0x80, 1.0f, BLEND_COPY);
    LICE_PutPixel(&wide, x + 1, 1, 0x40, 1.0f, BLEND_COPY);
    LICE_PutPixel(&wide, x + 2, 1, 0x40, 1.0f, BLEND_COPY);
    LICE_PutPixel(&wide, x, 2, 0x20, 1.0f, BLEND_COPY);
  }
  LICE_Blur(&wide, &wide, 0, 0, 0, 0, 1500, 3);
  EXPECT_EQ(LICE_GetPixel(&wide, 1497, 1), 0x58u);
}

TEST(Blur, TooSmallOrOutsideDoesNothing)
{
  LICE_MemBitmap bmp(3, 3, 4);
  SetPixels(bmp, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  const Row before = lice_test::Pixels(bmp);
  LICE_Blur(&bmp, &bmp, 0, 0, 1, 0, 1, 3);  // one column wide
  LICE_Blur(&bmp, &bmp, 0, 0, 0, 2, 3, 5);  // one row left in the source
  LICE_Blur(&bmp, &bmp, 3, 0, 0, 0, 3, 3);
  LICE_Blur(&bmp, nullptr, 0, 0, 0, 0, 3, 3);
  EXPECT_EQ(lice_test::Pixels(bmp), before);
}

TEST(HalveBlitAA, AveragesQuartersPerByte)
{
  LICE_MemBitmap src(4, 2, 4), dest(2, 1, 4);
  lice_test::Fill(src, 0xFFFFFFFF);
  LICE_PutPixel(&src, 1, 1, 0, 1.0f, BLEND_COPY);
  LICE_HalveBlitAA(&dest, &src);
  EXPECT_EQ(lice_test::Pixels(dest), (Row{0xBDBDBDBD, 0xFCFCFCFC}));
  // In place, reading stays ahead of writing.
  LICE_HalveBlitAA(&src, &src);
  EXPECT_EQ(LICE_GetPixel(&src, 0, 0), 0xBDBDBDBDu);
  EXPECT_EQ(LICE_GetPixel(&src, 1, 0), 0xFCFCFCFCu);
}

TEST(SetAlphaFromColorMask, KeysOutOneColour)
{
  LICE_MemBitmap bmp(3, 1, 4);
  SetPixels(bmp, {0x00FF00FF, 0x12FF00FF, 0x00123456});
  LICE_SetAlphaFromColorMask(&bmp, 0xFF00FF);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0x00FF00FF, 0x00FF00FF, 0xFF123456}));
  // A key with a top byte matches nothing: everything turns opaque.
  LICE_SetAlphaFromColorMask(&bmp, 0x01FF00FF);
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{0xFFFF00FF, 0xFFFF00FF, 0xFF123456}));
}

TEST(SimpleFill, FillsRunsConnectedThroughTheStartColumn)
{
  constexpr unsigned A = 0xFF0000AA, B = 0xFF0000BB, N = 0x00000099;
  LICE_MemBitmap bmp(5, 4, 4);
  SetPixels(bmp, {A, A, B, A, A,  //
                A, B, B, B, A,  //
                A, A, A, A, A,  //
                B, A, A, A, A});
  LICE_SimpleFill(&bmp, 0, 1, N, 0xFFFFFFFF, 0);
  // Rows 1 down to 2 through column 0, row 0 upward; the run right of B in
  // row 0 and the pixel right of row 1's B stay; row 3 starts with B and stops.
  EXPECT_EQ(lice_test::Pixels(bmp), (Row{N, N, B, A, A,  //
                                         N, B, B, B, A,  //
                                         N, N, N, N, N,  //
                                         B, A, A, A, A}));

  // Keep mask: the alpha byte survives; the compare mask ignores it.
  LICE_SimpleFill(&bmp, 2, 3, 0x00123456, 0x00FFFFFF, 0xFF000000);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 3), 0xFF123456u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 4, 3), 0xFF123456u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 2, 2), N);

  const Row before = lice_test::Pixels(bmp);
  LICE_SimpleFill(&bmp, 5, 0, 0, 0xFFFFFFFF, 0);
  LICE_SimpleFill(&bmp, 0, -1, 0, 0xFFFFFFFF, 0);
  EXPECT_EQ(lice_test::Pixels(bmp), before);
}

TEST(BitmapCmp, BoundingBoxOfDifferences)
{
  LICE_MemBitmap a(10, 10, 4), b(10, 10, 4);
  lice_test::Fill(a, 0xFF000000);
  lice_test::Fill(b, 0xFF000000);
  int coords[4] = {-1, -1, -1, -1};
  EXPECT_EQ(LICE_BitmapCmp(&a, &b, coords), 0);
  EXPECT_EQ(coords[0] | coords[1] | coords[2] | coords[3], 0);

  LICE_PutPixel(&b, 3, 4, 0xFF000001, 1.0f, BLEND_COPY);
  LICE_PutPixel(&b, 7, 8, 0xFF000001, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_BitmapCmp(&a, &b, coords), 1);
  EXPECT_EQ(Row(coords, coords + 4), (Row{3, 4, 5, 5}));

  // A difference in a row between widens the box to the left.
  LICE_PutPixel(&b, 1, 6, 0xFF000001, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_BitmapCmp(&a, &b, coords), 1);
  EXPECT_EQ(Row(coords, coords + 4), (Row{1, 4, 7, 5}));

  // Without coordinates: a memory compare of the first differing row.
  EXPECT_LT(LICE_BitmapCmp(&a, &b, nullptr), 0);
  EXPECT_GT(LICE_BitmapCmp(&b, &a, nullptr), 0);
}

TEST(BitmapCmp, SizesNullsMasksAndFlipping)
{
  LICE_MemBitmap a(10, 10, 4), wider(12, 10, 4), shorter(10, 7, 4);
  EXPECT_EQ(LICE_BitmapCmp(&a, &wider, nullptr), 2);
  EXPECT_EQ(LICE_BitmapCmp(&a, &shorter, nullptr), -3);
  EXPECT_EQ(LICE_BitmapCmp(nullptr, &a, nullptr), -1);
  EXPECT_EQ(LICE_BitmapCmp(&a, nullptr, nullptr), 1);
  EXPECT_EQ(LICE_BitmapCmp(nullptr, nullptr, nullptr), 0);

  FlippedBitmap f(3, 2);
  LICE_MemBitmap m(3, 2, 4);
  lice_test::FillCoordinates(f);
  lice_test::FillCoordinates(m);
  EXPECT_EQ(LICE_BitmapCmp(&f, &m, nullptr), 0);
  // Alpha differences are invisible under a colour mask.
  LICE_PutPixel(&m, 2, 1, lice_test::Coordinate(2, 1) & 0x00FFFFFF, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_BitmapCmpEx(&f, &m, 0x00FFFFFF, nullptr), 0);
  EXPECT_EQ(LICE_BitmapCmpEx(&f, &m, 0xFF000000, nullptr), 1);
  int coords[4];
  EXPECT_EQ(LICE_BitmapCmpEx(&f, &m, 0xFF000000, coords), 1);
  EXPECT_EQ(Row(coords, coords + 4), (Row{2, 1, 1, 1}));
}
