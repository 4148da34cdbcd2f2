#include "host_fakes.h"

#include "IPlugStandalone.h"
#include "callback_reports.h"

namespace
{
// A plug-in that keeps the MIDI messages it is handed.
class MidiProbePlug : public IPlugStandalone
{
public:
  MidiProbePlug()
      : IPlugStandalone(IPlugInstanceInfo{}, 0, "2-2", 0, "Probe", "", "Maker", 1, 1, 1, 0, true, false, true, 0)
  {
  }
  void ProcessMidiMsg(IMidiMsg* msg) override { received.push_back({msg->mStatus, msg->mData1, msg->mData2}); }
  std::vector<std::vector<int>> received;
};

using Bytes = std::vector<unsigned char>;
using Received = std::vector<std::vector<int>>;

class MidiTest : public HostTest
{
protected:
  // Clients, ports and a running stream that has reached its plug-in, which is the probe.
  MidiProbePlug* StartWithProbe(const char* input = "virtual input")
  {
    EXPECT_TRUE(LoadSettings());
    CopyName(gState.midiInDev, input);
    TryToChangeAudioDriverType();
    ProbeAudioIO();
    EXPECT_TRUE(InitialiseMidi());
    ProbeMidiIO();
    auto* plug = new MidiProbePlug;
    gPluginInstance = plug;
    EXPECT_TRUE(ChooseMidiInput(gState.midiInDev));
    EXPECT_TRUE(TryToChangeAudio());
    for (unsigned k = 0; k <= kSilentCallbacks; ++k) gWorld.audio->Pump();
    return plug;
  }
};
}  // namespace

TEST_F(MidiTest, MessagesOfOneToThreeBytesReachThePluginThroughTheChannelFilter)
{
  MidiProbePlug* plug = StartWithProbe();
  EXPECT_EQ(gWorld.midiIn->ignored, (std::vector<bool>{true, true, true}));
  testing::internal::CaptureStdout();
  gWorld.midiIn->Send({});
  gWorld.midiIn->Send({0xF8});
  gWorld.midiIn->Send({0xC0, 5});
  gWorld.midiIn->Send({0x90, 60, 100});
  gWorld.midiIn->Send({0xF0, 1, 2, 0xF7});
  ReportCallbackEvents();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "NOT EXPECTING 4 midi callback msg len\n");
  EXPECT_EQ(plug->received, (Received{{0xF8, 0, 0}, {0xC0, 5, 0}, {0x90, 60, 100}}));

  // Channel 1 only: channel 2 is dropped, and so is every system message (whose low bits are not 0).
  plug->received.clear();
  WriteSharedField(gState.midiInChan, 1);
  for (const Bytes& m : {Bytes{0x90, 60, 1}, Bytes{0x91, 60, 1}, Bytes{0xF8}, Bytes{0xF0}, Bytes{0xEF, 0, 64}})
    gWorld.midiIn->Send(m);
  WriteSharedField(gState.midiInChan, 16);
  gWorld.midiIn->Send({0x8F, 60, 0});
  EXPECT_EQ(plug->received, (Received{{0x90, 60, 1}, {0xF0, 0, 0}, {0x8F, 60, 0}}));
}

TEST_F(MidiTest, NothingIsTakenWhileNoStreamPlays)
{
  MidiProbePlug* plug = StartWithProbe();
  StopAudioStream(false);
  gWorld.midiIn->Send({0x90, 60, 100});
  EXPECT_TRUE(plug->received.empty());

  // A new stream takes MIDI once its callbacks reach the plug-in, not during its silence.
  ASSERT_TRUE(TryToChangeAudio());
  for (unsigned k = 0; k < kSilentCallbacks; ++k) gWorld.audio->Pump();
  gWorld.midiIn->Send({0x90, 61, 100});
  gWorld.audio->Pump();
  gWorld.midiIn->Send({0x90, 62, 100});
  EXPECT_EQ(plug->received, (Received{{0x90, 62, 100}}));
}

