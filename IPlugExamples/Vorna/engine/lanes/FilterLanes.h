#pragma once

// The filter stage of a run on lanes (docs/engine.md): the cutoff moved by its
// envelope and glide, and a model's maths on its own fields. Each model's lanes
// are built in a header of their own and listed by FilterLanesOf, which the
// run's one dispatch (DispatchFilterModel) reaches by the model's number.
// Internal to each file that includes it.
#include "filters/CutoffMath.h"
#include "filters/FilterKinds.h"
#include "lanes/ChainLanes.h"
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"
#include "lanes/StateLanes.h"

namespace
{
// The filter slot's cutoff moved by its envelope and its glide
// (FilterContainer's MoveCutoff without the shiver): the glide's step, the
// envelope's next value, the cutoff they give, and which lanes differ from the
// cutoff last sent (those the slot sends to its filter).
template <class L>
struct CutoffLanes
{
  using P = LanePolicy<L>;
  using V = Lanes<L>;
  using M = LaneMask<L>;
  EnvelopeLanes<L> envelope;
  V amount{}, base{}, sent{}, glideStep{};
  M envMoves{}, glideOn{}, wasModulated{};

  void Load(const RunLanes::CutoffRecord& c, int lane)
  {
    envelope.Load(c.envelope, lane);
    amount = V::Load(c.amount + lane);
    base = V::Load(c.base + lane);
    sent = V::Load(c.sent + lane);
    if (c.shivers) wasModulated = M::Load(c.wasModulated + lane);
    if (!c.glides && !c.shivers) return;
    envMoves = M::Load(c.envMoves + lane);
    glideOn = M::Load(c.glideOn + lane);
    glideStep = V::Load(c.glideStep + lane);
  }
  void Store(RunLanes::CutoffRecord& c, int lane) const
  {
    envelope.Store(c.envelope, lane);
    sent.Store(c.sent + lane);
    if (c.glides) base.Store(c.base + lane);
    if (c.shivers) wasModulated.Store(c.wasModulated + lane);
  }
  // The cutoff f of frame k, and the lanes whose filter is sent it: those whose
  // cutoff something moves, or moved on the frame before, where it changed.
  // General: the shiver may move it.
  template <bool General>
  M Next(const RunLanes::CutoffRecord& c, int k, int lane, V& f)
  {
    if (c.glides) base = P::Select(glideOn, base + glideStep, base);
    // Where the envelope does not move the cutoff it computes what is not read.
    f = CutoffMath<P>::EnvelopeCutoff(base, envelope.Next(), amount, c.minCutoff, c.maxCutoff);
    if (c.glides) f = P::Select(envMoves, f, base);
    // Without the shiver, every lane's cutoff moves by its envelope or glide:
    // it is sent wherever it changed.
    M send = f != sent;
    if (General && c.shivers)
    {
      const V shiver = V::Load(c.shiver + (c.shiverWalks ? k : 0) * RunLanes::kMaxVoices + lane);
      const M shivered = shiver != 0.0;
      f = P::Select(shivered, CutoffMath<P>::Shivered(f, shiver, c.minCutoff, c.maxCutoff), f);
      const M modulated = envMoves | shivered;
      send = (glideOn | modulated | wasModulated) & (f != sent);
      wasModulated = modulated;
    }
    sent = P::Select(send, f, sent);
    return send;
  }
};

// A filter model whose lanes hold its state S, kept in the slot's filter rows:
// Model supplies SetFreq(slot, changed, f), the cutoff's changes on the changed
// lanes, and Filter(slot, x), one sample.
template <class L, bool CutoffMoves, template <class> class S, class Model>
struct ModelLanes
{
  using V = Lanes<L>;
  CutoffLanes<L> cutoff;
  S<V> state;

  void Load(const RunLanes::Slot& s, int lane)
  {
    state = LoadState<S, L>(s.filter.fields, lane);
    if (CutoffMoves) cutoff.Load(s.filter.cutoff, lane);
  }
  void Store(RunLanes::Slot& s, int lane) const
  {
    StoreState<S, L>(state, s.filter.fields, lane, CutoffMoves);
    if (CutoffMoves) cutoff.Store(s.filter.cutoff, lane);
  }
  template <bool General>
  V Process(const RunLanes::Slot& s, int k, int lane, V x)
  {
    Model& model = static_cast<Model&>(*this);
    if constexpr (CutoffMoves)
    {
      V f;
      const LaneMask<L> changed = cutoff.template Next<General>(s.filter.cutoff, k, lane, f);
      if (LanePolicy<L>::Any(changed)) model.SetFreq(s, changed, f);
    }
    return model.Filter(s, x);
  }
};

// A slot whose filter is off.
template <class L>
struct NoFilterLanes
{
  void Load(const RunLanes::Slot&, int) {}
  void Store(RunLanes::Slot&, int) const {}
  template <bool General>
  Lanes<L> Process(const RunLanes::Slot&, int, int, Lanes<L> x)
  {
    return x;
  }
};

// The lanes of each filter model (filters/FilterKinds.h numbers them), its
// cutoff still or moving; Driven tells the formant filter that some voice
// drives it (kDrivenVariants: its lanes are built both ways).
template <class L, FilterModel Model, bool CutoffMoves, bool Driven>
struct FilterLanesOf;
}  // namespace
