#pragma once

// A model's state (its fields named once, in a template over their type: see
// filters/TransistorLadderMath.h) moved between the slot's rows of voices, one
// row per field, and a group of lanes. Internal to each file that includes it.
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"

#include <utility>

namespace
{
// The number of fields of state S: every field is a T.
template <template <class> class S>
constexpr int kStateFields = sizeof(S<double>) / sizeof(double);

// Lanes lane.. of every row, as the state's fields: one group of lanes per
// field, in their order (nested fields by brace elision).
template <template <class> class S, class L, std::size_t... I>
S<Lanes<L>> LoadStateOf(const double (*rows)[RunLanes::kMaxVoices], int lane, std::index_sequence<I...>)
{
  return S<Lanes<L>>{Lanes<L>::Load(rows[I] + lane)...};
}
template <template <class> class S, class L>
S<Lanes<L>> LoadState(const double (*rows)[RunLanes::kMaxVoices], int lane)
{
  static_assert(sizeof(S<Lanes<L>>) == kStateFields<S> * sizeof(Lanes<L>), "one group of lanes per field");
  return LoadStateOf<S, L>(rows, lane, std::make_index_sequence<kStateFields<S>>{});
}

// What a run changes back into its rows: the fields every run changes, and
// with a moving cutoff those it changes.
template <template <class> class S, class L>
void StoreState(const S<Lanes<L>>& state, double (*rows)[RunLanes::kMaxVoices], int lane, bool cutoffMoves)
{
  const Lanes<L>* fields = reinterpret_cast<const Lanes<L>*>(&state);
  constexpr int kRun = S<double>::kRunFields, kCutoff = S<double>::kCutoffFields;
#pragma GCC unroll 80
  for (int i = 0; i < kRun; ++i) fields[i].Store(rows[i] + lane);
  if (!cutoffMoves) return;
#pragma GCC unroll 80
  for (int i = kRun; i < kRun + kCutoff; ++i) fields[i].Store(rows[i] + lane);
}
}  // namespace
