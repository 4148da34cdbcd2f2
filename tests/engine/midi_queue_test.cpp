#include "IMidiQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
IMidiMsg Cc(int offset, int tag)
{
  return IMidiMsg(offset, 0xB0, 1, static_cast<uint8_t>(tag));
}

// Empties the queue; returns (offset, tag) in delivery order.
std::vector<std::pair<int, int>> Drain(IMidiQueue& q)
{
  std::vector<std::pair<int, int>> out;
  while (!q.Empty())
  {
    out.emplace_back(q.Peek().mOffset, q.Peek().mData2);
    q.Remove();
  }
  return out;
}
}  // namespace

TEST(MidiQueue, KeepsOffsetOrderAndArrivalOrderOfEqualOffsets)
{
  IMidiQueue q;
  const int offsets[] = {5, 2, 7, 2, 0, 5, 9, 2};
  for (int i = 0; i < 8; ++i)
  {
    const IMidiMsg m = Cc(offsets[i], i);
    ASSERT_TRUE(q.Add(&m));
  }
  const std::vector<std::pair<int, int>> expected = {{0, 4}, {2, 1}, {2, 3}, {2, 7}, {5, 0}, {5, 5}, {7, 2}, {9, 6}};
  EXPECT_EQ(Drain(q), expected);
}

TEST(MidiQueue, FlushDropsConsumedEntriesAndShiftsTheRest)
{
  IMidiQueue q;
  for (int offset : {100, 300, 700})
  {
    const IMidiMsg m = Cc(offset, offset / 100);
    q.Add(&m);
  }
  q.Remove();  // the message at 100 was delivered in this block
  q.Flush(512);
  const std::vector<std::pair<int, int>> expected = {{300 - 512, 3}, {700 - 512, 7}};
  EXPECT_EQ(Drain(q), expected);
}

TEST(MidiQueue, GrowsByItsStepOnlyWhenCompactingFreesNothing)
{
  IMidiQueue q(512, 1024);
  ASSERT_EQ(q.GetCapacity(), 512);
  for (int i = 0; i < 512; ++i)
  {
    const IMidiMsg m = Cc(i, i & 0x7F);
    ASSERT_TRUE(q.Add(&m));
  }
  // Full, but ten entries are consumed: compacting makes room, no growth.
  for (int i = 0; i < 10; ++i) q.Remove();
  const IMidiMsg late = Cc(1000, 1);
  ASSERT_TRUE(q.Add(&late));
  EXPECT_EQ(q.GetCapacity(), 512);
  EXPECT_EQ(q.ToDo(), 503);

  // Full with nothing consumed: grows to step x (512 / step + 1) = 1024.
  for (int i = 0; i < 9; ++i) q.Add(&late);
  ASSERT_EQ(q.ToDo(), 512);
  q.Add(&late);
  EXPECT_EQ(q.GetCapacity(), 1024);
  EXPECT_EQ(q.ToDo(), 513);
}

TEST(MidiQueue, WithoutGrowStepAFullQueueDropsTheMessage)
{
  IMidiQueue q(512, 0);
  const IMidiMsg m = Cc(0, 0);
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(q.Add(&m));
  EXPECT_FALSE(q.HasRoomWithoutGrowing());
  EXPECT_FALSE(q.Add(&m));
  EXPECT_EQ(q.ToDo(), 512);
  q.Remove();
  EXPECT_TRUE(q.HasRoomWithoutGrowing());
}

TEST(MidiQueue, ResizeRoundsToPagesAndNeverShrinksBelowOnePage)
{
  IMidiQueue q(1024, 1024);
  q.Resize(64);
  EXPECT_EQ(q.GetCapacity(), 512);
  EXPECT_EQ(q.GetGrowStep(), 512);
  q.Resize(0);
  EXPECT_EQ(q.GetCapacity(), 512);
  q.Resize(513);
  EXPECT_EQ(q.GetCapacity(), 1024);
  EXPECT_EQ(q.GetGrowStep(), 1024);

  // More queued than the block needs: the queued count, rounded up, is kept.
  for (int i = 0; i < 1100; ++i)
  {
    const IMidiMsg m = Cc(i, i & 0x7F);
    ASSERT_TRUE(q.Add(&m));
  }
  for (int i = 0; i < 3; ++i) q.Remove();
  q.Resize(64);
  EXPECT_EQ(q.ToDo(), 1097);
  EXPECT_EQ(q.GetCapacity(), 1536);
  EXPECT_EQ(q.Peek().mOffset, 3);  // compacted, offsets unchanged
}
