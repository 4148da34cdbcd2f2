// The mouse capture: one view at a time receives every mouse message of its window.

#include "swell-wnd-internal.h"
#include "swell-wnd.h"

#include <utility>

using namespace cocoa;

namespace
{
// Owned while it holds the capture; never released at exit, when the views are gone.
NSView* m_fakeCapture = nullptr;
bool m_capChangeNotify = false;

void changeHolder(NSView* holder)
{
  if (holder) holder->retain();
  StrongRef<NSView> previous = StrongRef<NSView>::adopt(std::exchange(m_fakeCapture, holder));
  const bool notify = std::exchange(m_capChangeNotify, false);
  auto* wants = respondsTo<SWELL_CaptureNotify>(holder);
  m_capChangeNotify = wants && wants->swellCapChangeNotify();
  if (previous && previous.get() != holder && notify)
    SendMessage(swellHandleOf(previous.get()), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(swellHandleOf(holder)));
}
}  // namespace

NSView* swell::captureHolder()
{
  return m_fakeCapture;
}

HWND SetCapture(HWND hwnd)
{
  HWND previous = swellHandleOf(m_fakeCapture);
  changeHolder(swell::viewOrContentView(hwnd));
  return previous;
}

void ReleaseCapture()
{
  changeHolder(nullptr);
}

HWND GetCapture()
{
  return swellHandleOf(m_fakeCapture);
}
