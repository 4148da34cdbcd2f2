#pragma once

// The run of one oscillator slot, written once over lanes of doubles: L is
// Sse2 (LanesSse2.h) or Avx2 (LanesAvx2.h). Each step repeats the scalar code's
// operations in their order: the sine and the phase of Oscillator's plain
// path, SoftLimiter, DCremove, BiquadZK without drive with its flush and its
// OnePoleHighPass, EnvelopeGenerator within a stage, and the voice's gain, pan
// and bus terms. Where the scalar code branches, a lane computes both sides and
// keeps the one its own test picks. Internal to each file that includes it.
#include "RunLanes.h"
#include "SineLanesKernel.h"

#include <cfloat>

namespace
{
template <class L>
inline typename L::V Limit(typename L::V x, typename L::V threshold, typename L::V knee)
{
  const typename L::V one = L::Set(1.0);
  const typename L::V over = L::Sub(x, threshold);
  const typename L::V above = L::Add(L::Div(over, L::Add(L::Mul(knee, over), one)), threshold);
  const typename L::V under = L::Add(x, threshold);
  const typename L::V below = L::Sub(L::Div(under, L::Sub(one, L::Mul(knee, under))), threshold);
  const typename L::V negative = L::Xor(threshold, L::Set(-0.0));
  return L::Select(L::Greater(x, threshold), above, L::Select(L::Less(x, negative), below, x));
}

template <class L>
void RenderGroup(RunLanes::Slot& s, int lane, int frames, double* left, double* right)
{
  using V = typename L::V;
  const V period = L::Set(s.period);
  const V zero = L::Set(0.0);
  const V one = L::Set(1.0);
  const V volume = L::Set(s.volume);
  const V dcSilence = L::Set(s.dcSilence);
  const V dcFade = L::Set(s.dcFadeOut);
  const V smallest = L::Set(DBL_MIN);

  V phase = L::Load(s.phase + lane);
  const V step = L::Load(s.step + lane);
  const V threshold = L::Load(s.limiterThreshold + lane);
  const V knee = L::Load(s.limiterKnee + lane);
  const V halfProduct = L::Load(s.halfCarrierProduct + lane);
  const V dcA = L::Load(s.dcA + lane);
  V dcX1 = L::Load(s.dcX1 + lane);
  V dcY1 = L::Load(s.dcY1 + lane);
  V dcWeight = L::Load(s.dcWeight + lane);
  const V b0 = L::Load(s.b0 + lane);
  const V b1 = L::Load(s.b1 + lane);
  const V b2 = L::Load(s.b2 + lane);
  const V a1 = L::Load(s.a1 + lane);
  const V a2 = L::Load(s.a2 + lane);
  V z1 = L::Load(s.z1 + lane);
  V z2 = L::Load(s.z2 + lane);
  const V blockerCoefficient = L::Load(s.blockerCoefficient + lane);
  V blockerState = L::Load(s.blockerState + lane);
  const V attack = L::LoadMask(s.envAttack + lane);
  const V multiplying = L::LoadMask(s.envMultiplying + lane);
  V level = L::Load(s.envLevel + lane);
  const V multiplier = L::Load(s.envMultiplier + lane);
  V normalised = L::Load(s.envNormalisedLevel + lane);
  V envelope = L::Load(s.envOutput + lane);
  const V minimum = L::Load(s.envMinimum + lane);
  const V span = L::Sub(one, minimum);
  const V velocity = L::Load(s.velocityFactor + lane);
  const V panLeft = L::Load(s.panLeft + lane);
  const V panRight = L::Load(s.panRight + lane);

  V sine = zero, pre = zero, post = zero, out = zero, amplitude = zero;
  for (int k = 0; k < frames; ++k)
  {
    sine = SinesOfLanes<L>(phase, s.snap);
    // A step below the period keeps the phase below twice the period: one
    // subtraction wraps it, exactly.
    phase = L::Add(phase, step);
    phase = L::Select(L::GreaterEqual(phase, period), L::Sub(phase, period), phase);

    V x = sine;
    if (s.carrierFilter) x = L::Add(x, L::Mul(L::Add(x, one), halfProduct));
    x = Limit<L>(x, threshold, knee);
    if (s.dcRemoverOn)
    {
      dcWeight = L::Select(L::Greater(L::Abs(x), dcSilence), one, L::Mul(dcWeight, dcFade));
      const V y = L::Add(L::Mul(L::Sub(one, dcWeight), x),
                         L::Mul(dcWeight, L::Sub(L::Add(L::Mul(dcA, dcY1), x), dcX1)));
      dcX1 = x;
      dcY1 = y;
      x = y;
    }
    pre = x;

    if (s.filterOn)
    {
      const V raw = L::Add(L::Mul(b0, x), z1);
      const V y = L::AndNot(L::Less(L::Abs(raw), smallest), raw);
      z1 = L::Sub(L::Add(L::Mul(b1, x), z2), L::Mul(a1, y));
      z2 = L::Sub(L::Mul(b2, x), L::Mul(a2, y));
      const V v = L::Mul(L::Sub(y, blockerState), blockerCoefficient);
      const V lowPassed = L::Add(blockerState, v);
      blockerState = L::Add(lowPassed, v);
      x = L::Sub(y, lowPassed);
    }
    x = Limit<L>(x, threshold, knee);
    post = x;
    out = L::Mul(x, volume);

    level = L::Select(attack, L::Add(level, multiplier), L::Select(multiplying, L::Mul(level, multiplier), level));
    const V moved = L::NotEqual(level, normalised);
    const V fresh = L::Div(L::Sub(level, minimum), span);
    const V clamped = L::Select(L::Less(fresh, zero), zero, L::Select(L::Less(one, fresh), one, fresh));
    envelope = L::Select(moved, clamped, envelope);
    normalised = L::Select(moved, level, normalised);
    amplitude = L::Mul(envelope, velocity);

    L::Store(left + k * RunLanes::kMaxVoices + lane, L::Mul(L::Mul(panLeft, amplitude), out));
    L::Store(right + k * RunLanes::kMaxVoices + lane, L::Mul(L::Mul(panRight, amplitude), out));
  }

  L::Store(s.phase + lane, phase);
  L::Store(s.dcX1 + lane, dcX1);
  L::Store(s.dcY1 + lane, dcY1);
  L::Store(s.dcWeight + lane, dcWeight);
  L::Store(s.z1 + lane, z1);
  L::Store(s.z2 + lane, z2);
  L::Store(s.blockerState + lane, blockerState);
  L::Store(s.envLevel + lane, level);
  L::Store(s.envNormalisedLevel + lane, normalised);
  L::Store(s.envOutput + lane, envelope);
  L::Store(s.sine + lane, sine);
  L::Store(s.pre + lane, pre);
  L::Store(s.post + lane, post);
  L::Store(s.out + lane, out);
  L::Store(s.amplitude + lane, amplitude);
}

template <class L>
void RenderLanes(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  for (int lane = 0; lane < voices; lane += L::kLanes) RenderGroup<L>(slot, lane, frames, left, right);
}
}  // namespace
