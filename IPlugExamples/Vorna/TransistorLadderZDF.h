#pragma once

#include "FilterZK.h"
#include "OnePoleHighPass.h"

// Filter model "t ladder": four one-pole stages with tanh saturation inside each
// stage and a resonance feedback solved without delay. Pass types are mixes of
// the stage outputs; a saturating output stage and a DC blocker follow.
class TransistorLadderZDF final : public FilterZK
{
public:
  static constexpr double kMaxResonance = 1.0;
  static constexpr double kMaxDrive = 1.0;
  // Feedback gain at full resonance before the pass type's factor; a linear
  // four-pole ladder self-oscillates at 4.
  static constexpr double kMaxFeedback = 4.0;
  static constexpr double kMaxGain = 32.0;
  // Cutoff of the high-pass that keeps DC out of the lowpass-like feedback, as
  // a plain pi-scaled ratio (not tangent-warped).
  static constexpr double kFeedbackHighPassHz = 30.0;

  TransistorLadderZDF();

  using FilterZK::Process;
  void Reset() override;
  double Process(double x) override;
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped).
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped): input gain 1 at 0, 32 at 1.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

private:
  void UpdateFeedbackGain();
  void UpdateHighPassCoefficients();

  double mK0 = 0.0;
  double mK = 0.0;
  double mCutoff = 20000.0;
  double mS1 = 0.0;
  double mS2 = 0.0;
  double mS3 = 0.0;
  double mS4 = 0.0;
  double mG = 0.0;
  double mG0 = 0.0;   // 1 / (1 + g)
  double mGain = 0.0;  // G = g / (1 + g)
  double mGain2 = 0.0;
  double mGain3 = 0.0;
  double mGain4 = 0.0;
  // Stays 0 (silence) until the owner sets the drive, which it always does
  // before the filter sounds.
  double mInputGain = 0.0;
  OnePoleHighPass mDcBlocker;
  OnePoleHighPass mFeedbackHighPass;
};
