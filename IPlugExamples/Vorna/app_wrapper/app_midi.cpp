#include "app_main.h"

#include "IPlugStandalone.h"
#include "IPlugStructs.h"
#include "callback_reports.h"
#include "library_errors.h"
#include "service_calls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

std::unique_ptr<MidiIn> gMidiIn;
std::unique_ptr<MidiOut> gMidiOut;
std::vector<std::string> gMIDIInputDevNames;
std::vector<std::string> gMIDIOutputDevNames;
PickedNames gMidiInputPicks;
PickedNames gMidiOutputPicks;

namespace
{
constexpr const char* kOff = "off";
// A client dropped with its server, and not made again yet.
bool sInputDropped = false;
bool sOutputDropped = false;
std::string sInputOpened;
std::string sOutputOpened;

// What differs between choosing the input and choosing the output.
struct MidiDirection
{
  MidiClient* client;
  const char* virtualName;   // the entry that stands for the application's own port
  const char* virtualPrefix; // the own port's name before the product word
  const char* portName;      // the name of the connection to a real port
  char (AppState::*stored)[kNameSize];
  const PickedNames* picks;
  // The setting whose port the client has open; "" when a choice failed, or the service took
  // it too late to say.
  std::string* opened;
};

MidiDirection InputDirection()
{
  return {gMidiIn.get(),      "virtual input",  "To ",          "RtMidi Input",
          &AppState::midiInDev, &gMidiInputPicks, &sInputOpened};
}
MidiDirection OutputDirection()
{
  return {gMidiOut.get(),      "virtual output",  "From ",          "RtMidi Output",
          &AppState::midiOutDev, &gMidiOutputPicks, &sOutputOpened};
}

// The port names the client lists now; none when the service did not answer.
std::optional<std::vector<std::string>> ListClientPorts(MidiClient* client)
{
  return AskService<std::vector<std::string>>(gMidiService, [client] {
    std::vector<std::string> ports;
    try
    {
      // Nothing is asked of a client whose server went, before the call or during it.
      const unsigned count = client->serverWent() ? 0 : client->getPortCount();
      for (unsigned port = 0; port < count && !client->serverWent(); ++port)
        ports.push_back(client->getPortName(port));
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
    }
    return ports;
  });
}

// The entries of a direction's list: "off", its virtual port, then the ports.
std::vector<std::string> ListEntries(const MidiDirection& direction, const std::vector<std::string>& ports)
{
  std::vector<std::string> names = {kOff, direction.virtualName};
  names.insert(names.end(), ports.begin(), ports.end());
  return names;
}

// The list's index is the port number: 0 "off", 1 the virtual port, k + 2 port k, -1 for a
// name not listed; none when the service did not answer.
std::optional<int> PortNumber(const MidiDirection& direction, const char* name)
{
  if (std::strcmp(name, kOff) == 0) return 0;
  if (std::strcmp(name, direction.virtualName) == 0) return 1;
  if (!direction.client) return -1;
  const std::optional<std::vector<std::string>> ports = ListClientPorts(direction.client);
  if (!ports) return std::nullopt;
  return direction.picks->Find(ListEntries(direction, *ports), name);
}

bool ChoosePort(const MidiDirection& direction, const char* name)
{
  direction.opened->clear();
  if (!direction.client) return false;
  if (!ServiceAnswers(gMidiService))
  {
    std::fprintf(stderr, "%s: %s does not answer; \"%s\" is not opened\n", program_invocation_short_name,
                 gMidiService.Describe().c_str(), name);
    std::fflush(stderr);
    return false;
  }
  // A silent service keeps the name for when it answers.
  const std::optional<int> found = PortNumber(direction, name);
  if (!found) return false;
  int number = *found;
  if (number < 0)
  {
    // Only a name that is no longer listed turns into "off".
    CopyName(gState.*direction.stored, kOff);
    UpdateINI();
    number = 0;
  }
  MidiClient* client = direction.client;
  const std::string virtualPort = std::string(direction.virtualPrefix) + kProductWord;
  const std::string portName = direction.portName;
  const std::optional<bool> opened = AskService<bool>(gMidiService, [client, number, virtualPort, portName] {
    try
    {
      if (client->serverWent()) return false;
      client->closePort();
      if (client->serverWent()) return false;
      if (number == 1) client->openVirtualPort(virtualPort);
      else if (number > 1) client->openPort(unsigned(number - 2), portName);
      return true;
    }
    catch (const std::exception& error)
    {
      // Listed but not to be opened: no port, and the setting stays for the next start.
      PrintLibraryError(error);
      return false;
    }
  });
  if (!opened.value_or(false)) return false;
  *direction.opened = gState.*direction.stored;
  return true;
}

// The names a client lists, after "off" and its virtual port; as last found when the service
// did not answer.
void ListPorts(const MidiDirection& direction, std::vector<std::string>* names)
{
  if (const std::optional<std::vector<std::string>> ports = ListClientPorts(direction.client))
    *names = ListEntries(direction, *ports);
}

// Makes a client on the MIDI service and readies it there; null, with why set, when it could
// not be made or the service did not answer.
template <class Client>
std::unique_ptr<Client> MakeClient(std::unique_ptr<Client> (*make)(const std::string&), const char* clientName,
                                   void (*ready)(Client&), std::string* why)
{
  using Made = std::pair<std::unique_ptr<Client>, std::string>;
  std::optional<Made> made = AskService<Made>(gMidiService, [make, clientName, ready] {
    try
    {
      std::unique_ptr<Client> client = make(clientName);
      if (client) ready(*client);
      return Made(std::move(client), std::string());
    }
    catch (const std::exception& error)
    {
      return Made(nullptr, error.what());
    }
  });
  if (!made)
  {
    *why = gMidiService.Describe() + " does not answer";
    return nullptr;
  }
  if (!made->first && !made->second.empty()) *why = made->second;
  return std::move(made->first);
}

// An input client exists only with its callback, so that what its port takes is played.
std::unique_ptr<MidiIn> MakeMidiInput(std::string* why)
{
  return MakeClient<MidiIn>(gHostBackends.makeMidiIn, "RtMidi Input Client",
                            [](MidiIn& input) {
                              input.setCallback(MIDICallback, nullptr);
                              input.ignoreTypes(true, true, true);
                            },
                            why);
}

std::unique_ptr<MidiOut> MakeMidiOutput(std::string* why)
{
  return MakeClient<MidiOut>(gHostBackends.makeMidiOut, "RtMidi Output Client", [](MidiOut&) {}, why);
}

constexpr const char* kServerWent = "the JACK server went away";

// Drops the clients whose server went away; their library would reach the dead server on any
// call, so they are left as they are, for good. True when one was.
bool DropLostMidiQuietly()
{
  const bool input = gMidiIn && gMidiIn->serverWent();
  const bool output = gMidiOut && gMidiOut->serverWent();
  if (input)
  {
    Abandon(std::move(gMidiIn));
    gMIDIInputDevNames.clear();
    sInputDropped = true;
  }
  if (output)
  {
    if (gPluginInstance) gPluginInstance->SetMidiOut(nullptr);
    Abandon(std::move(gMidiOut));
    gMIDIOutputDevNames.clear();
    sOutputDropped = true;
  }
  return input || output;
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

bool InitialiseMidi(bool sayMissing)
{
  // Each direction stands on its own: a service that refuses one client may give the other.
  std::string inWhy = "the MIDI library made no client", outWhy = inWhy;
  if (!gMidiIn) gMidiIn = MakeMidiInput(&inWhy);
  if (!gMidiOut)
  {
    gMidiOut = MakeMidiOutput(&outWhy);
    if (gMidiOut && gPluginInstance) gPluginInstance->SetMidiOut(gMidiOut->native());
  }
  // A server that went away while they were made took both: that is the one thing to say.
  if (DropLostMidiQuietly()) inWhy = outWhy = kServerWent;
  if (gMidiIn) sInputDropped = false;
  if (gMidiOut) sOutputDropped = false;
  if (gMidiIn && gMidiOut) return true;
  if (sayMissing) SayMidiMissing(inWhy, outWhy);
  return false;
}

void ProbeMidiIO()
{
  DropLostMidi();
  if (gMidiIn) ListPorts(InputDirection(), &gMIDIInputDevNames);
  else gMIDIInputDevNames.clear();
  if (gMidiOut) ListPorts(OutputDirection(), &gMIDIOutputDevNames);
  else gMIDIOutputDevNames.clear();
}

bool RetryMidiClients(bool sayMissing)
{
  DropLostMidi();
  const bool hadInput = gMidiIn != nullptr;
  const bool hadOutput = gMidiOut != nullptr;
  if (hadInput && hadOutput) return false;
  InitialiseMidi(sayMissing);
  if (hadInput == (gMidiIn != nullptr) && hadOutput == (gMidiOut != nullptr)) return false;
  ProbeMidiIO();
  // The ports the settings name are opened on the new clients, as at the start.
  if (!hadInput && gMidiIn) ChooseMidiInput(gState.midiInDev);
  if (!hadOutput && gMidiOut) ChooseMidiOutput(gState.midiOutDev);
  return true;
}

// Each first drops a client whose server went away, so that nothing is asked of it.
void OpenMidiPortsAsSet()
{
  DropLostMidi();
  for (const MidiDirection& direction : {InputDirection(), OutputDirection()})
    if (direction.client && *direction.opened != gState.*direction.stored)
      ChoosePort(direction, gState.*direction.stored);
}

int GetMIDIInPortNumber(const char* name)
{
  DropLostMidi();
  return PortNumber(InputDirection(), name).value_or(-1);
}
int GetMIDIOutPortNumber(const char* name)
{
  DropLostMidi();
  return PortNumber(OutputDirection(), name).value_or(-1);
}
bool ChooseMidiInput(const char* name)
{
  DropLostMidi();
  return ChoosePort(InputDirection(), name);
}
bool ChooseMidiOutput(const char* name)
{
  DropLostMidi();
  return ChoosePort(OutputDirection(), name);
}

bool MidiWasDropped() { return sInputDropped || sOutputDropped; }

bool DropLostMidi()
{
  if (!DropLostMidiQuietly()) return false;
  SayMidiMissing(kServerWent, kServerWent);
  return true;
}

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
