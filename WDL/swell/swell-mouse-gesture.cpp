// Trackpad gestures: each becomes a pair of WM_GESTURE messages, begin then end, carrying a
// GESTUREINFO.

#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/event.h"
#include "platform/appkit/window.h"

#include <algorithm>

using namespace cocoa;

namespace
{
constexpr UINT kGestureInfoBytes = 56;
static_assert(sizeof(GESTUREINFO) == kGestureInfoBytes, "GESTUREINFO keeps its published size");
constexpr int kZoomUnity = 1024;
constexpr int kRotateCentre = 32767;

// A zero change still tells which way the gesture went.
int atLeastOne(int d, double amount)
{
  return d ? d : (amount >= 0 ? 1 : -1);
}

GESTUREINFO gestureRecord(Swell_vVorna_hwnd* view, NSEvent* event, DWORD id)
{
  GESTUREINFO info = {};
  info.cbSize = kGestureInfoBytes;
  info.dwID = id;
  info.hwndTarget = view->handle();
  NSPoint screen = event->locationInWindow();
  if (NSWindow* window = event->window()) screen = window->convertBaseToScreen(screen);
  info.ptsLocation = POINTS{static_cast<short>(static_cast<int>(screen.x)), static_cast<short>(static_cast<int>(screen.y))};
  return info;
}

void sendGesture(Swell_vVorna_hwnd* view, GESTUREINFO info, ULONGLONG beginArgument, ULONGLONG endArgument,
                 WPARAM endWParam, POINTS endLocation)
{
  StrongRef<Swell_vVorna_hwnd> keep(view);
  info.dwFlags = GF_BEGIN;
  info.ullArguments = beginArgument;
  SendMessage(view->handle(), WM_GESTURE, 0, reinterpret_cast<LPARAM>(&info));
  info.dwFlags = GF_END;
  info.ullArguments = endArgument;
  info.ptsLocation = endLocation;
  SendMessage(view->handle(), WM_GESTURE, endWParam, reinterpret_cast<LPARAM>(&info));
}
}  // namespace

void Swell_vVorna_hwnd::magnifyWithEvent(NSEvent* event)
{
  const GESTUREINFO info = gestureRecord(this, event, GID_ZOOM);
  const double amount = event->deltaZ();
  const int d = atLeastOne(static_cast<int>(kZoomUnity * static_cast<float>(amount) + 0.5f), amount);
  const int value = std::clamp(kZoomUnity + d, kZoomUnity / 2, kZoomUnity * 2);
  sendGesture(this, info, kZoomUnity, static_cast<ULONGLONG>(value), static_cast<WPARAM>(value), info.ptsLocation);
}

void Swell_vVorna_hwnd::swipeWithEvent(NSEvent* event)
{
  const GESTUREINFO info = gestureRecord(this, event, GID_PAN);
  POINTS end = info.ptsLocation;
  const int width = static_cast<int>(bounds().size.width);
  const int height = static_cast<int>(bounds().size.height);
  if (event->deltaX() < 0) end.x = static_cast<short>(end.x - width);
  else if (event->deltaX() > 0) end.x = static_cast<short>(end.x + width);
  else if (event->deltaY() < 0) end.y = static_cast<short>(end.y + height);
  else if (event->deltaY() > 0) end.y = static_cast<short>(end.y - height);
  sendGesture(this, info, 0, 0, 0, end);
}

void Swell_vVorna_hwnd::rotateWithEvent(NSEvent* event)
{
  const GESTUREINFO info = gestureRecord(this, event, GID_ROTATE);
  const float rotation = event->rotation();
  const int d = atLeastOne(static_cast<int>(kRotateCentre * rotation / 60.0f), rotation);
  const int value = std::clamp(d + kRotateCentre, 0, 65535);
  sendGesture(this, info, 0, static_cast<ULONGLONG>(value), static_cast<WPARAM>(value), info.ptsLocation);
}
