#pragma once

#include <cstdint>
#include <string>

struct sf_private_tag;

// Writes a stereo WAV file of 32-bit float samples through libsndfile. The file
// holds the samples and nothing that changes from run to run (no PEAK chunk with
// its time stamp), so the same samples always give the same bytes.
class WavWriter
{
public:
  WavWriter() = default;
  ~WavWriter();

  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates or truncates the file. sampleRate in Hz, above 0.
  bool Open(const std::string& path, int sampleRate, std::string* error);
  // frames pairs of samples, left then right.
  bool WriteInterleaved(const float* samples, int64_t frames, std::string* error);
  // Finishes the header; a file that was never opened closes without error.
  bool Close(std::string* error);

  int64_t FramesWritten() const { return mFramesWritten; }

private:
  sf_private_tag* mFile = nullptr;
  std::string mPath;
  int64_t mFramesWritten = 0;
};
