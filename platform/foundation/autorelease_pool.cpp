#include "platform/foundation/autorelease_pool.h"

#include "platform/foundation/object.h"

namespace cocoa
{
namespace
{
thread_local NSAutoreleasePool* t_innermost = nullptr;

NSAutoreleasePool& outermostPool()
{
  thread_local NSAutoreleasePool pool;
  return pool;
}
}  // namespace

NSAutoreleasePool::NSAutoreleasePool() : m_outer(t_innermost)
{
  t_innermost = this;
}

NSAutoreleasePool::~NSAutoreleasePool()
{
  drain();
  if (t_innermost == this) t_innermost = m_outer;
}

void NSAutoreleasePool::drain()
{
  // A dealloc may autorelease more objects into this same pool: keep going until empty.
  while (!m_objects.empty())
  {
    std::vector<NSObject*> batch;
    batch.swap(m_objects);
    for (NSObject* object : batch) object->release();
  }
}

void NSAutoreleasePool::addObject(NSObject* object)
{
  NSAutoreleasePool* pool = t_innermost;
  if (!pool) pool = &outermostPool();
  pool->m_objects.push_back(object);
}
}  // namespace cocoa
