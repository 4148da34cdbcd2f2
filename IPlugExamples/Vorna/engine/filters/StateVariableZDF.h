#pragma once

#include <cmath>

#include "filters/FilterMath.h"
#include "filters/FilterZK.h"

// Filter model "reson": zero-delay-feedback state-variable filter with
// trapezoidal integrators. The band-pass integrator is always soft-saturated;
// with drive above 0 both integrators are saturated further.
class StateVariableZDF final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltReson;
  // Integrator gain slightly above 1 so the saturating band-pass state keeps a
  // little life at high resonance.
  static constexpr double kBandPassStateGain = 1.006;
  static constexpr double kResonanceScale = 0.499999;
  static constexpr double kMaxResonance = 1.0;
  static constexpr double kMaxDrive = 1.0;

  StateVariableZDF();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override;
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped): damping 0.5 at 0, almost none at 1.
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped); 0 switches the extra saturation off.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

  // What a sample reads and writes, for the engine to run many filters side by
  // side, with what a moving cutoff recomputes and the settings it reads
  // (q: the resonance's power that the drive blend reads).
  struct Lane
  {
    double s1, s2, cutoff, g, h, r, rf, drive, driveBlend, q;
  };
  Lane GetLane() const
  {
    return {mS1, mS2, mCutoff, mG, mH, mR, mRf, mDrive, mDriveBlend, mDrive > 0.0 ? DriveResonancePower() : 0.0};
  }
  // Where a run of samples computed elsewhere left the filter: its states and
  // what its cutoff computed (the same values where the cutoff stood still).
  void FinishRun(const Lane& l)
  {
    mS1 = l.s1;
    mS2 = l.s2;
    mCutoff = l.cutoff;
    mG = l.g;
    mH = l.h;
    mRf = l.rf;
    mDriveBlend = l.driveBlend;
  }

private:
  // The resonance setting recovered from the damping, to the power 1.5.
  double DriveResonancePower() const;
  // Extra damping of the feedback loop that keeps high cutoffs stable.
  double Compensation() const;
  void UpdateFeedbackDamping();
  void UpdateDriveBlend();

  double mS1 = 0.0;  // band-pass integrator state
  double mS2 = 0.0;  // low-pass integrator state
  double mCutoff = 20000.0;
  double mG = 0.0;
  double mH = 0.0;
  double mR = 1.0;
  double mRf = 1.0;
  double mDrive = 0.0;
  double mDriveBlend = 0.0;
};

inline double StateVariableZDF::Process(double x)
{
  const double hp = (x - mS2 - (2.0 * mRf + mG) * mS1) * mH;
  const double bp = mS1 + mG * hp;
  mS1 = kBandPassStateGain * FastMath::Asinh(mG * hp + bp);
  const double lp = mS2 + mG * bp;
  mS2 = mG * bp + lp;

  if (mDrive > 0.0)
  {
    const double m = 1.0 + mDriveBlend;
    mS1 = (1.0 - mDriveBlend) * mS1 + mDriveBlend * FilterMath::SoftSaturate(m * mS1);
    mS2 = (1.0 - mDriveBlend) * mS2 + mDriveBlend * FilterMath::SoftSaturate(m * mS2);
  }

  switch (mPassType)
  {
    case kBP: return bp;
    case kHP: return hp;
    case kP: return lp - hp;
    case kBR: return x - 2.0 * mRf * bp;
    case kLP:
    default: return lp;
  }
}
