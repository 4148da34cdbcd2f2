#include "engine_rig.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace engine_test;

namespace
{
// 32 keys 60..91 held: voice v holds key 60 + v, the order list is 0 (oldest) .. 31.
// Voice velocities: 100, except where a row wants some quieter.
void HoldAll(EngineRig& rig, const std::vector<std::pair<int, int>>& quieter = {})
{
  for (int v = 0; v < 32; ++v)
  {
    int velocity = 100;
    for (const auto& q : quieter)
      if (q.first == v) velocity = q.second;
    rig.Press(60 + v, velocity);
  }
  rig.Render(200);  // every voice in sustain, loudness = 2 x 0.5 x velocity / 127
}

struct StealRow
{
  const char* rule;
  std::function<void(EngineRig&)> setup;
  int key;
  int expectedVoice;
};

const std::vector<StealRow>& StealRows()
{
  static const std::vector<StealRow> rows = {
    {"free voice while below the maximum: the lowest free index, nothing stolen",
     [](EngineRig& rig) {
       for (int k : {60, 61, 62}) rig.Press(k);
       rig.Lift(61);
       rig.Render(10);
     },
     70, 3},
    {"rule 1: a released voice still holding the key",
     [](EngineRig& rig) {
       HoldAll(rig);
       rig.Lift(70);  // voice 10
       rig.Lift(80);  // voice 20
       rig.Render(10);
     },
     80, 20},
    {"rule 1: the most recent voice's key again takes the oldest other released voice",
     [](EngineRig& rig) {
       HoldAll(rig);
       rig.Lift(75);  // voice 15
       rig.Lift(91);  // voice 31, the most recent
       rig.Lift(70);  // voice 10
       rig.Render(10);
     },
     91, 10},
    {"rule 2: only the most recent voice is released and its key returns: that voice",
     [](EngineRig& rig) {
       HoldAll(rig);
       rig.Lift(91);
       rig.Render(10);
     },
     91, 31},
    {"rule 3: a released voice of another key, the oldest in the order list, not the quietest",
     [](EngineRig& rig) {
       HoldAll(rig);
       rig.Lift(65);  // voice 5, released first: quieter by now
       rig.Render(300);
       rig.Lift(62);  // voice 2
       rig.Render(10);
     },
     100, 2},
    {"rule 4: nothing released: the quietest of the 11 oldest, not the quietest of all",
     [](EngineRig& rig) { HoldAll(rig, {{7, 20}, {20, 10}}); }, 100, 7},
    {"rule 4: equally loud: the oldest",
     [](EngineRig& rig) { HoldAll(rig); }, 100, 0},
    {"rule 4: the window's last position still counts",
     [](EngineRig& rig) { HoldAll(rig, {{10, 30}, {11, 20}}); }, 100, 10},
  };
  return rows;
}
}  // namespace

TEST(VoiceStealing, EveryRuleChoosesItsVoice)
{
  for (const StealRow& row : StealRows())
  {
    SCOPED_TRACE(row.rule);
    EngineRig rig;
    row.setup(rig);
    rig.Press(row.key);
    EXPECT_EQ(rig.V(row.expectedVoice).GetNote(), row.key);
    EXPECT_FALSE(rig.T().IsReleased(row.expectedVoice));
    EXPECT_EQ(rig.T().GetMostRecentVoice(), row.expectedVoice);
  }
}

TEST(VoiceStealing, AStolenVoiceChangesNoteWithoutBeingReleasedFirst)
{
  EngineRig rig;
  HoldAll(rig);
  ASSERT_EQ(rig.T().GetActiveCount(), 32);
  rig.Press(100);
  EXPECT_EQ(rig.T().GetActiveCount(), 32);
  EXPECT_EQ(rig.V(0).GetNote(), 100);
  EXPECT_EQ(rig.V(0).GetAmpEnvelope(0).GetCurrentStage(), kAttack);
  EXPECT_EQ(rig.VoiceOf(60), -1);
}

