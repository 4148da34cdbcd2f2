// A run of frames renders the sounding voices side by side in one pass; it must
// sound the bits of the same frames rendered one by one, through every stage
// change, release, deactivation and setting change that ends or forbids a run.
#include "engine_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace engine_test;

namespace
{
constexpr int kFrames = 3000;

struct Patch
{
  const char* name;
  int notes;
  std::function<void(EngineRig&)> setup;
  // Called at frame 1000 and 1800; may change settings that stop runs.
  std::function<void(EngineRig&, int frame)> change;
};

void NoChange(EngineRig&, int) {}

// A patch that switches one thing that forbids runs on at frame 1000 and off at 1800.
Patch Condition(const char* name, std::function<void(EngineRig&, bool on)> set)
{
  return {name, 8, [](EngineRig&) {}, [set](EngineRig& r, int frame) { set(r, frame == 1000); }};
}

// Calls fn(voice) for every sounding voice.
void EachActive(EngineRig& r, const std::function<void(Voice&)>& fn)
{
  for (int v = 0; v < VoiceManager::kNumVoices; ++v)
    if (r.T().IsActive(v)) fn(r.V(v));
}

// Both slots' waveform w through filter model m of pass type t, its cutoff
// swept by the filter envelope (amount > 0 up from the cutoff, < 0 down along
// the quartic curve), with resonance and drive.
Patch SweptFilter(const char* name, OscWave w, FilterModel m, FilterPassType t, double amount, int notes = 10)
{
  return {name, notes,
          [=](EngineRig& r) {
            for (int osc = 0; osc < 2; ++osc)
            {
              r.E().SetOscWave(osc, w);
              r.E().SetFltModel(osc, m);
              r.E().SetFltPassType(osc, t);
              r.E().SetFltFreq(osc, 1500.0);
              r.E().SetFltEnvAmnt(osc, amount);
              for (int v = 0; v < VoiceManager::kNumVoices; ++v)
              {
                FilterContainer& f = r.V(v).GetFilter(osc);
                f.SetResonance(0.7, false);
                // The ladders' input gain, the reson's and the biquad's
                // saturation, the formant's saturated path (on every other
                // voice of the first slot, beside voices without it).
                if (m != kFltFormant || (osc == 0 && v % 2 == 0)) f.SetDrive(0.3, false);
                // Formants shifted up far enough to fold below the mirror.
                if (m == kFltFormant) f.SetAdditionalParam(-0.9, false);
                f.SetEnvStageValue(kAttack, 0.01, false);
                f.SetEnvStageValue(kDecay, 0.02, false);
                f.SetEnvStageValue(kSustain, 0.3, false);
                f.SetEnvStageValue(kRelease, 0.015, false);
              }
            }
            r.E().SetOscFreqRatio(1, 1.5);
          },
          [=](EngineRig& r, int frame) {
            // The formant's undriven voices take the drive late, from the
            // filters they kept while their neighbours drove theirs.
            if (m == kFltFormant && frame == 1800)
              EachActive(r, [](Voice& v) { v.GetFilter(0).SetDrive(0.3, true); });
          }};
}

// Every filter model the runs take, each pass type with its own waveform and sweep.
std::vector<Patch> SweptFilterPatches()
{
  struct Sweep
  {
    OscWave wave;
    FilterPassType pass;
    double amount;
    const char* what;
  };
  const Sweep sweeps[] = {{kOscSaw, kLP, 0.6, "saws, swept low-pass"},
                          {kOscSquare, kBP, -0.7, "squares, swept down band-pass"},
                          {kOscTri, kHP, 0.4, "triangles, swept high-pass"},
                          {kOscSaw, kP, -0.5, "saws, swept down peak"},
                          {kOscSine, kBR, 0.8, "sines, swept band reject"}};
  const std::pair<FilterModel, const char*> models[] = {
      {kFltSimple, "simple"}, {kFltReson, "reson"}, {kFltTLadder, "t ladder"}, {kFltMoog, "moog"},
      {kFltFormant, "formant"}};
  static_assert(std::size(models) == kNumFilterModels, "every model is swept");
  // The names outlive the patches, which point at them.
  static std::deque<std::string> names;
  std::vector<Patch> patches;
  for (auto [model, modelName] : models)
    for (const Sweep& sweep : sweeps)
    {
      names.push_back(std::string(sweep.what) + ", " + modelName);
      patches.push_back(SweptFilter(names.back().c_str(), sweep.wave, model, sweep.pass, sweep.amount));
    }
  // The ladders' voices go several groups of lanes to one value where they
  // fill them: counts that make one, two and values of each width with groups
  // left over.
  for (auto [model, modelName] : {models[2], models[3]})
    for (int notes : {5, 13, 22, 31})
    {
      names.push_back(std::string("saws, swept low-pass, ") + modelName + ", " + std::to_string(notes) + " voices");
      patches.push_back(SweptFilter(names.back().c_str(), kOscSaw, model, kLP, 0.6, notes));
    }
  return patches;
}

// Each condition that keeps a voice or the engine off the runs, alone.
std::vector<Patch> ConditionPatches()
{
  std::vector<Patch> patches = {
      Condition("tune shiver", [](EngineRig& r, bool on) { r.E().GetTuneShiver().SetAmount(0, on ? 0.4 : 0.0); }),
      Condition("bend shiver", [](EngineRig& r, bool on) { r.E().GetBendShiver().SetAmount(1, on ? 0.5 : 0.0); }),
      Condition("cutoff shiver",
                [](EngineRig& r, bool on) { r.E().GetCutoffShiver().SetAmount(0, on ? 0.5 : 0.0); }),
      Condition("pan shiver", [](EngineRig& r, bool on) { r.E().GetPanShiver().SetAmount(1, on ? 0.5 : 0.0); }),
      Condition("noise", [](EngineRig& r, bool on) { r.D().noiseAmount[0] = on ? 0.3 : 0.0; }),
      Condition("input",
                [](EngineRig& r, bool on) {
                  r.D().inputAmount[1] = on ? 0.3 : 0.0;
                  r.D().amDepth[1] = 0.5;
                  r.amIn[1][0] = 0.25;
                }),
      Condition("FM from the other oscillator", [](EngineRig& r, bool on) { r.D().fmAmount[1] = on ? 0.3 : 0.0; }),
      Condition("oversampling", [](EngineRig& r, bool on) { r.E().SetOscOversampling(0, on ? 1 : 0); }),
      Condition("feedback", [](EngineRig& r, bool on) { r.D().feedback[1] = on ? 0.3 : 0.0; }),
      Condition("oscillator AM",
                [](EngineRig& r, bool on) {
                  r.D().oscAmAmount[0] = on ? 0.5 : 0.0;
                  r.D().oscAmThreshold[0].Set(0.1);
                }),
      Condition("hard sync", [](EngineRig& r, bool on) { r.D().hardSyncMaster = on ? 2 : 0; }),
      Condition("frequency and velocity glide",
                [](EngineRig& r, bool on) {
                  EachActive(r, [on](Voice& v) {
                    v.SetFrequencyAndVelocityGlide(v.GetNote() + (on ? 2 : -2), on ? 60.0 : 110.0, 300.0);
                  });
                }),
      Condition("velocity glide",
                [](EngineRig& r, bool on) {
                  EachActive(r, [on](Voice& v) { v.SetVelocityGlide(on ? 60.0 : 110.0, 300.0); });
                }),
      Condition("bent phase", [](EngineRig& r, bool on) { EachActive(r, [on](Voice& v) { v.SetBend(0, on ? 2.0 : 1.0); }); }),
      Condition("voice declick after a filter switch", [](EngineRig& r, bool on) { r.E().SetFilterOnOff(1, !on); }),
      Condition("cutoff glide with key tracking", [](EngineRig& r, bool on) { r.E().SetFltFollowNote(0, on ? 1.0 : 0.0); }),
      Condition("filter envelope", [](EngineRig& r, bool on) { r.E().SetFltEnvAmnt(0, on ? 0.5 : 0.0); }),
      Condition("drive",
                [](EngineRig& r, bool on) {
                  EachActive(r, [on](Voice& v) { v.GetFilter(1).SetDrive(on ? 0.5 : 0.0, true); });
                }),
  };
  const std::pair<OscWave, const char*> waves[] = {
      {kOscSaw, "saw"}, {kOscSquare, "square"}, {kOscTri, "tri"}, {kOscSinc, "sinc"}, {kOscPolysaw, "polysaw"}};
  static_assert(std::size(waves) == kNumOscWaves - 1, "every waveform but the sine, which the others start from");
  for (auto [w, name] : waves)
    patches.push_back(Condition(name, [w](EngineRig& r, bool on) { r.E().SetOscWave(0, on ? w : kOscSine); }));
  const std::pair<FilterModel, const char*> models[] = {
      {kFltReson, "reson"}, {kFltFormant, "formant"}, {kFltTLadder, "t ladder"}, {kFltMoog, "moog"}};
  static_assert(std::size(models) == kNumFilterModels - 1, "every model but the simple, which the others start from");
  for (auto [m, name] : models)
    patches.push_back(Condition(name, [m](EngineRig& r, bool on) { r.E().SetFltModel(0, on ? m : kFltSimple); }));
  return patches;
}

std::vector<Patch> DefaultAndFmPatches()
{
  return {
      {"default, one voice", 1, [](EngineRig&) {}, NoChange},
      {"default, five voices", 5, [](EngineRig&) {}, NoChange},
      {"default, every voice", 31, [](EngineRig& r) { r.T().SetMaxNumOfActiveVoices(VoiceManager::kNumVoices); },
       NoChange},
      {"dc removers, resonance and a detuned second oscillator", 12,
       [](EngineRig& r) {
         for (int osc = 0; osc < 2; ++osc)
         {
           r.E().SetDCRemoval(osc, true);
           for (int v = 0; v < VoiceManager::kNumVoices; ++v) r.V(v).GetFilter(osc).SetResonance(0.95, false);
           r.E().SetFltFreq(osc, 300.0);
         }
         r.E().SetOscFreqRatio(1, 1.5);
         r.D().volume[0] = 3.0;  // into the limiters
       },
       NoChange},
      {"first filter off, second oscillator off", 3,
       [](EngineRig& r) {
         r.E().SetFilterOnOff(0, false);
         r.E().SetOscOnOff(1, false);
       },
       NoChange},
      {"carrier through the filter", 7, [](EngineRig& r) { r.D().carrierFilter[0] = true; }, NoChange},
      {"noise, inputs and FM from the input, with runs before and after", 6, [](EngineRig&) {},
       [](EngineRig& r, int frame) {
         const double on = frame == 1000 ? 1.0 : 0.0;
         VoiceDataSingleton& d = r.D();
         d.noiseAmount[0] = 0.2 * on;
         d.inputAmount[1] = 0.3 * on;
         d.amDepth[1] = 0.5;
         d.fmAmount[0] = 0.4 * on;
         d.fmSource[0] = VoiceDataSingleton::kFmAux;
       }},
      {"strong FM into the first slot from the second's sample, wrapping the phase both ways", 8,
       [](EngineRig& r) {
         r.D().fmAmount[0] = 8.0;  // clamped at 20 on loud samples
         r.E().SetOscWave(1, kOscSaw);
       },
       NoChange},
      {"FM into the second slot from the first's filtered sample, both swept", 8,
       [](EngineRig& r) {
         r.D().fmAmount[1] = 1.5;
         r.D().fmSource[1] = VoiceDataSingleton::kFmFilter;
         r.E().SetFltEnvAmnt(0, 0.5);
         r.E().SetFltEnvAmnt(1, -0.5);
       },
       NoChange},
      {"FM from the second slot's sample times its envelope", 8,
       [](EngineRig& r) {
         r.D().fmAmount[0] = 3.0;
         r.D().fmSource[0] = VoiceDataSingleton::kFmEnvelope;
         r.E().SetOscWave(0, kOscSquare);
       },
       NoChange},
      {"FM both ways, the first slot's filtered saw into a swept t ladder's sample, oversampled", 8,
       [](EngineRig& r) {
         r.D().fmAmount[0] = 2.0;
         r.D().fmAmount[1] = 0.8;
         r.D().fmSource[1] = VoiceDataSingleton::kFmFilter;
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetFltModel(1, kFltTLadder);
         r.E().SetFltEnvAmnt(1, 0.5);
         r.E().SetOscOversampling(1, 1);
         r.E().SetOscFreqRatio(1, 1.41);
       },
       NoChange},
      {"FM into a hard sync's master and oscillator AM of its slave, both FM sources times their envelopes", 8,
       [](EngineRig& r) {
         r.D().hardSyncMaster = 1;
         r.D().oscAmAmount[1] = 0.5;
         r.D().fmAmount[0] = 1.5;
         r.D().fmSource[0] = VoiceDataSingleton::kFmEnvelope;
         r.D().fmAmount[1] = 0.6;
         r.D().fmSource[1] = VoiceDataSingleton::kFmEnvelope;
         r.E().SetOscWave(1, kOscSquare);
         r.E().SetOscFreqRatio(1, 2.2);
         r.D().feedback[0] = 0.4;
       },
       NoChange},
  };
}

std::vector<Patch> AmAndGlidePatches()
{
  return {
      {"oscillator AM both ways, the first slot's through its filter, under FM both ways", 8,
       [](EngineRig& r) {
         r.D().oscAmAmount[0] = 0.7;
         r.D().oscAmThreshold[0].Set(0.1);
         r.D().carrierFilter[0] = true;
         r.D().oscAmAmount[1] = 0.9;
         r.D().oscAmThreshold[1].Set(0.3);
         r.D().addExtToOscAm[1] = true;
         r.D().fmAmount[0] = 0.5;
         r.D().fmAmount[1] = 0.3;
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscFreqRatio(1, 0.61);
         for (int v = 0; v < VoiceManager::kNumVoices; ++v) r.V(v).SetOscAmModulatorTap(1, true);
       },
       NoChange},
      {"oscillator AM of a hard sync's master by its slave, added to the master's output", 8,
       [](EngineRig& r) {
         r.D().hardSyncMaster = 2;
         r.D().oscAmAmount[1] = 0.8;
         r.D().oscAmThreshold[1].Set(0.2);
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscFreqRatio(0, 1.7);
       },
       NoChange},
      {"one voice gliding its pitch and velocity from key to key, a saw frequency-modulated by a square", 8,
       [](EngineRig& r) {
         r.T().mMode = VoiceTables::kMono;
         r.T().mFreshStart = true;
         r.T().mGlideTime = 700.0;
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscWave(1, kOscSquare);
         r.D().fmAmount[0] = 0.4;
         r.E().SetFltEnvAmnt(0, 0.4);
       },
       NoChange},
      {"one voice gliding, both filters following the key: a t ladder swept by its envelope, a formant by the glide alone", 8,
       [](EngineRig& r) {
         r.T().mMode = VoiceTables::kMono;
         r.T().mFreshStart = true;
         r.T().mGlideTime = 900.0;
         for (int osc = 0; osc < 2; ++osc)
         {
           r.E().SetOscWave(osc, kOscSaw);
           r.E().SetFltFollowNote(osc, 1.0);
           r.E().SetFltFreq(osc, 900.0);
         }
         r.E().SetFltModel(0, kFltTLadder);
         r.E().SetFltEnvAmnt(0, -0.5);
         r.E().SetFltModel(1, kFltFormant);
       },
       NoChange},
      {"chords through reson filters following the key, each new note gliding its cutoff in", 10,
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscSquare);
         r.E().SetFltModel(0, kFltReson);
         r.E().SetFltFollowNote(0, 1.0);
         r.E().SetFltFollowNote(1, 1.0);
         r.E().SetFltEnvAmnt(1, 0.3);
       },
       [](EngineRig& r, int frame) {
         if (frame == 1000) r.Press(80, 90);
       }},
      {"one voice gliding, oversampled and softly synced", 8,
       [](EngineRig& r) {
         r.T().mMode = VoiceTables::kMono;
         r.T().mFreshStart = true;
         r.T().mGlideTime = 300.0;
         r.D().hardSyncMaster = 2;
         r.D().hardSyncSoftLength = 20;
         r.E().SetOscWave(0, kOscTri);
         r.E().SetOscFreqRatio(0, 2.7);
         r.E().SetOscOversampling(0, 1);
       },
       NoChange},
      {"keys struck again under the sustain pedal glide their velocity beside voices that do not", 8,
       [](EngineRig&) {},
       [](EngineRig& r, int frame) {
         r.Pedal(VoiceTables::kSustainPedal, frame == 1000);
         if (frame != 1000) return;
         r.Lift(33);
         r.Press(33, 127);
         r.Lift(39);
         r.Press(39, 10);
       }},
  };
}

