#pragma once

// The run of one oscillator slot, written once over lanes of doubles: L is
// Sse2 (LanesSse2.h) or Avx2 (LanesAvx2.h). Each step repeats the scalar code's
// operations in their order: the voice's FM value and Oscillator's phase (its
// plain path, or FullSampleOf's with FM and oversampling), its waveform, the
// feedback, SoftLimiter, DCremove, FilterContainer's envelope cutoff, the filter
// model's SetFreq and Process (BiquadZK without drive, StateVariableZDF,
// TransistorLadderZDF, DiodeLadderZDF), EnvelopeGenerator within a stage, the
// voice's gain, pan and bus terms, and its hard sync. Where the scalar code
// branches, a lane computes both sides and keeps the one its own test picks.
// Internal to each file that includes it.
#include "filters/BiquadMath.h"
#include "filters/DiodeLadderMath.h"
#include "filters/StateVariableMath.h"
#include "filters/TransistorLadderMath.h"
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"
#include "lanes/StateLanes.h"
#include "lanes/SineLanesKernel.h"
#include "lanes/TanLanesKernel.h"
#include "lanes/AsinhLanesKernel.h"
#include "lanes/TanhLanesKernel.h"

#include <cfloat>
#include <cmath>

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

// Oscillator::FlooredMod(x, m): phases within one period either side of the
// cycle, and up to four periods above it, are wrapped in lanes, exactly as the
// scalar code wraps them; a lane further out takes the scalar code's fmod.
template <class L>
inline typename L::V FlooredModOfLanes(typename L::V x, double period)
{
  using V = typename L::V;
  const V zero = L::Set(0.0);
  const V m = L::Set(period);
  const V above = L::GreaterEqual(x, m);
  const V negative = L::Less(x, zero);
  // Below 0 but above -m the remainder is x itself, raised by m; a sum that
  // rounds up to m is 0 of the next cycle.
  const V raised = L::Add(x, m);
  const V wrappedUp = L::AndNot(L::GreaterEqual(raised, m), raised);
  // From 2m up to 4m, x - 2m is exact (half of x lies within [m, 2m]) and so is
  // the one more m taken off above 3m: the remainder fmod gives, exactly.
  const V twoM = L::Add(m, m);
  const V lowered = L::Sub(x, twoM);
  const V far = L::Select(L::GreaterEqual(lowered, m), L::Sub(lowered, m), lowered);
  V r = L::Select(L::GreaterEqual(x, twoM), far,
                  L::Select(above, L::Sub(x, m), L::Select(negative, wrappedUp, x)));
  const V inside = L::And(L::Greater(x, L::Xor(m, L::Set(-0.0))), L::Less(x, L::Add(twoM, twoM)));
  if (L::Any(L::AndNot(inside, L::GreaterEqual(zero, zero))))
  {
    double xs[L::kLanes], rs[L::kLanes];
    L::Store(xs, x);
    L::Store(rs, r);
    for (int i = 0; i < L::kLanes; ++i)
    {
      if (xs[i] > -period && xs[i] < 4.0 * period) continue;
      double q = std::fmod(xs[i], period);
      if (q < 0.0)
      {
        q += period;
        if (q >= period) q = 0.0;
      }
      rs[i] = q;
    }
    r = L::Load(rs);
  }
  return r;
}

