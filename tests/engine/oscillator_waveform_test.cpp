#include "Oscillator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "globals.h"
#include "oscillator_test_support.h"

using namespace osc_test;

namespace
{
struct WaveCase
{
  OscWave wave;
  double phase;
  double expected;
  double param = 0.0;  // sinc width or polysaw mix
};

TEST(OscillatorWaveform, EveryWaveAtChosenPhases)
{
  const WaveCase cases[] = {
    {kOscSine, kPi / 6.0, 0.5}, {kOscSine, 7.0 * kPi / 6.0, -0.5}, {kOscSaw, 0.0, 1.0}, {kOscSaw, 1.5 * kPi, -0.5},
    {kOscSquare, kPi, 1.0},  // not above pi
    {kOscSquare, kPi + 1e-9, -1.0}, {kOscTri, 0.0, 1.0}, {kOscTri, kPi / 4.0, 0.5}, {kOscTri, kPi, -1.0},
    // Sinc: 1 - 0.448 / W at the centre; y = (pi / 8) 4 = pi / 2 gives 2 / pi;
    // the cycle's start is y = -4 pi, a zero.
    {kOscSinc, kPi, 1.0 - 0.448, 1.0}, {kOscSinc, kPi, 0.888, 4.0}, {kOscSinc, kPi * 1.125, 2.0 / kPi - 0.112, 4.0},
    {kOscSinc, 0.0, -0.112, 4.0},
    // Polysaw at pi/2: its ramps at 1x, 1.5x, 0.5x, 2x read pi/2, 3pi/4, pi/4, 0 (of pi).
    {kOscPolysaw, kPi / 2.0, 0.75, 0.0}, {kOscPolysaw, kPi / 2.0, 1.0 - (0.625 + 0.125), 0.5},
    {kOscPolysaw, kPi / 2.0, -0.25, 1.0}, {kOscPolysaw, kPi, 0.5, 0.0}, {kOscPolysaw, kPi, 0.5, 1.0},
  };
  for (const WaveCase& c : cases)
  {
    Oscillator osc = MakeOscillator(c.wave);
    osc.SetSincWidth(c.param);
    osc.SetPolysawMix(c.param);
    EXPECT_NEAR(osc.NextWaveformSample(c.phase), c.expected, 1e-12) << c.wave << " at " << c.phase;
  }
  // Within 1e-12 of 0 is exactly 0: sin(pi) is 1.2e-16 in doubles.
  EXPECT_EQ(MakeOscillator(kOscSine).NextWaveformSample(kPi), 0.0);
  EXPECT_EQ(MakeOscillator(kOscTri).NextWaveformSample(kPi / 2.0), 0.0);
}

TEST(OscillatorWaveform, PhasesOutsideTheCycleReadTheCycle)
{
  // Strong negative FM puts sub-sample phases below 0: they must read the same
  // point of the cycle as the wrapped phase (a truncating modulo reads a saw at
  // 1.5 for -pi/2).
  for (int wave = 0; wave < kNumOscWaves; ++wave)
  {
    Oscillator osc = MakeOscillator(static_cast<OscWave>(wave));
    osc.SetPolysawMix(0.3);
    osc.SetSincWidth(5.0);
    for (double x : {0.3, 2.9, 4.4, 6.0})
      for (int k = -3; k <= 3; ++k)
        EXPECT_NEAR(osc.NextWaveformSample(x + k * kTwoPi), osc.NextWaveformSample(x), 1e-9) << wave << " " << x;
  }
  EXPECT_NEAR(MakeOscillator(kOscSaw).NextWaveformSample(-kPi / 2.0), -0.5, 1e-12);
}

TEST(OscillatorBend, ApproxPowInterpolatesBetweenPowersOfTwo)
{
  for (double x : {0.0, 0.1, 0.37, 0.81, 0.999, 1.0})
  {
    EXPECT_DOUBLE_EQ(Oscillator::approxPow(x, 1.0), x);
    EXPECT_NEAR(Oscillator::approxPow(x, 3.0), 0.5 * x * x + 0.5 * std::pow(x, 4), 1e-14) << x;
    EXPECT_NEAR(Oscillator::approxPow(x, 8.0), std::pow(x, 8), 1e-14) << x;
    // 100 lies 36/64 of the way from 64 to 128.
    EXPECT_NEAR(Oscillator::approxPow(x, 100.0), 0.4375 * std::pow(x, 64) + 0.5625 * std::pow(x, 128), 1e-14) << x;
    // Exponents below 1 mirror the curve.
    EXPECT_NEAR(Oscillator::approxPow(x, 0.5), 1.0 - (1.0 - x) * (1.0 - x), 1e-14) << x;
    // Above 1024 the last pair (512, 1024) extrapolates.
    const double t = (2000.0 - 512.0) / 512.0;
    EXPECT_NEAR(Oscillator::approxPow(x, 2000.0), std::pow(x, 1024) * t + std::pow(x, 512) * (1.0 - t), 1e-12) << x;
  }
}

// The saw at the bent phase of a running phase of `cycles`; with exponent 2
// approxPow is an exact square.
double BentSaw(double cycles, OscBendSymmetry symmetry, double windowSize, double exponent = 2.0,
               OscBendSpanOrigin origin = kBendSpanNote, double hz = 440.0)
{
  Oscillator osc = MakeOscillator(kOscSaw, hz);
  osc.SetBendSymmetry(symmetry);
  osc.SetBendSpanOrigin(origin);
  osc.UpdateBendParams(windowSize);
  osc.SetBendExponent(exponent);
  osc.SetPhaseOffset(cycles);
  osc.Reset();
  return osc.NextSample(0.0, 0.0, 0.5);
}

TEST(OscillatorBend, BentPhaseFollowsTheCurveAcrossTheWindow)
{
  // Edges, whole-cycle window: theta = 2 pi t^2.
  EXPECT_NEAR(BentSaw(0.3, kBendEdges, kTwoPi), Saw(kTwoPi * 0.09), 1e-12);
  // Middle: t = 0.3 -> 0.5 (0.6)^2 = 0.18; t = 0.5 -> 0.5 (upper half);
  // t = 0.8 -> 0.5 + 0.5 (1 - 0.4^2) = 0.92.
  EXPECT_NEAR(BentSaw(0.3, kBendMiddle, kTwoPi), Saw(kTwoPi * 0.18), 1e-12);
  EXPECT_NEAR(BentSaw(0.5, kBendMiddle, kTwoPi), Saw(kPi), 1e-12);
  EXPECT_NEAR(BentSaw(0.8, kBendMiddle, kTwoPi), Saw(kTwoPi * 0.92), 1e-12);
  // Half-cycle window: each half bends alike; 0.75 cycles is t = 0.5 of the second.
  EXPECT_NEAR(BentSaw(0.75, kBendEdges, kPi), Saw(kPi + 0.25 * kPi), 1e-12);
  // Two-cycle window: the phase runs to 4 pi; 1.5 cycles is t = 0.75.
  EXPECT_NEAR(BentSaw(1.5, kBendEdges, 2.0 * kTwoPi), Saw(2.0 * kTwoPi * 0.5625), 1e-12);
  // Exponent 1: the plain phase, whatever the window and symmetry.
  for (double window : {kTwoPi / 16.0, kPi, 32.0 * kPi})
    EXPECT_NEAR(BentSaw(0.3, kBendMiddle, window, 1.0), Saw(0.6 * kPi), 1e-12) << window;
}

struct TempoScope
{
  explicit TempoScope(double bpm) { PlugG::SetHostBPM(bpm); }
  ~TempoScope() { PlugG::SetHostBPM(120.0); }
};

TEST(OscillatorBend, TempoWindowSpansCyclesPerBeat)
{
  // 2 Hz at 120 bpm is one cycle per beat; half a beat (pi) is a window of pi.
  Oscillator osc = MakeOscillator(kOscSaw, 2.0);
  osc.SetBendSpanOrigin(kBendSpanBpm);
  osc.UpdateBendParams(kPi);
  EXPECT_NEAR(osc.GetBendWindow(), kPi, 1e-9);
  EXPECT_EQ(osc.GetPhasePeriod(), kTwoPi * 1e9);
  {
    TempoScope tempo(60.0);
    osc.UpdateBendParams(osc.GetBendWindowSize());
    EXPECT_NEAR(osc.GetBendWindow(), kTwoPi, 1e-9);
  }
  osc.SetFrequency(4.0);  // the window follows the frequency
  EXPECT_NEAR(osc.GetBendWindow(), 2.0 * kPi, 1e-9);
  // The phase is not wrapped at 2 pi: 1.25 cycles is the third window, t = 0.5.
  EXPECT_NEAR(BentSaw(1.25, kBendEdges, kPi, 2.0, kBendSpanBpm, 2.0), Saw(2.25 * kPi), 1e-9);
}
}  // namespace
