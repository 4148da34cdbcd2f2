#include "DiodeLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "FilterMath.h"

using FilterMath::SoftSaturate;

DiodeLadderZDF::DiodeLadderZDF() : FilterZK(kKind)
{
  mFeedbackNormaliser = 1.0 / std::asinh(mInputGain);
  SetFreq(mCutoff);
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
}

void DiodeLadderZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  mCutoff = FilterMath::LimitCutoff(hz);
  const double g = std::sqrt(2.0) * FilterMath::WarpedGain(mCutoff);
  mG = g < kMaxStageGain ? g : kMaxStageGain;  // NaN falls to the cap as well
  mGain = mG / (1.0 + mG);
  UpdateStageCoefficients();
  UpdateFeedbackGain();
}

void DiodeLadderZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  mK0 = kResonanceScale * std::clamp(r, 0.0, kMaxResonance);
  UpdateFeedbackGain();
}

void DiodeLadderZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mInputGain = kDriveScale * std::clamp(d, 0.0, kMaxDrive) + 1.0;
  mFeedbackNormaliser = 1.0 / std::asinh(mInputGain);
}

void DiodeLadderZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  UpdateStageCoefficients();
  UpdateFeedbackGain();
}
