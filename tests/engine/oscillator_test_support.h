#pragma once

#include <cmath>

#include "Oscillator.h"

namespace osc_test
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// x mod 2 pi in [0, 2 pi) for either sign.
inline double Wrap(double x)
{
  const double r = x - kTwoPi * std::floor(x / kTwoPi);
  return r >= kTwoPi ? 0.0 : r;
}

// The saw read at phase x: falls from +1 to -1 over the cycle.
inline double Saw(double x)
{
  return 1.0 - Wrap(x) / kPi;
}

// An oscillator of the given wave at the given frequency (48 kHz rate factor),
// its running phase at `cycles` of a cycle.
inline Oscillator MakeOscillator(OscWave wave, double hz = 440.0, double cycles = 0.0)
{
  Oscillator osc;
  osc.SetWave(wave);
  osc.SetRateFactor(kTwoPi / 48000.0);
  osc.SetFrequency(hz);
  osc.SetPhaseOffset(cycles);
  osc.Reset();
  return osc;
}
}  // namespace osc_test
