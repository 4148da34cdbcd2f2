#include "lice.h"
#include "shape_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

using lice_test::Clear;
using lice_test::Coverage;
using lice_test::Drawn;
using lice_test::kWhite;
using lice_test::PointSet;

namespace
{
// Rows y0..y0 + count - 1, each covering left[i]..right[i].
PointSet Rows(int y0, std::vector<int> left, std::vector<int> right)
{
  PointSet out;
  for (size_t i = 0; i < left.size(); ++i)
    for (int x = left[i]; x <= right[i]; ++x) out.insert({x, y0 + (int)i});
  return out;
}
}  // namespace

TEST(Trapezoid, EdgesWalkInWholePixels)
{
  LICE_MemBitmap bmp(10, 8, 4);
  // One row: the first span alone decides.
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, 7, 2, 3, 100, -50, 3, kWhite, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), Rows(3, {2}, {7}));

  // Both left ends at or left of column 0: a vertical edge there; the right edge
  // moves one column per row.
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, -5, 4, 0, 0, 9, 5, kWhite, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), Rows(0, {0, 0, 0, 0, 0, 0}, {4, 5, 6, 7, 8, 9}));

  // Both right ends at or past the last column: a vertical edge there; the left edge
  // moves half a column per row and lags, never rounding.
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, 3, 9, 0, 5, 40, 4, kWhite, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), Rows(0, {3, 3, 4, 4, 5}, {9, 9, 9, 9, 9}));

  // A slope of 2/5 column per row: 26214 in 16.16, so the edge reaches 6 only
  // after the last row.
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, 0, 4, 1, 0, 6, 6, kWhite, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), Rows(1, {0, 0, 0, 0, 0, 0}, {4, 4, 4, 5, 5, 5}));

  // Given bottom first, the same pixels.
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, 0, 6, 6, 4, 0, 1, kWhite, 1.0f, BLEND_COPY);
  EXPECT_EQ(Drawn(bmp), Rows(1, {0, 0, 0, 0, 0, 0}, {4, 4, 4, 5, 5, 5}));

  // Wholly outside on any side: nothing.
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, -9, -1, 0, -7, -2, 7, kWhite, 1.0f, BLEND_COPY);
  LICE_FillTrapezoid(&bmp, 10, 12, 0, 11, 30, 7, kWhite, 1.0f, BLEND_COPY);
  LICE_FillTrapezoid(&bmp, 0, 9, -9, 0, 9, -1, kWhite, 1.0f, BLEND_COPY);
  LICE_FillTrapezoid(&bmp, 0, 9, 8, 0, 9, 20, kWhite, 1.0f, BLEND_COPY);
  EXPECT_TRUE(Drawn(bmp).empty());
}

TEST(Trapezoid, StartingAboveTheBitmapMatchesATallerOne)
{
  std::mt19937 rng(9);
  std::uniform_int_distribution<int> x(-6, 16), y(-40, 7);
  LICE_MemBitmap small(10, 8, 4), tall(10, 48, 4);
  for (int i = 0; i < 200; ++i)
  {
    const int x1a = x(rng), x1b = x(rng), x2a = x(rng), x2b = x(rng), y1 = y(rng), y2 = y(rng);
    Clear(small);
    Clear(tall);
    LICE_FillTrapezoid(&small, x1a, x1b, y1, x2a, x2b, y2, kWhite, 1.0f, BLEND_COPY);
    LICE_FillTrapezoid(&tall, x1a, x1b, y1 + 40, x2a, x2b, y2 + 40, kWhite, 1.0f, BLEND_COPY);
    for (int row = 0; row < 8; ++row)
      ASSERT_EQ(lice_test::MemoryRow(small, row), lice_test::MemoryRow(tall, row + 40)) << i << " row " << row;
  }
}

TEST(Trapezoid, FarAwayVerticesWalkInWideArithmetic)
{
  // The right edge has slope 1 and meets row 0 at x = 10: reaching it from two
  // billion rows above moves the edge by 2^16 * 2e9 in 16.16, far past 32 bits.
  LICE_MemBitmap bmp(20, 8, 4);
  Clear(bmp);
  LICE_FillTrapezoid(&bmp, INT_MIN, -1999999990, -2000000000, INT_MIN, 2000000010, 2000000000, kWhite, 1.0f,
                     BLEND_COPY);
  PointSet expected;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x <= std::min(10 + y, 19); ++x) expected.insert({x, y});
  EXPECT_EQ(Drawn(bmp), expected);

  // A triangle below the diagonal y = x with corners two billion pixels away.
  Clear(bmp);
  const int px[3] = {-2000000000, 2000000000, -2000000000}, py[3] = {-2000000000, 2000000000, 2000000000};
  LICE_FillConvexPolygon(&bmp, px, py, 3, kWhite, 1.0f, BLEND_COPY);
  expected.clear();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x <= y; ++x) expected.insert({x, y});
  EXPECT_EQ(Drawn(bmp), expected);
}

