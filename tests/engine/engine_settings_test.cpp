#include "engine_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace engine_test;

namespace
{
// Samples until the oscillator's crossfade of voice 0, slot pos, has ended.
int CrossfadeSamples(EngineRig& rig, int pos)
{
  int n = 0;
  while (rig.V(0).GetOscillator(pos).IsDeclickActive() && n < 100000)
  {
    rig.Sample();
    ++n;
  }
  return n;
}

// Restores the process-wide tempo after a test.
struct TempoGuard
{
  ~TempoGuard() { PlugG::SetHostBPM(120.0); }
};
}  // namespace

TEST(EngineSettings, CrossfadeLengthsOfTheSettingsAt48k)
{
  EngineRig rig;
  rig.Press(60);
  rig.Press(62);
  rig.Render(10);
  const Voice& v = rig.V(0);

  // Settings that change the signal path fade the whole voice.
  struct VoiceFadeRow
  {
    const char* name;
    void (*change)(VoiceManager&);
    int length;
  };
  const VoiceFadeRow voiceRows[] = {
    {"filter switch", [](VoiceManager& e) { e.SetFilterOnOff(0, false); }, 200},
    {"pass type", [](VoiceManager& e) { e.SetFltPassType(1, 2.0); }, 200},
    {"input modulation tap", [](VoiceManager& e) { e.SetPrePostFltInputMod(0, true); }, 200},
    {"oscillator switch", [](VoiceManager& e) { e.SetOscOnOff(1, true); }, 187},
  };
  for (const VoiceFadeRow& row : voiceRows)
  {
    SCOPED_TRACE(row.name);
    row.change(rig.E());
    for (int osc = 0; osc < 2; ++osc)
    {
      EXPECT_TRUE(v.GetDeclicker(osc).IsActive());
      EXPECT_EQ(v.GetDeclicker(osc).GetLength(), row.length);
      EXPECT_FALSE(rig.V(5).GetDeclicker(osc).IsActive());  // silent voices are left alone
    }
    rig.Render(300);
    EXPECT_FALSE(v.GetDeclicker(0).IsActive());
  }

  // Settings that change one oscillator's waveform fade that oscillator; a fade
  // of length L blends over L - 1 samples.
  rig.E().GetBendShiver().SetBaseValue(0, 0.3);  // the bend is in use
  rig.E().SetOscTune(0, 0.5);                    // the tune is in use
  struct OscFadeRow
  {
    const char* name;
    void (*change)(VoiceManager&);
    int length;
  };
  const OscFadeRow oscRows[] = {
    {"waveform", [](VoiceManager& e) { e.SetOscWave(0, kOscSaw); }, 100},
    {"bend window", [](VoiceManager& e) { e.SetOscBendWindowSize(0, 3.0); }, 375},
    {"bend origin", [](VoiceManager& e) { e.SetOscBendSpanOrigin(0, kBendSpanBpm); }, 1500},
    {"bend symmetry", [](VoiceManager& e) { e.SetOscBendSymmetry(0, kBendMiddle); }, 1500},
    {"tune range", [](VoiceManager& e) { e.SetTuneRangeSemitones(0, 7); }, 1000},
  };
  for (const OscFadeRow& row : oscRows)
  {
    SCOPED_TRACE(row.name);
    row.change(rig.E());
    EXPECT_FALSE(v.GetOscillator(1).IsDeclickActive());
    EXPECT_EQ(CrossfadeSamples(rig, 0), row.length - 1);
  }
}

TEST(EngineSettings, NoCrossfadeWhereNothingWouldClick)
{
  EngineRig rig;
  rig.Press(60);
  rig.Render(10);
  const Voice& v = rig.V(0);
  rig.E().SetOscOnOff(1, false);
  rig.Render(300);
  rig.E().SetOscWave(1, kOscSquare);  // a switched-off slot
  EXPECT_FALSE(v.GetOscillator(1).IsDeclickActive());
  rig.E().SetOscBendWindowSize(0, 3.0);  // no bend in use
  rig.E().SetTuneRangeSemitones(0, 12);  // no tune in use
  EXPECT_FALSE(v.GetOscillator(0).IsDeclickActive());
  EXPECT_EQ(v.GetOscillator(1).GetWave(), kOscSquare);
}

