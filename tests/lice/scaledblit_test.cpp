#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using lice_test::Coordinate;

namespace
{
constexpr unsigned int kBackground = 0x11111111;

// Source where blue grows by 20 per column and green by 20 per row, so filtered
// samples can be worked out from the fractions.
void FillRamps(LICE_IBitmap& bmp)
{
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      LICE_PutPixel(&bmp, x, y, 0xFF640000u | (unsigned)((y * 20) & 0xFF) << 8 | (unsigned)((x * 20) & 0xFF), 1.0f,
                    BLEND_COPY);
}
}  // namespace

TEST(ScaledBlit, SameSizeFallsBackToThePlainBlit)
{
  LICE_MemBitmap src(16, 16, 4), dest(10, 10, 4);
  lice_test::FillCoordinates(src);

  // Nearest neighbour: 2.4 rounds to column 2.
  LICE_ScaledBlit(&dest, &src, 0, 0, 10, 10, 2.4f, 0.0f, 10.0f, 10.0f, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), Coordinate(2, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 9, 9), Coordinate(11, 9));

  // Filtered, 2.01 is close enough to its floor for a plain blit ...
  LICE_ScaledBlit(&dest, &src, 0, 0, 10, 10, 2.01f, 3.0f, 10.0f, 10.0f, 1.0f, BLEND_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), Coordinate(2, 3));

  // ... 2.4 is not: blue mixes columns 2 and 3 with fraction 26214 / 65536.
  LICE_MemBitmap ramps(16, 16, 4);
  FillRamps(ramps);
  LICE_ScaledBlit(&dest, &ramps, 0, 0, 10, 10, 2.4f, 0.0f, 10.0f, 10.0f, 1.0f, BLEND_FILTER_BILINEAR);
  // (40 * 39322 + 60 * 26214) >> 16 = 47
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0xFF64002Fu);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 2), 0xFF642843u);
}

TEST(ScaledBlit, SixteenDotSixteenPositions)
{
  LICE_MemBitmap src(8, 8, 4), dest(8, 1, 4);
  lice_test::FillCoordinates(src);
  // Doubling from 0.25: samples at 0.25, 0.75, 1.25, 1.75, 2.25, ...
  LICE_ScaledBlit(&dest, &src, 0, 0, 8, 1, 0.25f, 0.0f, 4.0f, 0.5f, 1.0f, BLEND_COPY);
  const int columns[] = {0, 0, 1, 1, 2, 2, 3, 3};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(LICE_GetPixel(&dest, x, 0), Coordinate(columns[x], 0)) << x;

  // A destination starting left of the bitmap starts the source further in:
  // column 0 is the fourth sample, 1.5.
  lice_test::Fill(dest, kBackground);
  LICE_ScaledBlit(&dest, &src, -3, 0, 8, 1, 0.0f, 0.0f, 4.0f, 1.0f, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), Coordinate(1, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 4, 0), Coordinate(3, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 5, 0), kBackground);

  // Half weight without filtering is the packed half mix.
  LICE_MemBitmap white(2, 2, 4), one(1, 1, 4);
  lice_test::Fill(white, 0xFFFFFFFF);
  lice_test::Fill(one, 0);
  LICE_ScaledBlit(&one, &white, 0, 0, 1, 1, 0.0f, 0.0f, 2.0f, 2.0f, 0.5f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&one, 0, 0), 0x7F7F7F7Fu);
}

TEST(ScaledBlit, BilinearAtTheLastColumnAndRow)
{
  LICE_MemBitmap src(4, 4, 4), dest(8, 8, 4);
  FillRamps(src);
  LICE_ScaledBlit(&dest, &src, 0, 0, 8, 8, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, BLEND_FILTER_BILINEAR);
  // Interior: (1.5, 0.5) -> blue between 20 and 40, green between 0 and 20.
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 1), 0xFF640A1Eu);
  // Last column: only the vertical pair, blue stays 60.
  EXPECT_EQ(LICE_GetPixel(&dest, 7, 1), 0xFF640A3Cu);
  // Last row: only the horizontal pair, green stays 60.
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 7), 0xFF643C1Eu);
  // Last column of the last row: the pixel itself.
  EXPECT_EQ(LICE_GetPixel(&dest, 7, 7), 0xFF643C3Cu);
}

