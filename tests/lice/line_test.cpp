#include "lice.h"
#include "shape_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>

using lice_test::Clear;
using lice_test::Coverage;
using lice_test::Drawn;
using lice_test::kWhite;
using lice_test::PointSet;

TEST(Line, ShapesAndEndPoints)
{
  LICE_MemBitmap bmp(12, 12, 4);
  Clear(bmp);
  LICE_Line(&bmp, 4, 5, 4, 5, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{4, 5}}));

  // Ends in either order; both belong to the line.
  Clear(bmp);
  LICE_Line(&bmp, 10, 2, 3, 2, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}, {8, 2}, {9, 2}, {10, 2}}));
  Clear(bmp);
  LICE_Line(&bmp, 1, 7, 1, 4, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{1, 4}, {1, 5}, {1, 6}, {1, 7}}));
  Clear(bmp);
  LICE_Line(&bmp, 5, 1, 2, 4, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{5, 1}, {4, 2}, {3, 3}, {2, 4}}));

  // Slope 1/3 and 1/4: each walker steps across once its offset reaches a half;
  // the middle pixel of an even length sits where the start walker arrives.
  Clear(bmp);
  LICE_Line(&bmp, 0, 0, 3, 1, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  Clear(bmp);
  LICE_Line(&bmp, 0, 0, 4, 1, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
  Clear(bmp);
  LICE_Line(&bmp, 2, 1, 3, 5, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{2, 1}, {2, 2}, {3, 3}, {3, 4}, {3, 5}}));
}