// The plain waveform of the phases (inside one cycle), snapped to 0 near it;
// shape is the sinc's width or the polysaw's mix.
template <class L, int Waveform>
[[gnu::always_inline]] inline typename L::V WaveOfLanes(const RunLanes::Slot& s, typename L::V phase,
                                                         typename L::V shape)
{
  const double snap = s.snap;
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
  else if constexpr (Waveform == RunLanes::kSinc)
  {
    // Each lane takes the library's sine, as the voice does.
    const V y = L::Mul(L::Sub(phase, pi), shape);
    double ys[L::kLanes];
    L::Store(ys, y);
    for (double& x : ys) x = std::sin(x);
    const V sinc = L::Select(L::NotEqual(y, L::Set(0.0)), L::Div(L::Load(ys), y), one);
    value = L::Sub(sinc, L::Div(L::Set(s.sincOffset), shape));
  }
  else if constexpr (Waveform == RunLanes::kPolysaw)
  {
    const V rest = L::Sub(one, shape);
    const V ramps =
      L::Add(L::Add(L::Add(L::Mul(FlooredModOfLanes<L>(phase, kPi), shape),
                           L::Mul(FlooredModOfLanes<L>(L::Mul(L::Set(1.5), phase), kPi), shape)),
                    L::Mul(FlooredModOfLanes<L>(L::Mul(L::Set(0.5), phase), kPi), rest)),
             L::Mul(FlooredModOfLanes<L>(L::Mul(L::Set(2.0), phase), kPi), rest));
    value = L::Sub(one, L::Div(ramps, pi));
  }
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

// The filter slot's cutoff moved by its envelope and its glide
// (FilterContainer's MoveCutoff without the shiver): the glide's step, the
// envelope's next value, the cutoff they give, and which lanes differ from the
// cutoff last sent (those the slot sends to its filter).
template <class L>
struct CutoffLanes
{
  using V = typename L::V;
  EnvelopeLanes<L> envelope;
  V amount{}, base{}, sent{};
  V envMoves{}, glideOn{}, glideStep{};

  void Load(const RunLanes::Slot& s, int lane)
  {
    envelope.Load(s.fltEnvAttack + lane, s.fltEnvMultiplying + lane, s.fltEnvLevel + lane, s.fltEnvMultiplier + lane,
                  s.fltEnvNormalisedLevel + lane, s.fltEnvOutput + lane, s.fltEnvMinimum + lane);
    amount = L::Load(s.envAmount + lane);
    base = L::Load(s.baseCutoff + lane);
    sent = L::Load(s.sentCutoff + lane);
    if (!s.cutoffGlides) return;
    envMoves = L::LoadMask(s.envMoves + lane);
    glideOn = L::LoadMask(s.cutoffGlideOn + lane);
    glideStep = L::Load(s.cutoffGlideStep + lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    envelope.Store(s.fltEnvLevel + lane, s.fltEnvNormalisedLevel + lane, s.fltEnvOutput + lane);
    L::Store(s.sentCutoff + lane, sent);
    if (s.cutoffGlides) L::Store(s.baseCutoff + lane, base);
  }
  // The mask of lanes whose filter is sent the cutoff f.
  V Next(const RunLanes::Slot& s, V& f)
  {
    const V one = L::Set(1.0);
    if (s.cutoffGlides) base = L::Select(glideOn, L::Add(base, glideStep), base);
    // Where the envelope does not move the cutoff it computes what is not read.
    const V e = envelope.Next();
    // Upwards straight to the top; downwards along a quartic curve.
    const V up = L::Add(base, L::Mul(L::Mul(L::Sub(L::Set(s.maxCutoff), base), amount), e));
    const V rest = L::Sub(one, e);
    const V rest2 = L::Mul(rest, rest);
    const V down = L::Add(base, L::Mul(L::Mul(L::Sub(base, L::Set(s.minCutoff)), amount),
                                       L::Sub(one, L::Mul(rest2, rest2))));
    const V moved = L::Select(L::Greater(amount, L::Set(0.0)), up, down);
    f = AtMost<L>(L::Set(s.maxCutoff), AtLeast<L>(L::Set(s.minCutoff), moved));
    if (s.cutoffGlides) f = L::Select(envMoves, f, base);
    const V changed = L::NotEqual(f, sent);
    sent = L::Select(changed, f, sent);
    return changed;
  }
};

// A filter's fields in the lanes, loaded and stored field by field.
template <class L, int N>
struct FieldLanes
{
  typename L::V f[N] = {};

  void Load(const double (&fields)[N][RunLanes::kMaxVoices], int lane)
  {
    for (int i = 0; i < N; ++i) f[i] = L::Load(fields[i] + lane);
  }
  // Every field: those that did not change are stored as they were.
  void Store(double (&fields)[N][RunLanes::kMaxVoices], int lane) const
  {
    for (int i = 0; i < N; ++i) L::Store(fields[i] + lane, f[i]);
  }
};

// A filter model whose lanes hold its state S, kept in the slot's filter rows:
// Model supplies SetFreq(slot, changed, f), the cutoff's changes on the changed
// lanes, and Filter(slot, x), one sample.
template <class L, bool CutoffMoves, template <class> class S, class Model>
struct ModelLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  CutoffLanes<L> cutoff;
  S<V> state;

  void Load(const RunLanes::Slot& s, int lane)
  {
    state = LoadState<S, L>(s.filter, lane);
    if (CutoffMoves) cutoff.Load(s, lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    StoreState<S, L>(state, s.filter, lane, CutoffMoves);
    if (CutoffMoves) cutoff.Store(s, lane);
  }
  typename L::V Process(const RunLanes::Slot& s, typename L::V x)
  {
    Model& model = static_cast<Model&>(*this);
    if constexpr (CutoffMoves)
    {
      typename L::V f;
      const typename L::V changed = cutoff.Next(s, f);
      if (L::Any(changed)) model.SetFreq(s, LaneMask<L>{changed}, V(f));
    }
    return model.Filter(s, V(x)).v;
  }
};

// The "t ladder" (TransistorLadderMath) on lanes.
template <class L, bool CutoffMoves>
struct TLadderLanes
  : ModelLanes<L, CutoffMoves, TransistorLadderState, TLadderLanes<L, CutoffMoves>>
{
  using Math = TransistorLadderMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.cutoffRange, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, s.passType, x); }
};

