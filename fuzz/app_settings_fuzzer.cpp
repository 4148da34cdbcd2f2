// settings.ini text from outside, read by the application as it starts (LoadSettings: the
// defaults, every key of [audio] and [midi] over them, and the file written back). Besides
// not crashing: the record holds what the settings allow (each text field ends within its
// 100 bytes; the driver is one this build has; sr a whole number from 8000 to 384000, iovs
// and sigvs from 1 to 8192, in plain digits; the device channels from 1; inchan and outchan
// from 0 to 16), and the file the start wrote, read by the next start, gives the same record.
#include "app_main.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>


namespace
{
// A broken invariant: the line that found it, then the crash libFuzzer keeps the input of.
[[noreturn]] void Fail(int line)
{
  std::fprintf(stderr, "%s:%d: invariant broken\n", __FILE__, line);
  __builtin_trap();
}
}  // namespace

namespace
{
std::string g_root;
unsigned g_serial = 0;

void removeRoot()
{
  std::error_code ignored;
  std::filesystem::remove_all(g_root, ignored);
}

// A settings folder of its own for each start: a file rewritten at the same size within one
// tick of the file clock could look unchanged to the reader's cache.
std::string freshConfigHome()
{
  const std::string home = g_root + "/" + std::to_string(g_serial++);
  if (mkdir(home.c_str(), 0700) != 0 || mkdir((home + "/Vorna").c_str(), 0700) != 0) Fail(__LINE__);
  return home;
}

bool writeFile(const std::string& path, const void* data, size_t size)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

std::string readFile(const std::string& path)
{
  std::string text;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) Fail(__LINE__);
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  std::fclose(f);
  return text;
}

// Starts as the application does, with settings.ini holding the text.
void start(const std::string& text)
{
  const std::string home = freshConfigHome();
  if (!writeFile(home + "/Vorna/settings.ini", text.data(), text.size())) Fail(__LINE__);
  if (setenv("XDG_CONFIG_HOME", home.c_str(), 1) != 0) Fail(__LINE__);
  if (!LoadSettings()) Fail(__LINE__);
}

void ends(const char (&field)[kNameSize])
{
  if (strnlen(field, kNameSize) == kNameSize) Fail(__LINE__);
}

// Plain digits of a whole number in the range: no sign, no leading zero, nothing after.
void wholeNumber(const char (&field)[kNameSize], long low, long high)
{
  ends(field);
  if (field[0] < '1' || field[0] > '9') Fail(__LINE__);
  long value = 0;
  for (const char* c = field; *c; ++c)
  {
    if (*c < '0' || *c > '9') Fail(__LINE__);
    value = value * 10 + (*c - '0');
    if (value > high) Fail(__LINE__);
  }
  if (value < low) Fail(__LINE__);
}

void check(const AppState& s)
{
  for (const auto* field : {&s.inDev, &s.outDev, &s.midiInDev, &s.midiOutDev}) ends(*field);
  if (s.driver > 2 || !IsAudioDriverCompiled(s.driver)) Fail(__LINE__);
  wholeNumber(s.sr, 8000, 384000);
  wholeNumber(s.iovs, 1, 8192);
  wholeNumber(s.sigvs, 1, 8192);
  for (uint16_t channel : {s.inChanL, s.inChanR, s.outChanL, s.outChanR})
    if (channel < 1) Fail(__LINE__);
  if (s.midiInChan > 16 || s.midiOutChan > 16) Fail(__LINE__);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  // In memory where there is such a folder: every write syncs its file.
  char inMemory[] = "/dev/shm/vorna-settings-fuzz-XXXXXX";
  char onDisk[] = "/tmp/vorna-settings-fuzz-XXXXXX";
  const char* folder = mkdtemp(inMemory);
  if (!folder) folder = mkdtemp(onDisk);
  if (!folder) Fail(__LINE__);
  g_root = folder;
  std::atexit(removeRoot);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const unsigned first = g_serial;
  start(std::string(reinterpret_cast<const char*>(data), size));
  check(gState);
  const AppState read = gState;
  const std::string written = readFile(std::string(gINIPath));

  // The next start reads the file this one wrote, from a folder of its own.
  start(written);
  if (std::memcmp(&read, &gState, sizeof(AppState)) != 0) Fail(__LINE__);
  // What it wrote in turn is the same file.
  if (readFile(std::string(gINIPath)) != written) Fail(__LINE__);

  std::error_code ignored;
  for (unsigned n = first; n < g_serial; ++n) std::filesystem::remove_all(g_root + "/" + std::to_string(n), ignored);
  return 0;
}