TEST(Line, ClipsToTheBitmap)
{
  LICE_MemBitmap bmp(10, 10, 4);
  Clear(bmp);
  LICE_Line(&bmp, -5, -5, 5, 5, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp), (PointSet{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}));

  // Wholly left, and passing outside the corner: nothing.
  Clear(bmp);
  LICE_Line(&bmp, -7, 1, -1, 8, kWhite, 1.0f, BLEND_COPY, false);
  LICE_Line(&bmp, -5, 2, 2, -5, kWhite, 1.0f, BLEND_COPY, true);
  LICE_Line(&bmp, 12, 12, 12, 12, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_TRUE(Drawn(bmp).empty());

  // The extreme ints: the clipped ends are (0, 0) and (9, 9).
  LICE_Line(&bmp, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite, 1.0f, BLEND_COPY, false);
  PointSet diagonal;
  for (int i = 0; i < 10; ++i) diagonal.insert({i, i});
  EXPECT_EQ(Drawn(bmp), diagonal);
  Clear(bmp);
  LICE_Line(&bmp, INT_MIN, 3, INT_MAX, 3, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(Drawn(bmp).size(), 10u);
}

TEST(Line, CopyWeightsAndModes)
{
  LICE_MemBitmap bmp(4, 1, 4);
  const auto run = [&](unsigned int dest, unsigned int color, float alpha, int mode) {
    LICE_FillRect(&bmp, 0, 0, 4, 1, dest, 1.0f, BLEND_COPY);
    LICE_Line(&bmp, 0, 0, 3, 0, color, alpha, mode, false);
    return LICE_GetPixel(&bmp, 2, 0);
  };
  // The colour's alpha byte is stored as it is.
  EXPECT_EQ(run(0xFF000000, 0x12345678, 1.0f, BLEND_COPY), 0x12345678u);
  // Packed halving at exactly 0.5; the per-byte mean (d + c) >> 1 at weight 128.
  EXPECT_EQ(run(0xFF000000, kWhite, 0.5f, BLEND_COPY), 0xFE7F7F7Fu);
  EXPECT_EQ(run(0xFF000000, kWhite, 0.502f, BLEND_COPY), 0xFF7F7F7Fu);
  EXPECT_EQ(run(0xFF000000, kWhite, 0.25f, BLEND_COPY), 0xFD3F3F3Fu);
  EXPECT_EQ(run(0xFF000000, kWhite, 0.75f, BLEND_COPY), 0xFDBEBEBEu);
  // Weight 153: 255 + (0 - 255) * 103 / 256 = 153.
  EXPECT_EQ(run(0xFF000000, kWhite, 0.6f, BLEND_COPY), 0xFF999999u);
  // Weight 0, a negative copy weight and modes above 5 leave the pixel.
  EXPECT_EQ(run(0x11223344, kWhite, 0.003f, BLEND_COPY), 0x11223344u);
  EXPECT_EQ(run(0x11223344, kWhite, -1.0f, BLEND_COPY), 0x11223344u);
  EXPECT_EQ(run(0x11223344, kWhite, 1.0f, 6), 0x11223344u);
  EXPECT_EQ(run(0x11223344, kWhite, 1.0f, 0xFF), 0x11223344u);
  // A negative weight subtracts in add mode: 0x80 + 0x40 * -128 / 256 = 0x60.
  EXPECT_EQ(run(0x80808080, 0x40404040, -0.5f, BLEND_ADD), 0x60606060u);
  // Only the low byte picks the operation.
  EXPECT_EQ(run(0x10101010, 0x20202020, 1.0f, BLEND_SOURCE_ALPHA | BLEND_ADD), 0x30303030u);
}

TEST(Line, AntiAliasedCoverage)
{
  LICE_MemBitmap bmp(6, 4, 4);
  Clear(bmp);
  // Slope 1/3: ends at full weight; the inner pixels share 255 as 170 + 85.
  LICE_Line(&bmp, 0, 0, 3, 1, kWhite, 1.0f, BLEND_COPY, true);
  EXPECT_EQ(Coverage(bmp, 0, 0), 255);
  EXPECT_EQ(Coverage(bmp, 3, 1), 255);
  EXPECT_EQ(Coverage(bmp, 1, 0), 170);
  EXPECT_EQ(Coverage(bmp, 1, 1), 85);
  EXPECT_EQ(Coverage(bmp, 2, 1), 170);
  EXPECT_EQ(Coverage(bmp, 2, 0), 85);
  EXPECT_EQ(Drawn(bmp).size(), 6u);

  // Slope 1/4, even length: the middle column sits halfway, 127 + 128.
  Clear(bmp);
  LICE_Line(&bmp, 0, 0, 4, 1, kWhite, 1.0f, BLEND_COPY, true);
  const int expected[2][5] = {{255, 191, 127, 64, 0}, {0, 64, 128, 191, 255}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Coverage(bmp, x, y), expected[y][x]) << x << "," << y;

  // Exact diagonal at alpha 1: three-quarter main pixels, quarter side pixels, by the
  // packed rules (each byte shifted before the sum).
  Clear(bmp);
  LICE_Line(&bmp, 0, 0, 2, 2, kWhite, 1.0f, BLEND_COPY, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(LICE_GetPixel(&bmp, i, i), 0xBEBEBEBEu);
  for (auto [x, y] : {std::pair{1, 0}, {0, 1}, {2, 1}, {1, 2}}) EXPECT_EQ(LICE_GetPixel(&bmp, x, y), 0x3F3F3F3Fu);
  EXPECT_EQ(Drawn(bmp).size(), 7u);
  // Other weights: 3w/4 and w/4 through the copy rule.
  Clear(bmp);
  LICE_Line(&bmp, 3, 0, 1, 2, kWhite, 0.5f, BLEND_COPY, true);
  EXPECT_EQ(Coverage(bmp, 2, 1), 96);
  EXPECT_EQ(Coverage(bmp, 2, 0), 32);
  EXPECT_EQ(Coverage(bmp, 3, 1), 32);
}

// The same coverage seen whole: on a large bitmap, a fan of lines in every direction
// and of many lengths, each drawn over the others' erased traces, is compared with a
// rasteriser written here in floating point. Each step along the major axis splits
// 255 between the two pixels around the exact line in proportion to their distance
// from it, and nothing else is drawn. (Exact diagonals follow their own rule and are
// left out.)
TEST(Line, AntiAliasedFanMatchesAnExactSplit)
{
  constexpr int kSize = 1024, kCentre = 512;
  constexpr double kPi = 3.141592653589793;
  // The walk's 16.16 slope lags the exact one by under 2^-16 pixel a step, counted
  // from each end, and its weights are 8-bit fractions of 256 rather than of 255:
  // together within 3 of 255 for lines up to 1000 pixels.
  constexpr double kTolerance = 3.0;
  LICE_MemBitmap bmp(kSize, kSize, 4);
  Clear(bmp);
  unsigned int* bits = bmp.getBits();
  const int span = bmp.getRowSpan();
  int lines = 0;
  for (int i = 0; i < 720; ++i)
  {
    const double angle = i * kPi / 360, radius = 20 + (i * 7919) % 480;
    int x1 = kCentre + i % 5 - 2, y1 = kCentre + i % 3 - 1;
    int x2 = x1 + (int)std::lround(std::sin(angle) * radius), y2 = y1 - (int)std::lround(std::cos(angle) * radius);
    if (std::abs(x2 - x1) == std::abs(y2 - y1)) continue;
    if (i % 2)
    {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
    LICE_Line(&bmp, x1, y1, x2, y2, kWhite, 1.0f, BLEND_COPY, true);
    ++lines;

    const bool xMajor = std::abs(x2 - x1) > std::abs(y2 - y1);
    const int m1 = xMajor ? x1 : y1, n1 = xMajor ? y1 : x1, m2 = xMajor ? x2 : y2, n2 = xMajor ? y2 : x2;
    long long total = 0;
    for (int m = std::min(m1, m2); m <= std::max(m1, m2); ++m)
    {
      const double exact = n1 + (double)(m - m1) * (n2 - n1) / (m2 - m1);
      const int below = (int)std::floor(exact);
      const double frac = exact - below;
      for (int n = below - 2; n <= below + 3; ++n)
      {
        const double expected = n == below ? 255 * (1 - frac) : n == below + 1 ? 255 * frac : 0;
        unsigned int& pixel = bits[xMajor ? (size_t)n * span + m : (size_t)m * span + n];
        const int got = (int)(pixel & 0xFF);
        ASSERT_NEAR(got, expected, kTolerance) << x1 << "," << y1 << " " << x2 << "," << y2 << " at step " << m;
        total += got;
        pixel = 0;
      }
    }
    // Summed coverage: exactly 255 per step along the major axis, both ends included.
    ASSERT_EQ(total, 255ll * (std::abs(m2 - m1) + 1)) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
  EXPECT_GT(lines, 650);
  // Nothing was drawn outside the windows checked and erased above.
  EXPECT_TRUE(Drawn(bmp).empty());
}

TEST(Line, EndOrderDoesNotMatter)
{
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(0, 23);
  LICE_MemBitmap a(24, 24, 4), b(24, 24, 4);
  for (int i = 0; i < 300; ++i)
  {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    const bool aa = i % 2;
    Clear(a);
    Clear(b);
    LICE_Line(&a, x1, y1, x2, y2, 0xFF808080, 0.7f, BLEND_ADD, aa);
    LICE_Line(&b, x2, y2, x1, y1, 0xFF808080, 0.7f, BLEND_ADD, aa);
    ASSERT_EQ(lice_test::Pixels(a), lice_test::Pixels(b)) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(Line, PlainLinesHaveOnePixelPerMajorStepNearTheTrueLine)
{
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coord(-10, 40);
  LICE_MemBitmap bmp(30, 30, 4);
  for (int i = 0; i < 400; ++i)
  {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    Clear(bmp);
    LICE_Line(&bmp, x1, y1, x2, y2, kWhite, 1.0f, BLEND_COPY, false);
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    const auto inside = [](int v) { return v >= 0 && v < 30; };
    const bool clipped = !inside(x1) || !inside(y1) || !inside(x2) || !inside(y2);
    // Unclipped, every pixel rounds the exact line (halves upward, the 16.16 slope
    // lagging by far less than a pixel). A clipped end is truncated onto the edge
    // and, at the far edges, moved back one pixel from the crossing.
    const double tolerance = clipped ? 2.5 : 0.501;
    const PointSet drawn = Drawn(bmp);
    if (!clipped)
    {
      ASSERT_EQ((int)drawn.size(), std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1);
    }
    for (auto [x, y] : drawn)
    {
      const double major = xMajor ? x : y, minor = xMajor ? y : x;
      const double m1 = xMajor ? x1 : y1, n1 = xMajor ? y1 : x1, m2 = xMajor ? x2 : y2, n2 = xMajor ? y2 : x2;
      const double exact = m1 == m2 ? n1 : n1 + (major - m1) * (n2 - n1) / (m2 - m1);
      ASSERT_LE(std::abs(minor - exact), tolerance)
          << x1 << "," << y1 << " " << x2 << "," << y2 << " at " << x << "," << y;
    }
  }
}

TEST(Line, BottomUpBitmapsMirrorTheRows)
{
  lice_test::FlippedBitmap bmp(10, 6);
  LICE_Line(&bmp, 0, 0, 9, 0, kWhite, 1.0f, BLEND_COPY, false);
  EXPECT_EQ(lice_test::MemoryRow(bmp, 5), std::vector<unsigned int>(10, kWhite));
  LICE_Line(&bmp, 0, 1, 4, 1, kWhite, 1.0f, BLEND_COPY, true);
  EXPECT_EQ(LICE_GetPixel(&bmp, 4, 1), kWhite);
  EXPECT_EQ(bmp.stored(4, 4), kWhite);
  LICE_Line(nullptr, 0, 0, 1, 1, kWhite, 1.0f, BLEND_COPY, false);
}

TEST(ClipLine, EndPointsOnTheBox)
{
  // The crossing of the right edge is worked out at x = w but placed on x = w - 1:
  // (0, 2)-(12, 8) meets x = 10 at y = 7.
  int x1 = -4, y1 = 0, x2 = 12, y2 = 8;
  EXPECT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 10, 10));
  EXPECT_EQ((std::vector<int>{x1, y1, x2, y2}), (std::vector<int>{0, 2, 9, 7}));

  // The same in a moved frame comes back in the caller's coordinates.
  x1 = 96, y1 = 50, x2 = 112, y2 = 58;
  EXPECT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 100, 50, 110, 60));
  EXPECT_EQ((std::vector<int>{x1, y1, x2, y2}), (std::vector<int>{100, 52, 109, 57}));

  // Below: crossing y = h, placed on the last row.
  x1 = 2, y1 = 0, x2 = 6, y2 = 20;
  EXPECT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 10, 10));
  EXPECT_EQ((std::vector<int>{x1, y1, x2, y2}), (std::vector<int>{2, 0, 4, 9}));

  // Past the corner: one step puts both ends above the box; the moved end is
  // written back with the answer false.
  x1 = -5, y1 = 2, x2 = 2, y2 = -5;
  EXPECT_FALSE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 10, 10));
  EXPECT_EQ((std::vector<int>{x1, y1, x2, y2}), (std::vector<int>{0, -3, 2, -5}));

  // The whole int range, in a box spanning it too.
  x1 = INT_MIN, y1 = INT_MIN, x2 = INT_MAX, y2 = INT_MAX;
  EXPECT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(x1, INT_MIN);
  EXPECT_EQ(x2, INT_MAX - 1);
  // An empty box holds nothing.
  x1 = 0, y1 = 0, x2 = 1, y2 = 1;
  EXPECT_FALSE(LICE_ClipLine(&x1, &y1, &x2, &y2, 5, 5, 5, 9));
}
