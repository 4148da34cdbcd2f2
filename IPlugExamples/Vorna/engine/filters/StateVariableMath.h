#pragma once

// The "reson"'s maths, written once over a policy P (docs/engine.md): a
// zero-delay-feedback state-variable filter with trapezoidal integrators. The
// band-pass integrator is always soft-saturated; with drive above 0 both
// integrators are drawn further towards their saturation. StateVariableZDF
// runs it on one voice (and twice inside the formant filter), the runs of
// frames on many side by side.
#include "filters/CutoffMath.h"
#include "filters/FilterKinds.h"
#include "filters/StateVariableConstants.h"

#include <algorithm>
#include <cmath>

// What a sample reads and writes, what a moving cutoff recomputes and the
// settings that reads (TransistorLadderState says what T is and how the fields
// are ordered).
template <class T>
struct StateVariableState
{
  static constexpr int kRunFields = 2;
  static constexpr int kCutoffFields = 5;
  T s1, s2;          // the band-pass and low-pass integrators
  T cutoff, g, h;    // the cutoff, its warped gain g and 1 / (1 + 2 R g + g^2)
  T rf;              // the damping Rf = min(1, R + compensation) that the loop runs on
  T driveBlend;
  T r;               // the damping R
  T drive;
  T q;               // the resonance to the power 1.5, which the drive blend reads
};

template <class P>
struct StateVariableMath
{
  using V = typename P::V;
  using M = typename P::M;
  using State = StateVariableState<V>;

  // The extra damping of the feedback loop that keeps high cutoffs stable.
  static V Compensation(const CutoffRange& range, int passType, V cutoff)
  {
    namespace C = StateVariableConstants;
    const V e = 2.0 * cutoff * range.inverseRate;
    switch (passType)
    {
      case kLP: return C::kLowPassCompensation * e * e * e;
      case kBP: return C::kBandPassCompensation * e * e * e;
      case kHP: return C::kHighPassCompensation * e * e * e;
      case kP: return C::kPeakCompensation * e * e * e;
      case kBR: return C::kBandRejectCompensation;
      default: return 0.0;
    }
  }
  static V FeedbackDamping(const CutoffRange& range, int passType, V cutoff, V r)
  {
    return P::Min(1.0, r + Compensation(range, passType, cutoff));
  }

  // How far the drive draws the integrators towards their saturation at
  // cutoff f (StateVariableConstants); 0 without drive.
  static V DriveBlend(V drive, V f, V q)
  {
    namespace C = StateVariableConstants;
    const M driven = drive > 0.0;
    if (!P::Any(driven)) return 0.0;
    const V a = P::Choose(
                  f < C::kBlendKneeHz,
                  [&] {
                    const V t = (f - C::kBlendKneeHz) * C::kLowBlendSlope;
                    return C::kLowBlend * (1.0 - t * t);
                  },
                  [&] {
                    const V t = (f - C::kBlendKneeHz) / C::kHighBlendSpan;
                    return 1.0 - C::kHighBlendCurve * t * t;
                  }) *
                (1.0 - q);
    const V b = P::Choose(
      f < C::kResonantKneeHz,
      [&] {
        const V t = (f - C::kResonantKneeHz) * C::kResonantSlope;
        return C::kResonantBlend * (1.0 - t * t);
      },
      [&] { return C::kResonantRolloff / (f * f); });
    return P::Select(driven, drive * (a + q * P::Max(0.0, b)), 0.0);
  }

  // The cutoff hz (limited) and all it gives, on the lanes changed (an M, or
  // P::Every).
  template <class Mask>
  static void Retune(State& s, const CutoffRange& range, int passType, Mask changed, V hz)
  {
    const V cutoff = CutoffMath<P>::Limit(range, hz);
    const V g = CutoffMath<P>::WarpedGain(range, cutoff);
    s.cutoff = P::Select(changed, cutoff, s.cutoff);
    s.g = P::Select(changed, g, s.g);
    s.rf = P::Select(changed, FeedbackDamping(range, passType, cutoff, s.r), s.rf);
    s.driveBlend = P::Select(changed, DriveBlend(s.drive, cutoff, s.q), s.driveBlend);
    // h is built from R while the loop runs on Rf: the compensation only damps
    // the feedback.
    s.h = P::Select(changed, 1.0 / (1.0 + 2.0 * s.r * g + g * g), s.h);
  }

  // The settings, on one filter (V = double): the runs only read them.
  // The resonance setting recovered from the damping R, held in [0, 1] (before
  // the first resonance R is 1, which would make it negative), to the power 1.5.
  static double ResonancePower(double r)
  {
    namespace C = StateVariableConstants;
    return std::pow(std::clamp((C::kZeroResonanceDamping - r) / C::kResonanceScale, 0.0, 1.0), C::kResonancePower);
  }
  // Resonance in [0, 1] (clamped).
  static void SetResonance(State& s, const CutoffRange& range, int passType, double resonance)
  {
    namespace C = StateVariableConstants;
    const double r = std::clamp(resonance, 0.0, C::kMaxResonance);
    s.r = 1.0 - (C::kResonanceScale * r + C::kZeroResonanceDamping);
    s.q = ResonancePower(s.r);
    s.rf = FeedbackDamping(range, passType, s.cutoff, s.r);
    s.driveBlend = DriveBlend(s.drive, s.cutoff, s.q);
  }
  // Drive in [0, 1] (clamped).
  static void SetDrive(State& s, double drive)
  {
    s.drive = std::clamp(drive, 0.0, StateVariableConstants::kMaxDrive);
    s.driveBlend = DriveBlend(s.drive, s.cutoff, s.q);
  }
  static void SetPassType(State& s, const CutoffRange& range, int passType)
  {
    s.rf = FeedbackDamping(range, passType, s.cutoff, s.r);
  }
  // A filter at cutoff hz, damping 1, no drive, silent.
  static State Initial(const CutoffRange& range, int passType, double hz)
  {
    State s = {0.0, 0.0, hz, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0, 0.0};
    s.g = CutoffMath<P>::WarpedGain(range, hz);
    s.h = 1.0 / (1.0 + 2.0 * s.r * s.g + s.g * s.g);
    SetPassType(s, range, passType);
    return s;
  }

  // A state drawn towards its saturation by the drive blend.
  static V Driven(V state, V blend)
  {
    return (1.0 - blend) * state + blend * P::SoftSaturate((1.0 + blend) * state);
  }

  // One sample through the filter of pass type passType.
  [[gnu::always_inline]] static V Step(State& s, int passType, V x)
  {
    const V hp = (x - s.s2 - (2.0 * s.rf + s.g) * s.s1) * s.h;
    const V bp = s.s1 + s.g * hp;
    s.s1 = StateVariableConstants::kBandPassStateGain * P::Asinh(s.g * hp + bp);
    const V lp = s.s2 + s.g * bp;
    s.s2 = s.g * bp + lp;
    const M driven = s.drive > 0.0;
    if (P::Any(driven))
    {
      s.s1 = P::Select(driven, Driven(s.s1, s.driveBlend), s.s1);
      s.s2 = P::Select(driven, Driven(s.s2, s.driveBlend), s.s2);
    }
    switch (passType)
    {
      case kBP: return bp;
      case kHP: return hp;
      case kP: return lp - hp;
      case kBR: return x - 2.0 * s.rf * bp;
      case kLP:
      default: return lp;
    }
  }
};
