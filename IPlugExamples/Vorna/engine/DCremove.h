#pragma once

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
  static constexpr double kSilence = 1e-10;       // |x| at or below this counts as silence
  static constexpr double kFadeOutFactor = 0.999; // weight kept per silent sample

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

  double Process(double x)
  {
    mWeight = std::fabs(x) > kSilence ? 1.0 : mWeight * kFadeOutFactor;
    const double y = (1.0 - mWeight) * x + mWeight * (mA * mY1 + x - mX1);
    mX1 = x;
    mY1 = y;
    return y;
  }

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
