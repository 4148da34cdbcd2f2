#include "platform/graphics/cg_context.h"

#include "platform/graphics/cg_internal.h"

#include <cmath>
#include <cstdlib>

namespace cocoa
{
namespace
{
bool usable(CGContextRef c)
{
  return c && c->cr;
}

void fillPreserving(CGContextRef c, bool evenOdd, bool keepPath)
{
  cairo_set_fill_rule(c->cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  setSourceColor(c->cr, c->state.fill);
  keepPath ? cairo_fill_preserve(c->cr) : cairo_fill(c->cr);
}

void stroke(CGContextRef c)
{
  setSourceColor(c->cr, c->state.stroke);
  cairo_stroke(c->cr);
}

void addEllipse(cairo_t* cr, CGRect r)
{
  if (NSIsEmptyRect(r)) return;
  cairo_save(cr);
  cairo_translate(cr, r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2);
  cairo_scale(cr, r.size.width / 2, r.size.height / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}
}  // namespace

bool cairoFormatFor(uint32_t bitmapInfo, cairo_format_t* format)
{
  if ((bitmapInfo & kCGBitmapByteOrderMask) != kCGBitmapByteOrder32Little) return false;
  switch (bitmapInfo & kCGBitmapAlphaInfoMask)
  {
  case kCGImageAlphaNoneSkipFirst:
    *format = CAIRO_FORMAT_RGB24;
    return true;
  case kCGImageAlphaPremultipliedFirst:
    *format = CAIRO_FORMAT_ARGB32;
    return true;
  default:
    return false;
  }
}

void setSourceColor(cairo_t* cr, const RGBA& color)
{
  cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
}

void CGContext::applyAntialias()
{
  cairo_set_antialias(cr, state.antialias && allowsAntialiasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CGContext::dealloc()
{
  if (cr) cairo_destroy(cr);
  if (surface) cairo_surface_destroy(surface);
  std::free(ownedPixels);
}

CGColorSpaceRef CGColorSpaceCreateDeviceRGB()
{
  return new CGColorSpace;
}

void CGColorSpaceRelease(CGColorSpaceRef space)
{
  if (space) space->release();
}

CGColorRef CGColorCreateGenericRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
  CGColor* color = new CGColor;
  color->components[0] = red;
  color->components[1] = green;
  color->components[2] = blue;
  color->components[3] = alpha;
  return color;
}

CGColorRef CGColorCreate(CGColorSpaceRef, const CGFloat components[4])
{
  if (!components) return nullptr;
  return CGColorCreateGenericRGB(components[0], components[1], components[2], components[3]);
}

CGColorRef CGColorRetain(CGColorRef color)
{
  if (color) color->retain();
  return color;
}

void CGColorRelease(CGColorRef color)
{
  if (color) color->release();
}

const CGFloat* CGColorGetComponents(CGColorRef color)
{
  return color ? color->components : nullptr;
}

CGFloat CGColorGetAlpha(CGColorRef color)
{
  return color ? color->components[3] : 0;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef, uint32_t bitmapInfo)
{
  cairo_format_t format;
  if (bitsPerComponent != 8 || !cairoFormatFor(bitmapInfo, &format)) return nullptr;
  if (width == 0 || height == 0 || width > 32767 || height > 32767) return nullptr;
  if (bytesPerRow == 0) bytesPerRow = width * 4;
  if (bytesPerRow < width * 4 || bytesPerRow % 4 != 0) return nullptr;

  void* owned = nullptr;
  if (!data)
  {
    owned = std::calloc(bytesPerRow, height);
    if (!owned) return nullptr;
    data = owned;
  }
  cairo_surface_t* surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(data), format,
                                                                 static_cast<int>(width), static_cast<int>(height),
                                                                 static_cast<int>(bytesPerRow));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
  {
    cairo_surface_destroy(surface);
    std::free(owned);
    return nullptr;
  }
  CGContext* context = new CGContext;
  context->surface = surface;
  context->cr = cairo_create(surface);
  context->ownedPixels = owned;
  context->pixels = data;
  context->width = width;
  context->height = height;
  context->bytesPerRow = bytesPerRow;
  // Quartz puts the origin at the bottom row with y growing upward.
  cairo_translate(context->cr, 0, static_cast<double>(height));
  cairo_scale(context->cr, 1, -1);
  cairo_set_line_width(context->cr, 1);
  context->applyAntialias();
  return context;
}

void* CGBitmapContextGetData(CGContextRef c)
{
  if (!usable(c)) return nullptr;
  cairo_surface_flush(c->surface);
  return c->pixels;
}

size_t CGBitmapContextGetWidth(CGContextRef c) { return c ? c->width : 0; }
size_t CGBitmapContextGetHeight(CGContextRef c) { return c ? c->height : 0; }
size_t CGBitmapContextGetBytesPerRow(CGContextRef c) { return c ? c->bytesPerRow : 0; }

CGContextRef CGContextRetain(CGContextRef c)
{
  if (c) c->retain();
  return c;
}

void CGContextRelease(CGContextRef c)
{
  if (c) c->release();
}

void CGContextSynchronize(CGContextRef c)
{
  if (usable(c)) cairo_surface_mark_dirty(c->surface);
}

void CGContextSaveGState(CGContextRef c)
{
  if (!usable(c)) return;
  c->savedStates.push_back(c->state);
  cairo_save(c->cr);
}

void CGContextRestoreGState(CGContextRef c)
{
  // An unbalanced restore is ignored rather than unwinding past the context's own state.
  if (!usable(c) || c->savedStates.empty()) return;
  c->state = c->savedStates.back();
  c->savedStates.pop_back();
  cairo_restore(c->cr);
}

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty)
{
  if (usable(c)) cairo_translate(c->cr, tx, ty);
}

void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy)
{
  if (usable(c) && sx != 0 && sy != 0) cairo_scale(c->cr, sx, sy);
}

void CGContextConcatCTM(CGContextRef c, CGAffineTransform t)
{
  if (!usable(c)) return;
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS) return;  // a singular transform draws nothing
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  cairo_transform(c->cr, &m);
}

