#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using lice_test::Coordinate;

namespace
{
constexpr unsigned int kBackground = 0x11111111;
constexpr float kHalfPi = 1.57079632679f;
}  // namespace

TEST(RotatedBlit, AngleZeroReproducesTheSourceRectangle)
{
  LICE_MemBitmap src(8, 8, 4), dest(5, 4, 4);
  lice_test::FillCoordinates(src);
  LICE_RotatedBlit(&dest, &src, 0, 0, 5, 4, 2.0f, 3.0f, 5.0f, 4.0f, 0.0f, false, 1.0f, BLEND_COPY, 0.0f, 0.0f);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(LICE_GetPixel(&dest, x, y), Coordinate(x + 2, y + 3)) << x << "," << y;
}

TEST(RotatedBlit, QuarterTurnClockwise)
{
  // Turning by a quarter about the centre: destination (x, y) samples source
  // (y, 4 - x); the samples at t = 4 fall just outside.
  LICE_MemBitmap src(4, 4, 4), dest(4, 4, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, kHalfPi, false, 1.0f, BLEND_COPY, 0.0f, 0.0f);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), Coordinate(0, 3));
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 2), Coordinate(2, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 2), kBackground);
}

TEST(RotatedBlit, ClipToSourceRectangleAndCentreOffsets)
{
  LICE_MemBitmap src(8, 8, 4), dest(4, 4, 4);
  lice_test::FillCoordinates(src);
  // The offsets move the sampled point: one column right, two rows down.
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 0.0f, false, 1.0f, BLEND_COPY, 1.0f, 2.0f);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), Coordinate(1, 2));
  // With clipping to the source rectangle, samples right of column 3 are not drawn.
  lice_test::Fill(dest, kBackground);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 0.0f, true, 1.0f, BLEND_COPY, 1.0f, 0.0f);
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 0), Coordinate(3, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 0), kBackground);
}

TEST(RotatedBlit, RefusesUnsaneArguments)
{
  LICE_MemBitmap src(4, 4, 4), dest(4, 4, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float angle : {nan, std::numeric_limits<float>::infinity(), 1e20f})
    LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 4, 4, angle, false, 1.0f, BLEND_COPY, 0, 0);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 1.0f, BLEND_COPY, nan, 0);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 4e30f, 4, 0.0f, false, 1.0f, BLEND_COPY, 0, 0);
  // A step of 4e5 source pixels per destination pixel is beyond any bitmap.
  LICE_RotatedBlit(&dest, &src, 0, 0, 1, 1, 0, 0, 4e5f, 4, 0.0f, false, 1.0f, BLEND_COPY, 0, 0);
  EXPECT_EQ(lice_test::Pixels(dest), std::vector<unsigned int>(16, kBackground));
}

TEST(DeltaBlit, ClippingKeepsTheMappingOfEveryPixel)
{
  // A warp with per-row changes of the per-pixel steps, drawn once in full and
  // once shifted up and left past the destination's edge: every pixel that is
  // drawn both times must have sampled the same source point.
  LICE_MemBitmap src(40, 40, 4), whole(30, 30, 4), clipped(30, 30, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(whole, kBackground);
  lice_test::Fill(clipped, kBackground);
  // Binary fractions, so both draws walk exactly the same 16.16 positions.
  const double dsdx = 1.25, dtdx = 0.25, dsdy = 0.5, dtdy = 1.0, dsdxdy = 0.0625, dtdxdy = -0.03125;
  LICE_DeltaBlit(&whole, &src, 5, 6, 12, 14, 3.0f, 2.0f, 0, 0, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, false, 1.0f,
                 BLEND_COPY);
  LICE_DeltaBlit(&clipped, &src, -4, -3, 12, 14, 3.0f, 2.0f, 0, 0, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, false,
                 1.0f, BLEND_COPY);
  int compared = 0;
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 8; ++x, ++compared)
      ASSERT_EQ(LICE_GetPixel(&clipped, x, y), LICE_GetPixel(&whole, x + 9, y + 9)) << x << "," << y;
  EXPECT_EQ(compared, 88);
  // And the first pixel of the full draw samples the start itself.
  EXPECT_EQ(LICE_GetPixel(&whole, 5, 6), Coordinate(3, 2));
}

