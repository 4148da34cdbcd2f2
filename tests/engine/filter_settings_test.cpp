// How the models take their settings: bad values must not reach the state,
// out-of-range values act as the nearest valid one, and the models' special
// cases (drive cut-offs, DC blocking, the stage-gain cap) hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "filters/LaneFields.h"
#include "filters/NoiseTiltSvfZDF.h"
#include "filter_bank.h"
#include "filter_test_support.h"

using namespace filter_test;

namespace
{
constexpr FilterModel kAllModels[] = {kFltReson, kFltSimple, kFltFormant, kFltTLadder, kFltMoog};
static_assert(std::size(kAllModels) == kNumFilterModels, "every model is checked");
constexpr FilterPassType kAllPassTypes[] = {kLP, kBP, kHP, kP, kBR};

// Runs two filters on the same noise and expects bit-identical, finite output.
void ExpectSameOutput(FilterZK& a, FilterZK& b, int samples, const std::string& what)
{
  WhiteNoise noise(777);
  for (int n = 0; n < samples; ++n)
  {
    const double x = 0.8 * noise.Next();
    const double ya = a.Process(x);
    const double yb = b.Process(x);
    ASSERT_TRUE(std::isfinite(ya)) << what << " sample " << n;
    ASSERT_EQ(ya, yb) << what << " sample " << n;
  }
}

TEST(FilterSettings, NonFiniteValuesLeaveEveryModelAsItWas)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (FilterModel model : kAllModels)
  {
    for (FilterPassType type : kAllPassTypes)
    {
      FilterBank poisoned;
      FilterBank clean;
      FilterZK& a = poisoned.Get(model);
      FilterZK& b = clean.Get(model);
      Configure(a, type, 800.0, 0.6, 0.5, -0.3);
      Configure(b, type, 800.0, 0.6, 0.5, -0.3);
      ExpectSameOutput(a, b, 500, "before, model " + std::to_string(model));
      for (double bad : {nan, inf, -inf})
      {
        a.SetFreq(bad);
        a.SetResonance(bad);
        a.SetDrive(bad);
        a.SetAdditionalParam(bad);
      }
      ExpectSameOutput(a, b, 4000, "after, model " + std::to_string(model) + " type " + std::to_string(type));
    }
  }
}

// A run of frames leaves a formant filter tuned to its last cutoff: the bands
// as the run tuned them, the rest to be brought up to it. Whatever setting
// changes after, the filter must sound as one that took that cutoff frame by
// frame.
TEST(FilterSettings, FormantAfterARunTakesSettingsAsAfterItsLastCutoffFrameByFrame)
{
  using Lane = FormantFltZK::Lane;
  constexpr int kFields = sizeof(Lane) / sizeof(double);
  const std::pair<const char*, std::function<void(FilterZK&)>> changes[] = {
      {"nothing", [](FilterZK&) {}},
      {"the shift", [](FilterZK& f) { f.SetAdditionalParam(-0.6); }},
      {"the drive", [](FilterZK& f) { f.SetDrive(0.7); }},
      {"the shift, then the drive", [](FilterZK& f) {
         f.SetAdditionalParam(0.8);
         f.SetDrive(0.2);
       }}};
  for (bool driven : {false, true})
    for (const auto& [what, change] : changes)
    {
      FormantFltZK frames, run;
      for (FormantFltZK* f : {&frames, &run}) Configure(*f, kLP, 1200.0, 0.4, driven ? 0.5 : 0.0, 0.3);
      ExpectSameOutput(frames, run, 300, "before");
      // The run ends on a cutoff of another vowel. Its rows hold what the
      // frames computed from that cutoff, but for an undriven voice the driven
      // path's tuning, which its lanes left as they found it.
      frames.SetFreq(7300.0);
      const Lane& tuned = frames.GetLane();
      Lane left = tuned;
      if (!driven)
      {
        left.bandPass = run.GetLane().bandPass;
        left.highPass = run.GetLane().highPass;
      }
      double fields[kFields];
      std::memcpy(fields, &left, sizeof(Lane));
      // Lane 0 of a run's rows of voices, field after field.
      std::vector<double> rows(kFields * LaneFields::kStride);
      for (int f = 0; f < kFields; ++f) rows[f * LaneFields::kStride] = fields[f];
      run.FinishRun({rows.data(), true});
      change(frames);
      change(run);
      ExpectSameOutput(frames, run, 3000,
                       std::string(what) + " changed after the run, " + (driven ? "driven" : "undriven"));
    }
}

