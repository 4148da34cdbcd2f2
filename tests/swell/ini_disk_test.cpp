#include "ini_fixture.h"
#include "swell-ini-file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
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
    std::string failedPath, reason;
    const bool told = SWELL_GetIniProblem(file.c_str(), true, &failedPath, &reason) &&
                      failedPath == path(".s.ini.new") && reason == "File too large";
    const bool unchanged = contents(file) == "[s]\nj=w\nk=v\n\n";
    const bool kept = read(file, "s", "big") == big;
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(refused && told && unchanged && kept && WritePrivateProfileString("s", "k", "v2", file.c_str()) ? 0 : 1);
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
  // Its line that is no setting is kept aside, by a second name for the link.
  EXPECT_EQ(contents(link + ".unreadable"), original);
  EXPECT_EQ(names(),
            (std::set<std::string>{"elsewhere", "settings.ini", ".settings.ini.lock", "settings.ini.unreadable"}));
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

namespace
{
struct Kept
{
  std::string file;
  std::string keptAs;
  bool readAsSettings;
  bool operator==(const Kept&) const = default;
};
std::vector<Kept> g_told;
void tellKept(const char* file, const char* keptAs, bool readAsSettings)
{
  g_told.push_back({file, keptAs, readAsSettings});
}
}  // namespace

TEST_F(IniDisk, AFileWhoseRewriteWouldDropAnyOfItsBytesIsKeptBesideTheNewOne)
{
  g_told.clear();
  SWELL_SetIniKeptHandler(tellKept);

  const char header[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
  std::string binary(header, sizeof header - 1);
  for (int b = 0; b < 256; ++b) binary += static_cast<char>(b);
  const char wide[] = "\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0\n\0";
  const char withNul[] = "[a]\nk=v\nj=w\0x\n[b\x01]\nk=1\n";
  const char elf[] = "\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\n[.text]\x90\x90\nk=v\n\0\0\x01\0";
  struct Row
  {
    std::string text;
    bool readAsSettings;
    const char* section;  // a key the reader still finds in it, with its value
    const char* key;
    const char* value;
  };
  const Row rows[] = {
      // Not settings text at all: the reader gives the defaults.
      {binary, false, "s", "k", "<default>"},
      {std::string(wide, sizeof wide - 1), false, "s", "k", "<default>"},
      {std::string(0x40001, '\n') + "[s]\nk=v\n", false, "s", "k", "<default>"},
      {"k=v\nno header\n", false, "s", "k", "<default>"},
      // Read as settings, with more besides: a binary with a line that looks like a header,
      // notes, text after a header, lines of an ignored "[]" section, a key without a name,
      // a control byte, a key and a section given twice.
      {std::string(elf, sizeof elf - 1), true, ".text", "k", "v"},
      {"# My notes\n[audio]\nsr=48000\nSee the manual.\n[link]: https://example.org/manual\nk=v\n", true, "audio",
       "sr", "48000"},
      {"[]\nlost=1\n[a]\nk=v\n", true, "a", "k", "v"},
      {"[a]\n=v\nk=v\n", true, "a", "k", "v"},
      {"[a]\nk=v\nj=\x1b[0m\n", true, "a", "k", "v"},
      {std::string(withNul, sizeof withNul - 1), true, "a", "k", "v"},
      {"[a]\nk=1\nk=v\n", true, "a", "k", "v"},
      {"[a]\nk=1\n[A]\nj=2\nk=v\n", true, "a", "k", "v"},
  };
  int n = 0;
  for (const Row& row : rows)
  {
    const std::string file = path("kept" + std::to_string(n++) + ".ini");
    put(file, row.text);
    EXPECT_EQ(read(file, row.section, row.key), row.value) << n;
    EXPECT_TRUE(g_told.empty());  // reading alone changes nothing
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "fresh", file.c_str()));
    EXPECT_NE(contents(file).find("[s]\nk=fresh\n"), std::string::npos) << n;
    EXPECT_EQ(contents(file + ".unreadable"), row.text) << n;
    EXPECT_EQ(g_told, (std::vector<Kept>{{file, file + ".unreadable", row.readAsSettings}})) << n;
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "again", file.c_str()));
    EXPECT_EQ(g_told.size(), 1u);  // what was written is settings alone
    g_told.clear();
  }

  // Files whose rewrite keeps all they say, however they say it, keep nothing aside.
  for (const char* text : {"", "\n\n  \t\r\n", "[]\n", "\xEF\xBB\xBF[a]\r\n  k = v \t\r\n\n[b]\n[c]\n k=\"\"\n"})
  {
    const std::string plain = path("plain" + std::to_string(n++) + ".ini");
    put(plain, text);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", plain.c_str()));
    EXPECT_FALSE(fs::exists(plain + ".unreadable")) << text;
  }
  EXPECT_TRUE(g_told.empty());

  // A later keep takes the next free numbered name: the earlier ones stay as they were, a
  // folder holding a name included.
  const std::string file = path("kept0.ini");
  fs::create_directory(file + ".unreadable.1");
  for (const char* later : {"\x01\x02", "\x03\x04"})
  {
    put(file, later);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "fresh", file.c_str()));
  }
  EXPECT_EQ(contents(file + ".unreadable"), binary);
  EXPECT_TRUE(fs::is_directory(file + ".unreadable.1"));
  EXPECT_EQ(contents(file + ".unreadable.2"), "\x01\x02");
  EXPECT_EQ(contents(file + ".unreadable.3"), "\x03\x04");
  EXPECT_EQ(g_told.back().keptAs, file + ".unreadable.3");

  // A handler may write to the file it is told of.
  SWELL_SetIniKeptHandler([](const char* written, const char*, bool) {
    WritePrivateProfileString("told", "k", "1", written);
  });
  put(file, "\x05");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "fresh", file.c_str()));
  EXPECT_EQ(contents(file), "[s]\nk=fresh\n\n[told]\nk=1\n\n");
  SWELL_SetIniKeptHandler(nullptr);
}

