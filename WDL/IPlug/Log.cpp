#include "Log.h"

#include <cctype>
#include <cstdio>
#include <cstring>

void Trace(const char*, int, const char*, ...) {}

int UtcOffsetMinutes(const struct tm& local, const struct tm& utc)
{
  int minutes = (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
  const int dayDiff = local.tm_yday - utc.tm_yday;
  // A difference of two or more days means the year turned between the two.
  if (dayDiff >= 2)
    minutes -= 1440;
  else if (dayDiff <= -2)
    minutes += 1440;
  else
    minutes += 1440 * dayDiff;
  return minutes;
}

const char* CurrentTime()
{
  static char text[64];
  const time_t now = time(nullptr);
  struct tm local{};
  struct tm utc{};
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);

  const size_t n = strftime(text, sizeof(text), "%Y%m%d %H:%M ", &local);
  const int offset = UtcOffsetMinutes(local, utc);
  const int magnitude = offset < 0 ? -offset : offset;
  snprintf(text + n, sizeof(text) - n, "%c%02d%02d", offset >= 0 ? '+' : '-', magnitude / 60, magnitude % 60);
  return text;
}

void CompileTimestamp(const char* date, const char* time, WDL_String* out)
{
  out->Set("[");
  out->Append(date);
  out->SetLen(7);
  out->DeleteSub(4, 1);
  out->Append(" ");
  out->Append(time);
  out->SetLen(12);
  out->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* text)
{
  static WDL_String result;
  WDL_String stamp;
  CompileTimestamp(date, time, &stamp);
  result.Set(text);
  result.Append(" ");
  result.Append(stamp.Get());
  return result.Get();
}

Timer::Timer() : mT(static_cast<unsigned long>(clock())) {}

bool Timer::Every(double seconds)
{
  const unsigned long now = static_cast<unsigned long>(clock());
  // clock() counts millionths of a second on this platform (CLOCKS_PER_SEC).
  if (static_cast<double>(now - mT) > seconds * CLOCKS_PER_SEC)
  {
    mT = now;
    return true;
  }
  return false;
}

bool IsWhitespace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void ToLower(char* out, const char* in)
{
  while (*in) *out++ = static_cast<char>(std::tolower(static_cast<unsigned char>(*in++)));
  *out = 0;
}

const char* VSTOpcodeStr(int) { return ""; }
const char* AUSelectStr(int) { return ""; }
const char* AUPropertyStr(int) { return ""; }
const char* AUScopeStr(int) { return ""; }
