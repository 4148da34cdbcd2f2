#include "ini_fixture.h"
#include "swell-misc.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

using Ini = IniFixture;

TEST_F(Ini, ReadingRules)
{
  struct Row
  {
    const char* text;
    const char* section;
    const char* key;
    const char* expected;
  };
  const Row rows[] = {
      {"[a]\nk=v\n", "a", "k", "v"},
      {"[Audio]\nRate=1\n", "aUDIO", "rATE", "1"},           // names match regardless of case
      {"[a]\nrate = 44100\n", "a", "rate", "<default>"},     // the key keeps its trailing blank...
      {"[a]\nrate = 44100\n", "a", "rate ", "44100"},        // ...the value loses its leading one on reading
      {"[a]\nk=  \"a text\" \n", "a", "k", "a text"},
      {"[a]\nk='x'\n", "a", "k", "x"},
      {"[a]\nk=\"\"x\"\"\n", "a", "k", "\"x\""},             // quotes stripped once
      {"[a]\nk=\"x'\n", "a", "k", "\"x'"},
      {"[a]\nk=\"\n", "a", "k", "\""},
      {"[a]\n;k=v\n#j=w\n", "a", ";k", "v"},                 // no comment syntax
      {"[a]\n;k=v\n#j=w\n", "a", "#j", "w"},
      {"[a]\nk=1\nK=2\nk=3\nK=4\n", "a", "k", "4"},          // of repeated keys the last counts
      {"[a]\nk=1\n[b]\n[A]\nj=2\n", "a", "k", "<default>"},  // a repeated section replaces the first
      {"[a]\nk=1\n[b]\n[A]\nj=2\n", "a", "j", "2"},
      {"[a]\r\nk=v\r\n", "a", "k", "v"},
      {"\xEF\xBB\xBF[a]\nk=v\n", "a", "k", "v"},             // a byte-order mark before the header
      {"k=v\n[a]\n", "a", "k", "<default>"},                 // lines before the first header
      {"[]\nk=v\n", "", "k", "<default>"},                   // "[]" and its lines are ignored
      {"  [a] tail\n\tk = v=w \n", "a", "k ", "v=w"},
      {"[a]\nnoequals\n=v\n", "a", "", "<default>"},
      {"[a]\n[b=1\n", "a", "[b", "1"},                       // "[" without "]" is no header
      {"[a]\nk=v", "a", "k", "v"},                           // no line feed at the end
  };
  int i = 0;
  for (const Row& row : rows)
  {
    const std::string file = path("row" + std::to_string(i++) + ".ini");
    put(file, row.text);
    EXPECT_EQ(read(file, row.section, row.key), row.expected) << row.text;
  }

  // Text that runs past 0x40000 bytes before any header is not a settings file.
  std::string preamble;
  for (int n = 0; n < 256; ++n) preamble += std::string(1023, 'x') + "\n";
  put(path("near.ini"), preamble + "[a]\nk=v\n");
  EXPECT_EQ(read(path("near.ini"), "a", "k"), "v");
  put(path("past.ini"), preamble + "y\n[a]\nk=v\n");
  EXPECT_EQ(read(path("past.ini"), "a", "k"), "<default>");
}

