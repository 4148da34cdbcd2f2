#include "Oscillator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "besselfilter.h"
#include "oscillator_test_support.h"

using namespace osc_test;

namespace
{
// Rising zero crossings per second of `seconds` of output: the pitch in Hz.
double ZeroCrossingPitch(Oscillator& osc, double N, double sampleRate, double seconds = 2.0)
{
  const int samples = static_cast<int>(seconds * sampleRate);
  int crossings = 0;
  double previous = osc.NextSample(0.0, N, 1.0 / std::max(2.0, N));
  for (int i = 1; i < samples; ++i)
  {
    const double s = osc.NextSample(0.0, N, 1.0 / std::max(2.0, N));
    if (previous < 0.0 && s >= 0.0) ++crossings;
    previous = s;
  }
  return crossings / seconds;
}

TEST(OscillatorRender, PhaseAdvancesByTheModulatedIncrement)
{
  const double increment = kTwoPi * 1000.0 / 48000.0;
  // fm 0, a backwards-running fm of -3 and an fm of 30 used as 20.
  for (double fm : {0.0, -3.0, 30.0})
  {
    Oscillator osc = MakeOscillator(kOscSine, 1000.0);
    const double effective = (1.0 + std::min(fm, 20.0)) * increment;
    for (int n = 0; n < 300; ++n)
    {
      ASSERT_NEAR(osc.NextSample(fm, 0.0, 0.5), std::sin(n * effective), 1e-9) << "fm " << fm << " n " << n;
      ASSERT_GE(osc.GetPhase(), 0.0);
      ASSERT_LT(osc.GetPhase(), kTwoPi);
      ASSERT_NEAR(std::remainder(osc.GetPhase() - (n + 1) * effective, kTwoPi), 0.0, 1e-9);
    }
  }
}

TEST(OscillatorRender, PitchFollowsTheFrequencyFactors)
{
  Oscillator osc = MakeOscillator(kOscSine, 440.0);
  EXPECT_NEAR(ZeroCrossingPitch(osc, 0.0, 48000.0), 440.0, 0.5);
  osc.SetShiverFactor(1.5);
  EXPECT_NEAR(ZeroCrossingPitch(osc, 0.0, 48000.0), 660.0, 0.5);
  osc.SetShiverFactor(1.0);
  osc.SetPitchFactor(2.0);
  EXPECT_NEAR(ZeroCrossingPitch(osc, 0.0, 48000.0), 880.0, 0.5);

  // Oversampling delays the signal but keeps its pitch.
  WDL_BesselFilterCoeffs design;
  design.Calc(0.5 / 16);
  Oscillator over = MakeOscillator(kOscSine, 440.0);
  over.SetOversamplingFilter(&design);
  EXPECT_NEAR(ZeroCrossingPitch(over, 16.0, 48000.0), 440.0, 0.5);
}

TEST(OscillatorRender, OversamplingFeedsTheSubSamplesBetweenPhases)
{
  // A 3 kHz saw, where a shifted or missing sub-sample changes every output.
  const double increment = kTwoPi * 3000.0 / 48000.0;
  for (int N : {4, 16})
  {
    WDL_BesselFilterCoeffs design;
    design.Calc(0.5 / N);
    Oscillator osc = MakeOscillator(kOscSaw, 3000.0);
    osc.SetOversamplingFilter(&design);
    // y[m] = g x[m] + sum c_j y[m - j], over every sub-sample in turn.
    std::vector<double> y(8, 0.0);
    auto lowpass = [&](double x) {
      double out = design.gain * x;
      for (int j = 1; j <= 8; ++j) out += design.coeffs[j - 1] * y[y.size() - j];
      y.push_back(out);
      return out;
    };
    for (int n = 0; n < 400; ++n)
    {
      // N - 1 sub-samples at theta + k inc / N, k = 1 .. N - 1; the output is the last.
      double expected = 0.0;
      for (int k = 1; k < N; ++k)
        expected = lowpass(Saw(n * increment + k * increment / N));
      // A sub-sample one step off moves the output by about inc / (N pi) = 0.004.
      ASSERT_NEAR(osc.NextSample(0.0, N, 1.0 / N), expected, 1e-9) << "N " << N << " n " << n;
    }
  }
}

TEST(OscillatorRender, SyncCrossfadeBlendsFromTheLastOutput)
{
  // A 1 Hz square is constant over these few samples: -1 at 3/4 of the cycle.
  Oscillator osc = MakeOscillator(kOscSquare, 1.0, 0.75);
  EXPECT_EQ(osc.NextSample(0.0, 0.0, 0.5), -1.0);
  // Hard sync to an offset of 1/4 cycle (+1), crossfaded over 4 samples: the new
  // signal weighs 1/4, 2/4, 3/4 against the previous output, then stands alone.
  osc.SetPhaseOffset(0.25);
  osc.RestartPhase();
  osc.StartDeclick(4);
  EXPECT_DOUBLE_EQ(osc.NextSample(0.0, 0.0, 0.5), 0.25 - 0.75);
  EXPECT_DOUBLE_EQ(osc.NextSample(0.0, 0.0, 0.5), 0.5 + 0.5 * -0.5);
  EXPECT_TRUE(osc.IsDeclickActive());
  EXPECT_DOUBLE_EQ(osc.NextSample(0.0, 0.0, 0.5), 0.75 + 0.25 * 0.25);
  EXPECT_FALSE(osc.IsDeclickActive());
  EXPECT_EQ(osc.NextSample(0.0, 0.0, 0.5), 1.0);

  // A length of 0 cancels a running crossfade.
  osc.StartDeclick(10);
  osc.StartDeclick(0);
  EXPECT_FALSE(osc.IsDeclickActive());
  EXPECT_EQ(osc.NextSample(0.0, 0.0, 0.5), 1.0);
}

TEST(OscillatorRender, PhaseOffsetChangesKeepThePhaseInItsPeriod)
{
  // 0.9 cycles, then two steps of 0.075 cycles: the phase wraps to 0.05 cycles.
  Oscillator osc = MakeOscillator(kOscSaw, 3600.0, 0.9);
  osc.NextSample(0.0, 0.0, 0.5);
  osc.NextSample(0.0, 0.0, 0.5);
  EXPECT_NEAR(osc.GetPhase(), 0.1 * kPi, 1e-9);
  // Offset 0.9 -> 0.2: 0.1 pi - 1.4 pi is negative, one period is added.
  osc.SetPhaseOffset(0.2);
  EXPECT_NEAR(osc.GetPhase(), 0.7 * kPi, 1e-9);
  // Offset 0.2 -> 0.9: 2.1 pi would leave the period; it wraps to 0.1 pi. With a
  // bend running, an unwrapped phase would be read 1.05 windows in.
  osc.SetBendExponent(2.0);
  osc.SetPhaseOffset(0.9);
  EXPECT_NEAR(osc.GetPhase(), 0.1 * kPi, 1e-9);
  EXPECT_NEAR(osc.NextSample(0.0, 0.0, 0.5), Saw(kTwoPi * 0.05 * 0.05), 1e-9);
}

TEST(OscillatorRender, NotANumberModulationDoesNotStick)
{
  WDL_BesselFilterCoeffs design;
  design.Calc(0.5 / 4);
  Oscillator osc = MakeOscillator(kOscSaw, 440.0);
  osc.SetOversamplingFilter(&design);
  Oscillator clean = osc;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // A NaN from an external FM source counts as no modulation for that sample.
  EXPECT_EQ(osc.NextSample(nan, 4, 0.25), clean.NextSample(0.0, 4, 0.25));
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(osc.NextSample(0.1, 4, 0.25), clean.NextSample(0.1, 4, 0.25));
  EXPECT_TRUE(std::isfinite(osc.NextSample(std::numeric_limits<double>::infinity(), 4, 0.25)));
}
}  // namespace