std::vector<Patch> FeedbackSyncAndFormantPatches()
{
  return {
      {"feedback of each slot's filtered sample, swept", 8,
       [](EngineRig& r) {
         r.D().feedback[0] = 0.9;
         r.D().feedback[1] = -0.6;
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetFltEnvAmnt(0, 0.5);
       },
       NoChange},
      {"4x and 16x oversampled saws, one strongly frequency-modulated, swept", 8,
       [](EngineRig& r) {
         r.E().SetOscOversampling(0, 1);
         r.E().SetOscOversampling(1, 3);
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscWave(1, kOscSaw);
         r.D().fmAmount[0] = 6.0;
         r.E().SetFltEnvAmnt(1, 0.5);
       },
       NoChange},
      {"hard sync of a saw by the other slot's filtered sample", 8,
       [](EngineRig& r) {
         r.D().hardSyncMaster = 2;
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscFreqRatio(0, 2.3);
       },
       NoChange},
      {"hard sync every third crossing before the filter, the slave under FM from the master", 8,
       [](EngineRig& r) {
         r.D().hardSyncMaster = 1;
         r.D().hardSyncPeriod = 3;
         r.E().SetPrePostFltHardSync(true);
         r.D().fmAmount[1] = 0.7;
         r.E().SetOscWave(1, kOscSquare);
         r.E().SetOscFreqRatio(1, 1.7);
       },
       NoChange},
      {"saws through the still formant filter, between two vowels and voices, shifted; driven for a while", 9,
       [](EngineRig& r) {
         for (int osc = 0; osc < 2; ++osc)
         {
           r.E().SetOscWave(osc, kOscSaw);
           r.E().SetFltModel(osc, kFltFormant);
           r.E().SetFltFreq(osc, 7300.0 + 4000.0 * osc);
           for (int v = 0; v < VoiceManager::kNumVoices; ++v)
           {
             r.V(v).GetFilter(osc).SetResonance(0.4, false);
             r.V(v).GetFilter(osc).SetAdditionalParam(osc == 0 ? -0.6 : 0.8, false);
           }
         }
         r.E().SetOscFreqRatio(1, 1.5);
       },
       [](EngineRig& r, int frame) {
         EachActive(r, [frame](Voice& v) { v.GetFilter(0).SetDrive(frame == 1000 ? 0.4 : 0.0, true); });
       }},
      {"a narrow sinc through the swept formant beside a polysaw, oversampled and frequency-modulated", 8,
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscSinc);
         r.E().SetOscWave(1, kOscPolysaw);
         for (int v = 0; v < VoiceManager::kNumVoices; ++v)
         {
           r.V(v).GetOscillator(0).SetSincWidth(7.5);
           r.V(v).GetOscillator(1).SetPolysawMix(0.3);
         }
         r.E().SetFltModel(0, kFltFormant);
         r.E().SetFltEnvAmnt(0, 0.6);
         r.E().SetOscOversampling(1, 1);
         r.D().fmAmount[1] = 2.0;
       },
       NoChange},
      {"saws through formants swept across every vowel's border, each voice at its own pace and voice blend, "
       "the blends and shifts changed between runs",
       10,
       [](EngineRig& r) {
         // Soprano alone, between the tables, and the bass alone (its own row twice).
         const double blends[] = {0.0, 0.35, 0.8, 1.0};
         for (int osc = 0; osc < 2; ++osc)
         {
           r.E().SetOscWave(osc, kOscSaw);
           r.E().SetFltModel(osc, kFltFormant);
           r.E().SetFltFreq(osc, 2000.0);
           // Up to 20 kHz, back to about 9 kHz and down again on release: past
           // 5, 10 and 15 kHz, where the vowels change.
           r.E().SetFltEnvAmnt(osc, 1.0);
           for (int v = 0; v < VoiceManager::kNumVoices; ++v)
           {
             FilterContainer& f = r.V(v).GetFilter(osc);
             f.SetResonance(blends[v % 4], false);
             if (osc == 1) f.SetAdditionalParam(0.3, false);
             // Each lane crosses a border on a frame of its own.
             f.SetEnvStageValue(kAttack, 0.004 + 0.002 * v, false);
             f.SetEnvStageValue(kDecay, 0.02, false);
             f.SetEnvStageValue(kSustain, 0.4, false);
             f.SetEnvStageValue(kRelease, 0.01, false);
           }
         }
         r.E().SetOscFreqRatio(1, 1.5);
       },
       [](EngineRig& r, int frame) {
         EachActive(r, [frame](Voice& v) {
           for (int osc = 0; osc < 2; ++osc)
           {
             v.GetFilter(osc).SetResonance(frame == 1000 ? 0.6 : 1.0, true);
             v.GetFilter(osc).SetAdditionalParam(frame == 1000 ? -0.4 : 0.0, true);
           }
         });
       }},
      {"oscillator AM of the first slot by the second's filtered sample, added to its output, under FM", 8,
       [](EngineRig& r) {
         r.D().oscAmAmount[0] = 0.8;
         r.D().oscAmThreshold[0].Set(0.2);
         r.D().addExtToOscAm[0] = true;
         r.D().fmAmount[0] = 0.5;
         r.E().SetOscWave(1, kOscSaw);
         r.E().SetOscFreqRatio(1, 0.37);
       },
       NoChange},
  };
}

