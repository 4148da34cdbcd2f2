// Files dragged over a window and dropped on it, as the backend reports them.

#include "platform/appkit/dragging.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

#include <algorithm>

namespace cocoa
{
namespace
{
NSPasteboard* dragPasteboardWith(const std::vector<NSString>& paths)
{
  NSPasteboard* pasteboard = NSPasteboard::pasteboardWithName(NSDragPboard);
  pasteboard->clearContents();
  pasteboard->setPropertyList(paths, NSFilenamesPboardType);
  return pasteboard;
}

NSDraggingDestination* destinationOf(NSView* view)
{
  return dynamic_cast<NSDraggingDestination*>(view);
}
}  // namespace

NSView* NSWindow::dragDestinationAt(NSPoint point) const
{
  for (NSView* view = m_contentView ? m_contentView->hitTest(point) : nullptr; view; view = view->superview())
  {
    const auto& types = view->registeredDraggedTypes();
    if (std::find(types.begin(), types.end(), NSString(NSFilenamesPboardType)) != types.end())
      return destinationOf(view) ? view : nullptr;
  }
  return nullptr;
}

void NSWindow::moveDrag(const std::vector<NSString>& paths, NSPoint point, bool update)
{
  StrongRef<NSWindow> keep(this);
  StrongRef<NSView> target(dragDestinationAt(point));
  if (target == m_dragTarget)
  {
    m_dragPoint = point;
    if (!target || !update) return;
    NSDraggingInfo info(dragPasteboardWith(paths), point);
    info.setAnsweredOperation(m_dragOperation);
    m_dragOperation = destinationOf(target.get())->draggingUpdated(&info);
    return;
  }
  backendDragExited();
  m_dragTarget = target;
  m_dragPoint = point;
  if (!target) return;
  NSDraggingInfo info(dragPasteboardWith(paths), point);
  m_dragOperation = destinationOf(target.get())->draggingEntered(&info);
}

void NSWindow::backendFilesDragged(const std::vector<NSString>& paths, NSPoint point)
{
  if (paths.empty()) return;
  moveDrag(paths, point, true);
}

void NSWindow::backendDragExited()
{
  StrongRef<NSView> target = std::exchange(m_dragTarget, StrongRef<NSView>());
  if (!target) return;
  NSDraggingInfo info(NSPasteboard::pasteboardWithName(NSDragPboard), m_dragPoint);
  info.setAnsweredOperation(m_dragOperation);
  destinationOf(target.get())->draggingExited(&info);
}

void NSWindow::backendFilesDropped(const std::vector<NSString>& paths, NSPoint point)
{
  if (paths.empty())
  {
    backendDragExited();
    return;
  }
  StrongRef<NSWindow> keep(this);
  moveDrag(paths, point, false);
  StrongRef<NSView> target = std::exchange(m_dragTarget, StrongRef<NSView>());
  if (!target) return;
  NSDraggingDestination* destination = destinationOf(target.get());
  NSDraggingInfo info(dragPasteboardWith(paths), point);
  info.setAnsweredOperation(m_dragOperation);
  if (m_dragOperation == NSDragOperationNone)
  {
    destination->draggingExited(&info);
    return;
  }
  if (destination->prepareForDragOperation(&info) && destination->performDragOperation(&info))
    destination->concludeDragOperation(&info);
}
}  // namespace cocoa
