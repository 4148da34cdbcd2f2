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
  void WalkSteps(int walk, int slot, int samples, bool counts, double* out, int stride, int written) override;

protected:
  // A walk's value kept inside [lower, upper]: a value beyond a bound stays at
  // it and reflects the walk's accumulator back inside.
  static double Reflected(double value, double lower, double upper, double& accumulator)
  {
    if (value > upper)
    {
      accumulator -= 2.0 * (value - upper);
      return upper;
    }
    if (value < lower)
    {
      accumulator += 2.0 * (lower - value);
      return lower;
    }
    return value;
  }

  double mBase[kNumSlots] = {0.0, 0.0};
};
