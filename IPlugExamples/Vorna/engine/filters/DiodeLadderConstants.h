#pragma once

#include "globals.h"

// The numbers of the "moog" (DiodeLadderMath.h), each with the equation it
// belongs to.
namespace DiodeLadderConstants
{
inline constexpr double kMaxResonance = 1.0;
inline constexpr double kMaxDrive = 1.0;
// The feedback gain before its compensation, k0 = kResonanceScale resonance;
// the resonance setting L = k0 / kResonanceScale scales the output gains.
inline constexpr double kResonanceScale = 17.0;
// The input gain, kDriveScale drive + 1: from 1 to 32, as the transistor ladder's.
inline constexpr double kDriveScale = 31.0;
// The stage gain g = kStageGainFactor tan(pi f / SR), sqrt(2): each stage also
// carries half of the next one's output, which the factor makes up for.
inline constexpr double kStageGainFactor = 1.4142135623730951;
// Cap of g: above it the stage coefficients stop following the cutoff (near
// Nyquist the tangent grows without bound).
inline constexpr double kMaxStageGain = PlugC::twoPi;
// How much of the next stage each stage sees: h = kCoupling g in the stage
// coefficients, and stages 2 to 4 take kCoupling (their input + the next output).
inline constexpr double kCoupling = 0.5;
// The low-pass feedback gain follows the cutoff, with e = 2 f / SR:
// k = k0 (kLowPassRaise - kLowPassRootSlope sqrt(e)) (1 - kLowPassSquareSlope e^2):
// raised at low cutoffs, where the coupled loop gives less, and lowered towards
// Nyquist, where the warped stages give more.
inline constexpr double kLowPassRaise = 1.4;
inline constexpr double kLowPassRootSlope = 0.6;
inline constexpr double kLowPassSquareSlope = 0.14;
// The other pass types: k = k0 (1 - kOtherRootSlope sqrt(e)).
inline constexpr double kOtherRootSlope = 0.2;
// The low-pass output, y4 kLowPassOutput L' with
// L' = 1 + kResonanceMakeUp L (1 - kDriveMakeUpShare input gain / kMaxInputGain):
// 1.5 at resonance 0, rising with the resonance (which thins the pass band), less
// so as the drive raises the level.
inline constexpr double kLowPassOutput = 1.5;
inline constexpr double kResonanceMakeUp = 5.0;
inline constexpr double kDriveMakeUpShare = 0.3;
inline constexpr double kMaxInputGain = 32.0;
// The other outputs are mixes of u and the stage outputs y1..y4 in the manner
// of the transistor ladder's, times kOutputGain; the band-pass times
// kOutputGain (2 - L), so that it does not grow as the resonance narrows it.
inline constexpr double kOutputGain = 2.0;
}  // namespace DiodeLadderConstants
