#include "filters/DiodeLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"

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
  // E1, A1 and B1 nest: each divides by a sum holding the one before. Written over
  // common denominators (h = g/2, p = 1 + g), each is a division of its own that
  // runs beside the others instead of after them; every sum below is of positive
  // terms or loses at most a bit: each coefficient is within 5 ulp of its exact value.
  const double h = 0.5 * mG;
  const double p = mOnePlusG;
  const double h2 = h * h;
  const double p2 = p * p;
  const double pSquaredLessH2 = p2 - h2;
  const double pSquaredLessTwoH2 = p2 - 2.0 * h2;
  mD1 = 0.5 * mGain;
  mE1 = h * p / pSquaredLessH2;
  mA1 = h * pSquaredLessH2 / (p * pSquaredLessTwoH2);
  mB1 = mG * p * pSquaredLessTwoH2 / (p2 * pSquaredLessTwoH2 - 2.0 * h2 * pSquaredLessH2);
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
  mInvZeroDelayDenominator = 1.0 / (1.0 + mK * mB1 * mA1 * mE1 * mD1);
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
  mInvG = 1.0 / mG;
  mInvOnePlusG = 1.0 / mOnePlusG;
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
