#include <gtest/gtest.h>

#include <cmath>

#include "shiver_test_support.h"

using namespace shiver_test;

namespace
{
// Tune walks of amount 1 (slot 0) and 0.5 (slot 1): with both ranges in
// proportion, a slot 1 that follows slot 0's draws sits at exactly half its
// deviation from 1.
void ExpectSlotOneAtHalf(const FakeVoice& voice, int n)
{
  ASSERT_NEAR(voice.value[1] - 1.0, 0.5 * (voice.value[0] - 1.0), 1e-12) << "sample " << n;
}

TuneRig HalfAmountRig(int activeVoices, ShiverSyncMode mode)
{
  TuneRig rig(activeVoices);
  rig.shiver.SetSpeed(0, 60.0);
  rig.shiver.SetSpeed(1, 13.0);  // ignored while slot 1 follows
  rig.shiver.SetSyncMode(mode);
  rig.shiver.SetAmount(0, 1.0);
  rig.shiver.SetAmount(1, 0.5);
  return rig;
}

TEST(ShiverSync, NoneWalksEveryVoiceAndSlotOnItsOwn)
{
  TuneRig rig = HalfAmountRig(2, kShiverSyncNone);
  int apart = 0;
  for (int n = 0; n < 5000; ++n)
  {
    rig.shiver.Process();
    apart += rig.voices[0].value[0] != rig.voices[1].value[0];
    apart += std::fabs(rig.voices[0].value[1] - 1.0 - 0.5 * (rig.voices[0].value[0] - 1.0)) > 1e-6;
  }
  EXPECT_GT(apart, 9000);
}

TEST(ShiverSync, VoiceModeSlotOneFollowsSlotZeroInEachVoice)
{
  TuneRig rig = HalfAmountRig(3, kShiverSyncVoice);
  int voicesApart = 0;
  for (int n = 0; n < 20000; ++n)
  {
    rig.shiver.Process();
    for (int v = 0; v < 3; ++v) ExpectSlotOneAtHalf(rig.voices[v], n);
    voicesApart += rig.voices[0].value[0] != rig.voices[2].value[0];
  }
  EXPECT_GT(voicesApart, 19000);
}

TEST(ShiverSync, AllModeSharesOneWalkBetweenVoicesAndSlots)
{
  TuneRig rig = HalfAmountRig(3, kShiverSyncAll);
  for (int n = 0; n < 20000; ++n)
  {
    rig.shiver.Process();
    ExpectSlotOneAtHalf(rig.voices[0], n);
    for (int v = 1; v < 3; ++v)
      for (int s = 0; s < 2; ++s) ASSERT_EQ(rig.voices[v].value[s], rig.voices[0].value[s]);
  }
}

TEST(ShiverSync, OscModeSharesEachSlotAndGreetsNewVoices)
{
  TuneRig rig = HalfAmountRig(2, kShiverSyncOsc);
  int slotsApart = 0;
  for (int n = 0; n < 5000; ++n)
  {
    rig.shiver.Process();
    for (int s = 0; s < 2; ++s) ASSERT_EQ(rig.voices[1].value[s], rig.voices[0].value[s]);
    slotsApart += std::fabs(rig.voices[0].value[1] - 1.0 - 0.5 * (rig.voices[0].value[0] - 1.0)) > 1e-6;
  }
  EXPECT_GT(slotsApart, 4500);
  // A voice that starts gets the shared values before the next sample.
  rig.voices[7].active = true;
  rig.shiver.OnVoiceActivation(7);
  for (int s = 0; s < 2; ++s) EXPECT_EQ(rig.voices[7].value[s], rig.voices[0].value[s]);
}

TEST(ShiverSync, SwitchingModeMidWalkJoinsTheWalks)
{
  TuneRig rig = HalfAmountRig(3, kShiverSyncNone);
  for (int n = 0; n < 3000; ++n) rig.shiver.Process();
  rig.shiver.SetSyncMode(kShiverSyncAll);
  for (int n = 0; n < 3000; ++n)
  {
    rig.shiver.Process();
    ExpectSlotOneAtHalf(rig.voices[2], n);
    ASSERT_EQ(rig.voices[2].value[0], rig.voices[0].value[0]);
  }
  rig.shiver.SetSyncMode(kShiverSyncVoice);
  for (int n = 0; n < 3000; ++n)
  {
    rig.shiver.Process();
    ExpectSlotOneAtHalf(rig.voices[1], n);
  }
}

TEST(ShiverSync, FollowingSlotJoinsMidSegmentWhenItsAmountRises)
{
  // Slot 1 at rest while slot 0 walks; once it gets an amount it follows slot
  // 0's running segment at once, not a segment of its own stale draws.
  TuneRig rig(2);
  rig.shiver.SetSyncMode(kShiverSyncVoice);
  rig.shiver.SetAmount(0, 1.0);
  for (int n = 0; n < 2000; ++n) rig.shiver.Process();
  ASSERT_EQ(rig.voices[0].value[1], 1.0);
  rig.shiver.SetAmount(1, 0.5);
  for (int n = 0; n < 2000; ++n)
  {
    rig.shiver.Process();
    ASSERT_NEAR(rig.voices[0].value[1] - 1.0, 0.5 * (rig.voices[0].value[0] - 1.0), 1e-9) << n;
  }

  // Likewise a voice that starts again after resting.
  rig.voices[1].active = false;
  for (int n = 0; n < 5000; ++n) rig.shiver.Process();
  rig.voices[1].active = true;
  rig.shiver.OnVoiceActivation(1);
  for (int n = 0; n < 2000; ++n)
  {
    rig.shiver.Process();
    ASSERT_NEAR(rig.voices[1].value[1] - 1.0, 0.5 * (rig.voices[1].value[0] - 1.0), 1e-9) << n;
  }
}
}  // namespace
