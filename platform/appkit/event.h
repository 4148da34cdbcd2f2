#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"

#include <cstdint>

namespace cocoa
{
class NSWindow;

enum NSEventType : int
{
  NSEventTypeLeftMouseDown = 1,
  NSEventTypeLeftMouseUp = 2,
  NSEventTypeRightMouseDown = 3,
  NSEventTypeRightMouseUp = 4,
  NSEventTypeMouseMoved = 5,
  NSEventTypeLeftMouseDragged = 6,
  NSEventTypeRightMouseDragged = 7,
  NSEventTypeMouseExited = 9,
  NSEventTypeKeyDown = 10,
  NSEventTypeKeyUp = 11,
  NSEventTypeFlagsChanged = 12,
  NSEventTypeApplicationDefined = 15,
  NSEventTypeRotate = 18,
  NSEventTypeScrollWheel = 22,
  NSEventTypeOtherMouseDown = 25,
  NSEventTypeOtherMouseUp = 26,
  NSEventTypeOtherMouseDragged = 27,
  NSEventTypeMagnify = 30,
  NSEventTypeSwipe = 31,
  // Not one of Cocoa's: text that arrived without a key of its own (a keyboard layout's
  // dead keys, an input method's or compose key's commit), in `characters`. The window
  // hands it to its first responder's insertText, the road Cocoa's input methods take.
  NSEventTypeTextInput = 40,
};

using NSEventMask = uint64_t;
constexpr NSEventMask NSEventMaskAny = ~NSEventMask(0);
constexpr NSEventMask NSEventMaskFromType(NSEventType type) { return NSEventMask(1) << type; }

// Cocoa's modifier bits. On Linux the Ctrl key acts as Command and the Super key as Control.
enum NSEventModifierFlags : unsigned
{
  NSEventModifierFlagCapsLock = 1u << 16,
  NSEventModifierFlagShift = 1u << 17,
  NSEventModifierFlagControl = 1u << 18,
  NSEventModifierFlagOption = 1u << 19,
  NSEventModifierFlagCommand = 1u << 20,
  NSEventModifierFlagNumericPad = 1u << 21,
  NSEventModifierFlagFunction = 1u << 23,
  NSEventModifierFlagDeviceIndependentFlagsMask = 0xFFFF0000u,
};

// The fields of one event; only those that belong to its type carry meaning.
struct NSEventFields
{
  NSEventType type = NSEventTypeApplicationDefined;
  NSPoint locationInWindow;  // window base coordinates: y up from the window's lower edge
  unsigned modifierFlags = 0;
  double timestamp = 0;
  NSWindow* window = nullptr;
  NSInteger clickCount = 0;
  NSInteger buttonNumber = 0;
  float pressure = 0;
  uint16_t keyCode = 0;
  NSString characters;
  NSString charactersIgnoringModifiers;
  bool isARepeat = false;
  // Mouse motion: positive x right, positive y down (reported also while the pointer is
  // held in place). Wheel: positive y scrolls up. Swipe: -1 or +1 on one axis. Magnify: the
  // change of scale in deltaZ (0.1 is ten per cent larger).
  CGFloat deltaX = 0;
  CGFloat deltaY = 0;
  CGFloat deltaZ = 0;
  // Rotate: degrees, counter-clockwise positive.
  float rotation = 0;
  bool hasPreciseScrollingDeltas = false;
  short subtype = 0;
  NSInteger data1 = 0;
  NSInteger data2 = 0;
};

class NSEvent : public NSObject
{
public:
  // Autoreleased, as Cocoa's factories return them.
  static NSEvent* eventWithFields(const NSEventFields& fields);
  static NSEvent* mouseEventWithType(NSEventType type, NSPoint location, unsigned modifierFlags, double timestamp,
                                     NSWindow* window, NSInteger clickCount, float pressure);
  static NSEvent* keyEventWithType(NSEventType type, NSPoint location, unsigned modifierFlags, double timestamp,
                                   NSWindow* window, const NSString& characters,
                                   const NSString& charactersIgnoringModifiers, bool isARepeat, uint16_t keyCode);
  static NSEvent* otherEventWithType(NSEventType type, NSPoint location, unsigned modifierFlags, double timestamp,
                                     NSWindow* window, short subtype, NSInteger data1, NSInteger data2);

  NSEventType type() const { return m_fields.type; }
  NSPoint locationInWindow() const { return m_fields.locationInWindow; }
  unsigned modifierFlags() const { return m_fields.modifierFlags; }
  double timestamp() const { return m_fields.timestamp; }
  NSWindow* window() const { return m_fields.window; }
  NSInteger windowNumber() const;
  NSInteger clickCount() const { return m_fields.clickCount; }
  NSInteger buttonNumber() const { return m_fields.buttonNumber; }
  float pressure() const { return m_fields.pressure; }
  uint16_t keyCode() const { return m_fields.keyCode; }
  const NSString& characters() const { return m_fields.characters; }
  const NSString& charactersIgnoringModifiers() const { return m_fields.charactersIgnoringModifiers; }
  bool isARepeat() const { return m_fields.isARepeat; }
  CGFloat deltaX() const { return m_fields.deltaX; }
  CGFloat deltaY() const { return m_fields.deltaY; }
  CGFloat deltaZ() const { return m_fields.deltaZ; }
  CGFloat magnification() const { return m_fields.deltaZ; }
  float rotation() const { return m_fields.rotation; }
  CGFloat scrollingDeltaX() const { return m_fields.deltaX; }
  CGFloat scrollingDeltaY() const { return m_fields.deltaY; }
  bool hasPreciseScrollingDeltas() const { return m_fields.hasPreciseScrollingDeltas; }
  short subtype() const { return m_fields.subtype; }
  NSInteger data1() const { return m_fields.data1; }
  NSInteger data2() const { return m_fields.data2; }
  const NSEventFields& fields() const { return m_fields; }

  // The pointer in screen coordinates, the buttons held (bit 0 left, 1 right, 2 middle)
  // and the modifier keys held, as the backend last saw them.
  static NSPoint mouseLocation();
  static NSUInteger pressedMouseButtons();
  static unsigned currentModifierFlags();

private:
  explicit NSEvent(const NSEventFields& fields);
  void dealloc() override;

  NSEventFields m_fields;
};

bool isMouseDownEvent(NSEventType type);
bool isMouseUpEvent(NSEventType type);
bool isMouseEvent(NSEventType type);
bool isKeyEvent(NSEventType type);
// Magnify, swipe and rotate: they go to the view under the pointer, as the wheel does.
bool isGestureEvent(NSEventType type);
}  // namespace cocoa
