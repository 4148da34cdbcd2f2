// IGraphicsMac: the application's resources, the folders it is told about and the
// system's version.

#include "IGraphicsMac.h"
#include "lice.h"

#include "platform/foundation/autorelease_pool.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr const char* kSystemVersionFile = "/System/Library/CoreServices/SystemVersion.plist";
constexpr size_t kMaxVersionLength = 32;

std::string ExecutablePath()
{
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

std::string ExecutableFolder()
{
  const std::string exe = ExecutablePath();
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::string HomeFolder()
{
  const char* home = std::getenv("HOME");
  if (!home || !*home)
  {
    const passwd* user = getpwuid(getuid());
    home = user ? user->pw_dir : nullptr;
  }
  return home ? home : "";
}

bool IsFile(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

WDL_String ResourcePath(const char* name, const char* type)
{
  WDL_String found;
  if (!name || !type) return found;
  const std::string file = std::string(name) + "." + type;
  // Beside the program, then under the install prefix, then in the build tree.
  const std::string exeFolder = ExecutableFolder();
  std::string places[3];
  int count = 0;
  if (!exeFolder.empty())
  {
    places[count++] = exeFolder + "/resources/img/";
    places[count++] = exeFolder + "/../share/vorna/img/";
  }
#ifdef VORNA_BUILD_RESOURCE_DIR
  places[count++] = std::string(VORNA_BUILD_RESOURCE_DIR) + "/img/";
#endif
  for (int i = 0; i < count; ++i)
    if (IsFile(places[i] + file))
    {
      found.Set((places[i] + file).c_str());
      break;
    }
  return found;
}

LICE_IBitmap* LoadImgFromResourceOSX(const char*, const char* name)
{
  if (!name) return nullptr;
  cocoa::NSAutoreleasePool pool;
  const char* dot = std::strrchr(name, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return nullptr;
  const char* slash = std::strrchr(name, '/');
  const char* bare = slash ? slash + 1 : name;
  if (bare > dot) return nullptr;  // the only dot lies in a folder's name
  const std::string resource(bare, static_cast<size_t>(dot - bare));
  const WDL_String path = ResourcePath(resource.c_str(), "png");
  if (!path.GetLength()) return nullptr;
  return LICE_LoadPNG(path.Get(), nullptr);
}

int ParseSystemVersion(const char* plistText)
{
  if (!plistText) return 0;
  const char* key = std::strstr(plistText, "<key>ProductVersion</key>");
  const char* open = key ? std::strstr(key, "<string>") : nullptr;
  if (!open) return 0;
  open += std::strlen("<string>");
  const char* close = std::strstr(open, "</string>");
  if (!close || static_cast<size_t>(close - open) > kMaxVersionLength) return 0;
  std::string version(open, static_cast<size_t>(close - open));
  int dots = 0;
  for (char c : version)
  {
    if (c == '.') ++dots;
    else if (c < '0' || c > '9') return 0;
  }
  if (dots <= 1) version += ".0";
  std::string digits;
  for (char c : version)
    if (c != '.') digits += c;
  return static_cast<int>(std::strtol(digits.c_str(), nullptr, 16));
}

int GetSystemVersion()
{
  static const int version = [] {
    std::ifstream file(kSystemVersionFile);
    if (!file) return 0;
    std::ostringstream text;
    text << file.rdbuf();
    return ParseSystemVersion(text.str().c_str());
  }();
  return version;
}

void IGraphicsMac::HostPath(WDL_String* path)
{
  const std::string exe = ExecutablePath();
  if (!exe.empty()) path->Set(exe.c_str());
}

void IGraphicsMac::PluginPath(WDL_String* path)
{
  const std::string folder = ExecutableFolder();
  if (!folder.empty()) path->Set((folder + "/").c_str());
}

void IGraphicsMac::DesktopPath(WDL_String* path)
{
  path->Set((HomeFolder() + "/Desktop").c_str());
}

void IGraphicsMac::AppSupportPath(WDL_String* path, bool isSystem)
{
  // Where applications keep what they write for the user, or for everyone.
  if (isSystem)
  {
    path->Set("/etc/xdg");
    return;
  }
  const char* config = std::getenv("XDG_CONFIG_HOME");
  path->Set(config && config[0] == '/' ? config : (HomeFolder() + "/.config").c_str());
}

void IGraphicsMac::SandboxSafeAppSupportPath(WDL_String* path)
{
  path->Set((HomeFolder() + "/Music").c_str());
}
