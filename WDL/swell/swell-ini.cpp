#include "swell-ini.h"

#include "swell-ini-file.h"
#include "swell-misc.h"

#include "mutex.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

using swell::FileStamp;
using swell::FileStatus;
using swell::IniProblem;
using swell::IniSection;
using swell::IniSections;

namespace
{
constexpr int kCachedFiles = 32;
// One text of WritePrivateProfileSection is taken up to this many characters.
constexpr size_t kMaxSectionPairChars = 8190;

struct IniFileContext
{
  uint64_t lastAccess = 0;
  FileStamp stamp;
  bool used = false;
  bool readable = false;  // false: the last read failed and the next lookup reads again
  // Read, but holding bytes that a write must not lose: notSettings or moreThanSettings.
  FileStatus keepBeforeWrite = FileStatus::present;
  IniProblem readProblem;   // why the last read failed
  IniProblem writeProblem;  // why the last write failed
  bool unsaved = false;     // the sections hold a change that a write failed to put on disk
  std::string path;
  IniSections sections;
};

// Declared before the cache so that it outlives it at exit.
WDL_Mutex s_iniMutex;
IniFileContext s_cache[kCachedFiles];
uint64_t s_accessCounter = 0;
SWELL_IniKeptHandler s_keptHandler = nullptr;
SWELL_IniNotKeptHandler s_notKeptHandler = nullptr;

std::string resolvePath(const char* file)
{
  if (file && std::strchr(file, '/')) return file;
  std::string path = swell::defaultIniFile();
  if (path.empty())
  {
    const char* home = std::getenv("HOME");
    path = std::string(home && *home ? home : "/tmp") + "/.libSwell.ini";
  }
  if (!file || !*file) return path;

  const size_t separator = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) path.erase(dot);
  path += '_';
  path += file;
  const size_t len = std::strlen(file);
  if (len < 4 || strcasecmp(file + len - 4, ".ini") != 0) path += ".ini";
  return path;
}

// The cached file, read again when it changed on disk. Costs one stat while it did not.
IniFileContext* fileContext(const std::string& path)
{
  IniFileContext* context = nullptr;
  for (IniFileContext& c : s_cache)
    if (!c.used || c.path == path)
    {
      context = &c;
      break;
    }
  if (!context)
    context = std::min_element(std::begin(s_cache), std::end(s_cache), [](const auto& a, const auto& b) {
      return a.lastAccess < b.lastAccess;
    });
  context->lastAccess = ++s_accessCounter;

  FileStamp now;
  IniProblem problem;
  const FileStatus status = swell::statFile(path.c_str(), &now, &problem);
  if (context->used && context->readable && context->path == path && status != FileStatus::failed &&
      now == context->stamp)
    return context;

  context->sections.DeleteAll();
  if (context->path != path) context->writeProblem = IniProblem();
  context->unsaved = false;
  context->used = true;
  context->path = path;
  context->keepBeforeWrite = FileStatus::present;
  if (status == FileStatus::present)
  {
    const FileStatus read = swell::readIniFile(path.c_str(), &context->sections, &context->stamp, &problem);
    context->readable = read != FileStatus::failed;
    if (read == FileStatus::notSettings || read == FileStatus::moreThanSettings) context->keepBeforeWrite = read;
  }
  else
  {
    context->stamp = FileStamp();
    context->readable = status == FileStatus::missing;
  }
  context->readProblem = context->readable ? IniProblem() : problem;
  return context;
}

// What readers see: the sections, or none for a file that could not be read.
const IniSections* readableSections(const char* file)
{
  static const IniSections none;
  const IniFileContext* context = fileContext(resolvePath(file));
  return context->readable ? &context->sections : &none;
}

bool isBlank(char c)
{
  return c == ' ' || c == '\t';
}

// A stored value as it is read: without surrounding blanks and one pair of quotes.
std::string_view shownValue(const char* stored)
{
  std::string_view v(stored);
  while (!v.empty() && isBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && isBlank(v.back())) v.remove_suffix(1);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return v;
}

