#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sample_rate_scope.h"
#include "shiver_test_support.h"

using namespace shiver_test;

namespace
{
// Runs a shiver and returns the lowest and highest value pushed to the active
// voices, failing on any value outside [lowest, highest] allowed.
template <class Shiver>
std::pair<double, double> WalkExtremes(Rig<Shiver>& rig, int voices, double allowedLow, double allowedHigh)
{
  double lowest = allowedHigh;
  double highest = allowedLow;
  for (int n = 0; n < 200000; ++n)
  {
    rig.shiver.Process();
    for (int v = 0; v < voices; ++v)
      for (int s = 0; s < 2; ++s)
      {
        const double x = rig.voices[v].value[s];
        EXPECT_TRUE(x >= allowedLow - 1e-12 && x <= allowedHigh + 1e-12) << x << " at " << n;
        lowest = std::min(lowest, x);
        highest = std::max(highest, x);
      }
  }
  return {lowest, highest};
}

TEST(ShiverWalk, WalksStayWithinTheirRangesAndReachBothEnds)
{
  // Tune at amount 1: within a semitone down (0.9439) and up (1.0595).
  TuneRig tune(4);
  for (int s = 0; s < 2; ++s)
  {
    tune.shiver.SetSpeed(s, 100.0);
    tune.shiver.SetAmount(s, 1.0);
  }
  const auto [tuneLow, tuneHigh] = WalkExtremes(tune, 4, std::pow(2.0, -1.0 / 12.0), std::pow(2.0, 1.0 / 12.0));
  EXPECT_LT(tuneLow, 0.95);
  EXPECT_GT(tuneHigh, 1.05);
  EXPECT_EQ(tune.voices[4].pushes[0], 0);  // silent voices are not visited

  // Pan, base 0.9 and amount 0.5: down to 0.4, up to the bound 1.0.
  Rig<PShiverWBase> pan(1, 11, 0.0, 1.0);
  for (int s = 0; s < 2; ++s)
  {
    pan.shiver.SetBaseValue(s, 0.9);
    pan.shiver.SetSpeed(s, 100.0);
    pan.shiver.SetAmount(s, 0.5);
  }
  const auto [panLow, panHigh] = WalkExtremes(pan, 1, 0.4, 1.0);
  EXPECT_LT(panLow, 0.45);
  EXPECT_GT(panHigh, 0.99);
}

TEST(ShiverWalk, SegmentsLastTheBasePeriodPlusOrMinusHalf)
{
  // 8 Hz at 48 kHz: 6000 samples +- 3000, uniform. A segment ends where the
  // per-sample step of the pushed value changes.
  TuneRig rig;
  rig.shiver.SetSpeed(0, 8.0);
  rig.shiver.SetAmount(0, 1.0);
  EXPECT_EQ(rig.shiver.GetBasePeriod(0), 6000);
  std::vector<int> lengths;
  double previousValue = 1.0;
  double previousStep = 0.0;
  int length = 0;
  for (int n = 0; n < 1200000; ++n)
  {
    rig.shiver.Process();
    const double step = rig.voices[0].value[0] - previousValue;
    if (n > 0 && std::fabs(step - previousStep) > 1e-11)
    {
      lengths.push_back(length);
      length = 0;
    }
    ++length;
    previousValue = rig.voices[0].value[0];
    previousStep = step;
  }
  ASSERT_GT(lengths.size(), 170u);
  double sum = 0.0;
  for (int l : lengths)
  {
    EXPECT_GE(l, 3000);
    EXPECT_LE(l, 9000);
    sum += l;
  }
  // Uniform over [3000, 9000]: sd 1732, so the mean of 170+ lies within 6000 +- 600.
  EXPECT_NEAR(sum / lengths.size(), 6000.0, 600.0);
  EXPECT_LT(*std::min_element(lengths.begin(), lengths.end()), 3600);
  EXPECT_GT(*std::max_element(lengths.begin(), lengths.end()), 8400);
}

TEST(ShiverWalk, SpeedAndSampleRateChangesStretchTheRunningSegment)
{
  TuneRig rig;
  rig.shiver.SetAmount(0, 1.0);  // 8 Hz from construction: the first segment is >= 3000 samples
  auto step = [&rig] {
    const double before = rig.voices[0].value[0];
    rig.shiver.Process();
    return rig.voices[0].value[0] - before;
  };
  for (int n = 0; n < 1000; ++n) rig.shiver.Process();
  double before = step();
  ASSERT_NE(before, 0.0);
  // Twice the speed: the rest of the segment in half the samples, twice the step.
  rig.shiver.SetSpeed(0, 16.0);
  EXPECT_EQ(rig.shiver.GetBasePeriod(0), 3000);
  EXPECT_NEAR(step(), 2.0 * before, 1e-9 * std::fabs(before));

  // Twice the sample rate: twice the base period, half the step.
  before = step();
  SampleRateScope rate(96000.0);
  rig.shiver.UpdateSampleRate();
  EXPECT_EQ(rig.shiver.GetBasePeriod(0), 6000);
  EXPECT_NEAR(step(), 0.5 * before, 1e-9 * std::fabs(before));
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

  // A voice that starts while its slot rests gets the rest value at once.
  rig.voices[5].active = true;
  rig.shiver.OnVoiceActivation(5);
  EXPECT_EQ(rig.voices[5].value[0], 1.0);
  EXPECT_EQ(rig.voices[5].pushes[1], 0);  // a walking slot pushes on the next sample
}

TEST(ShiverWalk, BendBaseWithoutAmountReachesEveryVoiceAsAnExponent)
{
  Rig<BendShiver> rig(1, 3);
  // 1 + 99 v^4 above 0, 1 + 0.995 v below; silent voices too, since a frozen walk
  // would not push it later.
  rig.shiver.SetBaseValue(1, 0.5);
  for (const FakeVoice& voice : rig.voices) EXPECT_DOUBLE_EQ(voice.value[1], 1.0 + 99.0 * 0.0625);
  rig.shiver.SetBaseValue(1, -0.5);
  EXPECT_DOUBLE_EQ(rig.voices[31].value[1], 1.0 - 0.4975);
  rig.shiver.SetBaseValue(1, 0.0);
  EXPECT_EQ(rig.voices[31].value[1], 1.0);
  EXPECT_DOUBLE_EQ(BendShiver::ExponentFor(1.0), 100.0);
  EXPECT_NEAR(BendShiver::ExponentFor(-1.0), 0.005, 1e-15);
}
TEST(ShiverWalk, OvershootIsReflectedIntoTheBounds)
{
  // Rounding can carry a walk past a bound: the value is clamped and the walk
  // mirrored, so it heads back in by the excess. Base 0.9, walk at 0.
  Rig<PShiverWBase> pan(1, 2, 0.0, 1.0);
  pan.shiver.SetBaseValue(0, 0.9);
  double value = 1.2;
  pan.shiver.BoundariesPrecisionCorrection(0, 0, &value);
  EXPECT_DOUBLE_EQ(value, 1.0);
  pan.shiver.UpdateTotalParamValue(0, 0);
  pan.shiver.SetVal(0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(pan.voices[0].value[0], 0.9 - 0.4);
  value = -0.1;
  pan.shiver.BoundariesPrecisionCorrection(0, 0, &value);
  EXPECT_DOUBLE_EQ(value, 0.0);
  pan.shiver.UpdateTotalParamValue(0, 0);
  pan.shiver.SetVal(0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(pan.voices[0].value[0], 0.9 - 0.4 + 0.2);
}
}  // namespace
