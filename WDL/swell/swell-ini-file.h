#pragma once

#include "assocarray.h"

#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>

// One settings file in memory, and reading and writing it as text. Section and key
// names compare without regard to case.
namespace swell
{
using IniSection = WDL_StringKeyedArray<char*>;

// A NUL or another control byte than tab: no line of settings text holds one.
bool holdsControlByte(std::string_view text);

IniSection* newIniSection();
void disposeIniSection(IniSection* section);

// Sections by name, owning them.
class IniSections : public WDL_StringKeyedArray<IniSection*>
{
public:
  IniSections();
};

// The longest line read as one; a longer one continues as further lines.
constexpr size_t kMaxIniLineBytes = 0x2000000;

// What identifies one version of a file: a file replaced by rename has another inode,
// one changed in place another change time.
struct FileStamp
{
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  mode_t mode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  bool operator==(const FileStamp& other) const;
  // The same but perhaps for the change time, which a name given to the file or taken from
  // it moves as well.
  bool sameButChangeTime(const FileStamp& other) const;
  // Matches no file: the next look finds the file changed.
  static FileStamp unknown();
};

enum class FileStatus
{
  present,
  missing,  // no such file (or a path through something that is not a folder)
  failed,   // there, or perhaps there, but not readable
  notSettings,  // read, but its text is not settings text (see readIniFile)
  moreThanSettings,  // read as settings, but holding bytes that writing it back drops
};

// Why a file operation failed: the path it failed on and the system's reason in words.
struct IniProblem
{
  std::string path;
  std::string reason;

  bool empty() const { return reason.empty(); }
  // The reason strerror gives for the error number.
  static IniProblem of(const std::string& path, int error);
};

// The problem is set when the status is failed.
FileStatus statFile(const char* path, FileStamp* stamp, IniProblem* problem);

// Fills the (empty) sections from the file. A missing file gives no sections; a failed
// read leaves none either, and says why. A file whose text before its first header runs
// past 0x40000 bytes, or that has text but no header at all (binary, another encoding),
// is not settings text: it gives no sections, and notSettings says so. A file read as
// settings that also holds what its rewrite would drop (a line holding a NUL or another
// control byte than tab, which is not read; a non-blank line that is neither a header nor
// a key line kept; text after a header's ']'; a key or section given again) is
// moreThanSettings. Either way its bytes must not be lost to the next write.
FileStatus readIniFile(const char* path, IniSections* sections, FileStamp* stamp, IniProblem* problem);

// Serialises the writers of one file across processes for its lifetime, through an
// advisory lock on ".NAME.lock" beside the file (left there for the next writer).
class IniWriterLock
{
public:
  explicit IniWriterLock(const std::string& path);
  ~IniWriterLock();
  IniWriterLock(const IniWriterLock&) = delete;
  IniWriterLock& operator=(const IniWriterLock&) = delete;
  bool held() const { return m_fd >= 0; }
  // Why it is not held.
  const IniProblem& problem() const { return m_problem; }

private:
  int m_fd = -1;
  IniProblem m_problem;
};

// Gives the file the text, holding its IniWriterLock: written to ".NAME.new" in the same
// folder (what a killed writer left there is replaced), synced, and renamed over the path
// itself only when all of that succeeded, so that a symbolic link is replaced and the file
// it named is left alone. The file keeps its permissions (a new one gets those the umask
// allows). False, with the file as it was, no temporary file left and the problem set,
// when anything failed. Temporary files of the older ".NAME.new.XXXXXX" kind are removed.
bool replaceFile(const std::string& path, const std::string& text, const FileStamp& existing, IniProblem* problem);

// The names the bytes of a file are kept by before a write replaces it: "NAME.unreadable",
// then "NAME.unreadable.1" to "NAME.unreadable.99".
constexpr int kKeptNames = 100;
std::string keptName(const std::string& path, int number);

enum class KeptAside
{
  newName,      // a name that was free now names the file too (or, where the filesystem refuses
                // second names, a synced copy of its bytes); remove it if the write fails
  leftName,     // a name a write killed before replacing the file had given it already
  earlierCopy,  // a name already holding the same bytes, as a file of its own
  noFreeName,   // every name holds other bytes: nothing is kept
  failed,       // the problem says why
};

// The call that gives a file its kept name. It is link() but in tests, which put a stand-in
// here to act out a filesystem that refuses second names (vfat, exFAT, some network mounts).
extern int (*g_linkForKeeping)(const char* existing, const char* newName);

// Holding the file's IniWriterLock, keeps what is at the path under one of its kept names
// as well, before a write replaces it: a name that already holds this very content
// (the same file, or the same bytes) when there is one, else the first free name, so that
// what an earlier keep put aside stays and one content takes one name.
KeptAside keepAside(const std::string& path, std::string* keptAs, IniProblem* problem);

// The file's text: sections in order, each "[name]", its keys with non-empty names as
// "key=value", then an empty line.
std::string formatIniFile(const IniSections& sections);
}  // namespace swell
