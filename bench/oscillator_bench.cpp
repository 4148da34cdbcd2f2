// Cost per oscillator sample at each oversampling factor, for the cheapest wave
// (saw), the sine and the dearest (polysaw), plain and with the phase bend on.
// Run with --benchmark_repetitions and read the medians.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "Oscillator.h"
#include "besselfilter.h"

namespace
{
constexpr int kBlockSize = 1024;

void BM_Oscillator(benchmark::State& state, OscWave wave, bool bend)
{
  const int N = static_cast<int>(state.range(0));
  WDL_BesselFilterCoeffs design;
  design.Calc(0.5 / std::max(2, N));
  Oscillator osc;
  osc.SetWave(wave);
  osc.SetPolysawMix(0.5);
  osc.SetOversamplingFilter(&design);
  osc.SetFrequency(220.0);
  if (bend) osc.SetBendExponent(3.7);
  osc.Reset();
  const double subStep = 1.0 / std::max(2, N);

  for (auto _ : state)
  {
    double sum = 0.0;
    // A slow FM keeps the increment moving, as under modulation.
    for (int i = 0; i < kBlockSize; ++i)
      sum += osc.NextSample(0.001 * (i & 63), N, subStep);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kBlockSize);
}

void OversamplingFactors(benchmark::internal::Benchmark* b)
{
  for (int N : {0, 4, 8, 16}) b->Arg(N);
}
}  // namespace

BENCHMARK_CAPTURE(BM_Oscillator, saw, kOscSaw, false)->Apply(OversamplingFactors);
BENCHMARK_CAPTURE(BM_Oscillator, sine, kOscSine, false)->Apply(OversamplingFactors);
BENCHMARK_CAPTURE(BM_Oscillator, polysaw, kOscPolysaw, false)->Apply(OversamplingFactors);
BENCHMARK_CAPTURE(BM_Oscillator, saw_bent, kOscSaw, true)->Apply(OversamplingFactors);

BENCHMARK_MAIN();
