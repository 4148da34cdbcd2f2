#pragma once

#include <cmath>
#include <limits>

#include "ScalarPolicy.h"
#include "filters/FilterZK.h"
#include "filters/LaneFields.h"
#include "filters/FormantMath.h"

// Filter model "formant": five band-passes in parallel tuned to the formants of
// a vowel. The cutoff moves through the vowels u, o, a, i, e; the resonance
// blends a soprano into a bass voice; the additional parameter shifts every
// formant; drive adds a saturated path with two state-variable filters. The
// pass type is stored and not used. Its maths is FormantMath's, on one voice.
class FormantFltZK final : public FilterZK
{
public:
  static constexpr FilterModel kKind = kFltFormant;
  static constexpr int kNumVowels = FormantConstants::kNumVowels;
  static constexpr int kNumFormants = FormantConstants::kNumFormants;
  using VowelTable = FormantConstants::VowelTable;
  static constexpr const VowelTable& soprano = FormantConstants::kSoprano;
  static constexpr const VowelTable& bass = FormantConstants::kBass;
  static constexpr double kBandResonance = FormantConstants::kBandResonance;
  static constexpr double kMaxGain = FormantConstants::kMaxGain;
  static constexpr double kBandWeight = FormantConstants::kBandWeight;
  static constexpr double kMirrorHz = FormantConstants::kMirrorHz;
  static constexpr double kMinFormantHz = FormantConstants::kMinFormantHz;

  FormantFltZK();

  using FilterZK::Process;
  void Reset() override;
  [[gnu::always_inline]] double Process(double x) override { return Math::Step(mLane, x, true); }
  // Vowel position from a cutoff in Hz: 10 Hz is u, 20000 Hz the end of e.
  // Positions are held inside the table; non-finite values are ignored.
  void SetFreq(double hz) override;
  // Voice blend in [0, 1] (clamped): 0 soprano, 1 bass.
  void SetResonance(double r) override;
  // Drive in [0, 1] (clamped).
  void SetDrive(double d) override;
  // Formant shift in [-1, 1] (clamped): -1 multiplies every formant by 5, 1 divides it by 8.
  void SetAdditionalParam(double p) override;

  void UpdateFrequenciesAndAmps();

  bool IsDriven() const { return mLane.driveGain > 1.0; }
  // What a sample reads and writes, for the engine to run many formant filters
  // side by side, and where such a run left it: the bands, and with drive the
  // state-variable filters (an undriven filter's stand as they were); a cutoff
  // that moved retunes the filter from it, as the run did.
  using Lane = FormantState<double>;
  const Lane& GetLane() const { return mLane; }
  void FinishRun(const LaneFields& run);

private:
  using Math = FormantMath<ScalarPolicy>;
  void Retune();
  // The formants, and the driven path where they lag, brought up to the cutoff.
  void CatchUp();

  // No cutoff was given before the first.
  Lane mLane = {};
  double mVowelPosition = 0.4;
  double mFreqs[kNumFormants] = {};
  // A run that moved the cutoff leaves the bands tuned to it, but not the
  // formants a shift retunes from, nor (where it ran undriven) the driven
  // path's filters, which nothing reads until a setting changes: CatchUp
  // computes them then.
  bool mFormantsLag = false;
  bool mDrivenPathLags = false;
};