TEST(ScaledBlit, ShrinkingChoosesTheFilter)
{
  // A single bright pixel at (11, 10) in black: the 3 x 3 box spreads it as 90 / 9,
  // the 5 x 5 box as 90 / 25, and plain bilinear sampling near (10, 10) misses it.
  LICE_MemBitmap src(100, 100, 4);
  lice_test::Fill(src, 0xFF000000);
  LICE_PutPixel(&src, 11, 10, 0xFF00005A, 1.0f, BLEND_COPY);

  LICE_MemBitmap to40(40, 40, 4), to20(20, 20, 4), to60(60, 60, 4);
  LICE_ScaledBlit(&to40, &src, 0, 0, 40, 40, 0.0f, 0.0f, 100.0f, 100.0f, 1.0f, BLEND_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&to40, 4, 4), 0xFF00000Au);  // centre (10, 10)
  LICE_ScaledBlit(&to20, &src, 0, 0, 20, 20, 0.0f, 0.0f, 100.0f, 100.0f, 1.0f, BLEND_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&to20, 2, 2), 0xFF000003u);  // centre (10, 10)

  LICE_PutPixel(&src, 11, 10, 0xFF000000, 1.0f, BLEND_COPY);
  LICE_PutPixel(&src, 10, 10, 0xFF00005A, 1.0f, BLEND_COPY);
  LICE_ScaledBlit(&to60, &src, 0, 0, 60, 60, 0.0f, 0.0f, 100.0f, 100.0f, 1.0f, BLEND_FILTER_BILINEAR);
  // (6, 6) samples (9.99994, 9.99994): weight 65528 / 65536 on (10, 10).
  EXPECT_EQ(LICE_GetPixel(&to60, 6, 6), 0xFF000059u);
}

TEST(ScaledBlit, SourceBeyondTheBitmapStillDrawsItsLastColumn)
{
  // Twice the size from a rectangle twice as wide as the bitmap: the samples at
  // 9.0 and 9.5 both take column 9; the ones past it leave the background.
  LICE_MemBitmap src(10, 1, 4), dest(40, 1, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  LICE_ScaledBlit(&dest, &src, 0, 0, 40, 1, 0.0f, 0.0f, 20.0f, 0.5f, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 18, 0), Coordinate(9, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 19, 0), Coordinate(9, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 20, 0), kBackground);
}

TEST(ScaledBlit, MirroredBlitsStayInsideTheSource)
{
  LICE_MemBitmap src(4, 1, 4), dest(8, 1, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  LICE_ScaledBlit(&dest, &src, 8, 0, -8, 1, 0.0f, 0.0f, 4.0f, 1.0f, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), Coordinate(3, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 7, 0), Coordinate(0, 0));

  // Mirrored requests far off the source on either side draw nothing and read
  // nothing outside it (checked by the sanitizer build).
  lice_test::Fill(dest, kBackground);
  LICE_ScaledBlit(&dest, &src, 0, 0, 8, 1, 100.0f, 0.0f, -50.0f, 1.0f, 1.0f, BLEND_FILTER_BILINEAR);
  LICE_ScaledBlit(&dest, &src, 8, 0, -8, 1, -40.0f, 0.0f, 20.0f, 1.0f, 1.0f, BLEND_FILTER_BILINEAR);
  EXPECT_EQ(lice_test::Pixels(dest), std::vector<unsigned int>(8, kBackground));
}

TEST(ScaledBlit, RefusesEmptySourcesAndUnsaneArguments)
{
  LICE_MemBitmap src(4, 4, 4), dest(4, 4, 4);
  lice_test::FillCoordinates(src);
  lice_test::Fill(dest, kBackground);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 0.0f, 4.0f, 1.0f, BLEND_COPY);
  LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, -0.0f, 1.0f, BLEND_FILTER_BILINEAR);
  LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, nan, 0.0f, 4.0f, 4.0f, 1.0f, BLEND_COPY);
  LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, inf, 4.0f, 1.0f, BLEND_COPY);
  LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0.0f, -1e30f, 4.0f, 4.0f, 1.0f, BLEND_COPY);
  LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 2.0f, 2.0f, nan, BLEND_COPY);
  LICE_ScaledBlit(&dest, &src, 0, 0, 0x7FFFFFFF, 4, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(dest), std::vector<unsigned int>(16, kBackground));
}

