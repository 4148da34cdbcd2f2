#pragma once

// the "reson" (StateVariableMath) on lanes, its cutoff still or moving. Internal to each
// file that includes it.
#include "filters/StateVariableMath.h"
#include "lanes/FilterLanes.h"

namespace
{
template <class L, bool CutoffMoves>
struct StateVariableLanes : ModelLanes<L, CutoffMoves, StateVariableState, StateVariableLanes<L, CutoffMoves>>
{
  using Math = StateVariableMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.filter.range, s.filter.passType, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, s.filter.passType, x); }
};

template <class L, bool CutoffMoves, bool Driven>
struct FilterLanesOf<L, kFltReson, CutoffMoves, Driven>
{
  using Type = StateVariableLanes<L, CutoffMoves>;
  static constexpr bool kDrivenVariants = false;
};
}  // namespace
