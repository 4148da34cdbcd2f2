#include "DiodeLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "FilterMath.h"

using FilterMath::SoftSaturate;

DiodeLadderZDF::DiodeLadderZDF() : FilterZK(kKind)
{
  mFeedbackNormaliser = 1.0 / std::asinh(mInputGain);
  SetFreq(mCutoff);
  UpdateOutputGains();
  mDcBlocker.SetIntegratorGain(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}

void DiodeLadderZDF::Reset()
{
  mS1 = mS2 = mS3 = mS4 = 0.0;
  mDcBlocker.Reset();
  mDcBlocker.SetIntegratorGain(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}

void DiodeLadderZDF::UpdateStageCoefficients()
{
  const double g = mG;
  mD1 = 0.5 * mGain;
  mE1 = 0.5 * g / ((1.0 + g) - mD1 * 0.5 * g);
  mA1 = 0.5 * g / ((1.0 + g) - mE1 * 0.5 * g);
  mB1 = g / ((1.0 + g) - mA1 * g);
  mD1E1 = mD1 * mE1;
  mD1E1A1 = mD1E1 * mA1;
}

void DiodeLadderZDF::UpdateFeedbackGain()
{
  const double e = 2.0 * mCutoff * PlugG::INV_SR;
  switch (mPassType)
  {
    case kLP: mK = mK0 * (1.4 - 0.6 * std::sqrt(e)) * (1.0 - 0.14 * e * e); break;
    case kBP:
    case kHP:
    case kP:
    case kBR: mK = mK0 * (1.0 - 0.2 * std::sqrt(e)); break;
    default: mK = mK0; break;
  }
  mDrivenK = mInputGain * mK;
  mZeroDelayDenominator = 1.0 + mK * mB1 * mA1 * mE1 * mD1;
}

void DiodeLadderZDF::UpdateOutputGains()
{
  mResonanceSetting = mK0 / kResonanceScale;
  mLowPassGain = 1.0 + 5.0 * mResonanceSetting * (1.0 - 0.3 * mInputGain / 32.0);
}

void DiodeLadderZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  mCutoff = FilterMath::LimitCutoff(hz);
  const double g = std::sqrt(2.0) * FilterMath::FastWarpedGain(mCutoff);
  mG = g < kMaxStageGain ? g : kMaxStageGain;  // NaN falls to the cap as well
  mOnePlusG = 1.0 + mG;
  mGain = mG / mOnePlusG;
  UpdateStageCoefficients();
  UpdateFeedbackGain();
}

void DiodeLadderZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  mK0 = kResonanceScale * std::clamp(r, 0.0, kMaxResonance);
  UpdateFeedbackGain();
  UpdateOutputGains();
}

void DiodeLadderZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mInputGain = kDriveScale * std::clamp(d, 0.0, kMaxDrive) + 1.0;
  mFeedbackNormaliser = 1.0 / std::asinh(mInputGain);
  mDrivenK = mInputGain * mK;
  UpdateOutputGains();
}

void DiodeLadderZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  UpdateStageCoefficients();
  UpdateFeedbackGain();
}
