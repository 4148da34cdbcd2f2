#include "engine_rig.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace engine_test;

namespace
{
double Freq(int key)
{
  return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// Switches to mono as the parameter routing does: the next note starts afresh.
void Mono(EngineRig& rig, double glideSamples = 400.0)
{
  rig.T().mMode = VoiceTables::kMono;
  rig.T().mFreshStart = true;
  rig.T().mGlideTime = glideSamples;
}
}  // namespace

TEST(MonoMode, OverlappingKeysGlideOnOneVoiceAndGlideBackThroughTheStack)
{
  EngineRig rig;
  Mono(rig);
  rig.Press(60);
  rig.Render(10);
  const Voice& v = rig.V(0);
  EXPECT_DOUBLE_EQ(v.GetFrequency(), Freq(60));  // the first note does not glide
  rig.Press(64);
  rig.Press(67);
  EXPECT_EQ(rig.CountActive(), 1);
  EXPECT_EQ(v.GetNote(), 67);
  rig.Render(400);
  EXPECT_DOUBLE_EQ(v.GetFrequency(), Freq(67));
  EXPECT_EQ(v.GetAmpEnvelope(0).GetCurrentStage(), kSustain);  // never re-attacked

  rig.Lift(67);
  EXPECT_EQ(v.GetNote(), 64);
  EXPECT_DOUBLE_EQ(v.GetFrequencyGlideStep(), (Freq(64) - Freq(67)) / 400.0);
  rig.Render(400);
  rig.Lift(64);
  EXPECT_EQ(v.GetNote(), 60);
  EXPECT_DOUBLE_EQ(v.GetFrequencyGlideStep(), (Freq(60) - Freq(64)) / 400.0);
  rig.Render(100);

  // The last key: with "glide tail" off the glide stops where it is.
  const double reached = v.GetOscillator(0).GetFrequency();
  rig.Lift(60);
  EXPECT_TRUE(rig.T().IsReleased(0));
  EXPECT_FALSE(v.IsFrequencyGliding());
  rig.Render(50);
  EXPECT_DOUBLE_EQ(v.GetOscillator(0).GetFrequency(), reached);
}

TEST(MonoMode, GlideTailLetsTheGlideRunThroughTheRelease)
{
  EngineRig rig;
  Mono(rig);
  rig.T().mGlideTail = true;
  rig.Press(60);
  rig.Press(72);
  rig.Render(100);
  rig.Lift(60);  // glides on towards 72, over a whole glide time from here
  rig.Lift(72);
  EXPECT_TRUE(rig.T().IsReleased(0));
  EXPECT_TRUE(rig.V(0).IsFrequencyGliding());
  rig.Render(399);
  EXPECT_LT(rig.V(0).GetFrequency(), Freq(72));
  rig.Sample();
  EXPECT_DOUBLE_EQ(rig.V(0).GetFrequency(), Freq(72));
}

TEST(MonoMode, GlideDecisionsForANoteAfterTheLastKeyWasLifted)
{
  struct Row
  {
    const char* name;
    bool glideHead;
    bool portamentoWhileHeld;  // the pedal goes down while the first key is held
    int waitSamples;           // after lifting the first key
    bool expectGlide;
  };
  const Row rows[] = {
    {"releasing voice, no glide head: jumps", false, false, 10, false},
    {"releasing voice, glide head: glides", true, false, 10, true},
    {"silent voice, glide head: no note left to glide from, jumps", true, false, 2000, false},
    {"silent voice, portamento pedal: glides", false, true, 2000, true},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    EngineRig rig;
    Mono(rig);
    rig.T().mGlideHead = row.glideHead;
    rig.Press(60);
    rig.Render(100);
    if (row.portamentoWhileHeld) rig.Pedal(VoiceTables::kPortamentoPedal, true);
    rig.Lift(60);
    rig.Render(row.waitSamples);
    ASSERT_EQ(rig.T().IsActive(0), row.waitSamples < 480);
    rig.Press(67);
    EXPECT_EQ(rig.V(0).GetNote(), 67);
    rig.Sample();
    EXPECT_EQ(rig.V(0).GetFrequency() != Freq(67), row.expectGlide);
  }
}

TEST(MonoMode, BackwardRearticulationAttacksWhenTheSoundingKeyIsLifted)
{
  for (bool back : {false, true})
  {
    EngineRig rig;
    Mono(rig);
    rig.T().mRearticulateBack = back;
    rig.Press(60);
    rig.Press(64);
    rig.Render(200);
    rig.Lift(64);
    EXPECT_EQ(rig.V(0).GetAmpEnvelope(0).GetCurrentStage(), back ? kAttack : kSustain) << back;
    EXPECT_EQ(rig.V(0).GetNote(), 60);
  }
}

TEST(MonoMode, ForwardRearticulationAttacksEveryOverlappingKey)
{
  for (bool forward : {false, true})
  {
    EngineRig rig;
    Mono(rig);
    rig.T().mRearticulateForward = forward;
    rig.Press(60);
    rig.Render(200);
    rig.Press(64);
    EXPECT_EQ(rig.V(0).GetAmpEnvelope(0).GetCurrentStage(), forward ? kAttack : kSustain) << forward;
  }
}

TEST(MonoMode, SwitchingFromPolyStartsAFreshVoiceAndForgetsTheStack)
{
  EngineRig rig;
  rig.Press(50);
  rig.Press(52);  // poly: two voices, stack 50, 52
  Mono(rig);
  rig.Press(60);
  EXPECT_EQ(rig.VoiceOf(60), 2);
  EXPECT_EQ(rig.T().GetNoteStackSize(), 1);
  rig.Press(62);
  EXPECT_EQ(rig.VoiceOf(62), 2);
  // Lifting a key held by an older voice releases that voice only.
  rig.Lift(50);
  EXPECT_TRUE(rig.T().IsReleased(0));
  EXPECT_FALSE(rig.T().IsReleased(2));
}

TEST(PolyMode, EachKeyItsOwnVoiceStartedWithoutGlide)
{
  EngineRig rig;
  rig.Press(60, 127);
  rig.Press(60, 127);  // a repeated note-on of a held key is ignored
  rig.Press(64, 64);
  EXPECT_EQ(rig.CountActive(), 2);
  EXPECT_FALSE(rig.V(0).IsFrequencyGliding());
  EXPECT_FALSE(rig.V(1).IsFrequencyGliding());
  EXPECT_DOUBLE_EQ(rig.V(1).GetFrequency(), Freq(64));
  EXPECT_DOUBLE_EQ(rig.V(1).GetVelocityFactor(), 64.0 / 127.0);
  rig.Lift(60);
  EXPECT_TRUE(rig.T().IsReleased(0));
  EXPECT_FALSE(rig.T().IsReleased(1));
}

TEST(Glides, VelocityAndFrequencyGlideSetup)
{
  EngineRig rig;
  rig.Press(60, 100);
  Voice& v = rig.V(0);
  v.SetVelocityGlide(100.0, 10.0);
  EXPECT_FALSE(v.IsVelocityGliding());  // same velocity: no glide
  v.SetVelocityGlide(50.0, 0.0);        // no time: the shortest glide time
  EXPECT_DOUBLE_EQ(v.GetVelocityGlideStep(), -50.0 / PlugG::shortestGT);
  v.SetFrequencyGlideAndNoteNum(72, 0.0);  // no time: there at the next sample
  rig.Sample();
  EXPECT_DOUBLE_EQ(v.GetFrequency(), Freq(72));
  EXPECT_DOUBLE_EQ(v.GetOscillator(1).GetFrequency(), Freq(72));
  v.ScaleGlideSteps(0.5);  // the glide time doubled
  EXPECT_DOUBLE_EQ(v.GetVelocityGlideStep(), -25.0 / PlugG::shortestGT);
}
