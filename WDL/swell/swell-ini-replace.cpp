#include "swell-ini-file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace swell
{
namespace
{
// "d/.NAME<suffix>" for the file "d/NAME".
std::string hiddenSibling(const std::string& path, const char* suffix)
{
  const size_t slash = path.find_last_of('/');
  const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, nameAt) + "." + path.substr(nameAt) + suffix;
}

// Read without changing it: setting the umask to learn it would race with other threads
// creating files.
mode_t currentUmask()
{
  FILE* f = std::fopen("/proc/self/status", "r");
  mode_t mask = 022;
  if (!f) return mask;
  char line[256];
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, "Umask:", 6) == 0)
    {
      mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8)) & 0777;
      break;
    }
  std::fclose(f);
  return mask;
}

// Writers before the fixed temporary name used ".NAME.new." and six random letters or
// digits, and a kill left them behind; none of them is being written while the writers'
// lock is held.
void removeOldTemporaries(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string prefix = hiddenSibling(path.substr(slash == std::string::npos ? 0 : slash + 1), ".new.");
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return;
  while (const dirent* entry = ::readdir(listing))
  {
    const std::string_view name(entry->d_name);
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string_view tail = name.substr(prefix.size());
    if (std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
      ::unlinkat(dirfd(listing), entry->d_name, 0);
  }
  ::closedir(listing);
}

bool writeAll(int fd, const char* data, size_t size)
{
  while (size > 0)
  {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool readAll(int fd, char* data, size_t size)
{
  while (size > 0)
  {
    const ssize_t n = ::read(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Whether the file at the path holds the size bytes that the kept file does, and no more.
bool sameBytes(const std::string& path, const std::string& kept, off_t size)
{
  struct stat file;
  if (::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode) || file.st_size != size) return false;
  const int a = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const int b = ::open(kept.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  bool same = a >= 0 && b >= 0;
  constexpr size_t kChunk = 0x10000;
  std::string chunkA(kChunk, '\0'), chunkB(kChunk, '\0');
  for (off_t left = size; same && left > 0;)
  {
    const size_t n = static_cast<size_t>(std::min<off_t>(left, kChunk));
    same = readAll(a, chunkA.data(), n) && readAll(b, chunkB.data(), n) &&
           std::memcmp(chunkA.data(), chunkB.data(), n) == 0;
    left -= static_cast<off_t>(n);
  }
  if (a >= 0) ::close(a);
  if (b >= 0) ::close(b);
  return same;
}

// What link() says on a filesystem that gives no file a second name (vfat, exFAT, some
// network mounts), whether or not the new name is free: the bytes must be copied there.
bool linksRefused(int error)
{
  return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EXDEV;
}

// The folder's entry for a new file reaches the disk too, or a crash could lose the copy
// after the rewrite dropped the bytes it holds. A filesystem that cannot sync a folder
// (EINVAL) has nothing more to do for it.
int syncFolderOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return error;
}

// Where the file cannot get a second name: its bytes copied to the kept name, which must be
// free (EEXIST when it is not, with nothing changed), with the file's permissions, synced
// with its folder before the rewrite may drop the original. 0, or the error with the problem
// set and no copy left.
int copyAside(const std::string& path, const std::string& keptAs, IniProblem* problem)
{
  const int from = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat file;
  if (from < 0 || ::fstat(from, &file) != 0)
  {
    const int error = errno;
    if (from >= 0) ::close(from);
    *problem = IniProblem::of(path, error);
    return error;
  }
  const int to = ::open(keptAs.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (to < 0)
  {
    const int error = errno;
    ::close(from);
    if (error != EEXIST) *problem = IniProblem::of(keptAs, error);
    return error;
  }
  int error = 0;
  std::string failedAt = keptAs;
  if (fchmod(to, file.st_mode & 0777) != 0) error = errno;
  std::string chunk(0x10000, '\0');
  while (error == 0)
  {
    const ssize_t n = ::read(from, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
    {
      error = errno;
      failedAt = path;
    }
    if (n <= 0) break;
    errno = 0;
    if (!writeAll(to, chunk.data(), static_cast<size_t>(n))) error = errno != 0 ? errno : EIO;
  }
  if (error == 0 && fsync(to) != 0) error = errno;
  if (::close(to) != 0 && error == 0) error = errno;
  ::close(from);
  if (error == 0) error = syncFolderOf(keptAs);
  if (error != 0)
  {
    ::unlink(keptAs.c_str());
    *problem = IniProblem::of(failedAt, error);
  }
  return error;
}
}  // namespace

int (*g_linkForKeeping)(const char* existing, const char* newName) = ::link;

IniWriterLock::IniWriterLock(const std::string& path)
{
  const std::string lockPath = hiddenSibling(path, ".lock");
  m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (m_fd < 0)
  {
    m_problem = IniProblem::of(lockPath, errno);
    return;
  }
  int locked;
  do
    locked = flock(m_fd, LOCK_EX);
  while (locked != 0 && errno == EINTR);
  if (locked != 0)
  {
    m_problem = IniProblem::of(lockPath, errno);
    ::close(m_fd);
    m_fd = -1;
  }
}

IniWriterLock::~IniWriterLock()
{
  if (m_fd >= 0) ::close(m_fd);
}

bool replaceFile(const std::string& path, const std::string& text, const FileStamp& existing, IniProblem* problem)
{
  // One fixed name, so that what a killed write left behind is reused instead of piling up.
  // Under the writers' lock no other writer is using it: removing it first means a link put
  // there is never written through.
  const std::string temporary = hiddenSibling(path, ".new");
  if (::unlink(temporary.c_str()) != 0 && errno != ENOENT)
  {
    // A folder there, say: the file below would not be made either, and this says why.
    *problem = IniProblem::of(temporary, errno);
    return false;
  }
  const mode_t mode = existing.exists ? existing.mode & 0777 : 0666 & ~currentUmask();
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0)
  {
    *problem = IniProblem::of(temporary, errno);
    return false;
  }

  int error = 0;
  const auto step = [&error](bool ok) {
    if (!ok && error == 0) error = errno != 0 ? errno : EIO;
    return error == 0;
  };
  errno = 0;
  step(fchmod(fd, mode) == 0) && step(writeAll(fd, text.data(), text.size())) && step(fsync(fd) == 0);
  step(::close(fd) == 0);
  if (error != 0)
  {
    *problem = IniProblem::of(temporary, error);
    ::unlink(temporary.c_str());
    return false;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0)
  {
    *problem = IniProblem::of(path, errno);
    ::unlink(temporary.c_str());
    return false;
  }
  removeOldTemporaries(path);
  return true;
}

std::string keptName(const std::string& path, int number)
{
  std::string name = path + ".unreadable";
  if (number > 0) name += "." + std::to_string(number);
  return name;
}

KeptAside keepAside(const std::string& path, std::string* keptAs, IniProblem* problem)
{
  // A name for this content already, found before a new one is taken: one left by a write
  // killed between the link and the rename (the file is still that one), or a copy of the
  // same bytes. Otherwise every failed or repeated keep would take another name.
  struct stat file;
  if (::lstat(path.c_str(), &file) == 0)
    for (int number = 0; number < kKeptNames; ++number)
    {
      const std::string name = keptName(path, number);
      struct stat kept;
      if (::lstat(name.c_str(), &kept) != 0) continue;
      const bool sameFile = kept.st_dev == file.st_dev && kept.st_ino == file.st_ino;
      if (sameFile || (S_ISREG(kept.st_mode) && sameBytes(path, name, kept.st_size)))
      {
        *keptAs = name;
        return sameFile ? KeptAside::leftName : KeptAside::earlierCopy;
      }
    }

  // A second name for the same bytes: nothing is copied, and the file stays in place until
  // the write that follows replaces it. A name already taken holds an earlier keep. Where
  // the filesystem refuses second names, the bytes are copied instead; a copy is a file of
  // its own, which the search above finds by its bytes.
  bool copying = false;
  for (int number = 0; number < kKeptNames; ++number)
  {
    *keptAs = keptName(path, number);
    int error = 0;
    if (!copying)
    {
      error = g_linkForKeeping(path.c_str(), keptAs->c_str()) == 0 ? 0 : errno;
      copying = linksRefused(error);
    }
    if (copying) error = copyAside(path, *keptAs, problem);
    if (error == 0) return KeptAside::newName;
    if (error != EEXIST)
    {
      if (!copying) *problem = IniProblem::of(*keptAs, error);
      return KeptAside::failed;
    }
  }
  keptAs->clear();
  return KeptAside::noFreeName;
}
}  // namespace swell