namespace
{
// What the handlers heard, with names beside the test's folder.
std::vector<std::string> g_keeps;
std::string nameOf(const char* path)
{
  return fs::path(path).filename().string();
}

// A filesystem that gives no file a second name, such as vfat (EPERM), exFAT or a network
// mount: the refusal comes whether or not the new name is free. 0 lets link() through.
int g_linkRefusedWith = 0;
int linkUnlessRefused(const char* existing, const char* newName)
{
  if (g_linkRefusedWith == 0) return ::link(existing, newName);
  errno = g_linkRefusedWith;
  return -1;
}
struct RefuseLinks
{
  explicit RefuseLinks(int error)
  {
    g_linkRefusedWith = error;
    swell::g_linkForKeeping = linkUnlessRefused;
  }
  ~RefuseLinks()
  {
    g_linkRefusedWith = 0;
    swell::g_linkForKeeping = ::link;
  }
};
}  // namespace

TEST_F(IniDisk, OneContentTakesOneKeptNameAndAWriteGoesOnWhenNoneIsLeft)
{
  SWELL_SetIniKeptHandler([](const char*, const char* keptAs, bool settings) {
    g_keeps.push_back(nameOf(keptAs) + (settings ? " settings" : ""));
  });
  SWELL_SetIniNotKeptHandler([](const char*, const char* first, const char* last, int names, bool settings) {
    g_keeps.push_back("none of " + std::to_string(names) + ": " + nameOf(first) + " to " + nameOf(last) +
                      (settings ? " settings" : ""));
  });
  const std::string notes = "[s]\nk=1\n# a note\n", binary = "\x01\x02\x03";
  const auto keptNames = [this](const std::string& name) {
    std::map<std::string, std::string> found;
    for (const std::string& kept : names())
      if (kept.rfind(name + ".unreadable", 0) == 0) found[kept] = contents(path(kept));
    return found;
  };
  struct Row
  {
    std::string name, text;
    std::function<void(const std::string& file)> before;  // what earlier keeps left beside the file
    const char* newName;  // the name the bytes take, when none holds them yet
    std::vector<std::string> told;
    int linkRefusedWith = 0;  // the folder's filesystem refuses second names, saying this
  };
  const Row rows[] = {
      {"fresh.ini", notes, [](const std::string&) {}, ".unreadable", {"fresh.ini.unreadable settings"}},
      // Killed between its link and its rename, after a copy of other bytes: never told.
      {"killed.ini", notes,
       [](const std::string& file) {
         put(file + ".unreadable", "[s]\nolder=1\n;\n");
         fs::create_hard_link(file, file + ".unreadable.1");
       },
       nullptr, {"killed.ini.unreadable.1 settings"}},
      // The same bytes, copied some other way than by a link, and told when they were.
      {"copied.ini", binary, [&](const std::string& file) { put(file + ".unreadable", binary); }, nullptr, {}},
      // Every name held by other bytes, one by a folder.
      {"full.ini", binary,
       [](const std::string& file) {
         fs::create_directory(file + ".unreadable");
         for (int n = 1; n <= 99; ++n) put(file + ".unreadable." + std::to_string(n), "other " + std::to_string(n));
       },
       nullptr, {"none of 100: full.ini.unreadable to full.ini.unreadable.99"}},
      // No second names: the bytes are copied, into the first free name, and a copy made
      // before is found by its bytes.
      {"vfat.ini", notes, [](const std::string&) {}, ".unreadable", {"vfat.ini.unreadable settings"}, EPERM},
      {"exfat.ini", binary, [](const std::string& file) { put(file + ".unreadable", "[s]\nolder=1\n;\n"); },
       ".unreadable.1", {"exfat.ini.unreadable.1"}, EOPNOTSUPP},
      {"mounted.ini", notes, [&](const std::string& file) { put(file + ".unreadable", notes); }, nullptr, {}, EXDEV},
  };
  for (const Row& row : rows)
  {
    const std::string file = path(row.name), temporary = path("." + row.name + ".new");
    put(file, row.text);
    row.before(file);
    const RefuseLinks links(row.linkRefusedWith);
    std::map<std::string, std::string> kept = keptNames(row.name);
    // Writes that fail take no name, change nothing and tell nothing.
    fs::create_directory(temporary);
    for (int attempt = 0; attempt < 5; ++attempt)
      EXPECT_FALSE(WritePrivateProfileString("s", "k", std::to_string(attempt).c_str(), file.c_str())) << row.name;
    EXPECT_EQ(keptNames(row.name), kept) << row.name;
    EXPECT_EQ(contents(file), row.text) << row.name;
    EXPECT_TRUE(g_keeps.empty()) << row.name;

    fs::remove(temporary);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "fresh", file.c_str())) << row.name;
    ASSERT_TRUE(WritePrivateProfileString("s", "j", "again", file.c_str())) << row.name;
    EXPECT_EQ(contents(file), "[s]\nj=again\nk=fresh\n\n") << row.name;
    EXPECT_EQ(g_keeps, row.told) << row.name;
    g_keeps.clear();
    if (row.newName) kept[row.name + row.newName] = row.text;
    EXPECT_EQ(keptNames(row.name), kept) << row.name;
    if (row.linkRefusedWith != 0 && row.newName)
    {
      // A file of its own, as private as the file was.
      struct stat copy, now;
      ASSERT_EQ(stat(path(row.name + row.newName).c_str(), &copy), 0) << row.name;
      ASSERT_EQ(stat(file.c_str(), &now), 0) << row.name;
      EXPECT_EQ(copy.st_nlink, 1u) << row.name;
      EXPECT_EQ(copy.st_mode & 0777, now.st_mode & 0777) << row.name;
    }
  }
  SWELL_SetIniKeptHandler(nullptr);
  SWELL_SetIniNotKeptHandler(nullptr);
}

