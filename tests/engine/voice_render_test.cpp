#include "engine_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace engine_test;

TEST(SoftLimiter, PassesInsideTheThresholdAndBendsTowardsTheCeiling)
{
  SoftLimiter master;  // as the engine sets it up: ceiling 8, range 1
  master.SetCeiling(8.0);
  master.SetRange(1.0);
  EXPECT_EQ(master.GetThreshold(), 7.0);
  EXPECT_EQ(master.Process(7.0), 7.0);
  EXPECT_EQ(master.Process(-7.0), -7.0);
  EXPECT_DOUBLE_EQ(master.Process(8.0), 7.5);  // 1 / (1 + 1) + 7
  EXPECT_DOUBLE_EQ(master.Process(-8.0), -7.5);
  EXPECT_LT(master.Process(1000.0), 8.0);
  EXPECT_GT(master.Process(1000.0), 7.99);

  SoftLimiter voice;  // a voice's: ceiling 2, range 1
  voice.SetCeiling(2.0);
  voice.SetRange(1.0);
  EXPECT_EQ(voice.Process(0.9), 0.9);
  EXPECT_DOUBLE_EQ(voice.Process(3.0), 5.0 / 3.0);  // 2 / (2 + 1) + 1

  SoftLimiter hard;
  hard.SetRange(0.0);  // no soft zone: clips at the threshold, which is the ceiling
  EXPECT_EQ(hard.GetThreshold(), 1.0);
  EXPECT_EQ(hard.Process(5.0), 1.0);
  EXPECT_EQ(hard.Process(-5.0), -1.0);

  SoftLimiter narrowed;  // a lower ceiling narrows a wider range, keeping the knee
  narrowed.SetRange(3.0);
  EXPECT_EQ(narrowed.GetCeiling(), 3.0);
  narrowed.SetCeiling(2.0);
  EXPECT_EQ(narrowed.GetRange(), 2.0);
  EXPECT_EQ(narrowed.GetThreshold(), 0.0);
  EXPECT_DOUBLE_EQ(narrowed.GetKnee(), 1.0 / 3.0);
}

TEST(Declicker, MovesFromTheLastOutputTowardsTheNewSignal)
{
  Declicker d;
  double pair[2] = {0.0, -0.5};
  d.Process(pair);  // remembered: 0, -0.5
  d.Start(4);
  const double expectedLeft[] = {0.25, 0.5 + 0.5 * 0.25, 0.75 + 0.25 * 0.625, 1.0};
  for (double e : expectedLeft)
  {
    pair[0] = 1.0;
    pair[1] = 1.0;
    d.Process(pair);
    EXPECT_DOUBLE_EQ(pair[0], e);
  }
  EXPECT_FALSE(d.IsActive());
  EXPECT_DOUBLE_EQ(pair[1], 1.0);

  d.ClearMemory();  // an oscillator switched on fades in from silence
  d.Start(2);
  pair[0] = pair[1] = 0.8;
  d.Process(pair);
  EXPECT_DOUBLE_EQ(pair[0], 0.4);
  d.Start(0);  // cancels
  EXPECT_FALSE(d.IsActive());
}

TEST(DCremove, FadesItselfOutOverSilence)
{
  DCremove dc;
  dc.SetCutoff(DCremove::kVoiceCutoff);
  EXPECT_DOUBLE_EQ(dc.GetCoefficient(), 1.0 - 0.7 * 2.0 * M_PI / 48000.0);
  for (int i = 0; i < 100; ++i) dc.Process(0.5);
  double last = dc.Process(0.0);
  for (int k = 2; k <= 3000; ++k)
  {
    const double y = dc.Process(0.0);
    EXPECT_LE(std::fabs(y), std::fabs(last) + 1e-15);
    last = y;
  }
  EXPECT_NEAR(dc.GetWeight(), std::pow(0.999, 3000), 1e-12);
  EXPECT_LT(std::fabs(last), 0.01);
}

