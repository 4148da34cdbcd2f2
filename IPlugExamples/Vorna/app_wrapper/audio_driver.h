#pragma once

#include <rtaudio/RtAudio.h>

#include <memory>
#include <string>

// The calls the application makes of an audio interface, in RtAudio's own
// terms: the real one is RtAudio, and tests put in a scripted one. Failures
// are RtAudio's exceptions (RtAudioError), as the library throws them.
class AudioDriver
{
public:
  virtual ~AudioDriver() = default;

  virtual unsigned int getDeviceCount() = 0;
  virtual RtAudio::DeviceInfo getDeviceInfo(unsigned int device) = 0;
  // bufferFrames is what is asked for on the way in and what was granted on the way out.
  virtual void openStream(RtAudio::StreamParameters* outputParameters, RtAudio::StreamParameters* inputParameters,
                          RtAudioFormat format, unsigned int sampleRate, unsigned int* bufferFrames,
                          RtAudioCallback callback, void* userData, RtAudio::StreamOptions* options) = 0;
  virtual void startStream() = 0;
  virtual void stopStream() = 0;
  virtual void abortStream() = 0;
  virtual void closeStream() = 0;
  virtual bool isStreamOpen() const = 0;
  virtual bool isStreamRunning() const = 0;

  // Both may be asked from any thread; they ask nothing of the library.
  // Whether the server the open stream is on went away: then nothing of the driver may be
  // called again, its destructor included.
  virtual bool serverWent() const = 0;
  // Whether the library stopped the stream on its own thread after an error since it was
  // opened, and why (told once).
  virtual bool streamFailed(std::string* why) = 0;
};

// The drivers the application knows, by their index in the settings.
struct AudioDriverKind
{
  const char* name;
  RtAudio::Api api;
  // The device a fresh setting names for this driver.
  const char* defaultDevice;
};
inline constexpr AudioDriverKind kAudioDrivers[] = {
  {"ALSA", RtAudio::LINUX_ALSA, "default"},
  {"PulseAudio", RtAudio::LINUX_PULSE, "PulseAudio"},
  {"JACK", RtAudio::UNIX_JACK, "system"},
};
inline constexpr int kNumAudioDrivers = int(std::size(kAudioDrivers));

// Whether the driver index names a driver built into this RtAudio.
bool IsAudioDriverCompiled(int driver);
// An RtAudio for the driver index; null for an index that names no compiled driver.
std::unique_ptr<AudioDriver> MakeRtAudioDriver(int driver);