// The "moog" (DiodeLadderMath) on lanes.
template <class L, bool CutoffMoves>
struct DiodeLadderLanes
  : ModelLanes<L, CutoffMoves, DiodeLadderState, DiodeLadderLanes<L, CutoffMoves>>
{
  using Math = DiodeLadderMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.cutoffRange, s.passType, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, s.passType, x); }
};

// The "reson" (StateVariableMath) on lanes.
template <class L, bool CutoffMoves>
struct SvfLanes : ModelLanes<L, CutoffMoves, StateVariableState, SvfLanes<L, CutoffMoves>>
{
  using Math = StateVariableMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.cutoffRange, s.passType, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, s.passType, x); }
};

// The "simple" (BiquadMath) on lanes.
template <class L, bool CutoffMoves>
struct BiquadLanes : ModelLanes<L, CutoffMoves, BiquadState, BiquadLanes<L, CutoffMoves>>
{
  using Math = BiquadMath<LanePolicy<L>>;
  void SetFreq(const RunLanes::Slot& s, LaneMask<L> changed, Lanes<L> f)
  {
    Math::Retune(this->state, s.cutoffRange, s.passType, changed, f);
  }
  Lanes<L> Filter(const RunLanes::Slot& s, Lanes<L> x) { return Math::Step(this->state, x, s.biquadDriven); }
};

// A slot whose filter is off.
template <class L>
struct NoFilterLanes
{
  using V = typename L::V;
  void Load(const RunLanes::Slot&, int) {}
  void Store(RunLanes::Slot&, int) const {}
  V Process(const RunLanes::Slot&, V x) { return x; }
};

// Oscillator::FullSampleOf's sub-samples: the waveform read on from the phase by
// a sub-step of the increment each, through the lowpass (FilterSubSample), whose
// history h (newest first) moves on; the last output is the sample.
template <class L, int Waveform>
inline typename L::V OversampledWave(const RunLanes::Slot& s, typename L::V theta, typename L::V increment,
                                     typename L::V shape, typename L::V* h)
{
  using V = typename L::V;
  const V subIncrement = L::Mul(L::Set(s.subStep), increment);
  V y = L::Set(0.0);
  for (int k = 0; k < s.subSamples; ++k)
  {
    theta = L::Add(theta, subIncrement);
    const V x = WaveOfLanes<L, Waveform>(s, FlooredModOfLanes<L>(theta, RunLanes::kCycle), shape);
    // Oldest terms first.
    V older = L::Set(0.0);
    for (int j = RunLanes::kBesselOrder - 1; j > 0; --j) older = L::Add(older, L::Mul(L::Set(s.besselCoeffs[j]), h[j]));
    const V raw = L::Add(L::Add(older, L::Mul(L::Set(s.besselGain), x)), L::Mul(L::Set(s.besselCoeffs[0]), h[0]));
    y = L::AndNot(L::Less(L::Abs(raw), L::Set(DBL_MIN)), raw);
    for (int j = RunLanes::kBesselHistory - 1; j > 0; --j) h[j] = h[j - 1];
    h[0] = y;
  }
  return y;
}

