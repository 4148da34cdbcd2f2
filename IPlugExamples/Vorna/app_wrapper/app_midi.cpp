#include "app_main.h"

#include "IPlugStandalone.h"
#include "IPlugStructs.h"
#include "callback_reports.h"
#include "library_errors.h"

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
}  // namespace

bool InitialiseMidi()
{
  try
  {
    gMidiIn = gHostBackends.makeMidiIn("RtMidi Input Client");
  }
  catch (const std::exception& error)
  {
    gMidiIn.reset();
    PrintLibraryError(error);
    return false;
  }
  try
  {
    gMidiOut = gHostBackends.makeMidiOut("RtMidi Output Client");
  }
  catch (const std::exception& error)
  {
    gMidiOut.reset();
    PrintLibraryError(error);
    return false;
  }
  if (!gMidiIn || !gMidiOut) return false;
  try
  {
    gMidiIn->setCallback(MIDICallback, nullptr);
    gMidiIn->ignoreTypes(true, true, true);
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
    return false;
  }
  return true;
}

void ProbeMidiIO()
{
  if (!gMidiIn || !gMidiOut) return;
  ListPorts(gMidiIn.get(), InputDirection().virtualName, &gMIDIInputDevNames);
  ListPorts(gMidiOut.get(), OutputDirection().virtualName, &gMIDIOutputDevNames);
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
