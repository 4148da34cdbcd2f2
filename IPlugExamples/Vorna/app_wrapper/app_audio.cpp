#include "app_main.h"

#include "IPlugStandalone.h"
#include "callback_reports.h"
#include "library_errors.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::unique_ptr<AudioDriver> gDAC;
std::vector<std::string> gAudioIDDevNames;
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

}  // namespace

void StopAudioStream(bool abort)
{
  gAudioProcessing.store(false, std::memory_order_release);
  if (!gDAC) return;
  try
  {
    if (gDAC->isStreamRunning())
    {
      if (abort) gDAC->abortStream();
      else gDAC->stopStream();
    }
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
  }
  // Set again: a callback that ran while the stream was stopping set it.
  gAudioProcessing.store(false, std::memory_order_release);
}

void CloseAudioStream()
{
  if (!gDAC) return;
  try
  {
    if (gDAC->isStreamOpen()) gDAC->closeStream();
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
  }
}

AudioResult TryToChangeAudioDriverType()
{
  if (gDAC)
  {
    StopAudioStream(true);
    CloseAudioStream();
    gDAC.reset();
  }
  const std::string name = DriverName(gState.driver);
  try
  {
    gDAC = gHostBackends.makeAudioDriver(gState.driver);
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
    gDAC.reset();
    return AudioResult::Failed("the " + name + " driver could not be set up: " + OneLine(error));
  }
  if (!gDAC) return AudioResult::Failed("the audio library of this build has no " + name + " driver");
  return AudioResult::Ok();
}

void ProbeAudioIO()
{
  gAudioInputDevs.clear();
  gAudioOutputDevs.clear();
  gAudioIDDevNames.clear();
  if (!gDAC) return;

  unsigned count = 0;
  try
  {
    count = gDAC->getDeviceCount();
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
  }
  for (unsigned id = 0; id < count; ++id)
  {
    RtAudio::DeviceInfo info;
    try
    {
      info = gDAC->getDeviceInfo(id);
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
      info = RtAudio::DeviceInfo();
    }
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
}

std::string GetAudioDeviceName(int id)
{
  if (id < 0 || size_t(id) >= gAudioIDDevNames.size()) return std::string();
  return gAudioIDDevNames[size_t(id)];
}

int GetAudioDeviceID(const char* name)
{
  return FindStoredName(gAudioIDDevNames, name);
}

AudioResult TryToChangeAudio()
{
  if (!gDAC) return AudioResult::Failed("there is no audio driver");
  const int inId = GetAudioDeviceID(gState.inDev);
  const int outId = GetAudioDeviceID(gState.outDev);
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
  if (!gDAC) return AudioResult::Failed("there is no audio driver");
  StopAudioStream(true);
  CloseAudioStream();

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

  const char* step = "open";
  try
  {
    RtAudio::StreamOptions options;
    options.flags = RTAUDIO_NONINTERLEAVED;
    gDAC->openStream(&outputParameters, &inputParameters, RTAUDIO_FLOAT64, sampleRate, &gIOVS, AudioCallback,
                     nullptr, &options);
    step = "start";
    gDAC->startStream();
  }
  catch (const std::exception& error)
  {
    PrintLibraryError(error);
    // A stream that opened but did not start is no stream either.
    StopAudioStream(true);
    CloseAudioStream();
    return AudioResult::Failed(DriverName(gState.driver) + " could not " + step + " the stream: " + OneLine(error));
  }
  gActiveState = gState;
  return AudioResult::Ok();
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
