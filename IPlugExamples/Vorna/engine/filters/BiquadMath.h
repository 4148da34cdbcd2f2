#pragma once

// The "simple"'s maths, written once over a policy P (docs/engine.md): a
// second-order filter in transposed direct form II with tan-prewarped
// coefficients, a cutoff-dependent saturation of its two states ("drive") and
// a DC blocker at its output. BiquadZK runs it on one voice (and five times,
// undriven, in the formant filter), the runs of frames on many side by side.
#include "filters/BiquadConstants.h"
#include "filters/CutoffMath.h"
#include "filters/FilterKinds.h"
#include "globals.h"

#include <cmath>

// An undriven biquad: coefficients, states and the DC blocker (TransistorLadderState
// says what T is). The formant filter's bands.
template <class T>
struct BiquadCoreState
{
  T b0, b1, b2, a1, a2;
  T z1, z2;
  T blockerCoefficient, blockerState;
};

// The biquad of the "simple", with its drive and what a moving cutoff
// recomputes the coefficients and the blend from. What every run changes
// comes first, then what a moving cutoff changes, then the settings.
template <class T>
struct BiquadState
{
  static constexpr int kRunFields = 3;
  static constexpr int kCutoffFields = 8;
  T z1, z2, blockerState;
  T b0, b1, b2, a1, a2;
  T normalisedFreq;                      // f / SR
  T driveBlend, driveNormaliser;         // the blend the cutoff gives, 1 / asinh(1 + blend)
  T blockerCoefficient;
  T drive;                               // D
  T q, peakFactor;                       // Q and the peak's gain as a factor, 10^(dB / 20)
  T resonancePow8;                       // r^8, which the drive blend reads
};
template <class P>
struct BiquadMath
{
  using V = typename P::V;
  using M = typename P::M;
  using State = BiquadState<V>;

  struct Coefficients
  {
    V b0, b1, b2, a1, a2;
  };

  // The tangent warp's angle at the normalised cutoff nf: pi nf, kept below
  // pi kMaxWarpFraction.
  static V WarpOf(V nf) { return PlugC::pi * P::Min(nf, FilterConstants::kMaxWarpFraction); }
  // The coefficients of pass type passType at the normalised cutoff nf: the
  // bilinear transform of the analogue prototypes, prewarped by tan(pi nf).
  static Coefficients CoefficientsOf(int passType, V nf, V q, V peakFactor)
  {
    return CoefficientsOfWarp(passType, P::Tan(WarpOf(nf)), q, peakFactor);
  }
  // The same from the warp's tangent k.
  static Coefficients CoefficientsOfWarp(int passType, V k, V q, V peakFactor)
  {
    const V c = k * k;
    const V d = k / q;
    const V e = 1.0 / (1.0 + d + c);
    const V f = 2.0 * (c - 1.0);
    Coefficients n;
    switch (passType)
    {
      case kBP:
        n.b0 = d * e;
        n.b1 = 0.0;
        n.b2 = -d * e;
        break;
      case kHP:
        n.b0 = e;
        n.b1 = -2.0 * e;
        n.b2 = e;
        break;
      case kP:
      {
        const V v = peakFactor * k / q;
        n.b0 = (1.0 + v + c) * e;
        n.b1 = e * f;
        n.b2 = (1.0 - v + c) * e;
        break;
      }
      case kBR:
        n.b0 = (1.0 + c) * e;
        n.b1 = e * f;
        n.b2 = (1.0 + c) * e;
        break;
      case kLP:
      default:
        n.b0 = c * e;
        n.b1 = 2.0 * c * e;
        n.b2 = c * e;
        break;
    }
    n.a1 = e * f;
    n.a2 = (1.0 - d + c) * e;
    return n;
  }
  // S is a BiquadState or a BiquadCoreState of V; Mask an M or P::Every.
  template <class S, class Mask>
  static void SetCoefficients(S& s, Mask changed, const Coefficients& n)
  {
    s.b0 = P::Select(changed, n.b0, s.b0);
    s.b1 = P::Select(changed, n.b1, s.b1);
    s.b2 = P::Select(changed, n.b2, s.b2);
    s.a1 = P::Select(changed, n.a1, s.a1);
    s.a2 = P::Select(changed, n.a2, s.a2);
  }