TEST(VoiceCount, ShrinkingReleasesTheSurplusButNeverTheMostRecentVoice)
{
  EngineRig rig;
  for (int k = 0; k < 20; ++k) rig.Press(40 + k);
  rig.Render(100);
  const int mostRecent = rig.T().GetMostRecentVoice();
  ASSERT_EQ(mostRecent, 19);

  rig.T().SetMaxNumOfActiveVoices(8);
  int released = 0;
  int usable = 0;
  for (int v = 0; v < 32; ++v)
  {
    released += rig.T().IsReleased(v) ? 1 : 0;
    usable += rig.T().IsUsable(v) ? 1 : 0;
  }
  EXPECT_EQ(released, 12);
  EXPECT_EQ(usable, 8);
  EXPECT_FALSE(rig.T().IsReleased(mostRecent));
  EXPECT_TRUE(rig.T().IsUsable(mostRecent));
  EXPECT_EQ(rig.T().GetOldVoiceWindow(), 3);
  // The released, unusable voices sound on until their release ends.
  EXPECT_EQ(rig.T().GetActiveCount(), 20);
  rig.Render(2000);
  EXPECT_EQ(rig.T().GetActiveCount(), 8);
}

TEST(VoiceCount, ShrinkingWithFewVoicesSoundingKeepsTheLowestFreeVoices)
{
  EngineRig rig;
  for (int k = 0; k < 4; ++k) rig.Press(40 + k);  // voices 0..3
  rig.T().SetMaxNumOfActiveVoices(8);
  for (int v = 0; v < 32; ++v) EXPECT_EQ(rig.T().IsUsable(v), v < 8) << v;
  for (int k = 4; k < 8; ++k) rig.Press(40 + k);
  EXPECT_EQ(rig.V(7).GetNote(), 47);

  // Full: the ninth note steals. The window covers the order list's three oldest
  // positions, which hold unusable voices here, so the first candidate after
  // them is taken whatever its loudness.
  rig.Render(100);
  rig.Press(90);
  EXPECT_EQ(rig.V(0).GetNote(), 90);
  EXPECT_EQ(rig.CountActive(), 8);
}

TEST(VoiceCount, GrowingReturnsTheLowestUnusableVoices)
{
  EngineRig rig;
  rig.T().SetMaxNumOfActiveVoices(8);
  rig.T().SetMaxNumOfActiveVoices(12);
  for (int v = 0; v < 32; ++v) EXPECT_EQ(rig.T().IsUsable(v), v < 12) << v;
  EXPECT_EQ(rig.T().GetOldVoiceWindow(), 4);
  rig.T().SetMaxNumOfActiveVoices(32);
  for (int v = 0; v < 32; ++v) EXPECT_TRUE(rig.T().IsUsable(v)) << v;
}

TEST(VoiceCount, OldVoiceWindowIsAThirdRoundedUp)
{
  EngineRig rig;
  EXPECT_EQ(rig.T().GetOldVoiceWindow(), 11);  // before any setting arrives
  const std::pair<int, int> rows[] = {{8, 3}, {2, 1}, {3, 1}, {31, 11}, {32, 11}, {16, 6}, {1, 1}, {40, 11}};
  for (const auto& [n, window] : rows)
  {
    rig.T().SetMaxNumOfActiveVoices(n);
    EXPECT_EQ(rig.T().GetOldVoiceWindow(), window) << n;
  }
}

TEST(VoiceCount, NoteOnsBeyondAFullUsablePoolStealWithinIt)
{
  EngineRig rig;
  rig.T().SetMaxNumOfActiveVoices(2);
  rig.Press(60);
  rig.Press(61);
  rig.Press(62);
  EXPECT_EQ(rig.CountActive(), 2);
  EXPECT_EQ(rig.V(0).GetNote(), 62);
  EXPECT_EQ(rig.V(1).GetNote(), 61);
  for (int v = 2; v < 32; ++v) EXPECT_FALSE(rig.T().IsActive(v));
}
