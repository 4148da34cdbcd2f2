#pragma once

#include <vector>

namespace cocoa
{
class NSObject;

// A scope that owns the objects autoreleased while it is the innermost one, and releases
// them when it ends. Pools nest per thread; objects autoreleased with no pool open go to
// the thread's outermost pool, emptied when the thread ends.
class NSAutoreleasePool
{
public:
  NSAutoreleasePool();
  ~NSAutoreleasePool();
  NSAutoreleasePool(const NSAutoreleasePool&) = delete;
  NSAutoreleasePool& operator=(const NSAutoreleasePool&) = delete;

  void drain();
  static void addObject(NSObject* object);

private:
  std::vector<NSObject*> m_objects;
  NSAutoreleasePool* m_outer;
};
}  // namespace cocoa
