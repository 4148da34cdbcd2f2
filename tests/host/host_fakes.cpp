#include "host_fakes.h"

#include "service_calls.h"
#include "swell-app.h"
#include "swell-misc.h"

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
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
  EnterFakeCall("driver", nullptr);
  if (gWorld.noDriver) return nullptr;
  if (gWorld.driverThrows) FailAudio("no server to talk to");
  gWorld.log.push_back("driver " + std::to_string(driver));
  auto made = std::make_unique<FakeAudioDriver>();
  gWorld.audio = made.get();
  return made;
}

// Calls held by a hanging service wait here until the test lets them go.
std::mutex sHeldMutex;
std::condition_variable sHeldReleased;
unsigned sReleases = 0;

// As a library stuck on a service: until the test lets it go, or the process ends. Its caller
// stops waiting at once, whatever the deadline: what the test judges is what follows a call
// that never returns, not how long a busy machine takes over the calls that do.
void HangUntilReleased()
{
  std::unique_lock<std::mutex> lock(sHeldMutex);
  // Counted before the caller hears of it: the release it may then give lets this call go.
  const unsigned release = sReleases;
  ServiceThread::CallerStopsWaiting();
  sHeldReleased.wait(lock, [release] { return sReleases != release; });
}

void HangForGood() { HangUntilReleased(); }

// What the service threads and the test share.
std::mutex sCallsMutex;
std::vector<std::string> sCalls;
std::vector<std::string> sCallsAfterDeath;
std::string sTroubleAt;
Trouble sTrouble = Trouble::none;

std::unique_ptr<MidiIn> MakeFakeMidiIn(const std::string& name)
{
  if (gWorld.midiInHangs) HangForGood();
  EnterFakeCall("midi in", nullptr);
  if (gWorld.serverDown) FakeMidiIn::Fail("no server answers");
  if (gWorld.failMidiIn) FakeMidiIn::Fail("no input client");
  gWorld.log.push_back("midi in " + name);
  auto made = std::make_unique<FakeMidiIn>();
  gWorld.midiIn = made.get();
  return made;
}

std::unique_ptr<MidiOut> MakeFakeMidiOut(const std::string& name)
{
  EnterFakeCall("midi out", nullptr);
  if (gWorld.serverDown) FakeMidiIn::Fail("no server answers");
  if (gWorld.failMidiOut) FakeMidiIn::Fail("no output client");
  gWorld.log.push_back("midi out " + name);
  auto made = std::make_unique<FakeMidiOut>();
  gWorld.midiOut = made.get();
  return made;
}
}  // namespace

void ReleaseHeldCalls()
{
  {
    std::lock_guard<std::mutex> lock(sHeldMutex);
    ++sReleases;
  }
  sHeldReleased.notify_all();
}

void SetTrouble(const std::string& call, Trouble trouble)
{
  std::lock_guard<std::mutex> lock(sCallsMutex);
  sTroubleAt = call;
  sTrouble = trouble;
}

bool TroubleMet()
{
  std::lock_guard<std::mutex> lock(sCallsMutex);
  return sTrouble == Trouble::none;
}

std::vector<std::string> TakeFakeCalls()
{
  std::lock_guard<std::mutex> lock(sCallsMutex);
  return std::exchange(sCalls, {});
}

std::vector<std::string> TakeCallsAfterDeath()
{
  std::lock_guard<std::mutex> lock(sCallsMutex);
  return std::exchange(sCallsAfterDeath, {});
}

void EnterFakeCall(const std::string& call, std::atomic<bool>* went)
{
  Trouble trouble = Trouble::none;
  {
    std::lock_guard<std::mutex> lock(sCallsMutex);
    sCalls.push_back(call);
    if (went && *went) sCallsAfterDeath.push_back(call);
    if (sTrouble != Trouble::none && call == sTroubleAt) trouble = std::exchange(sTrouble, Trouble::none);
  }
  if (went && *went)
  {
    ADD_FAILURE() << call << " was called on a client whose server went away";
    FailAudio("the server went away");
  }
  switch (trouble)
  {
    case Trouble::fail: FailAudio(call + " refused");
    case Trouble::hang: HangUntilReleased(); return;
    case Trouble::die:
      gWorld.KillServer();
      FailAudio(call + ": the server went away");
    case Trouble::none: return;
  }
}