// Oscillator::BentPhase: the phase at which a frame reads its waveform. The
// power curve repeats Oscillator::approxPow from each lane's own terms.
template <class L>
struct BendLanes
{
  using V = typename L::V;
  V on{}, window{}, inverseWindow{}, inverted{}, raised{}, squarings{}, blend{};

  void Load(const RunLanes::Slot& s, int lane)
  {
    on = L::LoadMask(s.bendOn + lane);
    window = L::Load(s.bendWindow + lane);
    inverseWindow = L::Load(s.bendInverseWindow + lane);
    inverted = L::LoadMask(s.bendInverted + lane);
    raised = L::LoadMask(s.bendRaised + lane);
    squarings = L::Load(s.bendSquarings + lane);
    blend = L::Load(s.bendBlend + lane);
  }
  V Power(const RunLanes::Slot& s, V x) const
  {
    const V one = L::Set(1.0);
    x = L::Select(inverted, L::Sub(one, x), x);
    V lo = x;
    for (int i = 0; i < s.bendMostSquarings; ++i)
      lo = L::Select(L::Less(L::Set(double(i)), squarings), L::Mul(lo, lo), lo);
    const V hi = L::Mul(lo, lo);
    const V result = L::Select(raised, L::Add(L::Mul(hi, blend), L::Mul(lo, L::Sub(one, blend))), x);
    return L::Select(inverted, L::Sub(one, result), result);
  }
  // Oscillator::BendShape.
  V Shape(const RunLanes::Slot& s, V t) const
  {
    if (!s.bendMiddle) return Power(s, t);
    const V one = L::Set(1.0);
    const V two = L::Set(2.0);
    const V half = L::Set(0.5);
    const V low = L::Less(t, half);
    const V y = Power(s, L::Select(low, L::Mul(two, t), L::Sub(one, L::Mul(two, L::Sub(t, half)))));
    return L::Select(low, L::Mul(half, y), L::Add(half, L::Mul(half, L::Sub(one, y))));
  }
  V Phase(const RunLanes::Slot& s, V phase) const
  {
    const V zero = L::Set(0.0);
    const V one = L::Set(1.0);
    auto clamp = [&](V x) { return L::Select(L::Less(x, zero), zero, L::Select(L::Less(one, x), one, x)); };
    const V r = L::Mul(phase, inverseWindow);
    // One window over the whole cycle, or windows repeating inside the period.
    const V single = s.bendSpanNote ? L::GreaterEqual(window, L::Set(RunLanes::kCycle)) : zero;
    V k = zero, t = clamp(r);
    if (s.bendRepeats)
    {
      double rs[L::kLanes];
      L::Store(rs, r);
      for (double& x : rs) x = std::floor(x);
      k = L::Load(rs);
      t = L::Select(single, t, clamp(L::Mul(L::Sub(phase, L::Mul(window, k)), inverseWindow)));
    }
    const V bent = L::Mul(Shape(s, t), window);
    return L::Select(on, L::Select(single, bent, L::Add(L::Mul(window, k), bent)), phase);
  }
};

// Voice::GlideFrequency and GlideVelocity as a frame begins, on the lanes that
// glide: the frequency and the oscillator's increment and step, the velocity
// and its factor.
template <class L>
struct GlideLanes
{
  using V = typename L::V;
  V pitchOn{}, frequency{}, frequencyStep{}, pitchFactor{}, rateFactor{};
  V velocityOn{}, velocity{}, velocityStep{};

