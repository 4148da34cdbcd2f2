// Message dispatch of the window view: the destroy sequence, the default window procedure
// and the commands of menu items and controls.

#include "swell-ctl.h"
#include "swell-gdi.h"
#include "swell-menu.h"
#include "swell-misc.h"
#include "swell-timer.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/pop_up_button.h"
#include "platform/appkit/slider.h"

#include <algorithm>
#include <vector>

using namespace cocoa;

LRESULT Swell_vVorna_hwnd::onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (m_hashaddestroy == 2) return 0;
  if (m_hashaddestroy == 1 && (msg == WM_DESTROY || msg == WM_CAPTURECHANGED)) return 0;
  StrongRef<Swell_vVorna_hwnd> keep(this);
  if (msg != WM_DESTROY) return m_wndproc ? m_wndproc(handle(), msg, wParam, lParam) : 0;

  // The destroy sequence: it runs once, and nothing the procedure leaves behind (a capture,
  // posted messages, timers) outlives it.
  m_hashaddestroy = 1;
  swell::setPostTarget(handle(), false);
  const auto dropCaptureAndPosts = [this] {
    if (swell::captureHolder() == this) ReleaseCapture();
    SWELL_Internal_PMQ_ClearAllMessages(handle());
  };
  dropCaptureAndPosts();
  const LRESULT result = m_wndproc ? m_wndproc(handle(), WM_DESTROY, wParam, lParam) : 0;
  if (swell::isContentView(this))
    if (auto* owner = respondsTo<SWELL_OwnerWindow>(window())) owner->swellDestroyAllOwnedWindows();
  dropCaptureAndPosts();
  if (HMENU menu = std::exchange(m_menu, nullptr))
  {
    NSMenu* platformMenu = swellMenuOf(menu);
    if (NSApp()->mainMenu() == platformMenu && !g_swell_terminating) NSApp()->setMainMenu(nullptr);
    SWELL_SetMenuDestination(menu, nullptr);
    if (platformMenu) platformMenu->release();
  }
  forEachSubview(this, [](NSView* subview) {
    if (auto* target = respondsTo<SWELL_MessageTarget>(subview)) target->onSwellMessage(WM_DESTROY, 0, 0);
  });
  KillTimer(handle(), static_cast<UINT_PTR>(-1));
  // A control that outlives this view (held across a call-out) tells it nothing more.
  swell::retargetControlDelegates(this, this, nullptr);
  m_hashaddestroy = 2;
  return result;
}

bool SWELL_CommandTarget::performAction(Action action, NSObject* sender)
{
  switch (action)
  {
  case Action::onSwellCommand:
  case Action::onSwellCommand0:
  case Action::onSwellCommand2:
  case Action::onSwellCommand3:
  case Action::onSwellCommand4:
  case Action::onSwellCommand5:
  case Action::onSwellCommand6:
  case Action::onSwellCommand7: onSwellCommand(sender); return true;
  default: return false;
  }
}

namespace
{
constexpr int kRadio = 1;
constexpr int kGroupStart = 2;

// A click on a radio button turns off the others of its group: the adjacent buttons before
// it back to the group's first, and those after it up to the next group.
void clearRadioGroup(NSView* clicked, SWELL_RadioButton* radio)
{
  NSView* parent = clicked->superview();
  if (!parent) return;
  const std::vector<NSView*> siblings = parent->subviews();
  const long at = std::find(siblings.begin(), siblings.end(), clicked) - siblings.begin();
  // Turning a button off marks it for drawing and tells nobody: the siblings cannot change.
  const auto turnOff = [](SWELL_RadioButton* button) {
    if ((button->swellGetRadioFlags() & kRadio) && button->state()) button->setState(0);
  };
  if (!(radio->swellGetRadioFlags() & kGroupStart))
    for (long i = at - 1; i >= 0; --i)
    {
      auto* button = respondsTo<SWELL_RadioButton>(siblings[i]);
      if (!button) break;
      turnOff(button);
      if (button->swellGetRadioFlags() & kGroupStart) break;
    }
  for (long i = at + 1; i < static_cast<long>(siblings.size()); ++i)
  {
    auto* button = respondsTo<SWELL_RadioButton>(siblings[i]);
    if (!button || (button->swellGetRadioFlags() & kGroupStart)) break;
    turnOff(button);
  }
}
}  // namespace

void Swell_vVorna_hwnd::onSwellCommand(NSObject* sender)
{
  if (!m_wndproc || m_hashaddestroy) return;
  NSInteger id = 0;
  unsigned code = 0;
  auto* radio = respondsTo<SWELL_RadioButton>(sender);
  if (auto* item = dynamic_cast<NSMenuItem*>(sender))
    id = item->tag();
  else if (auto* button = dynamic_cast<NSView*>(sender); button && radio && (radio->swellGetRadioFlags() & kRadio))
  {
    id = button->tag();
    clearRadioGroup(button, radio);
  }
  else if (auto* slider = dynamic_cast<NSSlider*>(sender))
  {
    SendMessage(handle(), WM_HSCROLL, 0, reinterpret_cast<LPARAM>(swellHandleOf(slider)));
    return;
  }
  else if (dynamic_cast<NSComboBox*>(sender))
    // Its delegate calls report it.
    return;
  else if (auto* popUp = dynamic_cast<NSPopUpButton*>(sender))
  {
    id = popUp->tag();
    code = CBN_SELCHANGE;
  }
  else if (auto* control = dynamic_cast<NSView*>(sender))
  {
    // A control reports a double click as code 1.
    id = control->tag();
    const NSEvent* event = NSApp()->currentEvent();
    if (event && event->clickCount() >= 2 &&
        (event->type() == NSEventTypeLeftMouseDown || event->type() == NSEventTypeLeftMouseUp))
      code = 1;
  }
  const WPARAM wParam = (static_cast<WPARAM>(id) & 0xFFFF) | (static_cast<WPARAM>(code) << 16);
  SendMessage(handle(), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(sender));
}

LRESULT SwellDialogDefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  const auto dialogProc = reinterpret_cast<DLGPROC>(GetWindowLong(hwnd, DWL_DLGPROC));
  if (!dialogProc) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (msg == WM_PAINT && !dialogProc(hwnd, WM_ERASEBKGND, 0, 0))
  {
    NSView* view = swell::asView(hwnd);
    if (view && (swell::isContentView(view) || view->isOpaque()))
    {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(hwnd, &ps); dc && ps.rcPaint.right > ps.rcPaint.left && ps.rcPaint.bottom > ps.rcPaint.top)
      {
        auto brush = reinterpret_cast<HBRUSH>(
            dialogProc(hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
        if (brush && brush != reinterpret_cast<HBRUSH>(1)) SWELL_FillRect(dc, &ps.rcPaint, brush);
        else if (view->isOpaque()) SWELL_FillDialogBackground(dc, &ps.rcPaint, 3);
      }
      EndPaint(hwnd, &ps);
    }
  }
  if (const LRESULT result = dialogProc(hwnd, msg, wParam, lParam)) return result;
  return DefWindowProc(hwnd, msg, wParam, lParam);
}
