#include "EngineRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace
{
// SplitMix64 from seed 0 starts 0xE220A8397B1DCDAF, 0x6E789E6AA1B965F4,
// 0x06C45D188009454F (the published reference sequence); the top 31 bits are kept.
TEST(EngineRandom, FollowsTheReferenceSequenceBitForBit)
{
  EngineRandom random(0);
  EXPECT_EQ(random.Next(), static_cast<int>(0xE220A8397B1DCDAFull >> 33));
  EXPECT_EQ(random.Next(), static_cast<int>(0x6E789E6AA1B965F4ull >> 33));
  EXPECT_EQ(random.Next(), static_cast<int>(0x06C45D188009454Full >> 33));
  random.Seed(0);
  EXPECT_EQ(random.Next(), static_cast<int>(0xE220A8397B1DCDAFull >> 33));
}

TEST(EngineRandom, CoversTheWhole31BitRange)
{
  EngineRandom random(42);
  int minimum = EngineRandom::kMax;
  int maximum = 0;
  for (int i = 0; i < (1 << 20); ++i)
  {
    const int r = random.Next();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, EngineRandom::kMax);
    minimum = std::min(minimum, r);
    maximum = std::max(maximum, r);
  }
  // Both ends reached to within 1/1000 of the range: all 31 bits are live.
  EXPECT_LT(minimum, EngineRandom::kMax / 1000);
  EXPECT_GT(maximum, EngineRandom::kMax - EngineRandom::kMax / 1000);
}

TEST(EngineRandom, ClockSeedsDifferBetweenEngines)
{
  EngineRandom first;
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EngineRandom second;
  bool differs = false;
  for (int i = 0; i < 4; ++i) differs |= first.Next() != second.Next();
  EXPECT_TRUE(differs);
}
}  // namespace