  void Load(const RunLanes::Slot& s, int lane)
  {
    pitchOn = L::LoadMask(s.pitchGlideOn + lane);
    frequency = L::Load(s.glideFrequency + lane);
    frequencyStep = L::Load(s.glideFrequencyStep + lane);
    pitchFactor = L::Load(s.pitchFactor + lane);
    rateFactor = L::Load(s.rateFactor + lane);
    velocityOn = L::LoadMask(s.velocityGlideOn + lane);
    velocity = L::Load(s.glideVelocity + lane);
    velocityStep = L::Load(s.glideVelocityStep + lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    L::Store(s.glideFrequency + lane, frequency);
    L::Store(s.glideVelocity + lane, velocity);
  }
  void Next(const RunLanes::Slot& s, V shiverFactor, V& increment, V& step, V& velocityFactor)
  {
    frequency = L::Select(pitchOn, L::Add(frequency, frequencyStep), frequency);
    increment = L::Select(pitchOn, L::Mul(L::Mul(frequency, pitchFactor), rateFactor), increment);
    step = L::Select(pitchOn, L::Mul(increment, shiverFactor), step);
    velocity = L::Select(velocityOn, L::Add(velocity, velocityStep), velocity);
    velocityFactor = L::Select(velocityOn, L::Mul(velocity, L::Set(s.velocityScale)), velocityFactor);
  }
};

// Voice::OscAmpModOf for the carrier's lanes, after both slots' frame k: the
// level of the modulator's recorded sample, times the amount, times the
// carrier's own sample and the modulator's envelope, added to the output or
// kept for the next sample before the filter.
template <class L>
struct AmLanes
{
  using V = typename L::V;
  V carrierPre{}, level{}, product{}, halfProduct{};

