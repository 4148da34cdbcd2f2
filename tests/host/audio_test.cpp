#include "host_fakes.h"

#include "IPlugStandalone.h"
#include "Vorna.h"
#include "callback_reports.h"

#include <climits>
#include <cmath>

namespace
{
// A plug-in that tells what the host asks of it and plays a constant: +level
// on the left, -level on the right (or nothing at all).
class ProbePlug : public IPlugStandalone
{
public:
  ProbePlug()
      : IPlugStandalone(IPlugInstanceInfo{}, 0, "2-2", 0, "Probe", "", "Maker", 1, 1, 1, 0, true, false, true, 0)
  {
  }
  void SetBlockSize(int size) override
  {
    gWorld.log.push_back("block " + std::to_string(size) + " at " + std::to_string(int(GetSampleRate())));
    IPlugStandalone::SetBlockSize(size);
  }
  void Reset() override
  {
    gWorld.log.push_back("reset " + std::to_string(GetBlockSize()) + " at " + std::to_string(int(GetSampleRate())));
  }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override
  {
    chunks.push_back(nFrames);
    firstInputs = {inputs[0][0], inputs[1][0]};
    if (!writes) return;
    for (int i = 0; i < nFrames; ++i)
    {
      outputs[0][i] = level;
      outputs[1][i] = -level;
    }
  }

  std::vector<int> chunks;
  std::vector<double> firstInputs;
  double level = 1.0;
  bool writes = true;
};

class AudioTest : public HostTest
{
protected:
  // The application as far as audio goes, with the probe as its plug-in.
  ProbePlug* StartWithProbe()
  {
    EXPECT_TRUE(LoadSettings());
    TryToChangeAudioDriverType();
    ProbeAudioIO();
    auto* plug = new ProbePlug;
    gPluginInstance = plug;  // the shut-down deletes it
    return plug;
  }
  // Pumps until the callbacks reach the plug-in; returns the number of silent ones.
  int PumpThroughSilence(ProbePlug* plug)
  {
    int silent = 0;
    while (plug->chunks.empty() && silent < 1000)
    {
      const std::vector<double> out = gWorld.audio->Pump();
      if (!plug->chunks.empty()) break;
      ++silent;
      for (double v : out) EXPECT_EQ(v, 0.0);
    }
    return silent;
  }
};

// The largest period below 2000 frames whose fade steps of 1/n add up to less
// than 1, so that an unclamped fade would end above full level.
unsigned PeriodWhoseStepsFallShort()
{
  for (unsigned n = 1999; n > 2; --n)
  {
    double sum = 0.0;
    for (unsigned k = 0; k < n; ++k) sum += 1.0 / n;
    if (sum < 1.0) return n;
  }
  return 0;
}
}  // namespace

TEST_F(AudioTest, OpeningTellsThePluginInOrderThenStartsTheStreamItAskedFor)
{
  ProbePlug* plug = StartWithProbe();
  CopyName(gState.inDev, "Desk");
  CopyName(gState.sr, "48000");
  CopyName(gState.iovs, "256");
  CopyName(gState.sigvs, "64");
  gState.inChanL = 3;
  gState.outChanL = 5;
  gWorld.log.clear();
  ASSERT_TRUE(TryToChangeAudio());
  EXPECT_EQ(gWorld.log, (std::vector<std::string>{"block 64 at 44100", "reset 64 at 48000", "open 256", "start"}));
  const FakeAudioDriver& audio = *gWorld.audio;
  EXPECT_EQ(std::vector<unsigned>({audio.inParams.deviceId, audio.inParams.nChannels, audio.inParams.firstChannel,
                                   audio.outParams.deviceId, audio.outParams.nChannels, audio.outParams.firstChannel}),
            (std::vector<unsigned>{1, 2, 2, 0, 2, 4}));
  EXPECT_EQ(audio.format, RTAUDIO_FLOAT64);
  EXPECT_EQ(audio.flags, RTAUDIO_NONINTERLEAVED);
  EXPECT_EQ(audio.sampleRate, 48000u);
  EXPECT_TRUE(AudioSettingsInStateAreEqual(&gActiveState, &gState));

  // Reopening aborts the running stream first and starts silence and fade over.
  EXPECT_EQ(PumpThroughSilence(plug), int(kSilentCallbacks));
  gWorld.log.clear();
  ASSERT_TRUE(TryToChangeAudio());
  EXPECT_EQ(gWorld.log.front(), "abort");
  plug->chunks.clear();
  EXPECT_EQ(PumpThroughSilence(plug), int(kSilentCallbacks));
}

