#include "filters/StateVariableZDF.h"

#include <cmath>

#include "filters/FilterMath.h"

StateVariableZDF::StateVariableZDF() : FilterZK(kKind)
{
  mLane = Math::Initial(FilterMath::CurrentRange(), mPassType, mLane.cutoff);
}

void StateVariableZDF::Reset()
{
  mLane.s1 = 0.0;
  mLane.s2 = 0.0;
}

void StateVariableZDF::SetFreq(double hz)
{
  if (!std::isfinite(hz))
    return;
  Math::Retune(mLane, FilterMath::CurrentRange(), mPassType, true, hz);
}

void StateVariableZDF::SetResonance(double r)
{
  if (!std::isfinite(r))
    return;
  Math::SetResonance(mLane, FilterMath::CurrentRange(), mPassType, r);
}

void StateVariableZDF::SetDrive(double d)
{
  if (!std::isfinite(d))
    return;
  Math::SetDrive(mLane, d);
}

void StateVariableZDF::SetPassType(FilterPassType t)
{
  mPassType = t;
  Math::SetPassType(mLane, FilterMath::CurrentRange(), mPassType);
}
