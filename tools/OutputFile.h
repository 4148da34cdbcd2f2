#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

// The calls that put the output's bytes on the disk: the system's, or in tests stand-ins
// that fail the way a full disk or a failing device does.
struct OutputCalls
{
  std::function<ssize_t(int fd, const void* data, size_t size)> write;
  std::function<int(int fd)> fsync;

  static OutputCalls System();
};

// Whether the path names what standard output is (same device and inode), however it is
// spelt: /dev/stdout, /proc/self/fd/1, the file the shell redirected it to.
bool IsStandardOutput(const std::string& path);

// Where a render's bytes go. A regular file, or a name that is free, is written under a
// hidden temporary name beside it, which takes the path's place only once all of it is
// written and synced: a render that fails or is stopped leaves what was at the path as it
// was. Standard output and other files that are not regular (a device, a FIFO) cannot be
// replaced that way and are written straight through.
class OutputFile
{
public:
  OutputFile() = default;
  ~OutputFile();  // removes a temporary that was never committed

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary (with the permissions a new file gets under the umask), or opens
  // the path itself when it is written straight through. False with the reason in error,
  // and nothing changed on disk, when that cannot be done.
  bool Open(const std::string& path, std::string* error);

  int Descriptor() const { return mFd; }
  // The hidden name being written; empty when the output goes straight to the path.
  const std::string& TemporaryPath() const { return mTemporary; }

  // Syncs and closes what was written and, for a temporary, renames it over the path. 0,
  // or the error number of the step that failed, the temporary then removed.
  int Commit(const OutputCalls& calls);

private:
  void Abandon();

  int mFd = -1;
  std::string mTemporary;
  std::string mTarget;  // what the temporary is renamed to
};

// Until the process ends, SIGINT, SIGTERM and SIGHUP remove the temporary being written
// (if any) before the signal ends the process as it would have.
void RemoveTemporaryOnSignals();
