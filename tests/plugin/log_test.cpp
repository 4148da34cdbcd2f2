#include "Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace
{
struct tm MakeTm(int yday, int hour, int minute)
{
  struct tm t{};
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = minute;
  return t;
}

// Runs CurrentTime() under a given TZ and restores the caller's zone.
std::string CurrentTimeIn(const char* zone)
{
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", zone, 1);
  tzset();
  std::string text = CurrentTime();
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  return text;
}
}  // namespace

TEST(CurrentTime, EndsWithTheOffsetFromUtc)
{
  // POSIX TZ strings count west-positive: "X-2" is two hours ahead of UTC.
  const std::string ahead = CurrentTimeIn("XYZ-2");
  EXPECT_EQ(ahead.substr(ahead.size() - 5), "+0200") << ahead;
  const std::string behind = CurrentTimeIn("NST3:30");
  EXPECT_EQ(behind.substr(behind.size() - 5), "-0330") << behind;
  const std::string utc = CurrentTimeIn("UTC0");
  EXPECT_EQ(utc.substr(utc.size() - 5), "+0000") << utc;
  // "YYYYmmdd HH:MM +hhmm"
  EXPECT_EQ(utc.size(), 20u) << utc;
  EXPECT_EQ(utc[8], ' ');
  EXPECT_EQ(utc[11], ':');
}

TEST(CurrentTime, OffsetAcrossDayAndYearBoundaries)
{
  // Same day.
  EXPECT_EQ(UtcOffsetMinutes(MakeTm(100, 14, 30), MakeTm(100, 12, 0)), 150);
  // Local already on the next day.
  EXPECT_EQ(UtcOffsetMinutes(MakeTm(101, 1, 0), MakeTm(100, 23, 0)), 120);
  // Local still on the previous day.
  EXPECT_EQ(UtcOffsetMinutes(MakeTm(99, 21, 0), MakeTm(100, 1, 0)), -240);
  // New Year: local on 1 January while UTC is still on 31 December, and the reverse.
  EXPECT_EQ(UtcOffsetMinutes(MakeTm(0, 1, 0), MakeTm(364, 23, 0)), 120);
  EXPECT_EQ(UtcOffsetMinutes(MakeTm(365, 20, 30), MakeTm(0, 0, 0)), -210);
}

TEST(CompileTimestamp, CutsToMonthDayHoursMinutes)
{
  WDL_String out;
  CompileTimestamp("Dec  7 2026", "12:34:56", &out);
  EXPECT_STREQ(out.Get(), "[Dec 7 12:34]");
  EXPECT_STREQ(AppendTimestamp("Dec  7 2026", "12:34:56", "Vorna"), "Vorna [Dec 7 12:34]");
}

TEST(TextFunctions, WhitespaceAndLowerCase)
{
  EXPECT_TRUE(IsWhitespace(' '));
  EXPECT_TRUE(IsWhitespace('\t'));
  EXPECT_TRUE(IsWhitespace('\n'));
  EXPECT_TRUE(IsWhitespace('\r'));
  EXPECT_FALSE(IsWhitespace('\v'));
  EXPECT_FALSE(IsWhitespace('\f'));
  EXPECT_FALSE(IsWhitespace('x'));

  char out[32];
  ToLower(out, "Live 9 STANDALONE\xC4");
  EXPECT_STREQ(out, "live 9 standalone\xC4");
}

TEST(Timer, FiresOnlyAfterTheInterval)
{
  Timer t;
  EXPECT_FALSE(t.Every(1000.0));
  // Burn a little processor time; a zero interval must then fire and restart.
  volatile double x = 0;
  const clock_t start = clock();
  while (clock() - start < CLOCKS_PER_SEC / 100) x = x + 1.0;
  EXPECT_TRUE(t.Every(0.0));
}