TEST(EngineSettings, ShiverSyncCrossfadesOnlyTheSlotsThatChange)
{
  EngineRig rig;
  rig.Press(60);
  rig.Render(10);
  ParamShiver& tune = rig.E().GetTuneShiver();
  tune.SetAmount(0, 0.5);
  tune.SetAmount(1, 0.5);
  const Voice& v = rig.V(0);
  rig.E().DeclickShSyncModeChange(VoiceManager::kTuneShiver, kShiverSyncVoice, 1000);
  EXPECT_FALSE(v.GetOscillator(0).IsDeclickActive());
  EXPECT_TRUE(v.GetOscillator(1).IsDeclickActive());
  rig.Render(1000);
  rig.E().DeclickShSyncModeChange(VoiceManager::kTuneShiver, kShiverSyncNone, 1000);
  EXPECT_FALSE(v.GetOscillator(0).IsDeclickActive() || v.GetOscillator(1).IsDeclickActive());
  tune.SetAmount(1, 0.0);
  rig.E().DeclickShSyncModeChange(VoiceManager::kTuneShiver, kShiverSyncAll, 1000);
  EXPECT_TRUE(v.GetOscillator(0).IsDeclickActive());
  EXPECT_FALSE(v.GetOscillator(1).IsDeclickActive());  // no amount on slot 1
}

TEST(EngineSettings, FilterRunsOnlyWithItsSwitchAndItsOscillatorOn)
{
  EngineRig rig;
  VoiceDataSingleton& d = rig.D();
  rig.E().SetFilterOnOff(0, false);
  rig.E().SetOscOnOff(0, false);
  rig.E().SetOscOnOff(0, true);
  EXPECT_FALSE(d.filterOn[0]);
  rig.E().SetFilterOnOff(0, true);
  EXPECT_TRUE(d.filterOn[0]);
  EXPECT_TRUE(rig.V(3).GetFilter(0).IsOn());
  rig.E().SetOscOnOff(0, false);
  EXPECT_FALSE(d.filterOn[0]);
  EXPECT_TRUE(d.filterSwitch[0]);
  EXPECT_FALSE(rig.V(3).GetFilter(0).IsOn());
  EXPECT_FALSE(rig.E().GetCutoffShiver().IsEnabled(0));
  EXPECT_FALSE(rig.E().GetTuneShiver().IsEnabled(0));
}

TEST(EngineSettings, ThresholdSlopeFollowsWhetherTheTapReadsAFilteredSignal)
{
  // The external AM of slot 0 reads oscillator 1; its oscillator AM reads oscillator 2.
  struct Row
  {
    bool filter1, filter2, inputModPre, oamModulatorPre;
    bool amFiltered, oamFiltered;
  };
  const Row rows[] = {
    {true, true, false, false, true, true},
    {true, true, true, true, false, false},
    {false, true, false, false, false, true},
    {true, false, false, false, true, false},
    {false, false, false, false, false, false},
  };
  for (const Row& row : rows)
  {
    EngineRig rig;
    rig.E().SetFilterOnOff(0, row.filter1);
    rig.E().SetFilterOnOff(1, row.filter2);
    rig.E().SetPrePostFltInputMod(0, row.inputModPre);
    rig.E().SetPrePostFltOAMModulator(0, row.oamModulatorPre);
    const VoiceDataSingleton& d = rig.D();
    EXPECT_EQ(d.amThreshold[0].UsesFilteredSlope(), row.amFiltered);
    EXPECT_EQ(d.oscAmThreshold[0].UsesFilteredSlope(), row.oamFiltered);
  }
  VoiceDataSingleton::AmThreshold t;
  t.Set(0.6);
  EXPECT_DOUBLE_EQ(t.fullScaleSlope, 1.0 / 0.4);
  EXPECT_DOUBLE_EQ(t.overshootSlope, 1.0 / (1.0 - 0.6666 * 0.6));
  EXPECT_EQ(t.Level(0.2), 0.0);             // c = 0.6: at the threshold
  EXPECT_DOUBLE_EQ(t.Level(0.6), 0.5);      // c = 0.8
  EXPECT_EQ(t.Level(1.2), 1.0);             // above full scale
}

