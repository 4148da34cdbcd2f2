#pragma once

// The oscillators' waveforms and the one dispatch from a waveform's number to
// code written for it, which both roads take (docs/engine.md). Plain enums and
// templates only, so that the files built for AVX2 can include it.
#include <type_traits>

enum OscWave
{
  kOscSine = 0,     // "sine"
  kOscSaw = 1,      // "saw"
  kOscSquare = 2,   // "square"
  kOscTri = 3,      // "tri"
  kOscSinc = 4,     // "sinc"
  kOscPolysaw = 5,  // "polysaw"
  kNumOscWaves = 6
};

namespace osc_waves_detail
{
template <int I, class Fn>
decltype(auto) Dispatch(OscWave w, Fn&& fn)
{
  if constexpr (I == kNumOscWaves)
    return fn(std::integral_constant<OscWave, kOscSine>{});
  else
  {
    if (w == I) return fn(std::integral_constant<OscWave, OscWave(I)>{});
    return Dispatch<I + 1>(w, fn);
  }
}
}  // namespace osc_waves_detail

// Calls fn(std::integral_constant<OscWave, W>{}) with the wave w as a constant:
// the one place a wave number becomes its waveform's code, for every number up
// to kNumOscWaves. Any other number is the sine.
template <class Fn>
decltype(auto) DispatchWave(OscWave w, Fn&& fn)
{
  return osc_waves_detail::Dispatch<kOscSine + 1>(w, fn);
}

