#include "TransistorLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "FilterMath.h"

namespace
{
// Per pass type, how far below self-oscillation full resonance stays.
double FeedbackFactor(FilterPassType t)
{
  switch (t)
  {
    case kLP:
    case kBP: return 0.992;
    case kHP: return 0.98;
    case kP: return 0.985;
    case kBR: return 0.995;
    default: return 1.0;
  }
}
}  // namespace

TransistorLadderZDF::TransistorLadderZDF() : FilterZK(kKind)
{
  SetFreq(mCutoff);
  UpdateHighPassCoefficients();
}

void TransistorLadderZDF::UpdateHighPassCoefficients()
{
  mDcBlocker.SetIntegratorGain(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
  mFeedbackHighPass.SetIntegratorGain(kFeedbackHighPassHz * PlugG::piDivSR);
}

void TransistorLadderZDF::Reset()
{
  mS1 = mS2 = mS3 = mS4 = 0.0;
  mDcBlocker.Reset();
  mFeedbackHighPass.Reset();
  UpdateHighPassCoefficients();
}

void TransistorLadderZDF::UpdateFeedbackGain()
{
  mK = mK0 * FeedbackFactor(mPassType);
}

void TransistorLadderZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  mCutoff = FilterMath::LimitCutoff(hz);
  mG = FilterMath::FastWarpedGain(mCutoff);
  mG0 = 1.0 / (1.0 + mG);
  mGain = mG * mG0;
  mGain2 = mGain * mGain;
  mGain3 = mGain2 * mGain;
  mGain4 = mGain3 * mGain;
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
  mInputGain = (kMaxGain - 1.0) * std::clamp(d, 0.0, kMaxDrive) + 1.0;
}

void TransistorLadderZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  UpdateFeedbackGain();
}
