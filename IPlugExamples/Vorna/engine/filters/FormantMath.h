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

  // The rows a blend reads at vowel j0 and voice blend `voiceBlend`: vowels j0
  // and j1 (j0 again at the last vowel) of the voice tables t0 and t1 (t0 again
  // at the bass), and the weight of the second table.
  struct RowsAt
  {
    int j0, j1, t0, t1;
    double voiceWeight;
  };
  static RowsAt RowsOf(int j0, double voiceBlend)
  {
    namespace C = FormantConstants;
    const int t0 = static_cast<int>(voiceBlend);
    return {j0, j0 == C::kNumVowels - 1 ? j0 : j0 + 1, t0, t0 == 1 ? t0 : t0 + 1, voiceBlend - t0};
  }
  // One column of a formant at those rows: the first table's value at vowel j0
  // and its step to vowel j1, and the same of the second table.
  struct Column
  {
    double first, firstStep, second, secondStep;
  };
  static Column ColumnAt(const RowsAt& r, int formant, int column)
  {
    namespace C = FormantConstants;
    static constexpr const C::VowelTable* kTables[2] = {&C::kSoprano, &C::kBass};
    const C::VowelTable& first = *kTables[r.t0];
    const C::VowelTable& second = *kTables[r.t1];
    const double f0 = first[r.j0][formant][column];
    const double s0 = second[r.j0][formant][column];
    return {f0, first[r.j1][formant][column] - f0, s0, second[r.j1][formant][column] - s0};
  }
  // A column blended: each table's value moved by vowelWeight of its step,
  // then the first table's moved by voiceWeight towards the second's.
  template <class T>
  static T BlendColumn(T first, T firstStep, T second, T secondStep, T vowelWeight, T voiceWeight)
  {
    const T a = first + firstStep * vowelWeight;
    const T b = second + secondStep * vowelWeight;
    return a + (b - a) * voiceWeight;
  }

  // One voice's formants at vowel position `position` and voice blend
  // `voiceBlend`, blended from the tables: frequency and amplitude of each,
  // at freqs[i * stride] and amps[i * stride].
  static void Blend(double position, double voiceBlend, double* freqs, double* amps, int stride)
  {
    namespace C = FormantConstants;
    const double w = 4.0 * position;
    const int j0 = static_cast<int>(w);
    const double vowelWeight = w - j0;
    const RowsAt r = RowsOf(j0, voiceBlend);
    auto blend = [&](int formant, int column) {
      const Column c = ColumnAt(r, formant, column);
      return BlendColumn(c.first, c.firstStep, c.second, c.secondStep, vowelWeight, r.voiceWeight);
    };
    for (int i = 0; i < C::kNumFormants; ++i)
    {
      freqs[i * stride] = blend(i, C::kFormantFreq);
      amps[i * stride] = blend(i, C::kFormantAmp);
    }
  }

  // The columns each lane blends, for a run of frames: a swept cutoff moves
  // its lanes' vowel weights every sample, but their vowels and voice blends
  // seldom, so the columns are gathered lane by lane only where one of those
  // moved since the last sample, and blended on whole lanes. A run keeps
  // them in its filter's lanes, which start with none gathered.
  struct Rows
  {
    static constexpr int kColumns = 2;  // frequency and amplitude
    // What each lane's columns were gathered for: vowel j0 and voice blend
    // (-1, which neither is, before the first gather).
    double vowel[P::kLanes], voiceBlend[P::kLanes];
    double voiceWeight[P::kLanes];
    double first[FormantConstants::kNumFormants][kColumns][P::kLanes];
    double firstStep[FormantConstants::kNumFormants][kColumns][P::kLanes];
    double second[FormantConstants::kNumFormants][kColumns][P::kLanes];
    double secondStep[FormantConstants::kNumFormants][kColumns][P::kLanes];

    Rows()
    {
      for (int lane = 0; lane < P::kLanes; ++lane) vowel[lane] = voiceBlend[lane] = -1.0;
    }
  };
  // The columns of the lanes whose vowel j0 or voice blend moved.
  static void GatherRows(Rows& rows, V j0, V voiceBlend)
  {
    namespace C = FormantConstants;
    double vowels[P::kLanes], blends[P::kLanes];
    P::Spread(j0, vowels);
    P::Spread(voiceBlend, blends);
    for (int lane = 0; lane < P::kLanes; ++lane)
    {
      if (vowels[lane] == rows.vowel[lane] && blends[lane] == rows.voiceBlend[lane]) continue;
      rows.vowel[lane] = vowels[lane];
      rows.voiceBlend[lane] = blends[lane];
      // Every lane holds a voice's position and voice blend (a lane past the
      // last voice the last voice's), inside the tables; held there all the
      // same, no lane can read outside them.
      const bool vowelInside = vowels[lane] >= 0.0 && vowels[lane] < C::kNumVowels;
      const bool blendInside = blends[lane] >= 0.0 && blends[lane] <= 1.0;
      const RowsAt r = RowsOf(vowelInside ? static_cast<int>(vowels[lane]) : 0, blendInside ? blends[lane] : 0.0);
      rows.voiceWeight[lane] = r.voiceWeight;
      for (int i = 0; i < C::kNumFormants; ++i)
        for (int column = 0; column < Rows::kColumns; ++column)
        {
          const Column c = ColumnAt(r, i, column);
          rows.first[i][column][lane] = c.first;
          rows.firstStep[i][column][lane] = c.firstStep;
          rows.second[i][column][lane] = c.second;
          rows.secondStep[i][column][lane] = c.secondStep;
        }
    }
  }
  // Blend on each lane, each from its own rows, with the operations of Blend
  // in their order.
  static void BlendOfLanes(Rows& rows, V position, V voiceBlend, V* freqs, V* amps)
  {
    namespace C = FormantConstants;
    const V w = 4.0 * position;
    const V j0 = P::Truncate(w);
    if (P::Any((j0 != P::Gather(rows.vowel)) | (voiceBlend != P::Gather(rows.voiceBlend))))
      GatherRows(rows, j0, voiceBlend);
    const V vowelWeight = w - j0;
    const V voiceWeight = P::Gather(rows.voiceWeight);
    auto blend = [&](int formant, int column) {
      return BlendColumn(P::Gather(rows.first[formant][column]), P::Gather(rows.firstStep[formant][column]),
                         P::Gather(rows.second[formant][column]), P::Gather(rows.secondStep[formant][column]),
                         vowelWeight, voiceWeight);
    };
#pragma GCC unroll 5
    for (int i = 0; i < C::kNumFormants; ++i)
    {
      freqs[i] = blend(i, C::kFormantFreq);
      amps[i] = blend(i, C::kFormantAmp);
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
  // freqs, on the lanes changed (P::Every where every lane changed), as the
  // "simple" and the "reson" retune.
  template <class Mask>
  static void Tune(State& s, const CutoffRange& range, Mask changed, const V* freqs, bool driven)
  {
    using Biquad = BiquadMath<P>;
    // CutoffMath::Limit, whose lower bound no band frequency reaches below:
    // the upper one alone selects the same values. nf is then positive and
    // never NaN, and its warp's angle inside the tangent's quadrant.
    static_assert(FilterConstants::kMinCutoffHz <= FormantConstants::kMinFormantHz);
    static_assert(FilterConstants::kMaxWarpFraction < 0.5);
#pragma GCC unroll 5
    for (int i = 0; i < FormantConstants::kNumFormants; ++i)
    {
      const V nf = P::Min(BandFrequency(range, freqs[i], s.shift), range.ceiling) * range.inverseRate;
      const V k = P::TanInQuadrant(Biquad::WarpOf(nf));
      Biquad::SetCoefficients(s.bands[i].biquad, changed, Biquad::CoefficientsOfWarp(kBP, k, s.bandQ, 1.0));
    }
    if (driven) TuneDrivenPath(s, range, changed, freqs);
  }
  template <class Mask>
  static void TuneDrivenPath(State& s, const CutoffRange& range, Mask changed, const V* freqs)
  {
    StateVariableMath<P>::Retune(s.bandPass, range, kBP, changed, BandPassFrequency(range, freqs[0], s.shift));
    // The high-pass follows the unshifted second formant.
    StateVariableMath<P>::Retune(s.highPass, range, kHP, changed, HighPassFrequency(range, freqs[1]));
  }

  // The cutoff hz on the lanes changed: the vowel position, the formants
  // blended from the rows, and the filters tuned to them.
  template <class Mask>
  static void Retune(State& s, Rows& rows, const CutoffRange& range, Mask changed, V hz, bool driven)
  {
    V freqs[FormantConstants::kNumFormants], amps[FormantConstants::kNumFormants];
    BlendOfLanes(rows, Position(hz), s.voiceBlend, freqs, amps);
#pragma GCC unroll 5
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

  // One sample through the bands and (driven) the saturated path. Unrolled,
  // the bands' fields become values of their own, which pays where only the
  // samples touch them; where a moving cutoff retunes them beside, GCC keeps
  // them both as values and in the state, and the loop costs less.
  template <bool Unrolled = true>
  [[gnu::always_inline]] static V Step(State& s, V x, bool driven)
  {
    V p[FormantConstants::kNumFormants];
    if constexpr (Unrolled)
    {
#pragma GCC unroll 5
      for (int i = 0; i < FormantConstants::kNumFormants; ++i)
        p[i] = BiquadMath<P>::Step(s.bands[i].biquad, x) * s.bands[i].amp;
    }
    else
      for (int i = 0; i < FormantConstants::kNumFormants; ++i)
        p[i] = BiquadMath<P>::Step(s.bands[i].biquad, x) * s.bands[i].amp;
    if (!driven) return Mix(p, 1.0, 0.0, [] { return V(0.0); }, [] { return V(0.0); });
    // Lanes without drive step their state-variable filters too; nothing
    // takes those states back.
    return Mix(p, s.driveGain, s.driveNormaliser, [&] { return StateVariableMath<P>::Step(s.highPass, kHP, x); },
               [&] { return StateVariableMath<P>::Step(s.bandPass, kBP, x); });
  }
};
