#pragma once

// The native controls of dialogs, as the window functions see them: the platform's buttons,
// pop-up buttons, combo boxes, text fields and views, boxes and sliders, each made to answer
// what the layer asks of a control (its id, user data, radio flags, focus notifications,
// whether it is a text control).

#include "swell-ctl.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/box.h"
#include "platform/appkit/button.h"
#include "platform/appkit/combo_box.h"
#include "platform/appkit/pop_up_button.h"
#include "platform/appkit/slider.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/text_view.h"

#include <vector>

namespace swell
{
// A control's change marks its window views as having something below them to redraw.
void markAncestorsChanged(cocoa::NSView* view);
// WM_COMMAND with (id | code << 16) to the control's parent, lParam the control.
void notifyParent(cocoa::NSView* control, unsigned code);
}  // namespace swell

// Shared by every control class: redraws are reported to the window views above.
template <class Base>
class SwellControl : public Base
{
public:
  using Base::Base;
  void setNeedsDisplay(bool needed) override
  {
    Base::setNeedsDisplay(needed);
    if (needed) swell::markAncestorsChanged(this);
  }
  void setNeedsDisplayInRect(cocoa::NSRect rect) override
  {
    Base::setNeedsDisplayInRect(rect);
    swell::markAncestorsChanged(this);
  }
};

// Push buttons, check boxes, three-state boxes and radio buttons.
class Swell_vVorna_button : public SwellControl<cocoa::NSButton>,
                            public SWELL_RadioButton,
                            public SWELL_DefaultButton,
                            public SWELL_UserDataHolder
{
public:
  Swell_vVorna_button() : SwellControl<cocoa::NSButton>(cocoa::NSRect{}) {}
  static constexpr int kRadio = 1;
  static constexpr int kRadioGroupStart = 2;
  int swellGetRadioFlags() override { return m_radioflags; }
  void swellSetRadioFlags(int flags) { m_radioflags = flags; }
  int state() const override { return cocoa::NSButton::state(); }
  void setState(int state) override { cocoa::NSButton::setState(state); }
  bool swellIsDefaultButton() override;
  LONG_PTR getSwellUserData() override { return m_userdata; }
  void setSwellUserData(LONG_PTR value) override { m_userdata = value; }
  HGDIOBJ getSwellGDIImage() const { return m_swellGDIimage; }
  void setSwellGDIImage(HGDIOBJ image) { m_swellGDIimage = image; }

private:
  HGDIOBJ m_swellGDIimage = nullptr;  // not owned
  LONG_PTR m_userdata = 0;
  int m_radioflags = 0;  // kRadio, kRadioGroupStart
};

// The cell of image-only buttons: no title.
class Swell_vVorna_imgbuttoncell : public cocoa::NSButtonCell
{
public:
  cocoa::NSRect titleRectForBounds(cocoa::NSRect) const override { return cocoa::NSRect{}; }
};

// The cell of owner-drawn buttons: the button's parent draws it, answering WM_DRAWITEM.
class Swell_vVorna_ODbuttoncell : public cocoa::NSButtonCell
{
public:
  bool isTransparent() const override { return true; }
  void drawWithFrame(cocoa::NSRect frame, cocoa::NSView* view) override;
};

// Drop-down lists.
class Swell_vVorna_pub : public SwellControl<cocoa::NSPopUpButton>, public SWELL_StyleHolder
{
public:
  Swell_vVorna_pub() : SwellControl<cocoa::NSPopUpButton>(cocoa::NSRect{}) {}
  int getSwellStyle() const override { return m_style; }
  void setSwellStyle(int style) override { m_style = style; }

private:
  int m_style = 0;
};

// Editable combo boxes, with one data value per item.
class Swell_vVorna_cbox : public SwellControl<cocoa::NSComboBox>, public SWELL_TextControl, public SWELL_StyleHolder
{
public:
  Swell_vVorna_cbox() : SwellControl<cocoa::NSComboBox>(cocoa::NSRect{}) {}
  int getSwellStyle() const override { return m_style; }
  void setSwellStyle(int style) override { m_style = style; }
  bool becomeFirstResponder() override;
  bool swellIsTextView() override { return false; }
  bool swellIsEditable() override { return isEditable(); }
  bool swellIsTextField() override { return true; }

  std::vector<LONG_PTR> m_ids;  // parallel to the items

private:
  int m_style = 0;
};

// Single-line edit fields and labels; the secure variant for passwords.
template <class Field>
class SwellTextFieldOf : public SwellControl<Field>, public SWELL_TextControl
{
public:
  SwellTextFieldOf() : SwellControl<Field>(cocoa::NSRect{}) {}
  bool becomeFirstResponder() override
  {
    if (!Field::becomeFirstResponder()) return false;
    swell::notifyParent(this, EN_SETFOCUS);
    return true;
  }
  bool swellIsTextView() override { return false; }
  bool swellIsEditable() override { return this->isEditable(); }
  bool swellIsTextField() override { return true; }
};
using Swell_vVorna_textfield = SwellTextFieldOf<cocoa::NSTextField>;
using Swell_vVorna_securetextfield = SwellTextFieldOf<cocoa::NSSecureTextField>;

// Multi-line edit fields: answer their own messages (font, selection, scrolling).
class Swell_vVorna_textview : public SwellControl<cocoa::NSTextView>,
                              public SWELL_MessageTarget,
                              public SWELL_TextControl,
                              public SWELL_Taggable
{
public:
  Swell_vVorna_textview() : SwellControl<cocoa::NSTextView>(cocoa::NSRect{}) {}
  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }
  LRESULT onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool becomeFirstResponder() override;
  bool swellIsTextView() override { return true; }
  bool swellIsEditable() override { return isEditable(); }
  bool swellIsTextField() override { return false; }

private:
  cocoa::NSInteger m_tag = 0;
};

// Group boxes.
class Swell_vVorna_box : public SwellControl<cocoa::NSBox>, public SWELL_Taggable
{
public:
  Swell_vVorna_box() : SwellControl<cocoa::NSBox>(cocoa::NSRect{}) {}
  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }

private:
  cocoa::NSInteger m_tag = 0;
};

namespace swell
{
// The selection of a single-line field's editor, or of a text view: EM_GETSEL and EM_SETSEL.
// A field not being edited has no selection to read or set.
LRESULT editSelectionMessage(cocoa::NSText* text, UINT msg, WPARAM wParam, LPARAM lParam);
// BM_, CB_, TBM_ and EM_ messages to a control that does not take messages itself; false
// when the control has no such message.
bool nativeControlMessage(cocoa::NSObject* control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
// Makes a button a check box (BS_AUTOCHECKBOX), a three-state box (BS_AUTO3STATE) or a radio
// button (BS_AUTORADIOBUTTON, the first of its group with WS_GROUP), by the low four bits of
// the style; false for any other kind, which leaves the button as it is.
bool typeButton(cocoa::NSButton* button, LONG_PTR style);
// The single-line field a text view is the editor of; null for any other view.
cocoa::NSTextField* fieldEditedBy(cocoa::NSView* editor);
// A control inside a scroll view stands there for the scroll view (geometry, visibility,
// destruction); anything else for itself.
cocoa::NSView* outerViewOf(cocoa::NSView* view);
// The control a scroll view or clip view holds; null for any other view, or an empty one.
cocoa::NSView* documentViewOf(cocoa::NSView* view);
}  // namespace swell
