#include "render_patterns.h"

#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "Vorna.h"
#include "peer_dssi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <ctime>
#include <memory>
#include <string>

namespace render_patterns
{
namespace
{
constexpr uint64_t kSeed = 1;

double ThreadCpuSeconds()
{
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

long FramesOf(double seconds)
{
  return long(seconds * kSampleRate);
}

// The peer's filter envelope sweeping its lowpass from closed, as slowly as ours: its times are
// the value cubed in seconds, so 1.3572 is our 2.5 s.
const std::vector<const char*> kPeerMovingFilter = {"filter_attack=1.3572", "filter_decay=1.3572",
                                                    "filter_sustain=0",     "filter_env_amount=8",
                                                    "filter_cutoff=0",      "filter_resonance=0.4"};

// The numbers "flt N model" takes.
enum FilterModelNumber
{
  kReson = 0,
  kSimple = 1,
  kFormant = 2,
  kTLadder = 3,
  kMoog = 4
};

// Two saws through filter model `model` at 1 kHz, q 0.4, its envelope (A 2.5 s,
// D 2.5 s, S 0) moving the cutoff all through a render.
std::vector<const char*> SawsWithMovingFilter(FilterModelNumber model, bool allVoices = false)
{
  static const char* const kModelSettings[][2] = {
      {"flt 1 model=0", "flt 2 model=0"}, {"flt 1 model=1", "flt 2 model=1"}, {"flt 1 model=2", "flt 2 model=2"},
      {"flt 1 model=3", "flt 2 model=3"}, {"flt 1 model=4", "flt 2 model=4"}};
  std::vector<const char*> s = {"waveform 1=1", "waveform 2=1", kModelSettings[model][0], kModelSettings[model][1],
                                "flt 1 f=1000", "flt 2 f=1000", "flt 1 q=0.4", "flt 2 q=0.4", "flt 1 env=0.5",
                                "flt 2 env=0.5", "flt 1 A=2.5", "flt 2 A=2.5", "flt 1 D=2.5", "flt 2 D=2.5",
                                "flt 1 S=0", "flt 2 S=0"};
  if (allVoices) s.insert(s.begin(), "max voice count=32");
  return s;
}

// The same through the "simple" driven at 0.5.
std::vector<const char*> SawsWithMovingDrivenSimple(bool allVoices = false)
{
  std::vector<const char*> s = SawsWithMovingFilter(kSimple, allVoices);
  s.push_back("flt 1 drive=0.5");
  s.push_back("flt 2 drive=0.5");
  return s;
}

// The same through the formant filter driven at 0.5, its saturated path on.
std::vector<const char*> SawsWithMovingDrivenFormant(bool allVoices = false)
{
  std::vector<const char*> s = SawsWithMovingFilter(kFormant, allVoices);
  s.push_back("flt 1 drive=0.5");
  s.push_back("flt 2 drive=0.5");
  return s;
}

// Two saws through the formant filter at 2 kHz, q 0.4, still.
std::vector<const char*> SawsThroughFormant(bool allVoices)
{
  std::vector<const char*> s = {"waveform 1=1", "waveform 2=1", "flt 1 model=2", "flt 2 model=2",
                                "flt 1 f=2000",  "flt 2 f=2000",  "flt 1 q=0.4",   "flt 2 q=0.4"};
  if (allVoices) s.insert(s.begin(), "max voice count=32");
  return s;
}

// The peer's LFO (its default sine) on the cutoff, half way, at 8 Hz as our walks' default speed: its
// speed is the value squared in hertz, and its default, 0, would leave the cutoff still.
const std::vector<const char*> kPeerLfoOnCutoff = {"filter_mod_amount=0", "lfo_freq=2.8284"};

// Two saws through the "simple" at 2 kHz, both slots' shiver of the given kind
// ("cutoff", "tune" or "pan") walking at amount 0.5 and its default speed.
std::vector<const char*> ShiveredSaws(const std::string& kind, bool allVoices = false)
{
  static std::deque<std::string> texts;  // the settings point into these, which stay put
  texts.push_back(kind + " 1 shiver amount=0.5");
  texts.push_back(kind + " 2 shiver amount=0.5");
  std::vector<const char*> s = {"waveform 1=1", "waveform 2=1", "flt 1 f=2000", "flt 2 f=2000",
                                texts[texts.size() - 2].c_str(), texts.back().c_str()};
  if (allVoices) s.insert(s.begin(), "max voice count=32");
  return s;
}

// Two saws, each with the engine's noise mixed in at 0.3.
std::vector<const char*> NoisySaws(bool allVoices)
{
  std::vector<const char*> s = {"waveform 1=1", "waveform 2=1", "noise 1 amnt=0.3", "noise 2 amnt=0.3"};
  if (allVoices) s.insert(s.begin(), "max voice count=32");
  return s;
}
}  // namespace

const std::vector<Patch>& Patches()
{
  static const std::vector<Patch> patches = {
      {"default 1 note", 1, {}, 0.0, true},
      {"default 8 notes", 8, {}, 54.0, true},
      {"default 32 notes", 32, {"max voice count=32"}, 14.6, true},
      {"typical 32",
       32,
       {"max voice count=32", "waveform 1=1", "waveform 2=1", "flt 1 model=0", "flt 2 model=0", "flt 1 f=2000",
        "flt 2 f=2000", "flt 1 q=0.4", "flt 2 q=0.4", "flt 1 env=0.5", "flt 2 env=0.5"},
       4.0, false},
      {"ladder 32",
       32,
       {"max voice count=32", "waveform 1=1", "waveform 2=1", "flt 1 model=3", "flt 2 model=3", "flt 1 f=2000",
        "flt 2 f=2000", "flt 1 q=0.4", "flt 2 q=0.4", "flt 1 env=0.5", "flt 2 env=0.5", "flt 1 drive=0.5",
        "flt 2 drive=0.5"},
       2.0, false},
      {"moog 32",
       32,
       {"max voice count=32", "waveform 1=1", "waveform 2=1", "flt 1 model=4", "flt 2 model=4", "flt 1 f=2000",
        "flt 2 f=2000", "flt 1 q=0.4", "flt 2 q=0.4", "flt 1 env=0.5", "flt 2 env=0.5", "flt 1 drive=0.5",
        "flt 2 drive=0.5"},
       3.0, false},
      {"x16 8", 8, {"osc1 oversampling=3", "osc2 oversampling=3"}, 2.0, false},
      // The same at 32 notes beside the peer's default sound, which has no oversampling.
      {"x16 32", 32, {"max voice count=32", "osc1 oversampling=3", "osc2 oversampling=3"}, 0.0, true},
      // Two saws through each filter model, the cutoff moving all through the
      // window, beside a saw through the peer's 24 dB lowpass with its filter
      // envelope moving.
      {"saws 8", 8, {"waveform 1=1", "waveform 2=1"}, 0.0, true},
      {"saws 32", 32, {"max voice count=32", "waveform 1=1", "waveform 2=1"}, 0.0, true},
      {"saws simple env 8", 8, SawsWithMovingFilter(kSimple), 0.0, true, kPeerMovingFilter},
      {"saws simple env 32", 32, SawsWithMovingFilter(kSimple, true), 0.0, true, kPeerMovingFilter},
      {"saws simple driven env 8", 8, SawsWithMovingDrivenSimple(), 0.0, true, kPeerMovingFilter},
      {"saws simple driven env 32", 32, SawsWithMovingDrivenSimple(true), 0.0, true, kPeerMovingFilter},
      {"saws reson env 8", 8, SawsWithMovingFilter(kReson), 0.0, true, kPeerMovingFilter},
      {"saws reson env 32", 32, SawsWithMovingFilter(kReson, true), 0.0, true, kPeerMovingFilter},
      {"saws t ladder env 8", 8, SawsWithMovingFilter(kTLadder), 0.0, true, kPeerMovingFilter},
      {"saws t ladder env 32", 32, SawsWithMovingFilter(kTLadder, true), 0.0, true, kPeerMovingFilter},
      {"saws moog env 8", 8, SawsWithMovingFilter(kMoog), 0.0, true, kPeerMovingFilter},
      {"saws moog env 32", 32, SawsWithMovingFilter(kMoog, true), 0.0, true, kPeerMovingFilter},
      // Oscillator AM of the first slot by the second, which the peer does not have.
      {"osc am 8", 8, {"oam 1=0.5"}, 0.0, false},
      {"osc am 32", 32, {"max voice count=32", "oam 1=0.5"}, 0.0, false},
      // A saw hard-synced by the second oscillator, crossfading into each restart.
      {"soft sync 8", 8, {"waveform 1=1", "hardsync master=0", "hs soft=40"}, 0.0, false},
      {"soft sync 32", 32, {"max voice count=32", "waveform 1=1", "hardsync master=0", "hs soft=40"}, 0.0, false},
      // The sinc and the polysaw, which the peer does not have.
      {"sincs 8", 8, {"waveform 1=4", "waveform 2=4"}, 0.0, false},
      {"sincs 32", 32, {"max voice count=32", "waveform 1=4", "waveform 2=4"}, 0.0, false},
      {"polysaws 8", 8, {"waveform 1=5", "waveform 2=5"}, 0.0, false},
      {"polysaws 32", 32, {"max voice count=32", "waveform 1=5", "waveform 2=5"}, 0.0, false},
      {"saws formant env 8", 8, SawsWithMovingFilter(kFormant), 0.0, true, kPeerMovingFilter},
      {"saws formant env 32", 32, SawsWithMovingFilter(kFormant, true), 0.0, true, kPeerMovingFilter},
      {"saws formant driven env 8", 8, SawsWithMovingDrivenFormant(), 0.0, true, kPeerMovingFilter},
      {"saws formant driven env 32", 32, SawsWithMovingDrivenFormant(true), 0.0, true, kPeerMovingFilter},
      {"saws formant 8", 8, SawsThroughFormant(false), 0.0, true, {"filter_cutoff=0.5", "filter_resonance=0.4"}},
      {"saws formant 32", 32, SawsThroughFormant(true), 0.0, true, {"filter_cutoff=0.5", "filter_resonance=0.4"}},
      // Bent saws, one at the edges and one in the middle, which the peer does not have.
      {"bent saws 8", 8, {"waveform 1=1", "waveform 2=1", "bend 1=0.5", "bend 2=-0.4", "bend 2 type=1"}, 0.0, false},
      {"bent saws 32",
       32,
       {"max voice count=32", "waveform 1=1", "waveform 2=1", "bend 1=0.5", "bend 2=-0.4", "bend 2 type=1"},
       0.0,
       false},
      // Two saws whose cutoffs the shivers walk, beside the peer's saws with its
      // LFO on the cutoff; the same with the pitch and the level walking, which
      // the peer does not have.
      {"shiver 8", 8, ShiveredSaws("cutoff"), 0.0, true, kPeerLfoOnCutoff},
      {"shiver 32", 32, ShiveredSaws("cutoff", true), 0.0, true, kPeerLfoOnCutoff},
      {"tune shiver 8", 8, ShiveredSaws("tune"), 0.0, false},
      {"tune shiver 32", 32, ShiveredSaws("tune", true), 0.0, false},
      {"pan shiver 8", 8, ShiveredSaws("pan"), 0.0, false},
      {"pan shiver 32", 32, ShiveredSaws("pan", true), 0.0, false},
      // Noise mixed into two saws, beside the peer's noise mixed into a saw.
      {"noise 8", 8, NoisySaws(false), 0.0, true, {"osc2_waveform=3"}},
      {"noise 32", 32, NoisySaws(true), 0.0, true, {"osc2_waveform=3"}},
      {"fm 8", 8, {"fm 1 amnt=2"}, 0.0, true},
      {"fm 32", 32, {"max voice count=32", "fm 1 amnt=2"}, 0.0, true},
      // Each oscillator modulating the other's frequency, which the peer does not have.
      {"fm both ways 8", 8, {"fm 1 amnt=2", "fm 2 amnt=0.5"}, 0.0, false},
      {"fm both ways 32", 32, {"max voice count=32", "fm 1 amnt=2", "fm 2 amnt=0.5"}, 0.0, false},
      {"osc am both ways 8", 8, {"oam 1=0.5", "oam 2=0.5"}, 0.0, false},
      {"osc am both ways 32", 32, {"max voice count=32", "oam 1=0.5", "oam 2=0.5"}, 0.0, false},
      {"x4 8", 8, {"osc1 oversampling=1", "osc2 oversampling=1"}, 0.0, true},
      {"x4 32", 32, {"max voice count=32", "osc1 oversampling=1", "osc2 oversampling=1"}, 0.0, true},
      {"idle", 0, {}, 50.0, false},
  };
  return patches;
}

const Patch* Find(const std::string& name)
{
  for (const Patch& p : Patches())
    if (name == p.name) return &p;
  return nullptr;
}

std::vector<int> Chord(int notes)
{
  std::vector<int> keys;
  for (int k = 0; k < notes; ++k) keys.push_back(kLowestKey + kKeyStep * k);
  return keys;
}

Render RenderOurs(const Patch& patch, double seconds)
{
  Render run;
  std::vector<ParamSetting> settings;
  for (const char* text : patch.settings)
  {
    ParamSetting s;
    if (!ParseParamSetting(text, &s, &run.error))
    {
      run.ok = false;
      return run;
    }
    settings.push_back(s);
  }
  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &midiOutChannel));
  plug->SetSampleRate(kSampleRate);
  plug->SetBlockSize(kBlockSize);
  plug->Reset();
  ApplyParamSettings(*plug, settings);
  plug->SeedRandom(kSeed);
  for (int key : Chord(patch.notes))
  {
    IMidiMsg on(0, 0x90, uint8_t(key), kVelocity);
    plug->ProcessMidiMsg(&on);
  }

