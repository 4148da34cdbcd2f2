#pragma once

// A model's state (its fields named once, in a template over their type: see
// filters/TransistorLadderMath.h) moved between the slot's rows of voices, one
// row per field, and a group of lanes. Internal to each file that includes it.
#include "lanes/LanePolicy.h"
#include "lanes/RunLanes.h"

#include <array>
#include <bit>

namespace
{
// The number of fields of state S: every field is a T.
template <template <class> class S>
constexpr int kStateFields = sizeof(S<double>) / sizeof(double);

// Lanes lane.. of every row, as the state's fields.
template <template <class> class S, class L>
S<Lanes<L>> LoadState(const double (*rows)[RunLanes::kMaxVoices], int lane)
{
  constexpr int n = kStateFields<S>;
  static_assert(sizeof(S<Lanes<L>>) == n * sizeof(Lanes<L>), "one group of lanes per field");
  std::array<Lanes<L>, n> fields;
  for (int i = 0; i < n; ++i) fields[i] = Lanes<L>::Load(rows[i] + lane);
  return std::bit_cast<S<Lanes<L>>>(fields);
}

// Every field back into its row: those that did not change as they were.
template <template <class> class S, class L>
void StoreState(const S<Lanes<L>>& state, double (*rows)[RunLanes::kMaxVoices], int lane)
{
  constexpr int n = kStateFields<S>;
  const auto fields = std::bit_cast<std::array<Lanes<L>, n>>(state);
  for (int i = 0; i < n; ++i) fields[i].Store(rows[i] + lane);
}
}  // namespace
