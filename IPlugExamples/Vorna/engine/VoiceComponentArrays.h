#pragma once

#include "DCremove.h"
#include "Declicker.h"
#include "EngineSize.h"
#include "EnvelopeGenerator.h"
#include "filters/FilterContainer.h"
#include "filters/FilterModels.h"
#include "Oscillator.h"
#include "SoftLimiter.h"

#include <array>
#include <tuple>

// Every per-oscillator component of all 32 voices, built once with the engine.
// Element 2 x voice + oscillator of each array belongs to that voice's
// oscillator. Choosing a filter model only repoints a container at the
// element's preallocated object of that model.
struct VoiceComponentArrays
{
  static constexpr int kNumVoices = kEngineVoices;
  static constexpr int kNumOscs = kEngineOscs;
  static constexpr int kNumElements = kNumVoices * kNumOscs;

  static int Element(int voice, int osc) { return kNumOscs * voice + osc; }

  // One array of every model of the list.
  template <class List>
  struct ModelArrays;
  template <class... Models>
  struct ModelArrays<FilterModelList<Models...>>
  {
    std::tuple<std::array<Models, kNumElements>...> arrays;
  };
  // Declared before the generic lambda below that calls it: some compilers otherwise
  // leave the instantiation to a definition they never emit.
  template <class Model>
  std::array<Model, kNumElements>& ModelArray()
  {
    return std::get<std::array<Model, kNumElements>>(filterModels.arrays);
  }

  // The element's filter of model m; any unknown model is the biquad.
  FilterZK* Filter(int element, FilterModel m)
  {
    return DispatchFilterModel(m, [&](auto model) -> FilterZK* { return &ModelArray<FilterClassOf<model()>>()[element]; });
  }

  Oscillator oscillators[kNumElements];
  EnvelopeGenerator ampEnvelopes[kNumElements];
  FilterContainer filters[kNumElements];
  ModelArrays<EngineFilterModels> filterModels;
  SoftLimiter limiters[kNumElements];
  DCremove dcRemovers[kNumElements];
  Declicker declickers[kNumElements];
};
