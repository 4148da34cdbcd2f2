#pragma once

#include "ScalarPolicy.h"
#include "filters/DiodeLadderMath.h"
#include "filters/FilterZK.h"
#include "filters/LaneFields.h"

// Filter model "moog": four coupled one-pole stages (each stage also sees half of
// the next stage's output), solved in closed form per sample, with a saturated
// resonance feedback, saturated stage states, pass types mixed from the stage
// outputs, a resonance-dependent lowpass gain and a DC blocker. Its maths is
// DiodeLadderMath's, on one voice.
class DiodeLadderZDF final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltMoog;
  static constexpr double kMaxResonance = DiodeLadderConstants::kMaxResonance;
  static constexpr double kMaxDrive = DiodeLadderConstants::kMaxDrive;
  static constexpr double kResonanceScale = DiodeLadderConstants::kResonanceScale;
  static constexpr double kDriveScale = DiodeLadderConstants::kDriveScale;
  static constexpr double kMaxStageGain = DiodeLadderConstants::kMaxStageGain;

  DiodeLadderZDF();

  using FilterZK::Process;
  void Reset() override;
  double Process(double x) override { return ProcessLP(x); }
  // Handles every pass type.
  [[gnu::always_inline]] double ProcessLP(double x) { return Math::Step(mLane, mPassType, x); }
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
  // by side, and where such a run left it.
  using Lane = DiodeLadderState<double>;
  const Lane& GetLane() const { return mLane; }
  void FinishRun(const LaneFields& run) { run.CopyRunFields(mLane); }

private:
  using Math = DiodeLadderMath<ScalarPolicy>;
  void UpdateFeedbackGain();
  void UpdateOutputGains();

  Lane mLane = {
    0.0, 0.0, 0.0, 0.0, 0.0,            // s1..s4, the DC blocker
    20000.0, 0.0, 1.0, 0.0, 1.0, 0.0,   // cutoff, g, 1 + g, 1 / g, 1 / (1 + g), G
    0.0, 0.0, 0.0, 0.0, 0.0, 0.0,       // D1, E1, A1, B1, D1 E1, D1 E1 A1
    0.0, 0.0, 1.0,                      // k, drivenK, 1 / denominator
    0.0, 1.0, 0.0, 0.0, 1.0,            // k0, input gain, feedback normaliser, L, low-pass gain
    0.0};                               // the DC blocker's coefficient
};
