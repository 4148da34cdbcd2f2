#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
std::string toCString(const cocoa::NSString& s, int size)
{
  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  SWELL_CFStringToCString(&s, buf, size);
  return buf;
}

std::string tempPath(const char* tmpdir, int size)
{
  if (tmpdir)
    setenv("TMPDIR", tmpdir, 1);
  else
    unsetenv("TMPDIR");
  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  GetTempPath(size, buf);
  return buf;
}
}  // namespace

TEST(SwellStrings, ConversionsAndCopiesStayInsideTheirBuffers)
{
  EXPECT_EQ(SWELL_CStringToCFString("h\xC3\xA9").str(), "h\xC3\xA9");
  EXPECT_EQ(SWELL_CStringToCFString("a\xFF" "b").str(), "a?b");  // not UTF-8: taken as ASCII
  EXPECT_EQ(SWELL_CStringToCFString(nullptr).str(), "");

  const cocoa::NSString text("h\xC3\xA9llo");
  EXPECT_EQ(toCString(text, 64), "h\xC3\xA9llo");
  EXPECT_EQ(toCString(text, 3), "h\xC3");  // cut to size - 1 bytes, a character split
  EXPECT_EQ(toCString(text, 1), "");
  char untouched[2] = {'q', 0};
  SWELL_CFStringToCString(&text, untouched, 0);
  EXPECT_EQ(untouched[0], 'q');

  char dst[8] = "zzzzzzz";
  EXPECT_STREQ(lstrcpyn(dst, "abcdef", 4), "abc");
  lstrcpyn(dst, "q", 0);
  EXPECT_STREQ(dst, "abc");

  EXPECT_EQ(MulDiv(7, 3, 2), 10);  // truncated, not rounded
  EXPECT_EQ(MulDiv(-7, 3, 2), -10);
  EXPECT_EQ(MulDiv(1, 1, 0), 0);
  EXPECT_EQ(MulDiv(INT_MAX, 4, 1), -1);
}

TEST(SwellRects, PointsIntersectionsAndUnions)
{
  const RECT upsideDown{0, 10, 10, 0};
  EXPECT_TRUE(SWELL_PtInRect(&upsideDown, POINT{5, 5}));
  EXPECT_FALSE(SWELL_PtInRect(&upsideDown, POINT{10, 5}));
  EXPECT_FALSE(SWELL_PtInRect(nullptr, POINT{0, 0}));

  RECT r{1, 2, 3, 4};
  EXPECT_TRUE(WinOffsetRect(&r, 10, 20));
  EXPECT_EQ(r.left + r.top + r.right + r.bottom, 11 + 22 + 13 + 24);
  EXPECT_FALSE(WinOffsetRect(nullptr, 1, 1));

  const RECT a{0, 0, 10, 10}, touching{10, 0, 20, 10}, overlapping{5, 5, 15, 15};
  RECT out{1, 1, 1, 1};
  EXPECT_FALSE(WinIntersectRect(&out, &a, &touching));
  EXPECT_EQ(out.left | out.top | out.right | out.bottom, 0);
  EXPECT_TRUE(WinIntersectRect(&out, &a, &overlapping));
  EXPECT_EQ(out.left * 1000 + out.top * 100 + out.right * 10 + out.bottom, 5 * 1000 + 5 * 100 + 10 * 10 + 10);

  const RECT line{20, 0, 20, 30};  // no width but a height: not empty
  WinUnionRect(&out, &a, &line);
  EXPECT_EQ(out.right, 20);
  EXPECT_EQ(out.bottom, 30);
  const RECT point{50, 50, 50, 50};
  WinUnionRect(&out, &point, &a);
  EXPECT_EQ(out.right, 10);
}

TEST(SwellMemory, GlobalBlocksKnowTheirSizeAndLocks)
{
  HANDLE h = GlobalAlloc(0, 24);
  ASSERT_NE(h, nullptr);
  std::memset(h, 0xAB, 24);  // the whole block is usable (the sanitizer build checks)
  EXPECT_EQ(GlobalSize(h), 24);
  EXPECT_EQ(GlobalLock(h), h);
  GlobalUnlock(h);
  GlobalUnlock(h);  // one unlock too many does no harm
  GlobalFree(h);
  HANDLE empty = GlobalAlloc(0, -5);
  EXPECT_EQ(GlobalSize(empty), 0);
  GlobalFree(empty);
  EXPECT_EQ(GlobalSize(nullptr), 0);
  GlobalFree(nullptr);
}

TEST(SwellFiles, FileTimesCountHundredNanosecondsSince1601)
{
  char path[] = "/tmp/vorna-filetime-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const timespec times[2] = {{86400, 0}, {1000000000, 0}};
  ASSERT_EQ(futimens(fd, times), 0);
  FILETIME access{}, write{};
  EXPECT_TRUE(GetFileTime(fd, nullptr, &access, &write));
  const auto value = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  EXPECT_EQ(value(access), 116444736000000000ULL + 86400ULL * 10000000ULL);
  EXPECT_EQ(value(write), 116444736000000000ULL + 1000000000ULL * 10000000ULL);
  close(fd);
  unlink(path);
  EXPECT_FALSE(GetFileTime(fd, nullptr, &access, &write));
  EXPECT_FALSE(GetFileTime(-1, nullptr, nullptr, nullptr));
}

TEST(SwellPaths, TempPathEndsInASlashWithinTheBuffer)
{
  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved ? saved : "";
  EXPECT_EQ(tempPath(nullptr, 64), "/tmp/");
  EXPECT_EQ(tempPath("", 64), "/tmp/");
  EXPECT_EQ(tempPath("/var/tmp", 64), "/var/tmp/");
  EXPECT_EQ(tempPath("/abc/defgh", 6), "/abc/");  // the cut ends in a slash: nothing added
  EXPECT_EQ(tempPath("/abcdefg", 6), "/abc/");
  EXPECT_EQ(tempPath("/abc", 1), "");
  if (saved)
    setenv("TMPDIR", restore.c_str(), 1);
  else
    unsetenv("TMPDIR");

  unsigned char a[16] = {}, b[16] = {};
  EXPECT_TRUE(SWELL_GenerateGUID(a));
  EXPECT_TRUE(SWELL_GenerateGUID(b));
  EXPECT_NE(std::memcmp(a, b, 16), 0);
}

TEST(SwellSwitches, ConfigurationAppNapAndQuitting)
{
  char name[] = "Vorna";
  SWELL_ExtendedAPI("APPNAME", name);
  EXPECT_EQ(g_swell_appname, name);
  std::string ini = "/tmp/a.ini";
  SWELL_ExtendedAPI("INIFILE", ini.data());
  ini[1] = 'X';  // the path was copied
  EXPECT_EQ(swell::defaultIniFile(), "/tmp/a.ini");
  SWELL_ExtendedAPI("INIFILE", nullptr);
  EXPECT_EQ(swell::defaultIniFile(), "");
  EXPECT_EQ(SWELL_GetOSXVersion(), 0x10B0);

  SWELL_EnableRightClickEmulate(true);
  EXPECT_TRUE(IsRightClickEmulateEnabled());
  SWELL_EnableRightClickEmulate(false);
  EXPECT_FALSE(IsRightClickEmulateEnabled());

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
