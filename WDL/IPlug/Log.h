#pragma once

#include "wdlstring.h"

#include <ctime>

// Tracing is compiled out: the framework calls Trace at its interesting steps and
// nothing is written anywhere.
void Trace(const char* functionName, int line, const char* format, ...);

#define TRACE Trace(__FUNCTION__, __LINE__, "")

// The local time as "YYYYmmdd HH:MM +hhmm" (offset from UTC), in a static buffer.
const char* CurrentTime();

// The offset of local time from UTC in minutes, from the two broken-down times.
int UtcOffsetMinutes(const struct tm& local, const struct tm& utc);

// "[Mon D HH:MM]" from the compiler's __DATE__ and __TIME__ texts.
void CompileTimestamp(const char* date, const char* time, WDL_String* out);
// text + " " + the build time stamp, in a static string.
const char* AppendTimestamp(const char* date, const char* time, const char* text);

#define APPEND_TIMESTAMP(str) AppendTimestamp(__DATE__, __TIME__, str)

// An interval timer on the processor clock.
struct Timer
{
  Timer();
  // True, and restarts, when more than `seconds` of processor time have passed.
  bool Every(double seconds);

private:
  unsigned long mT;
};

bool IsWhitespace(char c);
// Writes the lower-cased copy of in to out, NUL-terminated; out must hold strlen(in) + 1.
void ToLower(char* out, const char* in);

const char* VSTOpcodeStr(int opCode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
