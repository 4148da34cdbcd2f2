#pragma once

#include "FilterZK.h"
#include "OnePoleHighPass.h"
#include "globals.h"

// Filter model "moog": four coupled one-pole stages (each stage also sees half of
// the next stage's output), solved in closed form per sample, with a saturated
// resonance feedback, saturated stage states, pass types mixed from the stage
// outputs, a resonance-dependent lowpass gain and a DC blocker.
class DiodeLadderZDF final : public FilterZK
{
public:
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
  double ProcessLP(double x);
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped).
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped): raises the feedback's saturation and lowers the
  // resonance part of the lowpass gain.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

private:
  void UpdateStageCoefficients();
  void UpdateFeedbackGain();

  double mK0 = 0.0;
  double mK = 0.0;
  double mS1 = 0.0;
  double mS2 = 0.0;
  double mS3 = 0.0;
  double mS4 = 0.0;
  double mCutoff = 20000.0;
  double mG = 0.0;
  double mGain = 0.0;  // G = g / (1 + g)
  double mD1 = 0.0;
  double mE1 = 0.0;
  double mA1 = 0.0;
  double mB1 = 0.0;
  double mInputGain = 1.0;
  double mFeedbackNormaliser = 0.0;
  OnePoleHighPass mDcBlocker;
};
