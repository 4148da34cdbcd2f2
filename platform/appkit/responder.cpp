#include "platform/appkit/responder.h"

namespace cocoa
{
#define FORWARD_TO_NEXT(method)                             \
  void NSResponder::method(NSEvent* event)                  \
  {                                                         \
    if (NSResponder* next = nextResponder()) next->method(event); \
  }

FORWARD_TO_NEXT(mouseDown)
FORWARD_TO_NEXT(mouseUp)
FORWARD_TO_NEXT(mouseDragged)
FORWARD_TO_NEXT(rightMouseDown)
FORWARD_TO_NEXT(rightMouseUp)
FORWARD_TO_NEXT(rightMouseDragged)
FORWARD_TO_NEXT(otherMouseDown)
FORWARD_TO_NEXT(otherMouseUp)
FORWARD_TO_NEXT(otherMouseDragged)
FORWARD_TO_NEXT(mouseMoved)
FORWARD_TO_NEXT(mouseExited)
FORWARD_TO_NEXT(scrollWheel)
FORWARD_TO_NEXT(magnifyWithEvent)
FORWARD_TO_NEXT(swipeWithEvent)
FORWARD_TO_NEXT(rotateWithEvent)
FORWARD_TO_NEXT(keyDown)
FORWARD_TO_NEXT(keyUp)
FORWARD_TO_NEXT(flagsChanged)

#undef FORWARD_TO_NEXT

void NSResponder::insertText(const NSString& text)
{
  if (NSResponder* next = nextResponder()) next->insertText(text);
}
}  // namespace cocoa
