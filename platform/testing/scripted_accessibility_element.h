#pragma once

#include "platform/appkit/accessibility.h"

#include <vector>

namespace cocoa
{
// An element of another toolkit for tests: it answers what the test sets.
class ScriptedAccessibilityElement : public NSObject, public NSAccessibilityElement
{
public:
  static StrongRef<ScriptedAccessibilityElement> make()
  {
    return StrongRef<ScriptedAccessibilityElement>::adopt(new ScriptedAccessibilityElement);
  }
  bool accessibilityIsIgnored() override { return ignored; }
  NSObject* accessibilityHitTest(NSPoint) override { return hit; }
  NSObject* accessibilityFocusedUIElement() override { return focused; }
  StrongRef<NSArray> accessibilityAttributeValue(const NSString& attribute) override
  {
    return attribute == NSString(NSAccessibilityChildrenAttribute) ? children : StrongRef<NSArray>();
  }

  bool ignored = false;
  NSObject* hit = nullptr;
  NSObject* focused = nullptr;
  StrongRef<NSArray> children;
};

// The objects of an answer, in order; none for no answer.
inline std::vector<NSObject*> objectsOf(const StrongRef<NSArray>& array)
{
  std::vector<NSObject*> objects;
  if (array)
    for (const StrongRef<NSObject>& object : array->objects()) objects.push_back(object.get());
  return objects;
}
}  // namespace cocoa