TEST(FilterSettings, OutOfRangeValuesActAsTheNearestValidOne)
{
  struct Pair
  {
    double wild, valid;
  };
  for (FilterModel model : kAllModels)
  {
    for (FilterPassType type : kAllPassTypes)
    {
      // Cutoffs below 1 Hz act as 1 Hz and above Nyquist as Nyquist, except the
      // formant filter, whose vowel position stops at both ends of its table.
      const bool formant = model == kFltFormant;
      const Pair cutoffs[] = {{-1e6, formant ? 10.0 : 1.0}, {1e9, formant ? 20001.0 : PlugG::NYQUIST}};
      for (const Pair& cutoff : cutoffs)
      {
        FilterBank wild;
        FilterBank valid;
        Configure(wild.Get(model), type, cutoff.wild, 7.0, 5.0, -9.0);
        Configure(valid.Get(model), type, cutoff.valid, 1.0, 1.0, -1.0);
        ExpectSameOutput(wild.Get(model), valid.Get(model), 4000, "model " + std::to_string(model));
      }
      FilterBank wild;
      FilterBank valid;
      Configure(wild.Get(model), type, 3000.0, -2.0, -4.0, 9.0);
      Configure(valid.Get(model), type, 3000.0, 0.0, 0.0, 1.0);
      ExpectSameOutput(wild.Get(model), valid.Get(model), 4000, "low, model " + std::to_string(model));
    }
  }
}

TEST(FilterSettings, StateVariableTakesDriveBeforeAnyResonance)
{
  // A fresh filter has its damping at 1, outside what any resonance gives;
  // driving it then must still sound.
  StateVariableZDF filter;
  filter.SetDrive(1.0);
  filter.SetFreq(1000.0);
  WhiteNoise noise(5);
  double energy = 0.0;
  for (int n = 0; n < 4800; ++n)
  {
    const double y = filter.Process(noise.Next());
    ASSERT_TRUE(std::isfinite(y)) << n;
    energy += y * y;
  }
  EXPECT_GT(energy, 1.0);
}

TEST(FilterSettings, CeilingCutoffAtLowRatesWarpsAtFortyNinePercent)
{
  // At 22050 Hz the ceiling is Nyquist itself, where tan(pi f / SR) has no
  // finite value; the filters then behave as if tuned to 0.49 SR.
  SampleRateGuard rate(22050.0);
  ASSERT_EQ(PlugG::FLT_F_MAX, 11025.0);
  const double warpedCutoff = 0.49 * 22050.0;
  for (int probe : {1000, 5000, 9000})
  {
    BiquadZK biquad;
    Configure(biquad, kLP, PlugG::FLT_F_MAX, 0.9, 0.0, 0.0);
    const double q = 21.0 * std::pow(0.9, 8);
    const Complex s = WarpedJOmega(probe, warpedCutoff, 22050.0);
    const double expected = std::abs(1.0 / (s * s + s / q + 1.0) * DcBlockerResponse(probe, 22050.0));
    const double measured = MeasureGain([&](double x) { return biquad.Process(x); }, probe, 22050.0);
    EXPECT_NEAR(measured, expected, 1e-5 * expected) << probe;

    TransistorLadderZDF ladder;
    Configure(ladder, kHP, PlugG::FLT_F_MAX, 0.0, 0.0, 0.0);
    // Without resonance the highpass is (s / (1 + s))^4.
    const Complex t = WarpedJOmega(probe, warpedCutoff, 22050.0);
    const double expectedLadder = std::abs(std::pow(t / (1.0 + t), 4) * DcBlockerResponse(probe, 22050.0));
    const double measuredLadder = MeasureGain([&](double x) { return ladder.Process(x); }, probe, 22050.0);
    EXPECT_NEAR(measuredLadder, expectedLadder, 1e-5 * expectedLadder) << probe;
  }
}

