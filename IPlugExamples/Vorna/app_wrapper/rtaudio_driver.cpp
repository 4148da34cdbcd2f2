#include "audio_driver.h"

#include <algorithm>
#include <vector>

namespace
{
class RtAudioDriver final : public AudioDriver
{
public:
  explicit RtAudioDriver(RtAudio::Api api) : mAudio(api) {}

  unsigned int getDeviceCount() override { return mAudio.getDeviceCount(); }
  RtAudio::DeviceInfo getDeviceInfo(unsigned int device) override { return mAudio.getDeviceInfo(device); }
  void openStream(RtAudio::StreamParameters* outputParameters, RtAudio::StreamParameters* inputParameters,
                  RtAudioFormat format, unsigned int sampleRate, unsigned int* bufferFrames, RtAudioCallback callback,
                  void* userData, RtAudio::StreamOptions* options) override
  {
    mAudio.openStream(outputParameters, inputParameters, format, sampleRate, bufferFrames, callback, userData,
                      options);
  }
  void startStream() override { mAudio.startStream(); }
  void stopStream() override { mAudio.stopStream(); }
  void abortStream() override { mAudio.abortStream(); }
  void closeStream() override { mAudio.closeStream(); }
  bool isStreamOpen() const override { return mAudio.isStreamOpen(); }
  bool isStreamRunning() const override { return mAudio.isStreamRunning(); }

private:
  RtAudio mAudio;
};
}  // namespace

bool IsAudioDriverCompiled(int driver)
{
  if (driver < 0 || driver >= kNumAudioDrivers) return false;
  std::vector<RtAudio::Api> compiled;
  RtAudio::getCompiledApi(compiled);
  return std::find(compiled.begin(), compiled.end(), kAudioDrivers[driver].api) != compiled.end();
}

std::unique_ptr<AudioDriver> MakeRtAudioDriver(int driver)
{
  // RtAudio quietly picks another interface for one it lacks; the settings name this one.
  if (!IsAudioDriverCompiled(driver)) return nullptr;
  return std::make_unique<RtAudioDriver>(kAudioDrivers[driver].api);
}
