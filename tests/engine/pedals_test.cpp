#include "engine_rig.h"

#include <gtest/gtest.h>

using namespace engine_test;

namespace
{
constexpr int kSustainPedal = VoiceTables::kSustainPedal;
constexpr int kSostenutoPedal = VoiceTables::kSostenutoPedal;
constexpr int kPortamentoPedal = VoiceTables::kPortamentoPedal;
constexpr int kLegatoPedal = VoiceTables::kLegatoPedal;

bool Sounding(EngineRig& rig, int key)
{
  const int v = rig.VoiceOf(key);
  return v >= 0 && !rig.T().IsReleased(v);
}
}  // namespace

TEST(Pedals, SustainHoldsLiftedKeysUntilItGoesUp)
{
  EngineRig rig;
  rig.Press(60);
  rig.Pedal(kSustainPedal, true);
  rig.Lift(60);
  rig.Press(64);  // pressed while the pedal is down: sustained too
  rig.Lift(64);
  rig.Render(100);
  EXPECT_TRUE(Sounding(rig, 60));
  EXPECT_TRUE(Sounding(rig, 64));
  rig.Press(67);  // still held when the pedal goes up: keeps sounding
  rig.Pedal(kSustainPedal, false);
  EXPECT_FALSE(Sounding(rig, 60));
  EXPECT_FALSE(Sounding(rig, 64));
  EXPECT_TRUE(Sounding(rig, 67));
  rig.Lift(67);
  EXPECT_FALSE(Sounding(rig, 67));
}

TEST(Pedals, AKeyPressedAgainUnderSustainReattacksOnlyFromSustain)
{
  EngineRig rig;
  rig.Pedal(kSustainPedal, true);
  rig.Press(60, 100);
  rig.Lift(60);
  const int v = rig.VoiceOf(60);
  // Still in attack: ignored.
  rig.Press(60, 40);
  EXPECT_EQ(rig.V(v).GetAmpEnvelope(0).GetCurrentStage(), kAttack);
  EXPECT_FALSE(rig.V(v).IsVelocityGliding());
  EXPECT_EQ(rig.CountActive(), 1);

  rig.Render(200);
  ASSERT_EQ(rig.V(v).GetAmpEnvelope(0).GetCurrentStage(), kSustain);
  rig.Press(60, 40);
  EXPECT_EQ(rig.CountActive(), 1);
  EXPECT_EQ(rig.V(v).GetAmpEnvelope(0).GetCurrentStage(), kAttack);
  EXPECT_EQ(rig.V(v).GetAmpEnvelope(1).GetCurrentStage(), kAttack);
  EXPECT_DOUBLE_EQ(rig.V(v).GetVelocityGlideStep(), (40.0 - 100.0) / 50.0);
  rig.Render(50);
  EXPECT_DOUBLE_EQ(rig.V(v).GetVelocity(), 40.0);
  EXPECT_FALSE(rig.V(v).IsVelocityGliding());
}

TEST(Pedals, AKeyWhoseSustainedVoiceWasStolenPlaysAgain)
{
  EngineRig rig;
  rig.T().SetMaxNumOfActiveVoices(2);
  rig.Pedal(kSustainPedal, true);
  rig.Press(60);
  rig.Lift(60);
  rig.Press(61);
  rig.Press(62);  // steals the voice of 60
  ASSERT_EQ(rig.VoiceOf(60), -1);
  rig.Render(100);
  rig.Press(60);
  EXPECT_TRUE(Sounding(rig, 60));
  EXPECT_TRUE(rig.T().IsKeyHeld(60));
  // Lifted under the pedal, it is held on until the pedal goes up.
  rig.Lift(60);
  EXPECT_TRUE(Sounding(rig, 60));
  rig.Pedal(kSustainPedal, false);
  EXPECT_FALSE(Sounding(rig, 60));
  // Every press of 60 has been matched: only the held 61 and 62 stay stacked.
  ASSERT_EQ(rig.T().GetNoteStackSize(), 2);
  EXPECT_EQ(rig.T().GetNoteStackKey(0), 61);
  EXPECT_EQ(rig.T().GetNoteStackKey(1), 62);
}

