#pragma once

#include "platform/appkit/font.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/text_layout.h"
#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"

namespace cocoa
{
class NSView;
class NSFormatter;

enum NSFocusRingType
{
  NSFocusRingTypeDefault = 0,
  NSFocusRingTypeNone = 1,
  NSFocusRingTypeExterior = 2,
};

// What a control shows and how: its value, font, alignment and state. A control draws
// through its cell, and a cell subclass may change how (an image-only button, a button
// its owner draws).
class NSCell : public NSObject
{
public:
  NSCell();
  explicit NSCell(const NSString& text);

  // The value, kept as text.
  virtual NSString stringValue() const { return m_value; }
  virtual void setStringValue(const NSString& value);
  NSString title() const { return stringValue(); }
  void setTitle(const NSString& title) { setStringValue(title); }
  virtual double doubleValue() const;
  virtual void setDoubleValue(double value);
  int intValue() const;
  void setIntValue(int value);
  int state() const { return m_state; }
  virtual void setState(int state);

  // How the text looks. The font is retained.
  CTFontRef font() const { return m_font; }
  void setFont(CTFontRef font);
  NSTextAlignment alignment() const { return m_alignment; }
  void setAlignment(NSTextAlignment alignment);
  // Wrapping is line breaking by words; a cell that does not wrap clips its one line.
  bool wraps() const { return m_lineBreakMode == NSLineBreakByWordWrapping || m_lineBreakMode == NSLineBreakByCharWrapping; }
  void setWraps(bool wraps);
  NSLineBreakMode lineBreakMode() const { return m_lineBreakMode; }
  void setLineBreakMode(NSLineBreakMode mode);
  // A scrollable cell keeps its text on one line and scrolls it while editing.
  bool isScrollable() const { return m_scrollable; }
  void setScrollable(bool scrollable);
  NSControlSize controlSize() const { return m_controlSize; }
  // Also takes the theme's font of that size.
  void setControlSize(NSControlSize size);

  bool isEnabled() const { return m_enabled; }
  void setEnabled(bool enabled);
  bool isHighlighted() const { return m_highlighted; }
  void setHighlighted(bool highlighted);
  bool isEditable() const { return m_editable; }
  void setEditable(bool editable);
  bool isSelectable() const { return m_selectable || m_editable; }
  void setSelectable(bool selectable);
  NSFocusRingType focusRingType() const { return m_focusRingType; }
  void setFocusRingType(NSFocusRingType type) { m_focusRingType = type; }
  // Retained.
  NSFormatter* formatter() const { return m_formatter; }
  void setFormatter(NSFormatter* formatter);

  // The view the cell draws in; not retained.
  NSView* controlView() const { return m_controlView; }
  void setControlView(NSView* view) { m_controlView = view; }

  // The size the content needs.
  virtual NSSize cellSize() const;
  // Where the title goes inside the bounds.
  virtual NSRect titleRectForBounds(NSRect bounds) const;
  virtual void drawWithFrame(NSRect frame, NSView* view);
  virtual void drawInteriorWithFrame(NSRect frame, NSView* view);
  virtual bool isOpaque() const { return false; }

  // The text colour this state of the cell draws in.
  NSColor stateTextColor(const NSColor& enabledColor) const;

protected:
  void dealloc() override;
  // Asks the control view to draw again.
  void redisplay();
  // Draws the title laid out in the rectangle, as the cell's line breaking says.
  void drawText(const NSString& text, NSRect rect, const NSColor& color, bool centreOneLine);

private:
  NSString m_value;
  int m_state = NSControlStateValueOff;
  CTFontRef m_font = nullptr;
  NSTextAlignment m_alignment = NSTextAlignmentNatural;
  NSLineBreakMode m_lineBreakMode = NSLineBreakByWordWrapping;
  bool m_scrollable = false;
  NSControlSize m_controlSize = NSControlSizeRegular;
  bool m_enabled = true;
  bool m_highlighted = false;
  bool m_editable = false;
  bool m_selectable = false;
  NSFocusRingType m_focusRingType = NSFocusRingTypeDefault;
  NSFormatter* m_formatter = nullptr;
  NSView* m_controlView = nullptr;
};
}  // namespace cocoa
