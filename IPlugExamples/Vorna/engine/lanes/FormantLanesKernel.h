#pragma once

// The "formant" (FormantMath) on lanes, its cutoff still or moving, with its
// saturated path where some voice drives it. Internal to each file that
// includes it.
#include "filters/FormantMath.h"
#include "lanes/RunLanesKernel.h"

namespace
{
template <class L, bool CutoffMoves, bool Driven>
struct FormantLanes
  : ModelLanes<L, CutoffMoves, FormantState, FormantLanes<L, CutoffMoves, Driven>>
{
  using Math = FormantMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.cutoffRange, changed, f, Driven);
  }
  Lanes<L> Filter(const RunLanes::Slot&, Lanes<L> x) { return Math::Step(this->state, x, Driven); }
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