TEST(Pedals, AKeyWhoseSustainedVoiceIsOnlyReleasingIsNotPlayedAgain)
{
  EngineRig rig;
  rig.T().SetMaxNumOfActiveVoices(4);
  rig.Pedal(kSustainPedal, true);
  for (int key = 60; key < 64; ++key)
  {
    rig.Press(key);
    rig.Lift(key);
  }
  rig.Render(200);
  rig.T().SetMaxNumOfActiveVoices(2);  // releases two of the four
  int releasedKey = -1;
  for (int key = 60; key < 64 && releasedKey < 0; ++key)
    if (rig.VoiceOf(key) >= 0 && rig.T().IsReleased(rig.VoiceOf(key))) releasedKey = key;
  ASSERT_GE(releasedKey, 0);

  rig.Press(releasedKey);  // while it releases, and again once it is silent
  EXPECT_EQ(rig.CountActive(), 4);
  EXPECT_TRUE(rig.T().IsReleased(rig.VoiceOf(releasedKey)));
  rig.Lift(releasedKey);
  rig.Render(2000);
  ASSERT_EQ(rig.VoiceOf(releasedKey), -1);
  rig.Press(releasedKey);
  EXPECT_EQ(rig.VoiceOf(releasedKey), -1);
  rig.Lift(releasedKey);
  EXPECT_EQ(rig.T().GetNoteStackSize(), 4);
  rig.Pedal(kSustainPedal, false);
  EXPECT_EQ(rig.T().GetNoteStackSize(), 0);
}

TEST(Pedals, SostenutoHoldsOnlyTheKeysDownWhenItWentDown)
{
  EngineRig rig;
  rig.Press(60);
  rig.Pedal(kSostenutoPedal, true);
  rig.Lift(60);
  rig.Press(64);
  rig.Lift(64);
  EXPECT_TRUE(Sounding(rig, 60));
  EXPECT_FALSE(Sounding(rig, 64));
  rig.Pedal(kSostenutoPedal, false);
  EXPECT_FALSE(Sounding(rig, 60));
}

TEST(Pedals, SostenutoDownUnderSustainKeepsTheSustainedKeysAfterSustainGoesUp)
{
  EngineRig rig;
  rig.Pedal(kSustainPedal, true);
  rig.Press(60);
  rig.Lift(60);
  rig.Pedal(kSostenutoPedal, true);
  rig.Press(64);
  rig.Lift(64);
  rig.Pedal(kSustainPedal, false);
  EXPECT_TRUE(Sounding(rig, 60));   // caught by the sostenuto pedal
  EXPECT_TRUE(Sounding(rig, 64));   // sustained after the sostenuto went down: caught too
  EXPECT_TRUE(rig.T().IsKeySostenutoHeld(64));
  rig.Pedal(kSostenutoPedal, false);
  EXPECT_FALSE(Sounding(rig, 60));
  EXPECT_FALSE(Sounding(rig, 64));
}

TEST(Pedals, SustainUpAfterASostenutoThatWentDownAloneReleasesItsKeys)
{
  EngineRig rig;
  rig.Press(60);
  rig.Pedal(kSostenutoPedal, true);  // sustain up at this moment
  rig.Pedal(kSustainPedal, true);
  rig.Press(64);
  rig.Lift(64);
  rig.Lift(60);
  rig.Pedal(kSustainPedal, false);
  EXPECT_FALSE(Sounding(rig, 64));
  EXPECT_TRUE(Sounding(rig, 60));  // the sostenuto still holds it
  rig.Pedal(kSostenutoPedal, false);
  EXPECT_FALSE(Sounding(rig, 60));
}

TEST(Pedals, PortamentoGlidesTheMostRecentVoiceToTheNextKey)
{
  EngineRig rig;
  rig.T().mGlideTime = 400.0;
  rig.Press(60);
  rig.Render(100);
  rig.Pedal(kPortamentoPedal, true);  // 60 is held: no re-articulation
  EXPECT_FALSE(rig.T().IsRearticulateSet());
  rig.Press(64);
  EXPECT_EQ(rig.CountActive(), 1);
  const Voice& v = rig.V(0);
  EXPECT_EQ(v.GetNote(), 64);
  const double f60 = 440.0 * std::pow(2.0, -9.0 / 12.0);
  const double f64 = 440.0 * std::pow(2.0, -5.0 / 12.0);
  EXPECT_DOUBLE_EQ(v.GetFrequencyGlideStep(), (f64 - f60) / 400.0);
  rig.Render(200);
  EXPECT_NEAR(v.GetFrequency(), 0.5 * (f60 + f64), 1e-9);
  rig.Render(200);
  EXPECT_DOUBLE_EQ(v.GetFrequency(), f64);
  EXPECT_FALSE(v.IsFrequencyGliding());

  // Lifting the most recent key takes the glide pedal's road: the voice releases.
  rig.Lift(64);
  EXPECT_TRUE(rig.T().IsReleased(0));
}