TEST_F(AudioTest, EveryGrantedPeriodIsCutIntoSubBlocksThatStayInsideTheBuffers)
{
  ProbePlug* plug = StartWithProbe();
  for (unsigned period : {1u, 31u, 100u, 256u, 1000u})
  {
    for (int sigvs : {16, 32, 64, 128, 256, 512})
    {
      SCOPED_TRACE("period " + std::to_string(period) + ", sub-block " + std::to_string(sigvs));
      CopyName(gState.sigvs, std::to_string(sigvs).c_str());
      gWorld.grantedFrames = period;
      plug->chunks.clear();
      ASSERT_TRUE(TryToChangeAudio());
      PumpThroughSilence(plug);
      for (int callback = 0; callback < 3; ++callback)
      {
        plug->chunks.clear();
        const std::vector<double> out = gWorld.audio->Pump();
        std::vector<int> expected(period / unsigned(sigvs), sigvs);
        if (period % unsigned(sigvs)) expected.push_back(int(period % unsigned(sigvs)));
        EXPECT_EQ(plug->chunks, expected);
        if (callback > 0)
        {
          EXPECT_EQ(out.front(), kOutputGain);
          EXPECT_EQ(out[period - 1], kOutputGain);
          EXPECT_EQ(out[period], -kOutputGain);
          EXPECT_EQ(out.back(), -kOutputGain);
        }
      }
    }
  }
}

TEST_F(AudioTest, TheOutputFadesInOnceToExactlyAQuarterAndSilenceStaysSilent)
{
  const unsigned n = PeriodWhoseStepsFallShort();
  ASSERT_GT(n, 0u);
  ProbePlug* plug = StartWithProbe();
  gWorld.grantedFrames = n;
  ASSERT_TRUE(TryToChangeAudio());
  PumpThroughSilence(plug);
  // The pump that reached the plug-in was the first faded one; look at the next reopening's.
  ASSERT_TRUE(TryToChangeAudio());
  plug->chunks.clear();
  for (unsigned k = 0; k < kSilentCallbacks; ++k) gWorld.audio->Pump();
  const std::vector<double> first = gWorld.audio->Pump();
  EXPECT_NEAR(first[0], kOutputGain / n, 1e-15);
  for (unsigned i = 1; i < n; ++i) ASSERT_GE(first[i], first[i - 1]);
  EXPECT_NEAR(first[n - 1], kOutputGain, 1e-12);
  const std::vector<double> second = gWorld.audio->Pump();
  for (unsigned i = 0; i < n; ++i) ASSERT_EQ(second[i], kOutputGain) << i;

  // A plug-in that writes nothing leaves silence, not what the device buffer held.
  plug->writes = false;
  for (double v : gWorld.audio->Pump()) ASSERT_EQ(v, 0.0);

  // The callback counter stops at its top instead of starting the silence over.
  plug->writes = true;
  gVecElapsed = UINT_MAX - 1;
  for (int k = 0; k < 3; ++k) EXPECT_EQ(gWorld.audio->Pump().front(), kOutputGain);
}

TEST_F(AudioTest, MonoInputFeedsTheLeftInputToBothAndDeviceTroubleIsReportedByTheMainThread)
{
  ProbePlug* plug = StartWithProbe();
  gWorld.grantedFrames = 4;
  ASSERT_TRUE(TryToChangeAudio());
  PumpThroughSilence(plug);
  const std::vector<double> input = {1, 1, 1, 1, 2, 2, 2, 2};
  gWorld.audio->Pump(input);
  EXPECT_EQ(plug->firstInputs, (std::vector<double>{1, 2}));
  WriteSharedField(gState.monoInput, 1);
  gWorld.audio->Pump(input);
  EXPECT_EQ(plug->firstInputs, (std::vector<double>{1, 1}));

  testing::internal::CaptureStdout();
  gWorld.audio->Pump({}, RTAUDIO_OUTPUT_UNDERFLOW);
  gWorld.audio->Pump({}, RTAUDIO_INPUT_OVERFLOW);
  const int lines = ReportCallbackEvents();
  const int linesAfter = ReportCallbackEvents();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Stream underflow detected!\n");
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(linesAfter, 0);
}

TEST_F(AudioTest, DevicesAreListedByTheirOwnNamesAndFailedProbesKeepTheirPlace)
{
  gWorld.devices = {Device("default", 2, 2), Device("Maker: Built-in Output", 0, 2), Device("A: B: Card", 2, 0),
                    Device("Broken", 2, 2, false), Device("Refused", 2, 2), Device("Last", 1, 1)};
  gWorld.infoThrows = {4};
  ASSERT_TRUE(LoadSettings());
  ASSERT_TRUE(TryToChangeAudioDriverType());
  testing::internal::CaptureStdout();
  ProbeAudioIO();
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(gAudioIDDevNames, (std::vector<std::string>{"default", "Built-in Output", "Card", "Broken", "", "Last"}));
  EXPECT_EQ(gAudioInputDevs, (std::vector<unsigned>{0, 2, 5}));
  EXPECT_EQ(gAudioOutputDevs, (std::vector<unsigned>{0, 1, 5}));
  EXPECT_NE(printed.find("Broken: Probe Status = Unsuccessful\n"), std::string::npos);
  EXPECT_EQ(GetAudioDeviceID("Last"), 5);
  EXPECT_EQ(GetAudioDeviceID("Maker: Built-in Output"), -1);
  EXPECT_EQ(GetAudioDeviceName(5), "Last");
  EXPECT_EQ(GetAudioDeviceName(6), "");
  EXPECT_EQ(GetAudioDeviceName(-1), "");
}

