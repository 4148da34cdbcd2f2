#pragma once

#include "ScalarPolicy.h"
#include "filters/BiquadMath.h"
#include "filters/FilterZK.h"
#include "filters/LaneFields.h"

// Filter model "simple": second-order filter in transposed direct form II with
// tan-prewarped coefficients, a cutoff-dependent saturation of its two states
// ("drive") and a 5 Hz DC blocker at its output. Its maths is BiquadMath's, on
// one voice.
class BiquadZK final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltSimple;
  static constexpr double kMaxResonance = BiquadConstants::kMaxResonance;
  static constexpr double kMaxDrive = BiquadConstants::kMaxDrive;
  static constexpr double kDriveScale = BiquadConstants::kDriveScale;
  static constexpr double kMaxQ = BiquadConstants::kMaxQ;
  static constexpr double kMinQ = BiquadConstants::kMinQ;
  static constexpr double kMaxPeakGainDb = BiquadConstants::kMaxPeakGainDb;

  BiquadZK();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override { return Math::Step(mLane, x); }
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
  // side, and where such a run left it.
  using Lane = BiquadState<double>;
  bool IsDriven() const { return mLane.drive > 0.0; }
  const Lane& GetLane() const { return mLane; }
  void FinishRun(const LaneFields& run) { run.CopyRunFields(mLane); }

private:
  using Math = BiquadMath<ScalarPolicy>;
  void UpdateDriveBlend();

  Lane mLane = {0.0, 0.0, 0.0,                 // silent
                1.0, 0.0, 0.0, 0.0, 0.0,       // a wire
                0.4, 0.0, 0.0,                 // f / SR, no drive blend
                0.0, 0.0, 0.707, 1.0, 0.707};  // the blocker, no drive, Q, peak factor, r^8
  double mPeakGainDb = 0.0;
};
