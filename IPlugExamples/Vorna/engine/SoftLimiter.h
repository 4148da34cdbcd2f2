#pragma once

#include "ScalarPolicy.h"
#include "VoiceStageMath.h"

// Passes samples inside ±threshold unchanged and bends louder ones towards
// ±ceiling, which they approach but never reach. The soft zone is `range` wide
// (threshold = ceiling - range) and its knee is 1 / range; a range of 0 clips
// hard at the threshold.
class SoftLimiter
{
public:
  static constexpr double kDefaultRange = 0.9;
  static constexpr double kDefaultCeiling = 1.0;

  double Process(double x) const { return VoiceStageMath<ScalarPolicy>::Limit(x, mThreshold, mKnee); }

  // Ceiling in sample units (> 0). A range wider than the new ceiling is narrowed
  // to it; the knee stays.
  void SetCeiling(double ceiling)
  {
    if (mRange > ceiling) mRange = ceiling;
    mCeiling = ceiling;
    mThreshold = mCeiling - mRange;
  }

  // Width of the soft zone in sample units (>= 0). A range above the ceiling
  // raises the ceiling to it.
  void SetRange(double range)
  {
    mRange = range;
    mKnee = 1.0 / range;
    if (range > mCeiling) mCeiling = range;
    mThreshold = mCeiling - range;
  }

  double GetRange() const { return mRange; }
  double GetKnee() const { return mKnee; }
  double GetCeiling() const { return mCeiling; }
  double GetThreshold() const { return mThreshold; }

private:
  double mRange = kDefaultRange;
  double mKnee = 1.0 / kDefaultRange;
  double mCeiling = kDefaultCeiling;
  double mThreshold = kDefaultCeiling - kDefaultRange;
};
