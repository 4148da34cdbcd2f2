#pragma once

#include "platform/appkit/accessibility.h"
#include "platform/appkit/backing_bitmap.h"
#include "platform/appkit/color.h"
#include "platform/appkit/ordering.h"
#include "platform/appkit/responder.h"
#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"

#include <memory>
#include <vector>

namespace cocoa
{
class NSView;
class NSEvent;
class NSScreen;
class NSWindow;
class ToolTipTracker;
class NSButtonCell;

enum NSWindowStyleMask : unsigned
{
  NSWindowStyleMaskBorderless = 0,
  NSWindowStyleMaskTitled = 1,
  NSWindowStyleMaskClosable = 2,
  NSWindowStyleMaskMiniaturizable = 4,
  NSWindowStyleMaskResizable = 8,
};

enum NSBackingStoreType
{
  NSBackingStoreBuffered = 2,
};

enum : int
{
  NSNormalWindowLevel = 0,
  NSFloatingWindowLevel = 3,
  NSModalPanelWindowLevel = 8,
  NSPopUpMenuWindowLevel = 101,
};

// The height of the strip above the content of a titled window that can be the main
// window (not of panels). On Linux the window manager draws the title; the strip shows
// the application's menu bar.
constexpr CGFloat kTitleStripHeight = 22;

class NSWindowDelegate
{
public:
  virtual ~NSWindowDelegate() = default;
  virtual bool windowShouldClose(NSWindow*) { return true; }
  virtual void windowWillClose(NSWindow*) {}
  virtual void windowDidMove(NSWindow*) {}
  virtual void windowDidResize(NSWindow*) {}
  virtual void windowDidBecomeKey(NSWindow*) {}
  virtual void windowDidResignKey(NSWindow*) {}
};

// Something the platform draws over a window's views: open menus.
class WindowOverlay
{
public:
  virtual ~WindowOverlay() = default;
  // In window pixels: origin at the top left of the frame, y down.
  virtual NSRect overlayFrame() const = 0;
  // The context is in window pixels, y down.
  virtual void drawOverlay(CGContextRef context) = 0;
};

class NSWindow : public NSResponder, public NSAccessibilityElement
{
public:
  // contentRect is in screen coordinates (y up from the bottom of the main screen).
  NSWindow(NSRect contentRect, unsigned styleMask, NSBackingStoreType backing = NSBackingStoreBuffered,
           bool defer = false);

  NSView* contentView() const { return m_contentView; }
  void setContentView(NSView* view);

  // Geometry. The frame includes the title strip of a titled window.
  NSRect frame() const { return m_frame; }
  virtual void setFrame(NSRect frame, bool display);
  void setFrameOrigin(NSPoint origin);
  void setContentSize(NSSize size);
  // Across the middle of its screen's visible area, and somewhat above the middle.
  void center();
  NSRect contentRectForFrameRect(NSRect frame) const;
  NSRect frameRectForContentRect(NSRect content) const;
  unsigned styleMask() const { return m_styleMask; }
  // Whether the frame holds the strip with the menu bar above the content.
  bool showsMenuBar() const { return m_showsMenuBar; }
  // The window manager is told the limits when they are set; an override's answer counts
  // from the next set.
  virtual NSSize minSize() const { return m_minSize; }
  virtual NSSize maxSize() const { return m_maxSize; }
  void setMinSize(NSSize size);
  void setMaxSize(NSSize size);
  NSPoint convertBaseToScreen(NSPoint point) const;
  NSPoint convertScreenToBase(NSPoint point) const;
  NSRect convertRectToScreen(NSRect rect) const;
  NSRect convertRectFromScreen(NSRect rect) const;
  NSPoint mouseLocationOutsideOfEventStream() const;
  NSScreen* screen() const;
  CGFloat backingScaleFactor() const { return 1; }

  const NSString& title() const { return m_title; }
  void setTitle(const NSString& title);
  // The file the window stands for and whether it has unsaved changes. The Linux desktop
  // shows neither; they are kept for the code that asks.
  const NSString& representedFilename() const { return m_representedFilename; }
  void setRepresentedFilename(const NSString& path) { m_representedFilename = path; }
  bool isDocumentEdited() const { return m_documentEdited; }
  void setDocumentEdited(bool edited) { m_documentEdited = edited; }
  // How the window asks to be composited. The backing bitmap has no alpha and the desktop
  // backends present it whole, so a clear, non-opaque or shadowless window still shows as
  // an opaque one drawn over the theme's background; the requests are kept for the code
  // that asks.
  NSColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(NSColor color) { m_backgroundColor = color; }
  bool isOpaque() const { return m_opaque; }
  void setOpaque(bool opaque) { m_opaque = opaque; }
  bool hasShadow() const { return m_hasShadow; }
  void setHasShadow(bool hasShadow) { m_hasShadow = hasShadow; }

