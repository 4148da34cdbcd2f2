// The mouse capture: one view at a time receives every mouse message of its window.

#include "swell-wnd-internal.h"
#include "swell-wnd.h"

using namespace cocoa;

namespace
{
StrongRef<NSView> m_fakeCapture;
bool m_capChangeNotify = false;

void changeHolder(NSView* holder)
{
  StrongRef<NSView> previous = m_fakeCapture;
  const bool notify = m_capChangeNotify;
  auto* wants = respondsTo<SWELL_CaptureNotify>(holder);
  m_fakeCapture = holder;
  m_capChangeNotify = wants && wants->swellCapChangeNotify();
  if (previous && previous.get() != holder && notify)
    SendMessage(swellHandleOf(previous.get()), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(swellHandleOf(holder)));
}
}  // namespace

NSView* swell::captureHolder()
{
  return m_fakeCapture.get();
}

HWND SetCapture(HWND hwnd)
{
  HWND previous = swellHandleOf(m_fakeCapture.get());
  changeHolder(swell::viewOrContentView(hwnd));
  return previous;
}

void ReleaseCapture()
{
  changeHolder(nullptr);
}

HWND GetCapture()
{
  return swellHandleOf(m_fakeCapture.get());
}
