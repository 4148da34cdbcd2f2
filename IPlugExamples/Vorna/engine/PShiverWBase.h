#pragma once

#include "ParamShiver.h"

// A shiver around a base value per slot (pan, cutoff): the walk moves the pushed
// value within +- amount of the base, never beyond [lower, upper]; a walk that
// overshoots a bound is reflected back into it.
class PShiverWBase : public ParamShiver
{
public:
  PShiverWBase(EngineRandom& random, double lowerBound, double upperBound);

  // Base value of a slot, inside [lower, upper]. With amount 0 the new value is
  // pushed to that slot of all voices at once, since a frozen walk pushes nothing.
  void SetBaseValue(int slot, double base);
  double GetBaseValue(int slot) const { return mBase[SlotIndex(slot)]; }

  void BoundariesPrecisionCorrection(int walk, int slot, double* value) override;
  void CalcRanges(int slot) override;
  void UpdateTotalValueWithZeroAmount(int walk, int slot) override;
  void UpdateTotalParamValue(int walk, int slot) override;

protected:
  double mBase[kNumSlots] = {0.0, 0.0};
};
