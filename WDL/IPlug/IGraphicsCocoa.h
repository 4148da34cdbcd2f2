#pragma once

// The platform classes behind IGraphicsMac: the editor's view, the native menu built
// from an IPopupMenu with the view that receives its choice, the text field's formatter
// and the borderless window a host window can carry.

#include "IGraphicsStructs.h"

#include "platform/appkit/action.h"
#include "platform/appkit/formatter.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/tool_tips.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/timer.h"

class IControl;
class IGraphicsMac;
class IParam;
class IPopupMenu;

class IGraphicsCocoa_vVorna_sa : public cocoa::NSView,
                                 public cocoa::TimerTarget,
                                 public cocoa::NSTextFieldDelegate,
                                 public cocoa::NSToolTipOwner
{
public:
  IGraphicsCocoa_vVorna_sa();
  // The view of the graphics' size with its frame timer running at the graphics' rate.
  IGraphicsCocoa_vVorna_sa* initWithIGraphics(IGraphicsMac* graphics);

  bool isOpaque() const override { return mGraphics != nullptr; }
  bool acceptsFirstResponder() override { return true; }
  bool acceptsFirstMouse(cocoa::NSEvent*) override { return true; }
  void viewDidMoveToWindow() override;

  void timerFired(cocoa::NSTimer* timer) override { onTimer(timer); }
  void onTimer(cocoa::NSTimer* timer);
  void drawRect(cocoa::NSRect rect) override;

  void getMouseXY(cocoa::NSEvent* event, int* x, int* y);
  void hoverAfterRelease(cocoa::NSEvent* event, int x, int y);
  void mouseDown(cocoa::NSEvent* event) override;
  void mouseUp(cocoa::NSEvent* event) override;
  void mouseDragged(cocoa::NSEvent* event) override;
  void rightMouseDown(cocoa::NSEvent* event) override;
  void rightMouseUp(cocoa::NSEvent* event) override;
  void rightMouseDragged(cocoa::NSEvent* event) override;
  void mouseMoved(cocoa::NSEvent* event) override;
  void mouseExited(cocoa::NSEvent* event) override;
  void keyDown(cocoa::NSEvent* event) override;
  void scrollWheel(cocoa::NSEvent* event) override;

  void killTimer();
  void removeFromSuperview() override;

  // Shows the menu under the view rectangle and runs it; the menu holding the chosen
  // item (its chosen index set), or null when nothing was chosen.
  IPopupMenu* createIPopupMenu(IPopupMenu* menu, cocoa::NSRect rect);
  void createTextEntry(IControl* control, IParam* param, const IText* text, const char* str, cocoa::NSRect rect);
  void controlTextDidEndEditing(cocoa::NSControl* control) override;
  void endUserInput();

  cocoa::NSString stringForToolTip(cocoa::NSView* view, cocoa::NSInteger tag, cocoa::NSPoint point,
                                   void* userData) override;
  void registerToolTip(const IRECT* rect);

  IGraphicsMac* graphics() const { return mGraphics; }
  void forgetGraphics() { mGraphics = nullptr; }
  cocoa::NSTimer* timer() const { return mTimer; }
  cocoa::NSTextField* textField() const { return mTextFieldView; }

  // Key codes IGraphics::OnKeyDown takes, from a virtual key code and the key's one
  // character; -1 for keys it does not know.
  static int KeyCode(uint16_t virtualKey, char32_t character);
  // The mouse buttons and modifier keys of an event.
  static IMouseMod MouseMod(cocoa::NSEvent* event, bool rightButton);

protected:
  void dealloc() override;

private:
  // Does nothing once the graphics are gone; else the handler gets the event's GUI point
  // and modifiers.
  template <class Handler>
  void sendMouse(cocoa::NSEvent* event, bool rightButton, Handler handler);

  cocoa::NSTimer* mTimer = nullptr;              // retained until killed
  cocoa::NSTextField* mTextFieldView = nullptr;  // retained while open
  IControl* mEdControl = nullptr;
  IParam* mEdParam = nullptr;
  int mPrevX = 0, mPrevY = 0;
  IGraphicsMac* mGraphics = nullptr;
};

// A native menu made from an IPopupMenu; a chosen item tells the receiver.
class IGraphicsMenuRcvr_vVorna_sa;
class IGraphicsNSMenu_vVorna_sa : public cocoa::NSMenu
{
public:
  IGraphicsNSMenu_vVorna_sa* initWithIPopupMenuAndReciever(IPopupMenu* menu, IGraphicsMenuRcvr_vVorna_sa* receiver);
  IPopupMenu* AssociatedIPopupMenu() const { return mIPopupMenu; }

private:
  IPopupMenu* mIPopupMenu = nullptr;
};

// Records the menu item chosen.
class IGraphicsMenuRcvr_vVorna_sa : public cocoa::NSView, public cocoa::ActionTarget
{
public:
  using cocoa::NSView::NSView;
  bool performAction(cocoa::Action action, cocoa::NSObject* sender) override;
  void OnMenuSelection(cocoa::NSMenuItem* sender);
  cocoa::NSMenuItem* MenuItem() const { return nsMenuItem.get(); }

private:
  cocoa::StrongRef<cocoa::NSMenuItem> nsMenuItem;
};

// Judges a text entry while it is typed: allowed characters, length and largest value.
class CocoaFormatter_vVorna_sa : public cocoa::NSFormatter
{
public:
  // Null: any character.
  void setAcceptableCharacterSet(const cocoa::NSCharacterSet* characters);
  void setMaximumLength(int length) { maxLength = length; }
  void setMaximumValue(int value) { maxValue = value; }

  bool isPartialStringValid(const cocoa::NSString& partial, cocoa::NSString* newString, cocoa::NSString* error) override;
  bool stringForObjectValue(const cocoa::NSString& value, cocoa::NSString* string) override;
  bool getObjectValue(cocoa::NSString* value, const cocoa::NSString& string, cocoa::NSString* error) override;

private:
  bool hasFilter = false;
  cocoa::NSCharacterSet filterCharacterSet;
  int maxLength = 0;  // 0: no limit
  int maxValue = 0;   // 0: no limit
};

// A borderless window that can take the keyboard.
class CustomCocoaWindow_vVorna_sa : public cocoa::NSWindow
{
public:
  using cocoa::NSWindow::NSWindow;
  bool canBecomeKeyWindow() const override { return true; }
};
