#pragma once

#include "app_main.h"

#include "platform/foundation/autorelease_pool.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Scripted stand-ins for RtAudio and RtMidi. The world says what the next
// driver and clients will find; the last ones made stay reachable through it.

struct FakeAudioDriver;
struct FakeMidiIn;
struct FakeMidiOut;

// What the service does at one of its calls, named as the fakes name them: "driver", "count",
// "info", "open", "start", "stop", "abort", "close", "audio deleted" (the audio interface);
// "midi in", "midi out" (making the clients), "in ports", "in port name", "in port",
// "in virtual", "in close", "in cancel", "in deleted", and the same for "out".
enum class Trouble
{
  none,
  fail,  // throws the library's error
  hang,  // does not return until ReleaseHeldCalls()
  die,   // the server goes away during the call, which then fails
};

// Lets every call held by Trouble::hang return.
void ReleaseHeldCalls();
// The trouble at the first call of that name from now on (a service thread may be making calls).
void SetTrouble(const std::string& call, Trouble trouble);
// Whether the trouble set has met its call.
bool TroubleMet();
// Every call made of the fakes since the last take, by the names above, in order.
std::vector<std::string> TakeFakeCalls();
// The calls made on a fake whose server went away since the last take: with the real
// libraries, each would crash.
std::vector<std::string> TakeCallsAfterDeath();

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
  // No server runs: making a driver's stream or a MIDI client fails, as without JACK.
  bool serverDown = false;
  // Everything the host did, in order ("open 256", "start", "abort", "close", ...).
  std::vector<std::string> log;
  // Whether the plug-in still lived when the MIDI input was last deleted: the input's thread
  // may hand it a message until then.
  bool pluginOutlivedMidiIn = false;

  FakeAudioDriver* audio = nullptr;
  FakeMidiIn* midiIn = nullptr;
  FakeMidiOut* midiOut = nullptr;

  // The server is killed: the clients made so far hear it went away (the stream stopped and
  // closed by the library, as RtAudio does), and no new one is made until StartServer().
  void KillServer();
  void StartServer() { serverDown = false; }
};
extern FakeWorld gWorld;

// What every fake call does first: notes a use after the server went, applies the trouble.
// `went` is the calling fake's own flag.
void EnterFakeCall(const std::string& call, std::atomic<bool>* went);

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
  bool serverWent() const override { return went; }
  bool streamFailed(std::string* why) override;

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
  std::atomic<bool> went{false};
  // What the library would report from the stream's thread, told once.
  std::string failure;
};

// What both fake MIDI clients do: ports from the world's list for their side,
// and every open and close written to the log as "<side> ...".
template <class Base>
struct FakeMidiClient : Base
{
  FakeMidiClient(std::vector<std::string>* ports, const char* side) : ports(ports), side(side) {}
  unsigned int getPortCount() override
  {
    EnterFakeCall(side + " ports", &went);
    return unsigned(ports->size());
  }
  std::string getPortName(unsigned int port) override
  {
    EnterFakeCall(side + " port name", &went);
    return ports->at(port);
  }
  void openPort(unsigned int port, const std::string& portName) override
  {
    EnterFakeCall(side + " port", &went);
    if (port >= ports->size() || gWorld.unopenablePorts.count(port)) Fail("port refused");
    openName = (*ports)[port];
    gWorld.log.push_back(side + " port " + openName + " as " + portName);
  }
  void openVirtualPort(const std::string& portName) override
  {
    EnterFakeCall(side + " virtual", &went);
    if (gWorld.failVirtual) Fail("virtual port refused");
    openName = portName;
    gWorld.log.push_back(side + " virtual " + portName);
  }
  void closePort() override
  {
    EnterFakeCall(side + " close", &went);
    openName.clear();
    gWorld.log.push_back(side + " close");
  }
  bool serverWent() const override { return went; }
  [[noreturn]] static void Fail(const std::string& what) { throw RtMidiError(what, RtMidiError::DRIVER_ERROR); }

  std::vector<std::string>* ports;
  std::string side;
  std::string openName;  // "" while no port is open
  std::atomic<bool> went{false};
};

struct FakeMidiIn : FakeMidiClient<MidiIn>
{
  FakeMidiIn() : FakeMidiClient(&gWorld.inPorts, "in") {}
  ~FakeMidiIn() override;
  void setCallback(RtMidiIn::RtMidiCallback cb, void* data) override { callback = cb, userData = data; }
  void cancelCallback() override
  {
    EnterFakeCall("in cancel", &went);
    callback = nullptr;
  }
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
  // platform for another launch. Calls held by a hanging service are let go first.
  void Quit();

  std::string mConfigHome;
  cocoa::NSAutoreleasePool mPool;
  cocoa::TestDriver mDriver;
};