TEST_F(AudioTest, WithoutADeviceTheApplicationRunsOnSilently)
{
  // No driver at all: nothing is listed, nothing opens, the rest starts.
  gWorld.noDriver = true;
  Launch();
  EXPECT_EQ(gDAC, nullptr);
  EXPECT_TRUE(gAudioIDDevNames.empty());
  EXPECT_NE(gPluginInstance, nullptr);
  EXPECT_FALSE(TryToChangeAudio());
  EXPECT_FALSE(InitialiseAudio(0, 0, 48000, 256, 2, 0, 0));
  Quit();

  // A driver without devices.
  gWorld.noDriver = false;
  gWorld.devices.clear();
  Launch();
  EXPECT_FALSE(gDAC->isStreamOpen());
  Quit();

  // A stored device that is gone: the running stream keeps running.
  gWorld.devices = {Device("default", 2, 2)};
  Launch();
  ASSERT_TRUE(gDAC->isStreamRunning());
  CopyName(gState.outDev, "gone");
  EXPECT_FALSE(TryToChangeAudio());
  EXPECT_TRUE(gDAC->isStreamRunning());
  CopyName(gState.outDev, "default");

  // The library refuses to open, or to start: no stream, false, and the plug-in keeps its new size.
  for (bool openFails : {true, false})
  {
    gWorld.failOpen = openFails;
    gWorld.failStart = !openFails;
    CopyName(gState.sigvs, openFails ? "128" : "256");
    EXPECT_FALSE(TryToChangeAudio());
    EXPECT_FALSE(gDAC->isStreamOpen());
    EXPECT_EQ(gPluginInstance->GetBlockSize(), openFails ? 128 : 256);
  }
  gWorld.failStart = false;
  EXPECT_TRUE(TryToChangeAudio());

  // A stream that refuses to stop is still closed, by reopening and at shut-down alike.
  gWorld.failStop = true;
  EXPECT_TRUE(InitialiseAudio(0, 0, 48000, 256, 2, 0, 0));
  EXPECT_TRUE(gDAC->isStreamRunning());
  gWorld.log.clear();
  Quit();
  EXPECT_EQ(gWorld.log,
            (std::vector<std::string>{"in close", "out close", "close", "in deleted", "out deleted", "audio deleted"}));
}

TEST_F(AudioTest, AHeldNoteSoundsTheSameWhateverThePeriodAndEndsInSilence)
{
  WriteSettings("[audio]\nsr=48000\n[midi]\nindev=virtual input\n");
  Launch();
  auto* vorna = static_cast<Vorna*>(gPluginInstance);
  ASSERT_NE(gWorld.midiIn, nullptr);
  constexpr size_t kHeld = 4800;     // 0.1 s
  constexpr size_t kRelease = 24000; // 0.5 s, past the default release
  std::vector<double> reference;
  for (unsigned period : {256u, 1u, 31u, 100u, 1000u})
  {
    for (int sigvs : {16, 32, 64, 128, 256, 512})
    {
      SCOPED_TRACE("period " + std::to_string(period) + ", sub-block " + std::to_string(sigvs));
      CopyName(gState.sigvs, std::to_string(sigvs).c_str());
      gWorld.grantedFrames = period;
      ASSERT_TRUE(TryToChangeAudio());
      for (unsigned k = 0; k <= kSilentCallbacks; ++k) gWorld.audio->Pump();
      vorna->SeedRandom(7);
      gWorld.midiIn->Send({0x90, 69, 100});
      std::vector<double> left;
      while (left.size() < kHeld)
      {
        const std::vector<double> out = gWorld.audio->Pump();
        left.insert(left.end(), out.begin(), out.begin() + period);
      }
      left.resize(kHeld);
      gWorld.midiIn->Send({0x80, 69, 0});
      std::vector<double> tail;
      while (tail.size() < kRelease)
      {
        const std::vector<double> out = gWorld.audio->Pump();
        tail.insert(tail.end(), out.begin(), out.end());
      }
      if (reference.empty())
      {
        reference = left;
        double peak = 0.0;
        for (double v : left) peak = std::max(peak, std::fabs(v));
        ASSERT_GT(peak, 0.01);
      }
      else
      {
        for (size_t i = 0; i < kHeld; ++i) ASSERT_NEAR(left[i], reference[i], 1e-12) << "frame " << i;
      }
      // The last voice is gone: both channels exactly silent for the last 0.1 s.
      for (size_t i = tail.size() - 2 * kHeld; i < tail.size(); ++i) ASSERT_EQ(tail[i], 0.0) << i;
    }
  }
}