TEST(EngineSettings, BendWindowAndEnvelopeAmountCurves)
{
  EngineRig rig;
  const std::pair<double, double> windows[] = {
    {0.0, 2.0 * M_PI / 17.0}, {15.0, M_PI}, {16.0, 2.0 * M_PI}, {20.0, 10.0 * M_PI}};
  for (const auto& [x, window] : windows)
  {
    rig.E().SetOscBendWindowSize(1, x);
    EXPECT_DOUBLE_EQ(rig.V(9).GetOscillator(1).GetBendWindowSize(), window) << x;
  }
}

TEST(EngineSettings, TuneRangeAndRatioSetTheRateOfEveryVoice)
{
  EngineRig rig;
  rig.E().SetTuneRangeSemitones(0, 12);
  rig.E().SetOscTune(0, 1.0);
  rig.Press(69);
  rig.Render(2);
  EXPECT_DOUBLE_EQ(rig.V(0).GetOscillator(0).GetPhaseIncrement(), 880.0 * 2.0 * M_PI / 48000.0);
  rig.E().SetOscTune(0, -1.0);
  EXPECT_DOUBLE_EQ(rig.V(0).GetOscillator(0).GetPhaseIncrement(), 220.0 * 2.0 * M_PI / 48000.0);
  rig.E().SetOscFreqRatio(1, 1.5);
  EXPECT_DOUBLE_EQ(rig.V(31).GetOscillator(1).GetPhaseIncrement(), 440.0 * 1.5 * 2.0 * M_PI / 48000.0);
}

TEST(PitchWheel, FactorsAndTheRateOfTheOscillators)
{
  EngineRig rig;
  rig.E().SetOscFreqRatio(1, 2.0);
  rig.E().SetTuneRangeSemitones(1, 12);
  rig.E().SetOscTune(1, 1.0);
  rig.Press(69);
  rig.Render(2);
  const double rate0 = 2.0 * M_PI / 48000.0;
  const double rate1 = 2.0 * 2.0 * 2.0 * M_PI / 48000.0;  // ratio 2, tuned an octave up
  // Up scales by the downward span 1 - 2^(-1/6), down by the upward span 2^(1/6) - 1.
  const std::pair<double, double> rows[] = {{0.0, 1.0}, {1.0, 1.1091013}, {-1.0, 0.8775380}, {0.5, 1.0545506}};
  for (const auto& [wheel, factor] : rows)
  {
    rig.E().OnPitchWheel(wheel);
    EXPECT_NEAR(rig.D().pitchWheelFactor, factor, 5e-8) << wheel;
    EXPECT_NEAR(rig.V(0).GetOscillator(0).GetPhaseIncrement(), 440.0 * factor * rate0, 5e-8 * 440.0 * rate0) << wheel;
    EXPECT_NEAR(rig.V(0).GetOscillator(1).GetPhaseIncrement(), 440.0 * factor * rate1, 5e-8 * 440.0 * rate1) << wheel;
  }
}

