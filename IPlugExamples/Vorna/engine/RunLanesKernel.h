#pragma once

// The run of one oscillator slot, written once over lanes of doubles: L is
// Sse2 (LanesSse2.h) or Avx2 (LanesAvx2.h). Each step repeats the scalar code's
// operations in their order: the waveform and the phase of Oscillator's plain
// path, SoftLimiter, DCremove, FilterContainer's envelope cutoff and BiquadZK's
// SetFreq without drive, BiquadZK without drive with its flush and its
// OnePoleHighPass, EnvelopeGenerator within a stage, and the voice's gain, pan
// and bus terms. Where the scalar code branches, a lane computes both sides and
// keeps the one its own test picks. Internal to each file that includes it.
#include "RunLanes.h"
#include "SineLanesKernel.h"
#include "TanLanesKernel.h"

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

// The plain waveform of the phases (inside one cycle), snapped to 0 near it.
template <class L, int Waveform>
inline typename L::V WaveOfLanes(typename L::V phase, double snap)
{
  using V = typename L::V;
  constexpr double kPi = 3.14159265358979323846;
  const V pi = L::Set(kPi);
  const V one = L::Set(1.0);
  V value;
  if constexpr (Waveform == RunLanes::kSaw)
    value = L::Sub(one, L::Div(phase, pi));
  else if constexpr (Waveform == RunLanes::kSquare)
    value = L::Select(L::Greater(phase, pi), L::Set(-1.0), one);
  else if constexpr (Waveform == RunLanes::kTriangle)
    value = L::Sub(L::Abs(L::Sub(L::Div(L::Mul(phase, L::Set(2.0)), pi), L::Set(2.0))), one);
  else
    return SinesOfLanes<L>(phase, snap);
  const V tiny = L::And(L::Greater(value, L::Set(-snap)), L::Less(value, L::Set(snap)));
  return L::AndNot(tiny, value);
}

// One envelope sample within its stage: attack lanes add the multiplier, decay
// and release lanes multiply by it, the others hold; the output follows a level
// that moved.
template <class L>
struct EnvelopeLanes
{
  using V = typename L::V;
  V attack{}, multiplying{}, level{}, multiplier{}, normalised{}, output{}, minimum{}, span{};

  void Load(const std::uint64_t* attackMask, const std::uint64_t* multiplyingMask, const double* levels,
            const double* multipliers, const double* normalisedLevels, const double* outputs, const double* minimums)
  {
    attack = L::LoadMask(attackMask);
    multiplying = L::LoadMask(multiplyingMask);
    level = L::Load(levels);
    multiplier = L::Load(multipliers);
    normalised = L::Load(normalisedLevels);
    output = L::Load(outputs);
    minimum = L::Load(minimums);
    span = L::Sub(L::Set(1.0), minimum);
  }
  void Store(double* levels, double* normalisedLevels, double* outputs) const
  {
    L::Store(levels, level);
    L::Store(normalisedLevels, normalised);
    L::Store(outputs, output);
  }
  V Next()
  {
    const V zero = L::Set(0.0);
    const V one = L::Set(1.0);
    level = L::Select(attack, L::Add(level, multiplier), L::Select(multiplying, L::Mul(level, multiplier), level));
    const V moved = L::NotEqual(level, normalised);
    const V fresh = L::Div(L::Sub(level, minimum), span);
    const V clamped = L::Select(L::Less(fresh, zero), zero, L::Select(L::Less(one, fresh), one, fresh));
    output = L::Select(moved, clamped, output);
    normalised = L::Select(moved, level, normalised);
    return output;
  }
};

// std::max(low, x) and std::min(high, x), NaN included.
template <class L>
inline typename L::V AtLeast(typename L::V low, typename L::V x)
{
  return L::Select(L::Less(low, x), x, low);
}
template <class L>
inline typename L::V AtMost(typename L::V high, typename L::V x)
{
  return L::Select(L::Less(x, high), x, high);
}

// The biquad's coefficients for a cutoff moved by the filter envelope: the
// filter slot's envelope cutoff, then BiquadZK::SetFreq and CalcCoeffs (whose
// drive blend stays 0 without drive). Lanes whose cutoff equals the one last
// sent keep what they hold, as the slot then sends nothing.
template <class L>
struct MovingBiquadLanes
{
  using V = typename L::V;
  EnvelopeLanes<L> envelope;
  V amount{}, base{}, sent{}, normalisedFreq{}, q{}, peakFactor{};
  V b0, b1, b2, a1, a2;

