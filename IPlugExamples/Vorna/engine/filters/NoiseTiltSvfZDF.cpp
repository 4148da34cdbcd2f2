#include "filters/NoiseTiltSvfZDF.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"

NoiseTiltSvfZDF::NoiseTiltSvfZDF()
{
  UpdateCoefficients();
}

void NoiseTiltSvfZDF::SetColor(double color)
{
  if (!std::isfinite(color))
    return;
  mColor = std::clamp(color, -1.0, 1.0);
  UpdateCoefficients();
}

void NoiseTiltSvfZDF::UpdateCoefficients()
{
  const double c = mColor;
  const double cutoff = c < 0.0 ? 2000.0 + 1900.0 * c : 2000.0 + 18000.0 * c * c;
  mG = FilterMath::WarpedGain(cutoff);
  mH = 1.0 / (2.0 * kDamping * mG + 1.0 + mG * mG);
}

void NoiseTiltSvfZDF::Reset()
{
  mS1Left = mS1Right = mS2Left = mS2Right = 0.0;
}

double NoiseTiltSvfZDF::ProcessChannel(double x, double& s1, double& s2) const
{
  const double hp = (x - s2 - (2.0 * kDamping + mG) * s1) * mH;
  const double bp = s1 + mG * hp;
  s1 = mG * hp + bp;
  const double lp = s2 + mG * bp;
  s2 = mG * bp + lp;

  const double c = mColor;
  const double amount = std::fabs(c);
  const double tilted = c < 0.0 ? 1.8 * lp : (1.0 + c * c) * hp;
  const double dry = (1.0 - amount) * (1.0 - amount);
  return FilterMath::FlushSubnormal(2.0 * amount * tilted + dry * x);
}

void NoiseTiltSvfZDF::Process(double* pair)
{
  pair[0] = ProcessChannel(pair[0], mS1Left, mS2Left);
  pair[1] = ProcessChannel(pair[1], mS1Right, mS2Right);
}