  void Load(const RunLanes::Slot& s, int lane)
  {
    carrierPre = L::LoadMask(s.amCarrierPre + lane);
    level = L::Load(s.amLevel + lane);
    product = L::Load(s.amProduct + lane);
    halfProduct = L::Load(s.halfCarrierProduct + lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    L::Store(s.amLevel + lane, level);
    L::Store(s.amProduct + lane, product);
    L::Store(s.halfCarrierProduct + lane, halfProduct);
  }
  void Of(const RunLanes::Slot& s, int k, int lane, V pre, V post, V& out)
  {
    const V zero = L::Set(0.0);
    const V one = L::Set(1.0);
    const V tap = L::Load(s.amSourceRecord + k * RunLanes::kMaxVoices + lane);
    const V c = L::Mul(L::Add(tap, one), L::Set(0.5));
    const V threshold = L::Set(s.amThreshold);
    const V sloped = L::Select(L::Greater(c, one), one, L::Mul(L::Sub(c, threshold), L::Set(s.amSlope)));
    const V sampleLevel = L::Select(L::Greater(c, threshold), sloped, zero);
    const V active = L::NotEqual(sampleLevel, zero);
    const V e = L::Mul(sampleLevel, L::Set(s.amAmount));
    const V modulatorEnvelope = L::Load(s.amEnvelopeRecord + k * RunLanes::kMaxVoices + lane);
    const V p = L::Mul(L::Mul(L::Select(carrierPre, pre, post), e), modulatorEnvelope);
    level = L::Select(active, e, zero);
    product = L::Select(active, p, zero);
    if (s.amAddsExternal) out = L::Select(active, L::Add(out, L::Mul(zero, e)), out);
    if (s.carrierFilter)
      halfProduct = L::Mul(L::Set(0.5), product);
    else
      out = L::Select(active, L::Add(out, product), out);
  }
};

// The waveform, the filter, whether FM reaches the phase and whether the
// oscillator is oversampled are constants of the loop.
template <class L, int Waveform, class Filter, bool FmIn, bool Oversampled>
[[gnu::flatten]] void RenderGroup(RunLanes::Slot& s, int lane, int frames, double* left, double* right)
{
  using V = typename L::V;
  const V period = L::Set(s.period);
  const V zero = L::Set(0.0);
  const V one = L::Set(1.0);
  const V volume = L::Set(s.volume);
  const V dcSilence = L::Set(s.dcSilence);
  const V dcFade = L::Set(s.dcFadeOut);

  V phase = L::Load(s.phase + lane);
  const V shape = L::Load(s.waveShape + lane);
  V step = L::Load(s.step + lane);
  V phaseIncrement = L::Load(s.phaseIncrement + lane);
  GlideLanes<L> glide;
  if (s.glides) glide.Load(s, lane);
  BendLanes<L> bend;
  const bool bent = s.bendRead;
  if (bent) bend.Load(s, lane);
  const V shiverFactor = L::Load(s.shiverFactor + lane);
  V fmSource = L::Load(s.fmPrevious + lane);
  const V feedback = L::Set(s.feedback);
  V syncPrevious = L::Load(s.syncPrevious + lane);
  V crossings = L::Load(s.syncCrossings + lane);
  const V restartPhase = L::Load(s.restartPhase + lane);
  V declickOn = L::Load(s.declickOn + lane);
  V declickCounter = L::Load(s.declickCounter + lane);
  V declickLength = L::Load(s.declickLength + lane);
  V lastOutput = L::Load(s.lastOutput + lane);
  FieldLanes<L, RunLanes::kBesselHistory> history;
  if (Oversampled) history.Load(s.bessel, lane);
  const V threshold = L::Load(s.limiterThreshold + lane);
  const V knee = L::Load(s.limiterKnee + lane);
  const V amModulatorPre = L::LoadMask(s.amModulatorPre + lane);
  AmLanes<L> am;
  am.Load(s, lane);
  const V dcA = L::Load(s.dcA + lane);
  V dcX1 = L::Load(s.dcX1 + lane);
  V dcY1 = L::Load(s.dcY1 + lane);
  V dcWeight = L::Load(s.dcWeight + lane);
  Filter filter;
  filter.Load(s, lane);
  EnvelopeLanes<L> amp;
  amp.Load(s.envAttack + lane, s.envMultiplying + lane, s.envLevel + lane, s.envMultiplier + lane,
           s.envNormalisedLevel + lane, s.envOutput + lane, s.envMinimum + lane);
  V velocity = L::Load(s.velocityFactor + lane);
  const V panLeft = L::Load(s.panLeft + lane);
  const V panRight = L::Load(s.panRight + lane);

  V wave = zero, pre = zero, post = L::Load(s.previousPost + lane), out = zero, amplitude = zero;
  if (s.firstFrame > 0)
  {
    // Inside a run: the frame before is the one the last call left.
    wave = L::Load(s.wave + lane);
    pre = L::Load(s.pre + lane);
    out = L::Load(s.out + lane);
    amplitude = L::Load(s.amplitude + lane);
    if (s.amIn && s.amDeferred)
    {
      // Its AM, now that the other slot has computed that frame as well.
      const int k = s.firstFrame - 1;
      am.Of(s, k, lane, pre, post, out);
      L::Store(left + k * RunLanes::kMaxVoices + lane, L::Mul(L::Mul(panLeft, amplitude), out));
      L::Store(right + k * RunLanes::kMaxVoices + lane, L::Mul(L::Mul(panRight, amplitude), out));
    }
  }
  // Frames are counted from the run's start: a call may begin inside the run.
  const int end = s.firstFrame + frames;
  for (int k = s.firstFrame; k < end; ++k)
  {
    // The bend reads the cycle elsewhere; the phase itself runs on unbent.
    const V theta = bent ? bend.Phase(s, phase) : phase;
    wave = WaveOfLanes<L, Waveform>(s, bent ? FlooredModOfLanes<L>(theta, RunLanes::kCycle) : phase, shape);
    if (s.glides) glide.Next(s, shiverFactor, phaseIncrement, step, velocity);
    V increment = step;
    if constexpr (FmIn)
    {
      // The voice's FM value, clamped, then the oscillator's: a value of 0 or
      // NaN leaves the step as it is.
      if (k > 0) fmSource = L::Load(s.fmSourceRecord + (k - 1) * RunLanes::kMaxVoices + lane);
      const V limit = L::Set(s.fmLimit);
      const V fm = AtMost<L>(limit, AtLeast<L>(L::Xor(limit, L::Set(-0.0)), L::Mul(fmSource, L::Set(s.fmAmount))));
      const V modulated = L::Or(L::Less(fm, zero), L::Greater(fm, zero));
      increment = L::Select(modulated, L::Mul(L::Mul(L::Add(one, fm), phaseIncrement), shiverFactor), step);
    }
    if constexpr (Oversampled) wave = OversampledWave<L, Waveform>(s, theta, increment, shape, history.f);
    if constexpr (FmIn)
    {
      phase = FlooredModOfLanes<L>(L::Add(phase, increment), s.period);
    }
    else
    {
      // A step below the period keeps the phase below twice the period: one
      // subtraction wraps it, exactly.
      phase = L::Add(phase, step);
      phase = L::Select(L::GreaterEqual(phase, period), L::Sub(phase, period), phase);
    }

    if (s.syncSoftLength > 0)
    {
      // Oscillator::FullSampleOf's crossfade from the last output.
      const V active = L::Greater(declickOn, zero);
      const V weight = L::Mul(declickCounter, L::Div(one, declickLength));
      wave = L::Select(active, L::Add(L::Mul(wave, weight), L::Mul(L::Sub(one, weight), lastOutput)), wave);
      declickCounter = L::Select(active, L::Add(declickCounter, one), declickCounter);
      declickOn = L::Select(L::And(active, L::GreaterEqual(declickCounter, declickLength)), zero, declickOn);
      lastOutput = wave;
    }
    V x = wave;
    if (s.feedback != 0.0) x = L::Add(x, L::Mul(feedback, post));
    if (s.carrierFilter) x = L::Add(x, L::Mul(L::Add(x, one), am.halfProduct));
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

    x = filter.Process(s, x);
    x = Limit<L>(x, threshold, knee);
    post = x;
    out = L::Mul(x, volume);

    const V envelope = amp.Next();
    amplitude = L::Mul(envelope, velocity);
    if (s.amOut)
    {
      L::Store(s.amRecord + k * RunLanes::kMaxVoices + lane, L::Select(amModulatorPre, pre, post));
      L::Store(s.amEnvelopes + k * RunLanes::kMaxVoices + lane, envelope);
    }
    if (s.amIn && !s.amDeferred) am.Of(s, k, lane, pre, post, out);
    if (s.syncOut) L::Store(s.syncRecord + k * RunLanes::kMaxVoices + lane, s.syncPreFilter ? pre : post);
    if (s.syncIn)
    {
      // Voice::HardSync, after the frame: the phase the next frame reads.
      const V current = L::Load(s.syncSourceRecord + k * RunLanes::kMaxVoices + lane);
      const V crossing = L::AndNot(L::Greater(L::Mul(current, syncPrevious), zero), L::GreaterEqual(zero, zero));
      crossings = L::Select(crossing, L::Add(crossings, one), crossings);
      const V restart = L::And(crossing, L::GreaterEqual(crossings, L::Set(s.syncPeriod)));
      crossings = L::AndNot(restart, crossings);
      phase = L::Select(restart, restartPhase, phase);
      if (s.syncSoftLength > 0)
      {
        // Oscillator::StartDeclick.
        declickOn = L::Select(restart, one, declickOn);
        declickCounter = L::Select(restart, one, declickCounter);
        declickLength = L::Select(restart, L::Set(s.syncSoftLength), declickLength);
      }
      syncPrevious = current;
    }
    if (s.fmOut)
    {
      const V record = s.fmSource == RunLanes::kFmPost                ? post
                       : s.fmSource == RunLanes::kFmPreTimesEnvelope ? L::Mul(pre, envelope)
                                                                     : pre;
      L::Store(s.fmRecord + k * RunLanes::kMaxVoices + lane, record);
    }

    L::Store(left + k * RunLanes::kMaxVoices + lane, L::Mul(L::Mul(panLeft, amplitude), out));
    L::Store(right + k * RunLanes::kMaxVoices + lane, L::Mul(L::Mul(panRight, amplitude), out));
  }

  L::Store(s.phase + lane, phase);
  L::Store(s.syncCrossings + lane, crossings);
  L::Store(s.declickOn + lane, declickOn);
  L::Store(s.declickCounter + lane, declickCounter);
  L::Store(s.declickLength + lane, declickLength);
  if (Oversampled) history.Store(s.bessel, lane);
  am.Store(s, lane);
  L::Store(s.dcX1 + lane, dcX1);
  L::Store(s.dcY1 + lane, dcY1);
  L::Store(s.dcWeight + lane, dcWeight);
  filter.Store(s, lane);
  amp.Store(s.envLevel + lane, s.envNormalisedLevel + lane, s.envOutput + lane);
  L::Store(s.wave + lane, wave);
  L::Store(s.pre + lane, pre);
  L::Store(s.post + lane, post);
  L::Store(s.out + lane, out);
  L::Store(s.amplitude + lane, amplitude);
  // What the next call of the same run starts from.
  if (s.glides)
  {
    glide.Store(s, lane);
    L::Store(s.step + lane, step);
    L::Store(s.phaseIncrement + lane, phaseIncrement);
    L::Store(s.velocityFactor + lane, velocity);
  }
  L::Store(s.previousPost + lane, post);
  L::Store(s.syncPrevious + lane, syncPrevious);
  L::Store(s.lastOutput + lane, lastOutput);
}

template <class L, int Waveform, class Filter>
void RenderGroups(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  for (int lane = 0; lane < voices; lane += L::kLanes)
  {
    const bool oversampled = slot.subSamples > 0;
    if (slot.fmIn && oversampled)
      RenderGroup<L, Waveform, Filter, true, true>(slot, lane, frames, left, right);
    else if (slot.fmIn)
      RenderGroup<L, Waveform, Filter, true, false>(slot, lane, frames, left, right);
    else if (oversampled)
      RenderGroup<L, Waveform, Filter, false, true>(slot, lane, frames, left, right);
    else
      RenderGroup<L, Waveform, Filter, false, false>(slot, lane, frames, left, right);
  }
}

template <class L, int Waveform>
void RenderWave(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  if (!slot.filterOn)
    RenderGroups<L, Waveform, NoFilterLanes<L>>(slot, voices, frames, left, right);
  else if (slot.model == RunLanes::kReson)
  {
    if (slot.cutoffMoves)
      RenderGroups<L, Waveform, SvfLanes<L, true>>(slot, voices, frames, left, right);
    else
      RenderGroups<L, Waveform, SvfLanes<L, false>>(slot, voices, frames, left, right);
  }
  else if (slot.model == RunLanes::kMoog)
  {
    if (slot.cutoffMoves)
      RenderGroups<L, Waveform, DiodeLadderLanes<L, true>>(slot, voices, frames, left, right);
    else
      RenderGroups<L, Waveform, DiodeLadderLanes<L, false>>(slot, voices, frames, left, right);
  }
  else if (slot.model == RunLanes::kTLadder)
  {
    if (slot.cutoffMoves)
      RenderGroups<L, Waveform, TLadderLanes<L, true>>(slot, voices, frames, left, right);
    else
      RenderGroups<L, Waveform, TLadderLanes<L, false>>(slot, voices, frames, left, right);
  }
  else if (slot.cutoffMoves)
    RenderGroups<L, Waveform, BiquadLanes<L, true>>(slot, voices, frames, left, right);
  else
    RenderGroups<L, Waveform, BiquadLanes<L, false>>(slot, voices, frames, left, right);
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

namespace
{
// A slot through one filter, whatever its waveform: for the filters whose lanes
// are built in files of their own. (RenderLanes leaves the sinc and the polysaw
// to files of their own, which call RenderWave.)
template <class L, class Filter>
void RenderLanesThrough(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  switch (slot.waveform)
  {
    case RunLanes::kSaw: RenderGroups<L, RunLanes::kSaw, Filter>(slot, voices, frames, left, right); break;
    case RunLanes::kSquare: RenderGroups<L, RunLanes::kSquare, Filter>(slot, voices, frames, left, right); break;
    case RunLanes::kTriangle: RenderGroups<L, RunLanes::kTriangle, Filter>(slot, voices, frames, left, right); break;
    case RunLanes::kSinc: RenderGroups<L, RunLanes::kSinc, Filter>(slot, voices, frames, left, right); break;
    case RunLanes::kPolysaw: RenderGroups<L, RunLanes::kPolysaw, Filter>(slot, voices, frames, left, right); break;
    default: RenderGroups<L, RunLanes::kSine, Filter>(slot, voices, frames, left, right); break;
  }
}
}  // namespace
