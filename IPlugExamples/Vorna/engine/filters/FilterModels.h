#pragma once

#include "filters/BiquadZK.h"
#include "filters/DiodeLadderZDF.h"
#include "filters/FilterKinds.h"
#include "filters/FilterZK.h"
#include "filters/FormantFltZK.h"
#include "filters/StateVariableZDF.h"
#include "filters/TransistorLadderZDF.h"

#include <cstddef>
#include <utility>

// The class of each of the engine's filter models (FilterKinds.h numbers them):
// the one place a model number meets its class on the frame-by-frame road.
template <FilterModel M>
struct FilterModelClass;
template <>
struct FilterModelClass<kFltReson>
{
  using Type = StateVariableZDF;
};
template <>
struct FilterModelClass<kFltSimple>
{
  using Type = BiquadZK;
};
template <>
struct FilterModelClass<kFltFormant>
{
  using Type = FormantFltZK;
};
template <>
struct FilterModelClass<kFltTLadder>
{
  using Type = TransistorLadderZDF;
};
template <>
struct FilterModelClass<kFltMoog>
{
  using Type = DiodeLadderZDF;
};

template <FilterModel M>
using FilterClassOf = typename FilterModelClass<M>::Type;

// Every model's class, in the order of their numbers.
template <class... Models>
struct FilterModelList
{
  static constexpr std::size_t kCount = sizeof...(Models);
};

namespace filter_models_detail
{
template <int... I>
FilterModelList<FilterClassOf<FilterModel(I)>...> ClassesOf(std::integer_sequence<int, I...>);

template <int... I>
constexpr bool EachClassIsItsModel(std::integer_sequence<int, I...>)
{
  return ((FilterClassOf<FilterModel(I)>::kKind == FilterModel(I)) && ...);
}
}  // namespace filter_models_detail

using EngineFilterModels = decltype(filter_models_detail::ClassesOf(std::make_integer_sequence<int, kNumFilterModels>{}));

static_assert(filter_models_detail::EachClassIsItsModel(std::make_integer_sequence<int, kNumFilterModels>{}),
              "each class carries the number it is listed at");
