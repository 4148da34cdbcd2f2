// A list view under the mouse: the press is held back from the table until the release, so
// that a drag can start a drag operation instead of selecting, and columns in the fast-click
// mask answer at once.

#include "swell-listview-view.h"

#include "swell-cursor.h"
#include "swell-kb.h"
#include "swell-misc.h"
#include "swell-wnd.h"

#include "platform/appkit/event.h"

#include <cmath>

using namespace cocoa;

namespace
{
constexpr int kClickStateImage = 1;
constexpr int kClickDragBegun = 2;
constexpr int kClickFast = 4;
constexpr int kVirtualKeyControl = 17;
// Drag events before one counts as a drag.
constexpr int kDragThreshold = 3;

bool controlHeld(NSEvent* event)
{
  return (event->modifierFlags() & NSEventModifierFlagControl) != 0;
}
}  // namespace

LPARAM Swell_vVorna_listview::cursorForParent(bool screen) const
{
  POINT p{};
  GetCursorPos(&p);
  if (!screen) ScreenToClient(GetParent(handle()), &p);
  return static_cast<LPARAM>((static_cast<unsigned>(p.y) << 16) | (static_cast<unsigned>(p.x) & 0xFFFF));
}

void Swell_vVorna_listview::mouseDown(NSEvent* event)
{
  const NSPoint point = convertPointFromView(event->locationInWindow(), nullptr);
  if (controlHeld(event) && IsRightClickEmulateEnabled())
  {
    m_fakerightmouse = true;
    m_start_item = m_start_subitem = -1;
    return;
  }
  m_leftmousemovecnt = 0;
  m_fakerightmouse = false;
  m_start_item = static_cast<int>(rowAtPoint(point));
  m_start_subitem = columnIndexAtPoint(point);
  m_start_item_clickmode = 0;
  if (m_pressEvent) std::exchange(m_pressEvent, nullptr)->release();
  if (m_start_item < 0) return;
  const bool fast = m_start_subitem >= 0 && (m_fastClickMask & (1u << (m_start_subitem % 32)));
  if (!fast)
  {
    if (m_status_imagelist_type == LVSIL_STATE && point.x <= rowHeight()) m_start_item_clickmode = kClickStateImage;
    event->retain();
    m_pressEvent = event;
    return;
  }
  const LPARAM param = m_start_item < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(m_start_item)]->m_param : 0;
  notify(NM_CLICK, m_start_item, m_start_subitem, NSMakePoint(std::floor(point.x), std::floor(point.y)), param);
  m_start_item_clickmode = kClickFast;
}

void Swell_vVorna_listview::mouseDragged(NSEvent*)
{
  const int previous = m_leftmousemovecnt++;
  if (previous == kDragThreshold)
  {
    if (m_start_item >= 0 && !(m_start_item_clickmode & (kClickStateImage | kClickDragBegun)) && !m_lbMode)
    {
      if (!(m_start_item_clickmode & kClickFast) && !isRowSelected(m_start_item))
        selectRowIndexes({m_start_item}, (GetAsyncKeyState(kVirtualKeyControl) & 0x8000) != 0);
      notify(LVN_BEGINDRAG, m_start_item, m_start_subitem, NSPoint{}, 0);
      m_start_item_clickmode |= kClickDragBegun;
    }
  }
  else if (previous > kDragThreshold && !(m_start_item_clickmode & kClickStateImage))
  {
    if (HWND parent = GetParent(handle())) SendMessage(parent, WM_MOUSEMOVE, 0, cursorForParent(false));
  }
}

void Swell_vVorna_listview::mouseUp(NSEvent* event)
{
  StrongRef<Swell_vVorna_listview> keep(this);
  NSEvent* press = std::exchange(m_pressEvent, nullptr);
  const NSPoint point = convertPointFromView(event->locationInWindow(), nullptr);
  if ((m_fakerightmouse || controlHeld(event)) && IsRightClickEmulateEnabled())
    rightButtonReleased(event);
  else if (!(m_start_item_clickmode & kClickStateImage))
  {
    if (!(m_start_item_clickmode & kClickFast) && m_leftmousemovecnt <= kDragThreshold)
    {
      if (m_lbMode && !(style & LBS_EXTENDEDSEL)) deselectAll();
      // The table sees the press now: this is where it selects.
      if (press) NSTableView::mouseDown(press);
    }
    else if (m_leftmousemovecnt > kDragThreshold)
    {
      if (HWND parent = GetParent(handle())) SendMessage(parent, WM_LBUTTONUP, 0, cursorForParent(false));
    }
  }
  if (press) press->release();
  if (!m_lbMode && !(m_start_item_clickmode & (kClickDragBegun | kClickFast)))
  {
    const int row = static_cast<int>(rowAtPoint(point));
    const LPARAM param = row >= 0 && row < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(row)]->m_param : 0;
    notify(NM_CLICK, row, columnIndexAtPoint(point), NSMakePoint(std::floor(point.x), std::floor(point.y)), param);
  }
}

void Swell_vVorna_listview::rightMouseUp(NSEvent* event)
{
  rightButtonReleased(event);
}

void Swell_vVorna_listview::rightButtonReleased(NSEvent* event)
{
  StrongRef<Swell_vVorna_listview> keep(this);
  const NSPoint point = convertPointFromView(event->locationInWindow(), nullptr);
  m_fakerightmouse = false;
  if (!m_lbMode)
  {
    const int row = static_cast<int>(rowAtPoint(point));
    if (row >= 0 && !isRowSelected(row)) selectRowIndexes({row}, false);
    if (notify(NM_RCLICK, row, columnIndexAtPoint(point), NSMakePoint(std::floor(point.x), std::floor(point.y)), 0))
      return;
  }
  if (HWND parent = GetParent(handle()))
    SendMessage(parent, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle()), cursorForParent(true));
}
