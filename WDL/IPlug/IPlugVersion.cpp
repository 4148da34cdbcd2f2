#include "IPlugVersion.h"

#include <cstdio>

void GetVersionParts(int version, int* major, int* minor, int* fix)
{
  if (major) *major = (version & 0xFFFF0000) >> 16;
  if (minor) *minor = (version & 0x0000FF00) >> 8;
  if (fix) *fix = version & 0x000000FF;
}

int GetDecimalVersion(int version)
{
  int major, minor, fix;
  GetVersionParts(version, &major, &minor, &fix);
  return 10000 * major + 100 * minor + fix;
}

void GetVersionStr(int version, char* out)
{
  if (!out) return;
  int major, minor, fix;
  GetVersionParts(version, &major, &minor, &fix);
  std::snprintf(out, kVersionStrSize, "v%d.%d.%d", major, minor, fix);
}
