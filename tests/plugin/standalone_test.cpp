#include "ITimeInfo.h"
#include "StandaloneMainWindow.h"
#include "test_plugs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using testplug::TestPlug;

namespace
{
// Captures what would go to the MIDI output port.
class CapturingPlug : public TestPlug
{
public:
  CapturingPlug(unsigned short* channel, bool doesMidi = true)
      : TestPlug(true, 2, InfoWith(channel), doesMidi)
  {
  }

  std::vector<std::vector<unsigned char>> sent;
  bool refuse = false;

protected:
  bool SendMidiBytes(const unsigned char* bytes, size_t size) override
  {
    sent.emplace_back(bytes, bytes + size);
    return !refuse;
  }

private:
  static IPlugInstanceInfo InfoWith(unsigned short* channel)
  {
    IPlugInstanceInfo info;
    // Never dereferenced: the capturing road replaces the port.
    info.mMidiOut = reinterpret_cast<RtMidiOut*>(&sPortStandIn);
    info.mMidiOutChannel = channel;
    return info;
  }
  static inline int sPortStandIn = 0;
};

using Msg = std::vector<unsigned char>;
}  // namespace

TEST(IPlugStandalone, AFreshObjectAnswersForItsOwnHost)
{
  TestPlug plug;
  EXPECT_EQ(plug.GetHost(), kHostStandalone);
  EXPECT_EQ(plug.GetHostVersion(false), testplug::kVersion);
  EXPECT_EQ(plug.GetAPI(), kAPIStandalone);
  EXPECT_STREQ(plug.GetAPIString(), "Standalone");
  EXPECT_EQ(plug.GetBlockSize(), 1024);
  EXPECT_EQ(plug.GetTempo(), 120.0);
  EXPECT_EQ(plug.GetSamplePos(), 0);
  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 22050.0);
  for (int i = 0; i < plug.NInChannels(); ++i) EXPECT_TRUE(plug.IsInChannelConnected(i));
  for (int i = 0; i < plug.NOutChannels(); ++i) EXPECT_TRUE(plug.IsOutChannelConnected(i));
  EXPECT_EQ(plug.NInChannels(), 4);

  int num = 3, den = 8;
  plug.GetTimeSig(&num, &den);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(den, 8);
  ITimeInfo info;
  info.mTempo = 99.0;
  plug.GetTime(&info);
  EXPECT_EQ(info.mTempo, 99.0);
}

TEST(IPlugStandaloneMidi, ChannelMessagesMoveToTheChosenChannel)
{
  unsigned short channel = 3;
  CapturingPlug plug(&channel);
  IMidiMsg noteOn(0, 0x90, 60, 100);
  EXPECT_TRUE(plug.SendMidiMsg(&noteOn));
  IMidiMsg bend(0, 0xEF, 0x12, 0x40);
  EXPECT_TRUE(plug.SendMidiMsg(&bend));
  channel = 16;
  IMidiMsg cc(0, 0xB4, 7, 127);
  EXPECT_TRUE(plug.SendMidiMsg(&cc));
  ASSERT_EQ(plug.sent.size(), 3u);
  EXPECT_EQ(plug.sent[0], (Msg{0x92, 60, 100}));
  EXPECT_EQ(plug.sent[1], (Msg{0xE2, 0x12, 0x40}));
  EXPECT_EQ(plug.sent[2], (Msg{0xBF, 7, 127}));
}

TEST(IPlugStandaloneMidi, AllChannelsAndSystemMessagesKeepTheirStatus)
{
  unsigned short channel = 0;  // "all": every message on its own channel
  CapturingPlug plug(&channel);
  IMidiMsg noteOn(0, 0x95, 60, 100);
  plug.SendMidiMsg(&noteOn);
  channel = 5;
  IMidiMsg clock(0, 0xF8, 0, 0);
  plug.SendMidiMsg(&clock);
  IMidiMsg songPosition(0, 0xF2, 0x10, 0x02);
  plug.SendMidiMsg(&songPosition);
  channel = 17;  // not a channel: nothing is moved
  IMidiMsg noteOff(0, 0x81, 60, 0);
  plug.SendMidiMsg(&noteOff);
  ASSERT_EQ(plug.sent.size(), 4u);
  EXPECT_EQ(plug.sent[0], (Msg{0x95, 60, 100}));
  EXPECT_EQ(plug.sent[1], (Msg{0xF8}));
  EXPECT_EQ(plug.sent[2], (Msg{0xF2, 0x10, 0x02}));
  EXPECT_EQ(plug.sent[3], (Msg{0x81, 60, 0}));

  CapturingPlug unset(nullptr);
  IMidiMsg cc(0, 0xB3, 1, 2);
  unset.SendMidiMsg(&cc);
  EXPECT_EQ(unset.sent.at(0), (Msg{0xB3, 1, 2}));
}

