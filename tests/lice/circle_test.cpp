#include "lice.h"
#include "shape_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using lice_test::Clear;
using lice_test::Coverage;
using lice_test::Drawn;
using lice_test::kWhite;
using lice_test::PointSet;

namespace
{
constexpr float kPi = 3.14159265f;

PointSet Shifted(const PointSet& points, int dx, int dy)
{
  PointSet out;
  for (auto [x, y] : points) out.insert({x + dx, y + dy});
  return out;
}
}  // namespace

TEST(Circle, SmallRadiiAreStampedMasks)
{
  LICE_MemBitmap bmp(12, 10, 4);
  // Radius 2 stamps the plain 5 x 5 ring with its corner at the truncated
  // (cx - 2, cy - 2) = (3, 2).
  Clear(bmp);
  LICE_Circle(&bmp, 5.7f, 4.2f, 2.0f, kWhite, 1.0f, BLEND_COPY, false);
  const PointSet ring{{2, 0}, {1, 1}, {3, 1}, {0, 2}, {4, 2}, {1, 3}, {3, 3}, {2, 4}};
  EXPECT_EQ(Drawn(bmp), Shifted(ring, 3, 2));

  // Radius 2.01 goes through the midpoint drawer, centred on the rounded (6, 4).
  Clear(bmp);
  LICE_Circle(&bmp, 5.7f, 4.2f, 2.01f, kWhite, 1.0f, BLEND_COPY, false);
  const PointSet midpoint{{2, 0}, {1, 0}, {3, 0}, {0, 1}, {4, 1}, {0, 2}, {4, 2}, {0, 3},
                          {4, 3}, {1, 4}, {3, 4}, {2, 4}};
  EXPECT_EQ(Drawn(bmp), Shifted(midpoint, 4, 2));

  // The anti-aliased mask of radius 1.5, coverage by coverage.
  Clear(bmp);
  LICE_Circle(&bmp, 2.0f, 2.0f, 1.5f, kWhite, 1.0f, BLEND_COPY, true);
  EXPECT_EQ(Coverage(bmp, 0, 0), 79);
  EXPECT_EQ(Coverage(bmp, 1, 0), 255);
  EXPECT_EQ(Coverage(bmp, 1, 1), 15);
  EXPECT_EQ(Coverage(bmp, 3, 3), 79);
  EXPECT_EQ(Drawn(bmp).size(), 16u);
}

TEST(Circle, ZeroAndNegativeRadius)
{
  LICE_MemBitmap bmp(5, 5, 4);
  Clear(bmp);
  LICE_Circle(&bmp, 2.0f, 2.0f, -1.0f, kWhite, 1.0f, BLEND_COPY, false);
  LICE_FillCircle(&bmp, 2.0f, 2.0f, -1.0f, kWhite, 1.0f, BLEND_COPY, true);
  LICE_Arc(&bmp, 2.0f, 2.0f, -1.0f, 0.0f, 1.0f, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_TRUE(Drawn(bmp).empty());

  // The outline of radius 0 names the centre four times.
  LICE_Circle(&bmp, 2.0f, 2.0f, 0.0f, 0x01010101, 1.0f, BLEND_ADD, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{2, 2}}));
  EXPECT_EQ(Coverage(bmp, 2, 2), 4);

  for (bool aa : {false, true})
  {
    Clear(bmp);
    LICE_FillCircle(&bmp, 2.0f, 2.0f, 0.0f, kWhite, 1.0f, BLEND_COPY, aa);
    EXPECT_EQ(Drawn(bmp), (PointSet{{2, 2}})) << aa;
  }
}

TEST(Circle, AntiAliasedAxisWeights)
{
  // Radius 10.25: the fraction 0.25 weights the pixels at distance 11 by 64 and
  // leaves 192 for those at distance 10.
  LICE_MemBitmap bmp(31, 31, 4);
  Clear(bmp);
  LICE_Circle(&bmp, 15.0f, 15.0f, 10.25f, kWhite, 1.0f, BLEND_COPY, true);
  for (auto [dx, dy] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}})
  {
    EXPECT_EQ(Coverage(bmp, 15 + 11 * dx, 15 + 11 * dy), 64);
    EXPECT_EQ(Coverage(bmp, 15 + 10 * dx, 15 + 10 * dy), 192);
    EXPECT_EQ(Coverage(bmp, 15 + 9 * dx, 15 + 9 * dy), 0);
  }
  // One row off the axis: sqrt(10.25^2 - 1) = 10.201, weights 51 outside and 205.
  EXPECT_EQ(Coverage(bmp, 16, 4), 51);
  EXPECT_EQ(Coverage(bmp, 16, 5), 205);

  // Inside a disc at full weight every byte is the colour's, its alpha included.
  Clear(bmp);
  LICE_FillRect(&bmp, 0, 0, 31, 31, 0xFF0A0B0C, 1.0f, BLEND_COPY);
  LICE_FillCircle(&bmp, 15.0f, 15.0f, 10.25f, 0x80123456, 1.0f, BLEND_COPY, true);
  for (auto [x, y] : {std::pair{15, 15}, {15, 6}, {6, 15}, {20, 22}}) EXPECT_EQ(LICE_GetPixel(&bmp, x, y), 0x80123456u);
  EXPECT_NE(LICE_GetPixel(&bmp, 15, 4), 0x80123456u);

  // Radius 3.3, two rows off: sqrt(3.3^2 - 4) = 2.625 puts the rim pixel on the
  // diagonal at weight 256 - 160 = 96, combined once: 0x80 * 96 / 256 = 48 added.
  Clear(bmp);
  LICE_Circle(&bmp, 10.0f, 10.0f, 3.3f, 0x80808080, 1.0f, BLEND_ADD, true);
  for (auto [dx, dy] : {std::pair{2, 2}, {-2, 2}, {2, -2}, {-2, -2}}) EXPECT_EQ(Coverage(bmp, 10 + dx, 10 + dy), 48);
}

