#include "platform/foundation/object_registry.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_set>

namespace cocoa
{
namespace
{
struct Registry
{
  std::mutex mutex;
  std::unordered_set<const void*> live;
};

// Never destroyed: objects released by static destructors at exit still find it.
Registry& registry()
{
  static Registry* instance = new Registry;
  return *instance;
}
}  // namespace

bool isLiveObject(const void* object)
{
  if (!object) return false;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.live.count(object) != 0;
}

size_t liveObjectCount()
{
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.live.size();
}

namespace detail
{
void registerObject(const void* object)
{
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live.insert(object);
}

void unregisterObject(const void* object)
{
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live.erase(object);
}

void reportStaleObject(const void* object, const char* operation)
{
  std::fprintf(stderr, "platform: %s of an object that no longer exists (%p)\n", operation, object);
  std::abort();
}

void reportRetainedInDealloc(const void* object, const char* mangledClassName, int retains)
{
  int status = 0;
  char* readable = abi::__cxa_demangle(mangledClassName, nullptr, nullptr, &status);
  std::fprintf(stderr, "platform: a %s (%p) was retained %d time(s) during its dealloc and is freed anyway\n",
               status == 0 && readable ? readable : mangledClassName, object, retains);
  std::free(readable);
  std::abort();
}
}  // namespace detail
}  // namespace cocoa
