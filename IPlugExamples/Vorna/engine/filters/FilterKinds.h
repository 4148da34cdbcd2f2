#pragma once

// The engine's list of filter models and pass types, and the one dispatch from
// a model's number to code written for it: the frame-by-frame road takes each
// model's class from it (FilterModels.h), the runs of frames its lanes
// (lanes/FilterLanes.h). Plain enums and templates only, so that the files
// built for AVX2 can include it.
#include <type_traits>

// The filter models a voice's filter slot can point at. Any value other than
// reson, formant, t ladder and moog selects the simple biquad.
enum FilterModel
{
  kFltOther = -1,    // a filter from outside the engine's list, always called through its virtual table
  kFltReson = 0,     // "reson"    StateVariableZDF
  kFltSimple = 1,    // "simple"   BiquadZK
  kFltFormant = 2,   // "formant"  FormantFltZK
  kFltTLadder = 3,   // "t ladder" TransistorLadderZDF
  kFltMoog = 4,      // "moog"     DiodeLadderZDF
  kNumFilterModels = 5
};

enum FilterPassType
{
  kLP = 0,  // "LP"
  kBP = 1,  // "BP"
  kHP = 2,  // "HP"
  kP = 3,   // "P"  peak
  kBR = 4,  // "BR" band reject
  kNumFilterPassTypes = 5
};

template <FilterModel M>
using FilterModelConstant = std::integral_constant<FilterModel, M>;

namespace filter_kinds_detail
{
template <int I, class Fn>
decltype(auto) Dispatch(FilterModel m, Fn&& fn)
{
  if constexpr (I == kNumFilterModels - 1)
    return fn(FilterModelConstant<FilterModel(I)>{});
  else
  {
    if (m == I) return fn(FilterModelConstant<FilterModel(I)>{});
    return Dispatch<I + 1>(m, fn);
  }
}
}  // namespace filter_kinds_detail

// Calls fn(FilterModelConstant<M>{}) with model m as a constant; a number
// outside the list is the simple biquad.
template <class Fn>
decltype(auto) DispatchFilterModel(FilterModel m, Fn&& fn)
{
  if (m < 0 || m >= kNumFilterModels) m = kFltSimple;
  return filter_kinds_detail::Dispatch<0>(m, fn);
}
