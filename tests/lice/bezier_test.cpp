#include "lice.h"
#include "shape_test_util.h"

#include <gtest/gtest.h>

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
struct Pt
{
  double x, y;
};

Pt Cubic(const Pt (&p)[4], double t)
{
  const double u = 1 - t;
  return Pt{u * u * u * p[0].x + 3 * u * u * t * p[1].x + 3 * u * t * t * p[2].x + t * t * t * p[3].x,
            u * u * u * p[0].y + 3 * u * u * t * p[1].y + 3 * u * t * t * p[2].y + t * t * t * p[3].y};
}

// Distance from (x, y) to the curve, by dense sampling.
double DistanceToCurve(const Pt (&p)[4], double x, double y)
{
  double best = INFINITY;
  for (int i = 0; i <= 4000; ++i)
  {
    const Pt c = Cubic(p, i / 4000.0);
    best = std::min(best, std::hypot(c.x - x, c.y - y));
  }
  return best;
}

// The curve's y where its x (increasing with t) equals x.
double CurveYAtX(const Pt (&p)[4], double x)
{
  double lo = 0, hi = 1;
  for (int i = 0; i < 60; ++i)
  {
    const double mid = (lo + hi) / 2;
    (Cubic(p, mid).x < x ? lo : hi) = mid;
  }
  return Cubic(p, lo).y;
}
}  // namespace

TEST(Bezier, OffTheBitmapDrawsNothing)
{
  LICE_MemBitmap bmp(20, 20, 4);
  Clear(bmp);
  LICE_DrawQBezier(&bmp, -30, 2, -20, 15, -1, 8, kWhite, 1.0f, BLEND_COPY, true, 1.0f);
  LICE_DrawQBezier(&bmp, 25, 2, 40, 15, 20, 8, kWhite, 1.0f, BLEND_COPY, false, 1.0f);
  LICE_DrawCBezier(&bmp, -30, 2, -20, 15, -10, 3, -1, 8, kWhite, 1.0f, BLEND_COPY, true, 1.0f);
  LICE_DrawCBezier(&bmp, 21, 2, 30, 15, 40, 3, 50, 8, kWhite, 1.0f, BLEND_COPY, false, 1.0f);
  LICE_FillCBezier(&bmp, -30, 2, -20, 15, -10, 3, -1, 8, 10, kWhite, 1.0f, BLEND_COPY, 1.0f);
  LICE_FillCBezier(&bmp, 21, 2, 30, 15, 40, 3, 50, 8, 10, kWhite, 1.0f, BLEND_COPY, 1.0f);
  for (float bad : {NAN, INFINITY, 1e30f, -3e9f})
  {
    LICE_DrawQBezier(&bmp, 1, 1, bad, 5, 10, 10, kWhite, 1.0f, BLEND_COPY, true, 1.0f);
    LICE_DrawCBezier(&bmp, 1, 1, 3, 5, 6, bad, 10, 10, kWhite, 1.0f, BLEND_COPY, true, 1.0f);
    LICE_FillCBezier(&bmp, bad, 1, 3, 5, 6, 7, 10, 10, 15, kWhite, 1.0f, BLEND_COPY, 1.0f);
    LICE_FillCBezierX(&bmp, 1, 1, 3, 5, 6, 7, 10, bad, 15, kWhite, 1.0f, BLEND_COPY, 1.0f);
  }
  EXPECT_TRUE(Drawn(bmp).empty());
}

