#pragma once

// The oscillators' maths, written once over a policy P (ScalarPolicy.h,
// lanes/LanePolicy.h; docs/engine.md): the six waveforms of a phase and the
// oversampling lowpass's step. Oscillator runs it on one voice, the runs of
// frames on many side by side. Plain templates and numbers only, so that the
// files built for AVX2 can include it.
#include "OscWaves.h"

#include <cmath>

namespace OscillatorConstants
{
// Waveform values closer to 0 than this are returned as exactly 0.
inline constexpr double kZeroSnap = 1e-12;
// Lowers the sinc, sin(y) / y - kSincOffset / width, so that its average over a
// cycle stays near 0.
inline constexpr double kSincOffset = 0.448;
// The polysaw: four ramps at these multiples of the frequency, each over pi,
// the first two weighted by the mix m and the others by 1 - m. All repeat
// within one cycle, so the cycle-reduced phase reads them exactly.
inline constexpr double kPolysawSecond = 1.5;
inline constexpr double kPolysawThird = 0.5;
inline constexpr double kPolysawFourth = 2.0;
// The oversampling lowpass's order (WDL_BesselFilterCoeffs).
inline constexpr int kBesselOrder = 8;
}  // namespace OscillatorConstants

template <class P>
struct OscillatorMath
{
  using V = typename P::V;

  // Waveform W of a phase inside [0, 2 pi), snapped to 0 near it; shape is the
  // sinc's width or the polysaw's mix.
  template <OscWave W>
  [[gnu::always_inline]] static V OfCycle(V phase, V shape)
  {
    namespace C = OscillatorConstants;
    constexpr double kPi = 3.14159265358979323846;
    V value;
    if constexpr (W == kOscSaw)
      value = 1.0 - phase / kPi;
    else if constexpr (W == kOscSquare)
      value = P::Select(phase > kPi, -1.0, 1.0);
    else if constexpr (W == kOscTri)
      value = P::Abs(phase * 2.0 / kPi - 2.0) - 1.0;
    else if constexpr (W == kOscSinc)
    {
      const V y = (phase - kPi) * shape;
      const V sinc = P::Choose(
        y != 0.0, [&] { return P::EachLane(y, [](double x) { return std::sin(x); }) / y; }, [] { return V(1.0); });
      value = sinc - C::kSincOffset / shape;
    }
    else if constexpr (W == kOscPolysaw)
    {
      const V ramps = P::FlooredMod(phase, kPi) * shape + P::FlooredMod(C::kPolysawSecond * phase, kPi) * shape +
                      P::FlooredMod(C::kPolysawThird * phase, kPi) * (1.0 - shape) +
                      P::FlooredMod(C::kPolysawFourth * phase, kPi) * (1.0 - shape);
      value = 1.0 - ramps / kPi;
    }
    else if constexpr (W == kOscSine)
      value = P::SinOfPhase(phase);
    else
      static_assert(W == kOscSine, "every waveform needs its shape here");
    return P::Select((value > -C::kZeroSnap) & (value < C::kZeroSnap), 0.0, value);
  }

  // One sub-sample x through the oversampling lowpass of the given
  // coefficients and gain, whose history holds its newest output and the ones
  // before it; the new output (the caller moves the history on).
  [[gnu::always_inline]] static V SubSample(const double* coeffs, double gain, const V* history, V x)
  {
    // Oldest terms first: the newest output, which the previous sub-sample has
    // only just produced, then waits for one addition instead of eight.
    // Unrolled, so that the history stays in registers instead of going through memory each
    // sub-sample.
    V older = 0.0;
#pragma GCC unroll 8
    for (int j = OscillatorConstants::kBesselOrder - 1; j > 0; --j) older = older + coeffs[j] * history[j];
    return P::FlushSubnormal((older + gain * x) + coeffs[0] * history[0]);
  }
};
