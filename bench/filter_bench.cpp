// Cost per sample of each filter model, with the cutoff held and with the
// cutoff moving every sample (as under an envelope, glide or shiver), with
// drive off and fully on. Run with --benchmark_repetitions and read the medians.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "filters/BiquadZK.h"
#include "filters/DiodeLadderZDF.h"
#include "filters/FilterZK.h"
#include "filters/FormantFltZK.h"
#include "filters/StateVariableZDF.h"
#include "filters/TransistorLadderZDF.h"

namespace
{
constexpr int kBlockSize = 1024;

struct Models
{
  StateVariableZDF reson;
  BiquadZK simple;
  FormantFltZK formant;
  TransistorLadderZDF tLadder;
  DiodeLadderZDF moog;

  FilterZK& Get(FilterModel model)
  {
    switch (model)
    {
      case kFltReson: return reson;
      case kFltFormant: return formant;
      case kFltTLadder: return tLadder;
      case kFltMoog: return moog;
      case kFltSimple:
      case kFltOther:
      case kNumFilterModels: break;
    }
    return simple;
  }
};

std::vector<double> Noise()
{
  std::vector<double> noise(kBlockSize);
  unsigned state = 1;
  for (double& x : noise)
  {
    state = state * 1664525u + 1013904223u;
    x = static_cast<double>(state) / 2147483648.0 - 1.0;
  }
  return noise;
}

// An exponential sweep from 100 Hz to 10 kHz and back over one block.
std::vector<double> Sweep()
{
  std::vector<double> cutoffs(kBlockSize);
  for (int n = 0; n < kBlockSize; ++n)
  {
    const double position = n < kBlockSize / 2 ? 2.0 * n / kBlockSize : 2.0 - 2.0 * n / kBlockSize;
    cutoffs[n] = 100.0 * std::pow(100.0, position);
  }
  return cutoffs;
}

void BM_Filter(benchmark::State& state, FilterModel model)
{
  const bool moving = state.range(0) != 0;
  const double drive = static_cast<double>(state.range(1));
  static const std::vector<double> noise = Noise();
  static const std::vector<double> cutoffs = Sweep();

  Models models;
  FilterZK& filter = models.Get(model);
  filter.SetPassType(kLP);
  filter.Reset();
  filter.SetFreq(1000.0);
  filter.SetResonance(0.5);
  filter.SetDrive(drive);
  filter.SetAdditionalParam(0.0);

  double sum = 0.0;
  for (auto _ : state)
  {
    if (moving)
    {
      for (int n = 0; n < kBlockSize; ++n)
      {
        filter.SetFreq(cutoffs[n]);
        sum += filter.Process(noise[n]);
      }
    }
    else
    {
      for (int n = 0; n < kBlockSize; ++n)
        sum += filter.Process(noise[n]);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["per_sample"] =
    benchmark::Counter(kBlockSize, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Variants(benchmark::internal::Benchmark* b)
{
  b->ArgNames({"moving", "drive"});
  for (int moving : {0, 1})
    for (int drive : {0, 1})
      b->Args({moving, drive});
}
}  // namespace

BENCHMARK_CAPTURE(BM_Filter, reson, kFltReson)->Apply(Variants);
BENCHMARK_CAPTURE(BM_Filter, simple, kFltSimple)->Apply(Variants);
BENCHMARK_CAPTURE(BM_Filter, formant, kFltFormant)->Apply(Variants);
BENCHMARK_CAPTURE(BM_Filter, t_ladder, kFltTLadder)->Apply(Variants);
BENCHMARK_CAPTURE(BM_Filter, moog, kFltMoog)->Apply(Variants);

BENCHMARK_MAIN();
