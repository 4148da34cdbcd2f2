#include "BendShiver.h"

BendShiver::BendShiver(EngineRandom& random) : PShiverWBase(random, kLowerBound, kUpperBound)
{
  // Every walk starts with the value 1; its exponent matches from the start, so
  // that an unchanged value never leaves a stale exponent behind.
  for (auto& voiceExponents : mExponent)
    for (double& exponent : voiceExponents)
      exponent = ExponentFor(mWalks[0][0].value);
}

double BendShiver::ExponentFor(double v)
{
  if (v > 0.0)
  {
    const double v2 = v * v;
    return 1.0 + kUpwardDepth * v2 * v2;
  }
  if (v < 0.0) return 1.0 + kDownwardDepth * v;
  return 1.0;
}

void BendShiver::UpdateTotalValueWithZeroAmount(int walk, int slot)
{
  PShiverWBase::UpdateTotalValueWithZeroAmount(walk, slot);
  mExponent[walk][slot] = ExponentFor(mWalks[walk][slot].value);
}

void BendShiver::UpdateTotalParamValue(int walk, int slot)
{
  const double previous = mWalks[walk][slot].value;
  PShiverWBase::UpdateTotalParamValue(walk, slot);
  if (mWalks[walk][slot].value != previous) mExponent[walk][slot] = ExponentFor(mWalks[walk][slot].value);
}

void BendShiver::SetVal(int walk, int slot, int voice, int voiceSlot)
{
  Push(voice, voiceSlot, mExponent[walk][slot]);
}

void BendShiver::WalkSteps(int walk, int slot, int samples, bool counts, double* out, int stride, int written)
{
  // The exponent follows each value, as in UpdateTotalParamValue; it is what
  // the voices are pushed.
  Walk& w = mWalks[walk][slot];
  for (int j = 0; j < samples; ++j)
  {
    w.accumulator += w.step;
    UpdateTotalParamValue(walk, slot);
    if (j < written) out[j * stride] = mExponent[walk][slot];
  }
  if (counts) w.counter += samples;
}