  // The settings, on one filter (V = double): the runs only read them.
  // Resonance in [0, 1] (clamped): its eighth power, Q = max(0.25, 21 r^8) and
  // the peak's factor 10^(18 r^8 / 20); the peak's gain in dB into peakGainDb.
  static void SetResonance(State& s, double resonance, double& peakGainDb)
  {
    namespace C = BiquadConstants;
    const double r = resonance < 0.0 ? 0.0 : (C::kMaxResonance < resonance ? C::kMaxResonance : resonance);
    const double r2 = r * r;
    const double r4 = r2 * r2;
    s.resonancePow8 = r4 * r4;
    peakGainDb = C::kMaxPeakGainDb * s.resonancePow8;
    s.peakFactor = std::pow(10.0, peakGainDb * 0.05);
    s.q = C::kMinQ < C::kMaxQ * s.resonancePow8 ? C::kMaxQ * s.resonancePow8 : C::kMinQ;
  }

  // How far the drive saturates the states at the cutoff (BiquadConstants),
  // on the lanes changed; the normaliser's asinh only where the blend moves.
  static void UpdateDriveBlend(State& s, const CutoffRange& range, M changed)
  {
    namespace C = BiquadConstants;
    const V fc = s.normalisedFreq * range.sampleRate;
    const V drive = s.drive;
    const V blend = P::Choose(
      fc < C::kLowBlendEndHz,
      [&] {
        const V low = (1.0 + C::kLowResonanceLift * (1.0 - s.resonancePow8)) *
                      (C::kLowBlendStart + (fc - C::kLowBlendFromHz) * (C::kDriveScale - C::kLowBlendStart) / C::kLowBlendSpanHz);
        return drive * P::Min(low, drive);
      },
      [&] {
        return P::Choose(fc <= C::kFullBlendEndHz, [&] { return drive; },
                         [&] {
                           return P::Choose(
                             fc <= C::kBlendEndHz,
                             [&] {
                               const V t = (C::kBlendEndHz - fc) / C::kFallingBlendSpanHz;
                               return drive * t * t;
                             },
                             [] { return V(0.0); });
                         });
      });
    const M moved = changed & (blend != s.driveBlend);
    if (!P::Any(moved)) return;
    const V normaliser = P::EachLane(blend + 1.0, [](double x) { return 1.0 / std::asinh(x); });
    s.driveNormaliser = P::Select(moved, normaliser, s.driveNormaliser);
    s.driveBlend = P::Select(moved, blend, s.driveBlend);
  }

  // The cutoff hz (limited) and what it gives, on the lanes changed.
  static void Retune(State& s, const CutoffRange& range, int passType, M changed, V hz)
  {
    const V nf = CutoffMath<P>::Limit(range, hz) * range.inverseRate;
    s.normalisedFreq = P::Select(changed, nf, s.normalisedFreq);
    SetCoefficients(s, changed, CoefficientsOf(passType, nf, s.q, s.peakFactor));
    UpdateDriveBlend(s, range, changed);
  }

  // One sample through the coefficients and the states, before the blocker.
  template <class S>
  [[gnu::always_inline]] static V Filter(S& s, V x)
  {
    const V y = P::FlushSubnormal(s.b0 * x + s.z1);
    s.z1 = s.b1 * x + s.z2 - s.a1 * y;
    s.z2 = s.b2 * x - s.a2 * y;
    return y;
  }
  // One sample of an undriven biquad.
  [[gnu::always_inline]] static V Step(BiquadCoreState<V>& s, V x)
  {
    return HighPassStep<P>(Filter(s, x), s.blockerCoefficient, s.blockerState);
  }
  // One sample of the "simple"; mayBeDriven false skips the look at the drive.
  [[gnu::always_inline]] static V Step(State& s, V x, bool mayBeDriven = true)
  {
    const V y = Filter(s, x);
    if (!mayBeDriven) return HighPassStep<P>(y, s.blockerCoefficient, s.blockerState);
    const M driven = s.drive > 0.0;
    if (P::Any(driven))
    {
      const V blend = s.driveBlend;
      const V m = 1.0 + blend;
      const V n = s.driveNormaliser;
      const V z1 = (1.0 - blend) * s.z1 + blend * n * P::SoftSaturate(m * s.z1);
      const V w = -s.z2;
      const V z2 = -((1.0 - blend) * w + blend * n * P::SoftSaturate(m * w));
      s.z1 = P::Select(driven, z1, s.z1);
      s.z2 = P::Select(driven, z2, s.z2);
    }
    return HighPassStep<P>(y, s.blockerCoefficient, s.blockerState);
  }
};
