#include "ini_fixture.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using IniDisk = IniFixture;

TEST_F(IniDisk, FailuresReturnZeroAndLeaveTheDiskAsItWas)
{
  const std::string inMissingFolder = path("missing/s.ini");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", inMissingFolder.c_str()));
  EXPECT_FALSE(fs::exists(path("missing")));
  EXPECT_EQ(read(inMissingFolder, "s", "k"), "v");  // kept in memory for the next write

  const std::string folder = path("folder.ini");
  fs::create_directory(folder);
  EXPECT_EQ(read(folder, "s", "k"), "<default>");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", folder.c_str()));
  EXPECT_TRUE(fs::is_directory(folder));

  // A file that is there but cannot be read is not replaced by one holding only the
  // change, even when an earlier version of it is cached. A symbolic link to itself
  // cannot be read even by root.
  const std::string file = path("s.ini");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("s", "j", "w", file.c_str()));
  fs::rename(file, path("saved"));
  fs::create_symlink("s.ini", file);
  EXPECT_EQ(read(file, "s", "k"), "<default>");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "changed", file.c_str()));
  EXPECT_TRUE(fs::is_symlink(file));
  fs::remove(file);
  fs::rename(path("saved"), file);
  EXPECT_EQ(read(file, "s", "k"), "v");
  if (geteuid() != 0)
  {
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(read(file, "s", "k"), "<default>");
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "changed", file.c_str()));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_EQ(contents(file), "[s]\nj=w\nk=v\n\n");

  // A write that runs out of room: the file stays as it was, the change stays in memory
  // and goes out with the next write that succeeds.
  const std::string big(200, 'b');
  const pid_t child = fork();
  if (child == 0)
  {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{64, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const bool refused = !WritePrivateProfileString("s", "big", big.c_str(), file.c_str());
    const bool unchanged = contents(file) == "[s]\nj=w\nk=v\n\n";
    const bool kept = read(file, "s", "big") == big;
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(refused && unchanged && kept && WritePrivateProfileString("s", "k", "v2", file.c_str()) ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(contents(file), "[s]\nbig=" + big + "\nj=w\nk=v2\n\n");
  for (const std::string& name : names()) EXPECT_EQ(name.find(".new."), std::string::npos) << name;
}

TEST_F(IniDisk, NewFilesFollowTheUmaskAndOldOnesKeepTheirMode)
{
  const mode_t saved = umask(027);
  const std::string file = path("mode.ini");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", file.c_str()));
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  chmod(file.c_str(), 0604);
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "w", file.c_str()));
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  umask(saved);
}

TEST_F(IniDisk, ALinkAtThePathIsReplacedAndTheFileItNamedIsLeftAlone)
{
  fs::create_directory(path("elsewhere"));
  const std::string target = path("elsewhere/system.conf");
  const std::string link = path("settings.ini");
  const std::string original = "[s]\nold=1\nroot:x:0:0\n";
  put(target, original);
  fs::create_symlink(target, link);
  EXPECT_EQ(read(link, "s", "old"), "1");  // read through the link
  ASSERT_TRUE(WritePrivateProfileString("s", "new", "2", link.c_str()));
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_regular_file(link));
  EXPECT_EQ(contents(link), "[s]\nnew=2\nold=1\n\n");
  EXPECT_EQ(contents(target), original);
  EXPECT_EQ(names(), (std::set<std::string>{"elsewhere", "settings.ini", ".settings.ini.lock"}));
}

TEST_F(IniDisk, WhatKilledWritesLeftIsReusedOrRemovedAndNothingElse)
{
  const std::string file = path("settings.ini");
  put(file, "[s]\nk=1\n");
  // A write killed half-way, one from before the temporary file had a fixed name, and a
  // leftover that is a link: none of them stops the next write or is written through.
  put(path(".settings.ini.new"), "[s]\nk=half");
  put(path(".settings.ini.new.a1B2c3"), std::string(4096, 'x'));
  put(path("victim"), "precious");
  put(path("notes.txt"), "mine");
  put(path(".settings.ini.new.toolong7"), "not ours");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", file.c_str()));
  EXPECT_EQ(contents(file), "[s]\nk=2\n\n");
  EXPECT_EQ(names(), (std::set<std::string>{"settings.ini", ".settings.ini.lock", "victim", "notes.txt",
                                            ".settings.ini.new.toolong7"}));

  fs::create_symlink(path("victim"), path(".settings.ini.new"));
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "3", file.c_str()));
  EXPECT_EQ(contents(file), "[s]\nk=3\n\n");
  EXPECT_EQ(contents(path("victim")), "precious");
  EXPECT_FALSE(fs::exists(path(".settings.ini.new")));
}

