#pragma once

#include "ScalarPolicy.h"
#include "filters/CutoffMath.h"

// One-pole high-pass with a trapezoidal integrator: the DC blockers at filter
// outputs and the transistor ladder's feedback high-pass. Its step is
// HighPassStep, which the models' own steps call on their fields.
class OnePoleHighPass
{
public:
  // integratorGain: tan(pi f / SR) for a warped cutoff f, or a plain pi-scaled
  // ratio where the design asks for one; must be >= 0.
  static double CoefficientOf(double integratorGain) { return integratorGain / (1.0 + integratorGain); }
  void SetIntegratorGain(double integratorGain) { mCoefficient = CoefficientOf(integratorGain); }
  void Reset() { mState = 0.0; }
  double GetCoefficient() const { return mCoefficient; }
  double GetState() const { return mState; }
  void SetState(double state) { mState = state; }

  double Process(double x) { return HighPassStep<ScalarPolicy>(x, mCoefficient, mState); }

private:
  double mCoefficient = 0.0;
  double mState = 0.0;
};