  void Next(const RunLanes::Slot& s)
  {
    const V one = L::Set(1.0);
    const V two = L::Set(2.0);
    const V zero = L::Set(0.0);
    const V e = envelope.Next();
    // Upwards straight to the top; downwards along a quartic curve.
    const V up = L::Add(base, L::Mul(L::Mul(L::Sub(L::Set(s.maxCutoff), base), amount), e));
    const V rest = L::Sub(one, e);
    const V rest2 = L::Mul(rest, rest);
    const V down = L::Add(base, L::Mul(L::Mul(L::Sub(base, L::Set(s.minCutoff)), amount),
                                       L::Sub(one, L::Mul(rest2, rest2))));
    const V moved = L::Select(L::Greater(amount, zero), up, down);
    const V f = AtMost<L>(L::Set(s.maxCutoff), AtLeast<L>(L::Set(s.minCutoff), moved));
    const V changed = L::NotEqual(f, sent);
    if (!L::Any(changed)) return;
    sent = L::Select(changed, f, sent);

    // std::clamp(f, 1, ceiling), then the angle and its tangent.
    const V limited = L::Select(L::Less(f, one), one, L::Select(L::Less(L::Set(s.cutoffCeiling), f),
                                                                  L::Set(s.cutoffCeiling), f));
    const V nf = L::Mul(limited, L::Set(s.inverseRate));
    const V fraction = L::Set(s.maxWarpFraction);
    const V k = TanOfLanes<L>(L::Mul(L::Set(3.14159265358979323846), L::Select(L::Less(fraction, nf), fraction, nf)));
    const V c = L::Mul(k, k);
    const V d = L::Div(k, q);
    const V g = L::Div(one, L::Add(L::Add(one, d), c));
    const V h = L::Mul(two, L::Sub(c, one));
    V n0, n1, n2;
    switch (s.passType)
    {
      case 1:  // band-pass
        n0 = L::Mul(d, g);
        n1 = zero;
        n2 = L::Mul(L::Xor(d, L::Set(-0.0)), g);
        break;
      case 2:  // high-pass
        n0 = g;
        n1 = L::Mul(L::Set(-2.0), g);
        n2 = g;
        break;
      case 3:  // peak
      {
        const V v = L::Div(L::Mul(peakFactor, k), q);
        n0 = L::Mul(L::Add(L::Add(one, v), c), g);
        n1 = L::Mul(g, h);
        n2 = L::Mul(L::Add(L::Sub(one, v), c), g);
        break;
      }
      case 4:  // band reject
        n0 = L::Mul(L::Add(one, c), g);
        n1 = L::Mul(g, h);
        n2 = L::Mul(L::Add(one, c), g);
        break;
      default:  // low-pass
        n0 = L::Mul(c, g);
        n1 = L::Mul(L::Mul(two, c), g);
        n2 = L::Mul(c, g);
        break;
    }
    normalisedFreq = L::Select(changed, nf, normalisedFreq);
    b0 = L::Select(changed, n0, b0);
    b1 = L::Select(changed, n1, b1);
    b2 = L::Select(changed, n2, b2);
    a1 = L::Select(changed, L::Mul(g, h), a1);
    a2 = L::Select(changed, L::Mul(L::Add(L::Sub(one, d), c), g), a2);
  }
};

