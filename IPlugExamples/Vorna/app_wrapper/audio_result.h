#pragma once

#include <string>
#include <utility>

// Whether the audio interface or the stream came up and, when not, why, in words a
// musician can act on: start-up prints it when the application has to play without sound.
class AudioResult
{
public:
  static AudioResult Ok() { return AudioResult(true, std::string()); }
  static AudioResult Failed(std::string why) { return AudioResult(false, std::move(why)); }

  explicit operator bool() const { return mOk; }
  const std::string& why() const { return mWhy; }

private:
  AudioResult(bool ok, std::string why) : mOk(ok), mWhy(std::move(why)) {}

  bool mOk;
  std::string mWhy;
};
