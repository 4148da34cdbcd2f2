#include "lice.h"
#include "shape_test_util.h"

#include <gtest/gtest.h>

#include <climits>

using lice_test::Clear;
using lice_test::Coverage;
using lice_test::Drawn;
using lice_test::kWhite;
using lice_test::PointSet;

namespace
{
// 4 x 3, every byte distinct so misplaced rows or columns show.
const unsigned char kMask[12] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
}  // namespace

TEST(Glyph, ClippedAtTheEdgesAsIfTheBitmapWentOn)
{
  LICE_MemBitmap bmp(6, 5, 4);
  Clear(bmp);
  // Wholly left, above, right or below: nothing.
  for (auto [x, y] : {std::pair{-4, 0}, {0, -3}, {6, 0}, {0, 5}, {INT_MIN, 0}, {0, INT_MIN}, {INT_MAX, 0}})
    LICE_DrawGlyph(&bmp, x, y, kWhite, kMask, 4, 3, 1.0f, BLEND_COPY);
  EXPECT_TRUE(Drawn(bmp).empty());

  // Over the top-left corner: mask columns 2..3 of rows 1..2 land at (0..1, 0..1).
  // Coverage v at full alpha is weight 256 * v / 256 = v.
  LICE_DrawGlyph(&bmp, -2, -1, kWhite, kMask, 4, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp).size(), 4u);
  EXPECT_EQ(Coverage(bmp, 0, 0), 70);
  EXPECT_EQ(Coverage(bmp, 1, 0), 80);
  EXPECT_EQ(Coverage(bmp, 0, 1), 110);
  EXPECT_EQ(Coverage(bmp, 1, 1), 120);

  // Over the bottom-right corner: the mask's top-left part.
  Clear(bmp);
  LICE_DrawGlyph(&bmp, 4, 3, kWhite, kMask, 4, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), (PointSet{{4, 3}, {5, 3}, {4, 4}, {5, 4}}));
  EXPECT_EQ(Coverage(bmp, 5, 4), 60);

  // A wider span skips bytes at the end of each row; a negative span stores the
  // rows bottom-up, so the last row in memory is drawn at the top.
  Clear(bmp);
  LICE_DrawGlyphEx(&bmp, 0, 0, kWhite, kMask, 2, 4, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(Coverage(bmp, 1, 0), 20);
  EXPECT_EQ(Coverage(bmp, 0, 1), 50);
  EXPECT_EQ(Coverage(bmp, 1, 2), 100);
  Clear(bmp);
  LICE_DrawGlyphEx(&bmp, 1, 0, kWhite, kMask, 4, -4, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(Coverage(bmp, 1, 0), 90);
  EXPECT_EQ(Coverage(bmp, 4, 1), 80);
  EXPECT_EQ(Coverage(bmp, 2, 2), 20);
  // Bottom-up and above the bitmap: the rows moved past come off the stored end.
  Clear(bmp);
  LICE_DrawGlyphEx(&bmp, 0, -1, kWhite, kMask, 4, -4, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(Coverage(bmp, 0, 0), 50);
  EXPECT_EQ(Coverage(bmp, 0, 1), 10);
  EXPECT_EQ(Coverage(bmp, 0, 2), 0);
}

TEST(Glyph, WeightsAndModes)
{
  LICE_MemBitmap bmp(2, 1, 4);
  const unsigned char mask[2] = {255, 128};
  // Weight 255 lands exactly on the colour, alpha byte included; weight 128 moves
  // each byte halfway, the half truncated toward the colour.
  LICE_FillRect(&bmp, 0, 0, 2, 1, 0x00FF00FF, 1.0f, BLEND_COPY);
  LICE_DrawGlyph(&bmp, 0, 0, 0xFF00FF00, mask, 2, 1, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0xFF00FF00u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x807F807Fu);

  // Alpha scales the coverage: 128 * 200 / 256 = 100.
  const unsigned char two[2] = {200, 0};
  LICE_Clear(&bmp, 0);
  LICE_DrawGlyph(&bmp, 0, 0, kWhite, two, 2, 1, 0.5f, BLEND_COPY);
  EXPECT_EQ(Coverage(bmp, 0, 0), 100);

  // A zero byte is not touched, even by the rules that change a pixel at weight 0.
  for (int mode : {BLEND_MULTIPLY, BLEND_HSV_ADJUST, BLEND_OVERLAY})
  {
    LICE_Clear(&bmp, 0x20406080);
    LICE_DrawGlyph(&bmp, 0, 0, 0xFF3060C0, two, 2, 1, 1.0f, mode);
    EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x20406080u) << mode;
    EXPECT_NE(LICE_GetPixel(&bmp, 0, 0), 0x20406080u) << mode;
  }
  // Add at weight 200: 0x10 + 0x40 * 200 / 256 = 0x10 + 50.
  LICE_Clear(&bmp, 0x10101010);
  LICE_DrawGlyph(&bmp, 0, 0, 0x40404040, two, 2, 1, 1.0f, BLEND_ADD);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x42424242u);

  LICE_Clear(&bmp, 0x11223344);
  LICE_DrawGlyph(&bmp, 0, 0, kWhite, mask, 2, 1, 0.0f, BLEND_COPY);
  LICE_DrawGlyph(&bmp, 0, 0, kWhite, mask, 2, 1, -1.0f, BLEND_COPY);
  LICE_DrawGlyph(&bmp, 0, 0, kWhite, mask, 2, 1, 1.0f, 6);
  LICE_DrawGlyph(&bmp, 0, 0, kWhite, nullptr, 2, 1, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x11223344u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x11223344u);
}

TEST(Glyph, MonoMasks)
{
  LICE_MemBitmap bmp(8, 2, 4);
  // Ten columns, most significant bit first: 1 0 1 1 0 0 1 1 | 0 1.
  const unsigned char bits[4] = {0xB3, 0x40, 0x80, 0x00};
  Clear(bmp);
  LICE_DrawMonoGlyph(&bmp, 0, 0, kWhite, bits, 10, 2, 2, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), (PointSet{{0, 0}, {2, 0}, {3, 0}, {6, 0}, {7, 0}, {0, 1}}));
  // A set bit counts as coverage 255: weight 256 * 255 / 256.
  EXPECT_EQ(Coverage(bmp, 0, 0), 255);

  // At x = -3 the bitmap's column 0 shows mask column 3.
  Clear(bmp);
  LICE_DrawMonoGlyph(&bmp, -3, 0, kWhite, bits, 10, 2, 1, 0.5f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), (PointSet{{0, 0}, {3, 0}, {4, 0}, {6, 0}}));
  EXPECT_EQ(Coverage(bmp, 3, 0), 127);

  // Bottom-up rows.
  Clear(bmp);
  LICE_DrawMonoGlyph(&bmp, 0, 0, kWhite, bits, 10, -2, 2, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), (PointSet{{0, 0}, {0, 1}, {2, 1}, {3, 1}, {6, 1}, {7, 1}}));
}

TEST(Glyph, BottomUpBitmapsKeepTheGlyphUpright)
{
  lice_test::FlippedBitmap bmp(6, 5);
  LICE_DrawGlyph(&bmp, 1, 1, kWhite, kMask, 4, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 1) & 0xFF, 10u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 4, 3) & 0xFF, 120u);
  EXPECT_EQ(bmp.stored(1, 3) & 0xFF, 10u);
}
