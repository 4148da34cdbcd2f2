#pragma once

#include "platform/appkit/action.h"
#include "platform/appkit/cell.h"
#include "platform/appkit/view.h"

namespace cocoa
{
// A view that shows a value through its cell and sends an action to a target when the
// user changes it. Controls count y downward from their top edge.
class NSControl : public NSView
{
public:
  // Takes over the caller's ownership of the cell.
  NSControl(NSRect frame, NSCell* cell);

  NSCell* cell() const { return m_cell; }
  // Retains the cell and becomes its control view.
  virtual void setCell(NSCell* cell);

  NSInteger tag() const override { return m_tag; }
  virtual void setTag(NSInteger tag) { m_tag = tag; }
  bool isEnabled() const { return m_cell->isEnabled(); }
  virtual void setEnabled(bool enabled);

  virtual NSString stringValue() const { return m_cell->stringValue(); }
  virtual void setStringValue(const NSString& value) { m_cell->setStringValue(value); }
  double doubleValue() const { return m_cell->doubleValue(); }
  virtual void setDoubleValue(double value) { m_cell->setDoubleValue(value); }
  int intValue() const { return m_cell->intValue(); }
  void setIntValue(int value) { m_cell->setIntValue(value); }
  CTFontRef font() const { return m_cell->font(); }
  virtual void setFont(CTFontRef font) { m_cell->setFont(font); }
  NSTextAlignment alignment() const { return m_cell->alignment(); }
  virtual void setAlignment(NSTextAlignment alignment) { m_cell->setAlignment(alignment); }
  NSControlSize controlSize() const { return m_cell->controlSize(); }
  void setControlSize(NSControlSize size) { m_cell->setControlSize(size); }
  NSFormatter* formatter() const { return m_cell->formatter(); }
  void setFormatter(NSFormatter* formatter) { m_cell->setFormatter(formatter); }
  NSFocusRingType focusRingType() const { return m_cell->focusRingType(); }
  void setFocusRingType(NSFocusRingType type) { m_cell->setFocusRingType(type); }

  // The target is not owned; one that has gone away receives nothing. Without a target
  // the action travels the responder chain of the key window.
  NSObject* target() const { return m_target; }
  void setTarget(NSObject* target) { m_target = target; }
  Action action() const { return m_action; }
  void setAction(Action action) { m_action = action; }
  bool isContinuous() const { return m_continuous; }
  void setContinuous(bool continuous) { m_continuous = continuous; }
  bool sendAction(Action action, NSObject* target);

  // The frame's size becomes what the cell needs; the top-left corner stays.
  virtual void sizeToFit();

  bool isFlipped() const override { return true; }
  void drawRect(NSRect dirty) override;
  // The keyboard goes to this control (or the editor inside it) in the key window.
  bool showsKeyboardFocus() const;

protected:
  void dealloc() override;
  // A click inside the control: the cell is highlighted while the pointer stays inside,
  // and mouseUpInside runs when the button is let go there.
  void mouseDown(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  virtual bool tracksClicks() const { return false; }
  virtual void mouseUpInside(NSEvent*) {}
  bool pointIsInside(NSEvent* event) const;

private:
  NSCell* m_cell = nullptr;
  NSInteger m_tag = 0;
  NSObject* m_target = nullptr;
  Action m_action = Action::none;
  bool m_continuous = false;
  bool m_tracking = false;
};
}  // namespace cocoa
