#pragma once

#include <cmath>

// Follows the level of a signal: a one-pole smoother of |x| with separate
// rising and falling times. Its output (0.6 of the level) is an external FM
// source ("fm1 aux env", "fm2 aux env").
class EnvelopeDetector
{
public:
  // A time constant is the time the level needs to come within 1 % of a step.
  static constexpr double kSettleFraction = 0.01;
  static constexpr double kOutputScale = 0.6;

  // Rise and fall times in seconds (> 0) at sampleRate Hz (> 0).
  void SetTimes(double attackSeconds, double releaseSeconds, double sampleRate)
  {
    mAttack = Coefficient(attackSeconds, sampleRate);
    mRelease = Coefficient(releaseSeconds, sampleRate);
  }

  // x is one input sample; returns the scaled level.
  double Process(double x)
  {
    const double magnitude = std::fabs(x);
    const double c = magnitude > mLevel ? mAttack : mRelease;
    mLevel = (mLevel - magnitude) * c + magnitude;
    return kOutputScale * mLevel;
  }

  void Reset() { mLevel = 0.0; }

  double GetLevel() const { return mLevel; }
  double GetAttackCoefficient() const { return mAttack; }
  double GetReleaseCoefficient() const { return mRelease; }

private:
  static double Coefficient(double seconds, double sampleRate)
  {
    return std::pow(kSettleFraction, 1.0 / (sampleRate * seconds));
  }

  double mLevel = 0.0;
  double mAttack = 0.0;
  double mRelease = 0.0;
};
