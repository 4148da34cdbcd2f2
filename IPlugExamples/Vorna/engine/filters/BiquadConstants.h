#pragma once

// The numbers of the "simple" (BiquadMath.h), each with the equation it
// belongs to.
namespace BiquadConstants
{
inline constexpr double kMaxResonance = 1.0;
inline constexpr double kMaxDrive = 1.0;
// The drive D = kDriveScale drive: the states' saturation never takes over
// entirely (a blend of 1 would leave only the saturated state).
inline constexpr double kDriveScale = 0.7;
// Q = max(kMinQ, kMaxQ r^8) and the peak's boost kMaxPeakGainDb r^8 dB: the
// eighth power keeps the lower half of the control gentle.
inline constexpr double kMaxQ = 21.0;
inline constexpr double kMinQ = 0.25;
inline constexpr double kMaxPeakGainDb = 18.0;
// The drive blend, by the cutoff fc in Hz. Below kLowBlendEndHz it rises along
// (1 + kLowResonanceLift (1 - r^8)) (kLowBlendStart + (fc - kLowBlendFromHz)
// (kDriveScale - kLowBlendStart) / kLowBlendSpanHz), so that low cutoffs, where
// the states swing widest, are driven less, more so with little resonance;
// the blend is D min(that, D). Up to kFullBlendEndHz it is D; up to
// kBlendEndHz it falls as D t^2 with t = (kBlendEndHz - fc) / (kBlendEndHz -
// kFullBlendEndHz); above it 0.
inline constexpr double kLowBlendEndHz = 800.0;
inline constexpr double kLowBlendFromHz = 10.0;
inline constexpr double kLowBlendSpanHz = 790.0;  // kLowBlendEndHz - kLowBlendFromHz
inline constexpr double kLowBlendStart = 0.025;
inline constexpr double kLowResonanceLift = 1.5;
inline constexpr double kFullBlendEndHz = 4000.0;
inline constexpr double kBlendEndHz = 10000.0;
inline constexpr double kFallingBlendSpanHz = 6000.0;  // kBlendEndHz - kFullBlendEndHz
}  // namespace BiquadConstants
