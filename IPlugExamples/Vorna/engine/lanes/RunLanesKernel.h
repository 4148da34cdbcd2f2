#pragma once

// The run of one oscillator slot over lanes of doubles (docs/engine.md): L is
// Sse2 (LanesSse2.h) or Avx2 (LanesAvx2.h). RenderGroup is the voice's chain in
// the order a voice computes it alone, each stage a struct that loads its own
// record of the slot and computes with the maths the voice itself runs
// (OscillatorMath, VoiceStageMath, the filter models' maths): where the voice
// branches, a lane computes both sides and keeps the one its own test picks.
// RenderPart reaches the waveform and the filter model through the engine's
// one dispatch of each, for the part of them a file builds (RunLanesParts.h).
// Internal to each file that includes it.
#include "OscWaves.h"
#include "filters/FilterKinds.h"
#include "lanes/BiquadLanes.h"
#include "lanes/ChainLanes.h"
#include "lanes/DiodeLadderLanes.h"
#include "lanes/FilterLanes.h"
#include "lanes/FormantLanes.h"
#include "lanes/LanesWide.h"
#include "lanes/LinkLanes.h"
#include "lanes/OscillatorLanes.h"
#include "lanes/RunLanes.h"
#include "lanes/RunLanesParts.h"
#include "lanes/StateVariableLanes.h"
#include "lanes/TransistorLadderLanes.h"

#include <type_traits>

// Every stage is flattened into each copy of the loop, for speed. The sanitizer
// builds check the lanes' arithmetic, not their speed, and instrumenting loops
// that large takes the compiler the better part of an hour per file there.
#ifdef VORNA_LANES_NO_FLATTEN
#define VORNA_LANES_FLATTEN
#else
#define VORNA_LANES_FLATTEN [[gnu::flatten]]
#endif