TEST(Voice, GoesSilentWhenItsUsedEnvelopesAreOff)
{
  EngineRig rig;
  int deactivated = -1;
  struct Listener
  {
    int* slot;
    void On(int v) { *slot = v; }
  } listener{&deactivated};
  rig.T().mVoiceDeactivated.Connect(&listener, &Listener::On);

  rig.Render(10);  // nothing sounds: the output is exactly 0
  EXPECT_EQ(rig.out[0], 0.0);
  EXPECT_EQ(rig.out[1], 0.0);

  rig.Press(60);
  rig.Press(62);
  rig.Render(100);
  rig.Lift(62);
  rig.Render(479);
  EXPECT_TRUE(rig.V(1).IsActive());
  rig.Render(10);
  EXPECT_FALSE(rig.V(1).IsActive());
  EXPECT_EQ(rig.V(1).GetNote(), -1);
  EXPECT_EQ(deactivated, 1);
  EXPECT_EQ(rig.T().GetActiveCount(), 1);

  // Both oscillators switched off: the voice goes at the next check.
  rig.E().SetOscOnOff(0, false);
  rig.E().SetOscOnOff(1, false);
  rig.Sample();
  EXPECT_FALSE(rig.V(0).IsActive());
  EXPECT_EQ(rig.T().GetActiveCount(), 0);
}

TEST(Voice, OscillatorAmReadsThisSamplesSignalsOfTheVoice)
{
  EngineRig rig;
  VoiceDataSingleton& d = rig.D();
  rig.E().SetFltFreq(0, 600.0);
  rig.E().SetFltFreq(1, 900.0);
  rig.E().SetOscWave(0, kOscSaw);
  rig.E().SetOscFreqRatio(1, 1.5);
  d.oscAmAmount[0] = 0.8;
  d.oscAmThreshold[0].Set(0.2);
  rig.Press(57, 127);
  const Voice& v = rig.V(0);
  const double t = 0.2;
  const double slope = 1.0 / (1.0 - 0.6666 * t);  // oscillator 2 is filtered and tapped after its filter
  int nonZero = 0;
  for (int i = 0; i < 400; ++i)
  {
    rig.Sample();
    const double c = (v.GetPostFilterSample(1) + 1.0) * 0.5;
    const double level = c > t ? (c > 1.0 ? 1.0 : (c - t) * slope) : 0.0;
    const double env2 = v.GetAmplitude(1) / v.GetVelocityFactor();
    const double expected = v.GetPostFilterSample(0) * level * 0.8 * env2;
    ASSERT_NEAR(v.GetOscAmProduct(0), expected, 1e-12) << i;
    nonZero += expected != 0.0 ? 1 : 0;
  }
  EXPECT_GT(nonZero, 100);

  // Before the filter, on both sides.
  rig.E().SetPrePostFltOAMCarrier(0, true);
  rig.E().SetPrePostFltOAMModulator(0, true);
  for (int i = 0; i < 100; ++i)
  {
    rig.Sample();
    const double c = (v.GetPreFilterSample(1) + 1.0) * 0.5;
    const double level = c > t ? (c > 1.0 ? 1.0 : (c - t) / (1.0 - t)) : 0.0;
    const double env2 = v.GetAmplitude(1) / v.GetVelocityFactor();
    ASSERT_NEAR(v.GetOscAmProduct(0), v.GetPreFilterSample(0) * level * 0.8 * env2, 1e-12) << i;
  }
}

TEST(Voice, HardSyncRestartsTheSlaveAtEveryNthZeroCrossingOfTheMaster)
{
  EngineRig rig;
  VoiceDataSingleton& d = rig.D();
  d.hardSyncMaster = 1;  // oscillator 1 drives oscillator 2
  d.hardSyncPeriod = 3;
  rig.E().SetOscFreqRatio(1, 1.37);
  rig.Press(69);
  const Voice& v = rig.V(0);
  double previous = 0.0;
  int crossings = 0;
  int restarts = 0;
  for (int i = 0; i < 2000; ++i)
  {
    rig.Sample();
    const double current = v.GetPostFilterSample(0);
    const bool crossed = current * previous <= 0.0;
    previous = current;
    crossings += crossed ? 1 : 0;
    const bool restarted = v.GetOscillator(1).GetPhase() == 0.0;
    ASSERT_EQ(restarted, crossed && crossings % 3 == 0) << i;
    restarts += restarted ? 1 : 0;
  }
  EXPECT_GT(restarts, 5);
}

