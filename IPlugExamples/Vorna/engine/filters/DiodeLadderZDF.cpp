#include "filters/DiodeLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"
#include "filters/OnePoleHighPass.h"

DiodeLadderZDF::DiodeLadderZDF() : FilterZK(kKind)
{
  mLane.feedbackNormaliser = 1.0 / std::asinh(mLane.inputGain);
  SetFreq(mLane.cutoff);
  UpdateOutputGains();
  mLane.blockerCoefficient = OnePoleHighPass::CoefficientOf(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}

void DiodeLadderZDF::Reset()
{
  mLane.s1 = mLane.s2 = mLane.s3 = mLane.s4 = 0.0;
  mLane.blockerState = 0.0;
  mLane.blockerCoefficient = OnePoleHighPass::CoefficientOf(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}

void DiodeLadderZDF::UpdateFeedbackGain()
{
  Math::SetFeedback(mLane, true, Math::FeedbackOf(FilterMath::CurrentRange(), mPassType, mLane.cutoff, mLane.k0));
}

void DiodeLadderZDF::UpdateOutputGains()
{
  using namespace DiodeLadderConstants;
  mLane.resonanceSetting = mLane.k0 / kResonanceScale;
  mLane.lowPassGain =
    1.0 + kResonanceMakeUp * mLane.resonanceSetting * (1.0 - kDriveMakeUpShare * mLane.inputGain / kMaxInputGain);
}

void DiodeLadderZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  Math::Retune(mLane, FilterMath::CurrentRange(), mPassType, true, hz);
}

void DiodeLadderZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  mLane.k0 = kResonanceScale * std::clamp(r, 0.0, kMaxResonance);
  UpdateFeedbackGain();
  UpdateOutputGains();
}

void DiodeLadderZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mLane.inputGain = kDriveScale * std::clamp(d, 0.0, kMaxDrive) + 1.0;
  mLane.feedbackNormaliser = 1.0 / std::asinh(mLane.inputGain);
  mLane.drivenK = mLane.inputGain * mLane.k;
  UpdateOutputGains();
}

void DiodeLadderZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  Math::SetStages(mLane, true, Math::StagesOf(mLane.g, mLane.onePlusG, mLane.gain));
  UpdateFeedbackGain();
}
