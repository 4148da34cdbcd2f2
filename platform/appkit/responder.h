#pragma once

#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"

namespace cocoa
{
class NSEvent;

// Events a responder does not handle travel up the chain: view, superview, ..., window.
class NSResponder : public NSObject
{
public:
  virtual NSResponder* nextResponder() const { return nullptr; }

  virtual void mouseDown(NSEvent* event);
  virtual void mouseUp(NSEvent* event);
  virtual void mouseDragged(NSEvent* event);
  virtual void rightMouseDown(NSEvent* event);
  virtual void rightMouseUp(NSEvent* event);
  virtual void rightMouseDragged(NSEvent* event);
  virtual void otherMouseDown(NSEvent* event);
  virtual void otherMouseUp(NSEvent* event);
  virtual void otherMouseDragged(NSEvent* event);
  virtual void mouseMoved(NSEvent* event);
  // The pointer left the window (or the window went away under it).
  virtual void mouseExited(NSEvent* event);
  virtual void scrollWheel(NSEvent* event);
  virtual void magnifyWithEvent(NSEvent* event);
  virtual void swipeWithEvent(NSEvent* event);
  virtual void rotateWithEvent(NSEvent* event);
  virtual void keyDown(NSEvent* event);
  virtual void keyUp(NSEvent* event);
  virtual void flagsChanged(NSEvent* event);
  // Text typed without a key of its own; travels up the chain like a key.
  virtual void insertText(const NSString& text);

  virtual bool acceptsFirstResponder() { return false; }
  virtual bool becomeFirstResponder() { return true; }
  virtual bool resignFirstResponder() { return true; }
};
}  // namespace cocoa
