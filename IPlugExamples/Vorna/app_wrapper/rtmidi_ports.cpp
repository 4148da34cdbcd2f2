#include "midi_ports.h"

#include <jack/jack.h>

#include <algorithm>
#include <vector>

namespace
{
template <class Base, class Library>
class RtMidiClient : public Base
{
public:
  RtMidiClient(RtMidi::Api api, const std::string& clientName) : mMidi(api, clientName) {}

  unsigned int getPortCount() override { return mMidi.getPortCount(); }
  std::string getPortName(unsigned int port) override { return mMidi.getPortName(port); }
  void openPort(unsigned int port, const std::string& portName) override { mMidi.openPort(port, portName); }
  void openVirtualPort(const std::string& portName) override { mMidi.openVirtualPort(portName); }
  void closePort() override { mMidi.closePort(); }

protected:
  Library mMidi;
};

class RtMidiInClient final : public RtMidiClient<MidiIn, RtMidiIn>
{
public:
  using RtMidiClient::RtMidiClient;
  void setCallback(RtMidiIn::RtMidiCallback callback, void* userData) override { mMidi.setCallback(callback, userData); }
  void cancelCallback() override { mMidi.cancelCallback(); }
  void ignoreTypes(bool sysex, bool timing, bool activeSensing) override
  {
    mMidi.ignoreTypes(sysex, timing, activeSensing);
  }
};

class RtMidiOutClient final : public RtMidiClient<MidiOut, RtMidiOut>
{
public:
  using RtMidiClient::RtMidiClient;
  RtMidiOut* native() override { return &mMidi; }
};

bool IsMidiApiCompiled(RtMidi::Api api)
{
  std::vector<RtMidi::Api> compiled;
  RtMidi::getCompiledApi(compiled);
  return std::find(compiled.begin(), compiled.end(), api) != compiled.end();
}

// RtMidi's JACK client does not say when it found no server, and then fails on
// its first port; so the server is asked first, without starting one.
bool JackServerAnswers()
{
  jack_status_t status;
  jack_client_t* client = jack_client_open("Vorna MIDI probe", JackNoStartServer, &status);
  if (!client) return false;
  jack_client_close(client);
  return true;
}

template <class Client>
std::unique_ptr<Client> MakeFirstAnswering(const std::string& clientName)
{
  if (IsMidiApiCompiled(RtMidi::LINUX_ALSA))
  {
    try
    {
      return std::make_unique<Client>(RtMidi::LINUX_ALSA, clientName);
    }
    catch (const RtMidiError&)
    {
      // The library has printed what the sequencer said.
    }
  }
  if (IsMidiApiCompiled(RtMidi::UNIX_JACK) && JackServerAnswers())
    return std::make_unique<Client>(RtMidi::UNIX_JACK, clientName);
  throw RtMidiError("neither the ALSA sequencer nor a JACK server answers", RtMidiError::DRIVER_ERROR);
}
}  // namespace

std::unique_ptr<MidiIn> MakeRtMidiIn(const std::string& clientName)
{
  return MakeFirstAnswering<RtMidiInClient>(clientName);
}

std::unique_ptr<MidiOut> MakeRtMidiOut(const std::string& clientName)
{
  return MakeFirstAnswering<RtMidiOutClient>(clientName);
}
