#pragma once

#include "platform/appkit/action.h"
#include "platform/appkit/color.h"
#include "platform/appkit/text_layout.h"
#include "platform/appkit/view.h"
#include "platform/foundation/range.h"

#include <cmath>
#include <string>

namespace cocoa
{
class NSText;

// How editing ended, as Cocoa's text-movement codes say it.
enum NSTextMovement
{
  NSOtherTextMovement = 0,
  NSReturnTextMovement = 0x10,
  NSTabTextMovement = 0x11,
  NSBacktabTextMovement = 0x12,
  NSCancelTextMovement = 0x17,
};

class NSTextDelegate
{
public:
  virtual ~NSTextDelegate() = default;
  // An edit the user is about to make (typing, deleting, pasting): false refuses it.
  virtual bool textShouldChange(NSText*, NSRange, const NSString&) { return true; }
  // The first change after the text took the keyboard.
  virtual void textDidBeginEditing(NSText*) {}
  virtual void textDidChange(NSText*) {}
  // The text gave up the keyboard, or Return or Tab ended editing in a field editor.
  virtual void textDidEndEditing(NSText*, NSTextMovement) {}
};

// Editable text: UTF-8 text with a selection, typed into through key events and the text
// input road (insertText, where input methods and dead keys commit), with copy, cut and
// paste through the general pasteboard. Ranges are UTF-8 byte offsets on character
// boundaries; offsets inside a character move back to its start. A field editor is the
// one-line editor a text field puts inside itself while it is edited: Return and Tab end
// its editing instead of typing, and line breaks pasted into it become spaces.
class NSText : public NSView, public ActionTarget
{
public:
  explicit NSText(NSRect frame = NSRect{});

  const NSString& string() const { return m_text; }
  // Replaces the text and puts the caret at its end; no delegate hears of it.
  void setString(const NSString& text);
  // Programmatic change of a part of the text; no delegate hears of it.
  void replaceCharactersInRange(NSRange range, const NSString& text);
  NSRange selectedRange() const;
  void setSelectedRange(NSRange range);

  bool isEditable() const { return m_editable; }
  void setEditable(bool editable);
  bool isSelectable() const { return m_selectable || m_editable; }
  void setSelectable(bool selectable) { m_selectable = selectable; }
  bool isFieldEditor() const { return m_fieldEditor; }
  void setFieldEditor(bool fieldEditor);
  // Secure entry shows every character as a bullet and refuses copy and cut.
  bool isSecureTextEntry() const { return m_secure; }
  void setSecureTextEntry(bool secure);

  // The font is retained.
  CTFontRef font() const { return m_font; }
  virtual void setFont(CTFontRef font);
  NSColor textColor() const { return m_textColor; }
  void setTextColor(const NSColor& color);
  NSColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const NSColor& color);
  bool drawsBackground() const { return m_drawsBackground; }
  void setDrawsBackground(bool draws);
  NSTextAlignment alignment() const { return m_alignment; }
  void setAlignment(NSTextAlignment alignment);

  NSTextDelegate* delegate() const { return m_delegate; }
  void setDelegate(NSTextDelegate* delegate) { m_delegate = delegate; }

  // Editing as the user does it: the delegate is asked first and hears of the change.
  void insertText(const NSString& text) override;
  void deleteBackward();
  void deleteForward();
  void copy();
  void cut();
  void paste();
  void selectAll();
  bool performAction(Action action, NSObject* sender) override;
  // Scrolls so that the range's start shows: the enclosing scroll view, or a field
  // editor's own offset.
  void scrollRangeToVisible(NSRange range);

  // Where the caret and the text lie, in the view's coordinates.
  NSRect firstRectForCharacterRange(NSRange range);
  size_t characterIndexForPoint(NSPoint point);

  bool isFlipped() const override { return true; }
  bool acceptsFirstResponder() override { return isSelectable(); }
  bool resignFirstResponder() override;
  void keyDown(NSEvent* event) override;
  void mouseDown(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  void drawRect(NSRect dirty) override;
  void setFrame(NSRect frame) override;

protected:
  void dealloc() override;
  // The width lines wrap at, 0 for none; text views answer by their text container.
  virtual CGFloat wrapWidth() const;
  // Called after the text or its layout changed: text views size themselves here.
  virtual void layoutDidChange() {}
  // The laid-out text, brought up to date.
  const TextLayout& layout();
  // Where the layout's origin lies in the view.
  NSPoint textOrigin();
  static constexpr CGFloat kLineFragmentPadding = 2;

private:
  enum class Unit
  {
    character,
    word,
  };
  bool userReplace(NSRange range, std::string text);
  void setCaret(size_t caret, bool extend);
  size_t movedOffset(size_t from, int direction, Unit unit) const;
  size_t verticalOffset(size_t from, int lines);
  size_t lineEdge(size_t from, bool end);
  NSRange wordAround(size_t offset) const;
  void caretMoved();
  void invalidateLayout();
  bool showsCaret() const;
  bool isActive() const;

  NSString m_text;
  size_t m_anchor = 0;
  size_t m_caret = 0;
  CGFloat m_goalX = NAN;  // the column kept while moving up and down
  bool m_editable = true;
  bool m_selectable = true;
  bool m_fieldEditor = false;
  bool m_secure = false;
  bool m_beganEditing = false;
  CTFontRef m_font = nullptr;
  NSColor m_textColor;
  NSColor m_backgroundColor;
  bool m_drawsBackground = true;
  NSTextAlignment m_alignment = NSTextAlignmentNatural;
  NSTextDelegate* m_delegate = nullptr;
  TextLayout m_layout;
  bool m_layoutValid = false;
  CGFloat m_layoutWidth = -1;
  NSPoint m_scroll;  // a field editor's own scrolling
  bool m_dragging = false;
  Unit m_dragUnit = Unit::character;
  NSRange m_dragStartWord;
};
}  // namespace cocoa