std::vector<Patch> AmSyncAndBendPatches()
{
  return {
      {"oscillator AM of the second slot, through its swept filter, both taps before the filters", 8,
       [](EngineRig& r) {
         r.D().oscAmAmount[1] = 0.6;
         r.D().oscAmThreshold[1].Set(0.1);
         r.D().oscAmThreshold[1].UseFilteredSlope(true);
         r.D().carrierFilter[1] = true;
         r.E().SetFltEnvAmnt(1, 0.5);
         for (int v = 0; v < VoiceManager::kNumVoices; ++v)
         {
           r.V(v).SetOscAmCarrierTap(1, true);
           r.V(v).SetOscAmModulatorTap(1, true);
         }
         r.E().SetOscWave(0, kOscSquare);
       },
       NoChange},
      {"soft hard sync: the slave saw crossfades into each restart, its restarts overlapping", 8,
       [](EngineRig& r) {
         r.D().hardSyncMaster = 2;
         r.D().hardSyncSoftLength = 40;
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscFreqRatio(0, 2.3);
         r.E().SetOscFreqRatio(1, 0.9);
       },
       NoChange},
      {"bent saws, one window over the cycle, 4x oversampled and swept; squares bent in the middle over two "
       "cycles; the first bent each voice its own way, the second let go",
       8,
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscWave(1, kOscSquare);
         r.E().SetOscOversampling(0, 1);
         r.E().SetFltEnvAmnt(0, 0.5);
         r.E().SetOscBendWindowSize(1, 17.0);
         r.E().SetOscBendSymmetry(1, kBendMiddle);
         r.E().GetBendShiver().SetBaseValue(0, 0.6);
         r.E().GetBendShiver().SetBaseValue(1, -0.5);
       },
       [](EngineRig& r, int frame) {
         // Voices bent each their own way, as a walk may leave them; the
         // second's window still spans two cycles once its bend is gone.
         if (frame == 1000)
           for (int v = 0; v < VoiceManager::kNumVoices; ++v) r.V(v).SetBend(0, 0.3 + 0.9 * v);
         if (frame == 1800) r.E().GetBendShiver().SetBaseValue(1, 0.0);
       }},
      {"windows repeating inside the cycle: a quarter-cycle bend on a hard-synced sine under FM from a "
       "triangle bent in the middle over a tempo-bound window",
       8,
       [](EngineRig& r) {
         r.E().SetOscWave(1, kOscTri);
         r.E().SetOscBendWindowSize(0, 13.0);
         r.E().SetOscBendSpanOrigin(1, kBendSpanBpm);
         r.E().SetOscBendWindowSize(1, 15.0);
         r.E().SetOscBendSymmetry(1, kBendMiddle);
         r.E().GetBendShiver().SetBaseValue(0, 0.4);
         r.E().GetBendShiver().SetBaseValue(1, -0.3);
         r.D().fmAmount[0] = 0.8;
         r.D().hardSyncMaster = 2;
         r.E().SetOscFreqRatio(1, 0.7);
       },
       NoChange},
  };
}

