#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

using lice_test::FlippedBitmap;

TEST(FillRect, PackedCopyWeights)
{
  LICE_MemBitmap bmp(1, 1, 4);
  struct Case
  {
    float alpha;
    unsigned int expected;
  };
  // White over opaque black, each byte shifted before the sum.
  for (Case c : {Case{1.0f, 0xFFFFFFFF}, Case{0.5f, 0xFE7F7F7F}, Case{0.25f, 0xFD3F3F3F}, Case{0.75f, 0xFDBEBEBE}})
  {
    LICE_PutPixel(&bmp, 0, 0, 0xFF000000, 1.0f, BLEND_COPY);
    LICE_FillRect(&bmp, 0, 0, 1, 1, 0xFFFFFFFF, c.alpha, BLEND_COPY);
    EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), c.expected) << c.alpha;
  }
}

TEST(FillRect, OtherWeightsUseTheWeightAsSourceAlpha)
{
  LICE_MemBitmap bmp(1, 1, 4);
  // Alpha 0.6 is weight 153; the colour's own alpha byte plays no part.
  LICE_PutPixel(&bmp, 0, 0, 0, 1.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 1, 1, 0x00102030, 0.6f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x5C0A141Du);

  // Add at full weight adds 256 * 256 / 256 to alpha (saturating).
  LICE_PutPixel(&bmp, 0, 0, 0x00102030, 1.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 1, 1, 0x00010203, 1.0f, BLEND_ADD);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0xFF112233u);

  // HSV adjust stores the low byte of the weight as alpha: 0 at full weight.
  LICE_PutPixel(&bmp, 0, 0, 0xFF646464, 1.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 1, 1, 0x00808080, 1.0f, BLEND_HSV_ADJUST);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x00646464u);

  // Alpha 3.0 multiplies with weight 768 and alpha component 768 over 10:
  // colour (0 - 512 * 256) * 10 >> 16 = -20, stored as 0xEC; alpha
  // (768 * 768 - 512 * 256) * 10 >> 16 = 70.
  LICE_PutPixel(&bmp, 0, 0, 0x0A0A0A0A, 1.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 1, 1, 0, 3.0f, BLEND_MULTIPLY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x46ECECECu);
}

TEST(FillRect, SourceAlphaScalesTheWeight)
{
  LICE_MemBitmap bmp(1, 1, 4);
  // Colour alpha 0x80 makes weight 128: the packed half mix.
  LICE_PutPixel(&bmp, 0, 0, 0xFF000000, 1.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 1, 1, 0x80FFFFFF, 1.0f, BLEND_SOURCE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0xBF7F7F7Fu);
  // Colour alpha 0 draws nothing.
  LICE_FillRect(&bmp, 0, 0, 1, 1, 0x00FFFFFF, 1.0f, BLEND_SOURCE_ALPHA | BLEND_ADD);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0xBF7F7F7Fu);
}

TEST(FillRect, ClipsAndIgnoresNothingToDraw)
{
  LICE_MemBitmap bmp(5, 4, 4);
  lice_test::Fill(bmp, 0);
  LICE_FillRect(&bmp, -2, -1, 4, 3, 0xFFFFFFFF, 1.0f, BLEND_COPY);  // covers (0..1, 0..1)
  LICE_FillRect(&bmp, 4, 3, 100, 100, 0xFFFFFFFF, 1.0f, BLEND_COPY);  // covers (4, 3)
  std::vector<unsigned int> expected(20, 0);
  expected[0] = expected[1] = expected[5] = expected[6] = expected[19] = 0xFFFFFFFF;
  EXPECT_EQ(lice_test::Pixels(bmp), expected);

  for (auto [x, y, w, h] : {std::tuple{5, 0, 1, 1}, std::tuple{0, 4, 1, 1}, std::tuple{-1, 0, 1, 1},
                            std::tuple{0, 0, 0, 5}, std::tuple{0, 0, 5, -1}})
    LICE_FillRect(&bmp, x, y, w, h, 0x12345678, 1.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 5, 4, 0x12345678, 0.0f, BLEND_COPY);
  LICE_FillRect(&bmp, 0, 0, 5, 4, 0x12345678, std::numeric_limits<float>::quiet_NaN(), BLEND_ADD);
  LICE_FillRect(&bmp, 0, 0, 5, 4, 0x12345678, 1.0f, 7);
  EXPECT_EQ(lice_test::Pixels(bmp), expected);
  LICE_FillRect(nullptr, 0, 0, 1, 1, 0, 1.0f, BLEND_COPY);
}

