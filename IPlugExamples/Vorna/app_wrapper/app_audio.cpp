#include "app_main.h"

#include "IPlugStandalone.h"
#include "callback_reports.h"
#include "library_errors.h"
#include "service_calls.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

std::unique_ptr<AudioDriver> gDAC;
std::vector<std::string> gAudioIDDevNames;
std::vector<RtAudio::DeviceInfo> gAudioDeviceInfos;
PickedNames gAudioInputPicks;
PickedNames gAudioOutputPicks;
std::vector<unsigned> gAudioInputDevs;
std::vector<unsigned> gAudioOutputDevs;
unsigned gIOVS = 512;
int gSigVS = 32;
unsigned gVecElapsed = 0;
double gFadeMult = 0.0;
std::atomic<bool> gAudioProcessing{false};

namespace
{
// What the plug-in reads when the device hands no input: one sub-block of silence.
double sSilentInput[kMaxVectorSize] = {};

// A decimal setting as the stream wants it: negative or unreadable text is 0.
unsigned SettingToUnsigned(const char* text)
{
  const long value = std::strtol(text, nullptr, 10);
  return value > 0 ? unsigned(std::min<long>(value, INT_MAX)) : 0u;
}

std::string DriverName(int driver)
{
  if (driver >= 0 && driver < kNumAudioDrivers) return kAudioDrivers[driver].name;
  return "audio driver " + std::to_string(driver);
}

// A library's message on the one line it is reported on.
std::string OneLine(const std::exception& error)
{
  std::string text = error.what();
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// Why the stored device names no device: with nothing to play on at all, that is what a
// musician needs to hear first, and the name still tells which setting to look at.
AudioResult UnlistedDevice(const char* kind, const char* name, bool driverListsAny)
{
  const std::string driver = DriverName(gState.driver);
  if (!driverListsAny)
    return AudioResult::Failed(driver + " lists no " + kind + " device (the settings ask for \"" + name + "\")");
  return AudioResult::Failed(std::string("the ") + kind + " device \"" + name + "\" is not listed by " + driver);
}

// The stream the application opened, as far as the library has said: cleared when it is
// stopped, replaced or dropped.
bool sStreamRuns = false;

AudioResult NotAnswering() { return AudioResult::Failed(gAudioService.Describe() + " does not answer"); }

// Why the driver was dropped, until someone says it: the next look, or the caller of a reopen
// that it made fail.
std::string sDropUnsaid;

// A driver whose server went away is left as it is, for good: its library would reach the
// dead server on any call.
void DropIfServerWent()
{
  if (!gDAC || !gDAC->serverWent()) return;
  gAudioProcessing.store(false, std::memory_order_release);
  sStreamRuns = false;
  sDropUnsaid = "the " + gAudioService.detail + " server went away";
  Abandon(std::move(gDAC));
}

// Why there is no driver to open a stream on.
AudioResult NoDriver()
{
  if (sDropUnsaid.empty()) return AudioResult::Failed("there is no audio driver");
  return AudioResult::Failed(std::exchange(sDropUnsaid, std::string()));
}

// Runs the step on the audio service, the library's errors printed; nothing is asked of a
// driver whose server went, then or during an earlier step. False when the service did not
// answer.
bool OnDriver(std::function<void(AudioDriver&)> step)
{
  DropIfServerWent();
  if (!gDAC) return true;
  AudioDriver* driver = gDAC.get();
  return CallService(gAudioService, [driver, step = std::move(step)] {
    if (driver->serverWent()) return;
    try
    {
      step(*driver);
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
    }
  });
}
}  // namespace

bool StopAudioStream(bool abort)
{
  gAudioProcessing.store(false, std::memory_order_release);
  // A stop still going on when the wait for it ends leaves a stream that may or may not play.
  sStreamRuns = false;
  const bool answered = OnDriver([abort](AudioDriver& driver) {
    if (!driver.isStreamRunning()) return;
    if (abort) driver.abortStream();
    else driver.stopStream();
  });
  // Set again: a callback that ran while the stream was stopping set it.
  if (answered) gAudioProcessing.store(false, std::memory_order_release);
  return answered;
}

bool CloseAudioStream()
{
  return OnDriver([](AudioDriver& driver) {
    if (driver.isStreamOpen()) driver.closeStream();
  });
}

bool AudioStreamRuns() { return sStreamRuns; }

AudioResult TryToChangeAudioDriverType()
{
  if (gDAC)
  {
    // A stream the service still holds may still call back: nothing replaces it meanwhile.
    if (!StopAudioStream(true) || !CloseAudioStream()) return NotAnswering();
    DisposeOn(gAudioService, std::move(gDAC));
  }
  const int driver = gState.driver;
  const std::string name = DriverName(driver);
  gAudioService.detail = name;
  using Made = std::pair<std::unique_ptr<AudioDriver>, std::string>;
  std::optional<Made> made = AskService<Made>(gAudioService, [make = gHostBackends.makeAudioDriver, driver] {
    try
    {
      return Made(make(driver), std::string());
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
      return Made(nullptr, OneLine(error));
    }
  });
  if (!made) return NotAnswering();
  gDAC = std::move(made->first);
  if (!made->second.empty()) return AudioResult::Failed("the " + name + " driver could not be set up: " + made->second);
  if (!gDAC) return AudioResult::Failed("the audio library of this build has no " + name + " driver");
  return AudioResult::Ok();
}

bool ProbeAudioIO()
{
  DropIfServerWent();
  if (!gDAC)
  {
    gAudioInputDevs.clear();
    gAudioOutputDevs.clear();
    gAudioIDDevNames.clear();
    gAudioDeviceInfos.clear();
    return true;
  }
  AudioDriver* driver = gDAC.get();
  using Infos = std::vector<RtAudio::DeviceInfo>;
  std::optional<Infos> probed = AskService<Infos>(gAudioService, [driver] {
    Infos infos;
    unsigned count = 0;
    try
    {
      if (!driver->serverWent()) count = driver->getDeviceCount();
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
    }
    for (unsigned id = 0; id < count && !driver->serverWent(); ++id)
    {
      try
      {
        infos.push_back(driver->getDeviceInfo(id));
      }
      catch (const std::exception& error)
      {
        PrintLibraryError(error);
        infos.push_back(RtAudio::DeviceInfo());
      }
    }
    return infos;
  });
  // A silent service leaves the lists as they were last found.
  if (!probed) return false;

  gAudioInputDevs.clear();
  gAudioOutputDevs.clear();
  gAudioIDDevNames.clear();
  gAudioDeviceInfos = std::move(*probed);
  for (unsigned id = 0; id < gAudioDeviceInfos.size(); ++id)
  {
    const RtAudio::DeviceInfo& info = gAudioDeviceInfos[id];
    // The library names the maker, ": " and the device; people know the device.
    std::string name = info.name;
    const size_t separator = name.rfind(": ");
    if (separator != std::string::npos) name.erase(0, separator + 2);
    gAudioIDDevNames.push_back(name);

    if (!info.probed || name == "Generic Low Latency ASIO Driver")
    {
      std::printf("%s: Probe Status = Unsuccessful\n", name.c_str());
      continue;
    }
    if (info.inputChannels > 0) gAudioInputDevs.push_back(id);
    if (info.outputChannels > 0) gAudioOutputDevs.push_back(id);
  }
  std::fflush(stdout);
  return true;
}

const RtAudio::DeviceInfo* AudioDeviceInfo(unsigned id)
{
  return id < gAudioDeviceInfos.size() ? &gAudioDeviceInfos[id] : nullptr;
}

std::string GetAudioDeviceName(int id)
{
  if (id < 0 || size_t(id) >= gAudioIDDevNames.size()) return std::string();
  return gAudioIDDevNames[size_t(id)];
}

int GetAudioDeviceID(const char* name) { return FindStoredName(gAudioIDDevNames, name); }

AudioResult TryToChangeAudio()
{
  DropIfServerWent();
  if (!gDAC) return NoDriver();
  // The devices picked while the application runs, not others their names are kept alike with.
  const int inId = gAudioInputPicks.Find(gAudioIDDevNames, gState.inDev);
  const int outId = gAudioOutputPicks.Find(gAudioIDDevNames, gState.outDev);
  // The output first: without it nothing is heard, whatever the input does.
  if (outId < 0) return UnlistedDevice("output", gState.outDev, !gAudioOutputDevs.empty());
  if (inId < 0) return UnlistedDevice("input", gState.inDev, !gAudioInputDevs.empty());
  const unsigned firstIn = gState.inChanL > 0 ? gState.inChanL - 1u : 0u;
  const unsigned firstOut = gState.outChanL > 0 ? gState.outChanL - 1u : 0u;
  return InitialiseAudio(unsigned(inId), unsigned(outId), SettingToUnsigned(gState.sr),
                         SettingToUnsigned(gState.iovs), 2, firstIn, firstOut);
}

AudioResult InitialiseAudio(unsigned inId, unsigned outId, unsigned sampleRate, unsigned ioVectorSize,
                            unsigned channels, unsigned firstInChannel, unsigned firstOutChannel)
{
  // Until the old stream has stopped, its callbacks may run: nothing below may be touched.
  if (!StopAudioStream(true) || !CloseAudioStream()) return NotAnswering();
  // The server may have gone while the old stream closed.
  DropIfServerWent();
  if (!gDAC) return NoDriver();

  RtAudio::StreamParameters inputParameters;
  inputParameters.deviceId = inId;
  inputParameters.nChannels = channels;
  inputParameters.firstChannel = firstInChannel;
  RtAudio::StreamParameters outputParameters;
  outputParameters.deviceId = outId;
  outputParameters.nChannels = channels;
  outputParameters.firstChannel = firstOutChannel;

  gIOVS = ioVectorSize;
  // The callback cuts buffers into sub-blocks of this size: never 0, never past the silent input.
  const int sigvs = int(SettingToUnsigned(gState.sigvs));
  gSigVS = sigvs >= 1 && sigvs <= kMaxVectorSize ? sigvs : 32;

  std::printf("\ntrying to start audio stream @ %i sr, %i iovs, %i sigvs\nindev = %i:%s\noutdev = %i:%s\n",
              int(sampleRate), int(gIOVS), gSigVS, int(inId), GetAudioDeviceName(int(inId)).c_str(), int(outId),
              GetAudioDeviceName(int(outId)).c_str());
  std::fflush(stdout);

  gVecElapsed = 0;
  gFadeMult = 0.0;

  if (gPluginInstance)
  {
    gPluginInstance->SetBlockSize(gSigVS);
    gPluginInstance->SetSampleRate(sampleRate);
    gPluginInstance->Reset();
  }

  struct Opened
  {
    unsigned frames;
    const char* step;
    std::string error;
  };
  AudioDriver* driver = gDAC.get();
  std::optional<Opened> opened = AskService<Opened>(
      gAudioService, [driver, inputParameters, outputParameters, sampleRate, frames = gIOVS]() mutable {
        Opened result{frames, "open", std::string()};
        try
        {
          if (driver->serverWent()) throw RtAudioError("the server went away", RtAudioError::SYSTEM_ERROR);
          RtAudio::StreamOptions options;
          options.flags = RTAUDIO_NONINTERLEAVED;
          driver->openStream(&outputParameters, &inputParameters, RTAUDIO_FLOAT64, sampleRate, &result.frames,
                             AudioCallback, nullptr, &options);
          result.step = "start";
          if (driver->serverWent()) throw RtAudioError("the server went away", RtAudioError::SYSTEM_ERROR);
          driver->startStream();
        }
        catch (const std::exception& error)
        {
          PrintLibraryError(error);
          result.error = OneLine(error);
          // A stream that opened but did not start is no stream either.
          try
          {
            if (!driver->serverWent() && driver->isStreamRunning()) driver->abortStream();
            if (!driver->serverWent() && driver->isStreamOpen()) driver->closeStream();
          }
          catch (const std::exception& closing)
          {
            PrintLibraryError(closing);
          }
        }
        return result;
      });
  if (!opened) return NotAnswering();
  gIOVS = opened->frames;
  if (!opened->error.empty())
  {
    gAudioProcessing.store(false, std::memory_order_release);
    // A server that went away during the open is what the player needs to hear, once.
    DropIfServerWent();
    if (!gDAC) return NoDriver();
    return AudioResult::Failed(DriverName(gState.driver) + " could not " + opened->step +
                               " the stream: " + opened->error);
  }
  gActiveState = gState;
  sStreamRuns = true;
  return AudioResult::Ok();
}

bool DropLostAudio()
{
  DropIfServerWent();
  if (!sDropUnsaid.empty())
  {
    ReportNoAudioStream(NoDriver());
    return true;
  }
  if (!gDAC) return false;
  std::string why;
  if (!gDAC->streamFailed(&why)) return false;
  sStreamRuns = false;
  StopAudioStream(true);
  CloseAudioStream();
  ReportNoAudioStream(AudioResult::Failed(gAudioService.detail + " stopped the stream: " + why));
  return true;
}

int AudioCallback(void* output, void* input, unsigned nFrames, double, RtAudioStreamStatus status, void*)
{
  if (status) NoteStreamStatus();
  if (gVecElapsed < UINT_MAX) ++gVecElapsed;

  double* out = static_cast<double*>(output);
  if (!out) return 0;
  const size_t n = nFrames;
  // Silence is silence: nothing of an earlier buffer is left in the device's.
  std::fill(out, out + 2 * n, 0.0);
  if (gVecElapsed <= kSilentCallbacks) return 0;
  gAudioProcessing.store(true, std::memory_order_release);

  double* in = static_cast<double*>(input);
  const size_t rightOffset = ReadSharedField(gState.monoInput) ? 0 : n;
  const double step = 1.0 / double(n);
  const size_t sigvs = size_t(gSigVS);
  // Each device buffer from its first frame in sub-blocks, the last one what is left:
  // the device grants the period it grants, and nothing is written past it.
  for (size_t start = 0; start < n; start += sigvs)
  {
    const size_t frames = std::min(sigvs, n - start);
    double* inputs[2] = {in ? in + start : sSilentInput, in ? in + start + rightOffset : sSilentInput};
    double* outputs[2] = {out + start, out + n + start};
    if (gPluginInstance) gPluginInstance->LockMutexAndProcessDoubleReplacing(inputs, outputs, int(frames));
    for (size_t i = start; i < start + frames; ++i)
    {
      if (gFadeMult < 1.0) gFadeMult = std::min(gFadeMult + step, 1.0);
      out[i] *= gFadeMult;
      out[i] *= kOutputGain;
      out[n + i] *= gFadeMult;
      out[n + i] *= kOutputGain;
    }
  }
  return 0;
}
