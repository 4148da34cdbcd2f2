#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// The vectorised paths must give exactly what the per-pixel rules give.

TEST(FastPaths, SourceAlphaBlitMatchesThePixelRule)
{
  std::mt19937 rng(7);
  std::uniform_int_distribution<unsigned int> any;
  for (int width : {1, 3, 4, 5, 13, 64})
  {
    LICE_MemBitmap src(width, 9, 4), dest(width, 9, 4);
    std::vector<unsigned int> before;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < width; ++x)
      {
        unsigned int s = any(rng);
        // Rows of all-transparent and all-opaque runs as well as mixed ones.
        if (y == 2) s &= 0x00FFFFFF;
        if (y == 3) s |= 0xFF000000;
        if (y == 4 && x % 2) s &= 0x00FFFFFF;
        LICE_PutPixel(&src, x, y, s, 1.0f, BLEND_COPY);
        const unsigned int d = any(rng);
        LICE_PutPixel(&dest, x, y, d, 1.0f, BLEND_COPY);
        before.push_back(d);
      }
    LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, BLEND_SOURCE_ALPHA);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < width; ++x)
      {
        const unsigned int expected =
            LICE_CombinePixels(before[(size_t)y * width + x], LICE_GetPixel(&src, x, y), 1.0f, BLEND_SOURCE_ALPHA);
        ASSERT_EQ(LICE_GetPixel(&dest, x, y), expected) << width << ": " << x << "," << y;
      }
  }
}

TEST(FastPaths, BilinearCopyMatchesTheGeneralLoop)
{
  // On an opaque source the full-weight source-alpha rule stores the sample as
  // it is, through the general per-operation loop: both paths must agree.
  std::mt19937 rng(11);
  std::uniform_int_distribution<unsigned int> any;
  std::uniform_real_distribution<float> scale(0.3f, 1.65f), offset(-6.0f, 6.0f);
  LICE_MemBitmap src(23, 17, 4);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x) LICE_PutPixel(&src, x, y, any(rng) | 0xFF000000, 1.0f, BLEND_COPY);

  for (int i = 0; i < 300; ++i)
  {
    LICE_MemBitmap fast(40, 30, 4), general(40, 30, 4);
    lice_test::Fill(fast, 0x12345678);
    lice_test::Fill(general, 0x12345678);
    const float sx = offset(rng), sy = offset(rng), sw = 23.0f * scale(rng), sh = 17.0f * scale(rng);
    const int dx = (int)offset(rng), dy = (int)offset(rng), dw = 9 + (int)(any(rng) % 40), dh = 5 + (int)(any(rng) % 30);
    LICE_ScaledBlit(&fast, &src, dx, dy, dw, dh, sx, sy, sw, sh, 1.0f, BLEND_FILTER_BILINEAR);
    LICE_ScaledBlit(&general, &src, dx, dy, dw, dh, sx, sy, sw, sh, 1.0f, BLEND_FILTER_BILINEAR | BLEND_SOURCE_ALPHA);
    ASSERT_EQ(lice_test::Pixels(fast), lice_test::Pixels(general)) << "request " << i;
  }
}

TEST(FastPaths, WideFillsAndHalfBlits)
{
  LICE_MemBitmap bmp(11, 2, 4);
  lice_test::Fill(bmp, 0);
  LICE_FillRect(&bmp, 1, 0, 9, 1, 0xA1B2C3D4, 1.0f, BLEND_COPY);
  for (int x = 0; x < 11; ++x)
  {
    EXPECT_EQ(LICE_GetPixel(&bmp, x, 0), (x >= 1 && x <= 9) ? 0xA1B2C3D4u : 0u) << x;
    EXPECT_EQ(LICE_GetPixel(&bmp, x, 1), 0u) << x;
  }
}
