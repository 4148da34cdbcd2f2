#pragma once

// Top-level windows: a platform window whose content view is a window view. Modeless
// windows and dialog panels translate window events into messages to their content view,
// keep the windows they own (destroyed with them, most recent first), switch the main menu
// when they become key and let the content view's procedure limit their size. Each is its
// own delegate.

#include "swell-types.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/window.h"

#include <utility>

struct OwnedWindowListRec
{
  cocoa::NSWindow* hwnd;
  OwnedWindowListRec* _next;
};

// Keeps windows it owns and may itself be owned.
class SWELL_OwnerWindow
{
public:
  virtual void swellAddOwnedWindow(cocoa::NSWindow* window) = 0;
  virtual void swellRemoveOwnedWindow(cocoa::NSWindow* window) = 0;
  virtual OwnedWindowListRec* swellGetOwnerWindowHead() = 0;
  virtual void swellDestroyAllOwnedWindows() = 0;
  virtual void swellResetOwnedWindowLevels() = 0;
  virtual void swellSetOwner(cocoa::NSWindow* owner) = 0;
  virtual cocoa::NSWindow* swellGetOwner() = 0;
  virtual void swellDoDestroyStuff() = 0;

protected:
  ~SWELL_OwnerWindow() = default;
};

// What both window classes do alike.
template <class Base>
class SwellTopLevelWindow : public Base, public SWELL_OwnerWindow, public cocoa::NSWindowDelegate
{
public:
  bool acceptsFirstResponder() override { return m_enabled != 0; }
  bool canBecomeKeyWindow() const override;
  void setFrame(cocoa::NSRect frame, bool display) override;
  void becomeKeyWindow() override;
  void resignKeyWindow() override;
  cocoa::NSSize minSize() const override;
  cocoa::NSSize maxSize() const override;
  // A bare window with nothing in it (a drag image, an overlay) is no element of its own.
  bool accessibilityIsIgnored() override;

  bool windowShouldClose(cocoa::NSWindow*) override;
  void windowDidMove(cocoa::NSWindow*) override;

  void swellAddOwnedWindow(cocoa::NSWindow* window) override;
  void swellRemoveOwnedWindow(cocoa::NSWindow* window) override;
  OwnedWindowListRec* swellGetOwnerWindowHead() override { return m_ownedwnds; }
  void swellDestroyAllOwnedWindows() override;
  void swellResetOwnedWindowLevels() override;
  void swellSetOwner(cocoa::NSWindow* owner) override { m_owner = owner; }
  cocoa::NSWindow* swellGetOwner() override { return m_owner; }
  void swellDoDestroyStuff() override;

  // The extra level an owned window wants above its owner.
  int m_wantraiseamt = 0;
  char m_enabled = 1;

protected:
  template <class... Args>
  explicit SwellTopLevelWindow(Args&&... args) : Base(std::forward<Args>(args)...)
  {
    this->setDelegate(this);
    lastFrameSize = this->frame().size;
  }
  void dealloc() override;
  // The menu shown while this window is key when its content view has none.
  virtual HMENU defaultMenu() const = 0;
  bool ownsWindow(const cocoa::NSWindow* window) const;

  cocoa::NSSize lastFrameSize;
  cocoa::NSWindow* m_owner = nullptr;
  bool m_tearingDown = false;  // its teardown has begun: it takes no owned window from now on
  OwnedWindowListRec* m_ownedwnds = nullptr;
};

class Swell_vVorna_modelesswindow : public SwellTopLevelWindow<cocoa::NSWindow>
{
public:
  // The frame of an existing view: content size = the view's size, placed 50 right of and
  // 100 below the top-left of the owner (or of the screen's viewport), adopted by the owner.
  // The window owns itself until it is closed.
  static Swell_vVorna_modelesswindow* initModelessForChild(cocoa::NSView* view, cocoa::NSObject* owner,
                                                          unsigned styleMask);
  // An empty window of that content size, placed and adopted as above; it has mouse-moved
  // events on and owns itself until it is closed.
  static Swell_vVorna_modelesswindow* createPlaced(cocoa::NSObject* owner, cocoa::NSSize contentSize,
                                                  unsigned styleMask);
  Swell_vVorna_modelesswindow(cocoa::NSRect contentRect, unsigned styleMask, bool showsMenuBar)
      : SwellTopLevelWindow(contentRect, styleMask, showsMenuBar)
  {
  }

  // Set by WM_INITDIALOG's focus handling; ShowWindow makes the window key once instead of
  // only ordering it front.
  bool m_wantInitialKeyWindowOnShow = false;

protected:
  HMENU defaultMenu() const override;
};

class Swell_vVorna_dialogbox : public SwellTopLevelWindow<cocoa::NSPanel>
{
public:
  Swell_vVorna_dialogbox(cocoa::NSRect contentRect, unsigned styleMask) : SwellTopLevelWindow(contentRect, styleMask) {}

  void swellSetModalRetVal(int value)
  {
    m_rv = value;
    m_hasrv = true;
  }
  int swellGetModalRetVal() const { return m_rv; }
  bool swellHasModalRetVal() const { return m_hasrv; }

protected:
  HMENU defaultMenu() const override;

private:
  int m_rv = 0;
  bool m_hasrv = false;
};

extern template class SwellTopLevelWindow<cocoa::NSWindow>;
extern template class SwellTopLevelWindow<cocoa::NSPanel>;