TEST(Trapezoid, WeightsAndModes)
{
  LICE_MemBitmap bmp(3, 3, 4);
  const auto run = [&](unsigned int dest, unsigned int color, float alpha, int mode) {
    LICE_FillRect(&bmp, 0, 0, 3, 3, dest, 1.0f, BLEND_COPY);
    LICE_FillTrapezoid(&bmp, 0, 2, 0, 0, 2, 2, color, alpha, mode);
    return LICE_GetPixel(&bmp, 1, 1);
  };
  // Copy at 1, 1/2, 1/4, 3/4: packed rules on all four bytes, alpha included.
  EXPECT_EQ(run(0, 0xFF204060, 1.0f, BLEND_COPY), 0xFF204060u);
  EXPECT_EQ(run(0, 0xFF204060, 0.5f, BLEND_COPY), 0x7F102030u);
  EXPECT_EQ(run(0, 0xFF204060, 0.25f, BLEND_COPY), 0x3F081018u);
  EXPECT_EQ(run(0, 0xFF204060, 0.75f, BLEND_COPY), 0xBE183048u);
  // Weight 153 through the copy rule, the colour's own alpha as its source alpha.
  EXPECT_EQ(run(0, 0xFF204060, 0.6f, BLEND_COPY), 0x9914273Au);
  EXPECT_EQ(run(0x10101010, 0x01020304, 1.0f, BLEND_ADD), 0x11121314u);
  for (auto [alpha, mode] : {std::pair{0.0f, BLEND_COPY}, {-0.5f, BLEND_COPY}, {1.0f, 6}, {NAN, BLEND_ADD}})
    EXPECT_EQ(run(0x11223344, kWhite, alpha, mode), 0x11223344u) << alpha << " " << mode;
}

TEST(Polygon, DegenerateAndSingleRowPolygons)
{
  LICE_MemBitmap bmp(10, 6, 4);
  Clear(bmp);
  const int x2[2] = {0, 9}, y2[2] = {0, 5};
  LICE_FillConvexPolygon(&bmp, x2, y2, 2, kWhite, 1.0f, BLEND_COPY);
  LICE_FillConvexPolygon(&bmp, nullptr, y2, 3, kWhite, 1.0f, BLEND_COPY);
  EXPECT_TRUE(Drawn(bmp).empty());

  // All on one row: from the least x (at most the width) to the greatest x (at
  // least 0).
  const auto row = [&](std::array<int, 3> xs, int y) {
    Clear(bmp);
    const int ys[3] = {y, y, y};
    LICE_FillConvexPolygon(&bmp, xs.data(), ys, 3, kWhite, 1.0f, BLEND_COPY);
    return Drawn(bmp);
  };
  EXPECT_EQ(row({-5, 20, 7}, 3), Rows(3, {0}, {9}));
  EXPECT_EQ(row({4, 2, 6}, 0), Rows(0, {2}, {6}));
  EXPECT_TRUE(row({12, 15, 18}, 3).empty());
  EXPECT_EQ(row({-8, -3, -5}, 3), (PointSet{{0, 3}}));
  EXPECT_TRUE(row({1, 2, 3}, 6).empty());
  EXPECT_TRUE(row({1, 2, 3}, -1).empty());
}

