#include "platform/appkit/control_drawing.h"

#include "platform/appkit/graphics_context.h"
#include "platform/appkit/theme.h"
#include "platform/graphics/cg_context.h"

#include <algorithm>

namespace cocoa
{
namespace
{
// How far a cubic control point lies along the tangent to draw a quarter circle.
constexpr CGFloat kQuarterCircle = 0.5523;

void setFill(CGContextRef context, const NSColor& c)
{
  CGContextSetRGBFillColor(context, c.redComponent(), c.greenComponent(), c.blueComponent(), c.alphaComponent());
}

void setStroke(CGContextRef context, const NSColor& c)
{
  CGContextSetRGBStrokeColor(context, c.redComponent(), c.greenComponent(), c.blueComponent(), c.alphaComponent());
}

void addRoundedRect(CGContextRef context, NSRect r, CGFloat radius)
{
  radius = std::max(0.0, std::min(radius, std::min(r.size.width, r.size.height) / 2));
  const CGFloat x0 = NSMinX(r), y0 = NSMinY(r), x1 = NSMaxX(r), y1 = NSMaxY(r);
  const CGFloat k = radius * (1 - kQuarterCircle);
  CGContextMoveToPoint(context, x0 + radius, y0);
  CGContextAddLineToPoint(context, x1 - radius, y0);
  CGContextAddCurveToPoint(context, x1 - k, y0, x1, y0 + k, x1, y0 + radius);
  CGContextAddLineToPoint(context, x1, y1 - radius);
  CGContextAddCurveToPoint(context, x1, y1 - k, x1 - k, y1, x1 - radius, y1);
  CGContextAddLineToPoint(context, x0 + radius, y1);
  CGContextAddCurveToPoint(context, x0 + k, y1, x0, y1 - k, x0, y1 - radius);
  CGContextAddLineToPoint(context, x0, y0 + radius);
  CGContextAddCurveToPoint(context, x0, y0 + k, x0 + k, y0, x0 + radius, y0);
  CGContextClosePath(context);
}
}  // namespace

void fillRoundedRect(CGContextRef context, NSRect rect, CGFloat radius, const NSColor& color)
{
  if (NSIsEmptyRect(rect) || color.alphaComponent() <= 0) return;
  setFill(context, color);
  CGContextBeginPath(context);
  addRoundedRect(context, rect, radius);
  CGContextFillPath(context);
}

void strokeRoundedRect(CGContextRef context, NSRect rect, CGFloat radius, const NSColor& color, CGFloat width)
{
  // The ring between the rectangle and its inset, filled even-odd: crisp on whole pixels.
  if (NSIsEmptyRect(rect) || color.alphaComponent() <= 0) return;
  setFill(context, color);
  CGContextBeginPath(context);
  addRoundedRect(context, rect, radius);
  addRoundedRect(context, NSInsetRect(rect, width, width), std::max(0.0, radius - width));
  CGContextEOFillPath(context);
}

void drawBezel(CGContextRef context, NSRect rect, CGFloat radius, const NSColor& face, const NSColor& border,
               bool shaded)
{
  if (shaded) fillRoundedRect(context, NSOffsetRect(rect, 0, 1), radius, controlTheme().colors.shade);
  fillRoundedRect(context, rect, radius, border);
  fillRoundedRect(context, NSInsetRect(rect, 1, 1), std::max(0.0, radius - 1), face);
}

void drawFocusRing(CGContextRef context, NSRect rect, CGFloat radius)
{
  const CGFloat width = controlTheme().metrics.focusRingWidth;
  strokeRoundedRect(context, rect, radius, controlTheme().colors.focusRing, width);
  strokeRoundedRect(context, rect, radius, controlTheme().colors.accent, 1);
}

namespace
{
// Two strokes from a to b to c, round at the joins and ends.
void strokeChevron(CGContextRef context, NSPoint a, NSPoint b, NSPoint c, const NSColor& color)
{
  setStroke(context, color);
  CGContextSetLineWidth(context, 1.5);
  CGContextSetLineCap(context, kCGLineCapRound);
  CGContextSetLineJoin(context, kCGLineJoinRound);
  CGContextBeginPath(context);
  CGContextMoveToPoint(context, a.x, a.y);
  CGContextAddLineToPoint(context, b.x, b.y);
  CGContextAddLineToPoint(context, c.x, c.y);
  CGContextStrokePath(context);
}
}  // namespace

void drawChevron(CGContextRef context, NSPoint centre, CGFloat size, bool down, const NSColor& color)
{
  const CGFloat half = size / 2 * (down ? 1 : -1);
  strokeChevron(context, NSMakePoint(centre.x - size, centre.y - half), NSMakePoint(centre.x, centre.y + half),
                NSMakePoint(centre.x + size, centre.y - half), color);
}

void drawSideChevron(CGContextRef context, NSPoint centre, CGFloat size, bool right, const NSColor& color)
{
  const CGFloat half = size / 2 * (right ? 1 : -1);
  strokeChevron(context, NSMakePoint(centre.x - half, centre.y - size), NSMakePoint(centre.x + half, centre.y),
                NSMakePoint(centre.x - half, centre.y + size), color);
}

void drawCheckMark(CGContextRef context, NSRect box, const NSColor& color)
{
  const CGFloat w = box.size.width, h = box.size.height;
  setStroke(context, color);
  CGContextSetLineWidth(context, controlTheme().metrics.checkMarkWidth);
  CGContextSetLineCap(context, kCGLineCapRound);
  CGContextSetLineJoin(context, kCGLineJoinRound);
  CGContextBeginPath(context);
  CGContextMoveToPoint(context, NSMinX(box) + w * 0.25, NSMinY(box) + h * 0.52);
  CGContextAddLineToPoint(context, NSMinX(box) + w * 0.43, NSMinY(box) + h * 0.70);
  CGContextAddLineToPoint(context, NSMinX(box) + w * 0.76, NSMinY(box) + h * 0.30);
  CGContextStrokePath(context);
}

void fillEllipse(CGContextRef context, NSRect rect, const NSColor& color)
{
  setFill(context, color);
  CGContextFillEllipseInRect(context, rect);
}

CGContextRef currentCGContext()
{
  NSGraphicsContext* graphics = NSGraphicsContext::currentContext();
  return graphics ? graphics->CGContext() : nullptr;
}

void fillRect(CGContextRef context, NSRect rect, const NSColor& color)
{
  setFill(context, color);
  CGContextFillRect(context, rect);
}
}  // namespace cocoa
