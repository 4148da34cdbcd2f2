// What the control classes add to the platform's controls, and the messages the multi-line
// edit field answers itself.

#include "swell-ctl-classes.h"

#include "swell-gdi-internal.h"
#include "swell-gdi.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/scroll_view.h"
#include "platform/appkit/window.h"

#include <algorithm>

using namespace cocoa;

namespace
{
constexpr char kSomethingBelowChanged = 2;
}  // namespace

void swell::markAncestorsChanged(NSView* view)
{
  for (NSView* v = view->superview(); v; v = v->superview())
    if (auto* windowView = dynamic_cast<Swell_vVorna_hwnd*>(v))
    {
      if (windowView->m_isdirty & kSomethingBelowChanged) return;
      windowView->m_isdirty |= kSomethingBelowChanged;
    }
}

void swell::notifyParent(NSView* control, unsigned code)
{
  const HWND parent = GetParent(swellHandleOf(control));
  if (!parent) return;
  const WPARAM wParam = (static_cast<WPARAM>(control->tag()) & 0xFFFF) | (static_cast<WPARAM>(code) << 16);
  SendMessage(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(swellHandleOf(control)));
}

bool swell::typeButton(NSButton* button, LONG_PTR style)
{
  auto* ours = dynamic_cast<Swell_vVorna_button*>(button);
  switch (style & 0xF)
  {
  case BS_AUTOCHECKBOX:
  case BS_AUTO3STATE:
    button->setButtonType(NSButtonTypeSwitch);
    button->setAllowsMixedState((style & 0xF) == BS_AUTO3STATE);
    if (ours) ours->swellSetRadioFlags(0);
    break;
  case BS_AUTORADIOBUTTON:
    button->setButtonType(NSButtonTypeRadio);
    button->setAllowsMixedState(false);
    if (ours)
      ours->swellSetRadioFlags(Swell_vVorna_button::kRadio |
                               ((style & WS_GROUP) ? Swell_vVorna_button::kRadioGroupStart : 0));
    break;
  default: return false;
  }
  button->setNeedsDisplay(true);
  return true;
}

NSView* swell::documentViewOf(NSView* view)
{
  if (auto* scroll = dynamic_cast<NSScrollView*>(view)) return scroll->documentView();
  if (auto* clip = dynamic_cast<NSClipView*>(view)) return clip->documentView();
  return nullptr;
}

NSView* swell::outerViewOf(NSView* view)
{
  if (!view) return nullptr;
  auto* clip = dynamic_cast<NSClipView*>(view->superview());
  auto* scroll = clip ? dynamic_cast<NSScrollView*>(clip->superview()) : nullptr;
  return scroll ? scroll : view;
}

bool Swell_vVorna_button::swellIsDefaultButton()
{
  NSWindow* w = window();
  return w && w->defaultButtonCell() && w->defaultButtonCell() == buttonCell();
}

bool Swell_vVorna_cbox::becomeFirstResponder()
{
  if (!NSComboBox::becomeFirstResponder()) return false;
  swell::notifyParent(this, EN_SETFOCUS);
  return true;
}

bool Swell_vVorna_textview::becomeFirstResponder()
{
  if (!NSTextView::becomeFirstResponder()) return false;
  swell::notifyParent(this, EN_SETFOCUS);
  return true;
}

void Swell_vVorna_ODbuttoncell::drawWithFrame(NSRect frame, NSView* view)
{
  NSView* button = controlView();
  if (!button)
  {
    NSButtonCell::drawWithFrame(frame, view);
    return;
  }
  const HWND hwnd = swellHandleOf(button);
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(button->tag());
  item.hwndItem = hwnd;
  item.hDC = dc;
  const auto t = [](double v) { return static_cast<int>(v + 0.5); };
  item.rcItem.left = t(frame.origin.x);
  item.rcItem.top = t(frame.origin.y);
  item.rcItem.right = item.rcItem.left + t(frame.size.width);
  item.rcItem.bottom = item.rcItem.top + t(frame.size.height);
  SendMessage(GetParent(hwnd), WM_DRAWITEM, static_cast<WPARAM>(button->tag()), reinterpret_cast<LPARAM>(&item));
  ReleaseDC(hwnd, dc);
}

LRESULT swell::editSelectionMessage(NSText* text, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == EM_GETSEL)
  {
    const NSRange range = text ? text->selectedRange() : NSRange{};
    if (auto* start = reinterpret_cast<int*>(wParam)) *start = static_cast<int>(range.location);
    if (auto* end = reinterpret_cast<int*>(lParam)) *end = static_cast<int>(range.location + range.length);
    return 0;
  }
  if (msg != EM_SETSEL || !text) return 0;
  const NSUInteger length = text->string().str().size();
  if (static_cast<int>(wParam) == -1)
  {
    text->setSelectedRange(NSRange{0, 0});
    return 0;
  }
  const NSUInteger start = std::min<NSUInteger>(static_cast<NSUInteger>(static_cast<int>(wParam) < 0 ? 0 : wParam), length);
  NSUInteger end = static_cast<int>(lParam) == -1 ? length
                                                  : std::min<NSUInteger>(static_cast<NSUInteger>(std::max<LPARAM>(lParam, 0)), length);
  if (end < start) end = start;
  // The text keeps its selection on character boundaries.
  text->setSelectedRange(NSRange{start, end - start});
  return 0;
}

LRESULT Swell_vVorna_textview::onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg)
  {
  case WM_SETFONT:
    if (auto font = reinterpret_cast<HGDIOBJ>(wParam); isLiveGdiObjectOfType(font, kGdiFont) && font->font)
      setFont(font->font);
    return 0;
  case EM_GETSEL:
  case EM_SETSEL: return swell::editSelectionMessage(this, msg, wParam, lParam);
  case EM_SCROLL:
    if (wParam == SB_BOTTOM) scrollRangeToVisible(NSRange{string().str().size(), 0});
    else if (wParam == SB_TOP) scrollRangeToVisible(NSRange{0, 0});
    return 0;
  default: return 0;
  }
}
