#include "Oscillator.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "filters/FilterMath.h"

namespace
{
constexpr double kTwoPi = PlugC::twoPi;
constexpr double kSecondsPerMinute = 60.0;
// approxPow interpolates between x^(2^k) and x^(2^(k+1)) for k up to this.
constexpr int kMaxPowerOfTwoStep = 9;
}  // namespace

Oscillator::Oscillator()
{
  mRateFactor = PlugG::twoPiDivSR;
  UpdateBendParams(kTwoPi);
  UpdatePhaseIncrement();
}

void Oscillator::Reset()
{
  mPhase = mPhaseOffset;
  mPhaseIncrement = mFrequency * mPitchFactor * mRateFactor;
  if (mBendSpanOrigin == kBendSpanBpm)
    UpdateBendParams(mBendWindowSize);
  mPhase = FlooredMod(mPhase, mPhasePeriod);
  mDeclickActive = false;
  UpdatePlain();
  mLastOutput = 0.0;
  ClearOversamplingHistory();
}

void Oscillator::SetPhaseOffset(double cycles)
{
  if (!std::isfinite(cycles)) return;
  const double offset = kTwoPi * cycles;
  // Wrapping both ways keeps the phase inside its period: a raised offset could
  // otherwise push it past the period, where the bend reads outside its window.
  mPhase = FlooredMod(mPhase + offset - mPhaseOffset, mPhasePeriod);
  mPhaseOffset = offset;
}

void Oscillator::UpdateBendParams(double size)
{
  if (!(size > 0.0) || !std::isfinite(size)) return;
  mBendWindowSize = size;
  if (mBendSpanOrigin == kBendSpanBpm)
  {
    // Cycles per beat times the size in beats x 2 pi: the window in radians.
    mBendWindow = mPhaseIncrement * PlugG::SRDivTwoPi * kSecondsPerMinute * PlugG::INV_BPM * size;
    mPhasePeriod = kBpmPhasePeriod;
  }
  else
  {
    mBendWindow = size;
    mPhasePeriod = std::max(kTwoPi, size);
  }
  UpdatePlain();
  // A window of 0 (no increment yet) switches the bend off rather than dividing by 0.
  mInverseBendWindow = (mBendWindow > 0.0 && std::isfinite(mBendWindow)) ? 1.0 / mBendWindow : 0.0;
  mPhase = FlooredMod(mPhase, mPhasePeriod);
}

void Oscillator::SetSincWidth(double w)
{
  if (std::isnan(w)) return;
  mSincWidth = std::clamp(w, kMinSincWidth, kMaxSincWidth);
}

void Oscillator::SetPolysawMix(double m)
{
  if (std::isnan(m)) return;
  mPolysawMix = std::clamp(m, 0.0, 1.0);
}

void Oscillator::SetFrequency(double hz)
{
  mFrequency = hz;
  UpdatePhaseIncrement();
}

void Oscillator::SetPitchFactor(double factor)
{
  mPitchFactor = factor;
  UpdatePhaseIncrement();
}

void Oscillator::SetRateFactor(double factor)
{
  mRateFactor = factor;
  UpdatePhaseIncrement();
}

void Oscillator::UpdatePhaseIncrement()
{
  mPhaseIncrement = mFrequency * mPitchFactor * mRateFactor;
  if (mBendSpanOrigin == kBendSpanBpm)
    UpdateBendParams(mBendWindowSize);
}

void Oscillator::SetBendExponent(double p)
{
  if (std::isnan(p)) return;
  mBendExponent = std::clamp(p, kMinBendExponent, kMaxBendExponent);
  UpdatePlain();
}

void Oscillator::RestartPhase()
{
  mPhase = GetRestartPhase();
}

void Oscillator::StartDeclick(int length)
{
  if (length <= 0)
  {
    CancelDeclick();
    return;
  }
  mDeclickActive = true;
  UpdatePlain();
  mDeclickCounter = 1;
  mDeclickLength = length;
  mDeclickStep = 1.0 / length;
}

void Oscillator::CancelDeclick()
{
  mDeclickActive = false;
  mDeclickStep = 1.0;
  UpdatePlain();
}

void Oscillator::ClearOversamplingHistory()
{
  std::fill(std::begin(mBesselRing), std::end(mBesselRing), 0.0);
  mBesselHead = 0;
}

Oscillator::PowerTerms Oscillator::PowerTermsOf(double p)
{
  PowerTerms terms = {p < 1.0, false, 0, 0.0};
  if (terms.inverted) p = 1.0 / p;
  if (p > 1.0)
  {
    int k = 0;
    double lowPower = 1.0;  // 2^k
    while (k < kMaxPowerOfTwoStep && p > 2.0 * lowPower)
    {
      lowPower *= 2.0;
      ++k;
    }
    terms.raised = true;
    terms.squarings = k;
    terms.blend = (p - lowPower) / lowPower;
  }
  return terms;
}

double Oscillator::approxPow(double x, double p)
{
  const PowerTerms terms = PowerTermsOf(p);
  if (terms.inverted) x = 1.0 - x;
  double result = x;
  if (terms.raised)
  {
    double lo = x;
    for (int i = 0; i < terms.squarings; ++i) lo *= lo;
    const double hi = lo * lo;
    result = hi * terms.blend + lo * (1.0 - terms.blend);
  }
  return terms.inverted ? 1.0 - result : result;
}

double Oscillator::BendShape(double t) const
{
  const double p = mBendExponent;
  if (mBendSymmetry == kBendMiddle)
  {
    if (t < 0.5) return 0.5 * approxPow(2.0 * t, p);
    return 0.5 + 0.5 * (1.0 - approxPow(1.0 - 2.0 * (t - 0.5), p));
  }
  return approxPow(t, p);
}

double Oscillator::BentPhase() const
{
  const double phase = mPhase;
  if (mBendExponent == 1.0 || mInverseBendWindow == 0.0) return phase;
  const double w = mBendWindow;
  const double r = phase * mInverseBendWindow;
  if (mBendSpanOrigin == kBendSpanNote && w >= kTwoPi)
    return BendShape(std::clamp(r, 0.0, 1.0)) * w;
  // The window repeats inside the phase period: bend each repetition alike.
  const double k = std::floor(r);
  const double t = std::clamp((phase - w * k) * mInverseBendWindow, 0.0, 1.0);
  return w * k + BendShape(t) * w;
}