TEST(Circle, Symmetric)
{
  LICE_MemBitmap bmp(41, 41, 4);
  for (float r : {2.01f, 2.7f, 4.5f, 5.0f, 7.3f, 9.99f, 12.5f, 17.0f})
    for (int variant = 0; variant < 4; ++variant)
    {
      const bool aa = variant & 1, filled = variant & 2;
      Clear(bmp);
      if (filled) LICE_FillCircle(&bmp, 20.0f, 20.0f, r, kWhite, 1.0f, BLEND_COPY, aa);
      else LICE_Circle(&bmp, 20.0f, 20.0f, r, kWhite, 1.0f, BLEND_COPY, aa);
      for (int a = -20; a <= 20; ++a)
        for (int b = -20; b <= 20; ++b)
        {
          const unsigned int p = LICE_GetPixel(&bmp, 20 + a, 20 + b);
          ASSERT_EQ(p, LICE_GetPixel(&bmp, 20 - a, 20 + b)) << r << " " << variant << " " << a << "," << b;
          ASSERT_EQ(p, LICE_GetPixel(&bmp, 20 + a, 20 - b)) << r << " " << variant << " " << a << "," << b;
          ASSERT_EQ(p, LICE_GetPixel(&bmp, 20 + b, 20 + a)) << r << " " << variant << " " << a << "," << b;
        }
    }
}

TEST(Circle, FilledAreaAndOutlineRadius)
{
  LICE_MemBitmap bmp(64, 64, 4);
  for (float r : {3.2f, 6.0f, 7.5f, 10.4f, 10.6f, 19.4f, 28.0f})
  {
    // Every chord is filled from its first to its last pixel inclusive, one pixel
    // longer than the chord itself: a disc covers the area of a circle half a pixel
    // wider. The plain drawer first rounds the radius to whole pixels.
    const auto areaOf = [](double radius) { return kPi * (radius + 0.5) * (radius + 0.5); };
    const auto rimOf = [](double radius) { return 2 * kPi * (radius + 0.5); };
    const int rounded = (int)(r + 0.5f);
    Clear(bmp);
    LICE_FillCircle(&bmp, 32.0f, 32.0f, r, kWhite, 1.0f, BLEND_COPY, false);
    EXPECT_NEAR((double)Drawn(bmp).size(), areaOf(rounded), rimOf(rounded) / 4) << r;

    // Anti-aliased, the coverage sums to that area within a tenth of a pixel of rim.
    Clear(bmp);
    LICE_FillCircle(&bmp, 32.0f, 32.0f, r, kWhite, 1.0f, BLEND_COPY, true);
    double coverage = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) coverage += Coverage(bmp, x, y) / 255.0;
    EXPECT_NEAR(coverage, areaOf(r), rimOf(r) / 10) << r;

    // Every outline pixel lies within a pixel and a half of the radius.
    for (bool aa : {false, true})
    {
      Clear(bmp);
      LICE_Circle(&bmp, 32.0f, 32.0f, r, kWhite, 1.0f, BLEND_COPY, aa);
      for (auto [x, y] : Drawn(bmp)) ASSERT_NEAR(std::hypot(x - 32, y - 32), r, 1.5) << r << " " << aa;
    }
  }
}

