#pragma once

namespace cocoa
{
using CGFloat = double;
using NSInteger = long;
using NSUInteger = unsigned long;

struct NSPoint
{
  CGFloat x = 0;
  CGFloat y = 0;
  bool operator==(const NSPoint&) const = default;
};

struct NSSize
{
  CGFloat width = 0;
  CGFloat height = 0;
  bool operator==(const NSSize&) const = default;
};

struct NSRect
{
  NSPoint origin;
  NSSize size;
  bool operator==(const NSRect&) const = default;
};

using CGPoint = NSPoint;
using CGSize = NSSize;
using CGRect = NSRect;

inline NSPoint NSMakePoint(CGFloat x, CGFloat y) { return {x, y}; }
inline NSSize NSMakeSize(CGFloat w, CGFloat h) { return {w, h}; }
inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }
inline CGPoint CGPointMake(CGFloat x, CGFloat y) { return {x, y}; }
inline CGSize CGSizeMake(CGFloat w, CGFloat h) { return {w, h}; }
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }

inline CGFloat NSMinX(const NSRect& r) { return r.origin.x; }
inline CGFloat NSMinY(const NSRect& r) { return r.origin.y; }
inline CGFloat NSMaxX(const NSRect& r) { return r.origin.x + r.size.width; }
inline CGFloat NSMaxY(const NSRect& r) { return r.origin.y + r.size.height; }
inline CGFloat NSMidX(const NSRect& r) { return r.origin.x + r.size.width / 2; }
inline CGFloat NSMidY(const NSRect& r) { return r.origin.y + r.size.height / 2; }
inline CGFloat NSWidth(const NSRect& r) { return r.size.width; }
inline CGFloat NSHeight(const NSRect& r) { return r.size.height; }

bool NSIsEmptyRect(const NSRect& r);
// Cocoa's rule for a point in a rectangle: left and bottom edges in, right and top out.
bool NSPointInRect(const NSPoint& p, const NSRect& r);
// The mouse rule: in a flipped system the top edge is in and the bottom edge out, in an
// unflipped one the reverse, so a pixel row belongs to exactly one side of an edge.
bool NSMouseInRect(const NSPoint& p, const NSRect& r, bool flipped);
bool NSIntersectsRect(const NSRect& a, const NSRect& b);
bool NSContainsRect(const NSRect& outer, const NSRect& inner);
NSRect NSIntersectionRect(const NSRect& a, const NSRect& b);
// The union ignores empty rectangles; two empty ones give the zero rectangle.
NSRect NSUnionRect(const NSRect& a, const NSRect& b);
NSRect NSOffsetRect(const NSRect& r, CGFloat dx, CGFloat dy);
NSRect NSInsetRect(const NSRect& r, CGFloat dx, CGFloat dy);
// The smallest rectangle on whole numbers that holds r.
NSRect NSIntegralRect(const NSRect& r);
}  // namespace cocoa
