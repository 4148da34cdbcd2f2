#pragma once

// What a platform object behind an HWND may answer. The window functions decide by what an
// object answers (cocoa::respondsTo), never by a stored kind, so that every control class
// can take part by answering the same questions.

#include "swell-types.h"

#include "platform/appkit/action.h"
#include "platform/appkit/menu.h"
#include "platform/foundation/object.h"
#include "platform/foundation/object_registry.h"

// Takes window messages: the one entry through which SendMessage delivers.
class SWELL_MessageTarget
{
public:
  virtual LRESULT onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

protected:
  ~SWELL_MessageTarget() = default;
};

// Keeps its own window text.
class SWELL_TextHolder
{
public:
  virtual const char* onSwellGetText() = 0;
  virtual void onSwellSetText(const char* text) = 0;

protected:
  ~SWELL_TextHolder() = default;
};

class SWELL_UserDataHolder
{
public:
  virtual LONG_PTR getSwellUserData() = 0;
  virtual void setSwellUserData(LONG_PTR value) = 0;

protected:
  ~SWELL_UserDataHolder() = default;
};

class SWELL_Taggable
{
public:
  virtual void setTag(cocoa::NSInteger tag) = 0;

protected:
  ~SWELL_Taggable() = default;
};

// The words of a window view: extra data, its procedures and its extended style.
class SWELL_WindowWords
{
public:
  virtual LONG_PTR getSwellExtraData(int index) = 0;
  virtual void setSwellExtraData(int index, LONG_PTR value) = 0;
  virtual WNDPROC getSwellWindowProc() = 0;
  virtual void setSwellWindowProc(WNDPROC proc) = 0;
  virtual DLGPROC getSwellDialogProc() = 0;
  virtual void setSwellDialogProc(DLGPROC proc) = 0;
  virtual LONG_PTR swellGetExtendedStyle() = 0;
  virtual void swellSetExtendedStyle(LONG_PTR style) = 0;

protected:
  ~SWELL_WindowWords() = default;
};

class SWELL_Enablable
{
public:
  virtual bool isEnabled() = 0;
  virtual void setEnabled(bool enabled) = 0;
  // Enabled, but never taking the keyboard focus.
  virtual void setEnabledSwellNoFocus() = 0;

protected:
  ~SWELL_Enablable() = default;
};

// Menu items and controls send their choices here as onSwellCommand (every numbered
// form of it lands in the same place).
class SWELL_CommandTarget : public cocoa::ActionTarget
{
public:
  virtual void onSwellCommand(cocoa::NSObject* sender) = 0;
  bool performAction(cocoa::Action action, cocoa::NSObject* sender) override;

protected:
  ~SWELL_CommandTarget() = default;
};

// A button that may be one of a group of radio buttons (the buttons of the dialog controls
// answer it). Flags: bit 0 a radio button, bit 1 the first of its group.
class SWELL_RadioButton
{
public:
  virtual int swellGetRadioFlags() = 0;
  virtual int state() const = 0;
  virtual void setState(int state) = 0;

protected:
  ~SWELL_RadioButton() = default;
};

// The button that Return presses in its window: a dialog's default push button answers
// true (SWELL_GetDefaultButtonID finds it by its tag).
class SWELL_DefaultButton
{
public:
  virtual bool swellIsDefaultButton() = 0;

protected:
  ~SWELL_DefaultButton() = default;
};

// Text controls, as the application's key filter sees the one with the keyboard focus: the
// clipboard keys reach it as the copy, cut and paste actions (cocoa::ActionTarget), and
// Escape and Return ask what kind of text it is.
class SWELL_TextControl
{
public:
  // A text view: a multi-line field, or the editor a single-line field edits through.
  virtual bool swellIsTextView() = 0;
  virtual bool swellIsEditable() = 0;
  // A single-line field: a text view inside one is its editor.
  virtual bool swellIsTextField() = 0;

protected:
  ~SWELL_TextControl() = default;
};

// Keeps a menu that it is the command destination of.
class SWELL_MenuHolder
{
public:
  virtual void swellSetMenu(HMENU menu) = 0;
  virtual HMENU swellGetMenu() = 0;

protected:
  ~SWELL_MenuHolder() = default;
};

// Wants WM_CAPTURECHANGED when the mouse capture leaves it.
class SWELL_CaptureNotify
{
public:
  virtual bool swellCapChangeNotify() = 0;

protected:
  ~SWELL_CaptureNotify() = default;
};

// Keeps the style it was made with, which GWL_STYLE reads and replaces (combo boxes, list
// views): what the control does next follows the style it holds then.
class SWELL_StyleHolder
{
public:
  virtual int getSwellStyle() const = 0;
  virtual void setSwellStyle(int style) = 0;

protected:
  ~SWELL_StyleHolder() = default;
};

// Window properties (SetProp and its kin).
class SWELL_PropertyHolder
{
public:
  virtual bool swellSetProp(const char* name, void* value) = 0;
  virtual void* swellGetProp(const char* name, bool wantRemove) = 0;
  virtual int swellEnumProps(int (*proc)(HWND, const char*, void*, LPARAM), LPARAM lParam) = 0;

protected:
  ~SWELL_PropertyHolder() = default;
};

// The objects behind handles, and back. A handle is always the address of the object's
// NSObject part.
inline cocoa::NSObject* swellObjectOf(HWND hwnd)
{
  return reinterpret_cast<cocoa::NSObject*>(hwnd);
}

inline HWND swellHandleOf(const cocoa::NSObject* object)
{
  return reinterpret_cast<HWND>(const_cast<cocoa::NSObject*>(object));
}

// A menu handle is the address of the platform menu. Null for anything that is not a live
// menu: menu handles outlive their menus in callers' hands (DestroyMenu, a window that let
// its menu go).
inline cocoa::NSMenu* swellMenuOf(HMENU menu)
{
  auto* object = reinterpret_cast<cocoa::NSObject*>(menu);
  return cocoa::isLiveObject(object) ? dynamic_cast<cocoa::NSMenu*>(object) : nullptr;
}

inline HMENU swellMenuHandleOf(const cocoa::NSMenu* menu)
{
  return reinterpret_cast<HMENU>(const_cast<cocoa::NSObject*>(static_cast<const cocoa::NSObject*>(menu)));
}
