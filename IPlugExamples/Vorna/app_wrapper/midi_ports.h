#pragma once

#include <rtmidi/RtMidi.h>

#include <memory>
#include <string>

// The calls the application makes of a MIDI client, in RtMidi's own terms: the
// real ones are RtMidiIn and RtMidiOut, and tests put in scripted ones.
// Failures are RtMidi's exceptions (RtMidiError), as the library throws them.
class MidiClient
{
public:
  virtual ~MidiClient() = default;

  virtual unsigned int getPortCount() = 0;
  virtual std::string getPortName(unsigned int port) = 0;
  virtual void openPort(unsigned int port, const std::string& portName) = 0;
  virtual void openVirtualPort(const std::string& portName) = 0;
  virtual void closePort() = 0;
  // Whether the server the client was made on went away: then nothing of it may be called
  // again, its destructor included. Any thread; asks nothing of the library.
  virtual bool serverWent() const = 0;
};

class MidiIn : public MidiClient
{
public:
  virtual void setCallback(RtMidiIn::RtMidiCallback callback, void* userData) = 0;
  virtual void cancelCallback() = 0;
  virtual void ignoreTypes(bool sysex, bool timing, bool activeSensing) = 0;
};

class MidiOut : public MidiClient
{
public:
  // What the plug-in sends its MIDI through; null where there is no library client.
  virtual RtMidiOut* native() = 0;
};

// What the services said when neither gave a client, in one text: what the sequencer said
// (kSequencerSilent, kNoSequencerBuilt), then what JACK did.
inline constexpr const char* kSequencerSilent = "the ALSA sequencer does not answer";
inline constexpr const char* kNoSequencerBuilt = "this build has no ALSA sequencer";
std::string WhyNoMidiClient(const std::string& sequencer, const std::string& jack);

// Clients of the first MIDI service that answers: the ALSA sequencer, then a
// running JACK server. Throw RtMidiError when neither does, saying why each refused.
std::unique_ptr<MidiIn> MakeRtMidiIn(const std::string& clientName);
std::unique_ptr<MidiOut> MakeRtMidiOut(const std::string& clientName);
