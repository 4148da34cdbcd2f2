#pragma once

#include "platform/foundation/object.h"

#include <cstddef>
#include <vector>

namespace cocoa
{
// An immutable array of objects, each owned by the array. An object of its own (not a
// copy as the views' subview lists are) because its holders compare answers by identity
// before they compare contents.
class NSArray : public NSObject
{
public:
  static StrongRef<NSArray> arrayWithObjects(const std::vector<NSObject*>& objects);

  size_t count() const { return m_objects.size(); }
  NSObject* objectAtIndex(size_t index) const { return m_objects[index].get(); }
  const std::vector<StrongRef<NSObject>>& objects() const { return m_objects; }
  // The same objects in the same order.
  bool isEqualToArray(const NSArray* other) const;
  StrongRef<NSArray> arrayByAddingObject(NSObject* object) const;

private:
  explicit NSArray(std::vector<StrongRef<NSObject>> objects) : m_objects(std::move(objects)) {}

  std::vector<StrongRef<NSObject>> m_objects;
};
}  // namespace cocoa
