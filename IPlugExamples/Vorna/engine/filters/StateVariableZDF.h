#pragma once

#include "ScalarPolicy.h"
#include "filters/FilterZK.h"
#include "filters/LaneFields.h"
#include "filters/StateVariableMath.h"

// Filter model "reson": zero-delay-feedback state-variable filter with
// trapezoidal integrators. The band-pass integrator is always soft-saturated;
// with drive above 0 both integrators are saturated further. Its maths is
// StateVariableMath's, on one voice.
class StateVariableZDF final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltReson;
  static constexpr double kBandPassStateGain = StateVariableConstants::kBandPassStateGain;
  static constexpr double kResonanceScale = StateVariableConstants::kResonanceScale;
  static constexpr double kMaxResonance = StateVariableConstants::kMaxResonance;
  static constexpr double kMaxDrive = StateVariableConstants::kMaxDrive;

  StateVariableZDF();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override { return Math::Step(mLane, mPassType, x); }
  // Cutoff in Hz, kept in [1, Nyquist]; callers normally pass [10, PlugG::FLT_F_MAX].
  // Non-finite values are ignored.
  void SetFreq(double hz) override;
  // Resonance in [0, 1] (clamped): damping 0.5 at 0, almost none at 1.
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped); 0 switches the extra saturation off.
  void SetDrive(double d) override;
  void SetPassType(FilterPassType t) override;

  // What a sample reads and writes, for the engine to run many filters side by
  // side, and where such a run left it.
  using Lane = StateVariableState<double>;
  const Lane& GetLane() const { return mLane; }
  void FinishRun(const LaneFields& run) { run.CopyRunFields(mLane); }

private:
  using Math = StateVariableMath<ScalarPolicy>;

  Lane mLane = {0.0, 0.0, 20000.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0, 0.0};
};
