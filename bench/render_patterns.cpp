#include "render_patterns.h"

#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "Vorna.h"
#include "peer_dssi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>

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