TEST(RectOps, ClearRectClearAndProcessRect)
{
  FlippedBitmap bmp(3, 3);
  LICE_Clear(&bmp, 0x80FF8000);
  EXPECT_EQ(LICE_GetPixel(&bmp, 2, 2), 0x80FF8000u);
  LICE_ClearRect(&bmp, 1, 1, 5, 5, 0x00FFFFFF, 0x01000000);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x80FF8000u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 1), 0x01FF8000u);
  EXPECT_EQ(bmp.stored(2, 0), 0x01FF8000u);  // logical row 2

  // Every pixel of the clipped rectangle once, lowest memory address first.
  std::vector<unsigned int*> seen;
  LICE_ProcessRect(
      &bmp, -1, 1, 3, 9, [](unsigned int* p, void* parm) { static_cast<std::vector<unsigned int*>*>(parm)->push_back(p); },
      &seen);
  ASSERT_EQ(seen.size(), 4u);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]);
  EXPECT_EQ(seen[0], bmp.getBits());  // logical (0, 2) is memory row 0
  LICE_ProcessRect(&bmp, 0, 0, 3, 3, nullptr, nullptr);
}

TEST(RectOps, MultiplyAddRect)
{
  LICE_MemBitmap bmp(2, 1, 4);
  LICE_PutPixel(&bmp, 0, 0, 0xC8C8C8C8, 1.0f, BLEND_COPY);
  LICE_PutPixel(&bmp, 1, 0, 0x10101010, 1.0f, BLEND_COPY);
  // Red halved plus 10; green doubled; blue minus 30; alpha kept.
  LICE_MultiplyAddRect(&bmp, 0, 0, 1, 1, 0.5f, 2.0f, 1.0f, 1.0f, 10.0f, 0.0f, -30.0f, 0.0f);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0xC86EFFAAu);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x10101010u);
  LICE_MultiplyAddRect(&bmp, 0, 0, 2, 1, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, -30.0f, 0.0f);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x10101000u);
  LICE_MultiplyAddRect(&bmp, 0, 0, 2, 1, std::numeric_limits<float>::infinity(), 1, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x10101000u);

  // Large factors that cancel: inverting with an offset, 300 - 128 = 172.
  LICE_PutPixel(&bmp, 0, 0, 0x80808080, 1.0f, BLEND_COPY);
  LICE_MultiplyAddRect(&bmp, 0, 0, 1, 1, -1.0f, 1, 1, 1, 300.0f, 0, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x80AC8080u);
  // A threshold at 1.5: 40000 * v - 60000 is negative at 0 and 1 and positive at 2
  // and 255, where the product alone leaves 32 bits.
  LICE_PutPixel(&bmp, 0, 0, 0x0102FF00, 1.0f, BLEND_COPY);
  LICE_MultiplyAddRect(&bmp, 0, 0, 1, 1, 40000, 40000, 40000, 40000, -60000, -60000, -60000, -60000);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x00FFFF00u);
  // Beyond 65536 it is refused.
  LICE_MultiplyAddRect(&bmp, 0, 0, 1, 1, 70000, 1, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x00FFFF00u);
}

TEST(Pixels, GetAndPutStayInside)
{
  LICE_MemBitmap bmp(2, 2, 4);
  lice_test::Fill(bmp, 0x01020304);
  EXPECT_EQ(LICE_GetPixel(&bmp, -1, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 2), 0u);
  EXPECT_EQ(LICE_GetPixel(nullptr, 0, 0), 0u);
  for (auto [x, y] : {std::pair{-1, 0}, std::pair{2, 0}, std::pair{0, -1}, std::pair{0, 2}})
    LICE_PutPixel(&bmp, x, y, 0xFFFFFFFF, 1.0f, BLEND_COPY);
  EXPECT_EQ(lice_test::Pixels(bmp), std::vector<unsigned int>(4, 0x01020304));

  // Shapes use the colour's own alpha; packed weights as in fills.
  LICE_PutPixel(&bmp, 0, 0, 0xFFFFFFFF, 0.5f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 0), 0x7F808081u);
  LICE_PutPixel(&bmp, 1, 0, 0x80402010, 1.0f, BLEND_ADD);
  EXPECT_EQ(LICE_GetPixel(&bmp, 1, 0), 0x81422314u);
  // Copy below weight 1 draws nothing.
  LICE_PutPixel(&bmp, 0, 1, 0xFFFFFFFF, -1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&bmp, 0, 1), 0x01020304u);
}