std::vector<Patch> WalkAndNoisePatches()
{
  return {
      {"walking shivers of the pitch, the cutoff over a swept t ladder and the pan, in step by slot, by voice and "
       "all as one, under tilted noise heard directly and through the external AM of each voice's filtered sample",
       10,
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetFltModel(0, kFltTLadder);
         r.E().SetFltEnvAmnt(0, 0.5);
         r.E().GetTuneShiver().SetSyncMode(kShiverSyncOsc);
         r.E().GetTuneShiver().SetAmount(0, 0.6);
         r.E().GetTuneShiver().SetSpeed(0, 40.0);
         r.E().GetCutoffShiver().SetSyncMode(kShiverSyncAll);
         r.E().GetCutoffShiver().SetAmount(0, 0.7);
         r.E().GetCutoffShiver().SetAmount(1, 0.4);
         r.E().GetCutoffShiver().SetSpeed(1, 90.0);
         r.E().GetPanShiver().SetSyncMode(kShiverSyncVoice);
         r.E().GetPanShiver().SetAmount(0, 0.5);
         r.D().noiseAmount[0] = 0.3;
         r.D().noiseAmount[1] = 0.2;
         r.D().noiseFilter[0].SetColor(-0.4);
         r.D().amDepth[0] = 0.6;
         r.D().amDepth[1] = 1.0;
         r.D().amThreshold[0].Set(0.1);
       },
       [](EngineRig& r, int frame) {
         // A shiver that stops walking, and one that starts.
         r.E().GetTuneShiver().SetAmount(0, frame == 1000 ? 0.0 : 0.6);
         r.E().GetPanShiver().SetAmount(1, frame == 1000 ? 0.8 : 0.0);
       }},
      {"chords gliding their pitch and their key-tracked cutoffs in under each voice's own walks of the pitch "
       "and of one slot's cutoff, the other's held still but for its noise",
       10,
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscWave(1, kOscSquare);
         r.E().SetFltModel(0, kFltMoog);
         r.E().SetFltFollowNote(0, 1.0);
         r.E().SetFltFreq(1, 3000.0);
         r.T().mGlideTime = 400.0;
         r.E().GetTuneShiver().SetAmount(0, 1.0);
         r.E().GetTuneShiver().SetAmount(1, 1.0);
         r.E().GetTuneShiver().SetSpeed(0, 100.0);
         r.E().GetCutoffShiver().SetAmount(0, 1.0);
         r.E().GetCutoffShiver().SetSpeed(0, 100.0);
         r.D().noiseAmount[1] = 0.5;
       },
       [](EngineRig& r, int frame) {
         if (frame == 1000) r.Press(80, 90);
         // The walk of the cutoff stops where it stands, then starts again.
         r.E().GetCutoffShiver().SetAmount(0, frame == 1000 ? 0.0 : 1.0);
       }},
      {"noise into swept saws whose oscillator AM one way and FM the other read each other", 8,
       [](EngineRig& r) {
         r.E().SetOscWave(0, kOscSaw);
         r.E().SetOscWave(1, kOscSaw);
         r.E().SetFltEnvAmnt(1, -0.6);
         r.D().noiseAmount[1] = 0.4;
         r.D().amDepth[1] = 0.3;
         r.D().oscAmAmount[0] = 0.5;
         r.D().fmAmount[1] = 0.4;
         for (int v = 0; v < VoiceManager::kNumVoices; ++v) r.V(v).SetInputModTap(1, true);
       },
       NoChange},
      {"shiver, filter envelope and a sawtooth come and go", 9, [](EngineRig&) {},
       [](EngineRig& r, int frame) {
         const bool on = frame == 1000;
         r.E().GetTuneShiver().SetAmount(0, on ? 0.4 : 0.0);
         r.E().SetFltEnvAmnt(1, on ? 0.5 : 0.0);
         r.E().SetOscWave(1, on ? kOscSaw : kOscSine);
       }},
  };
}

