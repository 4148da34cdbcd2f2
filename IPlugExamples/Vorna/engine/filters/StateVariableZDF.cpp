#include "filters/StateVariableZDF.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"

StateVariableZDF::StateVariableZDF() : FilterZK(kKind)
{
  mLane.g = FilterMath::FastWarpedGain(mLane.cutoff);
  mLane.h = 1.0 / (1.0 + 2.0 * mLane.r * mLane.g + mLane.g * mLane.g);
  UpdateFeedbackDamping();
}

void StateVariableZDF::Reset()
{
  mLane.s1 = 0.0;
  mLane.s2 = 0.0;
}

void StateVariableZDF::UpdateFeedbackDamping()
{
  mLane.rf = Math::FeedbackDamping(FilterMath::CurrentRange(), mPassType, mLane.cutoff, mLane.r);
}

double StateVariableZDF::DriveResonancePower() const
{
  using namespace StateVariableConstants;
  // Before the first SetResonance the damping is 1, which would make the
  // setting negative and its power NaN, so it is held in [0, 1].
  const double resonance = std::clamp((kZeroResonanceDamping - mLane.r) / kResonanceScale, 0.0, 1.0);
  return std::pow(resonance, kResonancePower);
}

void StateVariableZDF::UpdateDriveBlend()
{
  mLane.driveBlend = Math::DriveBlend(mLane.drive, mLane.cutoff, mLane.q);
}

void StateVariableZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  Math::Retune(mLane, FilterMath::CurrentRange(), mPassType, true, hz);
}

void StateVariableZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  r = std::clamp(r, 0.0, kMaxResonance);
  mLane.r = 1.0 - (kResonanceScale * r + StateVariableConstants::kZeroResonanceDamping);
  mLane.q = DriveResonancePower();
  UpdateFeedbackDamping();
  UpdateDriveBlend();
}

void StateVariableZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mLane.drive = std::clamp(d, 0.0, kMaxDrive);
  UpdateDriveBlend();
}

void StateVariableZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  UpdateFeedbackDamping();
}