CGAffineTransform CGContextGetCTM(CGContextRef c)
{
  if (!usable(c)) return CGAffineTransformIdentity;
  cairo_matrix_t m;
  cairo_get_matrix(c->cr, &m);
  return CGAffineTransformMake(m.xx, m.yx, m.xy, m.yy, m.x0, m.y0);
}

void CGContextSetRGBFillColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
  if (c) c->state.fill = {r, g, b, a};
}

void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
  if (c) c->state.stroke = {r, g, b, a};
}

void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color)
{
  if (c && color)
    c->state.fill = {color->components[0], color->components[1], color->components[2], color->components[3]};
}

void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color)
{
  if (c && color)
    c->state.stroke = {color->components[0], color->components[1], color->components[2], color->components[3]};
}

void CGContextSetLineWidth(CGContextRef c, CGFloat width)
{
  if (usable(c) && width >= 0) cairo_set_line_width(c->cr, width);
}

void CGContextSetLineCap(CGContextRef c, CGLineCap cap)
{
  if (!usable(c)) return;
  cairo_set_line_cap(c->cr, cap == kCGLineCapRound    ? CAIRO_LINE_CAP_ROUND
                            : cap == kCGLineCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                      : CAIRO_LINE_CAP_BUTT);
}

void CGContextSetLineJoin(CGContextRef c, CGLineJoin join)
{
  if (!usable(c)) return;
  cairo_set_line_join(c->cr, join == kCGLineJoinRound   ? CAIRO_LINE_JOIN_ROUND
                             : join == kCGLineJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                        : CAIRO_LINE_JOIN_MITER);
}

void CGContextSetShouldAntialias(CGContextRef c, bool antialias)
{
  if (!usable(c)) return;
  c->state.antialias = antialias;
  c->applyAntialias();
}

void CGContextSetAllowsAntialiasing(CGContextRef c, bool allows)
{
  if (!usable(c)) return;
  c->allowsAntialiasing = allows;
  c->applyAntialias();
}