  // Ordering, key and main status.
  bool isVisible() const { return m_visible; }
  void orderFront(NSObject* sender);
  void orderOut(NSObject* sender);
  void makeKeyAndOrderFront(NSObject* sender);
  void makeKeyWindow();
  bool isKeyWindow() const;
  bool isMainWindow() const;
  virtual bool canBecomeKeyWindow() const;
  virtual bool canBecomeMainWindow() const;
  // Overrides call these: the view with the keyboard focus shows whether its window is key.
  virtual void becomeKeyWindow();
  virtual void resignKeyWindow();
  virtual void becomeMainWindow() {}
  virtual void resignMainWindow() {}
  int level() const { return m_level; }
  // Levels above normal stay above every normal window.
  void setLevel(int level);
  void miniaturize(NSObject* sender);
  void deminiaturize(NSObject* sender);
  bool isMiniaturized() const { return m_miniaturized; }
  NSInteger windowNumber() const { return m_number; }

  // Child windows move with their parent and stay above it.
  NSWindow* parentWindow() const { return m_parent; }
  // The window this one stays in front of on the desktop: its parent, or the window it
  // runs modally over. Null for none.
  NSWindow* transientParent() const { return m_parent ? m_parent : m_modalOwner.get(); }
  void setModalOwner(NSWindow* owner);
  void addChildWindow(NSWindow* child, NSWindowOrderingMode place);
  void removeChildWindow(NSWindow* child);
  // A copy, as Cocoa's array is.
  std::vector<NSWindow*> childWindows() const { return m_children; }

  NSWindowDelegate* delegate() const { return m_delegate; }
  void setDelegate(NSWindowDelegate* delegate) { m_delegate = delegate; }

  NSResponder* firstResponder() const { return m_firstResponder; }
  // The window itself, or a view in it.
  bool ownsResponder(NSResponder* responder) const;
  // A responder that hands the first-responder status on while it accepts it (a text
  // field to the editor inside it) keeps it handed on.
  bool makeFirstResponder(NSResponder* responder);

  // The button Return presses (its key equivalent becomes "\r"); retained.
  NSButtonCell* defaultButtonCell() const { return m_defaultButtonCell.get(); }
  void setDefaultButtonCell(NSButtonCell* cell);
  // The end of the responder chain: Return and Enter press the default button.
  void keyDown(NSEvent* event) override;
  void setAcceptsMouseMovedEvents(bool accepts) { m_acceptsMouseMoved = accepts; }
  bool acceptsMouseMovedEvents() const { return m_acceptsMouseMoved; }

  virtual void sendEvent(NSEvent* event);
  // The close button: asks the delegate, closes when it agrees.
  void performClose(NSObject* sender);
  void close();
  bool isReleasedWhenClosed() const { return m_releasedWhenClosed; }
  void setReleasedWhenClosed(bool released) { m_releasedWhenClosed = released; }

  // Drawing: dirty areas are drawn into the backing bitmap and presented.
  void display();
  void displayIfNeeded();
  bool viewsNeedDisplay() const { return !m_dirty.empty(); }
  void flushWindow() {}
  const BackingBitmap& backing() const { return m_backing; }
  long presentationCount() const { return m_presentations; }

  void addOverlay(WindowOverlay* overlay);
  void removeOverlay(WindowOverlay* overlay);
  // In window pixels (y down from the top of the frame), and back.
  NSPoint pixelFromBase(NSPoint base) const;
  NSPoint baseFromPixel(NSPoint pixel) const;
  NSRect pixelRectFromBase(NSRect base) const;

