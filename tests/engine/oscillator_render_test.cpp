#include "Oscillator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "besselfilter.h"
#include "oscillator_test_support.h"
#include "sample_rate_scope.h"

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

TEST(OscillatorRender, PitchFollowsFrequencyFactorsAndSampleRate)
{
  Oscillator osc = MakeOscillator(kOscSine, 440.0);
  EXPECT_NEAR(ZeroCrossingPitch(osc, 0.0, 48000.0), 440.0, 0.5);
  osc.SetShiverFactor(1.5);
  EXPECT_NEAR(ZeroCrossingPitch(osc, 0.0, 48000.0), 660.0, 0.5);
  osc.SetShiverFactor(1.0);
  osc.SetPitchFactor(2.0);
  EXPECT_NEAR(ZeroCrossingPitch(osc, 0.0, 48000.0), 880.0, 0.5);

  SampleRateScope rate(96000.0);
  Oscillator fast = MakeOscillator(kOscSine, 440.0);
  fast.SetRateFactor(PlugG::twoPiDivSR);
  EXPECT_NEAR(ZeroCrossingPitch(fast, 0.0, 96000.0), 440.0, 0.5);
}

// Runs the lowpass recursion y[n] = g x[n] + sum c_j y[n - j] over a sequence.
class ReferenceLowpass
{
public:
  explicit ReferenceLowpass(const WDL_BesselFilterCoeffs& design) : mDesign(design) {}
  double Run(double x)
  {
    double y = mDesign.gain * x;
    for (int j = 1; j <= 8; ++j)
      y += mDesign.coeffs[j - 1] * Past(j);
    mOutputs.push_back(y);
    return y;
  }

private:
  double Past(int j) const
  {
    const int index = static_cast<int>(mOutputs.size()) - j;
    return index >= 0 ? mOutputs[index] : 0.0;
  }

  const WDL_BesselFilterCoeffs& mDesign;
  std::vector<double> mOutputs;
};

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
    ReferenceLowpass reference(design);
    for (int n = 0; n < 400; ++n)
    {
      // N - 1 sub-samples at theta + k inc / N, k = 1 .. N - 1; the output is the last.
      double expected = 0.0;
      for (int k = 1; k < N; ++k)
        expected = reference.Run(Saw(n * increment + k * increment / N));
      // A sub-sample one step off moves the output by about inc / (N pi) = 0.004.
      ASSERT_NEAR(osc.NextSample(0.0, N, 1.0 / N), expected, 1e-9) << "N " << N << " n " << n;
    }
  }
}

TEST(OscillatorRender, OversamplingKeepsPitchAndLevelAndLowersAliases)
{
  // 5 kHz saw: its 9th harmonic (45 kHz) folds to 3 kHz at 48 kHz.
  auto goertzel = [](const std::vector<double>& x, double hz) {
    const double c = 2.0 * std::cos(kTwoPi * hz / 48000.0);
    double s1 = 0.0, s2 = 0.0;
    for (double v : x)
    {
      const double s = v + c * s1 - s2;
      s2 = s1;
      s1 = s;
    }
    return 2.0 * std::sqrt(s1 * s1 + s2 * s2 - c * s1 * s2) / x.size();
  };
  auto render = [](int N, const WDL_BesselFilterCoeffs* design) {
    Oscillator osc = MakeOscillator(kOscSaw, 5000.0);
    osc.SetOversamplingFilter(design);
    std::vector<double> out(48000);
    for (double& s : out) s = osc.NextSample(0.0, N, 1.0 / std::max(2, N));
    return out;
  };
  const std::vector<double> plain = render(0, nullptr);
  // The fundamental of a saw 1 - x / pi has amplitude 2 / pi.
  EXPECT_NEAR(goertzel(plain, 5000.0), 2.0 / kPi, 1e-3);
  for (int N : {8, 16})
  {
    WDL_BesselFilterCoeffs design;
    design.Calc(0.5 / N);
    const std::vector<double> over = render(N, &design);
    EXPECT_NEAR(goertzel(over, 5000.0), 2.0 / kPi, 0.03) << N;
    EXPECT_LT(goertzel(over, 3000.0), 0.5 * goertzel(plain, 3000.0)) << N;

    Oscillator sine = MakeOscillator(kOscSine, 440.0);
    sine.SetOversamplingFilter(&design);
    EXPECT_NEAR(ZeroCrossingPitch(sine, N, 48000.0), 440.0, 0.5) << N;
  }
}

TEST(OscillatorRender, ResetClearsTheOversamplingHistory)
{
  WDL_BesselFilterCoeffs design;
  design.Calc(0.5 / 8);
  Oscillator fresh = MakeOscillator(kOscSquare, 1234.0);
  fresh.SetOversamplingFilter(&design);
  Oscillator used = fresh;
  for (int i = 0; i < 500; ++i) used.NextSample(0.3, 8, 0.125);
  used.Reset();
  for (int i = 0; i < 50; ++i) ASSERT_EQ(used.NextSample(0.0, 8, 0.125), fresh.NextSample(0.0, 8, 0.125)) << i;
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
