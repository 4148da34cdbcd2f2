#pragma once

// The tables and numbers of the "formant" (FormantMath.h), each with the
// equation it belongs to.
namespace FormantConstants
{
inline constexpr int kNumVowels = 5;
inline constexpr int kNumFormants = 5;
// Columns of a formant entry.
enum FormantColumn
{
  kFormantFreq = 0,       // Hz
  kFormantAmp = 1,        // linear
  kFormantBandwidth = 2,  // Hz, not used by the filter
};
using VowelTable = double[kNumVowels][kNumFormants][3];

// Vowel rows in the order u, o, a, i, e.
inline constexpr VowelTable kSoprano = {
  {{325, 1, 50}, {700, 0.158, 60}, {2700, 0.018, 170}, {3800, 0.01, 180}, {4950, 0.001, 200}},
  {{450, 1, 70}, {800, 0.282, 80}, {2830, 0.079, 100}, {3800, 0.079, 130}, {4950, 0.003, 135}},
  {{800, 1, 80}, {1150, 0.501, 90}, {2900, 0.025, 120}, {3900, 0.1, 130}, {4950, 0.003, 140}},
  {{270, 1, 60}, {2140, 0.251, 90}, {2950, 0.05, 100}, {3900, 0.05, 120}, {4950, 0.006, 200}},
  {{350, 1, 60}, {2000, 0.1, 100}, {2800, 0.178, 120}, {3600, 0.01, 150}, {4950, 0.002, 200}},
};
inline constexpr VowelTable kBass = {
  {{350, 1, 40}, {600, 0.1, 80}, {2400, 0.025, 100}, {2675, 0.04, 120}, {2950, 0.016, 120}},
  {{400, 1, 40}, {750, 0.282, 80}, {2400, 0.089, 100}, {2600, 0.1, 120}, {2900, 0.01, 120}},
  {{600, 1, 60}, {1040, 0.447, 70}, {2250, 0.355, 110}, {2450, 0.355, 120}, {2750, 0.1, 130}},
  {{250, 1, 60}, {1750, 0.032, 90}, {2600, 0.159, 100}, {3050, 0.079, 120}, {3340, 0.04, 120}},
  {{400, 1, 40}, {1620, 0.251, 80}, {2400, 0.355, 100}, {2800, 0.251, 120}, {3100, 0.126, 120}},
};

// The vowel position v = (f - kPositionFromHz) kPositionStretch kPositionScale,
// held in [0, 1]: 10 Hz is u, 20000 Hz the end of e (0.99999975, just inside the
// table's last row).
inline constexpr double kPositionFromHz = 10.0;
inline constexpr double kPositionStretch = 1.0005;
inline constexpr double kPositionScale = 5e-5;
// The bands' resonance, as the "simple" takes it (Q = 21 r^8, about 16).
inline constexpr double kBandResonance = 0.97;
// The drive gain G = (kMaxGain - 1) drive + 1, and its part a = G / kMaxGain in
// the saturated output a asinh(t) + (1 - a) t.
inline constexpr double kMaxGain = 64.0;
// The bands' sum: kBandWeight (p0 + p1 + p2 + p3 + p1 + p4); the second formant
// enters twice on purpose: it carries the vowel.
inline constexpr double kBandWeight = 16.0;
// Formants shifted above this are folded back below it, Hz (lowered to the
// tangent warp's top at low sample rates): folded = 2 mirror - shifted.
inline constexpr double kMirrorHz = 20000.0;
// Lowest frequency a folded formant is tuned to, Hz.
inline constexpr double kMinFormantHz = 10.0;
// The formant shift d = p |p|: d < 0 multiplies every formant by 1 - kDownShift d
// (5 at p = -1), d > 0 divides it by 1 + kUpShift d (8 at p = 1).
inline constexpr double kDownShift = 4.0;
inline constexpr double kUpShift = 7.0;
// The driven path's state-variable filters: the band-pass at kBandPassRatio of
// the shifted first formant with drive kBandPassDrive drive, the high-pass at
// kHighPassRatio times the unshifted second with resonance kHighPassResonance
// + kHighPassResonanceSlope drive.
inline constexpr double kBandPassRatio = 0.25;
inline constexpr double kBandPassDrive = 0.5;
inline constexpr double kBandPassResonance = 0.5;
inline constexpr double kHighPassRatio = 8.0;
inline constexpr double kHighPassResonance = 0.8;
inline constexpr double kHighPassResonanceSlope = 0.192;
}  // namespace FormantConstants
