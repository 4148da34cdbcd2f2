#pragma once

#include "ScalarPolicy.h"
#include "filters/FilterZK.h"
#include "filters/LaneFields.h"
#include "filters/TransistorLadderMath.h"

// Filter model "t ladder": four one-pole stages with tanh saturation inside each
// stage and a resonance feedback solved without delay. Pass types are mixes of
// the stage outputs; a saturating output stage and a DC blocker follow. Its
// maths is TransistorLadderMath's, on one voice.
class TransistorLadderZDF final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltTLadder;
  static constexpr double kMaxResonance = TransistorLadderConstants::kMaxResonance;
  static constexpr double kMaxDrive = TransistorLadderConstants::kMaxDrive;
  static constexpr double kMaxFeedback = TransistorLadderConstants::kMaxFeedback;
  static constexpr double kMaxGain = TransistorLadderConstants::kMaxGain;
  static constexpr double kFeedbackHighPassHz = TransistorLadderConstants::kFeedbackHighPassHz;

  TransistorLadderZDF();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override { return Math::Step(mLane, mPassType, x); }
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped).
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped): input gain 1 at 0, 32 at 1.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

  // What a sample reads and writes, for the engine to run many ladders side
  // by side, and where such a run left it.
  using Lane = TransistorLadderState<double>;
  const Lane& GetLane() const { return mLane; }
  void FinishRun(const LaneFields& run) { run.CopyRunFields(mLane); }

private:
  using Math = TransistorLadderMath<ScalarPolicy>;
  void UpdateFeedbackGain();
  void UpdateHighPassCoefficients();

  // Stays 0 (silence) in the input gain until the owner sets the drive, which
  // it always does before the filter sounds.
  Lane mLane = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 20000.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  double mK0 = 0.0;
};