// Waveform and a moving cutoff are constants of the loop.
template <class L, int Waveform, bool CutoffMoves>
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
  MovingBiquadLanes<L> biquad;
  biquad.b0 = L::Load(s.b0 + lane);
  biquad.b1 = L::Load(s.b1 + lane);
  biquad.b2 = L::Load(s.b2 + lane);
  biquad.a1 = L::Load(s.a1 + lane);
  biquad.a2 = L::Load(s.a2 + lane);
  if (CutoffMoves)
  {
    biquad.envelope.Load(s.fltEnvAttack + lane, s.fltEnvMultiplying + lane, s.fltEnvLevel + lane,
                         s.fltEnvMultiplier + lane, s.fltEnvNormalisedLevel + lane, s.fltEnvOutput + lane,
                         s.fltEnvMinimum + lane);
    biquad.amount = L::Load(s.envAmount + lane);
    biquad.base = L::Load(s.baseCutoff + lane);
    biquad.sent = L::Load(s.sentCutoff + lane);
    biquad.normalisedFreq = L::Load(s.normalisedFreq + lane);
    biquad.q = L::Load(s.q + lane);
    biquad.peakFactor = L::Load(s.peakFactor + lane);
  }
  V z1 = L::Load(s.z1 + lane);
  V z2 = L::Load(s.z2 + lane);
  const V blockerCoefficient = L::Load(s.blockerCoefficient + lane);
  V blockerState = L::Load(s.blockerState + lane);
  EnvelopeLanes<L> amp;
  amp.Load(s.envAttack + lane, s.envMultiplying + lane, s.envLevel + lane, s.envMultiplier + lane,
           s.envNormalisedLevel + lane, s.envOutput + lane, s.envMinimum + lane);
  const V velocity = L::Load(s.velocityFactor + lane);
  const V panLeft = L::Load(s.panLeft + lane);
  const V panRight = L::Load(s.panRight + lane);

  V wave = zero, pre = zero, post = zero, out = zero, amplitude = zero;
  for (int k = 0; k < frames; ++k)
  {
    wave = WaveOfLanes<L, Waveform>(phase, s.snap);
    // A step below the period keeps the phase below twice the period: one
    // subtraction wraps it, exactly.
    phase = L::Add(phase, step);
    phase = L::Select(L::GreaterEqual(phase, period), L::Sub(phase, period), phase);

    V x = wave;
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
      if constexpr (CutoffMoves) biquad.Next(s);
      const V raw = L::Add(L::Mul(biquad.b0, x), z1);
      const V y = L::AndNot(L::Less(L::Abs(raw), smallest), raw);
      z1 = L::Sub(L::Add(L::Mul(biquad.b1, x), z2), L::Mul(biquad.a1, y));
      z2 = L::Sub(L::Mul(biquad.b2, x), L::Mul(biquad.a2, y));
      const V v = L::Mul(L::Sub(y, blockerState), blockerCoefficient);
      const V lowPassed = L::Add(blockerState, v);
      blockerState = L::Add(lowPassed, v);
      x = L::Sub(y, lowPassed);
    }
    x = Limit<L>(x, threshold, knee);
    post = x;
    out = L::Mul(x, volume);

    amplitude = L::Mul(amp.Next(), velocity);

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
  if (CutoffMoves)
  {
    biquad.envelope.Store(s.fltEnvLevel + lane, s.fltEnvNormalisedLevel + lane, s.fltEnvOutput + lane);
    L::Store(s.sentCutoff + lane, biquad.sent);
    L::Store(s.normalisedFreq + lane, biquad.normalisedFreq);
    L::Store(s.b0 + lane, biquad.b0);
    L::Store(s.b1 + lane, biquad.b1);
    L::Store(s.b2 + lane, biquad.b2);
    L::Store(s.a1 + lane, biquad.a1);
    L::Store(s.a2 + lane, biquad.a2);
  }
  amp.Store(s.envLevel + lane, s.envNormalisedLevel + lane, s.envOutput + lane);
  L::Store(s.wave + lane, wave);
  L::Store(s.pre + lane, pre);
  L::Store(s.post + lane, post);
  L::Store(s.out + lane, out);
  L::Store(s.amplitude + lane, amplitude);
}

template <class L, int Waveform>
void RenderWave(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  for (int lane = 0; lane < voices; lane += L::kLanes)
  {
    if (slot.cutoffMoves && slot.filterOn)
      RenderGroup<L, Waveform, true>(slot, lane, frames, left, right);
    else
      RenderGroup<L, Waveform, false>(slot, lane, frames, left, right);
  }
}

template <class L>
void RenderLanes(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  switch (slot.waveform)
  {
    case RunLanes::kSaw: RenderWave<L, RunLanes::kSaw>(slot, voices, frames, left, right); break;
    case RunLanes::kSquare: RenderWave<L, RunLanes::kSquare>(slot, voices, frames, left, right); break;
    case RunLanes::kTriangle: RenderWave<L, RunLanes::kTriangle>(slot, voices, frames, left, right); break;
    default: RenderWave<L, RunLanes::kSine>(slot, voices, frames, left, right); break;
  }
}
}  // namespace
