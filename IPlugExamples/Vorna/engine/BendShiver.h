#pragma once

#include "PShiverWBase.h"

// The bend shiver: a walk around the bend base value in [-1, 1], pushed to the
// oscillators as a phase-bend exponent X(v) = 1 + 99 v^4 above 0 and
// 1 + 0.995 v below, so that the exponent spans 0.005 .. 100 and 0 means no bend.
class BendShiver : public PShiverWBase
{
public:
  static constexpr double kLowerBound = -1.0;
  static constexpr double kUpperBound = 1.0;

  explicit BendShiver(EngineRandom& random);

  // The exponent for a walk value v in [-1, 1].
  static double ExponentFor(double v);

  void UpdateTotalValueWithZeroAmount(int walk, int slot) override;
  void UpdateTotalParamValue(int walk, int slot) override;
  void SetVal(int walk, int slot, int voice, int voiceSlot) override;
  // Writes the exponents, which the voices are pushed.
  void WalkSteps(int walk, int slot, int samples, bool counts, double* out, int stride, int written) override;

private:
  static constexpr double kUpwardDepth = 99.0;
  static constexpr double kDownwardDepth = 0.995;

  // Kept with each walk's value: ExponentFor(value).
  double mExponent[kNumVoices][kNumSlots];
};
