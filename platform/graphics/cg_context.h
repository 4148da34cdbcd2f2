#pragma once

#include "platform/graphics/cg_types.h"

namespace cocoa
{
// Colour spaces: device RGB is the only one; the object exists because callers pass it.
CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
void CGColorSpaceRelease(CGColorSpaceRef space);

// Colours: red, green, blue and alpha, each 0..1.
CGColorRef CGColorCreateGenericRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
CGColorRef CGColorCreate(CGColorSpaceRef space, const CGFloat components[4]);
CGColorRef CGColorRetain(CGColorRef color);
void CGColorRelease(CGColorRef color);
const CGFloat* CGColorGetComponents(CGColorRef color);
CGFloat CGColorGetAlpha(CGColorRef color);

// A context drawing into memory, y up from the bottom row like Quartz. With data null the
// context allocates its own zeroed pixels; otherwise it draws straight into the caller's
// buffer, which must outlive it. Answers null for layouts other than 8 bits per component
// in 32-bit little-endian words (XRGB or premultiplied ARGB) and for rows not a multiple
// of 4 bytes.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo);
void* CGBitmapContextGetData(CGContextRef context);
size_t CGBitmapContextGetWidth(CGContextRef context);
size_t CGBitmapContextGetHeight(CGContextRef context);
size_t CGBitmapContextGetBytesPerRow(CGContextRef context);
CGContextRef CGContextRetain(CGContextRef context);
void CGContextRelease(CGContextRef context);
// Makes drawing that went straight into the pixels visible to the context again.
void CGContextSynchronize(CGContextRef context);

// State. Colours, line settings, anti-aliasing, interpolation, the transform and the clip
// are saved and restored together; the path, the text matrix and position are not.
void CGContextSaveGState(CGContextRef context);
void CGContextRestoreGState(CGContextRef context);
void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy);
void CGContextConcatCTM(CGContextRef context, CGAffineTransform transform);
// From user space to the context's pixels (y down from the top row).
CGAffineTransform CGContextGetCTM(CGContextRef context);
void CGContextSetRGBFillColor(CGContextRef context, CGFloat r, CGFloat g, CGFloat b, CGFloat a);
void CGContextSetRGBStrokeColor(CGContextRef context, CGFloat r, CGFloat g, CGFloat b, CGFloat a);
void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color);
void CGContextSetStrokeColorWithColor(CGContextRef context, CGColorRef color);
void CGContextSetLineWidth(CGContextRef context, CGFloat width);
void CGContextSetLineCap(CGContextRef context, CGLineCap cap);
void CGContextSetLineJoin(CGContextRef context, CGLineJoin join);
// Anti-aliasing is on in a new context.
void CGContextSetShouldAntialias(CGContextRef context, bool antialias);
void CGContextSetAllowsAntialiasing(CGContextRef context, bool allows);
void CGContextSetInterpolationQuality(CGContextRef context, CGInterpolationQuality quality);

// Paths, in the user space in force when each segment is added.
void CGContextBeginPath(CGContextRef context);
void CGContextMoveToPoint(CGContextRef context, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(CGContextRef context, CGFloat x, CGFloat y);
void CGContextAddCurveToPoint(CGContextRef context, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y,
                              CGFloat x, CGFloat y);
void CGContextAddRect(CGContextRef context, CGRect rect);
void CGContextAddEllipseInRect(CGContextRef context, CGRect rect);
void CGContextClosePath(CGContextRef context);
void CGContextFillPath(CGContextRef context);
void CGContextEOFillPath(CGContextRef context);
void CGContextStrokePath(CGContextRef context);
void CGContextDrawPath(CGContextRef context, CGPathDrawingMode mode);
void CGContextFillRect(CGContextRef context, CGRect rect);
void CGContextStrokeRect(CGContextRef context, CGRect rect);
void CGContextFillEllipseInRect(CGContextRef context, CGRect rect);
void CGContextStrokeEllipseInRect(CGContextRef context, CGRect rect);

// Clipping only ever narrows; restoring the state widens it again.
void CGContextClipToRect(CGContextRef context, CGRect rect);
void CGContextClip(CGContextRef context);
CGRect CGContextGetClipBoundingBox(CGContextRef context);

// Text placement, read by the text drawing.
void CGContextSetTextMatrix(CGContextRef context, CGAffineTransform matrix);
CGAffineTransform CGContextGetTextMatrix(CGContextRef context);
void CGContextSetTextPosition(CGContextRef context, CGFloat x, CGFloat y);
CGPoint CGContextGetTextPosition(CGContextRef context);
}  // namespace cocoa
