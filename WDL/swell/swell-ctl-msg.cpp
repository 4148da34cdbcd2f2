// The messages of buttons, combo boxes, track bars and single-line edit fields, and the
// dialog-item functions and questions built on them.

#include "swell-ctl-classes.h"
#include "swell-gdi-internal.h"
#include "swell-image.h"
#include "swell-wnd.h"

#include "platform/appkit/window.h"

#include <cmath>

using namespace cocoa;

namespace
{
constexpr LPARAM kLbTextBufferBytes = 0x100000;

NSObject* controlAt(HWND hwnd, int id)
{
  return swellObjectOf(id ? GetDlgItem(hwnd, id) : hwnd);
}

int checkStateOf(const NSButton* button)
{
  const int state = button->state();
  return state == NSControlStateValueMixed ? BST_INDETERMINATE : state ? BST_CHECKED : BST_UNCHECKED;
}

void setCheckState(NSButton* button, WPARAM check)
{
  button->setState((check & 2) ? int(NSControlStateValueMixed) : int(check & 1));
}

LRESULT buttonMessage(NSButton* button, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg)
  {
  case BM_SETCHECK: setCheckState(button, wParam); return 0;
  case BM_GETCHECK: return checkStateOf(button);
  default: break;
  }
  auto* swellButton = dynamic_cast<Swell_vVorna_button*>(button);
  if (!swellButton || (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON)) return 0;
  const HGDIOBJ previous = swellButton->getSwellGDIImage();
  if (msg == BM_SETIMAGE)
  {
    auto image = reinterpret_cast<HGDIOBJ>(lParam);
    if (isLiveGdiObjectOfType(image, kGdiImage) && image->image)
    {
      swellButton->setImage(image->image->cgImage());
      swellButton->setSwellGDIImage(image);
    }
    else
    {
      swellButton->setImage(nullptr);
      swellButton->setSwellGDIImage(nullptr);
    }
    swellButton->setNeedsDisplay(true);
  }
  return reinterpret_cast<LRESULT>(previous);
}

LRESULT comboMessage(HWND combo, UINT msg, WPARAM wParam, LPARAM lParam)
{
  const int index = static_cast<int>(wParam);
  switch (msg)
  {
  case CB_ADDSTRING: return SWELL_CB_AddString(combo, 0, reinterpret_cast<const char*>(lParam));
  case CB_INSERTSTRING: return SWELL_CB_InsertString(combo, 0, index, reinterpret_cast<const char*>(lParam));
  case CB_DELETESTRING: SWELL_CB_DeleteString(combo, 0, index); return 1;
  case CB_GETCOUNT: return SWELL_CB_GetNumItems(combo, 0);
  case CB_GETCURSEL: return SWELL_CB_GetCurSel(combo, 0);
  case CB_GETLBTEXT:
    return SWELL_CB_GetItemText(combo, 0, index, reinterpret_cast<char*>(lParam), lParam ? kLbTextBufferBytes : 0);
  case CB_GETLBTEXTLEN: return SWELL_CB_GetItemText(combo, 0, index, nullptr, 0);
  case CB_RESETCONTENT: SWELL_CB_Empty(combo, 0); return 0;
  case CB_FINDSTRING:
  case CB_FINDSTRINGEXACT:
    if (!lParam) return -1;
    return SWELL_CB_FindString(combo, 0, index, reinterpret_cast<const char*>(lParam), msg == CB_FINDSTRINGEXACT);
  case CB_SETCURSEL: SWELL_CB_SetCurSel(combo, 0, index); return 0;
  case CB_GETITEMDATA: return SWELL_CB_GetItemData(combo, 0, index);
  case CB_SETITEMDATA: SWELL_CB_SetItemData(combo, 0, index, lParam); return 0;
  default: return 0;
  }
}

int sliderPosition(const NSSlider* slider)
{
  return static_cast<int>(std::floor(slider->doubleValue() + 0.5));
}

LRESULT sliderMessage(NSSlider* slider, UINT msg, LPARAM lParam)
{
  switch (msg)
  {
  case TBM_GETPOS: return sliderPosition(slider);
  case TBM_SETPOS: slider->setDoubleValue(static_cast<double>(lParam)); return 1;
  case TBM_SETRANGE:
    slider->setMinValue(static_cast<double>(lParam & 0xFFFF));
    slider->setMaxValue(static_cast<double>((lParam >> 16) & 0xFFFF));
    return 1;
  case TBM_SETTIC: return 1;
  default: return 0;
  }
}

// The field editor of a single-line field being edited; null otherwise.
NSText* editorOf(NSTextField* field)
{
  NSWindow* window = field->window();
  auto* focused = window ? dynamic_cast<NSView*>(window->firstResponder()) : nullptr;
  if (!focused || !focused->isDescendantOf(field)) return nullptr;
  return field->currentEditor();
}

bool isComboMessage(UINT msg)
{
  return msg >= CB_ADDSTRING && msg <= CB_FINDSTRINGEXACT;
}