TEST(Polygon, TriangleInAnyOrder)
{
  LICE_MemBitmap bmp(12, 12, 4);
  std::array<std::pair<int, int>, 3> corners{{{0, 0}, {8, 0}, {0, 8}}};
  std::sort(corners.begin(), corners.end());
  do
  {
    Clear(bmp);
    LICE_FillTriangle(&bmp, corners[0].first, corners[0].second, corners[1].first, corners[1].second,
                      corners[2].first, corners[2].second, kWhite, 1.0f, BLEND_COPY);
    EXPECT_EQ(Drawn(bmp), Rows(0, {0, 0, 0, 0, 0, 0, 0, 0, 0}, {8, 7, 6, 5, 4, 3, 2, 1, 0}));
  } while (std::next_permutation(corners.begin(), corners.end()));

  std::mt19937 rng(2);
  std::uniform_int_distribution<int> coord(-4, 15);
  LICE_MemBitmap other(12, 12, 4);
  for (int i = 0; i < 200; ++i)
  {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng), x3 = coord(rng), y3 = coord(rng);
    Clear(bmp);
    Clear(other);
    LICE_FillTriangle(&bmp, x1, y1, x2, y2, x3, y3, kWhite, 1.0f, BLEND_COPY);
    LICE_FillTriangle(&other, x3, y3, x1, y1, x2, y2, kWhite, 1.0f, BLEND_COPY);
    ASSERT_EQ(lice_test::Pixels(bmp), lice_test::Pixels(other)) << i;
    Clear(other);
    LICE_FillTriangle(&other, x2, y2, x1, y1, x3, y3, kWhite, 1.0f, BLEND_COPY);
    ASSERT_EQ(lice_test::Pixels(bmp), lice_test::Pixels(other)) << i;
  }
}

TEST(Polygon, ManyVerticesFillLikeFew)
{
  // Past 512 vertices the store comes from the heap; repeated corners change nothing.
  LICE_MemBitmap few(16, 16, 4), many(16, 16, 4);
  Clear(few);
  Clear(many);
  LICE_FillTriangle(&few, 2, 1, 14, 9, 3, 13, kWhite, 1.0f, BLEND_COPY);
  std::vector<int> xs{2, 14, 3}, ys{1, 9, 13};
  for (int i = 0; i < 600; ++i)
  {
    xs.push_back(i % 2 ? 14 : 3);
    ys.push_back(i % 2 ? 9 : 13);
  }
  LICE_FillConvexPolygon(&many, xs.data(), ys.data(), (int)xs.size(), kWhite, 1.0f, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(few), lice_test::Pixels(many));
  EXPECT_GT(Drawn(many).size(), 40u);
}

