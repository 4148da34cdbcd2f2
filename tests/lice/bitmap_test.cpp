#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(MemBitmap, EmptyUntilSizedThenSpanFollowsAlignment)
{
  LICE_MemBitmap bmp(0, 0, 4);
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getHeight(), 0);
  EXPECT_EQ(bmp.getBits(), nullptr);

  EXPECT_TRUE(bmp.resize(10, 3));
  EXPECT_EQ(bmp.getRowSpan(), 12);
  EXPECT_EQ(bmp.getAllocated(), 12 * 3 * 4);
  ASSERT_NE(bmp.getBits(), nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bmp.getBits()) % 64, 0u);
  EXPECT_FALSE(bmp.isFlipped());
  EXPECT_EQ(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.Extended(0x1234, nullptr), 0);
}

TEST(MemBitmap, LineAlignmentMasks)
{
  struct Case
  {
    unsigned linealign;
    int width, span;
  };
  // Lowest set bit minus one, capped at 16: 32 rounds with mask 16, which
  // leaves 5 alone and moves 20 to 36.
  for (Case c : {Case{0, 7, 7}, Case{1, 7, 7}, Case{6, 7, 8}, Case{4, 7, 8}, Case{8, 9, 16}, Case{32, 5, 5},
                 Case{32, 20, 36}})
  {
    LICE_MemBitmap bmp(c.width, 1, c.linealign);
    EXPECT_EQ(bmp.getRowSpan(), c.span) << c.linealign << " " << c.width;
  }
}

TEST(MemBitmap, GrowsWithHeadroomAndNeverShrinks)
{
  LICE_MemBitmap bmp(100, 100, 4);
  EXPECT_EQ(bmp.getAllocated(), 40000);
  EXPECT_TRUE(bmp.resize(120, 100));
  EXPECT_EQ(bmp.getAllocated(), 48000 + 12000);
  EXPECT_TRUE(bmp.resize(110, 120));  // span 112: 53 760 bytes fit
  EXPECT_EQ(bmp.getAllocated(), 60000);
  EXPECT_EQ(bmp.getRowSpan(), 112);

  EXPECT_FALSE(bmp.resize(110, 120));
  EXPECT_TRUE(bmp.resize(0, 5));
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getHeight(), 0);
  EXPECT_EQ(bmp.getBits(), nullptr);
}

TEST(MemBitmap, SizesBeyondTheCapsLeaveItEmpty)
{
  for (auto [w, h] : {std::pair{16385, 1}, std::pair{1, 16385}, std::pair{16384, 16384}, std::pair{0x7FFFFFFF, 2},
                      std::pair{2, 0x7FFFFFFF}, std::pair{-5, 10}})
  {
    LICE_MemBitmap bmp(4, 4, 4);
    EXPECT_TRUE(bmp.resize(w, h)) << w << "x" << h;
    EXPECT_EQ(bmp.getWidth(), 0);
    EXPECT_EQ(bmp.getHeight(), 0);
    EXPECT_EQ(bmp.getBits(), nullptr);
  }
  // 16384 x 8192 is exactly 512 MiB and allowed (the block is not touched).
  LICE_MemBitmap edge(16384, 8192, 4);
  EXPECT_EQ(edge.getWidth(), 16384);
}

TEST(SysBitmap, ContextIsZeroedAndKeptWhileTheSizeFits)
{
  LICE_SysBitmap bmp(256, 256);
  ASSERT_NE(bmp.getDC(), nullptr);
  ASSERT_NE(bmp.getBits(), nullptr);
  EXPECT_EQ(bmp.getRowSpan(), 256);
  EXPECT_EQ(LICE_GetPixel(&bmp, 255, 255), 0u);
  LICE_PutPixel(&bmp, 7, 3, 0x11223344, 1.0f, BLEND_COPY);

  HDC dc = bmp.getDC();
  unsigned int* bits = bmp.getBits();
  EXPECT_TRUE(bmp.resize(100, 50));
  EXPECT_EQ(bmp.getDC(), dc);
  EXPECT_EQ(bmp.getBits(), bits);
  EXPECT_EQ(bmp.getRowSpan(), 256);
  EXPECT_EQ(bmp.getWidth(), 100);
  EXPECT_EQ(LICE_GetPixel(&bmp, 7, 3), 0x11223344u);
  EXPECT_FALSE(bmp.resize(100, 50));
}

TEST(SysBitmap, EmptySizeDropsTheContextAndRegrowsRounded)
{
  LICE_SysBitmap bmp(8, 8);
  EXPECT_FALSE(bmp.resize(0, 10));
  EXPECT_EQ(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getBits(), nullptr);
  EXPECT_TRUE(bmp.resize(5, 1));
  EXPECT_NE(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getRowSpan(), 8);

  LICE_SysBitmap empty(0, 0);
  EXPECT_EQ(empty.getDC(), nullptr);
}

TEST(SysBitmap, SizesBeyondTheCapsLeaveItEmpty)
{
  LICE_SysBitmap bmp(4, 4);
  EXPECT_TRUE(bmp.resize(0x7FFFFFFF, 4));
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getHeight(), 0);
  EXPECT_EQ(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getBits(), nullptr);
  // Drawing into it is harmless.
  LICE_FillRect(&bmp, 0, 0, 10, 10, 0xFFFFFFFF, 1.0f, BLEND_COPY);
  EXPECT_TRUE(bmp.resize(16384, 16384));
  EXPECT_EQ(bmp.getBits(), nullptr);
}