TEST(Voice, ExternalAmplitudeModulationAddsTheThresholdedInput)
{
  EngineRig rig;
  VoiceDataSingleton& d = rig.D();
  rig.E().SetOscOnOff(1, false);
  rig.E().SetPrePostFltInputMod(0, true);  // the oscillator before its filter modulates
  d.inputAmount[0] = 0.8;
  d.amDepth[0] = 0.25;
  d.amThreshold[0].Set(0.3);
  rig.amIn[0][0] = 0.5;
  rig.amIn[0][1] = -0.25;
  rig.Press(60);
  const Voice& v = rig.V(0);
  int modulated = 0;
  for (int i = 0; i < 300; ++i)
  {
    rig.Sample();
    const double c = (v.GetPreFilterSample(0) + 1.0) * 0.5;
    const double e = c > 0.3 ? (c > 1.0 ? 1.0 : (c - 0.3) / 0.7) : 0.0;
    modulated += e > 0.0 ? 1 : 0;
    const double s = v.GetPostFilterSample(0);
    ASSERT_NEAR(v.GetOutputPair(0)[0], s + e * 0.25 * 0.4 + 0.75 * 0.4, 1e-12) << i;
    ASSERT_NEAR(v.GetOutputPair(0)[1], s + e * 0.25 * -0.2 + 0.75 * -0.2, 1e-12) << i;
  }
  EXPECT_GT(modulated, 50);
}

TEST(VoiceData, FilterAuxSendsTheExternalInputThroughTheNoiseFilter)
{
  for (bool filterAux : {false, true})
  {
    VoiceDataSingleton d;
    d.inputAmount[0] = 1.0;
    d.filterAux[0] = filterAux;
    d.noiseFilter[0].SetColor(-1.0);  // darkest: a low-pass near 100 Hz
    double peak = 0.0;
    for (int i = 0; i < 2000; ++i)
    {
      double in[2] = {i % 2 ? 1.0 : -1.0, i % 2 ? -1.0 : 1.0};  // at the Nyquist frequency
      double* inputs[2] = {&in[0], &in[1]};
      d.ClearSampleValues();
      d.PrepareExtMixedSamplesForOsc(0, inputs);
      if (i >= 1000) peak = std::max(peak, std::fabs(d.directMix[0][0]));
    }
    if (filterAux)
      EXPECT_LT(peak, 0.01);
    else
      EXPECT_EQ(peak, 1.0);
  }
}

TEST(EngineRender, AChordIsTheSumOfItsNotesPlayedApart)
{
  // The engine renders its voices together, a step at a time across all of
  // them; each voice must still hear only its own state. Below the master
  // limiter's threshold the output is linear in the voices, so a chord must be
  // the sum of its notes rendered by separate engines (up to the rounding of
  // the additions, which happen in another order).
  auto patch = [](EngineRig& rig) {
    VoiceDataSingleton& d = rig.D();
    rig.E().SetOscWave(0, kOscSaw);
    rig.E().SetOscWave(1, kOscSine);
    rig.E().SetOscFreqRatio(1, 1.5);
    rig.E().SetFltModel(0, kFltReson);
    rig.E().SetFltModel(1, kFltTLadder);
    rig.E().SetFltFreq(0, 900.0);
    rig.E().SetFltFreq(1, 2500.0);
    rig.E().SetFltEnvAmnt(0, 0.6);
    rig.E().SetFltFollowNote(1, 1.0);
    for (int v = 0; v < VoiceTables::kNumVoices; ++v)
    {
      rig.V(v).GetFilter(0).SetResonance(0.7, false);
      rig.V(v).GetFilter(1).SetDrive(0.5, false);
      rig.V(v).GetFilter(1).SetResonance(0.4, false);
    }
    d.fmAmount[1] = 0.8;  // oscillator 2 follows oscillator 1
    d.oscAmAmount[0] = 0.5;
    d.feedback[0] = 0.2;
    d.mix[0] = d.mix[1] = 0.2;
  };
  const int keys[] = {40, 47, 52, 56, 59, 64};
  constexpr int kSamples = 3000;

  EngineRig chord;
  patch(chord);
  for (int key : keys) chord.Press(key, key);
  std::vector<double> chordOut;
  for (int i = 0; i < kSamples; ++i)
  {
    chord.Sample();
    chordOut.push_back(chord.out[0]);
    chordOut.push_back(chord.out[1]);
  }

  std::vector<double> sum(chordOut.size(), 0.0);
  for (int key : keys)
  {
    EngineRig single;
    patch(single);
    single.Press(key, key);
    for (int i = 0; i < kSamples; ++i)
    {
      single.Sample();
      sum[2 * i] += single.out[0];
      sum[2 * i + 1] += single.out[1];
    }
  }

  double peak = 0.0;
  for (size_t i = 0; i < sum.size(); ++i)
  {
    ASSERT_NEAR(chordOut[i], sum[i], 1e-12) << "sample " << i / 2;
    peak = std::max(peak, std::fabs(chordOut[i]));
  }
  EXPECT_GT(peak, 0.05);  // the chord sounds
  EXPECT_LT(peak, 7.0);   // and stays where the limiter passes it unchanged
}