namespace
{
struct P
{
  double x, y;
};

double Cross(P o, P a, P b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

std::vector<P> ConvexHull(std::vector<P> pts)
{
  std::sort(pts.begin(), pts.end(), [](P a, P b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  std::vector<P> hull(2 * pts.size());
  size_t k = 0;
  for (size_t i = 0; i < pts.size(); ++i)
  {
    while (k >= 2 && Cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
    hull[k++] = pts[i];
  }
  for (size_t i = pts.size() - 1, t = k + 1; i > 0; --i)
  {
    while (k >= t && Cross(hull[k - 2], hull[k - 1], pts[i - 1]) <= 0) --k;
    hull[k++] = pts[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

// Where row y crosses the polygon, or false when it misses.
bool RowSpan(const std::vector<P>& poly, double y, double& left, double& right)
{
  left = INFINITY, right = -INFINITY;
  for (size_t i = 0; i < poly.size(); ++i)
  {
    const P a = poly[i], b = poly[(i + 1) % poly.size()];
    if ((y < a.y && y < b.y) || (y > a.y && y > b.y)) continue;
    if (a.y == b.y)
    {
      left = std::min({left, a.x, b.x}), right = std::max({right, a.x, b.x});
      continue;
    }
    const double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
    left = std::min(left, x), right = std::max(right, x);
  }
  return left <= right;
}
}  // namespace

TEST(Polygon, RandomConvexPolygonsFollowTheirEdges)
{
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> coord(-8, 52), count(3, 12);
  LICE_MemBitmap bmp(48, 48, 4);
  int checkedAreas = 0;
  for (int i = 0; i < 300; ++i)
  {
    std::vector<P> pts;
    for (int k = count(rng); k > 0; --k) pts.push_back(P{(double)coord(rng), (double)coord(rng)});
    const std::vector<P> hull = ConvexHull(pts);
    if (hull.size() < 3) continue;
    // The vertices in any order.
    std::vector<P> given = hull;
    std::shuffle(given.begin(), given.end(), rng);
    std::vector<int> xs, ys;
    for (const P& p : given) xs.push_back((int)p.x), ys.push_back((int)p.y);
    Clear(bmp);
    LICE_FillConvexPolygon(&bmp, xs.data(), ys.data(), (int)xs.size(), kWhite, 1.0f, BLEND_COPY);

    // Each edge lags its true position by less than a pixel from the band's start
    // column and less than a pixel from the walk: beyond two pixels from the edge
    // every pixel is decided.
    for (int y = 0; y < 48; ++y)
    {
      double left, right;
      const bool crossed = RowSpan(hull, y, left, right);
      for (int x = 0; x < 48; ++x)
      {
        const bool filled = Coverage(bmp, x, y) != 0;
        const bool surelyIn = crossed && x >= left + 2 && x <= right - 2;
        const bool surelyOut = !crossed || x < left - 2 || x > right + 2;
        if (surelyIn || surelyOut)
        {
          ASSERT_EQ(filled, surelyIn) << i << " at " << x << "," << y;
        }
      }
    }

    // Inside the bitmap, the filled area is the polygon's own within a band one
    // pixel wide around its outline.
    if (std::all_of(hull.begin(), hull.end(), [](P p) { return p.x >= 0 && p.x < 48 && p.y >= 0 && p.y < 48; }))
    {
      double area = 0, perimeter = 0;
      for (size_t k = 0; k < hull.size(); ++k)
      {
        const P a = hull[k], b = hull[(k + 1) % hull.size()];
        area += (a.x * b.y - b.x * a.y) / 2;
        perimeter += std::hypot(b.x - a.x, b.y - a.y);
      }
      ASSERT_NEAR((double)Drawn(bmp).size(), std::fabs(area), perimeter) << i;
      ++checkedAreas;
    }
  }
  EXPECT_GT(checkedAreas, 10);
}

TEST(Polygon, BottomUpBitmapsFillTheMirroredPolygon)
{
  lice_test::FlippedBitmap flipped(12, 10);
  LICE_MemBitmap plain(12, 10, 4);
  Clear(plain);
  LICE_FillTriangle(&flipped, 1, 1, 9, 2, 3, 8, kWhite, 1.0f, BLEND_COPY);
  LICE_FillTriangle(&plain, 1, 8, 9, 7, 3, 1, kWhite, 1.0f, BLEND_COPY);
  for (int row = 0; row < 10; ++row) EXPECT_EQ(lice_test::MemoryRow(flipped, row), lice_test::MemoryRow(plain, row));
}

TEST(RectOutline, OutlineAndBorderedFill)
{
  LICE_MemBitmap bmp(10, 6, 4);
  Clear(bmp);
  // Columns 2..6, rows 1..4; each corner belongs to two sides and is added twice.
  LICE_DrawRect(&bmp, 2, 1, 4, 3, 0x01010101, 1.0f, BLEND_ADD);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x)
    {
      const bool edgeX = x == 2 || x == 6, edgeY = y == 1 || y == 4;
      const bool on = (edgeX && y >= 1 && y <= 4) || (edgeY && x >= 2 && x <= 6);
      EXPECT_EQ(Coverage(bmp, x, y), on ? (edgeX && edgeY ? 2 : 1) : 0) << x << "," << y;
    }

  Clear(bmp);
  LICE_BorderedRect(&bmp, 2, 1, 4, 3, 0xFF112233, 0xFFAABBCC, 1.0f, BLEND_COPY);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x)
    {
      const bool inside = x >= 3 && x <= 5 && y >= 2 && y <= 3;
      const bool border = !inside && x >= 2 && x <= 6 && y >= 1 && y <= 4;
      EXPECT_EQ(LICE_GetPixel(&bmp, x, y), inside ? 0xFF112233u : border ? 0xFFAABBCCu : 0u) << x << "," << y;
    }

  // A far edge past the int range is held at its end; the visible sides stay.
  Clear(bmp);
  LICE_DrawRect(&bmp, 2, 1, INT_MAX, 3, kWhite, 1.0f, BLEND_COPY);
  PointSet expected;
  for (int x = 2; x < 10; ++x) expected.insert({x, 1}), expected.insert({x, 4});
  for (int y = 1; y <= 4; ++y) expected.insert({2, y});
  EXPECT_EQ(Drawn(bmp), expected);
  Clear(bmp);
  LICE_BorderedRect(&bmp, INT_MAX, INT_MIN, INT_MIN, INT_MAX, kWhite, kWhite, 1.0f, BLEND_COPY);
  EXPECT_TRUE(Drawn(bmp).empty());
}