void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality quality)
{
  if (c) c->state.interpolation = quality;
}

void CGContextBeginPath(CGContextRef c)
{
  if (usable(c)) cairo_new_path(c->cr);
}

void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y)
{
  if (usable(c)) cairo_move_to(c->cr, x, y);
}

void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y)
{
  if (usable(c)) cairo_line_to(c->cr, x, y);
}

void CGContextAddCurveToPoint(CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
                              CGFloat y)
{
  if (usable(c)) cairo_curve_to(c->cr, cp1x, cp1y, cp2x, cp2y, x, y);
}

void CGContextAddRect(CGContextRef c, CGRect r)
{
  if (usable(c)) cairo_rectangle(c->cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
}

void CGContextAddEllipseInRect(CGContextRef c, CGRect r)
{
  if (usable(c)) addEllipse(c->cr, r);
}

void CGContextClosePath(CGContextRef c)
{
  if (usable(c)) cairo_close_path(c->cr);
}

void CGContextFillPath(CGContextRef c)
{
  if (usable(c)) fillPreserving(c, false, false);
}

void CGContextEOFillPath(CGContextRef c)
{
  if (usable(c)) fillPreserving(c, true, false);
}

void CGContextStrokePath(CGContextRef c)
{
  if (usable(c)) stroke(c);
}

void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode)
{
  if (!usable(c)) return;
  switch (mode)
  {
  case kCGPathFill: fillPreserving(c, false, false); break;
  case kCGPathEOFill: fillPreserving(c, true, false); break;
  case kCGPathStroke: stroke(c); break;
  case kCGPathFillStroke:
    fillPreserving(c, false, true);
    stroke(c);
    break;
  case kCGPathEOFillStroke:
    fillPreserving(c, true, true);
    stroke(c);
    break;
  }
}

void CGContextFillRect(CGContextRef c, CGRect r)
{
  if (!usable(c)) return;
  cairo_new_path(c->cr);
  cairo_rectangle(c->cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
  fillPreserving(c, false, false);
}

void CGContextStrokeRect(CGContextRef c, CGRect r)
{
  if (!usable(c)) return;
  cairo_new_path(c->cr);
  cairo_rectangle(c->cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
  stroke(c);
}

void CGContextFillEllipseInRect(CGContextRef c, CGRect r)
{
  if (!usable(c)) return;
  cairo_new_path(c->cr);
  addEllipse(c->cr, r);
  fillPreserving(c, false, false);
}

void CGContextStrokeEllipseInRect(CGContextRef c, CGRect r)
{
  if (!usable(c)) return;
  cairo_new_path(c->cr);
  addEllipse(c->cr, r);
  stroke(c);
}

void CGContextClipToRect(CGContextRef c, CGRect r)
{
  if (!usable(c)) return;
  cairo_new_path(c->cr);
  cairo_rectangle(c->cr, r.origin.x, r.origin.y, std::max(0.0, r.size.width), std::max(0.0, r.size.height));
  cairo_clip(c->cr);
}

void CGContextClip(CGContextRef c)
{
  if (usable(c)) cairo_clip(c->cr);
}

CGRect CGContextGetClipBoundingBox(CGContextRef c)
{
  if (!usable(c)) return CGRect{};
  double x0, y0, x1, y1;
  cairo_clip_extents(c->cr, &x0, &y0, &x1, &y1);
  return CGRectMake(std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
}

void CGContextSetTextMatrix(CGContextRef c, CGAffineTransform matrix)
{
  if (c) c->textMatrix = matrix;
}

CGAffineTransform CGContextGetTextMatrix(CGContextRef c)
{
  return c ? c->textMatrix : CGAffineTransformIdentity;
}

void CGContextSetTextPosition(CGContextRef c, CGFloat x, CGFloat y)
{
  if (c) c->textPosition = CGPointMake(x, y);
}

CGPoint CGContextGetTextPosition(CGContextRef c)
{
  return c ? c->textPosition : CGPoint{};
}
}  // namespace cocoa
