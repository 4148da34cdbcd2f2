#pragma once

#include <cmath>
#include <complex>
#include <functional>

#include "globals.h"

namespace filter_test
{
using Complex = std::complex<double>;

// Puts the engine back to its 48 kHz start when a test leaves.
struct SampleRateGuard
{
  explicit SampleRateGuard(double sampleRate) { PlugG::SetSampleRate(sampleRate); }
  ~SampleRateGuard() { PlugG::SetSampleRate(48000.0); }
  SampleRateGuard(const SampleRateGuard&) = delete;
  SampleRateGuard& operator=(const SampleRateGuard&) = delete;
};

// Steady-state gain of a (nearly) linear process at an integer frequency: a sine
// of tiny amplitude runs for settleSeconds, then the output is correlated with
// the sine and cosine over exactly one second (a whole number of periods, so no
// leakage).
inline double MeasureGain(const std::function<double(double)>& process, int frequencyHz, double sampleRate,
                          double settleSeconds = 2.0, double amplitude = 1e-5)
{
  const double w = 2.0 * 3.14159265358979323846 * frequencyHz / sampleRate;
  const long settle = static_cast<long>(settleSeconds * sampleRate);
  const long measure = static_cast<long>(sampleRate);
  double inPhase = 0.0;
  double quadrature = 0.0;
  for (long n = 0; n < settle + measure; ++n)
  {
    const double phase = w * static_cast<double>(n % measure);
    const double y = process(amplitude * std::sin(phase));
    if (n >= settle)
    {
      inPhase += y * std::sin(phase);
      quadrature += y * std::cos(phase);
    }
  }
  return 2.0 * std::hypot(inPhase, quadrature) / (static_cast<double>(measure) * amplitude);
}

// j * tan(pi f / SR) / tan(pi fc / SR): the analog frequency a bilinear (tangent-
// prewarped) design with cutoff fc maps f to.
inline Complex WarpedJOmega(double f, double fc, double sampleRate)
{
  const double pi = 3.14159265358979323846;
  return Complex(0.0, std::tan(pi * f / sampleRate) / std::tan(pi * fc / sampleRate));
}

// The 5 Hz trapezoidal DC blocker at the biquad's and the ladders' outputs.
inline Complex DcBlockerResponse(double f, double sampleRate)
{
  const Complex s = WarpedJOmega(f, 5.0, sampleRate);
  return s / (1.0 + s);
}

// Frequency response C (zI - A)^-1 B + D of a linear single-input single-output
// system with up to kMaxStates states, given only as a step function
// step(state, x) -> y that advances the state in place. The matrices are found
// by probing the step with unit states and a unit input.
template <int kStates, class Step>
Complex StateSpaceResponse(Step step, double f, double sampleRate)
{
  double a[kStates][kStates];
  double b[kStates];
  double c[kStates];
  double d;
  {
    double s[kStates] = {};
    d = step(s, 1.0);
    for (int i = 0; i < kStates; ++i)
      b[i] = s[i];
  }
  for (int j = 0; j < kStates; ++j)
  {
    double s[kStates] = {};
    s[j] = 1.0;
    c[j] = step(s, 0.0);
    for (int i = 0; i < kStates; ++i)
      a[i][j] = s[i];
  }
  const Complex z = std::polar(1.0, 2.0 * 3.14159265358979323846 * f / sampleRate);
  // Solve (zI - A) v = B by Gaussian elimination with partial pivoting.
  Complex m[kStates][kStates + 1];
  for (int i = 0; i < kStates; ++i)
  {
    for (int j = 0; j < kStates; ++j)
      m[i][j] = (i == j ? z : Complex(0.0)) - a[i][j];
    m[i][kStates] = b[i];
  }
  for (int col = 0; col < kStates; ++col)
  {
    int pivot = col;
    for (int r = col + 1; r < kStates; ++r)
      if (std::abs(m[r][col]) > std::abs(m[pivot][col]))
        pivot = r;
    for (int j = 0; j <= kStates; ++j)
      std::swap(m[col][j], m[pivot][j]);
    for (int r = 0; r < kStates; ++r)
    {
      if (r == col)
        continue;
      const Complex factor = m[r][col] / m[col][col];
      for (int j = col; j <= kStates; ++j)
        m[r][j] -= factor * m[col][j];
    }
  }
  Complex y = d;
  for (int i = 0; i < kStates; ++i)
    y += c[i] * (m[i][kStates] / m[i][i]);
  return y;
}
}  // namespace filter_test
