#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/object.h"

namespace cocoa
{
class NSPasteboard;

enum : unsigned
{
  NSDragOperationNone = 0,
  NSDragOperationCopy = 1,
  NSDragOperationLink = 2,
  NSDragOperationGeneric = 4,
  NSDragOperationEvery = ~0u,
};

// What a drag carries: files from the desktop arrive as a list of paths under
// NSFilenamesPboardType on the drag pasteboard. A desktop that reports where a drag moves
// before it is dropped lets its destinations follow it (the headless backend does; SDL
// reports only the drop).
class NSDraggingInfo
{
public:
  NSDraggingInfo(NSPasteboard* pasteboard, NSPoint locationInWindow)
      : m_pasteboard(pasteboard), m_location(locationInWindow)
  {
  }
  NSPasteboard* draggingPasteboard() const { return m_pasteboard; }
  NSPoint draggingLocation() const { return m_location; }
  // What the destination answered last (draggingEntered or draggingUpdated).
  unsigned answeredOperation() const { return m_answered; }
  void setAnsweredOperation(unsigned operation) { m_answered = operation; }
  unsigned draggingSourceOperationMask() const { return NSDragOperationCopy | NSDragOperationLink | NSDragOperationGeneric; }

private:
  NSPasteboard* m_pasteboard;
  NSPoint m_location;
  unsigned m_answered = NSDragOperationNone;
};

// A view that takes drops implements this and registers for the types it takes.
class NSDraggingDestination
{
public:
  virtual ~NSDraggingDestination() = default;
  // Anything but NSDragOperationNone accepts the drop.
  virtual unsigned draggingEntered(NSDraggingInfo*) { return NSDragOperationNone; }
  // The drag moved over the destination it entered; the answer replaces the last one,
  // which a destination that does not override this keeps.
  virtual unsigned draggingUpdated(NSDraggingInfo* info) { return info->answeredOperation(); }
  virtual void draggingExited(NSDraggingInfo*) {}
  virtual bool prepareForDragOperation(NSDraggingInfo*) { return true; }
  virtual bool performDragOperation(NSDraggingInfo*) { return false; }
  virtual void concludeDragOperation(NSDraggingInfo*) {}
};
}  // namespace cocoa
