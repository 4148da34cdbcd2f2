#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sample_rate_scope.h"
#include "shiver_test_support.h"

using namespace shiver_test;

namespace
{
TEST(ShiverWalk, TuneFactorStaysWithinOneSemitoneAndReachesBothSides)
{
  TuneRig rig(4);
  rig.shiver.SetSpeed(0, 100.0);
  rig.shiver.SetSpeed(1, 100.0);
  rig.shiver.SetAmount(0, 1.0);
  rig.shiver.SetAmount(1, 1.0);
  double lowest = 1.0;
  double highest = 1.0;
  for (int n = 0; n < 200000; ++n)
  {
    rig.shiver.Process();
    for (int v = 0; v < 4; ++v)
      for (int s = 0; s < 2; ++s)
      {
        const double f = rig.voices[v].value[s];
        ASSERT_GE(f, std::pow(2.0, -1.0 / 12.0) - 1e-12);
        ASSERT_LE(f, std::pow(2.0, 1.0 / 12.0) + 1e-12);
        lowest = std::min(lowest, f);
        highest = std::max(highest, f);
      }
  }
  // A semitone down is 0.9439, up 1.0595; hundreds of segments get close to both.
  EXPECT_LT(lowest, 0.95);
  EXPECT_GT(highest, 1.05);
  // Voices beyond the active ones are never touched.
  EXPECT_EQ(rig.voices[4].pushes[0], 0);
}

// Lengths of the straight segments of slot 0 of voice 0, found where the
// per-sample step of the pushed value changes.
std::vector<int> SegmentLengths(TuneRig& rig, int samples)
{
  std::vector<int> lengths;
  double previousValue = 1.0;
  double previousStep = 0.0;
  int length = 0;
  for (int n = 0; n < samples; ++n)
  {
    rig.shiver.Process();
    const double value = rig.voices[0].value[0];
    const double step = value - previousValue;
    if (n > 0 && std::fabs(step - previousStep) > 1e-11)
    {
      lengths.push_back(length);
      length = 0;
    }
    ++length;
    previousValue = value;
    previousStep = step;
  }
  return lengths;
}

TEST(ShiverWalk, SegmentsLastTheBasePeriodPlusOrMinusHalf)
{
  // 8 Hz at 48 kHz: 6000 samples +- 3000, uniform.
  TuneRig rig;
  rig.shiver.SetSpeed(0, 8.0);
  rig.shiver.SetAmount(0, 1.0);
  EXPECT_EQ(rig.shiver.GetBasePeriod(0), 6000);
  const std::vector<int> lengths = SegmentLengths(rig, 1200000);
  ASSERT_GT(lengths.size(), 170u);
  double sum = 0.0;
  for (int length : lengths)
  {
    EXPECT_GE(length, 3000);
    EXPECT_LE(length, 9000);
    sum += length;
  }
  // Uniform over [3000, 9000]: sd 1732, so the mean of 170+ lies within 6000 +- 600.
  EXPECT_NEAR(sum / lengths.size(), 6000.0, 600.0);
  EXPECT_LT(*std::min_element(lengths.begin(), lengths.end()), 3600);
  EXPECT_GT(*std::max_element(lengths.begin(), lengths.end()), 8400);
}

TEST(ShiverWalk, SpeedChangesStretchTheRunningSegment)
{
  TuneRig rig;
  rig.shiver.SetAmount(0, 1.0);  // 8 Hz from construction: the first segment is >= 3000 samples
  double before = 0.0;
  double last = 1.0;
  for (int n = 0; n < 1000; ++n)
  {
    rig.shiver.Process();
    before = rig.voices[0].value[0] - last;
    last = rig.voices[0].value[0];
  }
  ASSERT_NE(before, 0.0);
  // Twice the speed: the rest of the segment in half the samples, twice the step.
  rig.shiver.SetSpeed(0, 16.0);
  rig.shiver.Process();
  EXPECT_NEAR(rig.voices[0].value[0] - last, 2.0 * before, 1e-9 * std::fabs(before) + 1e-15);
  EXPECT_EQ(rig.shiver.GetBasePeriod(0), 3000);

  // Doubling the sample rate doubles the base period and halves the step.
  last = rig.voices[0].value[0];
  rig.shiver.Process();
  before = rig.voices[0].value[0] - last;
  last = rig.voices[0].value[0];
  SampleRateScope rate(96000.0);
  rig.shiver.UpdateSampleRate();
  EXPECT_EQ(rig.shiver.GetBasePeriod(0), 6000);
  rig.shiver.Process();
  EXPECT_NEAR(rig.voices[0].value[0] - last, 0.5 * before, 1e-9 * std::fabs(before) + 1e-15);
}

TEST(ShiverWalk, ZeroAmountPushesTheRestValueOnceThenFreezes)
{
  TuneRig rig(2);
  rig.shiver.SetAmount(0, 1.0);
  rig.shiver.SetAmount(1, 1.0);
  for (int n = 0; n < 100; ++n) rig.shiver.Process();
  ASSERT_NE(rig.voices[0].value[0], 1.0);

  rig.shiver.SetAmount(0, 0.0);
  rig.shiver.Process();
  EXPECT_EQ(rig.voices[0].value[0], 1.0);
  EXPECT_EQ(rig.voices[1].value[0], 1.0);
  const int pushes = rig.voices[0].pushes[0];
  for (int n = 0; n < 10; ++n) rig.shiver.Process();
  EXPECT_EQ(rig.voices[0].pushes[0], pushes);
  EXPECT_EQ(rig.voices[0].pushes[1], pushes + 10);  // slot 1 walks on

  // A voice that starts while its slot is at rest gets the rest value at once.
  rig.voices[5].active = true;
  rig.shiver.OnVoiceActivation(5);
  EXPECT_EQ(rig.voices[5].value[0], 1.0);
  EXPECT_EQ(rig.voices[5].pushes[1], 0);  // a walking slot pushes on the next sample
}

TEST(ShiverWalk, PanWalksWithinItsBaseRangeAndBounds)
{
  // Base 0.9, amount 0.5: down to 0.4, up to the bound 1.0.
  Rig<PShiverWBase> rig(1, 11, 0.0, 1.0);
  rig.shiver.SetBaseValue(0, 0.9);
  rig.shiver.SetSpeed(0, 100.0);
  rig.shiver.SetAmount(0, 0.5);
  double lowest = 1.0;
  double highest = 0.0;
  for (int n = 0; n < 200000; ++n)
  {
    rig.shiver.Process();
    const double pan = rig.voices[0].value[0];
    ASSERT_GE(pan, 0.4 - 1e-12);
    ASSERT_LE(pan, 1.0);
    lowest = std::min(lowest, pan);
    highest = std::max(highest, pan);
  }
  EXPECT_LT(lowest, 0.45);
  EXPECT_GT(highest, 0.99);
}

TEST(ShiverWalk, BaseValueWithoutAmountReachesEveryVoice)
{
  Rig<BendShiver> rig(1, 3);
  rig.shiver.SetBaseValue(1, 0.5);
  // Silent voices too: a frozen walk would not push it later.
  for (const FakeVoice& voice : rig.voices)
    EXPECT_DOUBLE_EQ(voice.value[1], 1.0 + 99.0 * 0.0625);
  rig.shiver.SetBaseValue(1, -0.5);
  EXPECT_DOUBLE_EQ(rig.voices[31].value[1], 1.0 - 0.4975);
  rig.shiver.SetBaseValue(1, 0.0);
  EXPECT_EQ(rig.voices[31].value[1], 1.0);

  EXPECT_DOUBLE_EQ(BendShiver::ExponentFor(1.0), 100.0);
  EXPECT_NEAR(BendShiver::ExponentFor(-1.0), 0.005, 1e-15);
}

TEST(ShiverWalk, BendExponentSpansBothSidesOfOne)
{
  Rig<BendShiver> rig(1, 5);
  rig.shiver.SetSpeed(0, 100.0);
  rig.shiver.SetAmount(0, 2.0);
  double lowest = 1.0;
  double highest = 1.0;
  for (int n = 0; n < 100000; ++n)
  {
    rig.shiver.Process();
    const double p = rig.voices[0].value[0];
    ASSERT_GE(p, 0.005);
    ASSERT_LE(p, 100.0);
    lowest = std::min(lowest, p);
    highest = std::max(highest, p);
  }
  EXPECT_LT(lowest, 0.5);
  EXPECT_GT(highest, 10.0);
}

TEST(ShiverWalk, SameSeedSameWalkBitForBit)
{
  TuneRig first(3, 99);
  TuneRig second(3, 99);
  TuneRig other(3, 100);
  for (TuneRig* rig : {&first, &second, &other})
  {
    rig->shiver.SetSpeed(0, 50.0);
    rig->shiver.SetAmount(0, 1.0);
    rig->shiver.SetAmount(1, 0.3);
  }
  bool differs = false;
  for (int n = 0; n < 20000; ++n)
  {
    first.shiver.Process();
    second.shiver.Process();
    other.shiver.Process();
    for (int v = 0; v < 3; ++v)
      for (int s = 0; s < 2; ++s)
      {
        ASSERT_EQ(first.voices[v].value[s], second.voices[v].value[s]);
        differs |= first.voices[v].value[s] != other.voices[v].value[s];
      }
  }
  EXPECT_TRUE(differs);
}
}  // namespace
