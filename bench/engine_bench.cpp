// Cost of the engine per voice-sample: 32 held voices rendered through the
// plug-in's per-sample loop (mixing values, engine sample, shivers), for a
// plain patch, a heavy patch and each oversampling factor. The counter
// "voice_sample" is the time of one voice for one output sample (both of its
// oscillators). Run with --benchmark_repetitions and read the medians.
#include <benchmark/benchmark.h>

#include <memory>

#include "DenormalGuard.h"
#include "VoiceManager.h"

namespace
{
constexpr int kVoices = 32;
constexpr int kBlock = 480;  // 10 ms at 48 kHz
constexpr int kSettle = 4800;

enum Patch
{
  kPlain,  // two saws, each through the "simple" biquad low-pass
  kHeavy   // two saws, each through a driven transistor ladder with its envelope
};

struct Engine
{
  explicit Engine(Patch patch, int oversampling) : e(std::make_unique<VoiceManager>(1))
  {
    for (int osc = 0; osc < 2; ++osc)
    {
      e->SetOscWave(osc, kOscSaw);
      e->SetFltFreq(osc, 2000.0);
      e->SetOscOversampling(osc, oversampling);
      if (patch == kHeavy)
      {
        e->SetFltModel(osc, kFltTLadder);
        e->SetFltEnvAmnt(osc, 0.8);
        e->SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN, 0.7);
        for (int v = 0; v < kVoices; ++v)
        {
          FilterContainer& f = e->GetVoice(v).GetFilter(osc);
          f.SetDrive(0.8, false);
          f.SetResonance(0.6, false);
          f.SetEnvStageValue(EnvelopeGenerator::ENVELOPE_STAGE_DECAY, 5.0, false);
          f.SetEnvStageValue(EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN, 0.3, false);
        }
      }
    }
    e->SetOscFreqRatio(1, 1.01);
    for (int v = 0; v < kVoices; ++v) e->GetVoiceTables().OnNoteOn(36 + v * 2, 100);
    Render(kSettle);
  }

  void Render(int samples)
  {
    VoiceDataSingleton& d = e->GetVoiceData();
    double* fmAux[2] = {&silence, &silence};
    for (int i = 0; i < samples; ++i)
    {
      d.ClearSampleValues();
      e->NextSample(out, fmAux, fmAuxEnv);
      e->GetTuneShiver().Process();
      e->GetBendShiver().Process();
      e->GetCutoffShiver().Process();
      e->GetPanShiver().Process();
    }
  }

  std::unique_ptr<VoiceManager> e;
  double out[2] = {};
  double silence = 0.0;
  double fmAuxEnv[2] = {};
};

void Run(benchmark::State& state, Patch patch, int oversampling)
{
  DenormalGuard guard;
  Engine engine(patch, oversampling);
  for (auto _ : state)
  {
    engine.Render(kBlock);
    benchmark::DoNotOptimize(engine.out);
  }
  state.counters["voice_sample"] = benchmark::Counter(
    static_cast<double>(kVoices) * kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["active"] = engine.e->GetVoiceTables().GetActiveCount();
}

void BM_Plain(benchmark::State& state)
{
  Run(state, kPlain, 0);
}
void BM_Heavy(benchmark::State& state)
{
  Run(state, kHeavy, 0);
}
// Argument: the oversampling setting, 0 (off), 1 (x4), 2 (x8), 3 (x16).
void BM_PlainOversampled(benchmark::State& state)
{
  Run(state, kPlain, static_cast<int>(state.range(0)));
}
}  // namespace

BENCHMARK(BM_Plain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Heavy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainOversampled)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
