#include "swell-misc.h"

#include "assocarray.h"
#include "mutex.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// A bundle is a folder with a shared object inside. Like the system's bundle objects, one
// record exists per folder while anything holds it, so the same folder always gives the
// same bundle and therefore the same instance.
struct Bundle
{
  std::string path;  // the folder, resolved
  void* loader;      // the shared object inside
  int references;
};

using EntryPoint = int (*)(HINSTANCE, DWORD, void*);
}  // namespace

struct SWELL_HINSTANCE
{
  void* loader;   // null for bundles
  Bundle* bundle;  // null for plain libraries
  int references;
  EntryPoint swellDllMain;
  EntryPoint dllMain;
  void* lastSymbol;  // finds the file of a plain library
};

namespace
{
// Entry points may load or free libraries themselves, hence recursive.
WDL_Mutex s_libraryMutex;
WDL_AssocArray<void*, SWELL_HINSTANCE*> s_loadedLibs;
std::vector<Bundle*> s_bundles;

bool endsWith(const std::string& s, const char* tail)
{
  const size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The shared object named after the folder (Synth.bundle/Synth.so), else the first one
// in name order; empty when the folder holds none.
std::string bundleExecutable(const std::string& folder)
{
  std::string stem = folder.substr(folder.find_last_of('/') + 1);
  stem = stem.substr(0, stem.find('.'));
  const std::string named = folder + "/" + stem + ".so";
  struct stat st;
  if (!stem.empty() && stat(named.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return named;

  DIR* dir = opendir(folder.c_str());
  if (!dir) return {};
  std::vector<std::string> candidates;
  while (dirent* entry = readdir(dir))
  {
    const std::string name = entry->d_name;
    const std::string path = folder + "/" + name;
    if (endsWith(name, ".so") && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) candidates.push_back(path);
  }
  closedir(dir);
  if (candidates.empty()) return {};
  return *std::min_element(candidates.begin(), candidates.end());
}

// Takes a reference to the folder's bundle, opening it on first use; null when the folder
// holds no loadable shared object.
Bundle* openBundle(const char* path, int visibility)
{
  char* resolved = realpath(path, nullptr);
  if (!resolved) return nullptr;
  const std::string folder = resolved;
  std::free(resolved);
  for (Bundle* b : s_bundles)
    if (b->path == folder)
    {
      b->references++;
      return b;
    }
  const std::string executable = bundleExecutable(folder);
  if (executable.empty()) return nullptr;
  void* loader = dlopen(executable.c_str(), RTLD_NOW | visibility);
  if (!loader) return nullptr;
  Bundle* b = new Bundle{folder, loader, 1};
  s_bundles.push_back(b);
  return b;
}

void releaseBundle(Bundle* b)
{
  if (--b->references > 0) return;
  s_bundles.erase(std::find(s_bundles.begin(), s_bundles.end(), b));
  dlclose(b->loader);
  delete b;
}

void* lookUp(SWELL_HINSTANCE* instance, const char* name)
{
  void* handle = instance->bundle ? instance->bundle->loader : instance->loader;
  return dlsym(handle, name);
}

// Gives back the references one load took: the bundle's or the loader's, and the
// instance itself with the last of them.
void releaseLoad(SWELL_HINSTANCE* instance)
{
  if (instance->bundle) releaseBundle(instance->bundle);
  if (instance->loader) dlclose(instance->loader);
  if (instance->references <= 0) delete instance;
}

DWORD copyPath(const std::string& path, char* buf, DWORD size)
{
  if (size == 0) return 0;
  const size_t n = std::min(path.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buf, path.data(), n);
  buf[n] = 0;
  return static_cast<DWORD>(n);
}

// The folder of the running program stands for the application bundle.
std::string mainBundlePath()
{
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return {};
  const std::string path(exe, static_cast<size_t>(n));
  const size_t slash = path.find_last_of('/');
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}
}  // namespace

HINSTANCE LoadLibrary(const char* path)
{
  return LoadLibraryGlobals(path, false);
}

HINSTANCE LoadLibraryGlobals(const char* path, bool globals)
{
  if (!path || !*path) return nullptr;
  const int visibility = globals ? RTLD_GLOBAL : RTLD_LOCAL;
  WDL_MutexLock lock(&s_libraryMutex);

  Bundle* bundle = nullptr;
  void* loader = nullptr;
  struct stat st;
  if (stat(path, &st) != 0 || S_ISDIR(st.st_mode)) bundle = openBundle(path, visibility);
  if (!bundle)
  {
    loader = dlopen(path, RTLD_NOW | visibility);
    if (!loader) return nullptr;
  }

  void* key = bundle ? static_cast<void*>(bundle) : loader;
  if (SWELL_HINSTANCE* existing = s_loadedLibs.Get(key))
  {
    existing->references++;
    return existing;
  }

  auto* instance = new SWELL_HINSTANCE{loader, bundle, 1, nullptr, nullptr, nullptr};
  s_loadedLibs.Insert(key, instance);
  const auto fail = [&]() -> HINSTANCE {
    s_loadedLibs.Delete(key);
    instance->references = 0;
    releaseLoad(instance);
    return nullptr;
  };

  instance->swellDllMain = reinterpret_cast<EntryPoint>(lookUp(instance, "SWELL_dllMain"));
  if (instance->swellDllMain)
  {
    if (!instance->swellDllMain(instance, 1, nullptr)) return fail();
    instance->dllMain = reinterpret_cast<EntryPoint>(lookUp(instance, "DllMain"));
    if (instance->dllMain && !instance->dllMain(instance, 1, nullptr))
    {
      instance->swellDllMain(instance, 0, nullptr);
      return fail();
    }
  }
  return instance;
}

void* GetProcAddress(HINSTANCE instance, const char* name)
{
  if (!instance || !name) return nullptr;
  void* symbol = lookUp(instance, name);
  instance->lastSymbol = symbol;
  return symbol;
}

BOOL FreeLibrary(HINSTANCE instance)
{
  if (!instance) return 0;
  WDL_MutexLock lock(&s_libraryMutex);
  if (instance->references-- <= 1)
  {
    s_loadedLibs.Delete(instance->bundle ? static_cast<void*>(instance->bundle) : instance->loader);
    if (instance->swellDllMain)
    {
      instance->swellDllMain(instance, 0, nullptr);
      if (instance->dllMain) instance->dllMain(instance, 0, nullptr);
    }
  }
  releaseLoad(instance);
  return 1;
}

void* SWELL_GetBundle(HINSTANCE instance)
{
  return instance ? instance->bundle : nullptr;
}

DWORD GetModuleFileName(HINSTANCE instance, char* buf, DWORD size)
{
  if (!buf || size == 0) return 0;
  buf[0] = 0;
  if (instance && !instance->bundle)
  {
    Dl_info info;
    if (!instance->lastSymbol || !dladdr(instance->lastSymbol, &info) || !info.dli_fname) return 0;
    return copyPath(info.dli_fname, buf, size);
  }
  return copyPath(instance ? instance->bundle->path : mainBundlePath(), buf, size);
}
