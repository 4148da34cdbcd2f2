#include "audio_driver.h"

#include "callback_reports.h"
#include "jack_watch.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
// The library reports trouble through the stream's error callback once a stream is open, and
// then no longer throws: a failed start, say, returns as if it had worked. What it reports
// during a call is thrown when the call returns, as without a callback; what it reports on the
// stream's own thread means the stream has stopped, and waits there for the main thread.
struct CallErrors
{
  bool failed = false;
  RtAudioError::Type type = RtAudioError::UNSPECIFIED;
  std::string text;
};
thread_local CallErrors* tCallErrors = nullptr;

// A failure reported on the stream's thread, once a stream, for the main thread to take.
TextMailbox sStreamError;

void OnLibraryError(RtAudioError::Type type, const std::string& text)
{
  if (tCallErrors)
  {
    // A service's thread: printed as the library prints its warnings.
    if (type == RtAudioError::WARNING) std::fprintf(stderr, "\n%s\n\n", text.c_str());
    else if (!tCallErrors->failed) *tCallErrors = {true, type, text};
    return;
  }
  if (type == RtAudioError::WARNING)
  {
    NoteLibraryWarning(text);
    return;
  }
  sStreamError.Put(text);
}

template <class Call>
auto Checked(Call call)
{
  CallErrors errors;
  CallErrors* const outer = tCallErrors;
  tCallErrors = &errors;
  struct Restore
  {
    CallErrors* outer;
    ~Restore() { tCallErrors = outer; }
  } restore{outer};
  if constexpr (std::is_void_v<decltype(call())>)
  {
    call();
    if (errors.failed) throw RtAudioError(errors.text, errors.type);
  }
  else
  {
    auto result = call();
    if (errors.failed) throw RtAudioError(errors.text, errors.type);
    return result;
  }
}

class RtAudioDriver final : public AudioDriver
{
public:
  explicit RtAudioDriver(RtAudio::Api api) : mAudio(api), mApi(api) {}

  unsigned int getDeviceCount() override
  {
    return Checked([&] { return mAudio.getDeviceCount(); });
  }
  RtAudio::DeviceInfo getDeviceInfo(unsigned int device) override
  {
    return Checked([&] { return mAudio.getDeviceInfo(device); });
  }
  void openStream(RtAudio::StreamParameters* outputParameters, RtAudio::StreamParameters* inputParameters,
                  RtAudioFormat format, unsigned int sampleRate, unsigned int* bufferFrames, RtAudioCallback callback,
                  void* userData, RtAudio::StreamOptions* options) override
  {
    // The stream's clients are the server's from here on: the watch hears if it goes away.
    if (mApi == RtAudio::UNIX_JACK)
    {
      std::string why;
      const jack_watch::Token server = jack_watch::Join(&why);
      mServerGone.store(server.get(), std::memory_order_release);
    }
    sStreamError.Clear();
    try
    {
      Checked([&] {
        mAudio.openStream(outputParameters, inputParameters, format, sampleRate, bufferFrames, callback, userData,
                          options, OnLibraryError);
      });
    }
    catch (...)
    {
      mServerGone.store(nullptr, std::memory_order_release);
      throw;
    }
  }
  void startStream() override { Checked([&] { mAudio.startStream(); }); }
  void stopStream() override { Checked([&] { mAudio.stopStream(); }); }
  void abortStream() override { Checked([&] { mAudio.abortStream(); }); }
  void closeStream() override
  {
    Checked([&] { mAudio.closeStream(); });
    mServerGone.store(nullptr, std::memory_order_release);
  }
  bool isStreamOpen() const override { return mAudio.isStreamOpen(); }
  bool isStreamRunning() const override { return mAudio.isStreamRunning(); }

  bool serverWent() const override
  {
    const std::atomic<bool>* gone = mServerGone.load(std::memory_order_acquire);
    return gone && gone->load(std::memory_order_acquire);
  }
  bool streamFailed(std::string* why) override { return sStreamError.Take(why); }

private:
  RtAudio mAudio;
  RtAudio::Api mApi;
  // The watch's flag for the open stream's server (watch flags live to the end).
  std::atomic<const std::atomic<bool>*> mServerGone{nullptr};
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
