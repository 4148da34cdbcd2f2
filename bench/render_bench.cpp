// The real-time factor of named patches played through the plug-in as a host
// plays it: held notes 24 + 2k at velocity 100 from the first frame, blocks of
// 256 frames, 20 seconds at 48 kHz, silent inputs. One line per patch with the
// median over repeated runs (audio seconds rendered per second of processing,
// measured on this thread alone) and the spread of the runs.
//
//   render-bench [--runs N] [--seconds S] [patch name ...]
#include "ByteChunk.h"
#include "Vorna.h"
#include "VornaParams.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr int kSampleRate = 48000;
constexpr int kBlockSize = 256;
constexpr int kLowestKey = 24;
constexpr int kKeyStep = 2;
constexpr int kVelocity = 100;
constexpr int kNoteOn = 0x90;

struct Patch
{
  const char* name;
  int notes;
  std::vector<std::pair<int, double>> settings;  // plain values
};

// The patches the performance targets name.
std::vector<Patch> Patches()
{
  const std::vector<std::pair<int, double>> sawsThrough = {
    {kWaveform1, kOscSaw}, {kWaveform2, kOscSaw}, {kMaxVoiceCount, 32}};
  auto with = [](std::vector<std::pair<int, double>> base, std::vector<std::pair<int, double>> more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
  };
  return {
    {"idle", 0, {}},
    {"default", 8, {}},
    {"default-32", 32, {{kMaxVoiceCount, 32}}},
    {"saw-reson-env", 32,
     with(sawsThrough, {{kFlt1Model, kFltReson}, {kFlt2Model, kFltReson}, {kFlt1F, 1500.0}, {kFlt2F, 1500.0},
                        {kFlt1Q, 0.5}, {kFlt2Q, 0.5}, {kFlt1Env, 0.5}, {kFlt2Env, 0.5}, {kFlt1S, 0.3}, {kFlt2S, 0.3},
                        {kFlt1D, 0.4}, {kFlt2D, 0.4}})},
    {"saw-ladder-env-drive", 32,
     with(sawsThrough, {{kFlt1Model, kFltTLadder}, {kFlt2Model, kFltTLadder}, {kFlt1F, 1500.0}, {kFlt2F, 1500.0},
                        {kFlt1Q, 0.6}, {kFlt2Q, 0.6}, {kFlt1Env, 0.5}, {kFlt2Env, 0.5}, {kFlt1S, 0.3}, {kFlt2S, 0.3},
                        {kFlt1D, 0.4}, {kFlt2D, 0.4}, {kFlt1Drive, 0.6}, {kFlt2Drive, 0.6}})},
    {"saw-moog-env-drive", 32,
     with(sawsThrough, {{kFlt1Model, kFltMoog}, {kFlt2Model, kFltMoog}, {kFlt1F, 1500.0}, {kFlt2F, 1500.0},
                        {kFlt1Q, 0.6}, {kFlt2Q, 0.6}, {kFlt1Env, 0.5}, {kFlt2Env, 0.5}, {kFlt1S, 0.3}, {kFlt2S, 0.3},
                        {kFlt1D, 0.4}, {kFlt2D, 0.4}, {kFlt1Drive, 0.6}, {kFlt2Drive, 0.6}})},
    // Setting 3 is 16 sub-samples per output sample.
    {"oversampled-x16", 8, {{kOsc1Oversampling, 3}, {kOsc2Oversampling, 3}}},
    {"saw-oversampled-x16", 8, {{kWaveform1, kOscSaw}, {kWaveform2, kOscSaw}, {kOsc1Oversampling, 3}, {kOsc2Oversampling, 3}}},
  };
}

double ThreadSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Seconds of processing for one render of the patch.
double RenderOnce(const Patch& patch, int frames)
{
  auto plug = std::make_unique<Vorna>(IPlugInstanceInfo{});
  plug->SetSampleRate(kSampleRate);
  plug->SetBlockSize(kBlockSize);
  plug->Reset();
  // Settings reach the engine at once through a state load, as a preset would.
  for (const auto& [index, value] : patch.settings) plug->GetParam(index)->Set(value);
  ByteChunk state;
  plug->SerializeState(&state);
  plug->UnserializeState(&state, 0);
  plug->SeedRandom(1);

  std::vector<double> silence(kBlockSize, 0.0), left(kBlockSize), right(kBlockSize);
  double* inputs[2] = {silence.data(), silence.data()};
  double* outputs[2] = {left.data(), right.data()};
  for (int k = 0; k < patch.notes; ++k)
  {
    IMidiMsg msg(0, kNoteOn, uint8_t(kLowestKey + kKeyStep * k), kVelocity);
    plug->ProcessMidiMsg(&msg);
  }

  double check = 0.0;
  const double start = ThreadSeconds();
  for (int frame = 0; frame < frames; frame += kBlockSize)
  {
    const int n = std::min(kBlockSize, frames - frame);
    plug->LockMutexAndProcessDoubleReplacing(inputs, outputs, n);
    check += left[0];
  }
  const double seconds = ThreadSeconds() - start;
  // A render that went silent or wild is no measurement of the patch.
  if (patch.notes > 0 && (check == 0.0 || !std::isfinite(check)))
    std::fprintf(stderr, "render-bench: %s rendered %s\n", patch.name, check == 0.0 ? "silence" : "non-finite samples");
  return seconds;
}

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}
}  // namespace

int main(int argc, char** argv)
{
  int runs = 5;
  double seconds = 20.0;
  std::vector<std::string> only;
  for (int i = 1; i < argc; ++i)
  {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
      seconds = std::max(0.1, std::atof(argv[++i]));
    else if (argv[i][0] == '-')
    {
      std::fprintf(stderr, "usage: render-bench [--runs N] [--seconds S] [patch name ...]\n");
      return 2;
    }
    else
      only.emplace_back(argv[i]);
  }

  const int frames = int(seconds * kSampleRate);
  std::printf("%-22s %5s %10s %10s %10s %12s\n", "patch", "notes", "rtf", "min", "max", "ns/frame");
  for (const Patch& patch : Patches())
  {
    if (!only.empty() && std::find(only.begin(), only.end(), patch.name) == only.end()) continue;
    std::vector<double> rtf;
    for (int r = 0; r < runs; ++r) rtf.push_back(seconds / RenderOnce(patch, frames));
    const double median = Median(rtf);
    std::printf("%-22s %5d %9.1fx %9.1fx %9.1fx %12.1f\n", patch.name, patch.notes, median,
                *std::min_element(rtf.begin(), rtf.end()), *std::max_element(rtf.begin(), rtf.end()),
                1e9 / (median * kSampleRate));
    std::fflush(stdout);
  }
  return 0;
}
