#pragma once

#include "BiquadZK.h"
#include "DiodeLadderZDF.h"
#include "FilterZK.h"
#include "FormantFltZK.h"
#include "StateVariableZDF.h"
#include "TransistorLadderZDF.h"

#include <cstddef>
#include <type_traits>

// The engine's filter models in the order of their numbers: the one place a
// model number meets its class.
template <class... Models>
struct FilterModelList
{
  static constexpr std::size_t kCount = sizeof...(Models);

  // Each class carries the number it sits at.
  static constexpr bool InOrder()
  {
    int index = 0;
    return ((Models::kKind == index++) && ...);
  }
};

using EngineFilterModels =
  FilterModelList<StateVariableZDF, BiquadZK, FormantFltZK, TransistorLadderZDF, DiodeLadderZDF>;

static_assert(EngineFilterModels::kCount == kNumFilterModels, "every filter model has its class in the list");
static_assert(EngineFilterModels::InOrder(), "the list follows the model numbers");

template <class Model>
struct FilterModelTag
{
  using Type = Model;
};

namespace filter_models_detail
{
template <class Fn, class First, class... Rest>
decltype(auto) Dispatch(FilterModel m, Fn&& fn, FilterModelList<First, Rest...>)
{
  if constexpr (sizeof...(Rest) == 0)
    return fn(FilterModelTag<First>{});
  else
  {
    if (m == First::kKind) return fn(FilterModelTag<First>{});
    return Dispatch(m, fn, FilterModelList<Rest...>{});
  }
}
}  // namespace filter_models_detail

// Calls fn(FilterModelTag<Class>{}) with the class of model m; a number outside
// the list is the simple biquad.
template <class Fn>
decltype(auto) DispatchFilterModel(FilterModel m, Fn&& fn)
{
  if (m < 0 || m >= kNumFilterModels) m = kFltSimple;
  return filter_models_detail::Dispatch(m, fn, EngineFilterModels{});
}
