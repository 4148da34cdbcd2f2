#include "lice.h"
#include "lice_combine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

// Expected values are worked out by hand from the per-channel rules; the
// destination is A=50 R=200 G=100 B=0 and the source A=128 R=50 G=150 B=255
// unless a test says otherwise.
namespace
{
constexpr unsigned int kDest = 0x32C86400;
constexpr unsigned int kSrc = 0x803296FF;

unsigned int Combine(float alpha, int mode, unsigned int src = kSrc, unsigned int dest = kDest)
{
  return LICE_CombinePixels(dest, src, alpha, mode);
}
}  // namespace

TEST(Combine, CopyAtSeveralWeights)
{
  EXPECT_EQ(Combine(1.0f, BLEND_COPY), kSrc);
  // (d - s) * 128 / 256 truncates toward zero: blue 255 - 127 = 128.
  EXPECT_EQ(Combine(0.5f, BLEND_COPY), 0x597D7D80u);
  EXPECT_EQ(Combine(0.25f, BLEND_COPY), 0x46A27140u);
  // Weight 0 and negative weights leave the pixel.
  EXPECT_EQ(Combine(0.001f, BLEND_COPY), kDest);
  EXPECT_EQ(Combine(-0.5f, BLEND_COPY), kDest);
}

TEST(Combine, AddAtSeveralWeightsIncludingNegative)
{
  EXPECT_EQ(Combine(1.0f, BLEND_ADD), 0xB2FAFAFFu);
  EXPECT_EQ(Combine(0.5f, BLEND_ADD), 0x72E1AF7Fu);
  // A negative weight subtracts, clamped at 0.
  EXPECT_EQ(Combine(-0.5f, BLEND_ADD), 0x00AF1900u);
}

TEST(Combine, ColorDodge)
{
  EXPECT_EQ(Combine(1.0f, BLEND_DODGE), 0x64F8F100u);
  EXPECT_EQ(Combine(0.5f, BLEND_DODGE), 0x42DD8D00u);
  // s * w / 256 >= 255 saturates every non-zero byte and keeps 0 at 0.
  EXPECT_EQ(Combine(1.0f, BLEND_DODGE, 0xFFFFFFFF, 0x01800000), 0xFFFF0000u);
}

TEST(Combine, Multiply)
{
  EXPECT_EQ(Combine(1.0f, BLEND_MULTIPLY), 0x19273A00u);
  EXPECT_EQ(Combine(0.5f, BLEND_MULTIPLY), 0x25774F00u);
  // Full weight with 255 scales by 255/256: 255 becomes 254.
  EXPECT_EQ(Combine(1.0f, BLEND_MULTIPLY, 0xFFFFFFFF, 0xFFFFFFFF), 0xFEFEFEFEu);
}

TEST(Combine, Overlay)
{
  EXPECT_EQ(Combine(1.0f, BLEND_OVERLAY), 0x32AD6E00u);
  EXPECT_EQ(Combine(0.5f, BLEND_OVERLAY), 0x32BA6900u);
  // A source of 128 at full weight leaves the destination.
  EXPECT_EQ(Combine(1.0f, BLEND_OVERLAY, 0x80808080, 0x12345678), 0x12345678u);
}

TEST(Combine, HSVAdjust)
{
  // Neutral source: the destination's colour through the HSV round trip
  // (hue 31, saturation 254, value 200), alpha replaced by the source's.
  EXPECT_EQ(Combine(1.0f, BLEND_HSV_ADJUST, 0x4D808080), 0x4DC86101u);
  // Red 255 turns the hue by 190 (into the blue sector).
  EXPECT_EQ(Combine(1.0f, BLEND_HSV_ADJUST, 0xFFFF8080), 0xFF016EC8u);
  // Half weight: hue + 95, saturation up to 255, value down by 128.
  EXPECT_EQ(Combine(0.5f, BLEND_HSV_ADJUST, 0x0AFFFF00), 0x0A024800u);
  // Grey has no saturation: turning the hue changes nothing.
  EXPECT_EQ(Combine(1.0f, BLEND_HSV_ADJUST, 0xFFFF8080, 0x00646464), 0xFF646464u);
}

