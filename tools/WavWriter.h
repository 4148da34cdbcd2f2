#pragma once

#include "OutputFile.h"

#include <cstdint>
#include <string>

struct sf_private_tag;

// Writes a stereo WAV file of 32-bit float samples through libsndfile. The file
// holds the samples and nothing that changes from run to run (no PEAK chunk with
// its time stamp), so the same samples always give the same bytes. Every byte goes
// through the writer's own calls, so that a failing write or seek is seen with the
// system's reason, whatever libsndfile makes of it.
class WavWriter
{
public:
  WavWriter() = default;
  ~WavWriter();

  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates or truncates the file. sampleRate in Hz, above 0.
  bool Open(const std::string& path, int sampleRate, std::string* error);
  // Writes to a descriptor open for writing (and seeking: the header is finished at the
  // end), which stays the caller's, through calls.write; name is what errors call it.
  bool OpenDescriptor(int fd, const std::string& name, int sampleRate, const OutputCalls& calls,
                      std::string* error);
  // frames pairs of samples, left then right.
  bool WriteInterleaved(const float* samples, int64_t frames, std::string* error);
  // Finishes the header; a file that was never opened closes without error.
  bool Close(std::string* error);

  int64_t FramesWritten() const { return mFramesWritten; }
  // The error number of the first write or seek that failed; 0 while none has.
  int IoError() const { return mIoError; }

private:
  static int64_t FileLength(void* self);
  static int64_t Seek(int64_t offset, int whence, void* self);
  static int64_t Read(void* data, int64_t count, void* self);
  static int64_t Write(const void* data, int64_t count, void* self);
  static int64_t Tell(void* self);
  std::string Failed(const char* what) const;

  sf_private_tag* mFile = nullptr;
  int mFd = -1;
  bool mOwnsFd = false;
  OutputCalls mCalls;
  std::string mPath;
  int64_t mFramesWritten = 0;
  int mIoError = 0;
};
