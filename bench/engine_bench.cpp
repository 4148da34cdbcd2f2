// Cost of the engine, rendered frame by frame as the plug-in renders it, with
// held notes 24 + 2k at velocity 100.
//
// Two kinds of figure per run: "voice_sample", the time of one voice for one
// output sample (both of its oscillators), and "rtf", the real-time factor at
// 48 kHz (audio seconds rendered per CPU second). The patches are those the
// performance targets name; the default sound is approximated from the
// parameter defaults (render-bench measures it through the plug-in itself).
// The filter envelopes here stay in their attack and decay, so an enveloped
// cutoff moves on every sample: the dearest case of those patches.
// Run with --benchmark_repetitions and read the medians.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <memory>

#include "DenormalGuard.h"
#include "VoiceManager.h"
#include "render_patterns.h"

namespace
{
constexpr int kBlock = 480;  // 10 ms at 48 kHz
constexpr int kSettle = 4800;
// render-bench's chord and rate.
constexpr double kSampleRate = render_patterns::kSampleRate;
using render_patterns::kKeyStep;
using render_patterns::kLowestKey;
using render_patterns::kVelocity;

enum Patch
{
  kDefault,  // the parameter defaults: two sines, each through the "simple" low-pass at 11 kHz
  kPlain,    // two saws, each through the "simple" biquad low-pass
  kTypical,  // two saws, each through the "reson" low-pass swept by its envelope
  kLadder,   // two saws, each through a driven transistor ladder with its envelope
  kMoog      // two saws, each through a driven diode ladder with its envelope
};

using Stage = EnvelopeGenerator::EnvelopeStage;

void SetFilter(VoiceManager& e, int osc, FilterModel model, double hz, double resonance, double drive,
               double envAmount)
{
  e.SetFltModel(osc, model);
  e.SetFltFreq(osc, hz);
  e.SetFltEnvAmnt(osc, envAmount);
  for (int v = 0; v < VoiceManager::kNumVoices; ++v)
  {
    FilterContainer& f = e.GetVoice(v).GetFilter(osc);
    f.SetDrive(drive, false);
    f.SetResonance(resonance, false);
    f.SetEnvStageValue(EnvelopeGenerator::ENVELOPE_STAGE_DECAY, 5.0, false);
    f.SetEnvStageValue(EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN, 0.3, false);
  }
}

void SetupPatch(VoiceManager& e, Patch patch, int oversampling)
{
  for (int osc = 0; osc < 2; ++osc)
  {
    e.SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_ATTACK, 0.03);
    e.SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_DECAY, 0.01);
    e.SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN, 0.8);
    e.SetOscEnvStageValue(osc, EnvelopeGenerator::ENVELOPE_STAGE_RELEASE, 0.1);
    e.SetOscOversampling(osc, oversampling);
    if (patch != kDefault) e.SetOscWave(osc, kOscSaw);
    switch (patch)
    {
      case kDefault: SetFilter(e, osc, kFltSimple, 11000.0, 0.0, 0.0, 0.0); break;
      case kPlain: SetFilter(e, osc, kFltSimple, 2000.0, 0.0, 0.0, 0.0); break;
      case kTypical: SetFilter(e, osc, kFltReson, 1000.0, 0.5, 0.0, 0.6); break;
      case kLadder: SetFilter(e, osc, kFltTLadder, 1000.0, 0.6, 0.8, 0.8); break;
      case kMoog: SetFilter(e, osc, kFltMoog, 1000.0, 0.6, 0.8, 0.8); break;
    }
  }
  if (patch != kDefault) e.SetOscFreqRatio(1, 1.01);
}

struct Engine
{
  Engine(Patch patch, int voices, int oversampling) : e(std::make_unique<VoiceManager>(1))
  {
    SetupPatch(*e, patch, oversampling);
    e->GetVoiceTables().SetMaxNumOfActiveVoices(voices);
    for (int v = 0; v < voices; ++v) e->GetVoiceTables().OnNoteOn(kLowestKey + kKeyStep * v, kVelocity);
    Render(kSettle);
  }

  // The plug-in's loop around the engine; it skips the engine while no voice sounds.
  void Render(int samples)
  {
    VoiceTables& tables = e->GetVoiceTables();
    double* inputs[VoiceManager::kNumInputStreams];
    for (double*& in : inputs) in = silence;
    for (int i = 0; i < samples;)
      i += tables.GetActiveCount() > 0 ? e->RenderFrames(left, right, std::min(samples - i, kRun), inputs, fmAuxEnv) : 1;
  }

  static constexpr int kRun = 64;
  std::unique_ptr<VoiceManager> e;
  double left[kRun] = {};
  double right[kRun] = {};
  double silence[kRun] = {};
  double fmAuxEnv[2] = {};
};

void Run(benchmark::State& state, Patch patch, int voices, int oversampling)
{
  DenormalGuard guard;
  Engine engine(patch, voices, oversampling);
  for (auto _ : state)
  {
    engine.Render(kBlock);
    benchmark::DoNotOptimize(engine.left);
  }
  state.counters["voice_sample"] = benchmark::Counter(
    static_cast<double>(voices) * kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["rtf"] = benchmark::Counter(kBlock / kSampleRate, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["active"] = engine.e->GetVoiceTables().GetActiveCount();
}

// Argument: the oversampling setting, 0 (off), 1 (x4), 2 (x8), 3 (x16).
void BM_PlainOversampled(benchmark::State& state)
{
  Run(state, kPlain, 32, static_cast<int>(state.range(0)));
}

// The targets. Argument: held notes.
void BM_DefaultSound(benchmark::State& state)
{
  Run(state, kDefault, static_cast<int>(state.range(0)), 0);
}
void BM_TypicalReson(benchmark::State& state)
{
  Run(state, kTypical, 32, 0);
}
void BM_LadderDriven(benchmark::State& state)
{
  Run(state, kLadder, 32, 0);
}
void BM_MoogDriven(benchmark::State& state)
{
  Run(state, kMoog, 32, 0);
}
void BM_Oversampled16(benchmark::State& state)
{
  Run(state, kPlain, 8, 3);
}
}  // namespace

BENCHMARK(BM_PlainOversampled)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DefaultSound)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypicalReson)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LadderDriven)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoogDriven)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Oversampled16)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
