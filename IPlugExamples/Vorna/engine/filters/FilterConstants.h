#pragma once

// The numbers every filter model shares, each with the reason it has its value.
namespace FilterConstants
{
// Lowest cutoff any model accepts, Hz. Below the voice range (the formant
// filter's band-pass runs down to about 8 Hz) but keeps every warped gain positive.
inline constexpr double kMinCutoffHz = 1.0;
// The tangent warp is evaluated at most this fraction of the sample rate: tan(pi f / SR)
// blows up at the Nyquist frequency, which the cutoff ceiling reaches below 40 kHz.
inline constexpr double kMaxWarpFraction = 0.49;
// Cutoff of the DC blockers at the outputs of the biquad and the ladders, Hz:
// below hearing, yet it settles within a tenth of a second.
inline constexpr double kDcBlockerHz = 5.0;
// The cutoff shiver s in [-1, 1] multiplies the cutoff by 1 + kShiverUpDepth s^2
// above 0 (9 at s = 1) and by 1 - kShiverDownDepth s^2 below (1/16 at s = -1).
inline constexpr double kShiverUpDepth = 8.0;
inline constexpr double kShiverDownDepth = 1.0 - 1.0 / 16.0;
}  // namespace FilterConstants
