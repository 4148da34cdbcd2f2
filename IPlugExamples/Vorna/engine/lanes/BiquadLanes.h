#pragma once

// The "simple" (BiquadMath) on lanes, its cutoff still or moving; where no
// voice drives it, no sample looks at the drive. Internal to each file that
// includes it.
#include "filters/BiquadMath.h"
#include "lanes/FilterLanes.h"

namespace
{
template <class L, bool CutoffMoves>
struct BiquadLanes : ModelLanes<L, CutoffMoves, BiquadState, BiquadLanes<L, CutoffMoves>>
{
  using Math = BiquadMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.filter.range, s.filter.passType, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, x, s.filter.driven); }
};

template <class L, bool CutoffMoves, bool Driven>
struct FilterLanesOf<L, kFltSimple, CutoffMoves, Driven>
{
  using Type = BiquadLanes<L, CutoffMoves>;
  static constexpr bool kDrivenVariants = false;
};
}  // namespace
