#include "platform/foundation/object_registry.h"

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
}  // namespace detail
}  // namespace cocoa
