#pragma once

// The numbers of the "t ladder" (TransistorLadderMath.h), each with the
// equation it belongs to or the reason for its value.
namespace TransistorLadderConstants
{
inline constexpr double kMaxResonance = 1.0;
inline constexpr double kMaxDrive = 1.0;
// Feedback gain at full resonance before the pass type's factor: at its cutoff
// each linear one-pole stage passes 1/sqrt(2) with 45 degrees of phase, so four
// give 180 degrees and 1/4, and the loop k G^4 closes (self-oscillates) at k = 4.
inline constexpr double kMaxFeedback = 4.0;
// Input gain at full drive: input gain = (kMaxGain - 1) drive + 1, so 1 at 0
// (the stages' tanh almost linear) and 32 (30 dB into the saturation) at 1.
inline constexpr double kMaxGain = 32.0;
// Cutoff of the high-pass that keeps DC out of the lowpass-like feedback, as
// a plain pi-scaled ratio (not tangent-warped): well below the lowest note.
inline constexpr double kFeedbackHighPassHz = 30.0;
// How far below self-oscillation full resonance stays, per pass type: the
// feedback k = kMaxFeedback resonance x factor. Types that mix in the earlier
// stages (high-pass, peak) ring at a lower loop gain, so their factor is lower.
inline constexpr double kLowPassFeedbackFactor = 0.992;
inline constexpr double kBandPassFeedbackFactor = 0.992;
inline constexpr double kHighPassFeedbackFactor = 0.98;
inline constexpr double kPeakFeedbackFactor = 0.985;
inline constexpr double kBandRejectFeedbackFactor = 0.995;
// The output stage, out = kOutputCeiling tanh(mix / kOutputCeiling): unity
// gain for small signals, and never beyond +-2, the voice limiter's ceiling.
inline constexpr double kOutputCeiling = 2.0;
// The pass types' mixes of the input u and the stage outputs y1..y4 (yk = G^k u)
// are expansions in G: high-pass (1 - G)^4 = u - 4 y1 + 6 y2 - 4 y3 + y4;
// band-pass 4 G^2 (1 - G)^2 = 4 y2 - 8 y3 + 4 y4, 1 at the cutoff; band reject
// (1 - G)^4 + 2 G^2 (1 - G)^2 + G^4 = u - 4 y1 + 8 y2 - 8 y3 + 4 y4, the
// high-pass, half the band-pass and the low-pass.
}  // namespace TransistorLadderConstants