TEST(IPlugStandaloneMidi, TwoByteMessagesAreSentWithoutAStrayByte)
{
  unsigned short channel = 2;
  CapturingPlug plug(&channel);
  IMidiMsg program(0, 0xC0, 5, 0x55);
  IMidiMsg pressure(0, 0xD7, 90, 0x55);
  plug.SendMidiMsg(&program);
  plug.SendMidiMsg(&pressure);
  EXPECT_EQ(plug.sent.at(0), (Msg{0xC1, 5}));
  EXPECT_EQ(plug.sent.at(1), (Msg{0xD1, 90}));
}

TEST(IPlugStandaloneMidi, NothingIsSentWithoutMidiOrAnOutputAndFailuresAreReported)
{
  unsigned short channel = 1;
  CapturingPlug noMidi(&channel, false);
  IMidiMsg noteOn(0, 0x90, 60, 100);
  EXPECT_FALSE(noMidi.SendMidiMsg(&noteOn));
  EXPECT_TRUE(noMidi.sent.empty());

  TestPlug noOutput;
  EXPECT_FALSE(noOutput.SendMidiMsg(&noteOn));
  ISysEx sysex;
  EXPECT_FALSE(noOutput.SendSysEx(&sysex));

  CapturingPlug refusing(&channel);
  refusing.refuse = true;
  EXPECT_FALSE(refusing.SendMidiMsg(&noteOn));
  EXPECT_FALSE(refusing.SendMidiMsg(nullptr));
}

TEST(IPlugStandaloneMidi, SysExGoesOutWholeAndUnchanged)
{
  unsigned short channel = 9;  // channels never touch system exclusive
  CapturingPlug plug(&channel);
  const uint8_t bytes[6] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
  ISysEx sysex(0, bytes, 6);
  EXPECT_TRUE(plug.SendSysEx(&sysex));
  ISysEx empty(0, bytes, -3);
  EXPECT_TRUE(plug.SendSysEx(&empty));
  ASSERT_EQ(plug.sent.size(), 2u);
  EXPECT_EQ(plug.sent[0], (Msg{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
  EXPECT_TRUE(plug.sent[1].empty());
}

TEST(IPlugStandaloneWindow, ResizingNeedsAnEditorAndTellsThePlugIn)
{
  TestPlug plug;
  plug.ResizeGraphics(10, 10);
  EXPECT_EQ(plug.calls.windowResizes, 0);
  plug.AttachGraphics(new testplug::RecordingGraphics(&plug, 770, 650));
  plug.ResizeGraphics(1, 1);
  EXPECT_EQ(plug.calls.windowResizes, 1);
  EXPECT_FALSE(FitMainWindowToEditor(770, 650));  // no main window in a test
}

TEST(IPlugStandaloneWindow, TheNewFrameKeepsTheTopLeftCornerAndAddsTheTitleBar)
{
  // A window whose upper edge is at y = 900 (y grows upward), left edge 100.
  const WindowFrame frame = MainWindowFrameForEditor(100, 900, 770, 650);
  EXPECT_EQ(frame.x, 100);
  EXPECT_EQ(frame.width, 770);
  EXPECT_EQ(frame.height, 672);
  EXPECT_EQ(frame.y, 228);  // 900 - 672: the lower edge moves, the top stays
}

TEST(IPlugStandaloneProcessing, ABlockWaitsForTheMutexAndThenRuns)
{
  TestPlug plug;
  double in[2][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
  double inL[4] = {1, 2, 3, 4};
  double out[2][4] = {};
  double* ins[4] = {in[0], in[1], inL, inL};
  double* outs[2] = {out[0], out[1]};

  std::atomic<bool> done{false};
  plug.mMutex.Enter();
  std::thread audio([&] {
    plug.LockMutexAndProcessDoubleReplacing(ins, outs, 4);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done);  // still held by the "main thread"
  EXPECT_EQ(out[1][3], 0.0);
  plug.mMutex.Leave();
  audio.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(out[0][0], 1.0);
  EXPECT_EQ(out[1][3], 8.0);
}
