#pragma once

// the "t ladder" (TransistorLadderMath) on lanes, its cutoff still or moving. Internal to each
// file that includes it.
#include "filters/TransistorLadderMath.h"
#include "lanes/FilterLanes.h"

namespace
{
template <class L, bool CutoffMoves>
struct TLadderLanes : ModelLanes<L, CutoffMoves, TransistorLadderState, TLadderLanes<L, CutoffMoves>>
{
  using Math = TransistorLadderMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.filter.range, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, s.filter.passType, x); }
};

template <class L, bool CutoffMoves, bool Driven>
struct FilterLanesOf<L, kFltTLadder, CutoffMoves, Driven>
{
  using Type = TLadderLanes<L, CutoffMoves>;
  static constexpr bool kDrivenVariants = false;
};
}  // namespace