TEST(DeltaBlit, NegativeSizesStartFromTheFarEdge)
{
  LICE_MemBitmap src(8, 8, 4), dest(4, 1, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  // dstw -4 at x 4: drawn over 0..3, starting at source x 1 + (-1).
  LICE_DeltaBlit(&dest, &src, 4, 0, -4, 1, 1.0f, 0.0f, -1.0f, 1.0f, 1, 0, 0, 1, 0, 0, false, 1.0f, BLEND_COPY);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dest, x, 0), Coordinate(x, 0)) << x;
}

TEST(DeltaBlitAlpha, ConstantAlphaMatchesDeltaBlitAndAWalkedAlphaRamps)
{
  LICE_MemBitmap src(8, 8, 4), a(8, 8, 4), b(8, 8, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(a, kBackground);
  lice_test::Fill(b, kBackground);
  LICE_DeltaBlit(&a, &src, 1, 1, 6, 6, 0.5f, 0.5f, 6, 6, 0.9, 0.1, -0.1, 0.9, 0, 0, false, 0.5f, BLEND_FILTER_BILINEAR);
  LICE_DeltaBlitAlpha(&b, &src, 1, 1, 6, 6, 0.5f, 0.5f, 6, 6, 0.9, 0.1, -0.1, 0.9, 0, 0, false, 0.5f,
                      BLEND_FILTER_BILINEAR, 0, 0, 0);
  EXPECT_EQ(lice_test::Pixels(a), lice_test::Pixels(b));

  // Alpha 0, 0.25, 0.5, 0.75 across four pixels: weights 0, 64, 128, 192 of white
  // over black by the clamped copy rule.
  LICE_MemBitmap white(4, 1, 4), ramp(4, 1, 4);
  lice_test::Fill(white, 0xFFFFFFFF);
  lice_test::Fill(ramp, 0);
  LICE_DeltaBlitAlpha(&ramp, &white, 0, 0, 4, 1, 0, 0, 4, 1, 1, 0, 0, 1, 0, 0, false, 0.0f, BLEND_COPY, 0.25, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&ramp, 0, 0), 0x00000000u);
  EXPECT_EQ(LICE_GetPixel(&ramp, 1, 0), 0x40404040u);
  EXPECT_EQ(LICE_GetPixel(&ramp, 2, 0), 0x80808080u);
  EXPECT_EQ(LICE_GetPixel(&ramp, 3, 0), 0xC0C0C0C0u);

  // Starting left of the bitmap moves the alpha along too.
  lice_test::Fill(ramp, 0);
  LICE_DeltaBlitAlpha(&ramp, &white, -2, 0, 6, 1, 0, 0, 6, 1, 1, 0, 0, 1, 0, 0, false, 0.0f, BLEND_COPY, 0.25, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&ramp, 0, 0), 0x80808080u);
}

