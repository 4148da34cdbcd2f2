#include "filters/BiquadZK.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"
#include "filters/OnePoleHighPass.h"

namespace
{
double BlockerCoefficient()
{
  return OnePoleHighPass::CoefficientOf(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}
}  // namespace

BiquadZK::BiquadZK() : FilterZK(kKind)
{
  mLane.driveNormaliser = 1.0 / std::asinh(mLane.driveBlend + 1.0);
  mLane.blockerCoefficient = BlockerCoefficient();
}

void BiquadZK::Reset()
{
  mLane.z1 = 0.0;
  mLane.z2 = 0.0;
  mLane.blockerState = 0.0;
  mLane.blockerCoefficient = BlockerCoefficient();
}

void BiquadZK::CalcCoeffs()
{
  // Another number leaves the coefficients as they are.
  if (mPassType < kLP || mPassType > kBR) return;
  Math::SetCoefficients(mLane, true,
                        Math::CoefficientsOf(mPassType, mLane.normalisedFreq, mLane.q, mLane.peakFactor));
}

void BiquadZK::UpdateDriveBlend()
{
  Math::UpdateDriveBlend(mLane, FilterMath::CurrentRange(), true);
}

void BiquadZK::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  mLane.normalisedFreq = FilterMath::LimitCutoff(hz) * PlugG::INV_SR;
  CalcCoeffs();
  UpdateDriveBlend();
}

void BiquadZK::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  Math::SetResonance(mLane, r, mPeakGainDb);
  CalcCoeffs();
  UpdateDriveBlend();
}

void BiquadZK::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mLane.drive = kDriveScale * std::clamp(d, 0.0, kMaxDrive);
  UpdateDriveBlend();
}

void BiquadZK::SetPassType(FilterPassType t)
{
  mPassType = t;
  CalcCoeffs();
}