TEST(Combine, SourceAlphaCopy)
{
  // Weight 128 with source alpha 128: w' = 128 * 129 / 256 = 64; alpha adds w'.
  EXPECT_EQ(Combine(0.5f, BLEND_SOURCE_ALPHA | BLEND_COPY), 0x72A27140u);
  // Full weight scales by 255 - a over 256, alpha adds a.
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY), 0xB27C7E81u);
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY, 0xFF3296FF), 0xFF3296FFu);
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY, 0x803296FF, 0xC8000000) >> 24, 255u);
  // A transparent source pixel is skipped at any weight.
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY, 0x00FFFFFF), kDest);
  EXPECT_EQ(Combine(0.5f, BLEND_SOURCE_ALPHA | BLEND_COPY, 0x00FFFFFF), kDest);
}

TEST(Combine, SourceAlphaTwins)
{
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_ADD), 0x72E1AF80u);
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_MULTIPLY), 0x25764F00u);
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_OVERLAY), 0x32BA6900u);
  // Add and multiply skip transparent pixels ...
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_ADD, 0x00FFFFFF), kDest);
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_MULTIPLY, 0x00000000), kDest);
  // ... dodge does not: weight 4096 * 1 / 256 = 16 still brightens red.
  EXPECT_EQ(Combine(16.0f, BLEND_SOURCE_ALPHA | BLEND_DODGE, 0x00FF0000), 0x32D46400u);
  // ... nor does HSV adjust, which stores the source alpha of 0.
  EXPECT_EQ(Combine(1.0f, BLEND_SOURCE_ALPHA | BLEND_HSV_ADJUST, 0x00808080), 0x00C86101u);
}

TEST(Combine, UnknownModesAndWeightZeroKeepTheDestination)
{
  for (int mode : {6, 0xFF, 0x10006, 0x10010})
    EXPECT_EQ(Combine(1.0f, mode), kDest) << mode;
  for (int mode : {BLEND_ADD, BLEND_MULTIPLY, BLEND_HSV_ADJUST, BLEND_SOURCE_ALPHA | BLEND_DODGE})
    EXPECT_EQ(Combine(0.0f, mode), kDest) << mode;
}

TEST(Combine, NonFiniteAndHugeAlpha)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(Combine(nan, BLEND_ADD), kDest);
  EXPECT_EQ(Combine(inf, BLEND_COPY), kDest);
  EXPECT_EQ(Combine(-inf, BLEND_ADD), kDest);
  // Beyond the clamp, add simply saturates where the source has anything.
  EXPECT_EQ(Combine(1e30f, BLEND_ADD, 0x20202000, 0x00000000), 0xFFFFFF00u);
  EXPECT_EQ(Combine(-1e30f, BLEND_ADD, 0x20202000, 0xFFFFFFFF), 0x000000FFu);
  // The clamp is at 16: a source byte of 1 adds 16, not 1e30 / 256.
  EXPECT_EQ(Combine(1e30f, BLEND_ADD, 0x00000001, 0x00000000), 0x00000010u);
}

TEST(Combine, ExtremeWeightsStayWithinIntegerRange)
{
  // Run under the undefined-behaviour sanitizer this catches any overflow in the
  // rules; in every build the results must stay plain bytes.
  const int modes[] = {0, 1, 2, 3, 4, 5, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005};
  const unsigned int pixels[] = {0x00000000, 0xFFFFFFFF, 0x80FF0080, 0x7F00FF7F, 0x01020304};
  for (int mode : modes)
    for (float alpha : {-16.0f, -1.0f, 2.0f, 16.0f, 1e9f})
      for (unsigned int s : pixels)
        for (unsigned int d : pixels)
        {
          unsigned int out = LICE_CombinePixels(d, s, alpha, mode);
          unsigned int p = d;
          for (int big : {INT_MIN, -(1 << 30), 1 << 30, INT_MAX})
          {
            LICE_CombinePixels2(&p, big, -(big / 2), 255, big, big, mode);
            LICE_CombinePixels2Clamp(&p, -(big / 2), big, 0, big / 3, big, mode);
            LICE_CombinePixels2Clamp(&p, big, big, big, big, 300, mode);
          }
          (void)out;
        }
  SUCCEED();
}

