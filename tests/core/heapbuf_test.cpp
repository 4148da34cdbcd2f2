#include "heapbuf.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

TEST(HeapBuf, PageGranularityGrowsInPagesLessTheAllocatorHeader)
{
  WDL_HeapBuf hb;  // 4096
  ASSERT_NE(hb.Resize(1), nullptr);
  EXPECT_EQ(hb.GetSize(), 1);
  EXPECT_EQ(hb.GetAllocated(), 4000);

  // 4000 bytes fit without a new allocation.
  hb.Resize(4000);
  EXPECT_EQ(hb.GetAllocated(), 4000);

  hb.Resize(5000);
  EXPECT_EQ(hb.GetAllocated(), 8096);
  // 4000 + 4096 of slack + 96 reaches the second page exactly.
  EXPECT_EQ(WDL_HeapBuf::AllocationFor(4000, 4096), 8096);
  EXPECT_EQ(WDL_HeapBuf::AllocationFor(3999, 4096), 4000);

  // Slack is half the size, in whole pages, capped at 4 MiB.
  EXPECT_EQ(WDL_HeapBuf::AllocationFor(100000, 4096), ((100000 + 49152 + 96) & ~4095) - 96);
  EXPECT_EQ(WDL_HeapBuf::AllocationFor(100 << 20, 4096), (((100 << 20) + 0x400000 + 96) & ~4095) - 96);
  // A larger owner granularity sets the least slack.
  EXPECT_EQ(WDL_HeapBuf::AllocationFor(1, 16384), ((1 + 16384 + 96) & ~4095) - 96);
}

TEST(HeapBuf, SmallGranularityAddsHalfOrGranularity)
{
  WDL_HeapBuf hb(128);
  hb.Resize(10);
  EXPECT_EQ(hb.GetAllocated(), 138);
  hb.Resize(1000);
  EXPECT_EQ(hb.GetAllocated(), 1500);
}

TEST(HeapBuf, ShrinkReallocatesOnlyBelowThresholdAndWithTheFlag)
{
  WDL_HeapBuf big(128);
  big.Resize(10667);  // allocation 10667 + 5333 = 16000
  ASSERT_EQ(big.GetAllocated(), 16000);
  big.Resize(10000);
  std::memset(big.Get(), 0x5A, 100);

  big.Resize(100, false);
  EXPECT_EQ(big.GetAllocated(), 16000);
  EXPECT_EQ(big.GetSize(), 100);

  big.Resize(10000);  // back up: no reallocation needed
  EXPECT_EQ(big.GetAllocated(), 16000);
  big.Resize(100, true);  // threshold min(16000 - 512, 8000) = 8000
  EXPECT_EQ(big.GetAllocated(), 228);
  EXPECT_EQ(static_cast<unsigned char*>(big.Get())[99], 0x5A);

  // A shrink above the threshold keeps the block.
  WDL_HeapBuf keep(128);
  keep.Resize(10667);
  keep.Resize(8001, true);
  EXPECT_EQ(keep.GetAllocated(), 16000);
}

TEST(HeapBuf, ResizeToZeroFreesAndReportsNull)
{
  WDL_HeapBuf hb;
  hb.Resize(100);
  EXPECT_EQ(hb.Resize(0), nullptr);
  EXPECT_EQ(hb.GetAllocated(), 0);
  EXPECT_EQ(hb.GetSize(), 0);
  EXPECT_EQ(hb.Get(), nullptr);
  EXPECT_EQ(hb.Resize(-5), nullptr);
}

TEST(HeapBuf, GrowthKeepsContent)
{
  WDL_HeapBuf hb(16);
  auto* p = static_cast<unsigned char*>(hb.Resize(20));
  for (int i = 0; i < 20; ++i) p[i] = static_cast<unsigned char>(i);
  p = static_cast<unsigned char*>(hb.Resize(100000));
  for (int i = 0; i < 20; ++i) ASSERT_EQ(p[i], i);
}

TEST(HeapBuf, FailedGrowthKeepsOldSizeAndData)
{
  WDL_HeapBuf hb;
  auto* p = static_cast<char*>(hb.Resize(10));
  std::memcpy(p, "0123456789", 10);
  // The allocation for this size cannot be represented: the resize must fail cleanly.
  void* r = hb.Resize(INT_MAX - 10);
  EXPECT_EQ(r, p);
  EXPECT_EQ(hb.GetSize(), 10);
  EXPECT_EQ(std::memcmp(hb.Get(), "0123456789", 10), 0);
  EXPECT_EQ(hb.ResizeOK(INT_MAX - 10), nullptr);
  EXPECT_EQ(hb.GetSize(), 10);
}

TEST(HeapBuf, CopiesAreIndependent)
{
  WDL_HeapBuf a;
  std::memcpy(a.Resize(4), "abcd", 4);
  WDL_HeapBuf b(a);
  WDL_HeapBuf c;
  c = a;
  static_cast<char*>(a.Get())[0] = 'z';
  EXPECT_EQ(std::memcmp(b.Get(), "abcd", 4), 0);
  EXPECT_EQ(std::memcmp(c.Get(), "abcd", 4), 0);
  WDL_HeapBuf d(std::move(b));
  EXPECT_EQ(b.Get(), nullptr);
  EXPECT_EQ(std::memcmp(d.Get(), "abcd", 4), 0);
}

TEST(TypedBuf, AddInsertDeleteKeepOrder)
{
  WDL_TypedBuf<int> tb;
  for (int i = 0; i < 5; ++i) ASSERT_NE(tb.Add(i * 10), nullptr);
  tb.Insert(-1, 0);
  tb.Insert(99, 100);  // clamped to the end
  tb.Insert(25, 4);
  tb.Delete(1);
  tb.Delete(50);  // outside: nothing
  const int expected[] = {-1, 10, 20, 25, 30, 40, 99};
  ASSERT_EQ(tb.GetSize(), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(tb.Get()[i], expected[i]);
  EXPECT_EQ(tb.GetSizeBytes(), 7 * static_cast<int>(sizeof(int)));
}

TEST(TypedBuf, OversizedCountIsRefusedNotWrapped)
{
  WDL_TypedBuf<double> tb;
  tb.Add(1.5);
  EXPECT_EQ(tb.ResizeOK(INT_MAX / 4), nullptr);
  ASSERT_EQ(tb.GetSize(), 1);
  EXPECT_EQ(tb.Get()[0], 1.5);
}
