#include "filters/BiquadZK.h"

#include <algorithm>
#include <cmath>

#include "filters/FilterMath.h"

BiquadZK::BiquadZK() : FilterZK(kKind)
{
  mDriveNormaliser = 1.0 / std::asinh(mDriveBlend + 1.0);
  mDcBlocker.SetIntegratorGain(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}

void BiquadZK::Reset()
{
  mZ1 = 0.0;
  mZ2 = 0.0;
  mDcBlocker.Reset();
  mDcBlocker.SetIntegratorGain(FilterMath::WarpedGain(FilterMath::kDcBlockerHz));
}

void BiquadZK::CalcCoeffs()
{
  // A moving cutoff recomputes this every sample: the inline tangent, not the library's.
  const double k = FastMath::Tan(PlugC::pi * std::min(mNormalisedFreq, FilterMath::kMaxWarpFraction));
  const double c = k * k;
  const double d = k / mQ;
  const double e = 1.0 / (1.0 + d + c);
  const double f = 2.0 * (c - 1.0);
  switch (mPassType)
  {
    case kLP:
      mB0 = c * e;
      mB1 = 2.0 * c * e;
      mB2 = c * e;
      break;
    case kBP:
      mB0 = d * e;
      mB1 = 0.0;
      mB2 = -d * e;
      break;
    case kHP:
      mB0 = e;
      mB1 = -2.0 * e;
      mB2 = e;
      break;
    case kP:
    {
      const double v = mPeakFactor * k / mQ;
      mB0 = (1.0 + v + c) * e;
      mB1 = e * f;
      mB2 = (1.0 - v + c) * e;
      break;
    }
    case kBR:
      mB0 = (1.0 + c) * e;
      mB1 = e * f;
      mB2 = (1.0 + c) * e;
      break;
    default:
      return;
  }
  mA1 = e * f;
  mA2 = (1.0 - d + c) * e;
}

void BiquadZK::UpdateDriveBlend()
{
  const double fc = mNormalisedFreq * PlugG::SR;
  const double drive = mDrive;
  double blend;
  if (fc < 800.0)
  {
    const double b = (1.0 + 1.5 * (1.0 - mResonancePow8)) * (0.025 + (fc - 10.0) * (0.7 - 0.025) / 790.0);
    blend = drive * std::min(b, drive);
  }
  else if (fc <= 4000.0)
  {
    blend = drive;
  }
  else if (fc <= 10000.0)
  {
    const double t = (10000.0 - fc) / 6000.0;
    blend = drive * t * t;
  }
  else
  {
    blend = 0.0;
  }
  // A moving cutoff calls this every sample; the asinh is only needed when the
  // blend really changes (it stays 0 without drive).
  if (blend != mDriveBlend)
  {
    mDriveBlend = blend;
    mDriveNormaliser = 1.0 / std::asinh(blend + 1.0);
  }
}

void BiquadZK::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  mNormalisedFreq = FilterMath::LimitCutoff(hz) * PlugG::INV_SR;
  CalcCoeffs();
  UpdateDriveBlend();
}

void BiquadZK::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  r = std::clamp(r, 0.0, kMaxResonance);
  const double r2 = r * r;
  const double r4 = r2 * r2;
  mResonancePow8 = r4 * r4;
  mPeakGainDb = kMaxPeakGainDb * mResonancePow8;
  mPeakFactor = std::pow(10.0, mPeakGainDb * 0.05);
  mQ = std::max(kMinQ, kMaxQ * mResonancePow8);
  CalcCoeffs();
  UpdateDriveBlend();
}

void BiquadZK::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  mDrive = kDriveScale * std::clamp(d, 0.0, kMaxDrive);
  UpdateDriveBlend();
}

void BiquadZK::SetPassType(FilterPassType t)
{
  mPassType = t;
  CalcCoeffs();
}