  std::vector<double> silence(kBlockSize, 0.0), left(kBlockSize), right(kBlockSize);
  double* inputs[2] = {silence.data(), silence.data()};
  double* outputs[2] = {left.data(), right.data()};
  const long frames = FramesOf(seconds);
  const double start = ThreadCpuSeconds();
  for (long done = 0; done < frames; done += kBlockSize)
  {
    plug->LockMutexAndProcessDoubleReplacing(inputs, outputs, kBlockSize);
    run.peak = std::max({run.peak, std::fabs(left[0]), std::fabs(right[0])});
  }
  run.cpuSeconds = ThreadCpuSeconds() - start;
  return run;
}

Render RenderPeer(const Patch& patch, double seconds)
{
  Render run;
  DssiPeer peer;
  if (!peer.Load(DssiPeer::kDefaultPath, kSampleRate))
  {
    run.ok = false;
    run.error = peer.Error();
    return run;
  }
  for (const char* text : patch.peerSettings)
  {
    const char* equals = std::strchr(text, '=');
    if (!equals || !peer.SetControl(std::string(text, equals), std::strtof(equals + 1, nullptr)))
    {
      run.ok = false;
      run.error = std::string("the peer has no control port for \"") + text + "\"";
      return run;
    }
  }
  peer.PressKeys(Chord(patch.notes), kVelocity);
  const long frames = FramesOf(seconds);
  const double start = ThreadCpuSeconds();
  for (long done = 0; done < frames; done += kBlockSize)
  {
    peer.RenderBlock(kBlockSize);
    run.peak = std::max({run.peak, double(std::fabs(peer.Left()[0])), double(std::fabs(peer.Right()[0]))});
  }
  run.cpuSeconds = ThreadCpuSeconds() - start;
  return run;
}
}  // namespace render_patterns
