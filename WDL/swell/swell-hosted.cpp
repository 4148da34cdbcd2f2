#include "swell-hosted.h"

#include "swell-timer.h"
#include "swell-wnd.h"

using namespace cocoa;

Swell_vVorna_hwndcarbonhost* Swell_vVorna_hwndcarbonhost::initCarbonChild(NSObject* parent, NSRect, bool)
{
  initChild(nullptr, parent, nullptr, 0);
  m_wantallkeys = false;
  return this;
}

void Swell_vVorna_hwndcarbonhost::close()
{
  KillTimer(handle(), 1);
}

void Swell_vVorna_hwndcarbonhost::dealloc()
{
  close();
  Swell_vVorna_hwnd::dealloc();
}

LRESULT Swell_vVorna_hwndcarbonhost::onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
  // Only a hosted window would need handing the keys on before it goes; there never is one.
  if (msg == WM_DESTROY && m_cwnd) close();
  return Swell_vVorna_hwnd::onSwellMessage(msg, wParam, lParam);
}

HWND SWELL_CreateCarbonWindowView(HWND parent, void** windowRef, RECT* rect, bool composit)
{
  NSRect frame{};
  if (rect)
  {
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    ClientToScreen(parent, &topLeft);
    ClientToScreen(parent, &bottomRight);
    frame = NSMakeRect(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y);
  }
  auto* host = new Swell_vVorna_hwndcarbonhost;
  host->initCarbonChild(swellObjectOf(parent), frame, composit);
  if (windowRef) *windowRef = host->m_cwnd;
  HWND handle = host->handle();
  // The parent holds the view now (a view without a parent is the caller's, as made).
  if (parent) host->release();
  return handle;
}

void* SWELL_GetWindowFromCarbonWindowView(HWND view)
{
  auto* host = view ? dynamic_cast<Swell_vVorna_hwndcarbonhost*>(swellObjectOf(view)) : nullptr;
  return host ? host->m_cwnd : nullptr;
}

void SWELL_AddCarbonPaneToView(HWND, void*) {}

HWND SWELL_GetAudioUnitCocoaView(HWND, void*, void*, RECT*)
{
  return nullptr;
}