  // The backend reports what the user did to the native window. Requests for a window
  // outside a modal run are refused (the application's modal rule); exposure always counts.
  void backendMovedTo(NSPoint screenOrigin);
  void backendResizedTo(NSSize frameSize);
  void backendCloseRequested();
  void backendFocused();
  void backendExposed();
  // Files dragged over the window (window_dragging.cpp). The view under the point that
  // registered for file names hears draggingEntered when the drag reaches it,
  // draggingUpdated as it moves over it and draggingExited when it leaves it or the window.
  // A drop enters the view under it unless the drag is over it already, and takes place
  // when the last answer was not NSDragOperationNone.
  void backendFilesDragged(const std::vector<NSString>& paths, NSPoint basePoint);
  void backendDragExited();
  void backendFilesDropped(const std::vector<NSString>& paths, NSPoint basePoint);

  // Accessibility: a window is never ignored; its one child is its content view, visible
  // while the window is; its focused element is that of its first responder when that is
  // a view.
  bool accessibilityIsIgnored() override { return false; }
  NSObject* accessibilityHitTest(NSPoint screenPoint) override;
  NSObject* accessibilityFocusedUIElement() override;
  StrongRef<NSArray> accessibilityAttributeValue(const NSString& attribute) override;

  // The tooltip on show (empty when none).
  const NSString& shownToolTip() const;

  // Used by views.
  void invalidateBaseRect(NSRect rect);
  void toolTipsChanged(NSView* view);
  void viewLeavingWindow(NSView* view);
  CGContextRef prepareBackingContext();
  CGContextRef backingContext() const { return m_backing.context(); }
  NSRect visibleBaseRectOf(const NSView* view) const;
  void presentBaseRect(NSRect rect);

protected:
  NSWindow(NSRect contentRect, unsigned styleMask, bool showsMenuBar);
  ~NSWindow() override;
  void dealloc() override;

private:
  void drawView(NSView* view, NSRect clip);
  void drawTitleStrip(NSRect clip);
  void presentPixelRects(const std::vector<NSRect>& rects);
  NSRect contentBaseRect() const;
  void trackMouseDown(NSEvent* event);
  NSView*& trackingSlotFor(NSEvent* event);
  void forgetKeyStatus();
  NSView* dragDestinationAt(NSPoint basePoint) const;
  // Moves the drag to the point: exits the view it leaves, enters the one it reaches, and
  // updates the one it stays over when `update` is set.
  void moveDrag(const std::vector<NSString>& paths, NSPoint basePoint, bool update);
  bool refusedDuringModal();

  NSRect m_frame;
  unsigned m_styleMask;
  bool m_showsMenuBar;
  NSString m_title;
  NSString m_representedFilename;
  bool m_documentEdited = false;
  NSColor m_backgroundColor = NSColor::windowBackgroundColor();
  bool m_opaque = true;
  bool m_hasShadow = true;
  NSView* m_contentView = nullptr;
  bool m_visible = false;
  bool m_closed = false;
  bool m_closing = false;
  bool m_miniaturized = false;
  bool m_releasedWhenClosed = true;
  bool m_acceptsMouseMoved = false;
  bool m_frameFromBackend = false;
  int m_level = NSNormalWindowLevel;
  NSInteger m_number;
  NSSize m_minSize;
  NSSize m_maxSize{1e7, 1e7};
  NSWindow* m_parent = nullptr;
  StrongRef<NSWindow> m_modalOwner;
  std::vector<NSWindow*> m_children;
  NSWindowDelegate* m_delegate = nullptr;
  NSResponder* m_firstResponder = nullptr;
  StrongRef<NSButtonCell> m_defaultButtonCell;
  StrongRef<NSView> m_dragTarget;  // the view a drag is over
  unsigned m_dragOperation = 0;    // its last answer
  NSPoint m_dragPoint;
  NSView* m_tracking[3] = {nullptr, nullptr, nullptr};  // the view that took each button's press
  BackingBitmap m_backing;
  std::vector<NSRect> m_dirty;  // base coordinates, whole pixels
  std::vector<WindowOverlay*> m_overlays;
  std::unique_ptr<ToolTipTracker> m_toolTips;
  long m_presentations = 0;
};

// Dialogs and palettes: never the main window, so they carry no menu bar strip.
class NSPanel : public NSWindow
{
public:
  NSPanel(NSRect contentRect, unsigned styleMask, NSBackingStoreType = NSBackingStoreBuffered, bool = false)
      : NSWindow(contentRect, styleMask, false)
  {
  }
  bool canBecomeMainWindow() const override { return false; }
};
}  // namespace cocoa
