// GWL_STYLE: what a window or control reports as its style, and what setting one changes.
// Controls that keep the style they were made with answer it; buttons report the kind they
// are and can be made another kind; a content view reports its window's frame.

#include "swell-ctl-classes.h"
#include "swell-wnd-internal.h"
#include "swell-wnd.h"

using namespace cocoa;

namespace
{
LONG_PTR buttonStyle(NSButton* button)
{
  if (button->allowsMixedState()) return BS_AUTO3STATE;
  auto* ours = dynamic_cast<Swell_vVorna_button*>(button);
  const int radio = ours ? ours->swellGetRadioFlags() : 0;
  if (!radio) return BS_AUTOCHECKBOX;
  return (radio & Swell_vVorna_button::kRadioGroupStart) ? (BS_AUTORADIOBUTTON | WS_GROUP) : BS_AUTORADIOBUTTON;
}
}  // namespace

LONG_PTR swell::windowStyle(HWND hwnd)
{
  NSObject* object = swellObjectOf(hwnd);
  if (auto* holder = respondsTo<SWELL_StyleHolder>(object)) return holder->getSwellStyle();
  auto* view = dynamic_cast<NSView*>(object);
  if (!view) return 0;
  auto* button = dynamic_cast<NSButton*>(view);
  LONG_PTR style = button ? buttonStyle(button) : 0;
  if (!isContentView(view)) return style | WS_CHILD;
  const unsigned mask = view->window()->styleMask();
  if (mask & NSWindowStyleMaskTitled)
  {
    style |= WS_CAPTION;
    if (mask & NSWindowStyleMaskResizable) style |= WS_THICKFRAME;
  }
  return style;
}

LONG_PTR swell::setWindowStyle(HWND hwnd, LONG_PTR style)
{
  NSObject* object = swellObjectOf(hwnd);
  if (auto* holder = respondsTo<SWELL_StyleHolder>(object))
  {
    const LONG_PTR previous = holder->getSwellStyle();
    holder->setSwellStyle(static_cast<int>(style));
    return previous;
  }
  if (auto* button = dynamic_cast<NSButton*>(object))
  {
    const LONG_PTR previous = windowStyle(hwnd);
    typeButton(button, style);
    return previous;
  }
  return restyleTopLevel(hwnd, style);
}
