#pragma once

// The "formant"'s maths, written once over a policy P (docs/engine.md): five
// band-passes in parallel tuned to the formants of a vowel. The cutoff moves
// through the vowels u, o, a, i, e; the resonance blends a soprano into a bass
// voice; the additional parameter shifts every formant; drive adds a saturated
// path through two state-variable filters. FormantFltZK runs it on one voice,
// the runs of frames on many side by side.
#include "filters/BiquadMath.h"
#include "filters/CutoffMath.h"
#include "filters/FormantConstants.h"
#include "filters/StateVariableMath.h"

// What a sample reads and writes, and what a moving cutoff retunes from
// (TransistorLadderState says what T is).
template <class T>
struct FormantBandState
{
  BiquadCoreState<T> biquad;
  T amp;
};
template <class T>
struct FormantState
{
  // A run leaves every field as it may have changed them; the filter takes
  // back what it needs.
  static constexpr int kRunFields = (5 * sizeof(FormantBandState<double>) + 2 * sizeof(StateVariableState<double>)) /
                                      sizeof(double) + 6;
  static constexpr int kCutoffFields = 0;
  FormantBandState<T> bands[FormantConstants::kNumFormants];
  // The driven path: its band-pass and high-pass, the drive gain G and 1 / asinh(G).
  StateVariableState<T> bandPass, highPass;
  T driveGain, driveNormaliser;
  // The voice blend, the formant shift and the bands' Q, and the last cutoff given.
  T voiceBlend, shift, bandQ, hz;
};

template <class P>
struct FormantMath
{
  using V = typename P::V;
  using M = typename P::M;
  using State = FormantState<V>;

  // The vowel position of a cutoff hz.
  static V Position(V hz)
  {
    namespace C = FormantConstants;
    return P::Clamp((hz - C::kPositionFromHz) * C::kPositionStretch * C::kPositionScale, 0.0, 1.0);
  }

  // One voice's formants at vowel position `position` and voice blend
  // `voiceBlend`, blended from the tables: frequency and amplitude of each,
  // at freqs[i * stride] and amps[i * stride].
  static void Blend(double position, double voiceBlend, double* freqs, double* amps, int stride)
  {
    namespace C = FormantConstants;
    static constexpr const C::VowelTable* kTables[2] = {&C::kSoprano, &C::kBass};
    const double w = 4.0 * position;
    const int j0 = static_cast<int>(w);
    const int j1 = j0 == C::kNumVowels - 1 ? j0 : j0 + 1;
    const double vowelWeight = w - j0;
    const int t0 = static_cast<int>(voiceBlend);
    const int t1 = t0 == 1 ? t0 : t0 + 1;
    const double voiceWeight = voiceBlend - t0;
    const C::VowelTable& first = *kTables[t0];
    const C::VowelTable& second = *kTables[t1];
    auto blend = [&](int formant, int column) {
      const double a =
        first[j0][formant][column] + (first[j1][formant][column] - first[j0][formant][column]) * vowelWeight;
      const double b =
        second[j0][formant][column] + (second[j1][formant][column] - second[j0][formant][column]) * vowelWeight;
      return a + (b - a) * voiceWeight;
    };
    for (int i = 0; i < C::kNumFormants; ++i)
    {
      freqs[i * stride] = blend(i, C::kFormantFreq);
      amps[i * stride] = blend(i, C::kFormantAmp);
    }
  }
  // The same on each lane, each reading its own rows.
  static void BlendOfLanes(V position, V voiceBlend, V* freqs, V* amps)
  {
    constexpr int n = P::kLanes;
    double positions[n], blends[n], f[FormantConstants::kNumFormants][n], a[FormantConstants::kNumFormants][n];
    P::Spread(position, positions);
    P::Spread(voiceBlend, blends);
    for (int lane = 0; lane < n; ++lane) Blend(positions[lane], blends[lane], &f[0][lane], &a[0][lane], n);
    for (int i = 0; i < FormantConstants::kNumFormants; ++i)
    {
      freqs[i] = P::Gather(f[i]);
      amps[i] = P::Gather(a[i]);
    }
  }