TEST(Combine, ComponentFormsStoreOrClamp)
{
  unsigned int p = 0;
  LICE_CombinePixels2(&p, 0x12, 0x34, 0x56, 0x78, 256, BLEND_COPY);
  EXPECT_EQ(p, 0x78123456u);
  // Out-of-range components: the plain form keeps the low byte, the clamped form saturates.
  p = 0;
  LICE_CombinePixels2(&p, 300, 10, 20, 255, 256, BLEND_COPY);
  EXPECT_EQ(p, 0xFF2C0A14u);
  p = 0;
  LICE_CombinePixels2Clamp(&p, 300, -20, 128, 255, 256, BLEND_COPY);
  EXPECT_EQ(p, 0xFFFF0080u);
  // 400 + (0 - 400) * 128 / 256 = 200.
  p = 0;
  LICE_CombinePixels2Clamp(&p, 400, 0, 0, 0, 128, BLEND_COPY);
  EXPECT_EQ(p, 0x00C80000u);
  // Copy below weight 1 and weight 0 change nothing.
  p = 0x11111111;
  LICE_CombinePixels2(&p, 0, 0, 0, 0, -5, BLEND_COPY);
  LICE_CombinePixels2Clamp(&p, 0, 0, 0, 0, 0, BLEND_MULTIPLY);
  EXPECT_EQ(p, 0x11111111u);
  LICE_CombinePixels2(nullptr, 0, 0, 0, 0, 256, BLEND_COPY);
}

TEST(Combine, ComponentFormsApplyTheRulesToAnyInteger)
{
  // Worked by hand from the rules with the components as given, never bounded first.
  const auto clamp = [](unsigned int dest, int r, int g, int b, int a, int w, int mode) {
    LICE_CombinePixels2Clamp(&dest, r, g, b, a, w, mode);
    return dest;
  };
  // Copy: 765 + (0 - 765) * 231 / 256 = 75; alpha 25 - 25 * 231 / 256 = 3.
  EXPECT_EQ(clamp(0, 765, 0, 0, 25, 25, BLEND_COPY), 0x034B0000u);
  // Red: INT_MAX + (128 - INT_MAX) * 255 / 256 is far above 255, green far below 0;
  // blue 0 + 128 * 255 / 256 = 127.
  EXPECT_EQ(clamp(0x00808080, INT_MAX, INT_MIN, 0, 0, 1, BLEND_COPY), 0x00FF007Fu);
  // A weight beyond 16 times full: 100 + (101 - 100) * (256 - 5000) / 256 = 82.
  EXPECT_EQ(clamp(0x00650000, 100, 0, 0, 0, 5000, BLEND_COPY) >> 16, 82u);
  // Multiply, 1020 at weight 64 over 50: (65280 + 49152) * 50 >> 16 = 87.
  EXPECT_EQ(clamp(0x00320000, 1020, 0, 0, 0, 64, BLEND_MULTIPLY) >> 16, 87u);
  // Overlay, 600 at weight 64 over 100: x = 62976, ((32768 - x) * 100 / 256 + x) * 100 >> 15 = 156.
  EXPECT_EQ(clamp(0x00640000, 600, 0, 0, 0, 64, BLEND_OVERLAY) >> 16, 156u);
  // Add with a weight far below zero subtracts everything the source has.
  EXPECT_EQ(clamp(0xFFFFFFFF, 1, 0, 1, 0, INT_MIN, BLEND_ADD), 0xFF00FF00u);

  // The plain form stores the low byte: 1000 + (0 - 1000) * 128 / 256 = 500 = 0x1F4.
  unsigned int p = 0;
  LICE_CombinePixels2(&p, 1000, 0, 0, 0, 128, BLEND_COPY);
  EXPECT_EQ(p, 0x00F40000u);
}

TEST(Combine, InverseTable)
{
  EXPECT_EQ(_LICE_RGB2HSV_invtab[0], 0);
  EXPECT_EQ(_LICE_RGB2HSV_invtab[1], 65535);
  EXPECT_EQ(_LICE_RGB2HSV_invtab[200], 326);
  EXPECT_EQ(_LICE_RGB2HSV_invtab[255], 256);
}
