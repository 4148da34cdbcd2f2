#include "OfflineRenderer.h"

#include "ByteChunk.h"
#include "Vorna.h"
#include "WavWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace
{
int64_t FrameOf(double seconds, int sampleRate) { return std::llround(seconds * sampleRate); }

// Whether a time from the start fits in a WAV file's frames; false for NaN
// too. Only a time that fits is rounded to an integer, which is then safe.
bool FitsInWav(double seconds, int sampleRate)
{
  const double frames = seconds * sampleRate;
  return frames >= 0.0 && frames <= double(kMaxWavFrames);
}

// Same device and inode: the output would overwrite the input however its
// path is spelt (relative, through a symbolic or a hard link). An output that
// does not exist yet is another file.
bool IsSameFile(const std::string& a, const std::string& b)
{
  std::error_code code;
  return std::filesystem::equivalent(a, b, code) && !code;
}

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

bool RenderLength(const SmfSequence& sequence, int sampleRate, double tailSeconds, int64_t* frames,
                  std::string* error)
{
  const double lastSeconds = sequence.events.empty() ? 0.0 : sequence.events.back().seconds;
  // Each part is bounded before it becomes an integer, so neither the rounding
  // nor the sum can overflow, whatever time the file's last message claims.
  const bool fits = FitsInWav(lastSeconds, sampleRate) && FitsInWav(tailSeconds, sampleRate);
  int64_t total = 0;
  if (fits)
  {
    total = FrameOf(tailSeconds, sampleRate);
    if (!sequence.events.empty()) total += FrameOf(lastSeconds, sampleRate) + 1;
  }
  if (!fits || total > kMaxWavFrames)
  {
    char text[200];
    std::snprintf(text, sizeof(text), "the piece lasts %.15g s with its tail; a WAV file at %d Hz holds at most %lld s",
                  std::round(lastSeconds + tailSeconds), sampleRate,
                  static_cast<long long>(kMaxWavFrames / sampleRate));
    *error = text;
    return false;
  }
  *frames = total;
  return true;
}

bool RenderToWav(const RenderOptions& options, const SmfSequence& sequence, RenderReport* report, std::string* error,
                 RenderFailure* failure, const OutputCalls& calls)
{
  RenderFailure ignored;
  if (!failure) failure = &ignored;
  *failure = RenderFailure::refused;
  const int sampleRate = options.sampleRate;
  const int blockSize = options.blockSize;
  if (IsSameFile(options.wavPath, options.midiPath))
  {
    *error = "the WAV file \"" + options.wavPath + "\" is the MIDI file \"" + options.midiPath +
             "\"; give another name for the output";
    return false;
  }
  int64_t total = 0;
  if (!RenderLength(sequence, sampleRate, options.tailSeconds, &total, error)) return false;

  OutputFile output;
  if (!output.Open(options.wavPath, error)) return false;
  // From here on bytes may have been written. The writer is finished before the output.
  *failure = RenderFailure::output;
  WavWriter wav;
  if (!wav.OpenDescriptor(output.Descriptor(), options.wavPath, sampleRate, calls, error)) return false;

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
  if (const int code = output.Commit(calls))
  {
    *error = "could not write " + options.wavPath + ": " + std::strerror(code);
    return false;
  }
  *failure = RenderFailure::none;

  report->frames = total;
  report->peak = peak;
  report->rms = total > 0 ? std::sqrt(sumOfSquares / (2.0 * double(total))) : 0.0;
  report->renderSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return true;
}
