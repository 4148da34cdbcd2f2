#pragma once

#include "platform/appkit/color.h"
#include "platform/foundation/geometry.h"
#include "platform/graphics/cg_types.h"

namespace cocoa
{
// The shapes the native controls are drawn from, in a y-down user space (the controls'
// own flipped coordinates). Colours come from the control theme.
void fillRoundedRect(CGContextRef context, NSRect rect, CGFloat radius, const NSColor& color);
// A line of the width just inside the rectangle's edge.
void strokeRoundedRect(CGContextRef context, NSRect rect, CGFloat radius, const NSColor& color, CGFloat width);
// A raised face: a soft shade below, a one-unit border, the face inside.
void drawBezel(CGContextRef context, NSRect rect, CGFloat radius, const NSColor& face, const NSColor& border,
               bool shaded);
// The keyboard focus: an accent ring just inside the rectangle's edge (a view draws only
// within its bounds, so the ring cannot lie outside as Cocoa's does).
void drawFocusRing(CGContextRef context, NSRect rect, CGFloat radius);
// A chevron pointing down (or up) with its middle at the centre.
void drawChevron(CGContextRef context, NSPoint centre, CGFloat size, bool down, const NSColor& color);
// A chevron pointing right (or left) with its middle at the centre.
void drawSideChevron(CGContextRef context, NSPoint centre, CGFloat size, bool right, const NSColor& color);
// A tick filling a check box's square.
void drawCheckMark(CGContextRef context, NSRect box, const NSColor& color);
void fillEllipse(CGContextRef context, NSRect rect, const NSColor& color);
// The context of the drawing under way (null outside drawing).
CGContextRef currentCGContext();
void fillRect(CGContextRef context, NSRect rect, const NSColor& color);
}  // namespace cocoa
