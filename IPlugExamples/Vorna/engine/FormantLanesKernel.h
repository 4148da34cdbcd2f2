#pragma once

// FormantFltZK::Process without drive, its cutoff still: the five band-passes,
// each weighted by its amplitude, summed as the filter sums them. Internal to
// each file that includes it.
#include "RunLanesKernel.h"

namespace
{
template <class L>
struct FormantLanes
{
  using V = typename L::V;
  FieldLanes<L, RunLanes::kFormantFields> fields;

  void Load(const RunLanes::Slot& s, int lane) { fields.Load(s.formant, lane); }
  void Store(RunLanes::Slot& s, int lane) const { fields.Store(s.formant, lane); }
  V Band(int band, V x)
  {
    using namespace RunLanes;
    V* v = fields.f + band * kBandFields;
    const V y = BiquadStep<L>(x, v[kBandB0], v[kBandB1], v[kBandB2], v[kBandA1], v[kBandA2], v[kBandZ1], v[kBandZ2],
                              v[kBandBlockerCoefficient], v[kBandBlockerState]);
    return L::Mul(y, v[kBandAmp]);
  }
  V Process(const RunLanes::Slot&, V x)
  {
    V p[RunLanes::kFormantBands];
    for (int i = 0; i < RunLanes::kFormantBands; ++i) p[i] = Band(i, x);
    const V weight = L::Set(16.0);
    const V sum = L::Mul(weight, L::Add(L::Add(L::Add(p[0], p[1]), p[2]), p[3]));
    // The second formant enters twice.
    return L::Add(sum, L::Mul(weight, L::Add(p[1], p[4])));
  }
};
}  // namespace
