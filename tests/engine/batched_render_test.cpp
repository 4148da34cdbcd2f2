// The engine renders each stage across all sounding voices at once; a voice on
// its own renders through Voice::NextSample, the plain road that reads top to
// bottom. Both must give the same bits, frame after frame, in every patch.
#include "engine_rig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

using namespace engine_test;

namespace
{
// One frame the plain way: the frame's values prepared as RenderFrame prepares
// them, then every sounding voice's whole sample before the next voice starts.
void PlainFrame(EngineRig& rig, double* out)
{
  VoiceManager& e = rig.E();
  VoiceDataSingleton& d = rig.D();
  d.ClearSampleValues();
  if (d.noiseAmount[0] > 0.0 || d.noiseAmount[1] > 0.0)
  {
    for (double& n : d.noise) n = e.GetRandom().Next() / static_cast<double>(EngineRandom::kMax) * 2.0 - 1.0;
  }
  double* amInputs[2][2] = {{&rig.amIn[0][0], &rig.amIn[0][1]}, {&rig.amIn[1][0], &rig.amIn[1][1]}};
  for (int osc = 0; osc < 2; ++osc)
    if (d.oscOn[osc]) d.PrepareExtMixedSamplesForOsc(osc, amInputs[osc]);
  double* fmAux[2] = {&rig.fmIn[0], &rig.fmIn[1]};
  std::vector<int> sounding;
  for (int v = 0; v < VoiceManager::kNumVoices; ++v)
  {
    if (!rig.V(v).IsActive()) continue;
    rig.V(v).NextSample(d.buses, fmAux, rig.fmAuxEnv);
    sounding.push_back(v);
  }
  for (int v : sounding) rig.V(v).CheckIfDeactivate();
  for (int ch = 0; ch < 2; ++ch)
  {
    const double second = d.buses[1][ch] * d.mix[1];
    out[ch] = e.GetMasterLimiter().Process(d.buses[0][ch] * d.mix[0] + second) * e.GetOutputGain();
  }
  e.GetTuneShiver().Process();
  e.GetBendShiver().Process();
  e.GetCutoffShiver().Process();
  e.GetPanShiver().Process();
}

struct Patch
{
  const char* name;
  std::function<void(EngineRig&)> setup;
};

void Saws(EngineRig& rig, FilterModel model)
{
  for (int osc = 0; osc < 2; ++osc)
  {
    rig.E().SetOscWave(osc, osc == 0 ? kOscSaw : kOscSquare);
    rig.E().SetFltModel(osc, model);
    rig.E().SetFltFreq(osc, 900.0);
    rig.E().SetFltEnvAmnt(osc, 0.7);
    for (int v = 0; v < VoiceManager::kNumVoices; ++v)
    {
      rig.V(v).GetFilter(osc).SetResonance(0.6, false);
      rig.V(v).GetFilter(osc).SetDrive(0.7, false);
    }
  }
  rig.E().SetOscFreqRatio(1, 1.01);
}

const std::vector<Patch>& Patches()
{
  static const std::vector<Patch> patches = {
      {"default", [](EngineRig&) {}},
      {"reson", [](EngineRig& r) { Saws(r, kFltReson); }},
      {"simple", [](EngineRig& r) { Saws(r, kFltSimple); }},
      {"formant", [](EngineRig& r) { Saws(r, kFltFormant); }},
      {"t ladder", [](EngineRig& r) { Saws(r, kFltTLadder); }},
      {"moog", [](EngineRig& r) { Saws(r, kFltMoog); }},
      {"tri, sinc and polysaw, oversampled",
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscTri);
         r.E().SetOscWave(1, kOscSinc);
         r.E().SetOscOversampling(0, 1);
         r.E().SetOscOversampling(1, 2);
       }},
      {"polysaw unfiltered", [](EngineRig& r) {
         r.E().SetOscWave(0, kOscPolysaw);
         r.E().SetFilterOnOff(0, false);
         r.E().SetOscOnOff(1, false);
       }},
      {"modulated",
       [](EngineRig& r) {
         VoiceDataSingleton& d = r.D();
         d.noiseAmount[0] = 0.2;
         d.inputAmount[1] = 0.3;
         d.amDepth[1] = 0.5;
         d.fmAmount[0] = 0.4;
         d.fmSource[0] = VoiceDataSingleton::kFmFilter;
         d.fmAmount[1] = 0.2;
         d.fmSource[1] = VoiceDataSingleton::kFmEnvelope;
         d.oscAmAmount[0] = 0.5;
         d.oscAmThreshold[0].Set(0.3);
         d.addExtToOscAm[0] = true;
         d.hardSyncMaster = 2;
         d.hardSyncPeriod = 2;
         d.hardSyncSoftLength = 20;
         r.E().SetDCRemoval(1, true);
         r.E().GetTuneShiver().SetAmount(0, 0.5);
         r.E().GetBendShiver().SetAmount(1, 0.6);
         r.E().GetPanShiver().SetAmount(0, 0.5);
         r.E().GetCutoffShiver().SetAmount(0, 0.4);
         r.amIn[1][0] = 0.25;
         r.amIn[1][1] = -0.5;
         r.fmIn[0] = 0.3;
       }},
  };
  return patches;
}
}  // namespace

TEST(BatchedRender, EveryFrameMatchesThePlainVoiceByVoiceRoad)
{
  for (const Patch& patch : Patches())
  {
    EngineRig batched, plain;
    for (EngineRig* rig : {&batched, &plain})
    {
      patch.setup(*rig);
      rig->T().SetMaxNumOfActiveVoices(VoiceManager::kNumVoices);
      for (int k = 0; k < 12; ++k) rig->Press(36 + 3 * k, 60 + 5 * k);
    }
    int differing = 0;
    int wrongMasks = 0;  // frames whose mask of sounding voices disagreed with the voices
    long firstDifference = -1;
    double peak = 0.0;
    for (long i = 0; i < 4000; ++i)
    {
      if (i == 1500)  // voices go into release and fall silent while the others play
      {
        for (int k = 0; k < 12; k += 3)
        {
          batched.Lift(36 + 3 * k);
          plain.Lift(36 + 3 * k);
        }
      }
      double expected[2];
      batched.Sample();
      PlainFrame(plain, expected);
      peak = std::max(peak, std::fabs(batched.out[0]));
      std::uint32_t expectedMask = 0;
      for (int v = 0; v < VoiceManager::kNumVoices; ++v)
        if (batched.V(v).IsActive()) expectedMask |= std::uint32_t(1) << v;
      if (batched.D().soundingVoices != expectedMask) ++wrongMasks;
      if (std::memcmp(batched.out, expected, sizeof(expected)) != 0)
      {
        if (firstDifference < 0) firstDifference = i;
        ++differing;
      }
    }
    EXPECT_EQ(differing, 0) << patch.name << ": first at frame " << firstDifference;
    EXPECT_EQ(wrongMasks, 0) << patch.name;
    EXPECT_GT(peak, 1e-3) << patch.name;  // a silent patch proves nothing
    EXPECT_EQ(batched.CountActive(), plain.CountActive()) << patch.name;
  }
}
