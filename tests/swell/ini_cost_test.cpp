// What reading settings costs the disk, counted by standing in front of the C library's
// stat and open for the files of the test's folder.
#include "ini_fixture.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdarg>
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