TEST(Circle, ClippedAtTheEdgesLikeTheSameCircleInside)
{
  // Near a corner the drawers test each pixel; in a larger bitmap the same circle
  // needs no tests. The visible pixels must agree.
  LICE_MemBitmap small(20, 16, 4), large(60, 56, 4);
  for (auto [cx, cy, r] : {std::tuple{2.0f, 3.0f, 6.3f}, {18.5f, 1.0f, 9.0f}, {10.0f, 15.2f, 12.7f}})
    for (int variant = 0; variant < 4; ++variant)
    {
      const bool aa = variant & 1, filled = variant & 2;
      Clear(small);
      Clear(large);
      const auto draw = [&](LICE_IBitmap* b, float x, float y) {
        if (filled) LICE_FillCircle(b, x, y, r, kWhite, 1.0f, BLEND_COPY, aa);
        else LICE_Circle(b, x, y, r, kWhite, 1.0f, BLEND_COPY, aa);
      };
      draw(&small, cx, cy);
      draw(&large, cx + 20, cy + 20);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x)
          ASSERT_EQ(LICE_GetPixel(&small, x, y), LICE_GetPixel(&large, x + 20, y + 20)) << cx << " " << variant;
    }

  // More than two pixels away, judged on truncated values: nothing.
  Clear(small);
  LICE_Circle(&small, -10.0f, 5.0f, 5.9f, kWhite, 1.0f, BLEND_COPY, true);
  LICE_FillCircle(&small, 5.0f, 30.0f, 7.0f, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_TRUE(Drawn(small).empty());
}

TEST(Circle, BottomUpBitmaps)
{
  lice_test::FlippedBitmap flipped(20, 16);
  LICE_MemBitmap plain(20, 16, 4);
  Clear(plain);
  LICE_FillCircle(&flipped, 7.0f, 4.3f, 5.6f, kWhite, 1.0f, BLEND_COPY, true);
  LICE_FillCircle(&plain, 7.0f, 15.0f - 4.3f, 5.6f, kWhite, 1.0f, BLEND_COPY, true);
  for (int row = 0; row < 16; ++row) EXPECT_EQ(lice_test::MemoryRow(flipped, row), lice_test::MemoryRow(plain, row));

  // Small circles are stamped upright through the glyph path.
  lice_test::FlippedBitmap stamped(8, 8);
  LICE_Circle(&stamped, 3.0f, 3.0f, 1.5f, kWhite, 1.0f, BLEND_COPY, true);
  EXPECT_EQ(LICE_GetPixel(&stamped, 1, 1) & 0xFF, 79u);
  EXPECT_EQ(LICE_GetPixel(&stamped, 2, 2) & 0xFF, 15u);
}

TEST(Arc, QuarterTurnPiecesOfTheCircle)
{
  LICE_MemBitmap bmp(33, 33, 4), circle(33, 33, 4);
  // From angle 0 (up) to pi/2 (right): the circle seen through the box from the
  // top end (16, 8) to the right end (24, 16), one column wider on the right.
  Clear(circle);
  LICE_Circle(&circle, 16.0f, 16.0f, 8.0f, kWhite, 1.0f, BLEND_COPY, true);
  Clear(bmp);
  LICE_Arc(&bmp, 16.0f, 16.0f, 8.0f, 0.0f, kPi / 2, kWhite, 1.0f, BLEND_COPY, true);
  PointSet expected;
  for (auto [x, y] : Drawn(circle))
    if (x >= 16 && x < 26 && y >= 8 && y < 17) expected.insert({x, y});
  EXPECT_EQ(Drawn(bmp), expected);
  EXPECT_GT(expected.size(), 8u);

  // Angles in either order, pieces drawn apart or together, a shift by a turn.
  const auto arc = [&](float lo, float hi, bool aa) {
    LICE_MemBitmap out(33, 33, 4);
    Clear(out);
    LICE_Arc(&out, 16.0f, 16.0f, 8.0f, lo, hi, kWhite, 1.0f, BLEND_COPY, aa);
    return lice_test::Pixels(out);
  };
  for (bool aa : {false, true})
  {
    EXPECT_EQ(arc(kPi, 0.0f, aa), arc(0.0f, kPi, aa));
    Clear(bmp);
    LICE_Arc(&bmp, 16.0f, 16.0f, 8.0f, 0.0f, kPi / 2, kWhite, 1.0f, BLEND_COPY, aa);
    LICE_Arc(&bmp, 16.0f, 16.0f, 8.0f, kPi / 2, kPi, kWhite, 1.0f, BLEND_COPY, aa);
    EXPECT_EQ(lice_test::Pixels(bmp), arc(0.0f, kPi, aa));
    EXPECT_EQ(arc(7.0f, 8.0f, aa), arc(7.0f - 6.2831855f, 8.0f - 6.2831855f, aa));
    EXPECT_EQ(arc(-20.0f, -19.0f, aa), arc(-20.0f + 4 * 6.2831855f, -19.0f + 4 * 6.2831855f, aa));
  }
  EXPECT_EQ(arc(1.0f, 1.0f, true), std::vector<unsigned int>(33 * 33, 0));

  // A full turn or more is the circle, small masks included.
  for (float r : {3.0f, 8.0f})
  {
    Clear(circle);
    LICE_Circle(&circle, 16.0f, 16.0f, r, kWhite, 1.0f, BLEND_COPY, false);
    Clear(bmp);
    LICE_Arc(&bmp, 16.0f, 16.0f, r, 0.5f, 0.5f + 2 * kPi + 0.1f, kWhite, 1.0f, BLEND_COPY, false);
    EXPECT_EQ(lice_test::Pixels(bmp), lice_test::Pixels(circle)) << r;
  }
}