const std::vector<Patch>& Patches()
{
  static const std::vector<Patch> all = [] {
    std::vector<Patch> v;
    for (Patch& p : DefaultAndFmPatches()) v.push_back(std::move(p));
    for (Patch& p : AmAndGlidePatches()) v.push_back(std::move(p));
    for (Patch& p : FeedbackSyncAndFormantPatches()) v.push_back(std::move(p));
    for (Patch& p : AmSyncAndBendPatches()) v.push_back(std::move(p));
    for (Patch& p : WalkAndNoisePatches()) v.push_back(std::move(p));
    for (Patch& p : SweptFilterPatches()) v.push_back(std::move(p));
    for (Patch& p : ConditionPatches()) v.push_back(std::move(p));
    return v;
  }();
  return all;
}

// Renders the patch's frames, pressing, lifting and changing at fixed frames;
// with runs, the engine may take up to maxRun frames in one call but never
// across one of those frames. Returns the frames runs took.
int Render(const Patch& patch, EngineRig& rig, bool runs, int maxRun, std::vector<double>& left,
           std::vector<double>& right)
{
  const std::vector<int> events = {0, 400, 1000, 1500, 1800, kFrames};
  left.assign(kFrames, 0.0);
  right.assign(kFrames, 0.0);
  int inRuns = 0;
  // Every input stream sounds, each its own way, for the patches that listen.
  std::vector<double> streams[VoiceManager::kNumInputStreams];
  for (int s = 0; s < VoiceManager::kNumInputStreams; ++s)
    for (int i = 0; i < kFrames; ++i) streams[s].push_back(std::sin(0.01 * (s + 1) * i));
  for (size_t e = 0; e + 1 < events.size(); ++e)
  {
    const int at = events[e];
    if (at == 0)
      for (int k = 0; k < patch.notes; ++k) rig.Press(30 + 3 * k, 40 + 2 * k);
    if (at == 400) rig.Press(99, 127);
    if (at == 1000 || at == 1800) patch.change(rig, at);
    if (at == 1500)
      for (int k = 0; k < patch.notes; k += 2) rig.Lift(30 + 3 * k);
    for (int i = at; i < events[e + 1];)
    {
      double* inputs[VoiceManager::kNumInputStreams];
      for (int s = 0; s < VoiceManager::kNumInputStreams; ++s) inputs[s] = &streams[s][i];
      if (!runs)
      {
        double out[2];
        rig.E().RenderFrame(out, inputs, rig.fmAuxEnv);
        left[i] = out[0];
        right[i] = out[1];
        ++i;
        continue;
      }
      const int most = std::min(maxRun, events[e + 1] - i);
      const int n = rig.E().RenderFrames(&left[i], &right[i], most, inputs, rig.fmAuxEnv);
      EXPECT_GE(n, 1);
      EXPECT_LE(n, most);
      if (n > 1) inRuns += n;
      i += n;
    }
  }
  return inRuns;
}
}  // namespace