int copyText(std::string_view text, char* out, int outSize)
{
  const size_t n = std::min(text.size(), static_cast<size_t>(outSize) - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
  return static_cast<int>(n);
}

// Writes NUL-terminated items and the NUL that ends the list, cut to outSize - 2 bytes and
// two NULs when they do not fit. Returns the bytes written before the final NUL.
int writeList(const std::string& items, char* out, int outSize)
{
  const size_t room = static_cast<size_t>(outSize);
  if (items.size() + 1 <= room)
  {
    std::memcpy(out, items.data(), items.size());
    out[items.size()] = 0;
    if (items.empty() && room >= 2) out[1] = 0;
    return static_cast<int>(items.size());
  }
  if (room < 2)
  {
    out[0] = 0;
    return 0;
  }
  const size_t n = room - 2;
  std::memcpy(out, items.data(), n);
  out[n] = out[n + 1] = 0;
  return static_cast<int>(n + 1);
}

// Names as a list: the result counts up to the NUL after the last name.
int writeNames(const std::string& names, char* out, int outSize)
{
  int end = writeList(names, out, outSize);
  while (end > 0 && out[end - 1] == 0) --end;
  return end;
}

template <class VAL>
std::string namesOf(const WDL_StringKeyedArray<VAL>& array)
{
  std::string names;
  for (int i = 0; i < array.GetSize(); ++i)
  {
    const char* name = nullptr;
    array.Enumerate(i, &name);
    if (!*name) continue;
    names += name;
    names += '\0';
  }
  return names;
}

// Names that would be read back as something else are never written: a section "[]" is
// ignored on reading, with its keys. Nor is a name or value holding a control byte (a
// carriage return among them), since a line holding one is not read: see unholdable().
bool writableSection(const char* section)
{
  return *section && !std::strchr(section, ']');
}

bool writableKey(std::string_view key)
{
  return !key.empty() && key.front() != '[' && key.find('=') == std::string_view::npos;
}

int hexDigit(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether the cached record still holds the file on disk, else reads it again (another
// process wrote it since); false, with the problem set, when it cannot be looked at or read.
bool refreshForWriting(const std::string& path, IniFileContext* context, bool* reread, IniProblem* problem)
{
  FileStamp now;
  *reread = false;
  if (swell::statFile(path.c_str(), &now, problem) == FileStatus::failed) return false;
  if (now == context->stamp) return true;
  *reread = true;
  if (fileContext(path)->readable) return true;
  *problem = context->readProblem;
  return false;
}

// What is told of a file's bytes once a write replaced it.
enum class KeptTold
{
  nothing,  // none were to be kept, or a copy told of before holds them
  copy,     // kept under a name not told of before
  noName,   // dropped: every name for them holds other bytes
};

// Holding the writers' lock: keeps aside what the rewrite would lose (*keptAs names where),
// then writes the sections back. False, with the problem set, when either failed.
bool writeBack(const std::string& path, IniFileContext* context, std::string* keptAs, KeptTold* told,
               IniProblem* problem)
{
  *told = KeptTold::nothing;
  std::optional<swell::KeptAside> kept;  // none when nothing is to be kept
  if (context->keepBeforeWrite != FileStatus::present)
  {
    kept = swell::keepAside(path, keptAs, problem);
    if (kept == swell::KeptAside::failed) return false;
  }
  if (!swell::replaceFile(path, swell::formatIniFile(context->sections), context->stamp, problem))
  {
    if (kept == swell::KeptAside::newName)
    {
      // The file is still there, whole: the name it was just given keeps nothing, and would
      // only take a name from the next keep.
      ::unlink(keptAs->c_str());
      // Giving it a name and taking that back moved its change time, which must not make the
      // next write take it for another writer's version and drop the change held for it.
      FileStamp now;
      IniProblem ignored;
      if (swell::statFile(path.c_str(), &now, &ignored) == FileStatus::present &&
          now.sameButChangeTime(context->stamp))
        context->stamp = now;
    }
    return false;
  }
  IniProblem ignored;
  if (swell::statFile(path.c_str(), &context->stamp, &ignored) != FileStatus::present)
    context->stamp = FileStamp::unknown();
  // A name a killed write left was never told: only an earlier copy of the same bytes was.
  if (kept == swell::KeptAside::newName || kept == swell::KeptAside::leftName) *told = KeptTold::copy;
  if (kept == swell::KeptAside::noFreeName) *told = KeptTold::noName;
  return true;
}

// Applies a change to a file: to the cached copy first (nothing more when it changes
// nothing and nothing is unsaved), then, holding the writers' lock, to the file as it is
// on disk now, which is then written back. change(sections) tells whether it changed
// anything. Why a write failed stays with the file's record.
template <class Change>
BOOL changeFile(const char* file, Change change)
{
  WDL_MutexLock lock(&s_iniMutex);
  const std::string path = resolvePath(file);
  IniFileContext* context = fileContext(path);
  if (!context->readable)
  {
    context->writeProblem = context->readProblem;
    return 0;
  }
  // A change that an earlier write failed to save goes out with this one, even when this
  // one changes nothing more.
  if (!change(&context->sections) && !context->unsaved) return 1;

  IniProblem problem;
  std::string keptAs;
  KeptTold told = KeptTold::nothing;
  {
    swell::IniWriterLock writers(path);
    problem = writers.problem();
    bool reread = false;
    if (writers.held() && refreshForWriting(path, context, &reread, &problem))
    {
      // Another process wrote the file since it was read: its version takes the change.
      if (reread && !change(&context->sections)) return 1;
      writeBack(path, context, &keptAs, &told, &problem);
    }
  }
  context->writeProblem = problem;
  context->unsaved = !problem.empty();
  if (!problem.empty()) return 0;
  const bool readAsSettings = context->keepBeforeWrite == FileStatus::moreThanSettings;
  context->keepBeforeWrite = FileStatus::present;
  // Told last, with the record settled and the writers' lock let go: the handler may use the
  // settings functions itself.
  if (told == KeptTold::copy && s_keptHandler) s_keptHandler(path.c_str(), keptAs.c_str(), readAsSettings);
  if (told == KeptTold::noName && s_notKeptHandler)
  {
    const std::string first = swell::keptName(path, 0), last = swell::keptName(path, swell::kKeptNames - 1);
    s_notKeptHandler(path.c_str(), first.c_str(), last.c_str(), swell::kKeptNames, readAsSettings);
  }
  return 1;
}

// A change holding what no line of the file can hold is refused before it is made, and the
// refusal is the file's write problem like any other, so that the caller can tell why.
BOOL refuseUnholdable(const char* file, const std::string& reason)
{
  WDL_MutexLock lock(&s_iniMutex);
  const std::string path = resolvePath(file);
  fileContext(path)->writeProblem = {path, reason};
  return 0;
}

// Why the file cannot hold the section, key or value: a line break or another control byte
// in it; empty when it can. The words quote no name that holds one, so that they stay one line.
std::string unholdable(const char* section, const char* key, std::string_view value)
{
  static const std::string kCannotHold = " holds a line break or control byte, which the file cannot hold";
  if (swell::holdsControlByte(section)) return "a section name" + kCannotHold;
  if (!key) return {};
  if (swell::holdsControlByte(key)) return "a key name in [" + std::string(section) + "]" + kCannotHold;
  if (swell::holdsControlByte(value))
    return "the value of \"" + std::string(key) + "\" in [" + std::string(section) + "]" + kCannotHold;
  return {};
}

IniSection* sectionToWrite(IniSections* sections, const char* name)
{
  if (IniSection* section = sections->Get(name)) return section;
  IniSection* section = swell::newIniSection();
  if (sections->Insert(name, section) < 0)
  {
    swell::disposeIniSection(section);
    return nullptr;
  }
  return section;
}

bool sameContent(const IniSection& a, const IniSection& b)
{
  if (a.GetSize() != b.GetSize()) return false;
  for (int i = 0; i < a.GetSize(); ++i)
  {
    const char* keyA = nullptr;
    const char* keyB = nullptr;
    const char* valueA = a.Enumerate(i, &keyA);
    const char* valueB = b.Enumerate(i, &keyB);
    if (std::strcmp(keyA, keyB) != 0 || std::strcmp(valueA, valueB) != 0) return false;
  }
  return true;
}
}  // namespace

void SWELL_SetIniKeptHandler(SWELL_IniKeptHandler handler)
{
  WDL_MutexLock lock(&s_iniMutex);
  s_keptHandler = handler;
}

void SWELL_SetIniNotKeptHandler(SWELL_IniNotKeptHandler handler)
{
  WDL_MutexLock lock(&s_iniMutex);
  s_notKeptHandler = handler;
}

bool SWELL_GetIniProblem(const char* file, bool writing, std::string* failedPath, std::string* reason)
{
  WDL_MutexLock lock(&s_iniMutex);
  const std::string path = resolvePath(file);
  for (const IniFileContext& c : s_cache)
  {
    if (!c.used || c.path != path) continue;
    const IniProblem& problem = writing ? c.writeProblem : c.readProblem;
    if (problem.empty()) return false;
    if (failedPath) *failedPath = problem.path;
    if (reason) *reason = problem.reason;
    return true;
  }
  return false;
}

int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                            int outSize, const char* file)
{
  if (!out || outSize < 1) return 0;
  WDL_MutexLock lock(&s_iniMutex);
  const IniSections* sections = readableSections(file);
  if (!section) return writeNames(namesOf(*sections), out, outSize);

  const IniSection* found = sections->Get(section);
  if (!key) return writeNames(found ? namesOf(*found) : std::string(), out, outSize);
  if (const char* value = found ? found->Get(key) : nullptr) return copyText(shownValue(value), out, outSize);
  return copyText(defaultValue ? defaultValue : "", out, outSize);
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file)
{
  if (!section || !key) return defaultValue;
  char text[512];
  GetPrivateProfileString(section, key, "", text, sizeof text, file);
  if (!text[0]) return defaultValue;
  const long value = std::clamp<long>(std::strtol(text, nullptr, 10), INT_MIN, INT_MAX);
  if (value == 0 && text[0] != '0') return defaultValue;
  return static_cast<int>(value);
}

BOOL GetPrivateProfileStruct(const char* section, const char* key, void* out, int size, const char* file)
{
  if (!section || !key || !out || size < 0) return 0;
  const size_t digits = (static_cast<size_t>(size) + 1) * 2;
  if (digits > swell::kMaxIniLineBytes) return 0;

  WDL_MutexLock lock(&s_iniMutex);
  const IniSection* found = readableSections(file)->Get(section);
  const char* stored = found ? found->Get(key) : nullptr;
  const std::string_view text = stored ? shownValue(stored) : std::string_view();
  if (text.size() != digits) return 0;

  auto* bytes = static_cast<unsigned char*>(out);
  unsigned sum = 0;
  for (size_t i = 0; i < digits / 2; ++i)
  {
    const int high = hexDigit(text[2 * i]), low = hexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return 0;
    const unsigned byte = static_cast<unsigned>(high << 4 | low);
    if (i == static_cast<size_t>(size)) return (sum & 0xFF) == byte;
    bytes[i] = static_cast<unsigned char>(byte);
    sum += byte;
  }
  return 0;
}

int GetPrivateProfileSection(const char* section, char* out, int outSize, const char* file)
{
  if (!section || !out || outSize < 1) return 0;
  WDL_MutexLock lock(&s_iniMutex);
  const IniSection* found = readableSections(file)->Get(section);
  if (!found) return writeList(std::string(), out, outSize);
  std::string pairs;
  for (int i = 0; i < found->GetSize(); ++i)
  {
    const char* key = nullptr;
    const char* value = found->Enumerate(i, &key);
    if (!*key) continue;
    pairs += key;
    pairs += '=';
    pairs += shownValue(value);
    pairs += '\0';
  }
  return writeList(pairs, out, outSize);
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file)
{
  if (!section || !writableSection(section) || (key && !writableKey(key))) return 0;
  const std::string refusal = unholdable(section, key, value ? value : "");
  if (!refusal.empty()) return refuseUnholdable(file, refusal);

  return changeFile(file, [&](IniSections* sections) {
    if (!key)
    {
      if (!sections->Exists(section)) return false;
      sections->Delete(section);
      return true;
    }
    IniSection* found = sections->Get(section);
    const char* old = found ? found->Get(key) : nullptr;
    if (!value)
    {
      if (!old) return false;
      found->Delete(key);
      return true;
    }
    if (old && std::strcmp(old, value) == 0) return false;
    IniSection* target = sectionToWrite(sections, section);
    char* copy = target ? strdup(value) : nullptr;
    if (!copy) return false;
    if (target->Insert(key, copy) < 0) std::free(copy);
    return true;
  });
}

BOOL WritePrivateProfileStruct(const char* section, const char* key, const void* data, int size, const char* file)
{
  if (!key || !data) return WritePrivateProfileString(section, key, nullptr, file);
  if (size < 0 || (static_cast<size_t>(size) + 1) * 2 + std::strlen(key) + 2 > swell::kMaxIniLineBytes) return 0;

  static const char kDigits[] = "0123456789ABCDEF";
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string text;
  text.reserve((static_cast<size_t>(size) + 1) * 2);
  unsigned sum = 0;
  for (int i = 0; i <= size; ++i)
  {
    const unsigned byte = i < size ? bytes[i] : sum & 0xFF;
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
    sum += byte;
  }
  return WritePrivateProfileString(section, key, text.c_str(), file);
}

BOOL WritePrivateProfileSection(const char* section, const char* data, const char* file)
{
  if (!section || !writableSection(section)) return 0;
  std::string refusal = unholdable(section, nullptr, {});
  if (!refusal.empty()) return refuseUnholdable(file, refusal);

  IniSection pairs(false, IniSection::freecharptr);
  for (const char* p = data; p && *p; p += std::strlen(p) + 1)
  {
    const std::string_view text(p, strnlen(p, kMaxSectionPairChars));
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string key(text.substr(0, equals));
    const std::string value(text.substr(equals + 1));
    if (key.empty()) continue;
    if (!writableKey(key)) return 0;
    refusal = unholdable(section, key.c_str(), value);
    if (!refusal.empty()) return refuseUnholdable(file, refusal);
    char* copy = strdup(value.c_str());
    if (!copy || pairs.Insert(key.c_str(), copy) < 0)
    {
      std::free(copy);
      return 0;
    }
  }

  return changeFile(file, [&](IniSections* sections) {
    IniSection* found = sections->Get(section);
    if (!found && pairs.GetSize() == 0) return false;
    if (found && sameContent(*found, pairs)) return false;
    IniSection* target = sectionToWrite(sections, section);
    if (!target) return false;
    target->DeleteAll();
    for (int i = 0; i < pairs.GetSize(); ++i)
    {
      const char* key = nullptr;
      const char* value = pairs.Enumerate(i, &key);
      char* copy = strdup(value);
      if (copy && target->Insert(key, copy) < 0) std::free(copy);
    }
    return true;
  });
}