TEST(Bezier, SegmentsFollowTheTolerance)
{
  LICE_MemBitmap a(40, 40, 4), b(40, 40, 4);
  const auto pixels = [&](auto draw) {
    Clear(a);
    draw(&a);
    return lice_test::Pixels(a);
  };
  // A tolerance of 0 or below counts as 1.
  for (float tol : {0.0f, -3.0f, NAN})
  {
    EXPECT_EQ(pixels([&](LICE_IBitmap* d) { LICE_DrawQBezier(d, 2, 3, 30, 5, 20, 35, kWhite, 1.0f, 0, true, tol); }),
              pixels([&](LICE_IBitmap* d) { LICE_DrawQBezier(d, 2, 3, 30, 5, 20, 35, kWhite, 1.0f, 0, true, 1.0f); }));
    EXPECT_EQ(
        pixels([&](LICE_IBitmap* d) { LICE_DrawCBezier(d, 2, 3, 30, 5, 0, 20, 35, 35, kWhite, 1.0f, 0, true, tol); }),
        pixels([&](LICE_IBitmap* d) { LICE_DrawCBezier(d, 2, 3, 30, 5, 0, 20, 35, 35, kWhite, 1.0f, 0, true, 1.0f); }));
  }
  // End first or start first: the same pixels.
  EXPECT_EQ(pixels([&](LICE_IBitmap* d) { LICE_DrawQBezier(d, 33, 30, 5, 2, 3, 20, kWhite, 1.0f, 0, true, 1.0f); }),
            pixels([&](LICE_IBitmap* d) { LICE_DrawQBezier(d, 3, 20, 5, 2, 33, 30, kWhite, 1.0f, 0, true, 1.0f); }));
  // A control polygon shorter than the tolerance: one line from end to end.
  EXPECT_EQ(pixels([&](LICE_IBitmap* d) { LICE_DrawQBezier(d, 1, 1, 2, 3, 4, 2, kWhite, 1.0f, 0, true, 100.0f); }),
            pixels([&](LICE_IBitmap* d) { LICE_FLine(d, 1, 1, 4, 2, kWhite, 1.0f, 0, true); }));
  EXPECT_EQ(
      pixels([&](LICE_IBitmap* d) { LICE_DrawCBezier(d, 1, 1, 2, 3, 3, 0, 5, 2, kWhite, 1.0f, 0, false, 100.0f); }),
      pixels([&](LICE_IBitmap* d) { LICE_FLine(d, 1, 1, 5, 2, kWhite, 1.0f, 0, false); }));
  // A clipped start is moved onto the bitmap's left edge, on the curve: the straight
  // quadratic y = x / 2 + 4 from x = -8 starts at (0, 4).
  EXPECT_EQ(pixels([&](LICE_IBitmap* d) { LICE_DrawQBezier(d, -8, 0, 4, 6, 16, 12, kWhite, 1.0f, 0, true, 1000.0f); }),
            pixels([&](LICE_IBitmap* d) { LICE_FLine(d, 0, 4, 16, 12, kWhite, 1.0f, 0, true); }));
}

TEST(Bezier, DrawnCurvesStayOnTheCurve)
{
  std::mt19937 rng(21);
  std::uniform_real_distribution<float> coord(-10.0f, 50.0f);
  LICE_MemBitmap bmp(40, 40, 4);
  for (int i = 0; i < 60; ++i)
  {
    Pt p[4];
    for (Pt& q : p) q = Pt{coord(rng), coord(rng)};
    Clear(bmp);
    const bool aa = i % 2;
    LICE_DrawCBezier(&bmp, (float)p[0].x, (float)p[0].y, (float)p[1].x, (float)p[1].y, (float)p[2].x, (float)p[2].y,
                     (float)p[3].x, (float)p[3].y, kWhite, 1.0f, BLEND_COPY, aa, 1.0f);
    // Plain segments truncate their ends; smooth ones touch the pixel pair around
    // each sample. Either way within two pixels of the curve.
    for (auto [x, y] : Drawn(bmp)) ASSERT_LE(DistanceToCurve(p, x, y), 2.0) << i << " at " << x << "," << y;

    // A quadratic is the cubic with control points two thirds of the way to its
    // single control point.
    const Pt c{coord(rng), coord(rng)};
    const Pt q[4] = {p[0], {p[0].x + 2 * (c.x - p[0].x) / 3, p[0].y + 2 * (c.y - p[0].y) / 3},
                     {p[3].x + 2 * (c.x - p[3].x) / 3, p[3].y + 2 * (c.y - p[3].y) / 3}, p[3]};
    Clear(bmp);
    LICE_DrawQBezier(&bmp, (float)p[0].x, (float)p[0].y, (float)c.x, (float)c.y, (float)p[3].x, (float)p[3].y, kWhite,
                     1.0f, BLEND_COPY, aa, 1.0f);
    for (auto [x, y] : Drawn(bmp)) ASSERT_LE(DistanceToCurve(q, x, y), 2.0) << i << " at " << x << "," << y;
  }
}