TEST(FilterSettings, ConstantInputFadesOutThroughTheDcBlocker)
{
  // The 5 Hz blocker's time constant is 1 / (2 pi 5) = 32 ms, so one second of
  // constant input leaves about e^-31 of the step.
  for (FilterModel model : {kFltSimple, kFltTLadder, kFltMoog})
  {
    for (FilterPassType type : kAllPassTypes)
    {
      FilterBank bank;
      FilterZK& filter = bank.Get(model);
      Configure(filter, type, 1000.0, 0.3, 0.5, 0.0);
      double first = 0.0;
      double last = 0.0;
      for (int n = 0; n < 72000; ++n)
      {
        const double y = filter.Process(0.5);
        if (n == 20)
          first = y;
        last = y;
      }
      EXPECT_NE(first, 0.0) << model << " " << type;
      EXPECT_LT(std::fabs(last), 1e-9) << model << " " << type;
    }
  }
}

TEST(FilterSettings, BiquadDriveIsInertAboveTenKilohertz)
{
  // Above 10 kHz the drive blend is 0 and the states pass unsaturated.
  BiquadZK driven;
  BiquadZK plain;
  Configure(driven, kLP, 12000.0, 0.8, 1.0, 0.0);
  Configure(plain, kLP, 12000.0, 0.8, 0.0, 0.0);
  ExpectSameOutput(driven, plain, 4800, "12 kHz");
  // In the 800 Hz to 4 kHz band the full drive applies and changes the sound.
  Configure(driven, kLP, 2000.0, 0.8, 1.0, 0.0);
  Configure(plain, kLP, 2000.0, 0.8, 0.0, 0.0);
  double difference = 0.0;
  for (int n = 0; n < 4800; ++n)
  {
    const double x = n % 100 < 50 ? 1.0 : -1.0;
    difference = std::max(difference, std::fabs(driven.Process(x) - plain.Process(x)));
  }
  EXPECT_GT(difference, 0.01);
}

TEST(FilterSettings, TransistorLadderDriveRaisesInputGainToThirtyTwo)
{
  auto gainWithDrive = [](double drive) {
    TransistorLadderZDF filter;
    Configure(filter, kLP, 2000.0, 0.0, drive, 0.0);
    return MeasureGain([&](double x) { return filter.Process(x); }, 500, 48000.0, 1.0, 1e-7);
  };
  EXPECT_NEAR(gainWithDrive(1.0) / gainWithDrive(0.0), 32.0, 32.0 * 1e-5);
  EXPECT_NEAR(gainWithDrive(0.5) / gainWithDrive(0.0), 16.5, 16.5 * 1e-5);
}

TEST(FilterSettings, DiodeLadderStageGainStopsRisingAtTwoPi)
{
  // At 44.1 kHz sqrt(2) tan(pi f / SR) reaches 2 pi near 18.94 kHz: above it
  // the stages no longer change, below it they do. Resonance 0 keeps the
  // cutoff-dependent feedback compensation out of the comparison.
  SampleRateGuard rate(44100.0);
  DiodeLadderZDF at19k;
  DiodeLadderZDF at20k;
  Configure(at19k, kLP, 19000.0, 0.0, 0.0, 0.0);
  Configure(at20k, kLP, 20000.0, 0.0, 0.0, 0.0);
  ExpectSameOutput(at19k, at20k, 4410, "above the cap");

  DiodeLadderZDF at18k;
  Configure(at18k, kLP, 18000.0, 0.0, 0.0, 0.0);
  Configure(at20k, kLP, 20000.0, 0.0, 0.0, 0.0);
  bool differs = false;
  WhiteNoise noise(3);
  for (int n = 0; n < 100; ++n)
  {
    const double x = noise.Next();
    differs |= at18k.Process(x) != at20k.Process(x);
  }
  EXPECT_TRUE(differs);
}

TEST(FilterSettings, NoiseTiltAtColourZeroIsTransparent)
{
  NoiseTiltSvfZDF tilt;
  tilt.SetColor(0.0);
  WhiteNoise noise(9);
  for (int n = 0; n < 1000; ++n)
  {
    double pair[2] = {noise.Next(), noise.Next()};
    const double left = pair[0];
    const double right = pair[1];
    tilt.Process(pair);
    ASSERT_EQ(pair[0], left);
    ASSERT_EQ(pair[1], right);
  }
}
}  // namespace
