#include "DiodeLadderZDF.h"

#include <algorithm>
#include <cmath>

#include "FilterMath.h"

using FilterMath::SoftSaturate;

DiodeLadderZDF::DiodeLadderZDF()
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

double DiodeLadderZDF::ProcessLP(double x)
{
  const double g = mG;
  const double onePlusG = 1.0 + g;

  // What each stage would output from its state alone, built from the last stage up.
  const double p4 = mE1 * (2.0 * mS3 / g + 2.0 * mS4 / onePlusG);
  const double p3 = mA1 * (2.0 * mS2 / g + p4);
  const double p2 = mB1 * (mS1 / g + p3);
  const double t4 = mS4 / onePlusG;

  const double sigma = mD1 * mE1 * mA1 * p2 + mD1 * mE1 * p3 + mD1 * p4 + t4;
  const double feedback = SoftSaturate(mInputGain * mK * sigma) * mFeedbackNormaliser;
  const double u = (x - feedback) / (1.0 + mK * mB1 * mA1 * mE1 * mD1);

  const double v2 = p2 + mB1 * u;
  const double v3 = p3 + mA1 * v2;
  const double v4 = p4 + mE1 * v3;
  const double v5 = t4 + mD1 * v4;

  double v = (v3 + u - mS1) * mGain;
  const double y1 = mS1 + v;
  mS1 = SoftSaturate(v + y1);

  v = (0.5 * (v4 + y1) - mS2) * mGain;
  const double y2 = mS2 + v;
  mS2 = SoftSaturate(v + y2);

  v = (0.5 * (v5 + y2) - mS3) * mGain;
  const double y3 = mS3 + v;
  mS3 = SoftSaturate(v + y3);

  v = (0.5 * y3 - mS4) * mGain;
  const double y4 = mS4 + v;
  mS4 = SoftSaturate(v + y4);

  const double resonance = mK0 / kResonanceScale;
  const double m = u - 4.0 * (y1 - y2);
  double mix;
  switch (mPassType)
  {
    case kBP: mix = (6.0 * y4 + y1 - 2.0 * y2 - 2.0 * y3) * 2.0 * (2.0 - resonance); break;
    case kHP: mix = 2.0 * (m + 6.0 * (y2 - y3) - 4.0 * (y3 - y4) + y4); break;
    case kP: mix = 2.0 * u; break;
    case kBR: mix = 2.0 * (m + 8.0 * (y2 - y3) - 8.0 * (y3 - y4) + 4.0 * y4); break;
    case kLP:
    default: mix = y4 * 1.5 * (1.0 + 5.0 * resonance * (1.0 - 0.3 * mInputGain / 32.0)); break;
  }
  return mDcBlocker.Process(mix);
}
