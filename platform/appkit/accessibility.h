#pragma once

#include "platform/foundation/array.h"
#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"

namespace cocoa
{
// The array-valued attributes the platform answers.
inline constexpr const char* NSAccessibilityChildrenAttribute = "AXChildren";
inline constexpr const char* NSAccessibilityVisibleChildrenAttribute = "AXVisibleChildren";

// What an assistive application would ask of an element of the user interface. Views and
// windows answer; so may any object a window offers in their place. No desktop bridge
// (AT-SPI) asks on Linux yet: these answers are the model such a bridge would read.
class NSAccessibilityElement
{
public:
  // An ignored element is skipped: its unignored children stand in for it.
  virtual bool accessibilityIsIgnored() = 0;
  // The deepest unignored element under a point in screen coordinates; null when the point
  // is outside, or nothing there is unignored.
  virtual NSObject* accessibilityHitTest(NSPoint screenPoint) = 0;
  // The unignored element that has the keyboard focus, as far as this one knows.
  virtual NSObject* accessibilityFocusedUIElement() = 0;
  // Null for an attribute the element does not answer.
  virtual StrongRef<NSArray> accessibilityAttributeValue(const NSString& attribute) = 0;

protected:
  ~NSAccessibilityElement() = default;
};

// The elements in order, each ignored one replaced by its own unignored children (their
// children attribute, itself filtered so). Objects that answer no accessibility question
// are kept as they are.
StrongRef<NSArray> NSAccessibilityUnignoredChildren(const NSArray* elements);

// An element handed out as an answer (a hit test's) stays alive until the autorelease pool
// drains, as Cocoa's answers do, whatever becomes of the views that found it.
NSObject* NSAccessibilityAnswer(NSObject* element);
}  // namespace cocoa
