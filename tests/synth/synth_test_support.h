#pragma once

#include "ByteChunk.h"
#include "Vorna.h"
#include "VornaParams.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

// Drives the plug-in as a host does and measures what it renders.
namespace synthtest
{
constexpr double kPi = 3.14159265358979323846;

inline double NoteHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct Event
{
  long frame;  // from the start of the render
  IMidiMsg msg;
};

inline Event NoteOn(long frame, int note, int velocity = 127) { return {frame, IMidiMsg(0, 0x90, uint8_t(note), uint8_t(velocity))}; }
inline Event NoteOff(long frame, int note) { return {frame, IMidiMsg(0, 0x80, uint8_t(note), 0)}; }
inline Event Controller(long frame, int cc, int value) { return {frame, IMidiMsg(0, 0xB0, uint8_t(cc), uint8_t(value))}; }
// value -8192 .. 8191 around the centre.
inline Event PitchWheel(long frame, int value)
{
  const int raw = value + 8192;
  return {frame, IMidiMsg(0, 0xE0, uint8_t(raw & 0x7F), uint8_t(raw >> 7))};
}

struct Stereo
{
  std::vector<double> left, right;
};

class Player
{
public:
  explicit Player(int sampleRate = 48000, int blockSize = 512, uint64_t seed = 1)
      : mBlockSize(blockSize), mPlug(std::make_unique<Vorna>(IPlugInstanceInfo{}))
  {
    mPlug->SetSampleRate(sampleRate);
    mPlug->SetBlockSize(blockSize);
    mPlug->Reset();
    mPlug->SeedRandom(seed);
  }

  Vorna& Plug() { return *mPlug; }

  // Sets plain values that reach the engine at once, through a state load.
  void SetNow(std::initializer_list<std::pair<int, double>> values)
  {
    for (const auto& [index, value] : values) mPlug->GetParam(index)->Set(value);
    ByteChunk state;
    mPlug->SerializeState(&state);
    mPlug->UnserializeState(&state, 0);
  }

  // The default sound cut down to oscillator 1 alone, unfiltered.
  void OneBareOscillator() { SetNow({{kOsc2OnOff, 0.0}, {kFlt1OnOff, 0.0}}); }

  // Renders frames more frames; each event is queued before the block it falls
  // into, at its offset in that block. inputLevel feeds every input channel.
  Stereo Run(long frames, std::vector<Event> events = {}, double inputLevel = 0.0)
  {
    // Into time order, events at one frame in the order given (an insertion
    // sort: std::stable_sort takes a buffer the allocation test cannot see).
    for (size_t i = 1; i < events.size(); ++i)
      for (size_t j = i; j > 0 && events[j].frame < events[j - 1].frame; --j) std::swap(events[j], events[j - 1]);
    Stereo out;
    out.left.resize(size_t(frames));
    out.right.resize(size_t(frames));
    std::vector<double> in(size_t(mBlockSize), inputLevel);
    double* inputs[8];
    for (double*& p : inputs) p = in.data();
    size_t next = 0;
    for (long start = 0; start < frames; start += mBlockSize)
    {
      const int n = int(std::min<long>(mBlockSize, frames - start));
      for (; next < events.size() && events[next].frame < mNow + start + n; ++next)
      {
        IMidiMsg msg = events[next].msg;
        msg.mOffset = int(events[next].frame - mNow - start);
        mPlug->ProcessMidiMsg(&msg);
      }
      double* outputs[2] = {out.left.data() + start, out.right.data() + start};
      mPlug->LockMutexAndProcessDoubleReplacing(inputs, outputs, n);
    }
    mNow += frames;
    return out;
  }

  long Now() const { return mNow; }

private:
  int mBlockSize;
  long mNow = 0;
  std::unique_ptr<Vorna> mPlug;
};

// Frequency at sample `at` of a steady tone or one whose pitch moves in a
// straight line: each cycle between upward zero crossings (linearly
// interpolated) gives its frequency at its middle, and a straight line fitted
// through those within `halfWidth` of `at` is read there.
inline double FrequencyAt(const std::vector<double>& x, long at, long halfWidth, double sampleRate)
{
  std::vector<double> crossings;
  for (long i = std::max(at - halfWidth, 1L); i < at + halfWidth; ++i)
  {
    if (x[size_t(i - 1)] < 0.0 && x[size_t(i)] >= 0.0)
      crossings.push_back(double(i - 1) + x[size_t(i - 1)] / (x[size_t(i - 1)] - x[size_t(i)]));
  }
  double n = 0.0, st = 0.0, sf = 0.0, stt = 0.0, stf = 0.0;
  for (size_t k = 1; k < crossings.size(); ++k)
  {
    const double t = 0.5 * (crossings[k] + crossings[k - 1]) - double(at);
    const double f = sampleRate / (crossings[k] - crossings[k - 1]);
    n += 1.0, st += t, sf += f, stt += t * t, stf += t * f;
  }
  if (n < 2.0) return 0.0;
  const double slope = (n * stf - st * sf) / (n * stt - st * st);
  return (sf - slope * st) / n;
}

// Frequency of a steady tone over [begin, end).
inline double SteadyHz(const std::vector<double>& x, long begin, long end, double sampleRate)
{
  return FrequencyAt(x, (begin + end) / 2, (end - begin) / 2, sampleRate);
}

// Amplitude of the component at hz in [begin, end), Hann-windowed.
inline double ToneAmplitude(const std::vector<double>& x, long begin, long end, double hz, double sampleRate)
{
  double re = 0.0, im = 0.0, windowSum = 0.0;
  const long n = end - begin;
  for (long i = 0; i < n; ++i)
  {
    const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * double(i) / double(n));
    const double phase = 2.0 * kPi * hz * double(i) / sampleRate;
    re += w * x[size_t(begin + i)] * std::cos(phase);
    im -= w * x[size_t(begin + i)] * std::sin(phase);
    windowSum += w;
  }
  return 2.0 * std::hypot(re, im) / windowSum;
}

inline double Peak(const std::vector<double>& x, long begin, long end)
{
  double peak = 0.0;
  for (long i = begin; i < end; ++i) peak = std::max(peak, std::fabs(x[size_t(i)]));
  return peak;
}

// The last index whose sample is not exactly zero, or -1.
inline long LastSound(const std::vector<double>& x)
{
  for (long i = long(x.size()) - 1; i >= 0; --i)
    if (x[size_t(i)] != 0.0) return i;
  return -1;
}

inline std::vector<uint8_t> StateBytes(Vorna& plug)
{
  ByteChunk chunk;
  plug.SerializeState(&chunk);
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}
}  // namespace synthtest