TEST_F(MidiTest, PortsAreChosenByNameWithTheVirtualPortsAndFallBackToOff)
{
  StartWithProbe("Pads:0");
  EXPECT_EQ(gMIDIInputDevNames, (std::vector<std::string>{"off", "virtual input", "Keys:0", "Pads:0"}));
  EXPECT_EQ(gMIDIOutputDevNames, (std::vector<std::string>{"off", "virtual output", "Synth:0"}));
  EXPECT_EQ(gWorld.midiIn->openName, "Pads:0");
  EXPECT_EQ(GetMIDIInPortNumber("off"), 0);
  EXPECT_EQ(GetMIDIInPortNumber("virtual input"), 1);
  EXPECT_EQ(GetMIDIInPortNumber("Keys:0"), 2);
  EXPECT_EQ(GetMIDIInPortNumber("virtual output"), -1);
  EXPECT_EQ(GetMIDIOutPortNumber("virtual output"), 1);
  EXPECT_EQ(GetMIDIOutPortNumber("Synth:0"), 2);

  gWorld.log.clear();
  EXPECT_TRUE(ChooseMidiInput("virtual input"));
  EXPECT_TRUE(ChooseMidiOutput("virtual output"));
  EXPECT_TRUE(ChooseMidiOutput("Synth:0"));
  EXPECT_TRUE(ChooseMidiInput("Keys:0"));
  EXPECT_TRUE(ChooseMidiInput("Keys:0"));
  EXPECT_EQ(gWorld.log, (std::vector<std::string>{"in close", "in virtual To Vorna", "out close",
                                                  "out virtual From Vorna", "out close",
                                                  "out port Synth:0 as RtMidi Output", "in close",
                                                  "in port Keys:0 as RtMidi Input", "in close",
                                                  "in port Keys:0 as RtMidi Input"}));

  // A name no longer listed becomes "off" and is written at once; the port is closed.
  CopyName(gState.midiInDev, "Unplugged");
  EXPECT_TRUE(ChooseMidiInput(gState.midiInDev));
  EXPECT_STREQ(gState.midiInDev, "off");
  EXPECT_EQ(gWorld.midiIn->openName, "");
  EXPECT_NE(ReadSettings().find("[midi]\ninchan=0\nindev=off\n"), std::string::npos);

  // A listed port that refuses to open: no port, the name stays for the next start.
  gWorld.unopenablePorts = {0};
  CopyName(gState.midiInDev, "Keys:0");
  EXPECT_FALSE(ChooseMidiInput(gState.midiInDev));
  EXPECT_STREQ(gState.midiInDev, "Keys:0");
  EXPECT_EQ(gWorld.midiIn->openName, "");
  gWorld.failVirtual = true;
  EXPECT_FALSE(ChooseMidiOutput("virtual output"));
  EXPECT_EQ(gWorld.midiOut->openName, "");

  // A port name longer than its field still finds its port.
  gWorld.unopenablePorts.clear();
  gWorld.inPorts.push_back(std::string(120, 'p'));
  char cut[kNameSize];
  CopyName(cut, gWorld.inPorts.back().c_str());
  EXPECT_EQ(GetMIDIInPortNumber(cut), 4);
}

TEST_F(MidiTest, StartUpTurnsTheReadersDefaultsIntoOffAndRunsWithoutMidiWhenThereIsNone)
{
  WriteSettings("[audio]\nsr=48000\n");
  Launch();
  EXPECT_STREQ(gState.midiInDev, "off");
  EXPECT_STREQ(gState.midiOutDev, "off");
  const std::string text = ReadSettings();
  EXPECT_NE(text.find("indev=off\n"), std::string::npos);
  EXPECT_NE(text.find("outdev=off\n"), std::string::npos);
  EXPECT_EQ(gWorld.log[1], "midi in RtMidi Input Client");
  EXPECT_EQ(gWorld.log[2], "midi out RtMidi Output Client");
  Quit();

  // Without a MIDI service the lists stay empty, choices fail, the stored names stay and sound goes on.
  gWorld.failMidiIn = gWorld.failMidiOut = true;
  WriteSettings("[midi]\nindev=Keys:0\n");
  testing::internal::CaptureStderr();
  Launch();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(gMidiIn, nullptr);
  EXPECT_EQ(gMidiOut, nullptr);
  EXPECT_TRUE(gMIDIInputDevNames.empty());
  EXPECT_FALSE(ChooseMidiInput("off"));
  EXPECT_FALSE(ChooseMidiOutput("off"));
  EXPECT_STREQ(gState.midiInDev, "Keys:0");
  EXPECT_TRUE(gDAC->isStreamRunning());
}
