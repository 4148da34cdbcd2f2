#include "swell-ini.h"

#include <sanitizer/allocator_interface.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// Settings-file bytes from outside, read every way and then written. Besides not crashing:
// what the parsed file holds in memory and the file written back stay within a small
// multiple of the input, the written key reads back, the written file is a fixed point
// (read and written again it gives the same bytes, keeping nothing aside), and an input
// holding bytes that a rewrite drops (a control byte, for one) is kept aside whole first.
namespace
{
// Memory per input byte that a parsed file may hold, and the allowance for small inputs.
constexpr size_t kMemoryFactor = 48;
constexpr size_t kMemoryAllowance = 256 * 1024;

std::string g_dir;
unsigned g_serial = 0;

void removeFolder()
{
  const std::string command = "rm -rf '" + g_dir + "'";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", g_dir.c_str());
}

// Each input gets a file of its own: a path reused at the same size within one tick of the
// file clock could look unchanged.
std::string freshPath()
{
  if (g_dir.empty())
  {
    // In memory where there is such a folder: every write syncs its file.
    char inMemory[] = "/dev/shm/vorna-ini-fuzz-XXXXXX";
    char onDisk[] = "/tmp/vorna-ini-fuzz-XXXXXX";
    const char* folder = mkdtemp(inMemory);
    if (!folder) folder = mkdtemp(onDisk);
    if (!folder) __builtin_trap();
    g_dir = folder;
    std::atexit(removeFolder);
  }
  return g_dir + "/f" + std::to_string(g_serial++) + ".ini";
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
  if (!f) __builtin_trap();
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  std::fclose(f);
  return text;
}

std::vector<std::string> splitList(const char* list)
{
  std::vector<std::string> items;
  for (const char* p = list; *p; p += std::strlen(p) + 1) items.emplace_back(p);
  return items;
}

bool exists(const std::string& path)
{
  return access(path.c_str(), F_OK) == 0;
}

bool hasControlByte(const uint8_t* data, size_t size)
{
  for (size_t i = 0; i < size; ++i)
    if ((data[i] < 0x20 && data[i] != '\t' && data[i] != '\r' && data[i] != '\n') || data[i] == 0x7F) return true;
  return false;
}

void removeFiles(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  unlink(path.c_str());
  unlink((path + ".unreadable").c_str());
  unlink((path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".lock").c_str());
}

// Reads everything the file offers, a bounded number of times.
void readAll(const char* file)
{
  static char list[1 << 16];
  static char value[1 << 12];
  GetPrivateProfileString(nullptr, nullptr, nullptr, list, sizeof list, file);
  int sections = 0;
  for (const std::string& section : splitList(list))
  {
    if (++sections > 32) break;
    static char keys[1 << 16];
    GetPrivateProfileString(section.c_str(), nullptr, nullptr, keys, sizeof keys, file);
    GetPrivateProfileSection(section.c_str(), value, 7, file);
    GetPrivateProfileSection(section.c_str(), list, sizeof list, file);
    int count = 0;
    for (const std::string& key : splitList(keys))
    {
      if (++count > 32) break;
      const int len = GetPrivateProfileString(section.c_str(), key.c_str(), "", value, sizeof value, file);
      if (len < 0 || len >= static_cast<int>(sizeof value) || value[len] != 0) __builtin_trap();
      GetPrivateProfileInt(section.c_str(), key.c_str(), 0, file);
      unsigned char record[256];
      const int recordSize = len / 2 - 1;
      if (recordSize >= 0 && recordSize <= static_cast<int>(sizeof record))
        GetPrivateProfileStruct(section.c_str(), key.c_str(), record, recordSize, file);
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string path = freshPath();
  if (!writeFile(path, data, size)) __builtin_trap();

  const size_t heldBefore = __sanitizer_get_current_allocated_bytes();
  readAll(path.c_str());
  if (__sanitizer_get_current_allocated_bytes() > heldBefore + kMemoryFactor * size + kMemoryAllowance)
    __builtin_trap();

  if (!WritePrivateProfileString("fuzz", "written", "value", path.c_str())) __builtin_trap();
  char back[16];
  GetPrivateProfileString("fuzz", "written", "", back, sizeof back, path.c_str());
  if (std::strcmp(back, "value") != 0) __builtin_trap();
  const std::string written = readFile(path);
  if (written.size() > 2 * size + 64) __builtin_trap();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string kept = path + ".unreadable";
  if (exists(kept) && readFile(kept) != input) __builtin_trap();
  if (written != input && hasControlByte(data, size) && !exists(kept)) __builtin_trap();

  removeFiles(path);
  // The written text parsed afresh and written again is the same text. (An input that held
  // the written key already was not written.)
  if (written == input) return 0;
  const std::string again = freshPath();
  if (!writeFile(again, written.data(), written.size())) __builtin_trap();
  if (!WritePrivateProfileString("fuzz", "zz", "1", again.c_str())) __builtin_trap();
  if (!WritePrivateProfileString("fuzz", "zz", nullptr, again.c_str())) __builtin_trap();
  if (readFile(again) != written || exists(again + ".unreadable")) __builtin_trap();
  removeFiles(again);
  return 0;
}