TEST(Pedals, AGlidePedalPressedWithNoKeyHeldRearticulatesOnce)
{
  EngineRig rig;
  rig.Press(60);
  rig.Lift(60);
  rig.Pedal(kPortamentoPedal, true);
  EXPECT_TRUE(rig.T().IsRearticulateSet());
  rig.Press(64);  // a fresh voice, started without a glide
  EXPECT_EQ(rig.VoiceOf(64), 1);
  EXPECT_FALSE(rig.V(1).IsFrequencyGliding());
  EXPECT_FALSE(rig.T().IsRearticulateSet());
  rig.Press(67);  // then the pedal glides again on that voice
  EXPECT_EQ(rig.VoiceOf(67), 1);
  EXPECT_TRUE(rig.V(1).IsFrequencyGliding());
  rig.Pedal(kPortamentoPedal, false);
  EXPECT_FALSE(rig.T().IsPedalDown(VoiceTables::kPortamentoPedal));
}

TEST(Pedals, LegatoMovesTheVoiceWithoutANewAttackAndReleasesWhenItGoesUp)
{
  EngineRig rig;
  rig.Press(60);
  rig.Render(200);
  rig.Pedal(kLegatoPedal, true);
  rig.Press(64);
  const Voice& v = rig.V(0);
  EXPECT_EQ(rig.CountActive(), 1);
  EXPECT_EQ(v.GetNote(), 64);
  EXPECT_EQ(v.GetAmpEnvelope(0).GetCurrentStage(), kSustain);  // no re-articulation
  rig.Sample();
  EXPECT_DOUBLE_EQ(v.GetFrequency(), 440.0 * std::pow(2.0, -5.0 / 12.0));  // at the next sample

  rig.Lift(64);  // the legato pedal keeps the voice
  EXPECT_FALSE(rig.T().IsReleased(0));
  rig.Pedal(kLegatoPedal, false);
  EXPECT_TRUE(rig.T().IsReleased(0));
}

TEST(Pedals, LegatoWithForwardRearticulationAttacksEveryNewKey)
{
  EngineRig rig;
  rig.T().mRearticulateForward = true;
  rig.Press(60);
  rig.Render(200);
  rig.Pedal(kLegatoPedal, true);
  rig.Press(64);
  EXPECT_EQ(rig.V(0).GetAmpEnvelope(0).GetCurrentStage(), kAttack);
}

TEST(Pedals, SustainDoesNotCatchTheGlidingKey)
{
  EngineRig rig;
  rig.Press(60);
  rig.Pedal(kLegatoPedal, true);
  rig.Press(64);
  rig.Pedal(kSustainPedal, true);
  EXPECT_FALSE(rig.T().IsKeySustained(64));  // the legato voice's own key
  EXPECT_TRUE(rig.T().IsKeySustained(60));
}

TEST(Pedals, AllNotesOffReleasesEverythingAndLiftsEveryPedal)
{
  EngineRig rig;
  rig.Pedal(kSustainPedal, true);
  rig.Pedal(kSostenutoPedal, true);
  for (int k : {60, 64, 67}) rig.Press(k);
  rig.Pedal(kLegatoPedal, true);
  rig.T().OnAllVoicesOff();
  for (int v = 0; v < 3; ++v) EXPECT_TRUE(rig.T().IsReleased(v)) << v;
  EXPECT_EQ(rig.T().GetActiveCount(), 3);  // sounding out their release
  EXPECT_EQ(rig.T().GetNoteStackSize(), 0);
  for (int p = 0; p < 4; ++p) EXPECT_FALSE(rig.T().IsPedalDown(static_cast<VoiceTables::Pedal>(p))) << p;
  for (int k : {60, 64, 67}) EXPECT_FALSE(rig.T().IsKeyHeld(k) || rig.T().IsKeySustained(k) || rig.T().IsKeySostenutoHeld(k));

  // A note-on during the release may take one of them (rule 1).
  for (int k = 0; k < 29; ++k) rig.Press(20 + k);
  rig.Press(64);
  EXPECT_EQ(rig.VoiceOf(64), 1);
  rig.Render(2000);
  EXPECT_EQ(rig.T().GetActiveCount(), 30);
}