TEST_F(IniDisk, AFileThatIsNotSettingsTextIsKeptBesideTheNewOne)
{
  static std::vector<std::pair<std::string, std::string>> told;
  told.clear();
  SWELL_SetIniKeptHandler([](const char* file, const char* keptAs) { told.emplace_back(file, keptAs); });

  const char header[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
  std::string binary(header, sizeof header - 1);
  for (int b = 0; b < 256; ++b) binary += static_cast<char>(b);
  const char wide[] = "\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0\n\0";
  const std::string utf16(wide, sizeof wide - 1);
  const std::string blankFirst = std::string(0x40001, '\n') + "[s]\nk=v\n";
  int n = 0;
  for (const std::string& refused : {binary, utf16, blankFirst, std::string("k=v\nno header\n")})
  {
    const std::string file = path("refused" + std::to_string(n++) + ".ini");
    put(file, refused);
    EXPECT_EQ(read(file, "s", "k"), "<default>");
    EXPECT_TRUE(told.empty());  // reading alone changes nothing
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "fresh", file.c_str()));
    EXPECT_EQ(contents(file), "[s]\nk=fresh\n\n");
    EXPECT_EQ(contents(file + ".unreadable"), refused);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], std::make_pair(file, file + ".unreadable"));
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "again", file.c_str()));
    EXPECT_EQ(told.size(), 1u);  // the file is settings now
    told.clear();
  }

  // A later unreadable file replaces the one kept before; files that are settings text,
  // however odd, keep nothing aside.
  const std::string file = path("refused0.ini");
  put(file, "\x01\x02");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "fresh", file.c_str()));
  EXPECT_EQ(contents(file + ".unreadable"), "\x01\x02");
  for (const char* text : {"", "\n\n  \t\r\n", "junk\n[a]\nk=v\n", "[]\n"})
  {
    const std::string plain = path("plain" + std::to_string(n++) + ".ini");
    put(plain, text);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", plain.c_str()));
    EXPECT_FALSE(fs::exists(plain + ".unreadable")) << text;
  }
  EXPECT_EQ(told.size(), 1u);

  // When the bytes cannot be kept (a folder holds the name), the file is not replaced.
  const std::string blocked = path("blocked.ini");
  put(blocked, binary);
  fs::create_directories(blocked + ".unreadable/inside");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", blocked.c_str()));
  EXPECT_EQ(contents(blocked), binary);
  EXPECT_EQ(told.size(), 1u);
  SWELL_SetIniKeptHandler(nullptr);
}

TEST_F(IniDisk, AReaderNeverSeesAPartialFileWhileAnotherProcessWrites)
{
  const std::string file = path("shared.ini");
  for (int k = 0; k < 40; ++k)
    ASSERT_TRUE(WritePrivateProfileString("s", ("k" + std::to_string(k)).c_str(), "initial", file.c_str()));

  const pid_t writer = fork();
  if (writer == 0)
  {
    // For a third of a second, so that the reader gets its turns on a busy machine too.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round)
      if (!WritePrivateProfileString("s", "k0", std::string(1 + round % 97, 'x').c_str(), file.c_str())) _exit(1);
    _exit(0);
  }
  int reads = 0, partial = 0, status = -1;
  while (waitpid(writer, &status, WNOHANG) == 0)
  {
    const std::string text = contents(file);
    if (text.size() < 40 * 11 || text.compare(text.size() - 2, 2, "\n\n") != 0 ||
        text.find("k9=initial\n") == std::string::npos)
      ++partial;
    if (read(file, "s", "k39") != "initial") ++partial;
    ++reads;
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(partial, 0);
  EXPECT_GT(reads, 10);
}

TEST_F(IniDisk, WritersInTwoProcessesLoseNoChange)
{
  const std::string file = path("both.ini");
  ASSERT_TRUE(WritePrivateProfileString("s", "start", "1", file.c_str()));
  pid_t writers[2];
  for (int w = 0; w < 2; ++w)
  {
    writers[w] = fork();
    if (writers[w] == 0)
    {
      for (int k = 0; k < 40; ++k)
        if (!WritePrivateProfileString("s", ("w" + std::to_string(w) + "k" + std::to_string(k)).c_str(), "1",
                                       file.c_str()))
          _exit(1);
      _exit(0);
    }
  }
  for (pid_t writer : writers)
  {
    int status = -1;
    waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  char keys[4096];
  GetPrivateProfileString("s", nullptr, nullptr, keys, sizeof keys, file.c_str());
  int count = 0;
  for (const char* key = keys; *key; key += std::strlen(key) + 1) ++count;
  EXPECT_EQ(count, 81);
}