TEST(RunsOfFrames, SoundTheBitsOfTheFramesRenderedOneByOne)
{
  for (const Patch& patch : Patches())
  {
    for (int maxRun : {2, 7, 32, 1000})
    {
      EngineRig single, batched;
      patch.setup(single);
      patch.setup(batched);
      std::vector<double> expectedLeft, expectedRight, left, right;
      Render(patch, single, false, 1, expectedLeft, expectedRight);
      const int inRuns = Render(patch, batched, true, maxRun, left, right);
      long firstDifference = -1;
      for (int i = 0; i < kFrames && firstDifference < 0; ++i)
        if (std::memcmp(&left[i], &expectedLeft[i], sizeof(double)) != 0 ||
            std::memcmp(&right[i], &expectedRight[i], sizeof(double)) != 0)
          firstDifference = i;
      EXPECT_EQ(firstDifference, -1) << patch.name << ", runs of " << maxRun;
      double peak = 0.0;
      for (double x : expectedLeft) peak = std::max(peak, std::fabs(x));
      EXPECT_GT(peak, 1e-3) << patch.name;  // a silent patch proves nothing
      // Most frames hold still enough for runs; otherwise this proves nothing either.
      EXPECT_GT(inRuns, kFrames / 3) << patch.name << ", runs of " << maxRun;
      EXPECT_EQ(batched.CountActive(), single.CountActive()) << patch.name;
      EXPECT_EQ(batched.D().soundingVoices, single.D().soundingVoices) << patch.name;
    }
  }
}

