// What reading settings costs, counted rather than timed so that a busy machine cannot
// decide: the disk's part by standing in front of the C library's stat and open for the
// files of the test's folder, the work's part by counting the string comparisons and the
// bytes moved in memory (the linker sends this program's calls of strcasecmp and memmove
// through the wrappers below).
#include "ini_fixture.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace
{
std::string g_watched;  // the folder whose files are counted
int g_stats = 0;
int g_opens = 0;

bool watched(const char* path)
{
  return !g_watched.empty() && path && std::strncmp(path, g_watched.c_str(), g_watched.size()) == 0;
}

using Cost = std::pair<int, int>;  // stat calls, open calls

template <class Action>
Cost costOf(Action action)
{
  g_stats = g_opens = 0;
  action();
  return {g_stats, g_opens};
}
}  // namespace

extern "C"
{
void* __real_memmove(void* to, const void* from, size_t size);
int __real_strcasecmp(const char* a, const char* b);
}

namespace
{
long long g_movedBytes = 0;
long long g_comparisons = 0;

struct Work
{
  long long comparisons;
  long long movedBytes;
};

template <class Action>
Work workOf(Action action)
{
  g_movedBytes = g_comparisons = 0;
  action();
  return {g_comparisons, g_movedBytes};
}
}  // namespace

extern "C" void* __wrap_memmove(void* to, const void* from, size_t size)
{
  g_movedBytes += static_cast<long long>(size);
  return __real_memmove(to, from, size);
}

extern "C" int __wrap_strcasecmp(const char* a, const char* b)
{
  ++g_comparisons;
  return __real_strcasecmp(a, b);
}

extern "C" int stat(const char* path, struct stat* st)
{
  static const auto real = reinterpret_cast<int (*)(const char*, struct stat*)>(dlsym(RTLD_NEXT, "stat"));
  if (watched(path)) ++g_stats;
  return real(path, st);
}

extern "C" int open(const char* path, int flags, ...)
{
  static const auto real = reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE))
  {
    va_list args;
    va_start(args, flags);
    mode = static_cast<mode_t>(va_arg(args, int));
    va_end(args);
  }
  if (watched(path)) ++g_opens;
  return real(path, flags, mode);
}

struct IniCost : IniFixture
{
  void SetUp() override
  {
    IniFixture::SetUp();
    g_watched = dir + "/";
  }
  void TearDown() override
  {
    g_watched.clear();
    IniFixture::TearDown();
  }
};

TEST_F(IniCost, ACachedReadCostsOneStat)
{
  const std::string file = path("cost.ini");
  put(file, "[s]\nk=v\nj=w\n");
  EXPECT_EQ(costOf([&] { read(file, "s", "k"); }), (Cost{1, 1}));  // first read parses the file
  EXPECT_EQ(costOf([&] { read(file, "s", "k"); }), (Cost{1, 0}));
  EXPECT_EQ(costOf([&] { read(file, "s", "j"); }), (Cost{1, 0}));
  EXPECT_EQ(costOf([&] { GetPrivateProfileInt("s", "k", 0, file.c_str()); }), (Cost{1, 0}));
  EXPECT_EQ(costOf([&] { WritePrivateProfileString("s", "k", "v", file.c_str()); }), (Cost{1, 0}));
  put(file, "[s]\nk=changed\n");
  EXPECT_EQ(costOf([&] { read(file, "s", "k"); }), (Cost{1, 1}));
}

TEST_F(IniCost, TheThirtyThirdFileRecyclesTheLeastRecentlyUsed)
{
  const auto file = [&](int i) { return path("f" + std::to_string(i) + ".ini"); };
  for (int i = 0; i < 33; ++i)
  {
    put(file(i), "[s]\nk=" + std::to_string(i) + "\n");
    EXPECT_EQ(read(file(i), "s", "k"), std::to_string(i));
  }
  // File 0 made room for file 32; reading it again recycles file 1, which was used least
  // recently then. File 2 stays cached.
  EXPECT_EQ(costOf([&] { read(file(32), "s", "k"); }).second, 0);
  EXPECT_EQ(costOf([&] { read(file(0), "s", "k"); }).second, 1);
  EXPECT_EQ(costOf([&] { read(file(2), "s", "k"); }).second, 0);
  EXPECT_EQ(costOf([&] { EXPECT_EQ(read(file(1), "s", "k"), "1"); }).second, 1);
}

TEST_F(IniCost, ReadingCostsTheSameWhateverTheOrderOfTheSections)
{
  // Sections named so that their order in the file is either the sorted one or its reverse;
  // keeping a sorted array by inserting each would move the whole array for every section
  // of the reverse.
  constexpr int kSections = 80000;
  const auto name = [](int i) {
    char text[16];
    std::snprintf(text, sizeof text, "s%06d", i);
    return std::string(text);
  };
  std::string rising, falling;
  for (int i = 0; i < kSections; ++i)
  {
    rising += "[" + name(i) + "]\nk=" + std::to_string(i) + "\n";
    falling += "[" + name(kSections - 1 - i) + "]\nk=" + std::to_string(kSections - 1 - i) + "\n";
  }
  // A repeated section still replaces the earlier one, and keeps its first spelling.
  falling += "[S000007]\nj=late\n";
  const std::string risingFile = path("rising.ini"), fallingFile = path("falling.ini");
  put(risingFile, rising);
  put(fallingFile, falling);

  const Work risingWork = workOf([&] { EXPECT_EQ(read(risingFile, "s000000", "k"), "0"); });
  const Work fallingWork = workOf([&] { EXPECT_EQ(read(fallingFile, "s000000", "k"), "0"); });
  // Sorting costs some n log n comparisons whichever the order; a move of the array per
  // section would be some n * n / 2 of its 16-byte entries.
  const double nLogN = kSections * std::log2(kSections);
  for (const Work& work : {risingWork, fallingWork})
  {
    EXPECT_GT(work.comparisons, kSections / 2);
    EXPECT_LT(work.comparisons, 4 * nLogN);
    EXPECT_LT(work.movedBytes, 16 * nLogN);
  }
  EXPECT_LT(fallingWork.comparisons, 2 * risingWork.comparisons + 1000);
  EXPECT_LT(fallingWork.movedBytes, 2 * risingWork.movedBytes + 16 * kSections);
  // The counting sees the library's moves: a section put in front of all the others moves them.
  EXPECT_GE(workOf([&] { WritePrivateProfileString("a", "k", "v", risingFile.c_str()); }).movedBytes, 16 * kSections);

  EXPECT_EQ(read(fallingFile, "s000007", "k"), "<default>");
  EXPECT_EQ(read(fallingFile, "s000007", "j"), "late");
  EXPECT_EQ(read(fallingFile, name(kSections - 1).c_str(), "k"), std::to_string(kSections - 1));
  ASSERT_TRUE(WritePrivateProfileString("s000007", "j", "written", fallingFile.c_str()));
  const std::string written = contents(fallingFile);
  EXPECT_NE(written.find("[s000006]\nk=6\n\n[s000007]\nj=written\n\n[s000008]\n"), std::string::npos);
  EXPECT_EQ(written.find("[S000007]"), std::string::npos);
  EXPECT_LT(written.find("[" + name(1) + "]"), written.find("[" + name(2) + "]"));
}
