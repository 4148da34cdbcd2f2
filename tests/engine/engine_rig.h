#pragma once

#include "VoiceManager.h"

#include <memory>

namespace engine_test
{
using Stage = EnvelopeGenerator::EnvelopeStage;
constexpr Stage kOff = EnvelopeGenerator::ENVELOPE_STAGE_OFF;
constexpr Stage kAttack = EnvelopeGenerator::ENVELOPE_STAGE_ATTACK;
constexpr Stage kDecay = EnvelopeGenerator::ENVELOPE_STAGE_DECAY;
constexpr Stage kSustain = EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN;
constexpr Stage kRelease = EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;

// An engine rendered frame by frame as the plug-in renders it. External inputs
// are silent unless a test sets them.
struct EngineRig
{
  static constexpr std::uint64_t kSeed = 12345;

  explicit EngineRig(std::uint64_t seed = kSeed) : engine(std::make_unique<VoiceManager>(seed))
  {
    // Short envelopes: 48-sample attack and decay, sustain 0.5, 480-sample release.
    for (int osc = 0; osc < 2; ++osc)
    {
      engine->SetOscEnvStageValue(osc, kAttack, 0.001);
      engine->SetOscEnvStageValue(osc, kDecay, 0.001);
      engine->SetOscEnvStageValue(osc, kSustain, 0.5);
      engine->SetOscEnvStageValue(osc, kRelease, 0.01);
    }
  }

  VoiceManager& E() { return *engine; }
  VoiceTables& T() { return engine->GetVoiceTables(); }
  Voice& V(int v) { return engine->GetVoice(v); }
  VoiceDataSingleton& D() { return engine->GetVoiceData(); }

  void Sample()
  {
    double* inputs[VoiceManager::kNumInputStreams] = {&fmIn[0], &fmIn[1], &amIn[0][0], &amIn[0][1], &amIn[1][0],
                                                      &amIn[1][1]};
    engine->RenderFrame(out, inputs, fmAuxEnv);
  }

  void Render(int samples)
  {
    for (int i = 0; i < samples; ++i) Sample();
  }

  void Press(int key, int velocity = 100) { T().OnNoteOn(key, velocity); }
  void Lift(int key) { T().OnNoteOff(key); }
  void Pedal(int kind, bool down) { T().OnTextureModifier(kind, down ? 1 : 0); }

  // The lowest active voice holding the key, or -1.
  int VoiceOf(int key)
  {
    for (int v = 0; v < VoiceTables::kNumVoices; ++v)
      if (T().IsActive(v) && V(v).GetNote() == key) return v;
    return -1;
  }

  int CountActive()
  {
    int n = 0;
    for (int v = 0; v < VoiceTables::kNumVoices; ++v) n += T().IsActive(v) ? 1 : 0;
    return n;
  }

  std::unique_ptr<VoiceManager> engine;
  double out[2] = {};
  double fmIn[2] = {};
  double amIn[2][2] = {};
  double fmAuxEnv[2] = {};
};
}  // namespace engine_test
