#include "platform/appkit/accessibility.h"

#include "platform/appkit/view.h"
#include "platform/appkit/walk.h"
#include "platform/appkit/window.h"

namespace cocoa
{
namespace
{
// Elements of other toolkits may list themselves among their own ignored children.
constexpr int kDeepestIgnoredNesting = 64;

void appendUnignored(const NSArray* elements, std::vector<StrongRef<NSObject>>& out, int depth)
{
  if (!elements) return;
  for (const StrongRef<NSObject>& object : elements->objects())
  {
    auto* element = respondsTo<NSAccessibilityElement>(object.get());
    if (!element || !element->accessibilityIsIgnored())
      out.push_back(object);
    else if (depth < kDeepestIgnoredNesting)
      appendUnignored(element->accessibilityAttributeValue(NSAccessibilityChildrenAttribute).get(), out, depth + 1);
  }
}

StrongRef<NSArray> arrayOf(const std::vector<StrongRef<NSObject>>& objects)
{
  std::vector<NSObject*> raw;
  for (const StrongRef<NSObject>& object : objects) raw.push_back(object.get());
  return NSArray::arrayWithObjects(raw);
}

}  // namespace

NSObject* NSAccessibilityAnswer(NSObject* element)
{
  if (element) element->retain()->autorelease();
  return element;
}

StrongRef<NSArray> NSAccessibilityUnignoredChildren(const NSArray* elements)
{
  std::vector<StrongRef<NSObject>> out;
  appendUnignored(elements, out, 0);
  return arrayOf(out);
}

bool NSView::accessibilityIsIgnored()
{
  return isHiddenOrHasHiddenAncestor();
}

NSObject* NSView::accessibilityHitTest(NSPoint screenPoint)
{
  if (m_hidden || !m_window) return nullptr;
  const NSPoint local = convertPointFromView(m_window->convertScreenToBase(screenPoint), nullptr);
  if (!NSMouseInRect(local, bounds(), isFlipped())) return nullptr;
  StrongRef<NSView> keep(this);
  NSObject* hit = nullptr;
  // Front to back, as the pointer meets them. The child that answers may have been the
  // walk's only holder of the answer.
  forEachSubview(
      this,
      [&hit, screenPoint](NSView* child) {
        hit = NSAccessibilityAnswer(child->accessibilityHitTest(screenPoint));
        return hit == nullptr;
      },
      WalkOrder::Backward);
  if (hit) return hit;
  // A view that a child's owner took out of the window meanwhile answers for nothing.
  if (!m_window || isRetired(this) || accessibilityIsIgnored()) return nullptr;
  return this;
}

NSObject* NSView::accessibilityFocusedUIElement()
{
  if (!accessibilityIsIgnored()) return this;
  for (NSView* v = m_superview; v; v = v->m_superview)
    if (!v->accessibilityIsIgnored()) return v;
  return m_window;
}

StrongRef<NSArray> NSView::accessibilityAttributeValue(const NSString& attribute)
{
  const bool all = attribute == NSString(NSAccessibilityChildrenAttribute);
  if (!all && attribute != NSString(NSAccessibilityVisibleChildrenAttribute)) return {};
  const NSRect shown = all ? NSRect{} : visibleRect();
  std::vector<NSObject*> children;
  for (NSView* view : m_subviews)
    if (all || (!view->isHidden() && NSIntersectsRect(view->frame(), shown))) children.push_back(view);
  return NSAccessibilityUnignoredChildren(NSArray::arrayWithObjects(children).get());
}

NSObject* NSWindow::accessibilityHitTest(NSPoint screenPoint)
{
  if (!m_visible || !NSPointInRect(screenPoint, m_frame)) return nullptr;
  StrongRef<NSWindow> keep(this);
  StrongRef<NSView> content(m_contentView);
  if (NSObject* hit = content ? content->accessibilityHitTest(screenPoint) : nullptr) return NSAccessibilityAnswer(hit);
  return this;
}

NSObject* NSWindow::accessibilityFocusedUIElement()
{
  if (auto* view = dynamic_cast<NSView*>(m_firstResponder)) return view->accessibilityFocusedUIElement();
  return this;
}

StrongRef<NSArray> NSWindow::accessibilityAttributeValue(const NSString& attribute)
{
  const bool all = attribute == NSString(NSAccessibilityChildrenAttribute);
  if (!all && attribute != NSString(NSAccessibilityVisibleChildrenAttribute)) return {};
  std::vector<NSObject*> children;
  if (m_contentView && (all || m_visible)) children.push_back(m_contentView);
  return NSAccessibilityUnignoredChildren(NSArray::arrayWithObjects(children).get());
}
}  // namespace cocoa
