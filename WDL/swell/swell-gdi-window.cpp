#include "swell-gdi.h"
#include "swell-gdi-internal.h"
#include "swell-paint-info.h"

#include "platform/appkit/graphics_context.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/graphics/cg_context.h"

using namespace cocoa;

namespace
{
constexpr int kFirstVersionWithBackingScale = 0x1070;

NSObject* objectOf(HWND hwnd)
{
  return reinterpret_cast<NSObject*>(hwnd);
}

// A window stands for its content view.
NSView* viewOf(HWND hwnd)
{
  NSObject* object = objectOf(hwnd);
  if (!object) return nullptr;
  if (auto* window = dynamic_cast<NSWindow*>(object)) return window->contentView();
  return dynamic_cast<NSView*>(object);
}

// The context of a paint in progress in the window or its content view, or null.
HDC paintContextOf(HWND hwnd)
{
  for (NSObject* object : {objectOf(hwnd), static_cast<NSObject*>(viewOf(hwnd))})
    if (auto* source = respondsTo<SWELL_PaintInfoSource>(object))
    {
      PAINTSTRUCT ps = {};
      if (source->getSwellPaintInfo(&ps) && isLiveContext(ps.hdc) && ps.hdc->ctx) return ps.hdc;
    }
  return nullptr;
}
}  // namespace

HDC GetDC(HWND hwnd)
{
  NSView* view = viewOf(hwnd);
  if (!view) return nullptr;
  if (HDC paint = paintContextOf(hwnd))
  {
    CGContextSaveGState(paint->ctx);
    return paint;
  }
  if (!view->lockFocusIfCanDraw()) return nullptr;
  HDC dc = SWELL_CreateGfxContext(NSGraphicsContext::currentContext());
  if (!dc)
  {
    view->unlockFocus();
    return nullptr;
  }
  CGContextSaveGState(dc->ctx);
  return dc;
}

HDC GetWindowDC(HWND hwnd)
{
  HDC dc = GetDC(hwnd);
  NSView* view = viewOf(hwnd);
  if (dc && view)
  {
    const NSPoint origin = view->bounds().origin;
    if (origin.x != 0 || origin.y != 0) CGContextTranslateCTM(dc->ctx, origin.x, origin.y);
  }
  return dc;
}

void ReleaseDC(HWND hwnd, HDC dc)
{
  if (!isLiveContext(dc) || !dc->ctx) return;
  CGContextRestoreGState(dc->ctx);
  if (dc == paintContextOf(hwnd)) return;
  SWELL_DeleteGfxContext(dc);
  if (NSView* view = viewOf(hwnd)) view->unlockFocus();
}

bool SWELL_IsRetinaHWND(HWND hwnd)
{
  if (SWELL_GDI_GetOSXVersion() < kFirstVersionWithBackingScale) return false;
  NSObject* object = objectOf(hwnd);
  NSWindow* window = dynamic_cast<NSWindow*>(object);
  if (!window)
    if (NSView* view = dynamic_cast<NSView*>(object)) window = view->window();
  return window && window->backingScaleFactor() > 1.9;
}
