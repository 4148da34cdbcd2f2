#include "filters/TransistorLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"
#include "filters/OnePoleHighPass.h"

namespace
{
// Per pass type, how far below self-oscillation full resonance stays.
double FeedbackFactor(FilterPassType t)
{
  using namespace TransistorLadderConstants;
  switch (t)
  {
    case kLP: return kLowPassFeedbackFactor;
    case kBP: return kBandPassFeedbackFactor;
    case kHP: return kHighPassFeedbackFactor;
    case kP: return kPeakFeedbackFactor;
    case kBR: return kBandRejectFeedbackFactor;
    default: return 1.0;
  }
}
}  // namespace

TransistorLadderZDF::TransistorLadderZDF() : FilterZK(kKind)
{
  SetFreq(mLane.cutoff);
  UpdateHighPassCoefficients();
}

void TransistorLadderZDF::UpdateHighPassCoefficients()
{
  mLane.blockerCoefficient = OnePoleHighPass::CoefficientOf(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
  mLane.highPassCoefficient = OnePoleHighPass::CoefficientOf(kFeedbackHighPassHz * PlugG::piDivSR);
}

void TransistorLadderZDF::Reset()
{
  mLane.s1 = mLane.s2 = mLane.s3 = mLane.s4 = 0.0;
  mLane.blockerState = 0.0;
  mLane.highPassState = 0.0;
  UpdateHighPassCoefficients();
}

void TransistorLadderZDF::UpdateFeedbackGain()
{
  mLane.feedback = mK0 * FeedbackFactor(mPassType);
}

void TransistorLadderZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  Math::Retune(mLane, FilterMath::CurrentRange(), true, hz);
}

void TransistorLadderZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  mK0 = kMaxFeedback * std::clamp(r, 0.0, kMaxResonance);
  UpdateFeedbackGain();
}

void TransistorLadderZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mLane.inputGain = (kMaxGain - 1.0) * std::clamp(d, 0.0, kMaxDrive) + 1.0;
}

void TransistorLadderZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  UpdateFeedbackGain();
}
