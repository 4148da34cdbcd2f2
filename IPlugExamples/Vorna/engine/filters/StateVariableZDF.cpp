#include "filters/StateVariableZDF.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"

StateVariableZDF::StateVariableZDF() : FilterZK(kKind)
{
  mG = FilterMath::FastWarpedGain(mCutoff);
  mH = 1.0 / (1.0 + 2.0 * mR * mG + mG * mG);
  UpdateFeedbackDamping();
}

void StateVariableZDF::Reset()
{
  mS1 = 0.0;
  mS2 = 0.0;
}

double StateVariableZDF::Compensation() const
{
  const double e = 2.0 * mCutoff * PlugG::INV_SR;
  switch (mPassType)
  {
    case kLP: return 0.008 * e * e * e;
    case kBP:
    case kHP: return 0.03 * e * e * e;
    case kP: return 0.04 * e * e * e;
    case kBR: return 0.1;
    default: return 0.0;
  }
}

void StateVariableZDF::UpdateFeedbackDamping()
{
  mRf = std::min(1.0, mR + Compensation());
}

double StateVariableZDF::DriveResonancePower() const
{
  // Before the first SetResonance the damping is 1, which would make the
  // setting negative and its power NaN, so it is held in [0, 1].
  const double resonance = std::clamp((0.5 - mR) / kResonanceScale, 0.0, 1.0);
  return std::pow(resonance, 1.5);
}

void StateVariableZDF::UpdateDriveBlend()
{
  if (mDrive <= 0.0)
  {
    mDriveBlend = 0.0;
    return;
  }
  const double f = mCutoff;
  const double q = DriveResonancePower();
  double a;
  if (f < 4000.0)
  {
    const double t = (f - 4000.0) * 2.45e-4;
    a = 0.95 * (1.0 - t * t);
  }
  else
  {
    const double t = (f - 4000.0) / 20000.0;
    a = 1.0 - 0.678 * t * t;
  }
  a *= 1.0 - q;
  double b;
  if (f < 3000.0)
  {
    const double t = (f - 3000.0) * 3.424e-4;
    b = 0.9 * (1.0 - t * t);
  }
  else
  {
    b = 8.5e6 / (f * f);
  }
  mDriveBlend = mDrive * (a + q * std::max(0.0, b));
}

void StateVariableZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  mCutoff = FilterMath::LimitCutoff(hz);
  mG = FilterMath::FastWarpedGain(mCutoff);
  UpdateFeedbackDamping();
  UpdateDriveBlend();
  // h is built from R while the loop runs on Rf: the compensation only damps
  // the feedback.
  mH = 1.0 / (1.0 + 2.0 * mR * mG + mG * mG);
}

void StateVariableZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  r = std::clamp(r, 0.0, kMaxResonance);
  mR = 1.0 - (kResonanceScale * r + 0.5);
  UpdateFeedbackDamping();
  UpdateDriveBlend();
}

void StateVariableZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mDrive = std::clamp(d, 0.0, kMaxDrive);
  UpdateDriveBlend();
}

void StateVariableZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  UpdateFeedbackDamping();
}
