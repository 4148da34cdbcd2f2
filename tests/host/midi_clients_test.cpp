// The MIDI clients when the service makes only one of them, or none until later: each
// direction stands on its own, one line says which is missing and why, and Preferences
// (opening it, or a port picked in it) tries again.
#include "app_window_fixture.h"

#include "app_preferences.h"

#include "swell-dlg.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
using Texts = std::vector<std::string>;

bool Logged(const std::string& entry)
{
  return std::find(gWorld.log.begin(), gWorld.log.end(), entry) != gWorld.log.end();
}

// What the application said on stderr, without the program's name before each line.
std::string Said(const std::function<void()>& action)
{
  testing::internal::CaptureStderr();
  action();
  std::string text = testing::internal::GetCapturedStderr();
  std::string lines;
  for (size_t at = 0; at < text.size();)
  {
    const size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
    if (line.find("MIDI") != std::string::npos) lines += line.substr(line.find(": ") + 2);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return lines;
}

using MidiClientsTest = AppWindowTest;
}  // namespace

TEST_F(MidiClientsTest, EachDirectionStandsOnItsOwnAndTheLineNamesTheOneThatFailed)
{
  struct Row
  {
    bool inputFails, outputFails;
    const char* said;
  };
  const Row rows[] = {
      {false, true, "no MIDI output: no output client\n"},
      {true, false, "no MIDI input: no input client\n"},
      {true, true, "no MIDI input (no input client), no MIDI output (no output client)\n"},
  };
  for (const Row& row : rows)
  {
    gWorld.failMidiIn = row.inputFails;
    gWorld.failMidiOut = row.outputFails;
    WriteSettings("[midi]\nindev=virtual input\noutdev=virtual output\n");
    EXPECT_EQ(Said([&] { Launch(); }), row.said);
    // An input that exists plays what its port takes; the missing side has no list and keeps its name.
    EXPECT_EQ(gMidiIn != nullptr, !row.inputFails);
    EXPECT_EQ(gMidiOut != nullptr, !row.outputFails);
    if (gMidiIn)
    {
      EXPECT_EQ(gWorld.midiIn->callback, &MIDICallback);
      EXPECT_EQ(gWorld.midiIn->openName, "To Vorna");
    }
    if (gMidiOut)
    {
      EXPECT_EQ(gWorld.midiOut->openName, "From Vorna");
    }
    EXPECT_EQ(gMIDIInputDevNames.empty(), row.inputFails);
    EXPECT_EQ(gMIDIOutputDevNames.empty(), row.outputFails);
    EXPECT_STREQ(gState.midiInDev, "virtual input");
    EXPECT_STREQ(gState.midiOutDev, "virtual output");
    EXPECT_TRUE(gDAC->isStreamRunning());
    Quit();
  }
}

TEST_F(MidiClientsTest, ClientsMissingAtTheStartAreMadeWhenPreferencesOpensOrAPortIsPicked)
{
  gWorld.failMidiIn = gWorld.failMidiOut = true;
  gWorld.inPorts.clear();
  gWorld.outPorts.clear();
  WriteSettings("[midi]\nindev=virtual input\noutdev=Synth:0\n");
  EXPECT_EQ(Said([&] { StartApplication(); }),
            "no MIDI input (no input client), no MIDI output (no output client)\n");

  // Still no service: the dialog's lists stay empty, the line says so again, the names stay.
  HWND dialog = nullptr;
  EXPECT_EQ(Said([&] { dialog = OpenPreferences(); }),
            "no MIDI input (no input client), no MIDI output (no output client)\n");
  EXPECT_TRUE(Entries(dialog, IDC_COMBO_MIDI_IN_DEV).empty());
  DestroyWindow(dialog);

  // The service answers for the input now (its ports appeared with it): opening the dialog
  // makes the input, lists its ports and publishes the port the settings name.
  gWorld.failMidiIn = false;
  gWorld.inPorts = {"Keys:0"};
  gWorld.outPorts = {"Synth:0"};
  EXPECT_EQ(Said([&] { dialog = OpenPreferences(); }), "no MIDI output: no output client\n");
  EXPECT_TRUE(Logged("in virtual To Vorna"));
  EXPECT_EQ(Entries(dialog, IDC_COMBO_MIDI_IN_DEV), (Texts{"off", "virtual input", "Keys:0"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_IN_DEV), "virtual input");
  EXPECT_TRUE(Entries(dialog, IDC_COMBO_MIDI_OUT_DEV).empty());
  EXPECT_STREQ(gState.midiOutDev, "Synth:0");

  // And for the output by the time a port is picked: the pick makes it and opens its port.
  gWorld.failMidiOut = false;
  EXPECT_EQ(Said([&] { Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "Keys:0"); }), "");
  EXPECT_EQ(gWorld.midiIn->openName, "Keys:0");
  EXPECT_EQ(gWorld.midiOut->openName, "Synth:0");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_MIDI_OUT_DEV), (Texts{"off", "virtual output", "Synth:0"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_OUT_DEV), "Synth:0");
  SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The line names what each service said: "neither" only when no sequencer and no server answer.
TEST(MidiClientsLine, NamesWhatEachServiceSaid)
{
  EXPECT_EQ(WhyNoMidiClient(kSequencerSilent, "no JACK server answers"),
            "neither the ALSA sequencer nor a JACK server answers");
  EXPECT_EQ(WhyNoMidiClient(kSequencerSilent, "the JACK server refused the client: no more clients"),
            "the ALSA sequencer does not answer, and the JACK server refused the client: no more clients");
  EXPECT_EQ(WhyNoMidiClient(kNoSequencerBuilt, "no JACK server answers"),
            "this build has no ALSA sequencer, and no JACK server answers");
}
