#include "host_fakes.h"

#include "quit_watch.h"
#include "swell-app.h"
#include "swell-misc.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

FakeWorld gWorld;

namespace
{
// The application object of the shell, made before anything else, so that dialogs get their
// keys (Return, Escape) as in the program.
const bool sApplicationMade = (new SWELLApplication, true);

// The fakes throw the library's own error objects, as the real ones do.
[[noreturn]] void FailAudio(const std::string& what) { throw RtAudioError(what, RtAudioError::SYSTEM_ERROR); }

std::unique_ptr<AudioDriver> MakeFakeAudio(int driver)
{
  if (gWorld.noDriver) return nullptr;
  if (gWorld.driverThrows) FailAudio("no server to talk to");
  gWorld.log.push_back("driver " + std::to_string(driver));
  auto made = std::make_unique<FakeAudioDriver>();
  gWorld.audio = made.get();
  return made;
}

// As a library stuck on a service: until the process ends.
void HangForGood()
{
  for (;;) pause();
}

std::unique_ptr<MidiIn> MakeFakeMidiIn(const std::string& name)
{
  if (gWorld.midiInHangs) HangForGood();
  if (gWorld.failMidiIn) FakeMidiIn::Fail("no input client");
  gWorld.log.push_back("midi in " + name);
  auto made = std::make_unique<FakeMidiIn>();
  gWorld.midiIn = made.get();
  return made;
}

std::unique_ptr<MidiOut> MakeFakeMidiOut(const std::string& name)
{
  if (gWorld.failMidiOut) FakeMidiIn::Fail("no output client");
  gWorld.log.push_back("midi out " + name);
  auto made = std::make_unique<FakeMidiOut>();
  gWorld.midiOut = made.get();
  return made;
}
}  // namespace

RtAudio::DeviceInfo Device(const std::string& name, unsigned inputs, unsigned outputs, bool probed)
{
  RtAudio::DeviceInfo info;
  info.probed = probed;
  info.name = name;
  info.inputChannels = inputs;
  info.outputChannels = outputs;
  info.sampleRates = {44100, 48000};
  return info;
}

FakeAudioDriver::~FakeAudioDriver()
{
  gWorld.log.push_back("audio deleted");
  if (gWorld.audio == this) gWorld.audio = nullptr;
}

unsigned int FakeAudioDriver::getDeviceCount()
{
  if (gWorld.listingHangs) HangForGood();
  return unsigned(gWorld.devices.size());
}

RtAudio::DeviceInfo FakeAudioDriver::getDeviceInfo(unsigned int device)
{
  if (gWorld.infoThrows.count(device)) FailAudio("device info refused");
  return gWorld.devices.at(device);
}

void FakeAudioDriver::openStream(RtAudio::StreamParameters* out, RtAudio::StreamParameters* in, RtAudioFormat fmt,
                                 unsigned int rate, unsigned int* bufferFrames, RtAudioCallback cb, void*,
                                 RtAudio::StreamOptions* options)
{
  if (open) FailAudio("a stream is open already");
  if (gWorld.failOpen || rate == 0) FailAudio("open refused:\nno such card\n");
  gWorld.log.push_back("open " + std::to_string(*bufferFrames));
  if (gWorld.grantedFrames) *bufferFrames = gWorld.grantedFrames;
  open = true;
  frames = *bufferFrames;
  sampleRate = rate;
  callback = cb;
  outParams = *out;
  inParams = *in;
  format = fmt;
  flags = options ? options->flags : 0;
}

void FakeAudioDriver::startStream()
{
  if (!open) FailAudio("no stream to start");
  if (gWorld.failStart) FailAudio("start refused");
  gWorld.log.push_back("start");
  running = true;
}

void FakeAudioDriver::stopStream()
{
  if (gWorld.streamEnding) gWorld.streamEnding();
  if (gWorld.failStop) FailAudio("stop refused");
  gWorld.log.push_back("stop");
  running = false;
}

void FakeAudioDriver::abortStream()
{
  if (gWorld.streamEnding) gWorld.streamEnding();
  if (gWorld.failStop) FailAudio("abort refused");
  gWorld.log.push_back("abort");
  running = false;
}

void FakeAudioDriver::closeStream()
{
  if (gWorld.streamEnding) gWorld.streamEnding();
  gWorld.log.push_back("close");
  open = running = false;
}

std::vector<double> FakeAudioDriver::Pump(const std::vector<double>& input, RtAudioStreamStatus status)
{
  EXPECT_TRUE(running);
  std::vector<double> in(2 * size_t(frames), 0.0);
  for (size_t i = 0; i < in.size() && i < input.size(); ++i) in[i] = input[i];
  std::vector<double> out(2 * size_t(frames), 0.5);
  callback(out.data(), in.data(), frames, 0.0, status, nullptr);
  return out;
}

FakeMidiIn::~FakeMidiIn()
{
  gWorld.log.push_back("in deleted");
  gWorld.pluginOutlivedMidiIn = gPluginInstance != nullptr;
  if (gWorld.midiIn == this) gWorld.midiIn = nullptr;
}

void FakeMidiIn::Send(const std::vector<unsigned char>& bytes)
{
  if (openName.empty() || !callback) return;
  std::vector<unsigned char> message = bytes;
  callback(0.0, &message, userData);
}

FakeMidiOut::~FakeMidiOut()
{
  gWorld.log.push_back("out deleted");
  if (gWorld.midiOut == this) gWorld.midiOut = nullptr;
}

void HostTest::SetUp()
{
  gWorld = FakeWorld();
  gWorld.devices = {Device("default", 2, 2), Device("Maker: Desk", 4, 8)};
  gWorld.inPorts = {"Keys:0", "Pads:0"};
  gWorld.outPorts = {"Synth:0"};
  gHostBackends = {MakeFakeAudio, MakeFakeMidiIn, MakeFakeMidiOut};
  // A shut-down cut short by its watch ends the test program: with a status that fails the
  // test, and not before a busy machine could have finished it.
  gQuitStatus = 3;
  gQuitWaitLimit = std::chrono::seconds(60);
  gStartStatus = 3;
  gStartWaitLimit = std::chrono::seconds(60);

  char pattern[] = "/tmp/vorna-host-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  mConfigHome = pattern;
  setenv("XDG_CONFIG_HOME", mConfigHome.c_str(), 1);
}

void HostTest::TearDown()
{
  Quit();
  std::filesystem::permissions(mConfigHome, std::filesystem::perms::owner_all);
  std::filesystem::remove_all(mConfigHome);
}

void HostTest::WriteSettings(const std::string& text) const
{
  std::filesystem::create_directories(mConfigHome + "/Vorna");
  std::ofstream(SettingsPath()) << text;
}

std::string HostTest::ReadSettings() const
{
  std::ifstream file(SettingsPath());
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void HostTest::Launch()
{
  ASSERT_EQ(SWELLAppMain(SWELLAPP_ONLOAD, 0, 0), 0);
  SWELLAppMain(SWELLAPP_LAUNCHED, 0, 0);
}

void HostTest::Quit()
{
  SWELLAppMain(SWELLAPP_WILLTERMINATE, 0, 0);
  // The main window's end asked the application to quit.
  g_swell_terminating = false;
  cocoa::NSApp()->resetForTesting();
  cocoa::NSApp()->finishLaunching();
}
