#include "midi_ports.h"

#include "jack_watch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace
{
template <class Base, class Library>
class RtMidiClient : public Base
{
public:
  RtMidiClient(RtMidi::Api api, const std::string& clientName, jack_watch::Token server)
      : mMidi(api, clientName), mServer(std::move(server))
  {
  }

  unsigned int getPortCount() override { return mMidi.getPortCount(); }
  std::string getPortName(unsigned int port) override { return mMidi.getPortName(port); }
  void openPort(unsigned int port, const std::string& portName) override { mMidi.openPort(port, portName); }
  void openVirtualPort(const std::string& portName) override { mMidi.openVirtualPort(portName); }
  void closePort() override { mMidi.closePort(); }
  bool serverWent() const override { return jack_watch::Went(mServer); }

protected:
  Library mMidi;
  // The JACK server's watch, for a client on JACK; the ALSA sequencer does not go away.
  jack_watch::Token mServer;
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

bool SequencerMissing()
{
  struct stat device;
  return stat("/dev/snd/seq", &device) != 0 && errno == ENOENT;
}

// The sequencer first: it is there whenever the kernel has it, and needs no server. Each
// refusal is told as what it was, so that a line about a missing client names its cause.
template <class Client>
std::unique_ptr<Client> MakeFirstAnswering(const std::string& clientName)
{
  std::string sequencer = kNoSequencerBuilt;
  if (IsMidiApiCompiled(RtMidi::LINUX_ALSA))
  {
    sequencer = kSequencerSilent;
    // Where the kernel has none, the library would only print its failure again at every try.
    if (!SequencerMissing())
    {
      try
      {
        return std::make_unique<Client>(RtMidi::LINUX_ALSA, clientName, nullptr);
      }
      catch (const RtMidiError&)
      {
        // The library has printed what the sequencer said.
      }
    }
  }
  if (!IsMidiApiCompiled(RtMidi::UNIX_JACK)) throw RtMidiError(sequencer, RtMidiError::DRIVER_ERROR);
  // RtMidi's JACK client does not say when it found no server, and then fails on its first
  // port; the watch asks the server first, without starting one.
  std::string jack;
  jack_watch::Token server = jack_watch::Join(&jack);
  if (!server) throw RtMidiError(WhyNoMidiClient(sequencer, jack), RtMidiError::DRIVER_ERROR);
  try
  {
    return std::make_unique<Client>(RtMidi::UNIX_JACK, clientName, std::move(server));
  }
  catch (const RtMidiError& error)
  {
    throw RtMidiError(WhyNoMidiClient(sequencer, "the JACK server refused the client: " + error.getMessage()),
                      RtMidiError::DRIVER_ERROR);
  }
}
}  // namespace

std::string WhyNoMidiClient(const std::string& sequencer, const std::string& jack)
{
  if (sequencer == kSequencerSilent && jack == jack_watch::kNoServer)
    return "neither the ALSA sequencer nor a JACK server answers";
  return sequencer + ", and " + jack;
}

std::unique_ptr<MidiIn> MakeRtMidiIn(const std::string& clientName)
{
  return MakeFirstAnswering<RtMidiInClient>(clientName);
}

std::unique_ptr<MidiOut> MakeRtMidiOut(const std::string& clientName)
{
  return MakeFirstAnswering<RtMidiOutClient>(clientName);
}