void FakeWorld::KillServer()
{
  serverDown = true;
  if (audio)
  {
    audio->went = true;
    audio->open = audio->running = false;
  }
  if (midiIn) midiIn->went = true;
  if (midiOut) midiOut->went = true;
}

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
  try
  {
    EnterFakeCall("audio deleted", &went);
  }
  catch (const RtAudioError&)
  {
  }
  gWorld.log.push_back("audio deleted");
  if (gWorld.audio == this) gWorld.audio = nullptr;
}

unsigned int FakeAudioDriver::getDeviceCount()
{
  if (gWorld.listingHangs) HangForGood();
  EnterFakeCall("count", &went);
  return unsigned(gWorld.devices.size());
}

RtAudio::DeviceInfo FakeAudioDriver::getDeviceInfo(unsigned int device)
{
  EnterFakeCall("info", &went);
  if (gWorld.infoThrows.count(device)) FailAudio("device info refused");
  return gWorld.devices.at(device);
}

void FakeAudioDriver::openStream(RtAudio::StreamParameters* out, RtAudio::StreamParameters* in, RtAudioFormat fmt,
                                 unsigned int rate, unsigned int* bufferFrames, RtAudioCallback cb, void*,
                                 RtAudio::StreamOptions* options)
{
  EnterFakeCall("open", &went);
  if (gWorld.serverDown) FailAudio("no server answers");
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
  EnterFakeCall("start", &went);
  if (!open) FailAudio("no stream to start");
  if (gWorld.failStart) FailAudio("start refused");
  gWorld.log.push_back("start");
  running = true;
}

void FakeAudioDriver::stopStream()
{
  EnterFakeCall("stop", &went);
  if (gWorld.streamEnding) gWorld.streamEnding();
  if (gWorld.failStop) FailAudio("stop refused");
  gWorld.log.push_back("stop");
  running = false;
}

void FakeAudioDriver::abortStream()
{
  EnterFakeCall("abort", &went);
  if (gWorld.streamEnding) gWorld.streamEnding();
  if (gWorld.failStop) FailAudio("abort refused");
  gWorld.log.push_back("abort");
  running = false;
}

void FakeAudioDriver::closeStream()
{
  EnterFakeCall("close", &went);
  if (gWorld.streamEnding) gWorld.streamEnding();
  gWorld.log.push_back("close");
  open = running = false;
}

bool FakeAudioDriver::streamFailed(std::string* why)
{
  if (failure.empty()) return false;
  *why = std::exchange(failure, std::string());
  open = running = false;
  return true;
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
  try
  {
    EnterFakeCall("in deleted", &went);
  }
  catch (const RtAudioError&)
  {
  }
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
  try
  {
    EnterFakeCall("out deleted", &went);
  }
  catch (const RtAudioError&)
  {
  }
  gWorld.log.push_back("out deleted");
  if (gWorld.midiOut == this) gWorld.midiOut = nullptr;
}

void HostTest::SetUp()
{
  gWorld = FakeWorld();
  SetTrouble("", Trouble::none);
  TakeFakeCalls();
  TakeCallsAfterDeath();
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
  gServiceWaitLimit = std::chrono::seconds(60);

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
  ReleaseHeldCalls();
  for (Service* service : {&gAudioService, &gMidiService})
    service->thread.WaitUntilAnswering(ServiceThread::Clock::now() + std::chrono::seconds(60));
  SayServicesBack();
  SWELLAppMain(SWELLAPP_WILLTERMINATE, 0, 0);
  // The main window's end asked the application to quit.
  g_swell_terminating = false;
  cocoa::NSApp()->resetForTesting();
  cocoa::NSApp()->finishLaunching();
}
