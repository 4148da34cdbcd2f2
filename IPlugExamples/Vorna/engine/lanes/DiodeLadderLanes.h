#pragma once

// the "moog" (DiodeLadderMath) on lanes, its cutoff still or moving. Internal to each
// file that includes it.
#include "filters/DiodeLadderMath.h"
#include "lanes/FilterLanes.h"

namespace
{
template <class L, bool CutoffMoves>
struct DiodeLadderLanes : ModelLanes<L, CutoffMoves, DiodeLadderState, DiodeLadderLanes<L, CutoffMoves>>
{
  using Math = DiodeLadderMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    // A swept cutoff moves on every lane: then none keeps its coefficients.
    using P = LanePolicy<L>;
    if (P::AllOf(changed))
      Math::Retune(this->state, s.filter.range, s.filter.passType, typename P::Every{}, f);
    else
      Math::Retune(this->state, s.filter.range, s.filter.passType, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, s.filter.passType, x); }
};

template <class L, bool CutoffMoves, bool Driven>
struct FilterLanesOf<L, kFltMoog, CutoffMoves, Driven>
{
  using Type = DiodeLadderLanes<L, CutoffMoves>;
  static constexpr bool kDrivenVariants = false;
};
}  // namespace
