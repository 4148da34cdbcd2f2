// Painting of window views: the platform's drawRect becomes WM_NCCALCSIZE, WM_NCPAINT and
// WM_PAINT on a context over the window, and invalidation marks what must be drawn again.
// Views are drawn one by one by the platform; no view draws its subviews itself.

#include "swell-gdi.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/graphics_context.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

using namespace cocoa;

namespace
{
bool sameRect(const RECT& a, const RECT& b)
{
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The paint road of one view.
void DrawSwellViewRectImpl(Swell_vVorna_hwnd* view, NSRect rect, HDC hdc)
{
  if (view->m_hashaddestroy) return;
  HWND hwnd = view->handle();
  StrongRef<Swell_vVorna_hwnd> keep(view);
  view->m_paintctx_hdc = hdc;
  view->m_paintctx_rect = rect;
  view->m_paintctx_used = false;

  RECT window;
  GetWindowRect(hwnd, &window);
  if (window.bottom < window.top) std::swap(window.top, window.bottom);
  RECT client = window;
  swell::sendNcCalcSize(hwnd, &client);
  SendMessage(hwnd, WM_NCPAINT, 1, 0);
  view->m_paintctx_rect =
      NSOffsetRect(view->m_paintctx_rect, client.left - window.left, client.top - window.top);

  const NSRect paint = view->m_paintctx_rect;
  if (paint.size.width >= 1 && paint.size.height >= 1)
  {
    const bool clipped = !sameRect(client, window);
    if (clipped)
    {
      RECT clientArea;
      GetClientRect(hwnd, &clientArea);
      SWELL_PushClipRegion(hdc);
      SWELL_SetClipRegion(hdc, &clientArea);
    }
    SendMessage(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(hdc), 0);
    if (clipped) SWELL_PopClipRegion(hdc);
  }
  view->m_paintctx_hdc = nullptr;
}
}  // namespace

void Swell_vVorna_hwnd::drawRect(NSRect dirty)
{
  if (HDC hdc = SWELL_CreateGfxContext(NSGraphicsContext::currentContext()))
  {
    DrawSwellViewRectImpl(this, dirty, hdc);
    SWELL_DeleteGfxContext(hdc);
  }
  m_isdirty = 0;
}

bool Swell_vVorna_hwnd::getSwellPaintInfo(PAINTSTRUCT* ps)
{
  if (!m_paintctx_hdc || !ps) return false;
  m_paintctx_used = true;
  ps->hdc = m_paintctx_hdc;
  ps->fErase = 0;
  const NSRect r = m_paintctx_rect;
  RECT client;
  GetClientRect(handle(), &client);
  ps->rcPaint = RECT{static_cast<int>(r.origin.x), static_cast<int>(r.origin.y),
                     std::min(static_cast<int>(std::ceil(NSMaxX(r))), client.right),
                     std::min(static_cast<int>(std::ceil(NSMaxY(r))), client.bottom)};
  return true;
}

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (!view) return 1;
  if (auto* swellView = dynamic_cast<Swell_vVorna_hwnd*>(view); swellView && !(swellView->m_isdirty & 1))
  {
    swellView->m_isdirty |= 1;
    for (NSView* v = view->superview(); v; v = v->superview())
      if (auto* ancestor = dynamic_cast<Swell_vVorna_hwnd*>(v))
      {
        if (ancestor->m_isdirty & 2) break;
        ancestor->m_isdirty |= 2;
      }
  }
  if (!r)
    view->setNeedsDisplay(true);
  else
    view->setNeedsDisplayInRect(
        NSMakeRect(r->left, std::min(r->top, r->bottom), r->right - r->left, std::abs(r->top - r->bottom)));
  return 1;
}

void UpdateWindow(HWND hwnd)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (view && view->needsDisplay() && view->window()) view->window()->displayIfNeeded();
}

void SWELL_FlushWindow(HWND hwnd)
{
  NSWindow* window = swell::asWindow(hwnd);
  if (NSView* view = swell::asView(hwnd))
  {
    if (view->needsDisplay()) return;
    window = view->window();
  }
  if (window && !window->viewsNeedDisplay()) window->flushWindow();
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
  if (!ps) return nullptr;
  ps->hdc = nullptr;
  ps->fErase = 0;
  ps->rcPaint = RECT{};
  if (auto* source = respondsTo<SWELL_PaintInfoSource>(swellObjectOf(hwnd))) source->getSwellPaintInfo(ps);
  return ps->hdc;
}

BOOL EndPaint(HWND, PAINTSTRUCT*)
{
  return 1;
}

void SWELL_SetWindowFlip(HWND hwnd, bool flipped)
{
  if (auto* view = dynamic_cast<Swell_vVorna_hwnd*>(swellObjectOf(hwnd))) view->setFlipped(flipped);
}

void SWELL_SetViewGL(HWND, char) {}

bool SWELL_GetViewGL(HWND)
{
  return false;
}

bool SWELL_SetGLContextToView(HWND)
{
  return false;
}
