#include "swell-misc.h"

#include "mutex.h"

#include "platform/appkit/application.h"

#include <cstring>

const char* g_swell_appname = nullptr;
const char* g_swell_fontpangram = nullptr;
bool g_swell_terminating = false;

namespace
{
// The settings functions may run on any thread while the host sets the path.
WDL_Mutex s_configMutex;
std::string s_defaultIniFile;

bool s_rightClickEmulate = false;

// Linux has no App Nap; the count and the activity are kept so that callers see the
// balance they expect.
int s_appNapCount = 0;
bool s_appNapActivity = false;

// The version of the newest branch the layer follows.
constexpr int kOSVersion = 0x10B0;
}  // namespace

void* SWELL_ExtendedAPI(const char* key, void* value)
{
  if (!key) return nullptr;
  if (!std::strcmp(key, "APPNAME"))
    g_swell_appname = static_cast<const char*>(value);
  else if (!std::strcmp(key, "FONTPANGRAM"))
    g_swell_fontpangram = static_cast<const char*>(value);
  else if (!std::strcmp(key, "INIFILE"))
  {
    WDL_MutexLock lock(&s_configMutex);
    s_defaultIniFile = value ? static_cast<const char*>(value) : "";
  }
  return nullptr;
}

int SWELL_GetOSXVersion()
{
  return kOSVersion;
}

void SWELL_EnableRightClickEmulate(BOOL enable)
{
  s_rightClickEmulate = enable != 0;
}

BOOL IsRightClickEmulateEnabled()
{
  return s_rightClickEmulate;
}

void SWELL_PostQuitMessage(void*)
{
  g_swell_terminating = true;
  cocoa::NSApp()->terminate(nullptr);
}

void SWELL_DisableAppNap(int delta)
{
  if (g_swell_terminating) return;
  s_appNapCount += delta;
  if (s_appNapCount > 0 && !s_appNapActivity)
    s_appNapActivity = true;
  else if (s_appNapCount <= 0 && s_appNapActivity)
    s_appNapActivity = false;
}

namespace swell
{
std::string defaultIniFile()
{
  WDL_MutexLock lock(&s_configMutex);
  return s_defaultIniFile;
}

bool appNapActivityHeld()
{
  return s_appNapActivity;
}
}  // namespace swell
