#include "platform/foundation/object.h"

#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object_registry.h"

#include <typeinfo>

namespace cocoa
{
NSObject::NSObject()
{
  detail::registerObject(this);
}

NSObject::~NSObject()
{
  detail::unregisterObject(this);
}

NSObject* NSObject::retain()
{
  if (!isLiveObject(this)) detail::reportStaleObject(this, "retain");
  m_count.fetch_add(1, std::memory_order_relaxed);
  return this;
}

void NSObject::release()
{
  if (!isLiveObject(this)) detail::reportStaleObject(this, "release");
  if (m_count.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  if (m_deallocating.exchange(true)) return;
  dealloc();
  if (const int outliving = m_count.load(std::memory_order_acquire); outliving != 0)
    detail::reportRetainedInDealloc(this, typeid(*this).name(), outliving);
  delete this;
}

NSObject* NSObject::autorelease()
{
  if (!isLiveObject(this)) detail::reportStaleObject(this, "autorelease");
  NSAutoreleasePool::addObject(this);
  return this;
}
}  // namespace cocoa