TEST(ScaledBlit, RandomRequestsNeverTouchOutsideTheirRectangle)
{
  // Property check over many odd requests: nothing outside the destination
  // rectangle changes, and nothing is read outside the source (sanitizer build).
  std::mt19937 rng(1234);
  std::uniform_real_distribution<float> pos(-40.0f, 40.0f);
  std::uniform_int_distribution<int> size(-30, 30);
  const int modes[] = {0, 0x100, 0x10000, 0x10100, 1, 0x10101, 4};
  LICE_MemBitmap src(13, 7, 4), dest(24, 24, 4);
  lice_test::FillCoordinates(src);
  for (int i = 0; i < 3000; ++i)
  {
    lice_test::Fill(dest, kBackground);
    const int x = size(rng) / 2 + 8, y = size(rng) / 2 + 8, w = size(rng) / 3, h = size(rng) / 3;
    const float sx = pos(rng), sy = pos(rng) / 4, sw = pos(rng), sh = pos(rng) / 2;
    LICE_ScaledBlit(&dest, &src, x, y, w, h, sx, sy, sw, sh, (i % 3) ? 1.0f : 0.5f, modes[i % 7]);
    const int left = w < 0 ? x + w : x, top = h < 0 ? y + h : y;
    for (int py = 0; py < 24; ++py)
      for (int px = 0; px < 24; ++px)
      {
        const bool inside = px >= left && px < left + std::abs(w) && py >= top && py < top + std::abs(h);
        if (!inside)
        {
          ASSERT_EQ(LICE_GetPixel(&dest, px, py), kBackground) << "request " << i;
        }
      }
  }
}

namespace
{
struct ScaledRequest
{
  int dstx, dsty, dstw, dsth;
  float srcx, srcy, srcw, srch;
};

// The source pixel that the scaled blit's 16.16 stepping picks for each
// destination pixel, nearest neighbour, worked out from the clipping and stepping
// rules for positive sizes: -1 where the destination pixel is left alone.
std::vector<int> ExpectedNearestSources(const ScaledRequest& r, int destW, int destH, int srcW, int srcH)
{
  std::vector<int> out((size_t)destW * destH, -1);
  int dstx = r.dstx, dsty = r.dsty, dstw = r.dstw, dsth = r.dsth;
  float srcx = r.srcx, srcy = r.srcy;
  const float xadvance = r.srcw / dstw, yadvance = r.srch / dsth;
  if (dstx < 0) srcx += -dstx * xadvance, dstw += dstx, dstx = 0;
  if (dsty < 0) srcy += -dsty * yadvance, dsth += dsty, dsty = 0;
  if (dstw <= 0 || dsth <= 0 || dstx >= destW || dsty >= destH) return out;
  dstw = std::min(dstw, destW - dstx);
  dsth = std::min(dsth, destH - dsty);
  const double dx = std::floor((double)xadvance * 65536), dy = std::floor((double)yadvance * 65536);
  double sx = std::floor((double)srcx * 65536), sy = std::floor((double)srcy * 65536);
  const auto skipBefore = [](int& pos, int& len, double& s, double step) {
    if (s >= 0) return;
    const int n = (int)((step - 1 - s) / step);
    pos += n, len -= n, s += n * step;
  };
  skipBefore(dstx, dstw, sx, dx);
  skipBefore(dsty, dsth, sy, dy);
  if (dstw <= 0 || dsth <= 0) return out;
  const int left = (int)(sx / 65536), right = std::min(srcW, (int)(srcx + r.srcw + 0.999999));
  const int top = (int)(sy / 65536), bottom = std::min(srcH, (int)(srcy + r.srch + 0.999999));
  for (int y = 0; y < dsth; ++y)
    for (int x = 0; x < dstw; ++x)
    {
      const int col = (int)((sx + x * dx) / 65536), row = (int)((sy + y * dy) / 65536);
      if (col >= left && col < right && row >= top && row < bottom)
        out[(size_t)(dsty + y) * destW + dstx + x] = row * srcW + col;
    }
  return out;
}
}  // namespace

