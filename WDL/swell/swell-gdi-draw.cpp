#include "swell-gdi.h"
#include "swell-gdi-internal.h"

#include "platform/graphics/cg_context.h"

using namespace cocoa;

namespace
{
// The face colour of dialogs and windows in the layer's light theme.
constexpr int kDialogBackground = 0xECECEC;

bool canDraw(HDC dc)
{
  return isLiveContext(dc) && dc->ctx;
}

// A pen of width 0 strokes one unit wide.
float lineWidthOf(HGDIOBJ pen)
{
  return pen->wid > 0 ? static_cast<float>(pen->wid) : 1.0f;
}

// Sets up a stroke with the selected pen and starts its path; null (and nothing set) when
// the context has no pen that draws.
HGDIOBJ beginPenPath(HDC dc)
{
  if (!canDraw(dc)) return nullptr;
  HGDIOBJ pen = usablePen(dc);
  if (!pen) return nullptr;
  CGContextSetLineWidth(dc->ctx, lineWidthOf(pen));
  CGContextSetStrokeColorWithColor(dc->ctx, pen->color);
  CGContextBeginPath(dc->ctx);
  return pen;
}

void setFillColour(CGContextRef ctx, int colour)
{
  CGContextSetRGBFillColor(ctx, colourComponent(colour, 16), colourComponent(colour, 8), colourComponent(colour, 0), 1);
}

CGRect rectOf(int left, int top, int right, int bottom)
{
  return CGRectMake(left, top, right - left, bottom - top);
}

// A shape filled with the selected brush, then outlined with the selected pen, each when it
// draws; with `penWidth` the outline is the pen's width (at least 1).
void fillAndStroke(HDC dc, CGRect r, void (*fill)(CGContextRef, CGRect), void (*stroke)(CGContextRef, CGRect),
                   bool penWidth)
{
  if (!canDraw(dc)) return;
  CGContextRef ctx = dc->ctx;
  if (HGDIOBJ brush = usableBrush(dc->curbrush))
  {
    CGContextSetFillColorWithColor(ctx, brush->color);
    fill(ctx, r);
  }
  if (HGDIOBJ pen = usablePen(dc))
  {
    if (penWidth) CGContextSetLineWidth(ctx, pen->wid > 1 ? pen->wid : 1);
    CGContextSetStrokeColorWithColor(ctx, pen->color);
    stroke(ctx, r);
  }
}
}  // namespace

void MoveToEx(HDC dc, int x, int y, POINT* previous)
{
  if (!isLiveContext(dc)) return;
  if (previous)
  {
    previous->x = static_cast<int>(dc->lastpos_x);
    previous->y = static_cast<int>(dc->lastpos_y);
  }
  dc->lastpos_x = static_cast<float>(x);
  dc->lastpos_y = static_cast<float>(y);
}

void SWELL_LineTo(HDC dc, int x, int y)
{
  HGDIOBJ pen = beginPenPath(dc);
  if (!pen) return;
  // Half the width in, so a one-unit line covers whole pixels.
  const float half = lineWidthOf(pen) / 2;
  CGContextRef ctx = dc->ctx;
  CGContextMoveToPoint(ctx, dc->lastpos_x + half, dc->lastpos_y + half);
  CGContextAddLineToPoint(ctx, x + half, y + half);
  CGContextStrokePath(ctx);
  dc->lastpos_x = static_cast<float>(x);
  dc->lastpos_y = static_cast<float>(y);
}

