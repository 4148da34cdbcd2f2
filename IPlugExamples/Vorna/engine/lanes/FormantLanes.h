#pragma once

// The "formant" (FormantMath) on lanes, its cutoff still or moving, with its
// saturated path where some voice drives it. Internal to each file that
// includes it.
#include "filters/FormantMath.h"
#include "lanes/FilterLanes.h"

#include <type_traits>

namespace
{
template <class L, bool CutoffMoves, bool Driven>
struct FormantLanes : ModelLanes<L, CutoffMoves, FormantState, FormantLanes<L, CutoffMoves, Driven>>
{
  using Math = FormantMath<LanePolicy<L>>;
  struct NoRows
  {
  };
  // Gathered afresh by each run (and each call of one) at its first cutoff; a
  // still cutoff blends nothing.
  [[no_unique_address]] std::conditional_t<CutoffMoves, typename Math::Rows, NoRows> rows;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    // A swept cutoff moves on every lane: then none keeps its tuning.
    using P = LanePolicy<L>;
    if (P::AllOf(changed))
      Math::Retune(this->state, rows, s.filter.range, typename P::Every{}, f, Driven);
    else
      Math::Retune(this->state, rows, s.filter.range, changed, f, Driven);
  }
  Lanes<L> Filter(const RunLanes::Slot&, Lanes<L> x) { return Math::template Step<!CutoffMoves>(this->state, x, Driven); }
};

template <class L, bool CutoffMoves, bool Driven>
struct FilterLanesOf<L, kFltFormant, CutoffMoves, Driven>
{
  using Type = FormantLanes<L, CutoffMoves, Driven>;
  static constexpr bool kDrivenVariants = true;
};
}  // namespace
