#pragma once

// One-pole high-pass with a trapezoidal integrator: the DC blockers at filter
// outputs and the transistor ladder's feedback high-pass.
class OnePoleHighPass
{
public:
  // integratorGain: tan(pi f / SR) for a warped cutoff f, or a plain pi-scaled
  // ratio where the design asks for one; must be >= 0.
  void SetIntegratorGain(double integratorGain) { mCoefficient = integratorGain / (1.0 + integratorGain); }
  void Reset() { mState = 0.0; }
  double GetCoefficient() const { return mCoefficient; }
  double GetState() const { return mState; }
  void SetState(double state) { mState = state; }

  double Process(double x)
  {
    const double v = (x - mState) * mCoefficient;
    const double lowPassed = mState + v;
    mState = lowPassed + v;
    return x - lowPassed;
  }

private:
  double mCoefficient = 0.0;
  double mState = 0.0;
};
