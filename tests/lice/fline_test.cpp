#include "lice.h"
#include "shape_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

using lice_test::Clear;
using lice_test::Coverage;
using lice_test::Drawn;
using lice_test::kWhite;
using lice_test::PointSet;

TEST(FLine, PlainTruncatesToTheIntegerLine)
{
  LICE_MemBitmap a(12, 8, 4), b(12, 8, 4);
  Clear(a);
  Clear(b);
  LICE_FLine(&a, 2.9f, 3.9f, 7.9f, 3.9f, kWhite, 1.0f, BLEND_COPY, false);
  LICE_Line(&b, 2, 3, 7, 3, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(lice_test::Pixels(a), lice_test::Pixels(b));
  EXPECT_EQ(Drawn(a).size(), 6u);
}

TEST(FLine, AntiAliasedSamplesAtWholeColumns)
{
  LICE_MemBitmap bmp(10, 4, 4);
  // Nothing for a point, nor for a line without a whole x between its ends.
  Clear(bmp);
  LICE_FLine(&bmp, 2.5f, 3.5f, 2.5f, 3.5f, kWhite, 1.0f, BLEND_COPY, true);
  LICE_FLine(&bmp, 1.2f, 0.5f, 1.8f, 0.5f, kWhite, 1.0f, BLEND_COPY, true);
  EXPECT_TRUE(Drawn(bmp).empty());

  // y = 2.25: a quarter of the way from row 2 to row 3, at every x from 0 to 8.
  LICE_FLine(&bmp, 0.0f, 2.25f, 8.0f, 2.25f, kWhite, 1.0f, BLEND_COPY, true);
  for (int x = 0; x < 10; ++x)
  {
    EXPECT_EQ(Coverage(bmp, x, 2), x <= 8 ? 191 : 0) << x;
    EXPECT_EQ(Coverage(bmp, x, 3), x <= 8 ? 64 : 0) << x;
  }
  EXPECT_EQ(Drawn(bmp).size(), 18u);

  // An end at W - 0.5 is clipped to W - 2: the same pixels.
  const auto before = lice_test::Pixels(bmp);
  Clear(bmp);
  LICE_FLine(&bmp, 0.0f, 2.25f, 9.5f, 2.25f, kWhite, 1.0f, BLEND_COPY, true);
  EXPECT_EQ(lice_test::Pixels(bmp), before);
}

TEST(FLine, FallingLineSharesFromTheFarSide)
{
  // y from 2.75 down to 0.75 over x = 0..8: a quarter row per column. The pair is
  // taken from the row below the line, its fraction counted from that side.
  LICE_MemBitmap bmp(10, 5, 4);
  Clear(bmp);
  LICE_FLine(&bmp, 0.0f, 2.75f, 8.0f, 0.75f, kWhite, 1.0f, BLEND_COPY, true);
  const int expected[4][9] = {
      {0, 0, 0, 0, 0, 0, 0, 0, 63},
      {0, 0, 0, 0, 63, 127, 191, 255, 192},
      {63, 127, 191, 255, 192, 128, 64, 0, 0},
      {192, 128, 64, 0, 0, 0, 0, 0, 0},
  };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(Coverage(bmp, x, y), expected[y][x]) << x << "," << y;
}

TEST(FLine, EachSampleSharesFullCoverageBetweenTwoPixels)
{
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> coord(0.0f, 30.9f);
  LICE_MemBitmap bmp(32, 32, 4);
  for (int i = 0; i < 300; ++i)
  {
    const float x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    Clear(bmp);
    LICE_FLine(&bmp, x1, y1, x2, y2, kWhite, 1.0f, BLEND_COPY, true);
    const bool xMajor = std::fabs(x2 - x1) > std::fabs(y2 - y1);
    const float lo = std::ceil(std::fmin(xMajor ? x1 : y1, xMajor ? x2 : y2));
    const float hi = std::floor(std::fmax(xMajor ? x1 : y1, xMajor ? x2 : y2));
    for (int major = 0; major < 32; ++major)
    {
      int sum = 0, touched = 0;
      for (int minor = 0; minor < 32; ++minor)
      {
        const int c = xMajor ? Coverage(bmp, major, minor) : Coverage(bmp, minor, major);
        sum += c;
        touched += c != 0;
      }
      const bool sampled = major >= lo && major <= hi && !(x1 == x2 && y1 == y2);
      ASSERT_EQ(sum, sampled ? 255 : 0) << x1 << "," << y1 << " " << x2 << "," << y2 << " at " << major;
      ASSERT_LE(touched, 2);
    }
  }
}

TEST(FLine, BottomUpBitmapsDrawTheMirroredLine)
{
  lice_test::FlippedBitmap flipped(16, 12);
  LICE_MemBitmap plain(16, 12, 4);
  Clear(plain);
  LICE_FLine(&flipped, 1.3f, 2.6f, 13.1f, 7.2f, kWhite, 1.0f, BLEND_COPY, true);
  LICE_FLine(&plain, 1.3f, 11.0f - 2.6f, 13.1f, 11.0f - 7.2f, kWhite, 1.0f, BLEND_COPY, true);
  for (int row = 0; row < 12; ++row) EXPECT_EQ(lice_test::MemoryRow(flipped, row), lice_test::MemoryRow(plain, row));
  EXPECT_FALSE(Drawn(plain).empty());
}

TEST(FLine, RefusesNonFiniteAndAbsurdCoordinates)
{
  LICE_MemBitmap bmp(8, 8, 4);
  Clear(bmp);
  for (float bad : {NAN, INFINITY, -INFINITY, 1e30f, -3e9f})
    for (bool aa : {false, true})
    {
      LICE_FLine(&bmp, bad, 1.0f, 5.0f, 5.0f, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_FLine(&bmp, 1.0f, 1.0f, 5.0f, bad, kWhite, 1.0f, BLEND_COPY, aa);
    }
  EXPECT_TRUE(Drawn(bmp).empty());
}

TEST(ClipFLine, BoxEndsOnePixelShortOfTheRectangle)
{
  // [10, 19) x [10, 19) in the moved frame; the far edges put the point at w - 2.
  float x1 = 5, y1 = 12, x2 = 25, y2 = 12;
  EXPECT_TRUE(LICE_ClipFLine(&x1, &y1, &x2, &y2, 10, 10, 20, 20));
  EXPECT_EQ((std::vector<float>{x1, y1, x2, y2}), (std::vector<float>{10, 12, 18, 12}));
  // Through two corners: the bottom crossing (9, 8) is still right of the box and
  // moves to (8, 8).
  x1 = 5, y1 = 5, x2 = 25, y2 = 25;
  EXPECT_TRUE(LICE_ClipFLine(&x1, &y1, &x2, &y2, 10, 10, 20, 20));
  EXPECT_EQ((std::vector<float>{x1, y1, x2, y2}), (std::vector<float>{10, 10, 18, 18}));
  x1 = 0, y1 = 0, x2 = 5, y2 = 0;
  EXPECT_FALSE(LICE_ClipFLine(&x1, &y1, &x2, &y2, 10, 10, 20, 20));
  x1 = NAN;
  EXPECT_FALSE(LICE_ClipFLine(&x1, &y1, &x2, &y2, 0, 0, 20, 20));
}

TEST(DashedLine, DashesFromTheFirstEnd)
{
  LICE_MemBitmap bmp(20, 20, 4);
  Clear(bmp);
  LICE_DashedLine(&bmp, 5, 0, 5, 10, 3, 2, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{5, 0}, {5, 1}, {5, 2}, {5, 5}, {5, 6}, {5, 7}}));

  // Dotted: along a row through the dash walk, down a column through the stored
  // fast path, and the same column through the walk at another alpha.
  const PointSet row{{0, 4}, {2, 4}, {4, 4}, {6, 4}, {8, 4}};
  Clear(bmp);
  LICE_DashedLine(&bmp, 9, 4, 0, 4, 1, 1, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), row);
  const PointSet column{{4, 0}, {4, 2}, {4, 4}, {4, 6}, {4, 8}};
  Clear(bmp);
  LICE_DashedLine(&bmp, 4, 9, 4, 0, 1, 1, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), column);
  Clear(bmp);
  LICE_DashedLine(&bmp, 4, 0, 4, 9, 1, 1, kWhite, 0.9f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), column);

  // Clipped first: the pattern starts at the bitmap's edge, the far end is left out.
  Clear(bmp);
  LICE_DashedLine(&bmp, 5, -4, 5, 30, 3, 2, kWhite, 1.0f, BLEND_COPY, false);
  PointSet clipped;
  for (int y : {0, 1, 2, 5, 6, 7, 10, 11, 12, 15, 16, 17}) clipped.insert({5, y});
  EXPECT_EQ(Drawn(bmp), clipped);

  // Neither horizontal nor vertical: nothing.
  Clear(bmp);
  LICE_DashedLine(&bmp, 0, 0, 5, 5, 2, 2, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_TRUE(Drawn(bmp).empty());
}

TEST(DashedLine, LengthsThatWouldNotAdvanceDrawNothing)
{
  LICE_MemBitmap bmp(4, 12, 4);
  Clear(bmp);
  for (auto [on, off] : {std::pair{0, 5}, {-1, 5}, {3, -3}, {5, -9}, {1, INT_MIN}, {INT_MIN, 1}})
    LICE_DashedLine(&bmp, 0, 0, 0, 10, on, off, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_TRUE(Drawn(bmp).empty());

  // Lengths near the int limit: one dash to the end.
  LICE_DashedLine(&bmp, 1, 0, 1, 10, INT_MAX, INT_MAX, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp).size(), 10u);

  // A negative gap overlaps the dashes (3 on, 1 back): dashes at 0, 2, 4, 6 and a
  // last one of two pixels at 8.
  LICE_DashedLine(&bmp, 2, 0, 2, 10, 3, -1, 0x01010101, 1.0f, BLEND_ADD, false);
  const int count[10] = {1, 1, 2, 1, 2, 1, 2, 1, 2, 1};
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Coverage(bmp, 2, y), count[y]) << y;
}
