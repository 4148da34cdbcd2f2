// render-bench: how much faster than real time the plug-in renders a few named
// patches, each holding a chord for 20 seconds at 48 kHz in blocks of 256 on
// one thread. Prints one line per patch: the median real-time factor (audio
// seconds per CPU second of the rendering thread) beside its target.
//   render-bench [--runs N] [PATCH...]
#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "Vorna.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kSampleRate = 48000;
constexpr int kBlockSize = 256;
constexpr double kSeconds = 20.0;
constexpr int kDefaultRuns = 5;
constexpr int kMaxRuns = 1000;
constexpr int kLowestKey = 24;
constexpr int kKeyStep = 2;
constexpr int kVelocity = 100;
constexpr uint64_t kSeed = 1;

struct Patch
{
  const char* name;
  int notes;  // held from the first frame; none: the idle engine
  std::vector<const char*> settings;  // "NAME=VALUE", as vorna-render's --set takes them
  double target;  // real-time factor at least; for the idle engine ns per frame at most
};

const std::vector<Patch>& Patches()
{
  static const std::vector<Patch> patches = {
      {"default 8 notes", 8, {}, 54.0},
      {"default 32 notes", 32, {"max voice count=32"}, 14.6},
      {"typical 32",
       32,
       {"max voice count=32", "waveform 1=1", "waveform 2=1", "flt 1 model=0", "flt 2 model=0", "flt 1 f=2000",
        "flt 2 f=2000", "flt 1 q=0.4", "flt 2 q=0.4", "flt 1 env=0.5", "flt 2 env=0.5"},
       4.0},
      {"ladder 32",
       32,
       {"max voice count=32", "waveform 1=1", "waveform 2=1", "flt 1 model=3", "flt 2 model=3", "flt 1 f=2000",
        "flt 2 f=2000", "flt 1 q=0.4", "flt 2 q=0.4", "flt 1 env=0.5", "flt 2 env=0.5", "flt 1 drive=0.5",
        "flt 2 drive=0.5"},
       2.0},
      {"x16 8", 8, {"osc1 oversampling=3", "osc2 oversampling=3"}, 2.0},
      {"idle", 0, {}, 50.0},
  };
  return patches;
}

double ThreadCpuSeconds()
{
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

struct Run
{
  double cpuSeconds = 0.0;
  double peak = 0.0;  // of the first frame of every block: shows that the patch sounds, and costs nothing
};

// One render of the patch; only the processing of the blocks is timed.
Run RenderOnce(const Patch& patch, const std::vector<ParamSetting>& settings)
{
  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &midiOutChannel));
  plug->SetSampleRate(kSampleRate);
  plug->SetBlockSize(kBlockSize);
  plug->Reset();
  ApplyParamSettings(*plug, settings);
  plug->SeedRandom(kSeed);
  for (int k = 0; k < patch.notes; ++k)
  {
    IMidiMsg on(0, 0x90, uint8_t(kLowestKey + kKeyStep * k), kVelocity);
    plug->ProcessMidiMsg(&on);
  }

  std::vector<double> silence(kBlockSize, 0.0), left(kBlockSize), right(kBlockSize);
  double* inputs[2] = {silence.data(), silence.data()};
  double* outputs[2] = {left.data(), right.data()};
  const long frames = long(kSeconds * kSampleRate);
  Run run;
  const double start = ThreadCpuSeconds();
  for (long done = 0; done < frames; done += kBlockSize)
  {
    plug->LockMutexAndProcessDoubleReplacing(inputs, outputs, kBlockSize);
    run.peak = std::max({run.peak, std::fabs(left[0]), std::fabs(right[0])});
  }
  run.cpuSeconds = ThreadCpuSeconds() - start;
  return run;
}

double Median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

int Usage(const char* problem)
{
  std::fprintf(stderr, "render-bench: %s\nusage: render-bench [--runs N] [PATCH...]\npatches:", problem);
  for (const Patch& p : Patches()) std::fprintf(stderr, " \"%s\"", p.name);
  std::fprintf(stderr, "\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv)
{
  int runs = kDefaultRuns;
  std::vector<const Patch*> chosen;
  for (int i = 1; i < argc; ++i)
  {
    if (std::strcmp(argv[i], "--runs") == 0)
    {
      char* end = nullptr;
      const long n = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end != 0 || n < 1 || n > kMaxRuns) return Usage("--runs takes a whole number from 1 to 1000");
      runs = int(n);
      ++i;
      continue;
    }
    const auto found = std::find_if(Patches().begin(), Patches().end(),
                                    [&](const Patch& p) { return std::strcmp(p.name, argv[i]) == 0; });
    if (found == Patches().end()) return Usage((std::string("no patch is named \"") + argv[i] + "\"").c_str());
    chosen.push_back(&*found);
  }
  if (chosen.empty())
    for (const Patch& p : Patches()) chosen.push_back(&p);

  std::printf("render-bench: %d Hz, block %d, %.0f s held from the first frame (keys %d + %dk, velocity %d), "
              "median of %d runs, CPU time of the rendering thread\n",
              kSampleRate, kBlockSize, kSeconds, kLowestKey, kKeyStep, kVelocity, runs);
  std::printf("%-18s %16s %16s %10s\n", "patch", "measured", "target", "peak");
  for (const Patch* patch : chosen)
  {
    std::vector<ParamSetting> settings;
    for (const char* text : patch->settings)
    {
      ParamSetting s;
      std::string error;
      if (!ParseParamSetting(text, &s, &error))
      {
        std::fprintf(stderr, "render-bench: patch \"%s\": %s\n", patch->name, error.c_str());
        return 1;
      }
      settings.push_back(s);
    }
    std::vector<double> seconds;
    double peak = 0.0;
    for (int r = 0; r < runs; ++r)
    {
      const Run run = RenderOnce(*patch, settings);
      seconds.push_back(run.cpuSeconds);
      peak = std::max(peak, run.peak);
    }
    const double cpu = Median(seconds);
    char measured[32], target[32];
    bool met;
    if (patch->notes == 0)
    {
      const double nsPerFrame = cpu * 1e9 / (kSeconds * kSampleRate);
      met = nsPerFrame <= patch->target;
      std::snprintf(measured, sizeof(measured), "%.1f ns/frame", nsPerFrame);
      std::snprintf(target, sizeof(target), "<= %.0f ns/frame", patch->target);
    }
    else
    {
      const double factor = cpu > 0.0 ? kSeconds / cpu : INFINITY;
      met = factor >= patch->target;
      std::snprintf(measured, sizeof(measured), "%.2fx", factor);
      std::snprintf(target, sizeof(target), ">= %gx", patch->target);
    }
    std::printf("%-18s %16s %16s %10.4f%s\n", patch->name, measured, target, peak, met ? "" : "  below target");
    std::fflush(stdout);
  }
  return 0;
}
