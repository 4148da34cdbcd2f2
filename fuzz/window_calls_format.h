#pragma once

// The byte format of window_calls_fuzzer's inputs, shared with its seed generator so that
// the seeds are written in the same terms the fuzzer reads them.
//
// An input is a sequence of calls. Each call is a header byte, the call's own argument
// bytes, then 0 to 3 one-shot reactions of three bytes each (kind, action, target):
//   header: call = (h & 0x3F) % kCallCount, reactions = h >> 6.
// A one-shot reaction applies once, to the first message of its kind any procedure receives
// while the call runs (or later, should the call end before such a message came). A window
// may also keep standing reactions (kRule), which apply to every message of their kind it
// receives, as a procedure written to do so would.
//
// Window selectors (one byte) pick among the windows alive when the call runs:
//   below 0x80: the live windows in order (every top-level window's content view followed
//               by its views depth first, then windows that left their window alive),
//               index modulo their count;
//   0x80..0xEF: the window the fuzzer made (s - 0x80)-th in this input, if still alive;
//   0xF0 and up: none.

#include <cstdint>

namespace window_calls
{
constexpr uint8_t kNone = 0xF0;

constexpr uint8_t bySerial(int serial)
{
  return static_cast<uint8_t>(0x80 + serial);
}

enum Call : uint8_t
{
  kCreateTopLevel,  // [style, owner]
  kCreateChild,     // [parent, geometry]
  kCreateDialog,    // [parent, resource]: parent none gives a modeless dialog
  kCreateControl,   // [parent, kind, geometry]
  kDestroy,         // [window]
  kShow,            // [window, command]
  kFocus,           // [window]
  kClick,           // [window, how]: bit 0 right button, bit 1 double, bits 2..7 offset
  kKey,             // [window (none: the key window), key]
  kTimer,           // [window, how]: bits 0..1 id - 1, bits 2..3 interval, bit 4 kill instead
  kAdvance,         // [duration]
  kStyle,           // [window, style]
  kSetParent,       // [window, new parent]
  kScroll,          // [window, offsets]
  kPaint,           // [window, how]
  kEnumChildren,    // [window]
  kPopupMenu,       // [window, shape, event count, events (3 bytes each)...]
  kSchedule,        // [event (3 bytes)]
  kSetPos,          // [window, flags, x, y, w, h]
  kRule,            // [window, kind, action, target]
  kDisplayChange,   // [window (none: broadcast to every window)]
  kDetach,          // [window]: taken out of its window as a host takes out a view
  kEnumWindows,     // []
  kType,            // [length, bytes...]
  kEnable,          // [window, how]
  kCallCount
};

// What a reaction waits for.
enum Kind : uint8_t
{
  kAny,
  kMouseActivate,
  kEditSetFocus,   // WM_COMMAND EN_SETFOCUS
  kEditKillFocus,  // WM_COMMAND EN_KILLFOCUS
  kEditChange,     // WM_COMMAND EN_CHANGE
  kCommandZero,    // WM_COMMAND with code 0: BN_CLICKED, menu commands, IDOK, IDCANCEL
  kComboCommand,   // WM_COMMAND CBN_*
  kTimerTick,
  kMove,
  kSize,
  kPaintMessage,
  kDestroyMessage,
  kCreateMessage,  // WM_CREATE or WM_INITDIALOG
  kContextMenu,
  kShowWindow,
  kActivate,
  kDisplayChangeMessage,
  kInitMenuPopup,
  kHitTest,
  kGetObject,
  kMouseButton,
  kKeyMessage,
  kClose,
  kEnumeration,    // an EnumChildWindows or EnumWindows callback
  kCalcSize,
  kColour,         // WM_ERASEBKGND, WM_CTLCOLOR*
  kMinMax,
  kCursorOrMove,   // WM_SETCURSOR, WM_MOUSEMOVE
  kCaptureChanged,
  kAnyCommand,
  kKindCount
};

enum Action : uint8_t
{
  kNothing,
  kDestroyTarget,
  kMoveTarget,   // to the parent picked by target >> 3 (31: none, a window of its own)
  kAddChild,     // to the target, of the kind (target >> 3) % kChildKindCount
  kFocusTarget,
  kCallAgain,    // the call being made, made again from inside
  kActionCount
};

// target & 7; for kPick, (target >> 3) indexes the live windows.
enum Target : uint8_t
{
  kSelf,
  kParent,
  kNextSibling,
  kPreviousSibling,
  kFocused,
  kSender,  // the control of a WM_COMMAND, the window of a WM_CONTEXTMENU
  kTopLevel,
  kPick
};

constexpr uint8_t target(Target t, int arg = 0)
{
  return static_cast<uint8_t>(t | (arg << 3));
}

enum ChildKind : uint8_t
{
  kChildWindow,
  kEditField,
  kMultiLineField,
  kPushButton,
  kDropDownList,
  kEditableCombo,
  kCheckBox,
  kChildKindCount
};

// Scheduled events (kSchedule, and the events of kPopupMenu): [when, what, arg], run by a
// timer (when % 30 + 1) x 0.05 s later, in whatever loop turns then.
enum EventKind : uint8_t
{
  kEventKey,         // arg % 8: Down, Up, Left, Right, Return, Escape, Tab, Space
  kEventClickItem,   // arg: bits 0..3 item, bit 4 level of the open menu
  kEventHoverItem,   // the same
  kEventAddItem,     // arg: bits 0..2 position, bit 3 level, bit 4 with a submenu
  kEventRemoveItem,  // arg: bits 0..2 position, bit 3 level
  kEventDestroy,     // arg: a window selector
  kEventFocus,       // arg: a window selector
  kEventClick,       // arg: a window selector
  kEventKindCount
};

enum MenuKey : uint8_t
{
  kMenuDown,
  kMenuUp,
  kMenuLeft,
  kMenuRight,
  kMenuReturn,
  kMenuEscape,
  kMenuTab,
  kMenuSpace
};

// kPopupMenu's shape: bits 0..1 flags (none, TPM_RETURNCMD, TPM_NONOTIFY, both), bits 2..3
// items - 1, bit 4 a last item with a submenu.
constexpr uint8_t menuShape(int flags, int items, bool submenu)
{
  return static_cast<uint8_t>(flags | ((items - 1) << 2) | (submenu ? 16 : 0));
}

// kCreateTopLevel's style: bits 0..1 the frame (titled, resizable and closable; titled;
// borderless; titled and resizable), bit 2 made as a plain window by SWELL_CreateDialog
// instead of around a view.
// kCreateDialog's resource: % 3: a dialog of fields and buttons, a child dialog, two
// fields; bits 2..3 the answer to WM_INITDIALOG (1, 0, focus the dialog).
enum Resource : uint8_t
{
  kFieldsDialog,
  kChildDialog,
  kTwoFields
};

// kShow's command % 4: SW_HIDE, SW_SHOWNA, SW_SHOW, SW_SHOWMINIMIZED.
// kStyle's style % 8: 0, WS_CAPTION, WS_CAPTION | WS_THICKFRAME, BS_AUTOCHECKBOX,
// BS_AUTORADIOBUTTON | WS_GROUP, BS_AUTO3STATE, CBS_SORT, CBS_DROPDOWNLIST.
// kPaint's how % 4: the whole window and UpdateWindow, a corner and UpdateWindow, the whole
// window drawn by its window's displayIfNeeded, the whole window and one pass of the loop.
// kAdvance's duration % 6: 0, 0.01, 0.05, 0.1, 0.25, 0.5 s.
}  // namespace window_calls
