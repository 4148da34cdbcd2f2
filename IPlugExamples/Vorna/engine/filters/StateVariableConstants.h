#pragma once

// The numbers of the "reson" (StateVariableMath.h), each with the equation it
// belongs to.
namespace StateVariableConstants
{
inline constexpr double kMaxResonance = 1.0;
inline constexpr double kMaxDrive = 1.0;
// The damping R = 1 - (kResonanceScale r + kZeroResonanceDamping): 0.5 at
// resonance 0, 0.000001 at 1, so the filter never quite loses its damping.
inline constexpr double kResonanceScale = 0.499999;
inline constexpr double kZeroResonanceDamping = 0.5;
// The band-pass integrator's state, kBandPassStateGain asinh(g hp + bp): always
// saturated, and slightly above 1 so that it keeps a little life at high resonance.
inline constexpr double kBandPassStateGain = 1.006;
// The damping in the feedback, Rf = min(1, R + compensation), with e = 2 f / SR:
// the compensation factor e^3 per pass type, which keeps high cutoffs stable
// (the loop gains most near Nyquist); the band reject a constant.
inline constexpr double kLowPassCompensation = 0.008;
inline constexpr double kBandPassCompensation = 0.03;
inline constexpr double kHighPassCompensation = 0.03;
inline constexpr double kPeakCompensation = 0.04;
inline constexpr double kBandRejectCompensation = 0.1;
// The drive blend, drive (A + q max(0, B)) with q the resonance to the power
// kResonancePower. A, the part that falls with the resonance, times (1 - q):
// below kBlendKneeHz kLowBlend (1 - ((f - kBlendKneeHz) kLowBlendSlope)^2), a
// parabola rising to kLowBlend at the knee; above it 1 - kHighBlendCurve ((f -
// kBlendKneeHz) / kHighBlendSpan)^2, easing off towards 20 kHz.
inline constexpr double kResonancePower = 1.5;
inline constexpr double kBlendKneeHz = 4000.0;
inline constexpr double kLowBlend = 0.95;
inline constexpr double kLowBlendSlope = 2.45e-4;
inline constexpr double kHighBlendCurve = 0.678;
inline constexpr double kHighBlendSpan = 20000.0;
// B, the part that rises with the resonance: below kResonantKneeHz
// kResonantBlend (1 - ((f - kResonantKneeHz) kResonantSlope)^2), above it
// kResonantRolloff / f^2 (which meets it near the knee: 8.5e6 / 3000^2 = 0.94).
inline constexpr double kResonantKneeHz = 3000.0;
inline constexpr double kResonantBlend = 0.9;
inline constexpr double kResonantSlope = 3.424e-4;
inline constexpr double kResonantRolloff = 8.5e6;
}  // namespace StateVariableConstants
