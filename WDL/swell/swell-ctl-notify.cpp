// What the controls of a window view tell it as their delegate, as WM_COMMAND to its
// procedure: the control's id with a notification code, lParam the control.

#include "swell-ctl.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

using namespace cocoa;

namespace
{
void notify(Swell_vVorna_hwnd* view, NSView* control, unsigned code)
{
  // Nothing reaches a window without a procedure or one being destroyed.
  if (!view->m_wndproc || view->m_hashaddestroy || !control) return;
  StrongRef<Swell_vVorna_hwnd> keep(view);
  const WPARAM wParam = (static_cast<WPARAM>(control->tag()) & 0xFFFF) | (static_cast<WPARAM>(code) << 16);
  SendMessage(view->handle(), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(swellHandleOf(control)));
}
}  // namespace

void Swell_vVorna_hwnd::comboBoxWillPopUp(NSComboBox* combo)
{
  notify(this, combo, CBN_DROPDOWN);
}

void Swell_vVorna_hwnd::comboBoxSelectionDidChange(NSComboBox* combo)
{
  notify(this, combo, CBN_SELCHANGE);
}

void Swell_vVorna_hwnd::comboBoxWillDismiss(NSComboBox* combo)
{
  notify(this, combo, CBN_CLOSEUP);
}

void Swell_vVorna_hwnd::controlTextDidChange(NSControl* control)
{
  notify(this, control, dynamic_cast<NSComboBox*>(control) ? CBN_EDITCHANGE : EN_CHANGE);
}

void Swell_vVorna_hwnd::controlTextDidEndEditing(NSControl* control)
{
  notify(this, control, EN_KILLFOCUS);
}

void Swell_vVorna_hwnd::textDidEndEditing(NSText* text, NSTextMovement)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  notify(this, text, EN_CHANGE);
  notify(this, text, EN_KILLFOCUS);
}