// A control that is not a slider but takes messages answers the track-bar messages itself.
SWELL_MessageTarget* trackBarStandIn(NSObject* control)
{
  return dynamic_cast<NSSlider*>(control) ? nullptr : respondsTo<SWELL_MessageTarget>(control);
}
}  // namespace

bool swell::nativeControlMessage(NSObject* control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
  *result = 0;
  if (msg >= BM_GETCHECK && msg <= BM_SETIMAGE)
    if (auto* button = dynamic_cast<NSButton*>(control); button && !dynamic_cast<NSPopUpButton*>(control))
    {
      *result = buttonMessage(button, msg, wParam, lParam);
      return true;
    }
  if (isComboMessage(msg) && (dynamic_cast<NSPopUpButton*>(control) || dynamic_cast<NSComboBox*>(control)))
  {
    *result = comboMessage(swellHandleOf(control), msg, wParam, lParam);
    return true;
  }
  if (auto* slider = dynamic_cast<NSSlider*>(control); slider && msg >= TBM_GETPOS && msg <= TBM_SETRANGE)
  {
    *result = sliderMessage(slider, msg, lParam);
    return true;
  }
  if (auto* field = dynamic_cast<NSTextField*>(control); field && (msg == EM_GETSEL || msg == EM_SETSEL))
  {
    *result = editSelectionMessage(editorOf(field), msg, wParam, lParam);
    return true;
  }
  return false;
}

void CheckDlgButton(HWND hwnd, int id, int check)
{
  if (auto* button = dynamic_cast<NSButton*>(controlAt(hwnd, id))) setCheckState(button, static_cast<WPARAM>(check));
}

int IsDlgButtonChecked(HWND hwnd, int id)
{
  auto* button = dynamic_cast<NSButton*>(controlAt(hwnd, id));
  return button ? checkStateOf(button) : 0;
}

int SWELL_TB_GetPos(HWND hwnd, int id)
{
  NSObject* control = controlAt(hwnd, id);
  if (auto* slider = dynamic_cast<NSSlider*>(control)) return sliderPosition(slider);
  if (auto* target = trackBarStandIn(control)) return static_cast<int>(target->onSwellMessage(TBM_GETPOS, 0, 0));
  return 0;
}

void SWELL_TB_SetPos(HWND hwnd, int id, int pos)
{
  NSObject* control = controlAt(hwnd, id);
  if (auto* slider = dynamic_cast<NSSlider*>(control)) slider->setDoubleValue(pos);
  else if (auto* target = trackBarStandIn(control)) target->onSwellMessage(TBM_SETPOS, 1, pos);
}

void SWELL_TB_SetRange(HWND hwnd, int id, int low, int high)
{
  NSObject* control = controlAt(hwnd, id);
  if (auto* slider = dynamic_cast<NSSlider*>(control))
  {
    slider->setMinValue(low);
    slider->setMaxValue(high);
  }
  else if (auto* target = trackBarStandIn(control))
    target->onSwellMessage(TBM_SETRANGE, 1, static_cast<LPARAM>((low & 0xFFFF) | (static_cast<unsigned>(high) << 16)));
}

void SWELL_TB_SetTic(HWND hwnd, int id, int pos)
{
  if (auto* target = trackBarStandIn(controlAt(hwnd, id))) target->onSwellMessage(TBM_SETTIC, 0, pos);
}

bool SWELL_IsGroupBox(HWND hwnd)
{
  return dynamic_cast<Swell_vVorna_box*>(swellObjectOf(hwnd)) != nullptr;
}

bool SWELL_IsButton(HWND hwnd)
{
  return dynamic_cast<Swell_vVorna_button*>(swellObjectOf(hwnd)) != nullptr;
}

bool SWELL_IsStaticText(HWND hwnd)
{
  return dynamic_cast<NSTextField*>(swellObjectOf(hwnd)) != nullptr;
}

void SWELL_GetDesiredControlSize(HWND hwnd, RECT* out)
{
  auto* control = dynamic_cast<NSControl*>(swellObjectOf(hwnd));
  if (!control || !out) return;
  const NSRect old = control->frame();
  control->sizeToFit();
  const NSSize fitted = control->frame().size;
  control->setFrame(old);
  *out = RECT{0, 0, static_cast<int>(fitted.width), static_cast<int>(fitted.height)};
}

BOOL IsEquivalentTextView(HWND a, HWND b)
{
  if (a == b) return 1;
  const auto editsFor = [](HWND editor, HWND field) {
    auto* text = dynamic_cast<NSTextView*>(swellObjectOf(editor));
    return text && swell::fieldEditedBy(text) == swellObjectOf(field);
  };
  return (a && b && (editsFor(a, b) || editsFor(b, a))) ? 1 : 0;
}

NSTextField* swell::fieldEditedBy(NSView* editor)
{
  if (!dynamic_cast<NSTextView*>(editor)) return nullptr;
  for (NSView* up = editor->superview(); up; up = up->superview())
    if (auto* field = dynamic_cast<NSTextField*>(up)) return field->currentEditor() == editor ? field : nullptr;
  return nullptr;
}