void PolyBezierTo(HDC dc, const POINT* pts, int count)
{
  if (!pts || count < 3 || !beginPenPath(dc)) return;
  CGContextRef ctx = dc->ctx;
  CGContextMoveToPoint(ctx, dc->lastpos_x, dc->lastpos_y);
  for (int i = 0; i < count - 2; i += 3)
  {
    CGContextAddCurveToPoint(ctx, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
    dc->lastpos_x = static_cast<float>(pts[i + 2].x);
    dc->lastpos_y = static_cast<float>(pts[i + 2].y);
  }
  CGContextStrokePath(ctx);
}

void PolyPolyline(HDC dc, const POINT* pts, const unsigned* counts, int polylines)
{
  if (!pts || !counts || polylines < 1) return;
  HGDIOBJ pen = beginPenPath(dc);
  if (!pen) return;
  const float half = lineWidthOf(pen) / 2;
  CGContextRef ctx = dc->ctx;
  for (int i = 0; i < polylines; ++i)
  {
    const unsigned count = counts[i];
    if (count >= 2)
    {
      CGContextMoveToPoint(ctx, pts[0].x + half, pts[0].y + half);
      for (unsigned j = 1; j < count; ++j) CGContextAddLineToPoint(ctx, pts[j].x + half, pts[j].y + half);
    }
    pts += count;
  }
  CGContextStrokePath(ctx);
}

void SWELL_Polygon(HDC dc, const POINT* pts, int count)
{
  if (!canDraw(dc) || !pts || count < 2) return;
  HGDIOBJ pen = usablePen(dc);
  HGDIOBJ brush = usableBrush(dc->curbrush);
  if (!pen && !brush) return;
  CGContextRef ctx = dc->ctx;
  CGContextBeginPath(ctx);
  CGContextMoveToPoint(ctx, pts[0].x, pts[0].y);
  for (int i = 1; i < count; ++i) CGContextAddLineToPoint(ctx, pts[i].x, pts[i].y);
  if (brush) CGContextSetFillColorWithColor(ctx, brush->color);
  if (pen)
  {
    CGContextSetLineWidth(ctx, lineWidthOf(pen));
    CGContextSetStrokeColorWithColor(ctx, pen->color);
  }
  CGContextDrawPath(ctx, pen && brush ? kCGPathFillStroke : pen ? kCGPathStroke : kCGPathFill);
}

void Rectangle(HDC dc, int left, int top, int right, int bottom)
{
  fillAndStroke(dc, rectOf(left, top, right, bottom), CGContextFillRect, CGContextStrokeRect, true);
}

void RoundRect(HDC dc, int l, int t, int r, int b, int ellipseWidth, int ellipseHeight)
{
  const int dx = ellipseWidth / 3;
  const int dy = ellipseHeight / 3;
  const POINT corners[10] = {{l, t + dy}, {l + dx, t}, {r - dx, t}, {r, t + dy}, {r, b - dy},
                             {r - dx, b}, {l + dx, b}, {l, b - dy}, {l, t + dy}, {l + dx, t}};
  SWELL_Polygon(dc, corners, 10);
}

// The stroke keeps the context's current line width.
void Ellipse(HDC dc, int left, int top, int right, int bottom)
{
  fillAndStroke(dc, rectOf(left, top, right, bottom), CGContextFillEllipseInRect, CGContextStrokeEllipseInRect,
                false);
}

void SWELL_FillRect(HDC dc, const RECT* r, HBRUSH brush)
{
  if (!canDraw(dc) || !r || !usableBrush(brush)) return;
  CGContextSetFillColorWithColor(dc->ctx, brush->color);
  CGContextFillRect(dc->ctx, rectOf(r->left, r->top, r->right, r->bottom));
}

void SWELL_SetPixel(HDC dc, int x, int y, int colour)
{
  if (!canDraw(dc)) return;
  // The pixel's own square, so that nothing around it is touched.
  CGContextRef ctx = dc->ctx;
  CGContextSaveGState(ctx);
  setFillColour(ctx, colour);
  CGContextFillRect(ctx, CGRectMake(x, y, 1, 1));
  CGContextRestoreGState(ctx);
}

void SWELL_FillDialogBackground(HDC dc, const RECT* r, int)
{
  if (!canDraw(dc) || !r) return;
  CGContextSaveGState(dc->ctx);
  setFillColour(dc->ctx, kDialogBackground);
  CGContextFillRect(dc->ctx, rectOf(r->left, r->top, r->right, r->bottom));
  CGContextRestoreGState(dc->ctx);
}
