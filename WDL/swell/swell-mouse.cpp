// Mouse input of window views: platform mouse events become Win32 mouse messages.

#include "swell-mouse.h"

#include "swell-cursor.h"
#include "swell-dragdrop.h"
#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/cursor.h"
#include "platform/appkit/event.h"

#include <algorithm>
#include <cmath>

using namespace cocoa;

namespace
{
constexpr UINT kFirstClientMouseMessage = WM_MOUSEMOVE;
constexpr UINT kLastClientMouseMessage = WM_MBUTTONDBLCLK;
constexpr UINT kNonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;
constexpr float kWheelUnitsPerLine = 60.0f;

// Set only around a mouse move handed on to the view under the pointer.
bool nofwd = false;

void showArrowUnlessCurrent()
{
  if (NSCursor::currentCursor() != NSCursor::arrowCursor()) NSCursor::arrowCursor()->set();
}

void restoreLastSetCursor()
{
  auto* cursor = dynamic_cast<NSCursor*>(reinterpret_cast<NSObject*>(SWELL_GetLastSetCursor()));
  if (cursor && cursor != NSCursor::currentCursor()) cursor->set();
}

bool gone(const Swell_vVorna_hwnd* view)
{
  return view->m_hashaddestroy || !view->m_wndproc;
}

LPARAM wheelWParam(double delta)
{
  const auto units = static_cast<int32_t>(static_cast<float>(delta) * kWheelUnitsPerLine);
  return static_cast<LPARAM>(static_cast<uint32_t>(units) << 16);
}

void forwardMove(NSView* target, NSEvent* event)
{
  StrongRef<NSView> keep(target);
  nofwd = true;
  target->mouseMoved(event);
  nofwd = false;
}

// The platform sends mouse moves to the key window; they belong to the window under the
// pointer, and inside a window to the view under it. True when someone else took the move.
bool DelegateMouseMove(Swell_vVorna_hwnd* view, NSEvent* event)
{
  NSWindow* eventWindow = event->window();
  if (!swell::captureHolder())
  {
    std::vector<NSWindow*> windows = NSApp()->orderedWindows();
    if (NSWindow* key = NSApp()->keyWindow(); key && std::find(windows.begin(), windows.end(), key) == windows.end())
      windows.insert(windows.begin(), key);
    const NSPoint screen = eventWindow->convertBaseToScreen(event->locationInWindow());
    // The walk calls out once, for the window under the pointer, and ends there.
    for (NSWindow* window : windows)
    {
      if (!window->isVisible() || !NSPointInRect(screen, window->frame())) continue;
      if (window == eventWindow || NSApp()->modalWindow()) break;
      NSView* content = window->contentView();
      const NSPoint base = window->convertScreenToBase(screen);
      NSView* hit = dynamic_cast<Swell_vVorna_hwnd*>(content) ? content->hitTest(base) : nullptr;
      if (!hit)
      {
        showArrowUnlessCurrent();
        return true;
      }
      NSEventFields fields = event->fields();
      fields.locationInWindow = base;
      fields.window = window;
      forwardMove(hit, NSEvent::eventWithFields(fields));
      return true;
    }
  }
  NSView* content = eventWindow->contentView();
  NSView* hit = content ? content->hitTest(event->locationInWindow()) : nullptr;
  if (hit && hit != view)
  {
    forwardMove(hit, event);
    return true;
  }
  return false;
}

void focusWindowOf(Swell_vVorna_hwnd* view)
{
  if (NSWindow* window = view->window(); window && NSApp()->keyWindow() != window) SetFocus(swellHandleOf(window));
}
}  // namespace