TEST(ScaledBlit, ClippedOnEveryEdgeSamplesTheSteppedSourcePixels)
{
  // Unequal scales (0.7 and 1.3 source pixels per destination pixel, and their
  // inverses), the destination cut on each edge in turn, on all at once, and the
  // source rectangle starting left of and above the source bitmap.
  const ScaledRequest requests[] = {
      {-4, 2, 10, 6, 1.25f, 0.5f, 7.0f, 7.8f},       // left
      {3, -3, 10, 6, 1.25f, 0.5f, 7.0f, 7.8f},       // top
      {12, 2, 10, 6, 1.25f, 0.5f, 7.0f, 7.8f},       // right
      {3, 9, 10, 6, 1.25f, 0.5f, 7.0f, 7.8f},        // bottom
      {-3, -5, 22, 20, 2.3f, 1.1f, 15.4f, 26.0f},    // every edge
      {-2, -1, 20, 15, 0.6f, 3.7f, 26.0f, 10.5f},    // every edge, the other way round
      {1, 1, 12, 9, -2.6f, -1.7f, 8.4f, 11.7f},      // source starts outside its bitmap
      {-5, -4, 30, 20, -3.1f, -2.9f, 21.0f, 26.0f},  // both at once
  };
  const int modes[] = {BLEND_COPY, BLEND_COPY | BLEND_SOURCE_ALPHA};
  LICE_MemBitmap src(32, 32, 4), dest(16, 12, 4);
  lice_test::FillCoordinates(src);
  for (int mode : modes)
    for (const ScaledRequest& r : requests)
    {
      lice_test::Fill(dest, kBackground);
      LICE_ScaledBlit(&dest, &src, r.dstx, r.dsty, r.dstw, r.dsth, r.srcx, r.srcy, r.srcw, r.srch, 1.0f, mode);
      const std::vector<int> expected = ExpectedNearestSources(r, 16, 12, 32, 32);
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
        {
          const int i = expected[(size_t)y * 16 + x];
          const unsigned int want = i < 0 ? kBackground : Coordinate(i % 32, i / 32);
          ASSERT_EQ(LICE_GetPixel(&dest, x, y), want)
              << "mode " << mode << " request at (" << r.dstx << ", " << r.dsty << ") pixel (" << x << ", " << y << ")";
        }
    }

  // Worked by hand for the left cut: four columns of 0.7 move the start to
  // 1.25 + 2.8 = 4.05, so destination (0, 2) takes source (4, 0) and (1, 2)
  // takes (4.75 -> 4, 0); rows step by 1.3: destination row 4 samples 0.5 + 2.6.
  lice_test::Fill(dest, kBackground);
  LICE_ScaledBlit(&dest, &src, -4, 2, 10, 6, 1.25f, 0.5f, 7.0f, 7.8f, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 2), Coordinate(4, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 2), Coordinate(4, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 4), Coordinate(5, 3));
  EXPECT_EQ(LICE_GetPixel(&dest, 6, 2), kBackground);
  // Source left of its bitmap: 0.7 per column from -2.6 reaches column 0 at the
  // fifth destination column (-2.6 + 2.8 = 0.2); rows of 1.3 from -1.7 reach row 0
  // at the third (-1.7 + 2.6 = 0.9).
  lice_test::Fill(dest, kBackground);
  LICE_ScaledBlit(&dest, &src, 1, 1, 12, 9, -2.6f, -1.7f, 8.4f, 11.7f, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 4, 3), kBackground);
  EXPECT_EQ(LICE_GetPixel(&dest, 5, 2), kBackground);
  EXPECT_EQ(LICE_GetPixel(&dest, 5, 3), Coordinate(0, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 6, 4), Coordinate(0, 2));
}
