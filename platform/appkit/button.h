#pragma once

#include "platform/appkit/button_cell.h"
#include "platform/appkit/control.h"

namespace cocoa
{
// Push buttons, check boxes and radio buttons. A click (press and release inside) moves
// the state on and sends the action. Radio buttons of one superview that send the same
// action are one group: turning one on turns the others off.
class NSButton : public NSControl
{
public:
  explicit NSButton(NSRect frame = NSRect{});

  // The cell as a button cell (a subclass set with setCell included); never null.
  NSButtonCell* buttonCell() const;
  // Only button cells are taken.
  void setCell(NSCell* cell) override;

  NSString title() const { return stringValue(); }
  void setTitle(const NSString& title) { setStringValue(title); }
  void setButtonType(NSButtonType type) { buttonCell()->setButtonType(type); }
  NSBezelStyle bezelStyle() const { return buttonCell()->bezelStyle(); }
  void setBezelStyle(NSBezelStyle style) { buttonCell()->setBezelStyle(style); }
  virtual int state() const { return buttonCell()->state(); }
  virtual void setState(int state) { buttonCell()->setState(state); }
  bool allowsMixedState() const { return buttonCell()->allowsMixedState(); }
  void setAllowsMixedState(bool allows) { buttonCell()->setAllowsMixedState(allows); }
  CGImageRef image() const { return buttonCell()->image(); }
  void setImage(CGImageRef image) { buttonCell()->setImage(image); }
  NSCellImagePosition imagePosition() const { return buttonCell()->imagePosition(); }
  void setImagePosition(NSCellImagePosition position) { buttonCell()->setImagePosition(position); }
  const NSString& keyEquivalent() const { return buttonCell()->keyEquivalent(); }
  void setKeyEquivalent(const NSString& key) { buttonCell()->setKeyEquivalent(key); }
  // The title's colour (the title as an attributed string with one foreground colour).
  NSColor textColor() const;
  void setTextColor(const NSColor& color) { buttonCell()->setTitleColor(color); }

  // What a click does: the next state (radio buttons: on, the rest of the group off),
  // then the action. Nothing for a disabled button.
  virtual void performClick(NSObject* sender);

protected:
  bool tracksClicks() const override { return true; }
  void mouseUpInside(NSEvent* event) override;

private:
  void turnOffRestOfRadioGroup();
};
}  // namespace cocoa
