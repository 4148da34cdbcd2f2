// What a window view tells an assistive application, with the element its window
// procedure may offer in its place.

#include "swell-wnd-messages.h"
#include "swell-wnd-view.h"

#include "platform/appkit/window.h"

using namespace cocoa;

namespace
{
NSAccessibilityElement* asElement(NSObject* object)
{
  return respondsTo<NSAccessibilityElement>(object);
}

bool sameList(const NSArray* cached, const NSArray* now)
{
  return cached == now || (cached && cached->isEqualToArray(now));
}
}  // namespace

// An object that answers no accessibility question counts as none.
NSObject* Swell_vVorna_hwnd::accessibilityElementFromProcedure()
{
  NSObject* element = nullptr;
  onSwellMessage(WM_GETOBJECT, kAccessibilityObjectId, reinterpret_cast<LPARAM>(&element));
  return asElement(element) ? element : nullptr;
}

// The element answers only for points inside the view: a parent asks its children in turn
// and takes the first answer.
NSObject* Swell_vVorna_hwnd::accessibilityHitTest(NSPoint screenPoint)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  if (!holdsScreenPoint(screenPoint)) return nullptr;
  if (StrongRef<NSObject> element{accessibilityElementFromProcedure()})
  {
    NSObject* hit = NSAccessibilityAnswer(asElement(element.get())->accessibilityHitTest(screenPoint));
    if (hit && hit != element.get()) return hit;
    if (!asElement(element.get())->accessibilityIsIgnored()) return NSAccessibilityAnswer(element.get());
  }
  return NSView::accessibilityHitTest(screenPoint);
}

bool Swell_vVorna_hwnd::holdsScreenPoint(NSPoint screenPoint) const
{
  if (isHidden() || !window()) return false;
  const NSPoint local = convertPointFromView(window()->convertScreenToBase(screenPoint), nullptr);
  return NSMouseInRect(local, bounds(), isFlipped());
}

NSObject* Swell_vVorna_hwnd::accessibilityFocusedUIElement()
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  if (StrongRef<NSObject> element{accessibilityElementFromProcedure()})
  {
    NSObject* focused = asElement(element.get())->accessibilityFocusedUIElement();
    if (focused && focused != element.get()) return focused;
  }
  return NSView::accessibilityFocusedUIElement();
}

StrongRef<NSArray> Swell_vVorna_hwnd::accessibilityAttributeValue(const NSString& attribute)
{
  const bool visible = attribute == NSString(NSAccessibilityVisibleChildrenAttribute);
  if (!visible && attribute != NSString(NSAccessibilityChildrenAttribute))
    return NSView::accessibilityAttributeValue(attribute);
  StrongRef<Swell_vVorna_hwnd> keep(this);
  StrongRef<NSArray> superclassValue = NSView::accessibilityAttributeValue(attribute);
  AccessibilityCache& cache = m_access_cacheptrs[visible ? 1 : 0];
  StrongRef<NSObject> element(accessibilityElementFromProcedure());
  if (!element)
  {
    cache = AccessibilityCache();
    return superclassValue;
  }
  if (cache.result && cache.element == element && sameList(cache.superclassValue.get(), superclassValue.get()))
    return cache.result;
  StrongRef<NSArray> withElement = superclassValue ? superclassValue->arrayByAddingObject(element.get())
                                                   : NSArray::arrayWithObjects({element.get()});
  cache = AccessibilityCache{NSAccessibilityUnignoredChildren(withElement.get()), superclassValue, element};
  return cache.result;
}

bool Swell_vVorna_hwnd::accessibilityIsIgnored()
{
  if (subviews().empty() && accessibilityElementFromProcedure()) return true;
  return NSView::accessibilityIsIgnored();
}
