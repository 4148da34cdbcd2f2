#include "platform/foundation/geometry.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
bool NSIsEmptyRect(const NSRect& r)
{
  return !(r.size.width > 0 && r.size.height > 0);
}

bool NSPointInRect(const NSPoint& p, const NSRect& r)
{
  return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
}

bool NSMouseInRect(const NSPoint& p, const NSRect& r, bool flipped)
{
  if (p.x < NSMinX(r) || p.x >= NSMaxX(r)) return false;
  if (flipped) return p.y >= NSMinY(r) && p.y < NSMaxY(r);
  return p.y > NSMinY(r) && p.y <= NSMaxY(r);
}

bool NSIntersectsRect(const NSRect& a, const NSRect& b)
{
  return !NSIsEmptyRect(NSIntersectionRect(a, b));
}

bool NSContainsRect(const NSRect& outer, const NSRect& inner)
{
  return !NSIsEmptyRect(inner) && NSMinX(inner) >= NSMinX(outer) && NSMaxX(inner) <= NSMaxX(outer) &&
         NSMinY(inner) >= NSMinY(outer) && NSMaxY(inner) <= NSMaxY(outer);
}

NSRect NSIntersectionRect(const NSRect& a, const NSRect& b)
{
  const CGFloat x0 = std::max(NSMinX(a), NSMinX(b));
  const CGFloat y0 = std::max(NSMinY(a), NSMinY(b));
  const CGFloat x1 = std::min(NSMaxX(a), NSMaxX(b));
  const CGFloat y1 = std::min(NSMaxY(a), NSMaxY(b));
  if (x1 <= x0 || y1 <= y0) return NSRect{};
  return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

NSRect NSUnionRect(const NSRect& a, const NSRect& b)
{
  // Cocoa's rule: an empty side is ignored, and two empty sides make the zero rectangle
  // (not whichever came second), so the order of the operands never matters.
  if (NSIsEmptyRect(a)) return NSIsEmptyRect(b) ? NSRect{} : b;
  if (NSIsEmptyRect(b)) return a;
  const CGFloat x0 = std::min(NSMinX(a), NSMinX(b));
  const CGFloat y0 = std::min(NSMinY(a), NSMinY(b));
  const CGFloat x1 = std::max(NSMaxX(a), NSMaxX(b));
  const CGFloat y1 = std::max(NSMaxY(a), NSMaxY(b));
  return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

NSRect NSOffsetRect(const NSRect& r, CGFloat dx, CGFloat dy)
{
  return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height);
}

NSRect NSInsetRect(const NSRect& r, CGFloat dx, CGFloat dy)
{
  return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy);
}

NSRect NSIntegralRect(const NSRect& r)
{
  if (NSIsEmptyRect(r)) return NSRect{};
  const CGFloat x0 = std::floor(NSMinX(r));
  const CGFloat y0 = std::floor(NSMinY(r));
  return NSMakeRect(x0, y0, std::ceil(NSMaxX(r)) - x0, std::ceil(NSMaxY(r)) - y0);
}
}  // namespace cocoa
