// MIDI bytes from a port, as the MIDI library hands them to the host's callback: whole
// messages, running-status data bytes on their own, SysEx of any length, truncated messages
// and one message's bytes split over several calls. Between them the host's audio callback
// renders device buffers through the instrument. Besides not crashing: exactly the messages
// of one to three bytes that pass the channel filter while the stream plays reach the
// instrument, as the bytes were (a short one filled with 0), and the device's output stays
// finite, normal and below the master limiter's ceiling.
//
// Input: byte 0 picks the input channel setting (0 all, 1 to 16), byte 1 the sub-block and
// the device buffer sizes and whether the device hands input; then records, each a head byte:
// 0xFF renders one device buffer; 0xF0 to 0xFE are a message of 4 + n * (head - 0xEF) bytes,
// n the next byte; anything else a message of head % 5 bytes (0 to 4). A message's bytes
// follow; the input's end cuts the last one short.
#include "IPlugStandalone.h"
#include "Vorna.h"
#include "app_main.h"
#include "callback_reports.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>


namespace
{
// A broken invariant: the line that found it, then the crash libFuzzer keeps the input of.
[[noreturn]] void Fail(int line)
{
  std::fprintf(stderr, "%s:%d: invariant broken\n", __FILE__, line);
  __builtin_trap();
}
}  // namespace

namespace
{
constexpr int kSubBlocks[] = {1, 7, 16, 32, 512};
constexpr unsigned kDeviceFrames[] = {1, 16, 31, 64, 96};
constexpr int kSampleRate = 48000;
// Keeps one input quick however many render records it holds: what the receiver does with
// the messages shows within a few short buffers, and rendering is most of an input's cost.
constexpr unsigned kMaxFrames = 320;
constexpr int kTailBuffers = 1;
constexpr uint8_t kRender = 0xFF;
constexpr uint8_t kFirstLong = 0xF0;
// The master limiter's ceiling at its loosest, times the top of "master amp", after the
// host's own output gain.
constexpr double kOutputBound = 8.0 * 2.0 * kOutputGain;

// The instrument as the application makes it (MakePlug), noting what reaches it.
class ProbedVorna : public Vorna
{
public:
  explicit ProbedVorna(IPlugInstanceInfo info) : Vorna(std::move(info)) {}
  void ProcessMidiMsg(IMidiMsg* msg) override
  {
    received.push_back({msg->mOffset, msg->mStatus, msg->mData1, msg->mData2});
    Vorna::ProcessMidiMsg(msg);
  }
  std::vector<std::array<int, 4>> received;
};

struct Reader
{
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool more() const { return at < size; }
  uint8_t byte() { return at < size ? data[at++] : 0; }
};

class Device
{
public:
  Device(unsigned frames, bool hasInput) : mFrames(frames), mHasInput(hasInput) {}
  bool HasBudget() const { return mRendered + mFrames <= kMaxFrames; }
  void Buffer()
  {
    double* input = mHasInput ? mInput : nullptr;
    AudioCallback(mOutput, input, mFrames, 0.0, 0, nullptr);
    mRendered += mFrames;
    for (unsigned i = 0; i < 2 * mFrames; ++i)
    {
      const double x = mOutput[i];
      if (!std::isfinite(x) || std::fpclassify(x) == FP_SUBNORMAL || std::fabs(x) >= kOutputBound) Fail(__LINE__);
    }
  }

private:
  unsigned mFrames;
  bool mHasInput;
  unsigned mRendered = 0;
  double mInput[2 * 96] = {};
  double mOutput[2 * 96];
};

bool PassesChannel(unsigned setting, uint8_t status)
{
  return setting == 0 || setting == unsigned(status & 0x0F) + 1;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  // What the main thread reports of the callbacks goes to standard output.
  if (!std::freopen("/dev/null", "w", stdout)) Fail(__LINE__);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 2) return 0;
  Reader in{data, size};
  const unsigned channel = in.byte() % 17;
  const uint8_t sizes = in.byte();
  WriteSharedField(gState.midiInChan, uint16_t(channel));
  WriteSharedField(gState.monoInput, uint16_t((sizes >> 7) & 1));
  gSigVS = kSubBlocks[sizes % 5];
  Device device(kDeviceFrames[(sizes / 5) % 5], (sizes & 0x40) == 0);

  // One instrument for the whole run, on the default preset as the application starts it
  // (making one, or restoring the preset, costs more than an input), brought back to the
  // start of a stream each time: no voices, the same random draws (what the receiver keeps
  // of controllers and wheels carries over to the next input).
  static ProbedVorna* plug = [] {
    IPlugInstanceInfo info;
    info.mBundleID.Set(Vorna::kBundleID);
    info.mMidiOutChannel = &gState.midiOutChan;
    auto* made = new ProbedVorna(std::move(info));
    made->RestorePreset(0);
    return made;
  }();
  plug->received.clear();
  plug->SetBlockSize(gSigVS);
  plug->SetSampleRate(kSampleRate);
  plug->Reset();
  plug->SeedRandom(1);
  // As a stream that opened: the first buffer ends the silent start and the plug-in plays.
  gPluginInstance = plug;
  gVecElapsed = kSilentCallbacks;
  gFadeMult = 0.0;
  gAudioProcessing.store(false);

  std::vector<unsigned char> message;
  while (in.more())
  {
    const uint8_t head = in.byte();
    if (head == kRender)
    {
      if (!device.HasBudget()) break;
      device.Buffer();
      continue;
    }
    const size_t length = head >= kFirstLong ? 4 + size_t(in.byte()) * (head - kFirstLong + 1) : head % 5;
    message.clear();
    for (size_t i = 0; i < length && in.more(); ++i) message.push_back(in.byte());

    const size_t before = plug->received.size();
    const bool plays = gAudioProcessing.load();
    MIDICallback(0.0, &message, nullptr);
    const bool taken = plays && !message.empty() && message.size() <= 3 && PassesChannel(channel, message[0]);
    if (plug->received.size() != before + (taken ? 1 : 0)) Fail(__LINE__);
    if (taken)
    {
      const std::array<int, 4> expected = {0, message[0], message.size() > 1 ? message[1] : 0,
                                           message.size() > 2 ? message[2] : 0};
      if (plug->received.back() != expected) Fail(__LINE__);
    }
  }
  for (int k = 0; k < kTailBuffers && device.HasBudget(); ++k) device.Buffer();
  ReportCallbackEvents();

  gAudioProcessing.store(false);
  gPluginInstance = nullptr;
  return 0;
}