TEST(Arc, BottomUpBitmapsKeepTheArcWhereItWasAsked)
{
  // Up to the right in the caller's rows, though drawn into mirrored memory rows.
  lice_test::FlippedBitmap bmp(33, 33);
  LICE_Arc(&bmp, 16.0f, 16.0f, 8.0f, 0.0f, kPi / 2, kWhite, 1.0f, BLEND_COPY, true);
  const PointSet drawn = Drawn(bmp);
  EXPECT_GT(drawn.size(), 8u);
  for (auto [x, y] : drawn) EXPECT_TRUE(x >= 16 && y <= 17) << x << "," << y;
}

TEST(RoundRect, CornersAndFallBack)
{
  LICE_MemBitmap bmp(30, 20, 4), other(30, 20, 4);
  const auto same = [&](auto drawA, auto drawB) {
    Clear(bmp);
    Clear(other);
    drawA(&bmp);
    drawB(&other);
    return lice_test::Pixels(bmp) == lice_test::Pixels(other);
  };
  // Corner radius 1, or one capped below 2, is a plain outline.
  EXPECT_TRUE(same([](LICE_IBitmap* b) { LICE_RoundRect(b, 2, 3, 10, 8, 1, kWhite, 1.0f, BLEND_COPY, false); },
                   [](LICE_IBitmap* b) { LICE_DrawRect(b, 2, 3, 10, 8, kWhite, 1.0f, BLEND_COPY); }));
  EXPECT_TRUE(same([](LICE_IBitmap* b) { LICE_RoundRect(b, 2, 3, 3, 3, 5, kWhite, 1.0f, BLEND_COPY, true); },
                   [](LICE_IBitmap* b) { LICE_DrawRect(b, 2, 3, 3, 3, kWhite, 1.0f, BLEND_COPY); }));
  // A radius beyond half the shorter side is held at it: 10 / 2 = 5.
  EXPECT_TRUE(same([](LICE_IBitmap* b) { LICE_RoundRect(b, 4, 4, 20, 10, 100, kWhite, 1.0f, BLEND_COPY, true); },
                   [](LICE_IBitmap* b) { LICE_RoundRect(b, 4, 4, 20, 10, 5, kWhite, 1.0f, BLEND_COPY, true); }));

  // Radius 4 on (2, 2, 20, 10): straight sides between the corners, no square
  // corner pixel, and nothing past the rectangle.
  Clear(bmp);
  LICE_RoundRect(&bmp, 2, 2, 20, 10, 4, kWhite, 1.0f, BLEND_COPY, false);
  for (int x = 6; x <= 18; ++x) EXPECT_EQ(Coverage(bmp, x, 2), 255) << x;
  for (int y = 6; y <= 8; ++y) EXPECT_EQ(Coverage(bmp, 22, y), 255) << y;
  EXPECT_EQ(Coverage(bmp, 2, 2), 0);
  EXPECT_EQ(Coverage(bmp, 22, 12), 0);
  for (auto [x, y] : Drawn(bmp))
  {
    EXPECT_TRUE(x >= 2 && x <= 22 && y >= 2 && y <= 12) << x << "," << y;
  }
}

TEST(Circle, RefusesNonFiniteAndAbsurdValues)
{
  LICE_MemBitmap bmp(8, 8, 4);
  Clear(bmp);
  for (float bad : {NAN, INFINITY, -INFINITY, 1e30f, -3e9f})
    for (bool aa : {false, true})
    {
      LICE_Circle(&bmp, bad, 4, 3, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_Circle(&bmp, 4, 4, bad, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_FillCircle(&bmp, 4, bad, 3, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_FillCircle(&bmp, 4, 4, bad, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_Arc(&bmp, 4, 4, 3, bad, 1.0f, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_Arc(&bmp, 4, 4, 3, 0.0f, bad, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_Arc(&bmp, 4, 4, bad, 0.0f, 1.0f, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_RoundRect(&bmp, bad, 1, 5, 5, 2, kWhite, 1.0f, BLEND_COPY, aa);
      LICE_RoundRect(&bmp, 1, 1, 5, bad, 2, kWhite, 1.0f, BLEND_COPY, aa);
    }
  EXPECT_TRUE(Drawn(bmp).empty());
}
