#pragma once

#include <cmath>

#include "FilterMath.h"
#include "FilterZK.h"
#include "OnePoleHighPass.h"

// Filter model "t ladder": four one-pole stages with tanh saturation inside each
// stage and a resonance feedback solved without delay. Pass types are mixes of
// the stage outputs; a saturating output stage and a DC blocker follow.
class TransistorLadderZDF final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltTLadder;
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
  [[gnu::always_inline]] double Process(double x) override;
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped).
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped): input gain 1 at 0, 32 at 1.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

  // What a sample reads and writes, for the engine to run many ladders side
  // by side, with what a moving cutoff recomputes.
  struct Lane
  {
    double s1, s2, s3, s4, cutoff, g, g0, gain, gain2, gain3, gain4, feedback, inputGain;
    double highPassCoefficient, highPassState, blockerCoefficient, blockerState;
  };
  Lane GetLane() const
  {
    return {mS1,    mS2,    mS3,    mS4, mCutoff, mG, mG0, mGain, mGain2, mGain3, mGain4, mK, mInputGain,
            mFeedbackHighPass.GetCoefficient(), mFeedbackHighPass.GetState(), mDcBlocker.GetCoefficient(),
            mDcBlocker.GetState()};
  }
  // Where a run of samples computed elsewhere left the ladder: its states and
  // what its cutoff computed (the same values where the cutoff stood still).
  void FinishRun(const Lane& l)
  {
    mS1 = l.s1;
    mS2 = l.s2;
    mS3 = l.s3;
    mS4 = l.s4;
    mFeedbackHighPass.SetState(l.highPassState);
    mDcBlocker.SetState(l.blockerState);
    mCutoff = l.cutoff;
    mG = l.g;
    mG0 = l.g0;
    mGain = l.gain;
    mGain2 = l.gain2;
    mGain3 = l.gain3;
    mGain4 = l.gain4;
  }

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

inline double TransistorLadderZDF::Process(double x)
{
  // The ladder's output as far as it is known before this sample's input.
  double sigma = (mGain3 * mS1 + mGain2 * mS2 + mGain * mS3 + mS4) * mG0;
  if (mPassType == kLP || mPassType == kP || mPassType == kBR)
    sigma = mFeedbackHighPass.Process(sigma);

  const double u = (x * mInputGain - mK * sigma) / (1.0 + mK * mGain4);

  auto stage = [this](double in, double& s) {
    const double v = FastMath::Tanh((in - s) * mGain);
    const double y = s + v;
    s = y + v;
    return y;
  };
  const double y1 = stage(u, mS1);
  const double y2 = stage(y1, mS2);
  const double y3 = stage(y2, mS3);
  const double y4 = stage(y3, mS4);

  double mix;
  switch (mPassType)
  {
    case kBP: mix = 4.0 * y2 - 8.0 * y3 + 4.0 * y4; break;
    case kHP: mix = u - 4.0 * y1 + 6.0 * y2 - 4.0 * y3 + y4; break;
    case kP: mix = u; break;
    case kBR: mix = u - 4.0 * y1 + 8.0 * y2 - 8.0 * y3 + 4.0 * y4; break;
    case kLP:
    default: mix = y4; break;
  }
  const double out = 2.0 * FastMath::Tanh(0.5 * mix);
  return mDcBlocker.Process(out);
}
