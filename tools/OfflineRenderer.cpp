#include "OfflineRenderer.h"

#include "ByteChunk.h"
#include "Vorna.h"
#include "WavWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
// A WAV file counts its bytes in 32 bits.
constexpr int64_t kMaxWavBytes = 0xFFFFFFFFll;
constexpr int64_t kWavHeaderAllowance = 1024;
constexpr int64_t kBytesPerFrame = 2 * sizeof(float);

int64_t FrameOf(double seconds, int sampleRate) { return std::llround(seconds * sampleRate); }

uint64_t ClockSeed()
{
  return static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}
}  // namespace

// A state holding the values is loaded, and a load applies every parameter
// directly, without a ramp.
void ApplyParamSettings(Vorna& plug, const std::vector<ParamSetting>& settings)
{
  if (settings.empty()) return;
  for (const ParamSetting& s : settings) plug.GetParam(s.paramIdx)->Set(s.value);
  ByteChunk state;
  plug.SerializeState(&state);
  plug.UnserializeState(&state, 0);
}

int64_t RenderLength(const SmfSequence& sequence, int sampleRate, double tailSeconds)
{
  const int64_t tail = FrameOf(tailSeconds, sampleRate);
  if (sequence.events.empty()) return tail;
  return FrameOf(sequence.events.back().seconds, sampleRate) + 1 + tail;
}

bool RenderToWav(const RenderOptions& options, const SmfSequence& sequence, RenderReport* report, std::string* error)
{
  const int sampleRate = options.sampleRate;
  const int blockSize = options.blockSize;
  const int64_t total = RenderLength(sequence, sampleRate, options.tailSeconds);
  if (total * kBytesPerFrame > kMaxWavBytes - kWavHeaderAllowance)
  {
    const double maxSeconds = double((kMaxWavBytes - kWavHeaderAllowance) / kBytesPerFrame) / sampleRate;
    *error = "the piece lasts " + std::to_string(total / sampleRate) + " s with its tail; a WAV file at " +
             std::to_string(sampleRate) + " Hz holds at most " + std::to_string(int64_t(maxSeconds)) + " s";
    return false;
  }

  WavWriter wav;
  if (!wav.Open(options.wavPath, sampleRate, error)) return false;

  const auto start = std::chrono::steady_clock::now();
  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &midiOutChannel));
  plug->SetSampleRate(sampleRate);
  plug->SetBlockSize(blockSize);
  plug->Reset();
  ApplyParamSettings(*plug, options.settings);
  plug->SeedRandom(options.seed ? *options.seed : ClockSeed());

  std::vector<double> silence(size_t(blockSize), 0.0);
  std::vector<double> left(static_cast<size_t>(blockSize)), right(static_cast<size_t>(blockSize));
  std::vector<float> interleaved(2 * size_t(blockSize));
  double* inputs[2] = {silence.data(), silence.data()};
  double* outputs[2] = {left.data(), right.data()};

  double peak = 0.0;
  double sumOfSquares = 0.0;
  size_t next = 0;
  for (int64_t frame = 0; frame < total; frame += blockSize)
  {
    const int n = int(std::min<int64_t>(blockSize, total - frame));
    for (; next < sequence.events.size(); ++next)
    {
      const SmfEvent& e = sequence.events[next];
      const int64_t at = FrameOf(e.seconds, sampleRate);
      if (at >= frame + n) break;
      IMidiMsg msg(int(at - frame), e.status, e.data1, e.data2);
      plug->ProcessMidiMsg(&msg);
    }
    plug->LockMutexAndProcessDoubleReplacing(inputs, outputs, n);
    for (int i = 0; i < n; ++i)
    {
      const float l = float(left[size_t(i)] * kApplicationOutputGain);
      const float r = float(right[size_t(i)] * kApplicationOutputGain);
      interleaved[2 * size_t(i)] = l;
      interleaved[2 * size_t(i) + 1] = r;
      peak = std::max({peak, double(std::fabs(l)), double(std::fabs(r))});
      sumOfSquares += double(l) * l + double(r) * r;
    }
    if (!wav.WriteInterleaved(interleaved.data(), n, error)) return false;
  }
  if (!wav.Close(error)) return false;

  report->frames = total;
  report->peak = peak;
  report->rms = total > 0 ? std::sqrt(sumOfSquares / (2.0 * double(total))) : 0.0;
  report->renderSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return true;
}
