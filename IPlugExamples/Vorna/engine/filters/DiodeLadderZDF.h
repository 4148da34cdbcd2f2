#pragma once

#include <cmath>

#include "filters/FilterMath.h"
#include "filters/FilterZK.h"
#include "filters/OnePoleHighPass.h"
#include "globals.h"

// Filter model "moog": four coupled one-pole stages (each stage also sees half of
// the next stage's output), solved in closed form per sample, with a saturated
// resonance feedback, saturated stage states, pass types mixed from the stage
// outputs, a resonance-dependent lowpass gain and a DC blocker.
class DiodeLadderZDF final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltMoog;
  static constexpr double kMaxResonance = 1.0;
  static constexpr double kMaxDrive = 1.0;
  static constexpr double kResonanceScale = 17.0;
  static constexpr double kDriveScale = 31.0;
  // Cap of the stage gain: above it the stage coefficients stop following the cutoff.
  static constexpr double kMaxStageGain = PlugC::twoPi;

  DiodeLadderZDF();

  using FilterZK::Process;
  void Reset() override;
  double Process(double x) override { return ProcessLP(x); }
  // Handles every pass type.
  [[gnu::always_inline]] double ProcessLP(double x);
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped).
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped): raises the feedback's saturation and lowers the
  // resonance part of the lowpass gain.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

  // What a sample reads and writes, for the engine to run many ladders side
  // by side, with what a moving cutoff recomputes and the settings it reads.
  struct Lane
  {
    double s1, s2, s3, s4, cutoff, g, onePlusG, invG, invOnePlusG, gain, d1, e1, a1, b1, d1e1, d1e1a1;
    double k0, k, drivenK, invDenominator, inputGain, feedbackNormaliser, resonanceSetting, lowPassGain;
    double blockerCoefficient, blockerState;
  };
  Lane GetLane() const
  {
    return {mS1, mS2, mS3, mS4, mCutoff, mG, mOnePlusG, mInvG, mInvOnePlusG, mGain, mD1, mE1, mA1, mB1, mD1E1,
            mD1E1A1, mK0, mK, mDrivenK, mInvZeroDelayDenominator, mInputGain, mFeedbackNormaliser,
            mResonanceSetting, mLowPassGain, mDcBlocker.GetCoefficient(), mDcBlocker.GetState()};
  }
  // Where a run of samples computed elsewhere left the ladder: its states and
  // what its cutoff computed (the same values where the cutoff stood still).
  void FinishRun(const Lane& l)
  {
    mS1 = l.s1;
    mS2 = l.s2;
    mS3 = l.s3;
    mS4 = l.s4;
    mDcBlocker.SetState(l.blockerState);
    mCutoff = l.cutoff;
    mG = l.g;
    mOnePlusG = l.onePlusG;
    mInvG = l.invG;
    mInvOnePlusG = l.invOnePlusG;
    mGain = l.gain;
    mD1 = l.d1;
    mE1 = l.e1;
    mA1 = l.a1;
    mB1 = l.b1;
    mD1E1 = l.d1e1;
    mD1E1A1 = l.d1e1a1;
    mK = l.k;
    mDrivenK = l.drivenK;
    mInvZeroDelayDenominator = l.invDenominator;
  }

private:
  void UpdateStageCoefficients();
  void UpdateFeedbackGain();
  void UpdateOutputGains();

  // Every product and sum below is formed exactly as the per-sample formulas would
  // form it, once per change of its inputs instead of once per sample.
  double mK0 = 0.0;
  double mK = 0.0;
  double mS1 = 0.0;
  double mS2 = 0.0;
  double mS3 = 0.0;
  double mS4 = 0.0;
  double mCutoff = 20000.0;
  double mG = 0.0;
  double mOnePlusG = 1.0;
  double mInvG = 0.0;          // 1 / g
  double mInvOnePlusG = 1.0;   // 1 / (1 + g)
  double mGain = 0.0;  // G = g / (1 + g)
  double mD1 = 0.0;
  double mE1 = 0.0;
  double mA1 = 0.0;
  double mB1 = 0.0;
  double mD1E1 = 0.0;                 // D1 E1
  double mD1E1A1 = 0.0;               // D1 E1 A1
  double mDrivenK = 0.0;              // r k
  double mInvZeroDelayDenominator = 1.0;  // 1 / (1 + k B1 A1 E1 D1)
  double mInputGain = 1.0;
  double mFeedbackNormaliser = 0.0;
  double mResonanceSetting = 0.0;  // k0 / 17
  double mLowPassGain = 1.0;       // 1 + 5 L (1 - 0.3 r / 32), after the fixed 1.5
  OnePoleHighPass mDcBlocker;
};

inline double DiodeLadderZDF::ProcessLP(double x)
{
  // What each stage would output from its state alone, built from the last stage up.
  // Quotients by g, 1 + g and the zero-delay denominator are products with their
  // reciprocals, formed when the cutoff moves: a division's latency less on the
  // path of every sample, an ulp or so of difference.
  const double t4 = mS4 * mInvOnePlusG;
  const double p4 = mE1 * (2.0 * mS3 * mInvG + 2.0 * t4);
  const double p3 = mA1 * (2.0 * mS2 * mInvG + p4);
  const double p2 = mB1 * (mS1 * mInvG + p3);

  const double sigma = mD1E1A1 * p2 + mD1E1 * p3 + mD1 * p4 + t4;
  const double feedback = FilterMath::SoftSaturate(mDrivenK * sigma) * mFeedbackNormaliser;
  const double u = (x - feedback) * mInvZeroDelayDenominator;

  const double v2 = p2 + mB1 * u;
  const double v3 = p3 + mA1 * v2;
  const double v4 = p4 + mE1 * v3;
  const double v5 = t4 + mD1 * v4;

  double v = (v3 + u - mS1) * mGain;
  const double y1 = mS1 + v;
  mS1 = FilterMath::SoftSaturate(v + y1);

  v = (0.5 * (v4 + y1) - mS2) * mGain;
  const double y2 = mS2 + v;
  mS2 = FilterMath::SoftSaturate(v + y2);

  v = (0.5 * (v5 + y2) - mS3) * mGain;
  const double y3 = mS3 + v;
  mS3 = FilterMath::SoftSaturate(v + y3);

  v = (0.5 * y3 - mS4) * mGain;
  const double y4 = mS4 + v;
  mS4 = FilterMath::SoftSaturate(v + y4);

  const double m = u - 4.0 * (y1 - y2);
  double mix;
  switch (mPassType)
  {
    case kBP: mix = (6.0 * y4 + y1 - 2.0 * y2 - 2.0 * y3) * 2.0 * (2.0 - mResonanceSetting); break;
    case kHP: mix = 2.0 * (m + 6.0 * (y2 - y3) - 4.0 * (y3 - y4) + y4); break;
    case kP: mix = 2.0 * u; break;
    case kBR: mix = 2.0 * (m + 8.0 * (y2 - y3) - 8.0 * (y3 - y4) + 4.0 * y4); break;
    case kLP:
    default: mix = y4 * 1.5 * mLowPassGain; break;
  }
  return mDcBlocker.Process(mix);
}
