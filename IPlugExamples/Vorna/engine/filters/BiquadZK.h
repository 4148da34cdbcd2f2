#pragma once

#include <cmath>

#include "filters/FilterMath.h"
#include "filters/FilterZK.h"
#include "filters/OnePoleHighPass.h"

// Filter model "simple": second-order filter in transposed direct form II with
// tan-prewarped coefficients, a cutoff-dependent saturation of its two states
// ("drive") and a 5 Hz DC blocker at its output.
class BiquadZK final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltSimple;
  static constexpr double kMaxResonance = 1.0;
  static constexpr double kMaxDrive = 1.0;
  static constexpr double kDriveScale = 0.7;
  static constexpr double kMaxQ = 21.0;
  static constexpr double kMinQ = 0.25;
  static constexpr double kMaxPeakGainDb = 18.0;

  BiquadZK();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override;
  // Cutoff or centre in Hz, kept in [1, Nyquist]; callers normally pass
  // [10, PlugG::FLT_F_MAX]. Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped): Q = max(0.25, 21 r^8), peak boost 18 r^8 dB.
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped).
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

  void CalcCoeffs();

  // What a sample reads and writes, for the engine to run many biquads side by
  // side.
  // A cutoff that moves every sample also needs what SetFreq computes the
  // coefficients from: the normalised cutoff, Q and the peak's gain factor.
  struct Lane
  {
    double b0, b1, b2, a1, a2, z1, z2, blockerCoefficient, blockerState;
    double normalisedFreq, q, peakFactor;
  };
  bool IsDriven() const { return mDrive > 0.0; }
  Lane GetLane() const
  {
    return {mB0, mB1, mB2, mA1, mA2, mZ1, mZ2, mDcBlocker.GetCoefficient(), mDcBlocker.GetState(),
            mNormalisedFreq, mQ, mPeakFactor};
  }
  void SetStates(double z1, double z2, double blockerState)
  {
    mZ1 = z1;
    mZ2 = z2;
    mDcBlocker.SetState(blockerState);
  }
  // The drive's saturation of the states: its amount, the blend and
  // normaliser the cutoff sets, and the resonance's eighth power they read.
  struct DriveLane
  {
    double drive, blend, normaliser, resonancePow8;
  };
  DriveLane GetDriveLane() const { return {mDrive, mDriveBlend, mDriveNormaliser, mResonancePow8}; }
  // Where a run of samples whose cutoff moved left the drive blend.
  void SetMovedDriveBlend(double blend, double normaliser)
  {
    mDriveBlend = blend;
    mDriveNormaliser = normaliser;
  }
  // Where a run of samples whose cutoff moved left the coefficients.
  void SetMovedCoefficients(double b0, double b1, double b2, double a1, double a2, double normalisedFreq)
  {
    mB0 = b0;
    mB1 = b1;
    mB2 = b2;
    mA1 = a1;
    mA2 = a2;
    mNormalisedFreq = normalisedFreq;
  }

private:
  void UpdateDriveBlend();

  // What every sample reads comes first.
  double mB0 = 1.0;
  double mB1 = 0.0;
  double mB2 = 0.0;
  double mA1 = 0.0;
  double mA2 = 0.0;
  double mZ1 = 0.0;
  double mZ2 = 0.0;
  double mDrive = 0.0;
  OnePoleHighPass mDcBlocker;
  double mDriveBlend = 0.0;
  double mDriveNormaliser = 0.0;
  double mNormalisedFreq = 0.4;
  double mQ = 0.707;
  double mPeakGainDb = 0.0;
  double mPeakFactor = 1.0;  // 10^(mPeakGainDb / 20), the peak's gain as a factor
  double mResonancePow8 = 0.707;
};

inline double BiquadZK::Process(double x)
{
  const double y = FilterMath::FlushSubnormal(mB0 * x + mZ1);
  mZ1 = mB1 * x + mZ2 - mA1 * y;
  mZ2 = mB2 * x - mA2 * y;

  if (mDrive > 0.0)
  {
    const double blend = mDriveBlend;
    const double m = 1.0 + blend;
    const double n = mDriveNormaliser;
    mZ1 = (1.0 - blend) * mZ1 + blend * n * FilterMath::SoftSaturate(m * mZ1);
    const double w = -mZ2;
    mZ2 = -((1.0 - blend) * w + blend * n * FilterMath::SoftSaturate(m * w));
  }

  return mDcBlocker.Process(y);
}
