#include "OutputFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary a signal handler removes: a fixed buffer, since the handler may neither
// allocate nor look at a std::string being changed. Only one is written at a time.
char gPending[PATH_MAX + 1];
volatile sig_atomic_t gHasPending = 0;

void OnCleanupSignal(int signalNumber)
{
  if (gHasPending) ::unlink(gPending);
  // SA_RESETHAND put the default action back: raised again, the signal ends the process
  // with the status it would have had without this handler.
  std::raise(signalNumber);
}

// Holds off the cleanup signals while a temporary is made or renamed and the handler's
// record of it changes, so that the handler never removes a name that is not ours yet or
// any more, nor misses one that is.
class SignalsHeld
{
public:
  SignalsHeld()
  {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kCleanupSignals) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &mSaved);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &mSaved, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
  sigset_t mSaved;
};

void SetPending(const std::string& path)
{
  if (path.size() > PATH_MAX) return;
  std::memcpy(gPending, path.c_str(), path.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  gHasPending = 1;
}

void ClearPending() { gHasPending = 0; }

std::string CannotWrite(const std::string& path, int error)
{
  return "cannot write the WAV file \"" + path + "\": " + std::strerror(error);
}

// Six letters or digits, different from run to run and from process to process.
std::string RandomLetters()
{
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::mt19937_64 generator(std::random_device{}() ^ (uint64_t(getpid()) << 32));
  std::string letters;
  for (int i = 0; i < 6; ++i) letters += kLetters[generator() % (sizeof kLetters - 1)];
  return letters;
}

// Best effort: the rename is done, and whether or not the folder's entry has reached the
// disk yet, the path holds either the old file or the new one, each of them whole.
void SyncFolder(const std::string& folder)
{
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}
}  // namespace

OutputCalls OutputCalls::System()
{
  return {[](int fd, const void* data, size_t size) { return ::write(fd, data, size); },
          [](int fd) { return ::fsync(fd); }};
}

bool IsStandardOutput(const std::string& path)
{
  struct stat out, file;
  return fstat(STDOUT_FILENO, &out) == 0 && stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev &&
         out.st_ino == file.st_ino;
}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string& path, std::string* error)
{
  Abandon();
  struct stat file;
  const bool exists = ::stat(path.c_str(), &file) == 0;
  if (exists && S_ISDIR(file.st_mode))
  {
    *error = CannotWrite(path, EISDIR);
    return false;
  }
  if (IsStandardOutput(path) || (exists && !S_ISREG(file.st_mode)))
  {
    mFd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (mFd < 0)
    {
      *error = CannotWrite(path, errno);
      return false;
    }
    // The header, written first, is finished once the length is known: a pipe cannot go
    // back to it. Refused before anything is written, as a file that cannot be opened is.
    if (::lseek(mFd, 0, SEEK_CUR) < 0)
    {
      *error = "cannot write the WAV file \"" + path + "\" to a pipe (" + std::strerror(errno) +
               "): its header is finished at the end; redirect it to a file";
      ::close(mFd);
      mFd = -1;
      return false;
    }
    return true;
  }

  // A symbolic link to a file is written through, as it always was: the file it names is
  // replaced, beside itself, and the link stays.
  mTarget = path;
  struct stat link;
  if (exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
    if (char* resolved = ::realpath(path.c_str(), nullptr))
    {
      mTarget = resolved;
      std::free(resolved);
    }
  const size_t slash = mTarget.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : mTarget.substr(0, slash + 1);
  std::string name = mTarget.substr(folder.size());
  if (name.empty())
  {
    *error = CannotWrite(path, EISDIR);
    return false;
  }
  // Room for the dot and the random part in the longest name a folder takes.
  if (name.size() > NAME_MAX - 8) name.resize(NAME_MAX - 8);

  SignalsHeld held;
  int failure = EEXIST;
  for (int attempt = 0; attempt < 100 && failure == EEXIST; ++attempt)
  {
    const std::string candidate = folder + "." + name + "." + RandomLetters();
    // 0666: the file gets what the umask leaves of it, as a new file would.
    mFd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (mFd >= 0)
    {
      mTemporary = candidate;
      SetPending(mTemporary);
      return true;
    }
    failure = errno;
  }
  *error = CannotWrite(path, failure);
  return false;
}

int OutputFile::Commit(const OutputCalls& calls)
{
  if (mFd < 0) return EBADF;
  int error = 0;
  if (calls.fsync(mFd) != 0)
  {
    error = errno != 0 ? errno : EIO;
    // A device or a pipe written straight through has nothing to sync.
    if (mTemporary.empty() && error == EINVAL) error = 0;
  }
  if (::close(mFd) != 0 && error == 0) error = errno;
  mFd = -1;
  if (error == 0 && !mTemporary.empty())
  {
    SignalsHeld held;
    if (::rename(mTemporary.c_str(), mTarget.c_str()) != 0)
      error = errno;
    else
    {
      ClearPending();
      mTemporary.clear();
      const size_t slash = mTarget.find_last_of('/');
      SyncFolder(slash == std::string::npos ? "." : slash == 0 ? "/" : mTarget.substr(0, slash));
    }
  }
  if (error != 0) Abandon();
  return error;
}

void OutputFile::Abandon()
{
  if (mFd >= 0) ::close(mFd);
  mFd = -1;
  if (mTemporary.empty()) return;
  SignalsHeld held;
  ::unlink(mTemporary.c_str());
  ClearPending();
  mTemporary.clear();
}

void RemoveTemporaryOnSignals()
{
  for (int s : kCleanupSignals)
  {
    struct sigaction old{};
    // One that was ignored (SIGHUP under nohup) stays ignored.
    if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    struct sigaction action{};
    action.sa_handler = OnCleanupSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int other : kCleanupSignals) sigaddset(&action.sa_mask, other);
    sigaction(s, &action, nullptr);
  }
}