TEST_F(Ini, ListsOfSectionsKeysAndPairs)
{
  const std::string file = path("lists.ini");
  put(file, "[b]\nx=1\ny= \"two\" \n[a]\nk=v\n[]\nz=1\n[empty]\n");
  char out[64];
  const auto text = [&](int n) { return std::string(out, n); };

  EXPECT_EQ(GetPrivateProfileString(nullptr, nullptr, nullptr, out, 64, file.c_str()), 9);
  EXPECT_EQ(text(11), std::string("a\0b\0empty\0\0", 11));
  EXPECT_EQ(GetPrivateProfileString("B", nullptr, nullptr, out, 64, file.c_str()), 3);
  EXPECT_EQ(text(5), std::string("x\0y\0\0", 5));
  EXPECT_EQ(GetPrivateProfileString(nullptr, nullptr, nullptr, out, 5, file.c_str()), 3);
  EXPECT_EQ(text(5), std::string("a\0b\0\0", 5));  // cut, and still two NULs at the end
  EXPECT_EQ(GetPrivateProfileString("none", nullptr, nullptr, out, 64, file.c_str()), 0);
  EXPECT_EQ(text(2), std::string("\0\0", 2));

  EXPECT_EQ(GetPrivateProfileSection("b", out, 64, file.c_str()), 10);
  EXPECT_EQ(text(11), std::string("x=1\0y=two\0\0", 11));
  EXPECT_EQ(GetPrivateProfileSection("b", out, 6, file.c_str()), 5);
  EXPECT_EQ(text(6), std::string("x=1\0\0\0", 6));
  EXPECT_EQ(GetPrivateProfileSection("none", out, 64, file.c_str()), 0);

  EXPECT_EQ(GetPrivateProfileString("b", "y", nullptr, out, 3, file.c_str()), 2);
  EXPECT_STREQ(out, "tw");
  EXPECT_EQ(GetPrivateProfileString("b", "q", "abcdef", out, 4, file.c_str()), 3);
  EXPECT_STREQ(out, "abc");
  std::memset(out, 'z', sizeof out);
  EXPECT_EQ(GetPrivateProfileString("b", "x", nullptr, out, 0, file.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileSection("b", out, -1, file.c_str()), 0);
  EXPECT_EQ(out[0], 'z');  // nothing written for sizes below 1
}

TEST_F(Ini, IntegersAndStructs)
{
  const std::string file = path("values.ini");
  put(file, "[n]\nzero=0\nabc=abc\nmixed=12abc\nhuge=99999999999\nneg=-42\nspaced=  7 \nempty=\n");
  const auto integer = [&](const char* key) { return GetPrivateProfileInt("n", key, -1, file.c_str()); };
  EXPECT_EQ(integer("zero"), 0);
  EXPECT_EQ(integer("abc"), -1);
  EXPECT_EQ(integer("mixed"), 12);
  EXPECT_EQ(integer("huge"), INT_MAX);
  EXPECT_EQ(integer("neg"), -42);
  EXPECT_EQ(integer("spaced"), 7);
  EXPECT_EQ(integer("absent"), -1);

  const unsigned char data[2] = {0x01, 0xFF};
  ASSERT_TRUE(WritePrivateProfileStruct("s", "k", data, 2, file.c_str()));
  EXPECT_EQ(read(file, "s", "k"), "01FF00");
  unsigned char back[2] = {};
  EXPECT_TRUE(GetPrivateProfileStruct("s", "k", back, 2, file.c_str()));
  EXPECT_EQ(back[0] << 8 | back[1], 0x01FF);
  EXPECT_FALSE(GetPrivateProfileStruct("s", "k", back, 1, file.c_str()));  // wrong length
  EXPECT_FALSE(GetPrivateProfileStruct("s", "k", back, INT_MAX, file.c_str()));

  WritePrivateProfileString("s", "k", "01FF01", file.c_str());
  EXPECT_FALSE(GetPrivateProfileStruct("s", "k", back, 2, file.c_str()));  // checksum
  WritePrivateProfileString("s", "k", "a0ff9f", file.c_str());
  EXPECT_TRUE(GetPrivateProfileStruct("s", "k", back, 2, file.c_str()));  // either case
  WritePrivateProfileString("s", "k", "01FG00", file.c_str());
  EXPECT_FALSE(GetPrivateProfileStruct("s", "k", back, 2, file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStruct("s", "none", data, 0, file.c_str()));
  EXPECT_TRUE(GetPrivateProfileStruct("s", "none", back, 0, file.c_str()));
  EXPECT_FALSE(WritePrivateProfileStruct("s", "k", data, INT_MAX, file.c_str()));

  ASSERT_TRUE(WritePrivateProfileStruct("s", "k", nullptr, 2, file.c_str()));  // null data deletes
  EXPECT_EQ(read(file, "s", "k"), "<default>");
}

TEST_F(Ini, WriteBackIsSortedAndByteExact)
{
  const std::string file = path("sorted.ini");
  put(file, "junk\n[zeta]\r\nB=2\r\n a = 1 \r\n[Alpha]\n;c=3\n");
  ASSERT_TRUE(WritePrivateProfileString("alpha", "new", "x", file.c_str()));
  EXPECT_EQ(contents(file), "[Alpha]\n;c=3\nnew=x\n\n[zeta]\na = 1\nB=2\n\n");

  ASSERT_TRUE(WritePrivateProfileString("ZETA", "b", nullptr, file.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("zeta", "a ", nullptr, file.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("alpha", nullptr, nullptr, file.c_str()));
  EXPECT_EQ(contents(file), "[zeta]\n\n");  // an emptied section stays

  const char pairs[] = "k2=b\0k1=a\0noequals\0=x\0K2=c\0";
  ASSERT_TRUE(WritePrivateProfileSection("sec", pairs, file.c_str()));
  EXPECT_EQ(contents(file), "[sec]\nk1=a\nk2=c\n\n[zeta]\n\n");
  ASSERT_TRUE(WritePrivateProfileSection("sec", "", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileSection("none", "", file.c_str()));  // creates nothing
  EXPECT_EQ(contents(file), "[sec]\n\n[zeta]\n\n");
}

TEST_F(Ini, UnchangedWritesLeaveTheFileAloneAndChangesOnDiskAreSeen)
{
  const std::string file = path("same.ini");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v1", file.c_str()));
  struct stat before, after;
  ASSERT_EQ(stat(file.c_str(), &before), 0);
  const auto entries = names();
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "v1", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("s", "absent", nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("absent", nullptr, nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileSection("s", "k=v1\0", file.c_str()));
  ASSERT_EQ(stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(names(), entries);

  // Changed in place by someone else, at the same size, within the same second (but not
  // within one tick of the kernel's file clock, a few milliseconds).
  usleep(20000);
  put(file, "[s]\nk=v2\n\n");
  EXPECT_EQ(read(file, "s", "k"), "v2");
  put(file + ".other", "[s]\nk=v3\n");
  std::filesystem::rename(file + ".other", file);
  EXPECT_EQ(read(file, "s", "k"), "v3");
  std::filesystem::remove(file);
  EXPECT_EQ(read(file, "s", "k"), "<default>");
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "v4", file.c_str()));
  EXPECT_EQ(contents(file), "[s]\nk=v4\n\n");
}

TEST_F(Ini, BareNamesBesideTheDefaultFile)
{
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", dir.c_str(), 1);
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "prefs", "prefs"));
  EXPECT_EQ(read(path(".libSwell_prefs.ini"), "s", "k"), "prefs");
  EXPECT_EQ(read("prefs.ini", "s", "k"), "prefs");
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "default", nullptr));
  EXPECT_EQ(read(path(".libSwell.ini"), "s", "k"), "default");

  const std::string custom = path("custom.cfg");
  SWELL_ExtendedAPI("INIFILE", const_cast<char*>(custom.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "x", "x"));
  EXPECT_EQ(read(path("custom_x.ini"), "s", "k"), "x");
  SWELL_ExtendedAPI("INIFILE", nullptr);
  setenv("HOME", home.c_str(), 1);
}

TEST_F(Ini, WritesThatWouldReadBackOtherwiseAreRefused)
{
  const std::string file = path("refused.ini");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", file.c_str()));
  const std::string before = contents(file);
  // What no line of the file can hold is the file's write problem, said in words that hold
  // none of it; what it would read back otherwise is a caller's mistake, refused silently.
  const std::string section = "a section name", key = "a key name in [s]", value = "the value of \"k\" in [s]";
  struct Row
  {
    const char* section;
    const char* key;
    const char* value;
    std::string told;
  };
  const Row rows[] = {
      {nullptr, "k", "v", ""}, {"s", "", "v", ""},   {"a]b", "k", "v", ""},        {"a\nb", "k", "v", section},
      {"s", "a=b", "v", ""},   {"s", "a\nb", "v", key}, {"s", "[k", "v", ""},       {"s", "k", "a\nb", value},
      {"s", "k", "a\r", value}, {"s\r", nullptr, nullptr, section},                {"", "k", "v", ""},
      // A line holding another control byte than tab is not read.
      {"s", "k", "a\x01", value}, {"s", "k\x1b", "v", key}, {"s\x7f", "k", "v", section},
  };
  const auto problem = [&file] {
    std::string failedPath, reason;
    if (!SWELL_GetIniProblem(file.c_str(), true, &failedPath, &reason)) return std::string("none");
    return failedPath + ": " + reason;
  };
  const std::string cannotHold = " holds a line break or control byte, which the file cannot hold";
  for (const Row& row : rows)
  {
    EXPECT_FALSE(WritePrivateProfileString(row.section, row.key, row.value, file.c_str()))
        << (row.section ? row.section : "null") << " " << (row.key ? row.key : "null");
    if (!row.told.empty()) { EXPECT_EQ(problem(), file + ": " + row.told + cannotHold); }
  }
  EXPECT_FALSE(WritePrivateProfileSection("s", "ok=1\0bad=a\nb\0", file.c_str()));
  EXPECT_EQ(problem(), file + ": the value of \"bad\" in [s]" + cannotHold);
  EXPECT_FALSE(WritePrivateProfileSection("s", "ok=1\0[bad=1\0", file.c_str()));
  EXPECT_FALSE(WritePrivateProfileSection(nullptr, "ok=1\0", file.c_str()));
  EXPECT_EQ(read(file, "s", "ok"), "<default>");
  EXPECT_EQ(read(file, "s", "k"), "v");
  EXPECT_EQ(contents(file), before);
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "w", file.c_str()));
  EXPECT_EQ(problem(), "none");
}
