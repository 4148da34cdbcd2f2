#include "swell-ini-file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace swell
{
namespace
{
// Arrays grow by this many bytes: a file of many small sections stays near its own size
// in memory.
constexpr int kArrayGranularity = 32;

// Text before the first section header, beyond which a file is not taken for settings.
constexpr size_t kMaxPreambleBytes = 0x40000;

constexpr size_t kReadChunkBytes = 0x10000;

bool sameTime(const timespec& a, const timespec& b)
{
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

FileStamp stampOf(const struct stat& st)
{
  FileStamp s;
  s.exists = true;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.mode = st.st_mode;
  s.size = st.st_size;
  s.modified = st.st_mtim;
  s.changed = st.st_ctim;
  return s;
}

bool isBlank(char c)
{
  return c == ' ' || c == '\t';
}


// Lines of a file, each at most kMaxIniLineBytes long with its '\n'.
class LineReader
{
public:
  explicit LineReader(int fd) : m_fd(fd), m_chunk(new char[kReadChunkBytes]) {}

  // False at the end of the file or on a read error (failed() tells which).
  bool next(std::string* line)
  {
    line->clear();
    for (;;)
    {
      if (m_pos == m_end)
      {
        if (m_atEnd || !refill()) return !line->empty();
        continue;
      }
      const size_t take = std::min(m_end - m_pos, kMaxIniLineBytes - line->size());
      const char* start = m_chunk.get() + m_pos;
      if (const void* newline = std::memchr(start, '\n', take))
      {
        const size_t n = static_cast<const char*>(newline) - start + 1;
        line->append(start, n);
        m_pos += n;
        return true;
      }
      line->append(start, take);
      m_pos += take;
      if (line->size() >= kMaxIniLineBytes) return true;
    }
  }

  bool failed() const { return m_error != 0; }
  int error() const { return m_error; }

private:
  bool refill()
  {
    ssize_t n;
    do
      n = ::read(m_fd, m_chunk.get(), kReadChunkBytes);
    while (n < 0 && errno == EINTR);
    m_pos = 0;
    m_end = n > 0 ? static_cast<size_t>(n) : 0;
    if (n < 0) m_error = errno;
    if (n <= 0) m_atEnd = true;
    return n > 0;
  }

  int m_fd;
  std::unique_ptr<char[]> m_chunk;
  size_t m_pos = 0;
  size_t m_end = 0;
  bool m_atEnd = false;
  int m_error = 0;
};

// Sections in the order they were read, put in order by name now and then: sorting once
// costs the same whatever order the file has, where inserting each into a sorted array
// costs a move of those after it. Of sections with the same name (in any case) the first
// spelling and the last one's keys are kept.
class ReadSections
{
public:
  // Whether the keys of a section given again were dropped.
  bool droppedKeys() const { return m_droppedKeys; }

  ~ReadSections()
  {
    for (const Named& n : m_read) disposeIniSection(n.section);
  }

  IniSection* add(std::string name)
  {
    // Compacted whenever it has doubled, so that a file repeating a few sections many
    // times holds no more sections than it names.
    if (m_read.size() >= 2 * std::max<size_t>(m_compacted, kMinCompaction)) compact();
    m_read.push_back({std::move(name), newIniSection()});
    return m_read.back().section;
  }

  void moveTo(IniSections* sections)
  {
    compact();
    for (Named& n : m_read)
    {
      const int before = sections->GetSize();
      sections->AddUnsorted(n.name.c_str(), n.section);
      if (sections->GetSize() == before) disposeIniSection(n.section);
    }
    m_read.clear();
  }

private:
  struct Named
  {
    std::string name;
    IniSection* section;
  };
  static constexpr size_t kMinCompaction = 1024;

  void compact()
  {
    std::stable_sort(m_read.begin(), m_read.end(),
                     [](const Named& a, const Named& b) { return strcasecmp(a.name.c_str(), b.name.c_str()) < 0; });
    size_t kept = 0;
    for (size_t i = 0; i < m_read.size(); ++i)
    {
      if (kept > 0 && strcasecmp(m_read[kept - 1].name.c_str(), m_read[i].name.c_str()) == 0)
      {
        if (m_read[kept - 1].section->GetSize() > 0) m_droppedKeys = true;
        disposeIniSection(m_read[kept - 1].section);
        m_read[kept - 1].section = m_read[i].section;
        continue;
      }
      if (kept != i) m_read[kept] = std::move(m_read[i]);
      ++kept;
    }
    m_read.resize(kept);
    m_compacted = kept;
  }

  std::vector<Named> m_read;
  size_t m_compacted = 0;
  bool m_droppedKeys = false;
};

// Turns lines into sections. Keys are appended as they come and put in order (the last
// of equal keys kept) when their section ends.
class Parser
{
public:
  explicit Parser(IniSections* sections) : m_sections(sections) {}
  ~Parser() { finish(); }

  // Ends the last section and hands the sections over; once.
  void finish()
  {
    if (m_finished) return;
    m_finished = true;
    endSection();
    m_read.moveTo(m_sections);
  }

  // False once the text before the first header has run too long to be settings.
  bool line(const std::string& raw)
  {
    const size_t mark = m_firstLine && raw.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const char* p = raw.data() + mark;
    m_firstLine = false;

    size_t len = raw.size() - mark;
    while (len > 0 && (isBlank(p[len - 1]) || p[len - 1] == '\r' || p[len - 1] == '\n')) --len;
    while (len > 0 && isBlank(*p)) ++p, --len;
    const std::string_view text(p, len);
    // A NUL or another control byte is no part of settings text: its line is not read (a
    // header holding one starts a section that is not read), and a rewrite drops it.
    const bool control = holdsControlByte(text);
    if (control) m_dropsText = true;

    if (!text.empty() && text[0] == '[')
      if (const size_t close = text.find(']'); close != std::string_view::npos)
      {
        m_seenHeader = true;
        if (close + 1 < text.size()) m_dropsText = true;  // written back as "[name]" alone
        beginSection(control ? std::string() : std::string(text.substr(1, close - 1)));
        return true;
      }
    if (!m_seenHeader)
    {
      if (raw.find_first_not_of(" \t\r\n", mark) != std::string::npos) m_preambleHasText = true;
      m_preambleBytes += raw.size();
      return m_preambleBytes <= kMaxPreambleBytes;
    }
    if (text.empty()) return true;
    const size_t equals = text.find('=');
    if (control || !m_current || equals == std::string_view::npos || equals == 0)
    {
      m_dropsText = true;
      return true;
    }
    const std::string key(text.substr(0, equals));
    char* value = strndup(text.data() + equals + 1, text.size() - equals - 1);
    if (value) m_current->AddUnsorted(key.c_str(), value);
    return true;
  }

  // Whether the file held something before, or instead of, any header that settings text
  // would not: more than the preamble allows, or text and no header at all.
  bool refusedText() const
  {
    return m_preambleBytes > kMaxPreambleBytes || (!m_seenHeader && m_preambleHasText);
  }

  // Whether writing the sections back would leave out something the file holds; known
  // once finished.
  bool dropsText() const { return m_dropsText || m_preambleHasText || m_read.droppedKeys(); }

private:
  void beginSection(const std::string& name)
  {
    endSection();
    if (!name.empty()) m_current = m_read.add(name);  // "[]": its lines are ignored
  }

  void endSection()
  {
    if (m_current)
    {
      const int read = m_current->GetSize();
      m_current->Resort();
      if (m_current->GetSize() < read) m_dropsText = true;  // a key given twice keeps its last value
    }
    m_current = nullptr;
  }

  IniSections* m_sections;
  ReadSections m_read;
  IniSection* m_current = nullptr;
  bool m_finished = false;
  bool m_firstLine = true;
  bool m_seenHeader = false;
  bool m_preambleHasText = false;
  bool m_dropsText = false;
  size_t m_preambleBytes = 0;
};
}  // namespace

bool holdsControlByte(std::string_view text)
{
  for (const char c : text)
  {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t') || byte == 0x7F) return true;
  }
  return false;
}

IniSection* newIniSection()
{
  auto* section = new IniSection(false, IniSection::freecharptr);
  section->SetGranularity(kArrayGranularity);
  return section;
}

void disposeIniSection(IniSection* section)
{
  delete section;
}

IniSections::IniSections() : WDL_StringKeyedArray<IniSection*>(false, disposeIniSection)
{
  SetGranularity(kArrayGranularity);
}

bool FileStamp::operator==(const FileStamp& other) const
{
  return sameButChangeTime(other) && (!exists || sameTime(changed, other.changed));
}

bool FileStamp::sameButChangeTime(const FileStamp& other) const
{
  if (exists != other.exists) return false;
  if (!exists) return true;
  return device == other.device && inode == other.inode && mode == other.mode && size == other.size &&
         sameTime(modified, other.modified);
}

FileStamp FileStamp::unknown()
{
  FileStamp s;
  s.exists = true;
  s.size = -1;
  return s;
}

IniProblem IniProblem::of(const std::string& path, int error)
{
  return {path, std::strerror(error)};
}

FileStatus statFile(const char* path, FileStamp* stamp, IniProblem* problem)
{
  struct stat st;
  if (::stat(path, &st) == 0)
  {
    *stamp = stampOf(st);
    return FileStatus::present;
  }
  const int error = errno;
  *stamp = FileStamp();
  if (error == ENOENT || error == ENOTDIR) return FileStatus::missing;
  *problem = IniProblem::of(path, error);
  return FileStatus::failed;
}

FileStatus readIniFile(const char* path, IniSections* sections, FileStamp* stamp, IniProblem* problem)
{
  *stamp = FileStamp();
  // Not blocking on open: a fifo put where the file belongs must not hang the caller.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
  {
    if (errno == ENOENT || errno == ENOTDIR) return FileStatus::missing;
    *problem = IniProblem::of(path, errno);
    return FileStatus::failed;
  }

  struct stat st;
  const bool examined = fstat(fd, &st) == 0;
  if (!examined || !S_ISREG(st.st_mode))
  {
    // A folder, a fifo or a device is nothing a settings file could be read from.
    if (!examined) *problem = IniProblem::of(path, errno);
    else if (S_ISDIR(st.st_mode)) *problem = IniProblem::of(path, EISDIR);
    else *problem = IniProblem{path, "not a regular file"};
    ::close(fd);
    return FileStatus::failed;
  }
  int locked;
  do
    locked = flock(fd, LOCK_SH);
  while (locked != 0 && errno == EINTR);

  bool failed = false;
  FileStatus status = FileStatus::present;
  {
    Parser parser(sections);
    LineReader reader(fd);
    std::string line;
    bool whole = true;
    while (whole && reader.next(&line)) whole = parser.line(line);
    parser.finish();
    failed = reader.failed();
    if (failed) *problem = IniProblem::of(path, reader.error());
    else if (parser.refusedText()) status = FileStatus::notSettings;
    else if (parser.dropsText()) status = FileStatus::moreThanSettings;
  }
  if (locked == 0) flock(fd, LOCK_UN);
  ::close(fd);

  if (failed)
  {
    sections->DeleteAll();
    return FileStatus::failed;
  }
  *stamp = stampOf(st);
  return status;
}

std::string formatIniFile(const IniSections& sections)
{
  std::string text;
  for (int i = 0; i < sections.GetSize(); ++i)
  {
    const char* name = nullptr;
    const IniSection* section = sections.Enumerate(i, &name);
    text += '[';
    text += name;
    text += "]\n";
    for (int k = 0; k < section->GetSize(); ++k)
    {
      const char* key = nullptr;
      const char* value = section->Enumerate(k, &key);
      if (!*key) continue;
      text += key;
      text += '=';
      text += value;
      text += '\n';
    }
    text += '\n';
  }
  return text;
}
}  // namespace swell
