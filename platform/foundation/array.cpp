#include "platform/foundation/array.h"

namespace cocoa
{
StrongRef<NSArray> NSArray::arrayWithObjects(const std::vector<NSObject*>& objects)
{
  return StrongRef<NSArray>::adopt(new NSArray(std::vector<StrongRef<NSObject>>(objects.begin(), objects.end())));
}

bool NSArray::isEqualToArray(const NSArray* other) const
{
  return other && other->m_objects == m_objects;
}

StrongRef<NSArray> NSArray::arrayByAddingObject(NSObject* object) const
{
  std::vector<StrongRef<NSObject>> objects = m_objects;
  objects.emplace_back(object);
  return StrongRef<NSArray>::adopt(new NSArray(std::move(objects)));
}
}  // namespace cocoa