TEST(PitchWheel, ASostenutoHeldVoiceTakesTheWheelAtItsNextNote)
{
  EngineRig rig;
  rig.Press(69);  // voice 0
  rig.Pedal(VoiceTables::kSostenutoPedal, true);
  rig.Lift(69);
  rig.Press(72);  // voice 1, pressed after the pedal went down
  rig.Render(10);
  const double rate = 2.0 * M_PI / 48000.0;
  const double factor = 2.0 - std::pow(2.0, -1.0 / 6.0);  // a full throw up
  rig.E().OnPitchWheel(1.0);
  EXPECT_TRUE(rig.T().IsPitchWheelDeferred(0));
  EXPECT_FALSE(rig.T().IsPitchWheelDeferred(1));
  EXPECT_DOUBLE_EQ(rig.V(0).GetOscillator(0).GetPhaseIncrement(), 440.0 * rate);
  EXPECT_DOUBLE_EQ(rig.V(1).GetOscillator(0).GetPhaseIncrement(), rig.V(1).GetFrequency() * factor * rate);
  EXPECT_DOUBLE_EQ(rig.V(20).GetOscillator(0).GetPhaseIncrement(), 440.0 * factor * rate);  // idle: at once

  // A later move keeps the voice waiting, even after the pedal let it go.
  rig.Pedal(VoiceTables::kSostenutoPedal, false);
  rig.Render(600);
  ASSERT_FALSE(rig.T().IsActive(0));
  rig.E().OnPitchWheel(1.0);
  EXPECT_TRUE(rig.T().IsPitchWheelDeferred(0));
  EXPECT_DOUBLE_EQ(rig.V(0).GetOscillator(0).GetPhaseIncrement(), 440.0 * rate);

  // Its next note applies the factor.
  rig.Press(60);
  ASSERT_EQ(rig.VoiceOf(60), 0);
  EXPECT_FALSE(rig.T().IsPitchWheelDeferred(0));
  rig.Render(2);
  EXPECT_DOUBLE_EQ(rig.V(0).GetOscillator(0).GetPhaseIncrement(), rig.V(0).GetFrequency() * factor * rate);
}

TEST(Tempo, OnlyFiniteTemposWithinTheRangeAreTaken)
{
  TempoGuard guard;
  EXPECT_TRUE(PlugG::SetHostBPM(90.0));
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {0.0, -120.0, 0.999, 360.5, 1e9, std::nan(""), inf, -inf})
  {
    EXPECT_FALSE(PlugG::SetHostBPM(bad)) << bad;
    EXPECT_EQ(PlugG::HOST_BPM, 90.0);
    EXPECT_EQ(PlugG::INV_BPM, 1.0 / 90.0);
  }
  EXPECT_TRUE(PlugG::SetHostBPM(1.0));
  EXPECT_TRUE(PlugG::SetHostBPM(360.0));
  EXPECT_EQ(PlugG::INV_BPM, 1.0 / 360.0);
}

TEST(Tempo, TempoUpdatesRecomputeBendWindowsFromTheWindowAsSet)
{
  TempoGuard guard;
  EngineRig rig;
  rig.E().SetOscBendSpanOrigin(0, kBendSpanBpm);
  rig.E().SetOscBendWindowSize(0, 17.0);  // 2 x 2 pi
  rig.Press(69);
  rig.Render(2);
  const Oscillator& osc = rig.V(0).GetOscillator(0);
  const double size = 2.0 * 2.0 * M_PI;
  auto expectedWindow = [&] {
    return osc.GetPhaseIncrement() * PlugG::SRDivTwoPi * 60.0 * PlugG::INV_BPM * size;
  };
  EXPECT_DOUBLE_EQ(osc.GetBendWindow(), expectedWindow());
  PlugG::SetHostBPM(60.0);
  rig.E().UpdateHostBPM();
  rig.E().UpdateHostBPM();  // a second update at the same tempo changes nothing
  EXPECT_DOUBLE_EQ(osc.GetBendWindowSize(), size);
  EXPECT_DOUBLE_EQ(osc.GetBendWindow(), expectedWindow());
  EXPECT_DOUBLE_EQ(rig.V(5).GetOscillator(0).GetBendWindowSize(), size);
}

TEST(EngineRandomness, ASeededEngineRendersTheSameBitsTwice)
{
  auto render = [](std::uint64_t seed) {
    EngineRig rig(seed);
    rig.D().noiseAmount[0] = 0.3;
    rig.E().GetTuneShiver().SetAmount(0, 0.7);
    rig.E().GetPanShiver().SetAmount(1, 0.4);
    for (int k = 0; k < 6; ++k) rig.Press(48 + 5 * k);
    std::vector<double> out;
    for (int i = 0; i < 3000; ++i)
    {
      rig.Sample();
      out.push_back(rig.out[0]);
      out.push_back(rig.out[1]);
    }
    return out;
  };
  const std::vector<double> a = render(7);
  const std::vector<double> b = render(7);
  const std::vector<double> c = render(8);
  EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0);
  EXPECT_NE(a, c);
}
