#pragma once

// The view behind every HWND that a window or dialog procedure sees: the content view of a
// top-level window, a child dialog inside another view, or a plain child window. It carries
// the procedures, the window words and the text, turns platform events into messages for
// its procedure, and runs the destroy sequence.

#include "swell-paint-info.h"
#include "swell-types.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/combo_box.h"
#include "platform/appkit/dragging.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/outline_view.h"
#include "platform/appkit/table_view.h"
#include "platform/appkit/text.h"
#include "platform/appkit/view.h"
#include "platform/appkit/walk.h"
#include "platform/foundation/timer.h"

struct WindowPropRec
{
  char* name;  // a string the record owns, or an atom (any value up to 0xFFFF)
  void* value;
  WindowPropRec* next;
};

class Swell_vVorna_hwnd : public cocoa::NSView,
                          public SWELL_MessageTarget,
                          public SWELL_TextHolder,
                          public SWELL_UserDataHolder,
                          public SWELL_Taggable,
                          public SWELL_WindowWords,
                          public SWELL_Enablable,
                          public SWELL_CommandTarget,
                          public SWELL_MenuHolder,
                          public SWELL_CaptureNotify,
                          public SWELL_PropertyHolder,
                          public SWELL_PaintInfoSource,
                          public cocoa::TimerTarget,
                          public cocoa::NSMenuDelegate,
                          public cocoa::NSComboBoxDelegate,
                          public cocoa::NSTextDelegate,
                          public cocoa::NSTableViewDelegate,
                          public cocoa::NSOutlineViewDelegate,
                          public cocoa::NSDraggingDestination,
                          public cocoa::Retirable
{
public:
  static constexpr int kExtraDataBytes = 256;
  static constexpr int kTitleBytes = 1024;

  Swell_vVorna_hwnd();

  // The constructor proper; the caller owns the view once. With a resource: its size,
  // opacity, flipping and drop flags, its controls, then WM_INITDIALOG to the dialog
  // procedure and the initial focus. Without one: 300 x 200, opaque and flipped, and a
  // given procedure becomes the window procedure and hears WM_CREATE with the parameter.
  // A window parent takes the view as its content view, any other view as a subview; the
  // view starts hidden.
  Swell_vVorna_hwnd* initChild(const SWELL_DialogResourceIndex* resource, cocoa::NSObject* parent, DLGPROC dlgProc,
                               LPARAM param);

  HWND handle() const { return swellHandleOf(this); }

  // Accessors.
  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }
  LONG_PTR getSwellUserData() override { return m_userdata; }
  void setSwellUserData(LONG_PTR value) override { m_userdata = value; }
  // Byte indexes 0..255, eight to a word; any other index reads 0 and writes nothing.
  LONG_PTR getSwellExtraData(int index) override;
  void setSwellExtraData(int index, LONG_PTR value) override;
  WNDPROC getSwellWindowProc() override { return m_wndproc; }
  void setSwellWindowProc(WNDPROC proc) override { m_wndproc = proc; }
  DLGPROC getSwellDialogProc() override { return m_dlgproc; }
  void setSwellDialogProc(DLGPROC proc) override { m_dlgproc = proc; }
  LONG_PTR swellGetExtendedStyle() override { return m_supports_ddrop ? WS_EX_ACCEPTFILES_BIT : 0; }
  // Taking file drops registers the view for them.
  void swellSetExtendedStyle(LONG_PTR style) override;
  HMENU swellGetMenu() override { return m_menu; }
  void swellSetMenu(HMENU menu) override;
  bool swellHasBeenDestroyed() const { return m_hashaddestroy != 0; }
  bool swellCanPostMessage() const { return m_hashaddestroy == 0; }
  // Walks over views skip a destroyed view and end when the view they walk is destroyed.
  bool isRetired() const override { return m_hashaddestroy == 2; }
  unsigned swellCreateWindowFlags() const { return m_create_windowflags; }
  void setSwellCreateWindowFlags(unsigned flags) { m_create_windowflags = flags; }
  bool swellCapChangeNotify() override { return true; }
  bool isFlipped() const override { return m_flip != 0; }
  bool isOpaque() const override { return m_isopaque != 0; }
  void setOpaque(bool opaque) { m_isopaque = opaque; }
  void setFlipped(bool flipped) { m_flip = flipped; }
  const char* onSwellGetText() override { return m_titlestr; }
  // At most 1023 bytes, never ending inside a UTF-8 character.
  void onSwellSetText(const char* text) override;
  bool isEnabled() override { return m_enabled != 0; }
  void setEnabled(bool enabled) override { m_enabled = enabled ? 1 : 0; }
  void setEnabledSwellNoFocus() override { m_enabled = -1; }

  // Every message the window receives passes through here.
  LRESULT onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void onSwellCommand(cocoa::NSObject* sender) override;

  bool swellSetProp(const char* name, void* value) override;
  void* swellGetProp(const char* name, bool wantRemove) override;
  int swellEnumProps(int (*proc)(HWND, const char*, void*, LPARAM), LPARAM lParam) override;

  // Platform entry points that become messages.
  void viewDidHide() override;
  void viewDidUnhide() override;
  void setFrame(cocoa::NSRect frame) override;
  bool acceptsFirstResponder() override { return m_enabled > 0; }
  bool becomeFirstResponder() override;
  bool acceptsFirstMouse(cocoa::NSEvent* event) override;
  void keyDown(cocoa::NSEvent* event) override;
  void keyUp(cocoa::NSEvent* event) override;
  void didAddSubview(cocoa::NSView* view) override;
  void willRemoveSubview(cocoa::NSView* view) override;
  void menuNeedsUpdate(cocoa::NSMenu* menu) override;
  // The controls inside report here as their delegate (swell-ctl-notify.cpp): WM_COMMAND
  // with the control's id and a notification code.
  void comboBoxWillPopUp(cocoa::NSComboBox* combo) override;
  void comboBoxSelectionDidChange(cocoa::NSComboBox* combo) override;
  void comboBoxWillDismiss(cocoa::NSComboBox* combo) override;
  void controlTextDidChange(cocoa::NSControl* control) override;
  void controlTextDidEndEditing(cocoa::NSControl* control) override;
  void textDidEndEditing(cocoa::NSText* text, cocoa::NSTextMovement movement) override;
  // Window timers (swell-timer.cpp): WM_TIMER with the id the timer carries.
  void timerFired(cocoa::NSTimer* timer) override;

  // Mouse and gestures (swell-mouse.cpp, swell-mouse-gesture.cpp).
  void mouseDown(cocoa::NSEvent* event) override;
  void mouseUp(cocoa::NSEvent* event) override;
  void mouseDragged(cocoa::NSEvent* event) override;
  void rightMouseDown(cocoa::NSEvent* event) override;
  void rightMouseUp(cocoa::NSEvent* event) override;
  void rightMouseDragged(cocoa::NSEvent* event) override;
  void otherMouseDown(cocoa::NSEvent* event) override;
  void otherMouseUp(cocoa::NSEvent* event) override;
  void otherMouseDragged(cocoa::NSEvent* event) override;
  void mouseMoved(cocoa::NSEvent* event) override;
  void scrollWheel(cocoa::NSEvent* event) override;
  void magnifyWithEvent(cocoa::NSEvent* event) override;
  void swipeWithEvent(cocoa::NSEvent* event) override;
  void rotateWithEvent(cocoa::NSEvent* event) override;

  // The list and tree views inside (swell-wnd-tables.cpp): what the user chose, and the
  // text colours of their cells.
  void tableViewSelectionDidChange(cocoa::NSTableView* table) override;
  void tableViewDidClickTableColumn(cocoa::NSTableView* table, cocoa::NSTableColumn* column) override;
  void tableViewDoubleClicked(cocoa::NSTableView* table) override;
  void tableViewWillDisplayCell(cocoa::NSTableView* table, cocoa::NSCell* cell, cocoa::NSTableColumn*,
                                cocoa::NSInteger row) override;
  void outlineViewSelectionDidChange(cocoa::NSOutlineView* outline) override;
  void outlineViewWillDisplayCell(cocoa::NSOutlineView* outline, cocoa::NSCell* cell, cocoa::NSTableColumn*,
                                  void* item) override;

  // Files dropped on the view (swell-dragdrop.cpp).
  unsigned draggingEntered(cocoa::NSDraggingInfo* info) override;
  unsigned draggingUpdated(cocoa::NSDraggingInfo* info) override;
  void draggingExited(cocoa::NSDraggingInfo* info) override;
  bool performDragOperation(cocoa::NSDraggingInfo* info) override;
  // The drop handle of a drag (preview) or, on a drop, WM_DROPFILES with it; null when
  // nothing usable was dragged or the view takes no drops.
  HANDLE swellExtendedDragOp(cocoa::NSDraggingInfo* info, bool preview);

  // Painting (swell-paint.cpp).
  void drawRect(cocoa::NSRect dirty) override;
  bool getSwellPaintInfo(PAINTSTRUCT* ps) override;

  // Accessibility (swell-wnd-access.cpp): the window procedure may offer an element of its
  // own through WM_GETOBJECT (wParam kAccessibilityObjectId, lParam the address of an
  // object pointer that starts null). It takes part in hit tests, the focus and the lists
  // of children; a view without subviews that has one is ignored in its favour. The view
  // holds the element while a list it cached names it, so an element must not own its view.
  static constexpr WPARAM kAccessibilityObjectId = 0x1001;
  bool accessibilityIsIgnored() override;
  cocoa::NSObject* accessibilityHitTest(cocoa::NSPoint screenPoint) override;
  cocoa::NSObject* accessibilityFocusedUIElement() override;
  cocoa::StrongRef<cocoa::NSArray> accessibilityAttributeValue(const cocoa::NSString& attribute) override;

  // The window's data. Other files of the layer read and set it directly, as the
  // procedures of one object.
  int m_enabled = 1;  // 1 enabled, 0 disabled, -1 enabled but never focused
  DLGPROC m_dlgproc = nullptr;
  WNDPROC m_wndproc = nullptr;
  LONG_PTR m_userdata = 0;
  LONG_PTR m_extradata[kExtraDataBytes / 8] = {};
  cocoa::NSInteger m_tag = 0;
  int m_isfakerightmouse = 0;
  char m_hashaddestroy = 0;  // 0 alive, 1 destroying, 2 destroyed
  HMENU m_menu = nullptr;    // owned
  char m_flip = 1;
  bool m_supports_ddrop = false;
  bool m_paintctx_used = false;
  HDC m_paintctx_hdc = nullptr;
  WindowPropRec* m_props = nullptr;
  cocoa::NSRect m_paintctx_rect;
  char m_isopaque = 1;
  char m_titlestr[kTitleBytes] = {};
  unsigned m_create_windowflags = 0;
  char m_isdirty = 3;  // bit 0: redraw the whole view; bit 1: something below changed
  char m_allow_nomiddleman = 1;
  cocoa::NSObject* m_lastTopLevelOwner = nullptr;  // compared, never sent to
  // The last answer for the children and the visible children, kept while the element and
  // the platform's own list stay the same.
  struct AccessibilityCache
  {
    cocoa::StrongRef<cocoa::NSArray> result;
    cocoa::StrongRef<cocoa::NSArray> superclassValue;
    cocoa::StrongRef<cocoa::NSObject> element;
  };
  AccessibilityCache m_access_cacheptrs[2];

protected:
  void dealloc() override;

private:
  static constexpr LONG_PTR WS_EX_ACCEPTFILES_BIT = 0x10;
  cocoa::NSObject* accessibilityElementFromProcedure();
  bool holdsProp(const WindowPropRec* prop) const;
  bool holdsScreenPoint(cocoa::NSPoint screenPoint) const;
  void focusFirstControlAfterInitDialog(cocoa::NSObject* parent, LRESULT answer, cocoa::NSView* firstControl);
  void sendKey(UINT msg, cocoa::NSEvent* event, bool down);
};

// The window procedure of every view until something replaces it: hands the message to the
// dialog procedure (painting the background first for WM_PAINT), else to DefWindowProc.
LRESULT SwellDialogDefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The window view behind a handle: the handle itself, or a window's content view; null for
// anything else.
Swell_vVorna_hwnd* swellWindowView(HWND hwnd);
