#include "Oscillator.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "FilterMath.h"

namespace
{
constexpr double kTwoPi = PlugC::twoPi;
constexpr double kPi = PlugC::pi;
constexpr double kSecondsPerMinute = 60.0;
// approxPow interpolates between x^(2^k) and x^(2^(k+1)) for k up to this.
constexpr int kMaxPowerOfTwoStep = 9;

// x mod m in [0, m) for either sign of x (fmod keeps the sign of x). Under strong
// negative FM the sub-sample phases run below 0 and must still read the cycle.
double FlooredMod(double x, double m)
{
  // Phases are nearly always within one period of the range; there x - m is exact
  // (Sterbenz), the same bits fmod would give, at a fraction of its cost.
  if (x >= 0.0 && x < m) return x;
  if (x >= m && x < 2.0 * m) return x - m;
  double r = std::fmod(x, m);
  if (r < 0.0)
  {
    r += m;
    // A tiny negative remainder rounds up to m itself, which is 0 of the next cycle.
    if (r >= m) r = 0.0;
  }
  return r;
}

double SnapToZero(double v)
{
  return (v > -Oscillator::kZeroSnap && v < Oscillator::kZeroSnap) ? 0.0 : v;
}
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
}

void Oscillator::RestartPhase()
{
  mPhase = FlooredMod(mPhaseOffset, mPhasePeriod);
}

void Oscillator::StartDeclick(int length)
{
  if (length <= 0)
  {
    CancelDeclick();
    return;
  }
  mDeclickActive = true;
  mDeclickCounter = 1;
  mDeclickLength = length;
  mDeclickStep = 1.0 / length;
}

void Oscillator::CancelDeclick()
{
  mDeclickActive = false;
  mDeclickStep = 1.0;
}

void Oscillator::ClearOversamplingHistory()
{
  std::fill(std::begin(mBesselHistory), std::end(mBesselHistory), 0.0);
}

double Oscillator::approxPow(double x, double p)
{
  const bool inverted = p < 1.0;
  if (inverted)
  {
    p = 1.0 / p;
    x = 1.0 - x;
  }
  double result = x;
  if (p > 1.0)
  {
    int k = 0;
    double lowPower = 1.0;  // 2^k
    while (k < kMaxPowerOfTwoStep && p > 2.0 * lowPower)
    {
      lowPower *= 2.0;
      ++k;
    }
    double lo = x;
    for (int i = 0; i < k; ++i) lo *= lo;
    const double hi = lo * lo;
    const double t = (p - lowPower) / lowPower;
    result = hi * t + lo * (1.0 - t);
  }
  return inverted ? 1.0 - result : result;
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

double Oscillator::NextWaveformSample(double x) const
{
  const double phase = FlooredMod(x, kTwoPi);
  double value;
  switch (mWave)
  {
    case kOscSaw:
      value = 1.0 - phase / kPi;
      break;
    case kOscSquare:
      value = phase > kPi ? -1.0 : 1.0;
      break;
    case kOscTri:
      value = std::fabs(phase * 2.0 / kPi - 2.0) - 1.0;
      break;
    case kOscSinc:
    {
      const double y = (phase - kPi) * mSincWidth;
      value = (y != 0.0 ? std::sin(y) / y : 1.0) - kSincOffset / mSincWidth;
      break;
    }
    case kOscPolysaw:
    {
      // Four ramps at 1, 1.5, 0.5 and 2 times the frequency, each over pi; all
      // repeat within one cycle, so the cycle-reduced phase reads them exactly.
      const double m = mPolysawMix;
      const double ramps = FlooredMod(phase, kPi) * m + FlooredMod(1.5 * phase, kPi) * m +
                           FlooredMod(0.5 * phase, kPi) * (1.0 - m) + FlooredMod(2.0 * phase, kPi) * (1.0 - m);
      value = 1.0 - ramps / kPi;
      break;
    }
    case kOscSine:
    default:
      value = std::sin(phase);
      break;
  }
  return SnapToZero(value);
}

double Oscillator::FilterSubSample(double x)
{
  const WDL_BesselFilterCoeffs& design = *mBesselCoeffs;
  // Oldest terms first: the newest output, which the previous sub-sample has only
  // just produced, then waits for one addition instead of eight.
  double older = 0.0;
  for (int j = WDL_BesselFilterCoeffs::kOrder - 1; j > 0; --j)
    older += design.coeffs[j] * mBesselHistory[j];
  const double y = (older + design.gain * x) + design.coeffs[0] * mBesselHistory[0];
  for (int j = kBesselHistoryLength - 1; j > 0; --j)
    mBesselHistory[j] = mBesselHistory[j - 1];
  mBesselHistory[0] = FilterMath::FlushSubnormal(y);
  return mBesselHistory[0];
}

double Oscillator::NextSample(double fm, double N, double subStep)
{
  double theta = BentPhase();

  if (std::isnan(fm)) fm = 0.0;
  fm = std::clamp(fm, -kMaxFm, kMaxFm);
  const double increment = (1.0 + fm) * mPhaseIncrement * mShiverFactor;

  double s = NextWaveformSample(theta);

  // N - 1 sub-samples between this phase and the next, through the lowpass; a
  // factor below 2 has no sub-samples and means off.
  if (N >= 2.0 && mBesselCoeffs)
  {
    const int subSamples = static_cast<int>(N) - 1;
    const double subIncrement = subStep * increment;
    for (int k = 0; k < subSamples; ++k)
    {
      theta += subIncrement;
      s = FilterSubSample(NextWaveformSample(theta));
    }
  }

  // The unbent phase advances; the bend only changes where the cycle is read.
  mPhase = FlooredMod(mPhase + increment, mPhasePeriod);

  if (mDeclickActive)
  {
    const double weight = mDeclickCounter * mDeclickStep;
    s = s * weight + (1.0 - weight) * mLastOutput;
    ++mDeclickCounter;
    if (mDeclickCounter >= mDeclickLength) mDeclickActive = false;
  }

  mLastOutput = s;
  return s;
}
