#include <gtest/gtest.h>

#include <cmath>

#include "shiver_test_support.h"

using namespace shiver_test;

namespace
{
// Tune walks of amount 1 (slot 0) and 0.5 (slot 1): the ranges are in proportion,
// so a slot 1 that follows slot 0's draws sits at exactly half its deviation.
bool SlotOneAtHalf(const FakeVoice& voice, double tolerance = 1e-12)
{
  return std::fabs(voice.value[1] - 1.0 - 0.5 * (voice.value[0] - 1.0)) <= tolerance;
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

TEST(ShiverSync, EachModeSharesWhatItNames)
{
  struct ModeCase
  {
    ShiverSyncMode mode;
    bool slotOneFollows;
    bool voicesShare;
  };
  const ModeCase cases[] = {{kShiverSyncNone, false, false},
                            {kShiverSyncVoice, true, false},
                            {kShiverSyncOsc, false, true},
                            {kShiverSyncAll, true, true}};
  for (const ModeCase& c : cases)
  {
    TuneRig rig = HalfAmountRig(3, c.mode);
    int following = 0;
    int sharing = 0;
    constexpr int kSamples = 20000;
    for (int n = 0; n < kSamples; ++n)
    {
      rig.shiver.Process();
      following += SlotOneAtHalf(rig.voices[2]);
      sharing += rig.voices[2].value[0] == rig.voices[0].value[0] && rig.voices[2].value[1] == rig.voices[0].value[1];
    }
    EXPECT_EQ(following, c.slotOneFollows ? kSamples : 0) << c.mode;
    EXPECT_EQ(sharing, c.voicesShare ? kSamples : 0) << c.mode;

    // A voice that starts gets the shared values before the next sample.
    rig.voices[7].active = true;
    rig.shiver.OnVoiceActivation(7);
    if (c.voicesShare)
    {
      for (int s = 0; s < 2; ++s) EXPECT_EQ(rig.voices[7].value[s], rig.voices[0].value[s]) << c.mode;
    }
  }
}

TEST(ShiverSync, SwitchingModeMidWalkJoinsTheWalks)
{
  TuneRig rig = HalfAmountRig(3, kShiverSyncNone);
  for (int n = 0; n < 3000; ++n) rig.shiver.Process();
  rig.shiver.SetSyncMode(kShiverSyncAll);
  for (int n = 0; n < 3000; ++n)
  {
    rig.shiver.Process();
    ASSERT_TRUE(SlotOneAtHalf(rig.voices[2])) << n;
    ASSERT_EQ(rig.voices[2].value[0], rig.voices[0].value[0]);
  }
}

TEST(ShiverSync, FollowingSlotJoinsMidSegmentWhenItsAmountRises)
{
  // Slot 1 rests while slot 0 walks; once it gets an amount it follows slot 0's
  // running segment at once, not a segment of its own stale draws.
  TuneRig rig(2);
  rig.shiver.SetSyncMode(kShiverSyncVoice);
  rig.shiver.SetAmount(0, 1.0);
  for (int n = 0; n < 2000; ++n) rig.shiver.Process();
  ASSERT_EQ(rig.voices[0].value[1], 1.0);
  rig.shiver.SetAmount(1, 0.5);
  for (int n = 0; n < 2000; ++n)
  {
    rig.shiver.Process();
    ASSERT_TRUE(SlotOneAtHalf(rig.voices[0], 1e-9)) << n;
  }
  // Likewise a voice that starts again after resting.
  rig.voices[1].active = false;
  for (int n = 0; n < 5000; ++n) rig.shiver.Process();
  rig.voices[1].active = true;
  rig.shiver.OnVoiceActivation(1);
  for (int n = 0; n < 2000; ++n)
  {
    rig.shiver.Process();
    ASSERT_TRUE(SlotOneAtHalf(rig.voices[1], 1e-9)) << n;
  }
}
}  // namespace