  // A formant frequency times the shift, folded below the mirror frequency and
  // kept above the lowest formant.
  static V BandFrequency(const CutoffRange& range, V hz, V shift)
  {
    namespace C = FormantConstants;
    const double mirror = range.maxWarpHz < C::kMirrorHz ? range.maxWarpHz : C::kMirrorHz;
    const V shifted = hz * shift;
    const V folded = P::Select(shifted <= mirror, shifted, 2.0 * mirror - shifted);
    return P::Max(C::kMinFormantHz, folded);
  }
  // The driven path's state-variable filters' frequencies, kept below the warp limit.
  static V BandPassFrequency(const CutoffRange& range, V firstFormant, V shift)
  {
    return P::Min(firstFormant * FormantConstants::kBandPassRatio * shift, range.maxWarpHz);
  }
  static V HighPassFrequency(const CutoffRange& range, V secondFormant)
  {
    return P::Min(secondFormant * FormantConstants::kHighPassRatio, range.maxWarpHz);
  }

  // The bands and (driven) the state-variable filters tuned to the formants
  // freqs, on the lanes changed, as the "simple" and the "reson" retune.
  static void Tune(State& s, const CutoffRange& range, M changed, const V* freqs, bool driven)
  {
    for (int i = 0; i < FormantConstants::kNumFormants; ++i)
    {
      const V nf = CutoffMath<P>::Limit(range, BandFrequency(range, freqs[i], s.shift)) * range.inverseRate;
      BiquadMath<P>::SetCoefficients(s.bands[i].biquad, changed, BiquadMath<P>::CoefficientsOf(kBP, nf, s.bandQ, 1.0));
    }
    if (!driven) return;
    StateVariableMath<P>::Retune(s.bandPass, range, kBP, changed, BandPassFrequency(range, freqs[0], s.shift));
    // The high-pass follows the unshifted second formant.
    StateVariableMath<P>::Retune(s.highPass, range, kHP, changed, HighPassFrequency(range, freqs[1]));
  }

  // The cutoff hz on the lanes changed: the vowel position, the formants
  // blended from the tables, and the filters tuned to them.
  static void Retune(State& s, const CutoffRange& range, M changed, V hz, bool driven)
  {
    V freqs[FormantConstants::kNumFormants], amps[FormantConstants::kNumFormants];
    BlendOfLanes(Position(hz), s.voiceBlend, freqs, amps);
    for (int i = 0; i < FormantConstants::kNumFormants; ++i)
      s.bands[i].amp = P::Select(changed, amps[i], s.bands[i].amp);
    s.hz = P::Select(changed, hz, s.hz);
    Tune(s, range, changed, freqs, driven);
  }

  // The bands' outputs, each times its amplitude, mixed; a driven lane adds the
  // saturated path through hp(), the high-pass's sample, and bp(), the band-pass's.
  template <class HighPass, class BandPass>
  [[gnu::always_inline]] static V Mix(const V* p, V driveGain, V driveNormaliser, HighPass hp, BandPass bp)
  {
    namespace C = FormantConstants;
    const V sum = C::kBandWeight * (p[0] + p[1] + p[2] + p[3]);
    // The second formant enters twice.
    const V plain = sum + C::kBandWeight * (p[1] + p[4]);
    const M driven = driveGain > 1.0;
    if (!P::Any(driven)) return plain;
    const V path = sum + C::kBandWeight * (p[1] + P::Asinh(p[4] * driveGain) * driveNormaliser);
    const V a = driveGain / C::kMaxGain;
    const V h = hp();
    const V q = bp();
    const V t = h * a + q * a + path;
    return P::Select(driven, a * P::Asinh(t) + (1.0 - a) * t, plain);
  }

  // One sample through the bands and (driven) the saturated path.
  [[gnu::always_inline]] static V Step(State& s, V x, bool driven)
  {
    V p[FormantConstants::kNumFormants];
    for (int i = 0; i < FormantConstants::kNumFormants; ++i)
      p[i] = BiquadMath<P>::Step(s.bands[i].biquad, x) * s.bands[i].amp;
    if (!driven) return Mix(p, 1.0, 0.0, [] { return V(0.0); }, [] { return V(0.0); });
    // Lanes without drive step their state-variable filters too; nothing
    // takes those states back.
    return Mix(p, s.driveGain, s.driveNormaliser, [&] { return StateVariableMath<P>::Step(s.highPass, kHP, x); },
               [&] { return StateVariableMath<P>::Step(s.bandPass, kBP, x); });
  }
};
