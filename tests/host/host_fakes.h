#pragma once

#include "app_main.h"

#include "platform/foundation/autorelease_pool.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

// Scripted stand-ins for RtAudio and RtMidi. The world says what the next
// driver and clients will find; the last ones made stay reachable through it.

struct FakeAudioDriver;
struct FakeMidiIn;
struct FakeMidiOut;

struct FakeWorld
{
  // Audio: the devices, in id order, and the failures to inject.
  std::vector<RtAudio::DeviceInfo> devices;
  std::set<unsigned> infoThrows;  // ids whose getDeviceInfo throws
  bool noDriver = false;
  bool driverThrows = false;  // making the driver throws the library's error
  bool failOpen = false;
  bool failStart = false;
  bool failStop = false;         // stopping and aborting throw
  unsigned grantedFrames = 0;     // the buffer size the device grants; 0 grants what is asked
  // Listing the devices, or making the MIDI input, never returns: a server that stopped answering.
  bool listingHangs = false;
  bool midiInHangs = false;
  // Runs as a stream stops, aborts or closes, before it does: RtAudio returns from these only
  // once its thread is out of the callback, and a test pumping from a thread stops it here.
  std::function<void()> streamEnding;
  // MIDI: port names and failures.
  std::vector<std::string> inPorts;
  std::vector<std::string> outPorts;
  bool failMidiIn = false;
  bool failMidiOut = false;
  std::set<unsigned> unopenablePorts;
  bool failVirtual = false;
  // Everything the host did, in order ("open 256", "start", "abort", "close", ...).
  std::vector<std::string> log;
  // Whether the plug-in still lived when the MIDI input was last deleted: the input's thread
  // may hand it a message until then.
  bool pluginOutlivedMidiIn = false;

  FakeAudioDriver* audio = nullptr;
  FakeMidiIn* midiIn = nullptr;
  FakeMidiOut* midiOut = nullptr;
};
extern FakeWorld gWorld;

RtAudio::DeviceInfo Device(const std::string& name, unsigned inputs, unsigned outputs, bool probed = true);

struct FakeAudioDriver : AudioDriver
{
  ~FakeAudioDriver() override;
  unsigned int getDeviceCount() override;
  RtAudio::DeviceInfo getDeviceInfo(unsigned int device) override;
  void openStream(RtAudio::StreamParameters* out, RtAudio::StreamParameters* in, RtAudioFormat format,
                  unsigned int sampleRate, unsigned int* bufferFrames, RtAudioCallback callback, void* userData,
                  RtAudio::StreamOptions* options) override;
  void startStream() override;
  void stopStream() override;
  void abortStream() override;
  void closeStream() override;
  bool isStreamOpen() const override { return open; }
  bool isStreamRunning() const override { return running; }

  // Runs one device period through the callback, as the device's thread would:
  // buffers of exactly the granted size, the output holding what was there
  // before (here a leftover of 0.5); returns the output planes, left then right.
  std::vector<double> Pump(const std::vector<double>& input = {}, RtAudioStreamStatus status = 0);

  bool open = false;
  bool running = false;
  unsigned frames = 0;
  unsigned sampleRate = 0;
  RtAudioCallback callback = nullptr;
  RtAudio::StreamParameters inParams, outParams;
  RtAudioFormat format = 0;
  RtAudioStreamFlags flags = 0;
};

// What both fake MIDI clients do: ports from the world's list for their side,
// and every open and close written to the log as "<side> ...".
template <class Base>
struct FakeMidiClient : Base
{
  FakeMidiClient(std::vector<std::string>* ports, const char* side) : ports(ports), side(side) {}
  unsigned int getPortCount() override { return unsigned(ports->size()); }
  std::string getPortName(unsigned int port) override { return ports->at(port); }
  void openPort(unsigned int port, const std::string& portName) override
  {
    if (port >= ports->size() || gWorld.unopenablePorts.count(port)) Fail("port refused");
    openName = (*ports)[port];
    gWorld.log.push_back(side + " port " + openName + " as " + portName);
  }
  void openVirtualPort(const std::string& portName) override
  {
    if (gWorld.failVirtual) Fail("virtual port refused");
    openName = portName;
    gWorld.log.push_back(side + " virtual " + portName);
  }
  void closePort() override
  {
    openName.clear();
    gWorld.log.push_back(side + " close");
  }
  [[noreturn]] static void Fail(const std::string& what) { throw RtMidiError(what, RtMidiError::DRIVER_ERROR); }

  std::vector<std::string>* ports;
  std::string side;
  std::string openName;  // "" while no port is open
};

struct FakeMidiIn : FakeMidiClient<MidiIn>
{
  FakeMidiIn() : FakeMidiClient(&gWorld.inPorts, "in") {}
  ~FakeMidiIn() override;
  void setCallback(RtMidiIn::RtMidiCallback cb, void* data) override { callback = cb, userData = data; }
  void cancelCallback() override { callback = nullptr; }
  void ignoreTypes(bool sysex, bool timing, bool sensing) override { ignored = {sysex, timing, sensing}; }

  // A message arriving at the port, delivered as the MIDI thread would.
  void Send(const std::vector<unsigned char>& bytes);

  RtMidiIn::RtMidiCallback callback = nullptr;
  void* userData = nullptr;
  std::vector<bool> ignored;
};

struct FakeMidiOut : FakeMidiClient<MidiOut>
{
  FakeMidiOut() : FakeMidiClient(&gWorld.outPorts, "out") {}
  ~FakeMidiOut() override;
  RtMidiOut* native() override { return nullptr; }
};

// Each test starts from a fresh world, a fresh settings folder under a
// temporary XDG_CONFIG_HOME, the fakes in place and the headless platform; it
// ends with a shut-down.
class HostTest : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  std::string SettingsPath() const { return mConfigHome + "/Vorna/settings.ini"; }
  void WriteSettings(const std::string& text) const;
  std::string ReadSettings() const;
  // Loads settings.ini and starts the application, as the shell does.
  void Launch();
  // Terminates as the shell does (the main window, then the shut-down), and readies the
  // platform for another launch.
  void Quit();

  std::string mConfigHome;
  cocoa::NSAutoreleasePool mPool;
  cocoa::TestDriver mDriver;
};
