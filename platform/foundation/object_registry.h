#pragma once

#include <cstddef>

namespace cocoa
{
// Every live platform object is listed here from construction to destruction, so that a
// handle kept past its object's life is caught instead of being used.
bool isLiveObject(const void* object);
size_t liveObjectCount();

namespace detail
{
void registerObject(const void* object);
void unregisterObject(const void* object);
// Stops the process with a message naming the stale handle and what was tried with it.
[[noreturn]] void reportStaleObject(const void* object, const char* operation);
// Stops the process: dealloc took ownerships it did not give back, so someone holds a
// pointer to an object about to be freed.
[[noreturn]] void reportRetainedInDealloc(const void* object, const char* mangledClassName, int retains);
}  // namespace detail
}  // namespace cocoa
