#include "WavWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

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
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0)
  {
    *error = "cannot write the WAV file \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  if (!OpenDescriptor(fd, path, sampleRate, OutputCalls::System(), error))
  {
    ::close(fd);
    return false;
  }
  mOwnsFd = true;
  return true;
}

bool WavWriter::OpenDescriptor(int fd, const std::string& name, int sampleRate, const OutputCalls& calls,
                               std::string* error)
{
  std::string ignored;
  Close(&ignored);
  mFd = fd;
  mOwnsFd = false;
  mCalls = calls;
  mPath = name;
  mFramesWritten = 0;
  mIoError = 0;
  SF_VIRTUAL_IO io{FileLength, Seek, Read, Write, Tell};
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = kChannels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  mFile = sf_open_virtual(&io, SFM_WRITE, &info, this);
  if (!mFile || mIoError != 0)
  {
    *error = mIoError != 0 ? Failed("could not write")
                           : "cannot write the WAV file \"" + name + "\": " + sf_strerror(nullptr);
    if (mFile) sf_close(mFile);
    mFile = nullptr;
    mFd = -1;
    return false;
  }
  sf_command(mFile, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
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
  if (written != frames || mIoError != 0)
  {
    *error = Failed("could not write");
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
  if (mOwnsFd && ::close(mFd) != 0 && mIoError == 0) mIoError = errno;
  mFd = -1;
  mOwnsFd = false;
  if (mIoError != 0)
  {
    *error = Failed("could not write");
    return false;
  }
  if (result != 0)
  {
    *error = "finishing the WAV file \"" + mPath + "\" failed: " + sf_error_number(result);
    return false;
  }
  return true;
}

std::string WavWriter::Failed(const char* what) const
{
  return std::string(what) + " " + mPath + ": " + (mIoError != 0 ? std::strerror(mIoError) : sf_strerror(mFile));
}

int64_t WavWriter::FileLength(void* self)
{
  struct stat file;
  return fstat(static_cast<WavWriter*>(self)->mFd, &file) == 0 ? int64_t(file.st_size) : -1;
}

int64_t WavWriter::Seek(int64_t offset, int whence, void* self)
{
  WavWriter& w = *static_cast<WavWriter*>(self);
  const off_t at = ::lseek(w.mFd, off_t(offset), whence);
  if (at < 0 && w.mIoError == 0) w.mIoError = errno;
  return at;
}

int64_t WavWriter::Read(void* data, int64_t count, void* self)
{
  const ssize_t n = ::read(static_cast<WavWriter*>(self)->mFd, data, size_t(count));
  return n < 0 ? 0 : n;
}

// All of it, or as much as the disk took before it said why not.
int64_t WavWriter::Write(const void* data, int64_t count, void* self)
{
  WavWriter& w = *static_cast<WavWriter*>(self);
  const char* bytes = static_cast<const char*>(data);
  int64_t done = 0;
  while (done < count && w.mIoError == 0)
  {
    errno = 0;
    const ssize_t n = w.mCalls.write(w.mFd, bytes + done, size_t(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      w.mIoError = n < 0 && errno != 0 ? errno : ENOSPC;  // taking nothing is a full disk
    else
      done += n;
  }
  return done;
}

int64_t WavWriter::Tell(void* self)
{
  return ::lseek(static_cast<WavWriter*>(self)->mFd, 0, SEEK_CUR);
}
