#include "WavWriter.h"

#include <sndfile.h>

namespace
{
constexpr int kChannels = 2;
}

WavWriter::~WavWriter()
{
  std::string ignored;
  Close(&ignored);
}

bool WavWriter::Open(const std::string& path, int sampleRate, std::string* error)
{
  std::string ignored;
  Close(&ignored);
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = kChannels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  mFile = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!mFile)
  {
    *error = "cannot write the WAV file \"" + path + "\": " + sf_strerror(nullptr);
    return false;
  }
  sf_command(mFile, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  mPath = path;
  mFramesWritten = 0;
  return true;
}

bool WavWriter::WriteInterleaved(const float* samples, int64_t frames, std::string* error)
{
  if (!mFile)
  {
    *error = "no WAV file is open";
    return false;
  }
  const sf_count_t written = sf_writef_float(mFile, samples, frames);
  if (written != frames)
  {
    *error = "writing the WAV file \"" + mPath + "\" failed: " + sf_strerror(mFile);
    return false;
  }
  mFramesWritten += written;
  return true;
}

bool WavWriter::Close(std::string* error)
{
  if (!mFile) return true;
  const int result = sf_close(mFile);
  mFile = nullptr;
  if (result != 0)
  {
    *error = "finishing the WAV file \"" + mPath + "\" failed: " + sf_error_number(result);
    return false;
  }
  return true;
}
