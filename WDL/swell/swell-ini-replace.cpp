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
}  // namespace

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

bool keepAside(const std::string& path, std::string* keptAs, IniProblem* problem)
{
  // A second name for the same bytes: nothing is copied, and the file stays in place until
  // the write that follows replaces it. A name already taken holds an earlier keep.
  constexpr int kNumberedNames = 99;
  for (int number = 0; number <= kNumberedNames; ++number)
  {
    *keptAs = path + ".unreadable";
    if (number > 0) *keptAs += "." + std::to_string(number);
    if (::link(path.c_str(), keptAs->c_str()) == 0) return true;
    if (errno != EEXIST)
    {
      *problem = IniProblem::of(*keptAs, errno);
      return false;
    }
  }
  *problem = IniProblem::of(*keptAs, EEXIST);
  return false;
}
}  // namespace swell