namespace
{
// What a run carries besides the plain chain: nothing, FM alone, or anything
// (FM, a shiver's walk, a shivering cutoff, noise).
enum Carries
{
  kPlain,
  kFmOnly,
  kAnything
};

// One group of L::kLanes voices from lane `lane` through the frames of a call.
// The waveform, the filter, whether the oscillator is oversampled and what the
// run carries besides the plain chain are constants of the loop, so that the
// plain chain asks nothing of FM, the walks and noise each frame, and FM
// nothing of the walks and noise.
template <class L, int Waveform, class Filter, Carries C, bool Oversampled>
VORNA_LANES_FLATTEN void RenderGroup(RunLanes::Slot& s, int lane, int frames, double* left, double* right)
{
  using V = Lanes<L>;
  constexpr bool Fm = C != kPlain;
  constexpr bool General = C == kAnything;
  OscillatorLanes<L, Waveform, Fm, Oversampled> osc;
  GlideLanes<L> glide;
  FmLanes<L> fm;
  SyncLanes<L> sync;
  AmLanes<L> am;
  SourceLanes<L> source;
  Filter filter;
  OutputLanes<L> output;
  osc.Load(s, lane);
  if (s.glide.on) glide.Load(s.glide, lane);
  if (Fm && s.fm.in) fm.Load(s.fm, lane);
  if (s.sync.in) sync.Load(s.sync, lane);
  am.Load(s.am, lane);
  source.Load(s, lane);
  filter.Load(s, lane);
  output.Load(s, lane);
  const LaneMask<L> modulatorPre = LaneMask<L>::Load(s.am.modulatorPre + lane);
  if (s.firstFrame > 0 && s.am.in && s.am.deferred)
  {
    // The carrier's AM of the frame before, now that the other slot has
    // computed that frame as well.
    const int k = s.firstFrame - 1;
    am.template Of<General>(s, k, lane, output);
    output.template Bus<General>(s.output, k, lane, left, right);
  }

  // Frames are counted from the run's start: a call may begin inside the run.
  const int end = s.firstFrame + frames;
  for (int k = s.firstFrame; k < end; ++k)
  {
    if (General && s.osc.shiverWalks) osc.Shiver(s.osc, k, lane);
    V wave = osc.Next(s);
    if (s.glide.on) glide.Next(s.glide, osc.shiverFactor, osc.increment, osc.step, output.velocity);
    V increment = osc.step;
    if (Fm && s.fm.in) increment = fm.Increment(s.fm, k, lane, osc.step, osc.increment, osc.shiverFactor);
    wave = osc.Advance(s.osc, wave, increment);
    if (s.sync.softLength > 0) wave = sync.Crossfade(wave);
    output.wave = wave;
    output.pre = source.Next(s, wave, output.post, am.halfProduct);
    const V envelope = output.template Next<General>(s, k, filter.template Process<General>(s, k, lane, output.pre));

    // What the other slot reads of this frame, and what this one reads of it.
    if (s.am.out) AmLanes<L>::Record(s.am, k, lane, modulatorPre, output.pre, output.post, envelope);
    if (s.am.in && !s.am.deferred) am.template Of<General>(s, k, lane, output);
    if (s.sync.out) SyncLanes<L>::Record(s.sync, k, lane, output.pre, output.post);
    if (s.sync.in) sync.Restart(s.sync, k, lane, osc.phase);
    if (s.fm.out) FmLanes<L>::Record(s.fm, k, lane, output.pre, output.post, envelope);
    output.template Bus<General>(s.output, k, lane, left, right);
  }

  // What the next call of the same run, and the voices, start from.
  osc.Store(s, lane);
  if (s.glide.on) glide.Store(s.glide, lane);
  if (s.sync.in) sync.Store(s.sync, lane);
  am.Store(s.am, lane);
  source.Store(s, lane);
  filter.Store(s, lane);
  output.Store(s, lane);
}

// What a slot's run carries besides the plain chain.
inline Carries CarriesOf(const RunLanes::Slot& slot)
{
  const bool walks =
    slot.osc.shiverWalks || slot.filter.cutoff.shivers || slot.output.panWalks || slot.output.external;
  return walks ? kAnything : slot.fm.in ? kFmOnly : kPlain;
}

// The groups of L::kLanes voices from lane `from` on, up to `to`.
template <class L, int Waveform, class Filter>
void RenderGroups(RunLanes::Slot& slot, int from, int to, int frames, double* left, double* right)
{
  const bool oversampled = slot.osc.subSamples > 0;
  const Carries carries = CarriesOf(slot);
  // Oversampled, FM takes the general loop: one copy of the loop fewer to build.
  for (int lane = from; lane < to; lane += L::kLanes)
  {
    if (carries != kPlain && oversampled)
      RenderGroup<L, Waveform, Filter, kAnything, true>(slot, lane, frames, left, right);
    else if (oversampled)
      RenderGroup<L, Waveform, Filter, kPlain, true>(slot, lane, frames, left, right);
    else if (carries == kAnything)
      RenderGroup<L, Waveform, Filter, kAnything, false>(slot, lane, frames, left, right);
    else if (carries == kFmOnly)
      RenderGroup<L, Waveform, Filter, kFmOnly, false>(slot, lane, frames, left, right);
    else
      RenderGroup<L, Waveform, Filter, kPlain, false>(slot, lane, frames, left, right);
  }
}

// The same for wide values (LanesWide.h), which are built for oscillators
// without oversampling only.
template <class W, int Waveform, class Filter>
void RenderWideGroups(RunLanes::Slot& slot, int from, int to, int frames, double* left, double* right)
{
  const Carries carries = CarriesOf(slot);
  for (int lane = from; lane < to; lane += W::kLanes)
  {
    if (carries == kAnything)
      RenderGroup<W, Waveform, Filter, kAnything, false>(slot, lane, frames, left, right);
    else if (carries == kFmOnly)
      RenderGroup<W, Waveform, Filter, kFmOnly, false>(slot, lane, frames, left, right);
    else
      RenderGroup<W, Waveform, Filter, kPlain, false>(slot, lane, frames, left, right);
  }
}

// The ladders' sample is one chain of dependent operations (four stages, each
// through tanh's division), which leaves the processor waiting on each result
// in turn: where that chain is what a frame waits for, their voices go up to
// L::kWideGroups groups to a value (LanesWide.h). The sinc's and the polysaw's
// waveforms and the oversampled oscillators' sub-samples should give the
// processor work of its own meanwhile, and no other model's sample is such a
// chain, so no other loops are built wide: each wide loop is a copy as many
// times the size as it carries groups.
constexpr bool RendersWide(FilterModel m, int waveform)
{
  return (m == kFltTLadder || m == kFltMoog) && waveform != kOscSinc && waveform != kOscPolysaw;
}

// The slot's voices through filter model M: where it renders wide, the groups
// of L that fill wide values go so, the widest first, then the rest group by
// group. A wide value reads no lane past the last group of L, so it needs no
// lane the road does not hold already.
template <class L, int Waveform, FilterModel M, bool CutoffMoves, bool Driven>
void RenderModelGroups(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  int lane = 0;
  if constexpr (RendersWide(M, Waveform) && L::kWideGroups > 1)
  {
    static_assert(L::kWideGroups <= RunLanes::kMaxWideGroups);
    const int lanes = (voices + L::kLanes - 1) / L::kLanes * L::kLanes;
    auto wide = [&]<int N>(std::integral_constant<int, N>) {
      if (slot.wideGroups < N || slot.osc.subSamples > 0) return;
      using W = Wide<L, N>;
      const int to = lane + (lanes - lane) / W::kLanes * W::kLanes;
      RenderWideGroups<W, Waveform, typename FilterLanesOf<W, M, CutoffMoves, Driven>::Type>(slot, lane, to, frames,
                                                                                            left, right);
      lane = to;
    };
    if constexpr (L::kWideGroups >= 4) wide(std::integral_constant<int, 4>{});
    wide(std::integral_constant<int, 2>{});
  }
  RenderGroups<L, Waveform, typename FilterLanesOf<L, M, CutoffMoves, Driven>::Type>(slot, lane, voices, frames,
                                                                                    left, right);
}

// A slot through filter model M, its cutoff still or moving (and, for a model
// built both ways, driven by some voice or not).
template <class L, int Waveform, FilterModel M>
void RenderModel(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  const RunLanes::FilterRecord& f = slot.filter;
  if constexpr (FilterLanesOf<L, M, false, false>::kDrivenVariants)
  {
    if (f.cutoff.moves && f.driven) return RenderModelGroups<L, Waveform, M, true, true>(slot, voices, frames, left, right);
    if (f.driven) return RenderModelGroups<L, Waveform, M, false, true>(slot, voices, frames, left, right);
  }
  if (f.cutoff.moves)
    RenderModelGroups<L, Waveform, M, true, false>(slot, voices, frames, left, right);
  else
    RenderModelGroups<L, Waveform, M, false, false>(slot, voices, frames, left, right);
}

// The slot through its waveform and filter model, where those are of Part: the
// engine's one dispatch of each.
template <class L, RunLanes::Part Part>
void RenderPart(RunLanes::Slot& slot, int voices, int frames, double* left, double* right)
{
  DispatchWave(OscWave(slot.osc.waveform), [&](auto wave) {
    if (!slot.filter.on)
    {
      if constexpr (RunLanes::PartOf(wave(), kFltOther) == Part)
        RenderGroups<L, wave(), NoFilterLanes<L>>(slot, 0, voices, frames, left, right);
      return;
    }
    DispatchFilterModel(FilterModel(slot.filter.model), [&](auto model) {
      if constexpr (RunLanes::PartOf(wave(), model()) == Part)
        RenderModel<L, wave(), model()>(slot, voices, frames, left, right);
    });
  });
}
}  // namespace
