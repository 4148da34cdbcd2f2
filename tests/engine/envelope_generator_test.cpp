#include "EnvelopeGenerator.h"

#include "sample_rate_scope.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using Stage = EnvelopeGenerator::EnvelopeStage;
constexpr Stage kOff = EnvelopeGenerator::ENVELOPE_STAGE_OFF;
constexpr Stage kAttack = EnvelopeGenerator::ENVELOPE_STAGE_ATTACK;
constexpr Stage kDecay = EnvelopeGenerator::ENVELOPE_STAGE_DECAY;
constexpr Stage kSustain = EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN;
constexpr Stage kRelease = EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;

constexpr double kFloor = 0.0001;
// Multiplications accumulated over thousands of samples drift by far less.
constexpr double kLongRun = 1e-9;

// What the envelope reports for a raw level.
double Normalised(double level)
{
  return (level - kFloor) / (1.0 - kFloor);
}

double Advance(EnvelopeGenerator& env, int samples)
{
  double out = 0.0;
  for (int i = 0; i < samples; ++i) out = env.NextSample();
  return out;
}

struct OffCounter
{
  int calls = 0;
  void OnOff() { ++calls; }
};

// Every time 0, stored as the floor: truncate(0.0001 s x 48 kHz) = 4 samples.
EnvelopeGenerator ShortestStages(double sustain)
{
  EnvelopeGenerator env;
  for (Stage s : {kAttack, kDecay, kRelease}) env.SetStageValue(s, 0.0);
  env.SetStageValue(kSustain, sustain);
  return env;
}
}  // namespace

TEST(EnvelopeGenerator, ShortestStagesSampleBySample)
{
  EnvelopeGenerator env = ShortestStages(0.5);
  env.StartFromStage(kAttack);

  // Attack from twice the floor, 0.0002, in steps of 0.9998 / 4 = 0.24995.
  EXPECT_NEAR(env.NextSample(), 0.25005 / 0.9999, 1e-12);
  EXPECT_NEAR(env.NextSample(), 0.5 / 0.9999, 1e-12);
  env.EnterStage(kAttack);  // already there: the line carries on
  EXPECT_NEAR(env.NextSample(), 0.74995 / 0.9999, 1e-12);
  EXPECT_NEAR(env.NextSample(), 1.0, 1e-12);

  // Decay from 1 by 0.5^(1/4) per sample.
  EXPECT_NEAR(env.NextSample(), Normalised(0.8408964152537145), 1e-12);
  EXPECT_EQ(env.GetCurrentStage(), kDecay);
  EXPECT_NEAR(env.NextSample(), Normalised(0.7071067811865476), 1e-12);
  EXPECT_NEAR(env.NextSample(), Normalised(0.5946035575013605), 1e-12);
  EXPECT_NEAR(env.NextSample(), Normalised(0.5), 1e-12);

  for (int i = 0; i < 100; ++i) EXPECT_DOUBLE_EQ(env.NextSample(), 0.4999 / 0.9999);
  EXPECT_EQ(env.GetCurrentStage(), kSustain);
}

TEST(EnvelopeGenerator, ReleaseEndsInOffWhichCallsTheOffSignalOnlyWhenEnabled)
{
  for (bool enabled : {true, false})
  {
    EnvelopeGenerator env = ShortestStages(0.5);
    OffCounter counter;
    env.mSignalOff.Connect(&counter, &OffCounter::OnOff);
    env.EnableOffSignal(enabled);
    env.StartFromStage(kRelease);  // from the sustain level, 0.5

    // Down to the floor by (0.0001 / 0.5)^(1/4) = 0.0002^(1/4) per sample.
    EXPECT_NEAR(env.NextSample(), Normalised(0.5 * 0.11892071150027211), 1e-12);
    EXPECT_NEAR(env.NextSample(), Normalised(0.5 * 0.01414213562373095), 1e-12);
    EXPECT_NEAR(env.NextSample(), Normalised(0.5 * 0.0016817928305074292), 1e-12);
    EXPECT_NEAR(env.NextSample(), 0.0, 1e-12);
    EXPECT_EQ(counter.calls, 0);

    EXPECT_EQ(env.NextSample(), 0.0);
    EXPECT_EQ(env.GetCurrentStage(), kOff);
    EXPECT_EQ(counter.calls, enabled ? 1 : 0);
    Advance(env, 10);
    EXPECT_EQ(counter.calls, enabled ? 1 : 0);

    env.StartFromStage(kAttack);
    env.Reset();  // silent, whatever the switch
    EXPECT_EQ(env.GetCurrentStage(), kOff);
    EXPECT_EQ(counter.calls, enabled ? 1 : 0);
  }
}