LRESULT SWELL_SendMouseMessage(NSView* target, UINT msg, NSEvent* event)
{
  auto* view = dynamic_cast<Swell_vVorna_hwnd*>(target);
  if (!view) return 0;
  StrongRef<Swell_vVorna_hwnd> keep(view);
  NSView* holder = swell::captureHolder();
  if (holder && holder != view && holder->window() == view->window())
    if (auto* capturing = dynamic_cast<Swell_vVorna_hwnd*>(holder)) return SWELL_SendMouseMessage(capturing, msg, event);
  if (gone(view)) return -1;

  const NSPoint where = swellProcessMouseEvent(static_cast<int>(msg), view, event);
  const int x = static_cast<int>(std::floor(where.x));
  const int y = static_cast<int>(std::floor(where.y));
  const HWND hwnd = view->handle();
  const bool wheel = msg == WM_MOUSEWHEEL || msg == WM_MOUSEHWHEEL;

  LRESULT hit = HTCLIENT;
  if (!wheel && !swell::captureHolder())
  {
    const LPARAM screen = static_cast<LPARAM>(GetMessagePos());
    hit = SendMessage(hwnd, WM_NCHITTEST, 0, screen);
    if (gone(view)) return -1;
    if (hit != HTCLIENT && msg >= kFirstClientMouseMessage && msg <= kLastClientMouseMessage)
      return SendMessage(hwnd, msg - kNonClientOffset, static_cast<WPARAM>(hit), screen);
  }
  if (wheel)
  {
    const double delta = msg == WM_MOUSEWHEEL ? event->deltaY() : event->deltaX();
    POINT cursor;
    GetCursorPos(&cursor);
    return SendMessage(hwnd, msg, static_cast<WPARAM>(wheelWParam(delta)), swell::packPoint(cursor.x, cursor.y));
  }

  const LRESULT result = SendMessage(hwnd, msg, 0, swell::packPoint(x, y));
  const bool setsCursor = msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  if (setsCursor && !swell::captureHolder())
  {
    const LPARAM what = static_cast<LPARAM>((static_cast<uint32_t>(msg) << 16) | (static_cast<uint32_t>(hit) & 0xFFFF));
    const LRESULT answer = gone(view) ? 0 : SendMessage(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), what);
    if (gone(view) || !answer) showArrowUnlessCurrent();
  }
  return result;
}

void Swell_vVorna_hwnd::mouseDown(NSEvent* event)
{
  // A promise that no drag took up is stale once the user presses anew.
  SWELL_FinishDragDrop();
  if (!m_enabled) return;
  m_isfakerightmouse = 0;
  if ((event->modifierFlags() & NSEventModifierFlagControl) && IsRightClickEmulateEnabled())
  {
    rightMouseDown(event);
    if (event->clickCount() <= 1) m_isfakerightmouse = 1;
    return;
  }
  SWELL_SendMouseMessage(this, event->clickCount() >= 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, event);
}

void Swell_vVorna_hwnd::mouseUp(NSEvent* event)
{
  if (!m_enabled) return;
  if (m_isfakerightmouse) rightMouseUp(event);
  else SWELL_SendMouseMessage(this, WM_LBUTTONUP, event);
}

void Swell_vVorna_hwnd::mouseDragged(NSEvent* event)
{
  if (!m_enabled) return;
  StrongRef<Swell_vVorna_hwnd> keep(this);
  SWELL_SendMouseMessage(this, WM_MOUSEMOVE, event);
  restoreLastSetCursor();
}

void Swell_vVorna_hwnd::rightMouseDragged(NSEvent* event)
{
  mouseDragged(event);
}

void Swell_vVorna_hwnd::otherMouseDragged(NSEvent* event)
{
  mouseDragged(event);
}

void Swell_vVorna_hwnd::rightMouseDown(NSEvent* event)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  m_isfakerightmouse = 0;
  focusWindowOf(this);
  SWELL_SendMouseMessage(this, event->clickCount() >= 2 ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN, event);
}

void Swell_vVorna_hwnd::rightMouseUp(NSEvent* event)
{
  if (!m_enabled) return;
  m_isfakerightmouse = 0;
  SWELL_SendMouseMessage(this, WM_RBUTTONUP, event);
}

void Swell_vVorna_hwnd::otherMouseDown(NSEvent* event)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  focusWindowOf(this);
  SWELL_SendMouseMessage(this, event->clickCount() >= 2 ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN, event);
}

void Swell_vVorna_hwnd::otherMouseUp(NSEvent* event)
{
  if (!m_enabled) return;
  SWELL_SendMouseMessage(this, WM_MBUTTONUP, event);
}

void Swell_vVorna_hwnd::scrollWheel(NSEvent* event)
{
  if (!m_enabled) return;
  StrongRef<Swell_vVorna_hwnd> keep(this);
  if (event->deltaY() != 0) SWELL_SendMouseMessage(this, WM_MOUSEWHEEL, event);
  if (event->deltaX() != 0) SWELL_SendMouseMessage(this, WM_MOUSEHWHEEL, event);
}

void Swell_vVorna_hwnd::mouseMoved(NSEvent* event)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  if (!nofwd && event->window() && DelegateMouseMove(this, event)) return;
  NSView* holder = swell::captureHolder();
  if (m_enabled && (!holder || holder == this)) SWELL_SendMouseMessage(this, WM_MOUSEMOVE, event);
}