TEST(TransformBlit, IdentityGridAndDegenerateGrids)
{
  LICE_MemBitmap src(6, 6, 4), dest(6, 6, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  const float corners[] = {0, 0, 6, 0, 0, 6, 6, 6};
  LICE_TransformBlit(&dest, &src, 0, 0, 6, 6, corners, 2, 2, 1.0f, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(dest), lice_test::Pixels(src));

  // A 3 x 3 grid of doubles mirroring left to right: pixel x samples at its left
  // edge, 6 - x, so column 0 falls just outside the source.
  const double mirrored[] = {6, 0, 3, 0, 0, 0, 6, 3, 3, 3, 0, 3, 6, 6, 3, 6, 0, 6};
  lice_test::Fill(dest, kBackground);
  LICE_TransformBlit2(&dest, &src, 0, 0, 6, 6, mirrored, 3, 3, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 5, 2), Coordinate(1, 2));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 4), Coordinate(5, 4));
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 4), kBackground);

  lice_test::Fill(dest, kBackground);
  LICE_TransformBlit(&dest, &src, 0, 0, 6, 6, corners, 1, 2, 1.0f, BLEND_COPY);
  LICE_TransformBlit(&dest, &src, 0, 0, 6, 6, corners, 2, 1, 1.0f, BLEND_COPY);
  LICE_TransformBlit(&dest, &src, 0, 0, 6, 6, nullptr, 2, 2, 1.0f, BLEND_COPY);
  LICE_TransformBlit(&dest, &src, 0, 0, 0, 6, corners, 2, 2, 1.0f, BLEND_COPY);
  const float broken[] = {0, 0, std::numeric_limits<float>::quiet_NaN(), 0, 0, 6, 6, 6};
  LICE_TransformBlit(&dest, &src, 0, 0, 6, 6, broken, 2, 2, 1.0f, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(dest), std::vector<unsigned int>(36, kBackground));

  // With alpha triples: a grid whose alpha runs 0 to 1 left to right.
  const double withAlpha[] = {0, 0, 0.0, 8, 0, 1.0, 0, 8, 0.0, 8, 8, 1.0};
  LICE_MemBitmap white(8, 8, 4), out(8, 8, 4);
  lice_test::Fill(white, 0xFFFFFFFF);
  lice_test::Fill(out, 0);
  LICE_TransformBlit2Alpha(&out, &white, 0, 0, 8, 8, withAlpha, 2, 2, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&out, 0, 3), 0u);
  EXPECT_EQ(LICE_GetPixel(&out, 4, 3), 0x80808080u);
}

TEST(DeltaBlit, RandomWarpsStayInsideBothBitmaps)
{
  // Odd steps, starts and sizes: the sanitizer build checks that no pixel outside
  // either bitmap is touched; every build checks the destination outside the
  // rectangle is left alone.
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> step(-3.0, 3.0), bend(-0.2, 0.2), pos(-30.0, 30.0);
  std::uniform_int_distribution<int> coord(-20, 30);
  LICE_MemBitmap src(11, 9, 4), dest(20, 20, 4);
  lice_test::FillCoordinates(src);
  for (int i = 0; i < 2000; ++i)
  {
    lice_test::Fill(dest, kBackground);
    const int x = coord(rng), y = coord(rng), w = coord(rng), h = coord(rng);
    const int mode = (i & 1) ? BLEND_FILTER_BILINEAR : BLEND_SOURCE_ALPHA;
    if (i % 3 == 0)
      LICE_RotatedBlit(&dest, &src, x, y, w, h, (float)pos(rng), (float)pos(rng), (float)pos(rng), (float)pos(rng),
                       (float)step(rng), i & 2, 1.0f, mode, (float)step(rng), (float)step(rng));
    else if (i % 3 == 1)
      LICE_DeltaBlit(&dest, &src, x, y, w, h, (float)pos(rng), (float)pos(rng), (float)pos(rng), (float)pos(rng),
                     step(rng), step(rng), step(rng), step(rng), bend(rng), bend(rng), i & 2, 0.7f, mode);
    else
      LICE_DeltaBlitAlpha(&dest, &src, x, y, w, h, (float)pos(rng), (float)pos(rng), (float)pos(rng),
                          (float)pos(rng), step(rng), step(rng), step(rng), step(rng), bend(rng), bend(rng), i & 2,
                          1.0f, mode & 0xFF00, bend(rng), bend(rng), bend(rng) / 10);
    const int left = w < 0 ? x + w : x, top = h < 0 ? y + h : y;
    for (int py = 0; py < 20; ++py)
      for (int px = 0; px < 20; ++px)
        if (px < left || px >= left + std::abs(w) || py < top || py >= top + std::abs(h))
        {
          ASSERT_EQ(LICE_GetPixel(&dest, px, py), kBackground) << "request " << i;
        }
  }
}
