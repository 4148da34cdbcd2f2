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

TransistorLadderZDF::TransistorLadderZDF()
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
  mG = FilterMath::WarpedGain(mCutoff);
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

double TransistorLadderZDF::Process(double x)
{
  // The ladder's output as far as it is known before this sample's input.
  double sigma = (mGain3 * mS1 + mGain2 * mS2 + mGain * mS3 + mS4) * mG0;
  if (mPassType == kLP || mPassType == kP || mPassType == kBR)
    sigma = mFeedbackHighPass.Process(sigma);

  const double u = (x * mInputGain - mK * sigma) / (1.0 + mK * mGain4);

  auto stage = [this](double in, double& s) {
    const double v = std::tanh((in - s) * mGain);
    const double y = s + v;
    s = y + v;
    return y;
  };
  const double y1 = stage(u, mS1);
  const double y2 = stage(y1, mS2);
  const double y3 = stage(y2, mS3);
  const double y4 = stage(y3, mS4);

  double mix;
  switch (mPassType)
  {
    case kBP: mix = 4.0 * y2 - 8.0 * y3 + 4.0 * y4; break;
    case kHP: mix = u - 4.0 * y1 + 6.0 * y2 - 4.0 * y3 + y4; break;
    case kP: mix = u; break;
    case kBR: mix = u - 4.0 * y1 + 8.0 * y2 - 8.0 * y3 + 4.0 * y4; break;
    case kLP:
    default: mix = y4; break;
  }
  const double out = 2.0 * std::tanh(0.5 * mix);
  return mDcBlocker.Process(out);
}
