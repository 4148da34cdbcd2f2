#pragma once

// FormantFltZK: Process, the five band-passes each weighted by its amplitude
// and summed as the filter sums them (with drive, the saturated path through
// its two state-variable filters), and with a moving cutoff SetFreq: the vowel
// position, the formants blended from the tables (lane by lane, since each lane
// reads its own rows), the bands and the state-variable filters retuned.
// Internal to each file that includes it.
#include "lanes/RunLanesKernel.h"

namespace
{
template <class L, bool CutoffMoves, bool Driven>
struct FormantLanes : FieldFilterLanes<L, CutoffMoves, RunLanes::kFormantFields, &RunLanes::Slot::formant,
                                       FormantLanes<L, CutoffMoves, Driven>>
{
  using Base = FieldFilterLanes<L, CutoffMoves, RunLanes::kFormantFields, &RunLanes::Slot::formant, FormantLanes>;
  using V = typename L::V;
  using Base::fields;
  V voiceBlend{}, shift{}, bandQ{};
  // The drive's band-pass and high-pass, its gain and normaliser.
  using Svf = StateVariableMath<LanePolicy<L>>;
  StateVariableState<Lanes<L>> svf[2];
  V driveGain{}, driveNormaliser{};

  void Load(const RunLanes::Slot& s, int lane)
  {
    Base::Load(s, lane);
    if constexpr (Driven)
    {
      for (int i = 0; i < 2; ++i) svf[i] = LoadState<StateVariableState, L>(s.formantSvf[i], lane);
      driveGain = L::Load(s.formantDriveGain + lane);
      driveNormaliser = L::Load(s.formantDriveNormaliser + lane);
    }
    if (!CutoffMoves) return;
    voiceBlend = L::Load(s.formantVoiceBlend + lane);
    shift = L::Load(s.formantShift + lane);
    bandQ = L::Load(s.formantBandQ + lane);
  }

  void Store(RunLanes::Slot& s, int lane) const
  {
    Base::Store(s, lane);
    if constexpr (Driven)
      for (int i = 0; i < 2; ++i) StoreState<StateVariableState, L>(svf[i], s.formantSvf[i], lane);
  }

  // UpdateFrequenciesAndAmps's blend of one lane's tables at vowel position p:
  // each formant's frequency and amplitude.
  static void Blend(const RunLanes::Slot& s, double position, double voiceBlend, double* freqs, double* amps,
                    int stride)
  {
    constexpr int kVowels = 5, kColumns = 3, kFreq = 0, kAmp = 1;
    const double w = 4.0 * position;
    const int j0 = static_cast<int>(w);
    const int j1 = j0 == kVowels - 1 ? j0 : j0 + 1;
    const double vowelWeight = w - j0;
    const int t0 = static_cast<int>(voiceBlend);
    const int t1 = t0 == 1 ? t0 : t0 + 1;
    const double voiceWeight = voiceBlend - t0;
    const double* first = s.formantTables[t0];
    const double* second = s.formantTables[t1];
    auto at = [](const double* table, int vowel, int formant, int column) {
      return table[(vowel * RunLanes::kFormantBands + formant) * kColumns + column];
    };
    auto blend = [&](int formant, int column) {
      const double a = at(first, j0, formant, column) +
                       (at(first, j1, formant, column) - at(first, j0, formant, column)) * vowelWeight;
      const double b = at(second, j0, formant, column) +
                       (at(second, j1, formant, column) - at(second, j0, formant, column)) * vowelWeight;
      return a + (b - a) * voiceWeight;
    };
    for (int i = 0; i < RunLanes::kFormantBands; ++i)
    {
      freqs[i * stride] = blend(i, kFreq);
      amps[i * stride] = blend(i, kAmp);
    }
  }
  // BandFrequency: shifted, folded below the mirror, above the lowest formant.
  static V BandFrequency(const RunLanes::Slot& s, V hz, V shift)
  {
    const V mirror = L::Set(s.formantMirrorHz);
    const V shifted = L::Mul(hz, shift);
    const V folded = L::Select(L::Greater(shifted, mirror), L::Sub(L::Mul(L::Set(2.0), mirror), shifted), shifted);
    return AtLeast<L>(L::Set(s.formantMinHz), folded);
  }
  void SetFreq(const RunLanes::Slot& s, V changed, V f)
  {
    using namespace RunLanes;
    const V zero = L::Set(0.0);
    const V one = L::Set(1.0);
    const V raw = L::Mul(L::Mul(L::Sub(f, L::Set(10.0)), L::Set(1.0005)), L::Set(5e-5));
    const V position = L::Select(L::Less(raw, zero), zero, L::Select(L::Less(one, raw), one, raw));
    double positions[L::kLanes], blends[L::kLanes];
    double freqs[kFormantBands][L::kLanes], amps[kFormantBands][L::kLanes];
    L::Store(positions, position);
    L::Store(blends, voiceBlend);
    for (int lane = 0; lane < L::kLanes; ++lane)
      Blend(s, positions[lane], blends[lane], &freqs[0][lane], &amps[0][lane], L::kLanes);
    V* v = fields.f;
    for (int i = 0; i < kFormantBands; ++i)
    {
      V* band = v + i * kBandFields;
      const V hz = BandFrequency(s, L::Load(freqs[i]), shift);
      const BiquadCoefficients<L> n = BiquadCoefficients<L>::Of(s, 1, hz, bandQ, one);
      band[kBandB0] = L::Select(changed, n.b0, band[kBandB0]);
      band[kBandB1] = L::Select(changed, n.b1, band[kBandB1]);
      band[kBandB2] = L::Select(changed, n.b2, band[kBandB2]);
      band[kBandA1] = L::Select(changed, n.a1, band[kBandA1]);
      band[kBandA2] = L::Select(changed, n.a2, band[kBandA2]);
      band[kBandAmp] = L::Select(changed, L::Load(amps[i]), band[kBandAmp]);
    }
    if constexpr (!Driven) return;
    // Retune's state-variable filters: below the warp limit, the band-pass at a
    // quarter of the shifted first formant, the high-pass at eight times the
    // unshifted second.
    const V maxWarp = L::Set(s.maxWarpHz);
    auto below = [&](V hz) { return L::Select(L::Less(maxWarp, hz), maxWarp, hz); };
    const LaneMask<L> lanes{changed};
    Svf::Retune(svf[0], s.cutoffRange, kBP, lanes, below(L::Mul(L::Mul(L::Load(freqs[0]), L::Set(0.25)), shift)));
    Svf::Retune(svf[1], s.cutoffRange, kHP, lanes, below(L::Mul(L::Load(freqs[1]), L::Set(8.0))));
  }
  V Band(int band, V x)
  {
    using namespace RunLanes;
    V* v = fields.f + band * kBandFields;
    const V y = BiquadStep<L>(x, v[kBandB0], v[kBandB1], v[kBandB2], v[kBandA1], v[kBandA2], v[kBandZ1], v[kBandZ2],
                              v[kBandBlockerCoefficient], v[kBandBlockerState]);
    return L::Mul(y, v[kBandAmp]);
  }
  V Filter(const RunLanes::Slot&, V x)
  {
    using namespace RunLanes;
    V p[kFormantBands];
    for (int i = 0; i < kFormantBands; ++i) p[i] = Band(i, x);
    const V weight = L::Set(16.0);
    const V sum = L::Mul(weight, L::Add(L::Add(L::Add(p[0], p[1]), p[2]), p[3]));
    // The second formant enters twice.
    const V plain = L::Add(sum, L::Mul(weight, L::Add(p[1], p[4])));
    if constexpr (!Driven) return plain;
    const V one = L::Set(1.0);
    const V driven = L::Greater(driveGain, one);
    const V path =
      L::Add(sum, L::Mul(weight, L::Add(p[1], L::Mul(AsinhOfLanes<L>(L::Mul(p[4], driveGain)), driveNormaliser))));
    const V a = L::Div(driveGain, L::Set(64.0));
    // Lanes without drive step their state-variable filters too; nothing
    // takes those states back.
    const V h = Svf::Step(svf[1], kHP, x).v;
    const V q = Svf::Step(svf[0], kBP, x).v;
    const V t = L::Add(L::Add(L::Mul(h, a), L::Mul(q, a)), path);
    const V saturated = L::Add(L::Mul(a, AsinhOfLanes<L>(t)), L::Mul(L::Sub(one, a), t));
    return L::Select(driven, saturated, plain);
  }
};

// A slot through the formant filter, its cutoff still or moving.
template <class L>
void RenderFormantLanes(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  if (slot.cutoffMoves)
  {
    if (slot.formantDriven)
      RenderLanesThrough<L, FormantLanes<L, true, true>>(slot, voices, frames, left, right);
    else
      RenderLanesThrough<L, FormantLanes<L, true, false>>(slot, voices, frames, left, right);
  }
  else if (slot.formantDriven)
    RenderLanesThrough<L, FormantLanes<L, false, true>>(slot, voices, frames, left, right);
  else
    RenderLanesThrough<L, FormantLanes<L, false, false>>(slot, voices, frames, left, right);
}
}  // namespace
