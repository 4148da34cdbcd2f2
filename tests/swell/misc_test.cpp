#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

TEST(SwellStrings, ConversionsAndCopiesStayInsideTheirBuffers)
{
  EXPECT_EQ(SWELL_CStringToCFString("h\xC3\xA9").str(), "h\xC3\xA9");
  EXPECT_EQ(SWELL_CStringToCFString("a\xFF" "b").str(), "a?b");  // not UTF-8: taken as ASCII
  EXPECT_EQ(SWELL_CStringToCFString(nullptr).str(), "");

  const cocoa::NSString text("h\xC3\xA9llo");
  char buf[8] = "zzzzzzz";
  SWELL_CFStringToCString(&text, buf, 3);
  EXPECT_STREQ(buf, "h\xC3");  // cut to size - 1 bytes, a character split
  SWELL_CFStringToCString(&text, buf, 0);
  EXPECT_STREQ(buf, "h\xC3");

  EXPECT_STREQ(lstrcpyn(buf, "abcdef", 4), "abc");
  lstrcpyn(buf, "q", 0);
  EXPECT_STREQ(buf, "abc");

  EXPECT_EQ(MulDiv(7, 3, 2), 10);  // truncated, not rounded
  EXPECT_EQ(MulDiv(-7, 3, 2), -10);
  EXPECT_EQ(MulDiv(1, 1, 0), 0);
  EXPECT_EQ(MulDiv(INT_MAX, 4, 1), -1);
}

TEST(SwellRects, EdgeCasesOfPointsIntersectionsAndUnions)
{
  const RECT upsideDown{0, 10, 10, 0};
  EXPECT_TRUE(SWELL_PtInRect(&upsideDown, POINT{5, 5}));
  EXPECT_FALSE(SWELL_PtInRect(&upsideDown, POINT{10, 5}));

  const RECT a{0, 0, 10, 10}, touching{10, 0, 20, 10}, overlapping{5, 5, 15, 15};
  RECT out{1, 1, 1, 1};
  EXPECT_FALSE(WinIntersectRect(&out, &a, &touching));
  EXPECT_EQ(out.left | out.top | out.right | out.bottom, 0);
  EXPECT_TRUE(WinIntersectRect(&out, &a, &overlapping));
  EXPECT_EQ(out.left + out.top + out.right + out.bottom, 5 + 5 + 10 + 10);

  const RECT line{20, 0, 20, 30};  // no width but a height: not empty
  WinUnionRect(&out, &a, &line);
  EXPECT_EQ(out.right + out.bottom, 20 + 30);
  const RECT point{50, 50, 50, 50};
  WinUnionRect(&out, &point, &a);
  EXPECT_EQ(out.right, 10);
}

TEST(SwellMemoryAndFiles, GlobalBlocksFileTimesAndTheTemporaryFolder)
{
  HANDLE h = GlobalAlloc(0, 24);
  ASSERT_NE(h, nullptr);
  std::memset(h, 0xAB, 24);  // the whole block is usable (the sanitizer build checks)
  EXPECT_EQ(GlobalSize(h), 24);
  EXPECT_EQ(GlobalLock(h), h);
  GlobalFree(h);
  EXPECT_EQ(GlobalSize(nullptr), 0);

  char path[] = "/tmp/vorna-filetime-XXXXXX";
  const int fd = mkstemp(path);
  const timespec times[2] = {{86400, 0}, {1000000000, 0}};
  ASSERT_EQ(futimens(fd, times), 0);
  FILETIME access{}, write{};
  EXPECT_TRUE(GetFileTime(fd, nullptr, &access, &write));
  EXPECT_EQ((uint64_t(access.dwHighDateTime) << 32) | access.dwLowDateTime, 116444736000000000ULL + 864000000000ULL);
  EXPECT_EQ((uint64_t(write.dwHighDateTime) << 32) | write.dwLowDateTime, 126444736000000000ULL);
  close(fd);
  unlink(path);
  EXPECT_FALSE(GetFileTime(fd, nullptr, &access, &write));

  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved ? saved : "";
  const auto tempPath = [](const char* tmpdir, int size) {
    setenv("TMPDIR", tmpdir, 1);
    char buf[64];
    GetTempPath(size, buf);
    return std::string(buf);
  };
  EXPECT_EQ(tempPath("", 64), "/tmp/");
  EXPECT_EQ(tempPath("/var/tmp", 64), "/var/tmp/");
  EXPECT_EQ(tempPath("/abc/defgh", 6), "/abc/");  // the cut ends in a slash: nothing added
  EXPECT_EQ(tempPath("/abcdefg", 6), "/abc/");
  EXPECT_EQ(tempPath("/abc", 1), "");
  saved ? setenv("TMPDIR", restore.c_str(), 1) : unsetenv("TMPDIR");
}

TEST(SwellSwitches, ConfigurationAppNapAndQuitting)
{
  std::string ini = "/tmp/a.ini";
  SWELL_ExtendedAPI("INIFILE", ini.data());
  ini[1] = 'X';  // the path was copied
  EXPECT_EQ(swell::defaultIniFile(), "/tmp/a.ini");
  SWELL_ExtendedAPI("INIFILE", nullptr);
  EXPECT_EQ(swell::defaultIniFile(), "");

  SWELL_DisableAppNap(1);
  SWELL_DisableAppNap(1);
  SWELL_DisableAppNap(-1);
  EXPECT_TRUE(swell::appNapActivityHeld());
  SWELL_DisableAppNap(-1);
  EXPECT_FALSE(swell::appNapActivityHeld());

  cocoa::TestDriver driver;
  SWELL_PostQuitMessage(nullptr);
  EXPECT_TRUE(g_swell_terminating);
  EXPECT_TRUE(cocoa::NSApp()->hasTerminated());
  SWELL_DisableAppNap(1);  // ignored while quitting
  EXPECT_FALSE(swell::appNapActivityHeld());
  g_swell_terminating = false;
}
