#include "platform/appkit/event.h"

#include "platform/appkit/window.h"
#include "platform/backend/backend.h"

namespace cocoa
{
NSEvent::NSEvent(const NSEventFields& fields) : m_fields(fields)
{
  // The event keeps its window alive while it waits in a queue.
  if (m_fields.window) m_fields.window->retain();
}

void NSEvent::dealloc()
{
  if (NSWindow* window = m_fields.window)
  {
    m_fields.window = nullptr;
    window->release();
  }
}

NSEvent* NSEvent::eventWithFields(const NSEventFields& fields)
{
  NSEvent* event = new NSEvent(fields);
  event->autorelease();
  return event;
}

NSEvent* NSEvent::mouseEventWithType(NSEventType type, NSPoint location, unsigned modifierFlags, double timestamp,
                                     NSWindow* window, NSInteger clickCount, float pressure)
{
  NSEventFields f;
  f.type = type;
  f.locationInWindow = location;
  f.modifierFlags = modifierFlags;
  f.timestamp = timestamp;
  f.window = window;
  f.clickCount = clickCount;
  f.pressure = pressure;
  if (type == NSEventTypeRightMouseDown || type == NSEventTypeRightMouseUp || type == NSEventTypeRightMouseDragged)
    f.buttonNumber = 1;
  else if (type == NSEventTypeOtherMouseDown || type == NSEventTypeOtherMouseUp ||
           type == NSEventTypeOtherMouseDragged)
    f.buttonNumber = 2;
  return eventWithFields(f);
}

NSEvent* NSEvent::keyEventWithType(NSEventType type, NSPoint location, unsigned modifierFlags, double timestamp,
                                   NSWindow* window, const NSString& characters,
                                   const NSString& charactersIgnoringModifiers, bool isARepeat, uint16_t keyCode)
{
  NSEventFields f;
  f.type = type;
  f.locationInWindow = location;
  f.modifierFlags = modifierFlags;
  f.timestamp = timestamp;
  f.window = window;
  f.characters = characters;
  f.charactersIgnoringModifiers = charactersIgnoringModifiers;
  f.isARepeat = isARepeat;
  f.keyCode = keyCode;
  return eventWithFields(f);
}

NSEvent* NSEvent::otherEventWithType(NSEventType type, NSPoint location, unsigned modifierFlags, double timestamp,
                                     NSWindow* window, short subtype, NSInteger data1, NSInteger data2)
{
  NSEventFields f;
  f.type = type;
  f.locationInWindow = location;
  f.modifierFlags = modifierFlags;
  f.timestamp = timestamp;
  f.window = window;
  f.subtype = subtype;
  f.data1 = data1;
  f.data2 = data2;
  return eventWithFields(f);
}

NSInteger NSEvent::windowNumber() const
{
  return m_fields.window ? m_fields.window->windowNumber() : 0;
}

NSPoint NSEvent::mouseLocation()
{
  return platformBackend().mouseLocation();
}

NSUInteger NSEvent::pressedMouseButtons()
{
  return platformBackend().pressedMouseButtons();
}

unsigned NSEvent::currentModifierFlags()
{
  return platformBackend().modifierFlags();
}

bool isMouseDownEvent(NSEventType t)
{
  return t == NSEventTypeLeftMouseDown || t == NSEventTypeRightMouseDown || t == NSEventTypeOtherMouseDown;
}

bool isMouseUpEvent(NSEventType t)
{
  return t == NSEventTypeLeftMouseUp || t == NSEventTypeRightMouseUp || t == NSEventTypeOtherMouseUp;
}

bool isMouseEvent(NSEventType t)
{
  return isMouseDownEvent(t) || isMouseUpEvent(t) || t == NSEventTypeMouseMoved || t == NSEventTypeLeftMouseDragged ||
         t == NSEventTypeRightMouseDragged || t == NSEventTypeOtherMouseDragged || t == NSEventTypeScrollWheel;
}

bool isGestureEvent(NSEventType t)
{
  return t == NSEventTypeMagnify || t == NSEventTypeSwipe || t == NSEventTypeRotate;
}

bool isKeyEvent(NSEventType t)
{
  return t == NSEventTypeKeyDown || t == NSEventTypeKeyUp || t == NSEventTypeFlagsChanged;
}
}  // namespace cocoa
