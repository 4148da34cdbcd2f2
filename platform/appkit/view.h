#pragma once

#include "platform/appkit/accessibility.h"
#include "platform/appkit/ordering.h"
#include "platform/appkit/responder.h"
#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"

#include <vector>

namespace cocoa
{
class NSWindow;
class NSEvent;
class NSGraphicsContext;
class NSToolTipOwner;

// A rectangle of a window that draws itself and takes events. The tree owns its views:
// a superview holds one reference to each subview, a window one to its content view.
class NSView : public NSResponder, public NSAccessibilityElement
{
public:
  explicit NSView(NSRect frame = NSRect{});

  // The tree.
  NSView* superview() const { return m_superview; }
  // A copy, as Cocoa's array is: walking it while views leave the tree misses none.
  std::vector<NSView*> subviews() const { return m_subviews; }
  NSWindow* window() const { return m_window; }
  void addSubview(NSView* view);
  // Places the view directly above or below `relativeTo` (or above or below all when null).
  void addSubview(NSView* view, NSWindowOrderingMode place, NSView* relativeTo);
  virtual void removeFromSuperview();
  void removeFromSuperviewWithoutNeedingDisplay();
  bool isDescendantOf(const NSView* view) const;
  // Whether `view` may go inside this view: it is neither this view nor one of its ancestors,
  // and no view of its tree keeps this view or one of its ancestors as a part of its own (a
  // scroll view keeps its clip view and scrollers wherever they were moved), since that part
  // would then hold what holds it, and neither would ever go.
  bool canTakeSubview(const NSView* view) const;
  // The view that keeps this one as a part of its own for as long as it lives, if any.
  virtual const NSView* partOwner() const { return nullptr; }
  virtual void didAddSubview(NSView*) {}
  virtual void willRemoveSubview(NSView*) {}
  virtual void viewWillMoveToWindow(NSWindow*) {}
  virtual void viewDidMoveToWindow() {}
  // After the view was added to a superview or removed from one (superview() tells which).
  virtual void viewDidMoveToSuperview() {}
  // A subview's frame changed (what Cocoa's frame-change notification tells an observer).
  virtual void subviewFrameDidChange(NSView*) {}
  NSResponder* nextResponder() const override;

  // Geometry. The frame is in the superview's coordinates, the bounds in the view's own;
  // a flipped view counts y downward from its top edge.
  NSRect frame() const { return m_frame; }
  virtual void setFrame(NSRect frame);
  void setFrameOrigin(NSPoint origin);
  void setFrameSize(NSSize size);
  NSRect bounds() const { return NSRect{m_boundsOrigin, m_frame.size}; }
  void setBoundsOrigin(NSPoint origin);
  virtual bool isFlipped() const { return false; }
  virtual bool isOpaque() const { return false; }

  // Conversions between this view and another of the same window; null means the
  // window's base coordinates (y up from the window's lower edge).
  NSPoint convertPointFromView(NSPoint point, const NSView* view) const;
  NSPoint convertPointToView(NSPoint point, const NSView* view) const;
  NSRect convertRectFromView(NSRect rect, const NSView* view) const;
  NSRect convertRectToView(NSRect rect, const NSView* view) const;
  // The part of the bounds that the superviews (and the window) leave visible.
  NSRect visibleRect() const;
  // Asks the superviews to scroll so that the rectangle (in this view's coordinates)
  // shows; a clip view scrolls and passes the request on. True when something scrolled.
  virtual bool scrollRectToVisible(NSRect rect);
  // The deepest visible view under a point given in the superview's coordinates.
  virtual NSView* hitTest(NSPoint pointInSuperview);
  virtual bool acceptsFirstMouse(NSEvent*) { return false; }

  // Hiding: viewDidHide and viewDidUnhide reach every view that becomes hidden or shown
  // through this change, the view itself and its descendants that were not hidden alone.
  bool isHidden() const { return m_hidden; }
  void setHidden(bool hidden);
  bool isHiddenOrHasHiddenAncestor() const;
  virtual void viewDidHide() {}
  virtual void viewDidUnhide() {}

  // Drawing: invalidated areas are drawn in the run loop's next pass. Every invalidation
  // of the view, the platform's own included, goes through these two.
  virtual void setNeedsDisplay(bool needed);
  virtual void setNeedsDisplayInRect(NSRect rect);
  bool needsDisplay() const { return m_needsDisplay; }
  virtual void drawRect(NSRect) {}
  void display();
  void displayIfNeeded();
  // Drawing outside drawRect: makes a context over the view's part of the window current.
  bool lockFocusIfCanDraw();
  void unlockFocus();

  virtual NSInteger tag() const { return -1; }

  // Tooltip rectangles in the view's coordinates; the owner is not owned.
  NSInteger addToolTipRect(NSRect rect, NSToolTipOwner* owner, void* userData);
  void removeToolTip(NSInteger tag);
  void removeAllToolTips();
  // The tag of the last added rectangle holding the point, or 0.
  NSInteger toolTipTagAt(NSPoint point) const;
  NSString toolTipString(NSInteger tag, NSPoint point);

  // File drops (see NSDraggingDestination).
  void registerForDraggedTypes(const std::vector<NSString>& types);
  void unregisterDraggedTypes();
  const std::vector<NSString>& registeredDraggedTypes() const { return m_draggedTypes; }

  // Accessibility: a view out of sight (hidden itself or by an ancestor) is ignored. The
  // children are the subviews, the visible children those whose frames meet the visible
  // rectangle; an ignored view's focused element is its nearest unignored ancestor.
  bool accessibilityIsIgnored() override;
  NSObject* accessibilityHitTest(NSPoint screenPoint) override;
  NSObject* accessibilityFocusedUIElement() override;
  StrongRef<NSArray> accessibilityAttributeValue(const NSString& attribute) override;

protected:
  void dealloc() override;

private:
  friend class NSWindow;
  void setWindowRecursive(NSWindow* window);
  void notifyHidden(bool hidden);
  void detachFromSuperview(bool invalidate);
  bool superviewIsFlipped() const;
  NSPoint toSuperview(NSPoint local) const;
  NSPoint fromSuperview(NSPoint outer) const;
  NSPoint toBase(NSPoint local) const;
  NSPoint fromBase(NSPoint base) const;

  NSRect m_frame;
  NSPoint m_boundsOrigin;
  NSView* m_superview = nullptr;
  NSWindow* m_window = nullptr;
  std::vector<NSView*> m_subviews;
  bool m_hidden = false;
  bool m_needsDisplay = true;
  std::vector<NSString> m_draggedTypes;
  std::vector<NSGraphicsContext*> m_focusStack;
  struct ToolTipRect
  {
    NSInteger tag;
    NSRect rect;
    NSToolTipOwner* owner;
    void* userData;
  };
  std::vector<ToolTipRect> m_toolTips;
  NSInteger m_nextToolTipTag = 1;
};
}  // namespace cocoa