TEST_F(IniDisk, WhereLinksAreRefusedACopyThatFailsIsRemovedAndTheWriteRefused)
{
  const std::string file = path("big.ini"), copy = file + ".unreadable";
  const std::string text = "[s]\nk=v\n# " + std::string(1500, 'n') + "\n";
  put(file, text);
  const pid_t child = fork();
  if (child == 0)
  {
    const RefuseLinks links(EPERM);
    // Room for the settings, not for a copy of the notes.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{1024, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const bool refused = !WritePrivateProfileString("s", "k", "w", file.c_str());
    std::string failedPath, reason;
    const bool told = SWELL_GetIniProblem(file.c_str(), true, &failedPath, &reason) && failedPath == copy &&
                      reason == "File too large";
    const bool nothingLeft = !fs::exists(copy) && contents(file) == text;
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool thenWritten = WritePrivateProfileString("s", "j", "x", file.c_str());
    _exit((refused ? 0 : 1) | (told ? 0 : 2) | (nothingLeft ? 0 : 4) | (thenWritten ? 0 : 8));
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "the write was not refused";
  EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "the problem does not name the copy and its reason";
  EXPECT_EQ(WEXITSTATUS(status) & 4, 0) << "a part of the copy is left, or the file changed";
  EXPECT_EQ(WEXITSTATUS(status) & 8, 0) << "the next write, with room, failed";
  EXPECT_EQ(contents(copy), text);
  EXPECT_EQ(contents(file), "[s]\nj=x\nk=w\n\n");
}

TEST_F(IniDisk, WhyAFileWasNotReadOrNotWrittenIsToldAndNothingElseChanges)
{
  const auto problem = [](const std::string& file, bool writing) {
    std::string failedPath, reason;
    if (!SWELL_GetIniProblem(file.c_str(), writing, &failedPath, &reason)) return std::string("none");
    return failedPath + ": " + reason;
  };
  // Not read: each gives the defaults, refuses the write and leaves the thing there as it was.
  const std::string folder = path("folder.ini"), fifo = path("fifo.ini"), loop = path("loop.ini"),
                    zero = path("zero.ini"), closed = path("closed.ini");
  fs::create_directory(folder);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("loop.ini", loop);
  fs::create_symlink("/dev/zero", zero);
  put(closed, "[s]\nk=v\n");
  chmod(closed.c_str(), 0);
  std::vector<std::pair<std::string, std::string>> unreadable = {{folder, "Is a directory"},
                                                                 {fifo, "not a regular file"},
                                                                 {loop, "Too many levels of symbolic links"},
                                                                 {zero, "not a regular file"}};
  if (geteuid() != 0) unreadable.emplace_back(closed, "Permission denied");
  for (const auto& [file, reason] : unreadable)
  {
    EXPECT_EQ(read(file, "s", "k"), "<default>");
    EXPECT_EQ(problem(file, false), file + ": " + reason);
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "new", file.c_str()));
    EXPECT_EQ(problem(file, true), file + ": " + reason);
  }
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(zero));

  // Not written, though read: the writers' lock or the temporary file is a folder, the
  // bytes to keep aside cannot get a name (too long for the folder), the folder is read-only.
  const std::string file = path("s.ini");
  put(file, "[s]\nk=v\n");
  // Room in a name for ".NAME.lock", not for "NAME.unreadable".
  const std::string longName = path(std::string(241, 'n') + ".ini");
  put(longName, "[s]\nk=v\nnotes\n");
  std::vector<std::pair<std::string, std::string>> refused = {
      {path(".s.ini.lock"), "Is a directory"}, {path(".s.ini.new"), "Is a directory"}};
  int attempt = 0;
  for (const auto& [obstacle, reason] : refused)
  {
    fs::create_directory(obstacle);
    EXPECT_FALSE(WritePrivateProfileString("s", "k", ("new" + std::to_string(attempt++)).c_str(), file.c_str()));
    EXPECT_EQ(problem(file, true), obstacle + ": " + reason);
    EXPECT_EQ(problem(file, false), "none");
    EXPECT_EQ(contents(file), "[s]\nk=v\n");
    fs::remove(obstacle);
  }
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "new", longName.c_str()));
  EXPECT_EQ(problem(longName, true), longName + ".unreadable: File name too long");
  EXPECT_EQ(contents(longName), "[s]\nk=v\nnotes\n");
  if (geteuid() != 0)
  {
    const std::string sealed = path("sealed");
    fs::create_directory(sealed);
    fs::permissions(sealed, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", (sealed + "/s.ini").c_str()));
    EXPECT_EQ(problem(sealed + "/s.ini", true), sealed + "/.s.ini.lock: Permission denied");
    fs::permissions(sealed, fs::perms::owner_all);
  }
  // The change held in memory goes out with the next write that succeeds, which clears the problem.
  ASSERT_TRUE(WritePrivateProfileString("s", "j", "w", file.c_str()));
  EXPECT_EQ(contents(file), "[s]\nj=w\nk=new1\n\n");
  EXPECT_EQ(problem(file, true), "none");
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
