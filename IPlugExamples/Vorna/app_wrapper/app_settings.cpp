#include "app_main.h"

#include "swell-ini.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

AppState gState;
AppState gTempState;
AppState gActiveState;
char gINIPath[kINIPathSize] = "";

namespace
{
constexpr const char* kSettingsFileName = "settings.ini";

// One key of settings.ini: a number or a text field of the record, in the
// order the file is read and written.
struct SettingsKey
{
  const char* section;
  const char* key;
  uint16_t AppState::*number;
  char (AppState::*text)[kNameSize];
  // What a missing key reads as; a null text default is the driver's own device.
  int numberDefault;
  const char* textDefault;
  int minValue;
  int maxValue;
};

constexpr int kMaxField = 65535;
// Enough of a text value to cut it where a kept name is cut, on a whole character.
constexpr size_t kReadValueSize = 4 * kNameSize;

constexpr SettingsKey kSettingsKeys[] = {
  {"audio", "driver", &AppState::driver, nullptr, 0, nullptr, 0, kMaxField},
  {"audio", "indev", nullptr, &AppState::inDev, 0, nullptr, 0, 0},
  {"audio", "outdev", nullptr, &AppState::outDev, 0, nullptr, 0, 0},
  {"audio", "in1", &AppState::inChanL, nullptr, 1, nullptr, 1, kMaxField},
  {"audio", "in2", &AppState::inChanR, nullptr, 2, nullptr, 1, kMaxField},
  {"audio", "out1", &AppState::outChanL, nullptr, 1, nullptr, 1, kMaxField},
  {"audio", "out2", &AppState::outChanR, nullptr, 2, nullptr, 1, kMaxField},
  {"audio", "monoinput", &AppState::monoInput, nullptr, 0, nullptr, 0, kMaxField},
  {"audio", "iovs", nullptr, &AppState::iovs, 0, "512", 0, 0},
  {"audio", "sigvs", nullptr, &AppState::sigvs, 0, "32", 0, 0},
  {"audio", "sr", nullptr, &AppState::sr, 0, "44100", 0, 0},
  {"midi", "indev", nullptr, &AppState::midiInDev, 0, "no input", 0, 0},
  {"midi", "outdev", nullptr, &AppState::midiOutDev, 0, "no output", 0, 0},
  {"midi", "inchan", &AppState::midiInChan, nullptr, 0, nullptr, 0, 16},
  {"midi", "outchan", &AppState::midiOutChan, nullptr, 0, nullptr, 0, 16},
};

// The folder settings.ini lives in, ending in '/'; false when no home is known.
bool SettingsFolder(std::string* folder)
{
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/')  // a relative value is to be ignored
  {
    base = config;
  }
  else
  {
    const char* home = std::getenv("HOME");
    if (!home || !home[0])
    {
      const passwd* user = getpwuid(getuid());
      home = user ? user->pw_dir : nullptr;
    }
    if (!home || !home[0]) return false;
    base = std::string(home) + "/.config";
  }
  *folder = base + "/" + kProductWord + "/";
  return true;
}

bool IsFolder(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder and its parents, each as the user's umask allows.
bool MakeFolders(const std::string& folder)
{
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
  {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(folder);
}

// The rates audio devices offer. Far above them the engine's lengths in samples
// no longer fit its integers.
constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 384000;

// A whole decimal number from minValue (at least 1) to maxValue, or 0. A sign, a
// fraction, an exponent or a space makes no whole number, and the reading stops
// past maxValue, so that no digit string, however long, overflows.
int ParseWholeNumber(const char* text, int minValue, int maxValue)
{
  int value = 0;
  for (const char* c = text; *c; ++c)
  {
    if (*c < '0' || *c > '9') return 0;
    value = value * 10 + (*c - '0');
    if (value > maxValue) return 0;
  }
  return value >= minValue ? value : 0;
}

// The field keeps its number in plain digits, or takes the fallback.
void KeepWholeNumberOrDefault(char (&field)[kNameSize], int minValue, int maxValue, const char* fallback)
{
  const int value = ParseWholeNumber(field, minValue, maxValue);
  if (value == 0)
  {
    CopyName(field, fallback);
    return;
  }
  char text[16];
  std::snprintf(text, sizeof(text), "%d", value);
  CopyName(field, text);
}

void ReadSettings(AppState* state)
{
  for (const SettingsKey& k : kSettingsKeys)
  {
    if (k.number)
    {
      const int value = GetPrivateProfileInt(k.section, k.key, k.numberDefault, gINIPath);
      state->*k.number = uint16_t(std::clamp(value, k.minValue, k.maxValue));
      continue;
    }
    // The devices a missing key stands for are those of the driver read before them.
    const char* fallback = k.textDefault;
    if (!fallback) fallback = kAudioDrivers[IsAudioDriverCompiled(state->driver) ? state->driver : 0].defaultDevice;
    // Read past the field's size and kept as a listed name is: the reader takes blanks, tabs
    // and a pair of quotes off a value's ends, so a value whose ends hold them once more (or
    // whose cut at the field's size leaves a blank at its end) would read back as another
    // name at the next start.
    char value[kReadValueSize];
    GetPrivateProfileString(k.section, k.key, fallback, value, int(sizeof(value)), gINIPath);
    KeepName(state->*k.text, value);
  }
  if (!IsAudioDriverCompiled(state->driver)) state->driver = 0;
  KeepWholeNumberOrDefault(state->sr, kMinSampleRate, kMaxSampleRate, AppState{}.sr);
  KeepWholeNumberOrDefault(state->iovs, 1, kMaxVectorSize, AppState{}.iovs);
  KeepWholeNumberOrDefault(state->sigvs, 1, kMaxVectorSize, AppState{}.sigvs);
}

const char* BaseName(const char* path)
{
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

const char* WhatWritingDrops(bool readAsSettings)
{
  return readAsSettings ? "holds more than settings, which writing it drops" : "is not a settings file";
}

// The layer kept the bytes of a settings file that its rewrite would lose; the user hears
// where they went.
void TellSettingsKept(const char* file, const char* keptAs, bool readAsSettings)
{
  std::fprintf(stderr, "%s: %s %s; its content is kept as %s\n", program_invocation_short_name, BaseName(file),
               WhatWritingDrops(readAsSettings), keptAs);
  std::fflush(stderr);
}

// The layer had no name left to keep them by: the user hears where the copies taking the
// names are, so that room can be made.
void TellSettingsNotKept(const char* file, const char* firstName, const char* lastName, int names,
                         bool readAsSettings)
{
  std::fprintf(stderr,
               "%s: %s %s; no copy of it is kept, since the %d names %s to %s beside it are taken by earlier "
               "copies, which can be removed\n",
               program_invocation_short_name, BaseName(file), WhatWritingDrops(readAsSettings), names,
               BaseName(firstName), BaseName(lastName));
  std::fflush(stderr);
}

// The path that failed, when it is not the settings file itself, and the system's reason.
std::string ProblemText(const std::string& failedPath, const std::string& reason)
{
  return failedPath == gINIPath ? reason : failedPath + ": " + reason;
}

// What the last line about the settings file said went wrong; cleared by a write that
// succeeds, so that the same trouble is told once, not at every write it refuses.
std::string sProblemTold;

// A settings file that is there but cannot be read: the run uses the defaults, and saves
// nothing while that lasts.
void SayIfUnreadable()
{
  std::string failedPath, reason;
  if (!SWELL_GetIniProblem(gINIPath, false, &failedPath, &reason)) return;
  sProblemTold = ProblemText(failedPath, reason);
  std::fprintf(stderr, "%s: %s cannot be read (%s); running on the defaults without saving them\n",
               program_invocation_short_name, gINIPath, sProblemTold.c_str());
  std::fflush(stderr);
}

// Says in one line why the file did not take the settings, unless that was said last.
void SayWhyNotWritten()
{
  std::string failedPath, reason;
  if (!SWELL_GetIniProblem(gINIPath, true, &failedPath, &reason)) return;
  const std::string problem = ProblemText(failedPath, reason);
  if (problem == sProblemTold) return;
  sProblemTold = problem;
  std::fprintf(stderr, "%s: the settings could not be saved to %s (%s)\n", program_invocation_short_name, gINIPath,
               problem.c_str());
  std::fflush(stderr);
}

}  // namespace

bool SettingsFileIsNamed()
{
  const size_t length = strnlen(gINIPath, kINIPathSize);
  return length > 0 && length < kINIPathSize && gINIPath[length - 1] != '/';
}

bool LoadSettings()
{
  CopySettings(&gState, AppState{});
  gTempState = AppState{};
  gActiveState = AppState{};
  gINIPath[0] = '\0';
  SWELL_SetIniKeptHandler(TellSettingsKept);
  SWELL_SetIniNotKeptHandler(TellSettingsNotKept);

  std::string folder;
  if (!SettingsFolder(&folder) || folder.size() + std::strlen(kSettingsFileName) >= kINIPathSize) return false;
  std::snprintf(gINIPath, sizeof(gINIPath), "%s", folder.c_str());
  if (!MakeFolders(folder)) return false;

  std::snprintf(gINIPath, sizeof(gINIPath), "%s%s", folder.c_str(), kSettingsFileName);
  // Whatever is there is read, so that a file that cannot be (a loop of links, say) is told.
  sProblemTold.clear();
  struct stat info;
  if (stat(gINIPath, &info) == 0 || errno != ENOENT)
  {
    AppState read;
    ReadSettings(&read);
    CopySettings(&gState, read);
    SayIfUnreadable();
  }
  UpdateINI();
  return true;
}

bool UpdateINI()
{
  if (!SettingsFileIsNamed()) return false;
  bool written = true;
  for (const SettingsKey& k : kSettingsKeys)
  {
    char number[16];
    const char* value = k.text ? gState.*k.text : number;
    if (k.number) std::snprintf(number, sizeof(number), "%u", unsigned(gState.*k.number));
    // Said at once: a later key that is written clears the layer's record of why this one
    // was not.
    if (WritePrivateProfileString(k.section, k.key, value, gINIPath)) continue;
    written = false;
    SayWhyNotWritten();
  }
  if (written) sProblemTold.clear();
  return written;
}
