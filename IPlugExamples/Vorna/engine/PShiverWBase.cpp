#include "PShiverWBase.h"

#include <algorithm>
#include <cmath>

PShiverWBase::PShiverWBase(EngineRandom& random, double lowerBound, double upperBound)
  : ParamShiver(random, lowerBound, upperBound)
{
}

void PShiverWBase::SetBaseValue(int slot, double base)
{
  if (std::isnan(base)) return;
  slot = SlotIndex(slot);
  mBase[slot] = std::clamp(base, mSlots[slot].lowerBound, mSlots[slot].upperBound);
  ApplyRangeChange(slot);
  if (mSlots[slot].amount != 0.0) return;
  UpdateTotalParamValue(kSharedWalk, slot);
  for (int voice = 0; voice < kNumVoices; ++voice)
    SetVal(kSharedWalk, slot, voice, slot);
}

void PShiverWBase::BoundariesPrecisionCorrection(int walk, int slot, double* value)
{
  *value = Reflected(*value, mSlots[slot].lowerBound, mSlots[slot].upperBound, mWalks[walk][slot].accumulator);
}

void PShiverWBase::CalcRanges(int slot)
{
  Slot& s = mSlots[slot];
  const double base = mBase[slot];
  s.minusRange = base - std::max(base - s.amount, s.lowerBound);
  s.plusRange = std::min(base + s.amount, s.upperBound) - base;
}

void PShiverWBase::UpdateTotalValueWithZeroAmount(int walk, int slot)
{
  mWalks[walk][slot].value = mBase[slot];
}

void PShiverWBase::UpdateTotalParamValue(int walk, int slot)
{
  double& accumulator = mWalks[walk][slot].accumulator;
  mWalks[walk][slot].value =
    Reflected(mBase[slot] + accumulator, mSlots[slot].lowerBound, mSlots[slot].upperBound, accumulator);
}

void PShiverWBase::WalkSteps(int walk, int slot, int samples, bool counts, double* out, int stride, int written)
{
  const double base = mBase[slot];
  const double lower = mSlots[slot].lowerBound;
  const double upper = mSlots[slot].upperBound;
  WalkStepsWith(walk, slot, samples, counts, out, stride, written,
                [=](double& accumulator) { return Reflected(base + accumulator, lower, upper, accumulator); });
}
