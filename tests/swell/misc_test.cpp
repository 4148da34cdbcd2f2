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
#include <vector>

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

namespace
{
std::vector<int> sides(const RECT& r)
{
  return {r.left, r.top, r.right, r.bottom};
}
}  // namespace

TEST(SwellRects, DegenerateRectanglesOnEitherSideAndResultsWrittenOverAnInput)
{
  const RECT box{0, 0, 10, 10};
  const RECT flat{2, 5, 8, 5};         // no height
  const RECT thin{5, 0, 5, 10};        // no width
  const RECT inverted{8, 8, 2, 2};     // right of left and above top: empty for intersections
  const RECT point{50, 50, 50, 50};    // the only empty one for unions
  for (const RECT* degenerate : {&flat, &thin, &inverted, &point})
  {
    RECT out{1, 1, 1, 1};
    EXPECT_FALSE(WinIntersectRect(&out, &box, degenerate));
    EXPECT_EQ(sides(out), (std::vector<int>{0, 0, 0, 0}));
    out = RECT{1, 1, 1, 1};
    EXPECT_FALSE(WinIntersectRect(&out, degenerate, &box));
    EXPECT_EQ(sides(out), (std::vector<int>{0, 0, 0, 0}));
  }

  // Unions: only a point is empty, on either side; a line or an inverted rectangle counts.
  RECT out{};
  WinUnionRect(&out, &point, &box);
  EXPECT_EQ(sides(out), sides(box));
  WinUnionRect(&out, &box, &point);
  EXPECT_EQ(sides(out), sides(box));
  WinUnionRect(&out, &point, &point);
  EXPECT_EQ(sides(out), sides(point));
  WinUnionRect(&out, &thin, &flat);
  EXPECT_EQ(sides(out), (std::vector<int>{2, 0, 8, 10}));
  const RECT far{20, 20, 30, 30};
  WinUnionRect(&out, &far, &inverted);
  EXPECT_EQ(sides(out), (std::vector<int>{8, 8, 30, 30}));

  // Points: a rectangle without width or height holds none; rows count either way up,
  // columns only left to right.
  EXPECT_FALSE(SWELL_PtInRect(&thin, POINT{5, 5}));
  EXPECT_FALSE(SWELL_PtInRect(&flat, POINT{5, 5}));
  EXPECT_FALSE(SWELL_PtInRect(&inverted, POINT{5, 5}));
  const RECT upsideDown{2, 8, 8, 2};
  EXPECT_TRUE(SWELL_PtInRect(&upsideDown, POINT{2, 2}));
  EXPECT_FALSE(SWELL_PtInRect(&upsideDown, POINT{2, 8}));
  EXPECT_FALSE(SWELL_PtInRect(nullptr, POINT{0, 0}));

  // The result may be written over either input, as callers do to narrow or grow a rectangle.
  RECT narrowed = box;
  EXPECT_FALSE(WinIntersectRect(&narrowed, &narrowed, &far));
  EXPECT_EQ(sides(narrowed), (std::vector<int>{0, 0, 0, 0}));
  narrowed = box;
  const RECT overlap{5, 5, 15, 15};
  EXPECT_TRUE(WinIntersectRect(&narrowed, &narrowed, &overlap));
  EXPECT_EQ(sides(narrowed), (std::vector<int>{5, 5, 10, 10}));
  narrowed = overlap;
  EXPECT_TRUE(WinIntersectRect(&narrowed, &box, &narrowed));
  EXPECT_EQ(sides(narrowed), (std::vector<int>{5, 5, 10, 10}));
  RECT grown = box;
  WinUnionRect(&grown, &grown, &far);
  EXPECT_EQ(sides(grown), (std::vector<int>{0, 0, 30, 30}));
  grown = far;
  WinUnionRect(&grown, &box, &grown);
  EXPECT_EQ(sides(grown), (std::vector<int>{0, 0, 30, 30}));

  // Offsets and sets: 0 for nothing to change.
  EXPECT_FALSE(WinOffsetRect(nullptr, 1, 1));
  EXPECT_FALSE(WinSetRect(nullptr, 1, 2, 3, 4));
  RECT moved = inverted;
  EXPECT_TRUE(WinOffsetRect(&moved, -8, 0));
  EXPECT_EQ(sides(moved), (std::vector<int>{0, 8, -6, 2}));  // still inverted
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