TEST(EnvelopeGenerator, StagesShorterThanASampleArriveOnTheNextSample)
{
  // At 8 kHz the shortest time is 0.8 samples.
  SampleRateScope rate(8000.0);
  EnvelopeGenerator env = ShortestStages(0.5);
  OffCounter counter;
  env.mSignalOff.Connect(&counter, &OffCounter::OnOff);
  env.EnableOffSignal(true);

  env.StartFromStage(kAttack);
  EXPECT_DOUBLE_EQ(env.NextSample(), 1.0);
  EXPECT_DOUBLE_EQ(env.NextSample(), 0.4999 / 0.9999);  // decay
  EXPECT_DOUBLE_EQ(env.NextSample(), 0.4999 / 0.9999);  // sustain
  env.EnterStage(kRelease);
  EXPECT_NEAR(env.NextSample(), 0.0, 1e-15);
  EXPECT_EQ(env.NextSample(), 0.0);
  EXPECT_EQ(counter.calls, 1);

  // Retiming a running stage to under a sample, too.
  env.SetStageValue(kAttack, 1.0);
  env.StartFromStage(kAttack);
  Advance(env, 100);
  env.SetStageValue(kAttack, 0.0);
  EXPECT_DOUBLE_EQ(env.NextSample(), 1.0);
}

TEST(EnvelopeGenerator, RetimingARunningStageKeepsWhatIsDone)
{
  // A 3000-sample decay lengthened halfway to 0.125 s: the remaining half of the
  // new time, 3000 samples, follows; 4500 in all.
  EnvelopeGenerator decay = ShortestStages(0.5);
  decay.SetStageValue(kDecay, 0.0625);
  decay.StartFromStage(kAttack);
  Advance(decay, 4);
  EXPECT_NEAR(Advance(decay, 1500), Normalised(std::sqrt(0.5)), kLongRun);
  decay.SetStageValue(kDecay, 0.125);
  EXPECT_NEAR(Advance(decay, 1500), Normalised(std::pow(0.5, 0.75)), kLongRun);
  EXPECT_NEAR(Advance(decay, 1500), Normalised(0.5), kLongRun);
  EXPECT_EQ(decay.GetCurrentStage(), kDecay);
  decay.NextSample();
  EXPECT_EQ(decay.GetCurrentStage(), kSustain);

  // Lengths truncate: 2^-10 s is 46.875 samples, so the attack peaks at 46.
  EnvelopeGenerator shortAttack = ShortestStages(0.5);
  shortAttack.SetStageValue(kAttack, 1.0 / 1024.0);
  shortAttack.StartFromStage(kAttack);
  EXPECT_LT(Advance(shortAttack, 45), 0.999);
  EXPECT_NEAR(shortAttack.NextSample(), 1.0, 1e-12);

  // A 3000-sample attack stretched halfway (at 0.5001) to 0.25 s: 6000 samples.
  EnvelopeGenerator attack = ShortestStages(0.5);
  attack.SetStageValue(kAttack, 0.0625);
  attack.StartFromStage(kAttack);
  EXPECT_NEAR(Advance(attack, 1500), Normalised(0.5001), kLongRun);
  attack.SetStageValue(kAttack, 0.25);
  EXPECT_NEAR(Advance(attack, 3000), Normalised(0.75005), kLongRun);
  EXPECT_NEAR(Advance(attack, 3000), 1.0, kLongRun);
  attack.NextSample();
  EXPECT_EQ(attack.GetCurrentStage(), kDecay);
}

TEST(EnvelopeGenerator, SustainChangesBendADecayAndMoveASustain)
{
  EnvelopeGenerator env = ShortestStages(0.5);
  env.SetStageValue(kDecay, 0.0625);  // 3000 samples
  env.StartFromStage(kAttack);
  Advance(env, 4);
  EXPECT_NEAR(Advance(env, 1000), Normalised(std::cbrt(0.5)), kLongRun);

  // The remaining 2000 samples head for 0.8; halfway the level is the geometric
  // mean of where it was and 0.8.
  env.SetStageValue(kSustain, 0.8);
  EXPECT_NEAR(Advance(env, 1000), Normalised(std::sqrt(0.8 * std::cbrt(0.5))), kLongRun);
  EXPECT_NEAR(Advance(env, 1000), Normalised(0.8), kLongRun);
  EXPECT_DOUBLE_EQ(env.NextSample(), 0.7999 / 0.9999);
  EXPECT_EQ(env.GetCurrentStage(), kSustain);

  env.SetStageValue(kSustain, 0.3);
  EXPECT_DOUBLE_EQ(env.NextSample(), 0.2999 / 0.9999);
  env.SetStageValue(kSustain, -1.0);  // stored as the floor
  EXPECT_DOUBLE_EQ(env.GetStageValue(kSustain), kFloor);
  EXPECT_EQ(env.NextSample(), 0.0);
}
