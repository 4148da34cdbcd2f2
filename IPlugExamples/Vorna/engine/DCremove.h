#pragma once

#include "ScalarPolicy.h"
#include "VoiceStageMath.h"
#include "globals.h"

#include <cmath>

// One-pole DC blocker for an oscillator's signal. Over silence it fades itself
// out (its weight m decays per sample), so that a voice that goes quiet does not
// leave the blocker's slowly decaying offset behind.
class DCremove
{
public:
  static constexpr double kInitialCutoff = 10.0;  // Hz
  static constexpr double kVoiceCutoff = 0.7;     // Hz, what the voices use
  static constexpr double kSilence = DcRemoverConstants::kSilence;
  static constexpr double kFadeOutFactor = DcRemoverConstants::kFadeOutFactor;

  DCremove() { SetCutoff(kInitialCutoff); }

  // Cutoff in Hz, well below the sample rate.
  void SetCutoff(double hz)
  {
    mCutoff = hz;
    UpdateCoefficient();
  }
  // Recomputes the coefficient after a sample-rate change.
  void UpdateCoefficient() { mA = 1.0 - mCutoff * PlugG::twoPiDivSR; }

  void Reset()
  {
    mX1 = 0.0;
    mY1 = 0.0;
    mWeight = 1.0;
  }

  double Process(double x) { return VoiceStageMath<ScalarPolicy>::RemoveDc(x, mA, mX1, mY1, mWeight); }

  double GetCutoff() const { return mCutoff; }
  double GetCoefficient() const { return mA; }
  double GetWeight() const { return mWeight; }
  double GetLastInput() const { return mX1; }
  double GetLastOutput() const { return mY1; }
  // Where a run of samples computed elsewhere left the memory.
  void SetMemory(double x1, double y1, double weight)
  {
    mX1 = x1;
    mY1 = y1;
    mWeight = weight;
  }

private:
  double mX1 = 0.0;
  double mY1 = 0.0;
  double mA = 1.0;
  double mCutoff = kInitialCutoff;
  double mWeight = 1.0;
};
