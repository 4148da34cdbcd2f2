#include "app_main.h"

#include "IPlugStandalone.h"
#include "IPlugStructs.h"
#include "callback_reports.h"
#include "library_errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

std::unique_ptr<MidiIn> gMidiIn;
std::unique_ptr<MidiOut> gMidiOut;
std::vector<std::string> gMIDIInputDevNames;
std::vector<std::string> gMIDIOutputDevNames;

namespace
{
constexpr const char* kOff = "off";

// What differs between choosing the input and choosing the output.
struct MidiDirection
{
  MidiClient* client;
  const char* virtualName;   // the entry that stands for the application's own port
  const char* virtualPrefix; // the own port's name before the product word
  const char* portName;      // the name of the connection to a real port
  char (AppState::*stored)[kNameSize];
};

MidiDirection InputDirection() { return {gMidiIn.get(), "virtual input", "To ", "RtMidi Input", &AppState::midiInDev}; }
MidiDirection OutputDirection()
{
  return {gMidiOut.get(), "virtual output", "From ", "RtMidi Output", &AppState::midiOutDev};
}

int PortNumber(const MidiDirection& direction, const char* name)
{
  if (std::strcmp(name, kOff) == 0) return 0;
  if (std::strcmp(name, direction.virtualName) == 0) return 1;
  if (!direction.client) return -1;
  try
  {
    const unsigned count = direction.client->getPortCount();
    for (unsigned port = 0; port < count; ++port)
      if (StoredNameMatches(name, direction.client->getPortName(port))) return int(port) + 2;
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
  }
  return -1;
}

bool ChoosePort(const MidiDirection& direction, const char* name)
{
  if (!direction.client) return false;
  int number = PortNumber(direction, name);
  if (number < 0)
  {
    // Only a name that is no longer listed turns into "off".
    CopyName(gState.*direction.stored, kOff);
    UpdateINI();
    number = 0;
  }
  try
  {
    direction.client->closePort();
    if (number == 1) direction.client->openVirtualPort(std::string(direction.virtualPrefix) + kProductWord);
    else if (number > 1) direction.client->openPort(unsigned(number - 2), direction.portName);
  }
  catch (const std::exception& error)
  {
    // Listed but not to be opened: no port, and the setting stays for the next start.
    PrintLibraryError(error);
    return false;
  }
  return true;
}

void ListPorts(MidiClient* client, const char* virtualName, std::vector<std::string>* names)
{
  names->clear();
  names->push_back(kOff);
  names->push_back(virtualName);
  try
  {
    const unsigned count = client->getPortCount();
    for (unsigned port = 0; port < count; ++port) names->push_back(client->getPortName(port));
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
  }
}

// An input client exists only with its callback, so that what its port takes is played.
std::unique_ptr<MidiIn> MakeMidiInput(std::string* why)
{
  try
  {
    std::unique_ptr<MidiIn> input = gHostBackends.makeMidiIn("RtMidi Input Client");
    if (!input) return nullptr;
    input->setCallback(MIDICallback, nullptr);
    input->ignoreTypes(true, true, true);
    return input;
  }
  catch (const std::exception& error)
  {
    *why = error.what();
    return nullptr;
  }
}

std::unique_ptr<MidiOut> MakeMidiOutput(std::string* why)
{
  try
  {
    return gHostBackends.makeMidiOut("RtMidi Output Client");
  }
  catch (const std::exception& error)
  {
    *why = error.what();
    return nullptr;
  }
}

// One line naming each direction left without a client, and why.
void SayMidiMissing(const std::string& inWhy, const std::string& outWhy)
{
  std::string what;
  if (!gMidiIn && !gMidiOut && inWhy == outWhy) what = "no MIDI input or output: " + inWhy;
  else if (!gMidiIn && !gMidiOut) what = "no MIDI input (" + inWhy + "), no MIDI output (" + outWhy + ")";
  else if (!gMidiIn) what = "no MIDI input: " + inWhy;
  else what = "no MIDI output: " + outWhy;
  std::replace(what.begin(), what.end(), '\n', ' ');
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
  std::fflush(stderr);
}
}  // namespace

bool InitialiseMidi()
{
  // Each direction stands on its own: a service that refuses one client may give the other.
  std::string inWhy = "the MIDI library made no client", outWhy = inWhy;
  if (!gMidiIn) gMidiIn = MakeMidiInput(&inWhy);
  if (!gMidiOut)
  {
    gMidiOut = MakeMidiOutput(&outWhy);
    if (gMidiOut && gPluginInstance) gPluginInstance->SetMidiOut(gMidiOut->native());
  }
  if (gMidiIn && gMidiOut) return true;
  SayMidiMissing(inWhy, outWhy);
  return false;
}

void ProbeMidiIO()
{
  gMIDIInputDevNames.clear();
  gMIDIOutputDevNames.clear();
  if (gMidiIn) ListPorts(gMidiIn.get(), InputDirection().virtualName, &gMIDIInputDevNames);
  if (gMidiOut) ListPorts(gMidiOut.get(), OutputDirection().virtualName, &gMIDIOutputDevNames);
}

bool RetryMidiClients()
{
  const bool hadInput = gMidiIn != nullptr;
  const bool hadOutput = gMidiOut != nullptr;
  if (hadInput && hadOutput) return false;
  InitialiseMidi();
  if (hadInput == (gMidiIn != nullptr) && hadOutput == (gMidiOut != nullptr)) return false;
  ProbeMidiIO();
  // The ports the settings name are opened on the new clients, as at the start.
  if (!hadInput && gMidiIn) ChooseMidiInput(gState.midiInDev);
  if (!hadOutput && gMidiOut) ChooseMidiOutput(gState.midiOutDev);
  return true;
}

int GetMIDIInPortNumber(const char* name) { return PortNumber(InputDirection(), name); }
int GetMIDIOutPortNumber(const char* name) { return PortNumber(OutputDirection(), name); }
bool ChooseMidiInput(const char* name) { return ChoosePort(InputDirection(), name); }
bool ChooseMidiOutput(const char* name) { return ChoosePort(OutputDirection(), name); }

void MIDICallback(double, std::vector<unsigned char>* message, void*)
{
  if (!message) return;
  const size_t length = message->size();
  if (length == 0) return;
  if (length > 3)
  {
    NoteLongMidiMessage(length);
    return;
  }
  // Without a stream nothing would play it now, and a later stream must not
  // start with a backlog.
  if (!gAudioProcessing.load(std::memory_order_acquire)) return;

  const std::vector<unsigned char>& bytes = *message;
  IMidiMsg msg(0, bytes[0], length > 1 ? bytes[1] : 0, length > 2 ? bytes[2] : 0);
  const unsigned channel = ReadSharedField(gState.midiInChan);
  if (channel != 0 && channel != unsigned(msg.Channel()) + 1) return;
  if (gPluginInstance) gPluginInstance->ProcessMidiMsg(&msg);
}