TEST(BezierFill, TowardARow)
{
  LICE_MemBitmap bmp(16, 12, 4);
  // A straight curve along row 2 from x = 0 to x = 9: columns 0..8 are filled.
  // Above row 6 the fill reaches row 7; below row 0 it starts at row 0.
  Clear(bmp);
  LICE_FillCBezier(&bmp, 0, 2, 3, 2, 6, 2, 9, 2, 6, kWhite, 1.0f, BLEND_COPY, 1.0f);
  PointSet expected;
  for (int x = 0; x <= 8; ++x)
    for (int y = 2; y <= 7; ++y) expected.insert({x, y});
  EXPECT_EQ(Drawn(bmp), expected);
  Clear(bmp);
  LICE_FillCBezier(&bmp, 9, 5, 6, 5, 3, 5, 0, 5, 0, kWhite, 1.0f, BLEND_COPY, 1.0f);
  expected.clear();
  for (int x = 0; x <= 8; ++x)
    for (int y = 0; y <= 5; ++y) expected.insert({x, y});
  EXPECT_EQ(Drawn(bmp), expected);

  // Random curves, x growing along each: every column is filled from the fill row
  // to the curve. A strip takes the curve's height at its own ends, so near the curve
  // a column is decided only two pixels beyond the curve's course over it and its
  // neighbours.
  std::mt19937 rng(8);
  std::uniform_real_distribution<float> y(-5.0f, 40.0f), x(-8.0f, 44.0f);
  std::uniform_int_distribution<int> row(-4, 40);
  LICE_MemBitmap big(40, 36, 4);
  int checked = 0;
  for (int i = 0; i < 80; ++i)
  {
    float xs[4] = {x(rng), x(rng), x(rng), x(rng)};
    std::sort(xs, xs + 4);
    if (xs[3] - xs[0] < 4) continue;
    const Pt p[4] = {{xs[0], y(rng)}, {xs[1], y(rng)}, {xs[2], y(rng)}, {xs[3], y(rng)}};
    const int yfill = row(rng);
    Clear(big);
    LICE_FillCBezier(&big, (float)p[0].x, (float)p[0].y, (float)p[1].x, (float)p[1].y, (float)p[2].x, (float)p[2].y,
                     (float)p[3].x, (float)p[3].y, yfill, kWhite, 1.0f, BLEND_COPY, 1.0f);
    for (int col = std::max(0, (int)std::ceil(p[0].x) + 2); col <= std::min(39, (int)p[3].x - 2); ++col)
    {
      double lo = INFINITY, hi = -INFINITY;
      for (int c = col - 1; c <= col + 1; ++c)
      {
        lo = std::min(lo, CurveYAtX(p, c));
        hi = std::max(hi, CurveYAtX(p, c));
      }
      for (int r = 0; r < 36; ++r)
      {
        const bool filled = Coverage(big, col, r) != 0;
        // An area above the fill row reaches row yfill + 1.
        const bool between = (r > hi + 2 && r < yfill) || (r < lo - 2 && r > yfill + 1);
        const bool beyond = r < std::min(lo, (double)yfill) - 2 || r > std::max(hi, yfill + 1.0) + 2;
        if (between || beyond)
        {
          ASSERT_EQ(filled, between) << i << " column " << col << " row " << r << " fill " << yfill;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
}

TEST(BezierFill, TowardAColumn)
{
  LICE_MemBitmap bmp(12, 14, 4);
  // A straight curve down column 2 from y = 0 to y = 9, filled toward column 6: the
  // strips reach column 7 and rows 0..9. Each same-side strip reaches one row past
  // its end, where the next strip begins: with add, those rows are combined twice.
  Clear(bmp);
  LICE_FillCBezierX(&bmp, 2, 0, 2, 3, 2, 6, 2, 9, 6, 0x01010101, 1.0f, BLEND_ADD, 1.0f);
  int doubled = 0;
  for (int y = 0; y < 14; ++y)
  {
    const int first = Coverage(bmp, 2, y);
    for (int x = 0; x < 12; ++x)
    {
      const bool inside = x >= 2 && x <= 7 && y <= 9;
      ASSERT_EQ(Coverage(bmp, x, y) != 0, inside) << x << "," << y;
      if (inside)
      {
        ASSERT_EQ(Coverage(bmp, x, y), first) << x << "," << y;
      }
    }
    ASSERT_LE(first, 2);
    doubled += first == 2;
  }
  EXPECT_GT(doubled, 0);

  // Left of the fill column: from the fill column to the curve.
  Clear(bmp);
  LICE_FillCBezierX(&bmp, 8, 0, 8, 3, 8, 6, 8, 9, 3, kWhite, 1.0f, BLEND_COPY, 1.0f);
  PointSet expected;
  for (int x = 3; x <= 8; ++x)
    for (int y = 0; y <= 9; ++y) expected.insert({x, y});
  EXPECT_EQ(Drawn(bmp), expected);
}
