#pragma once

#include "platform/appkit/control.h"
#include "platform/appkit/text_view.h"

namespace cocoa
{

// What a text field tells its delegate about editing (Cocoa's control text editing
// notifications; the control is the notification's object).
class NSTextFieldDelegate
{
public:
  virtual ~NSTextFieldDelegate() = default;
  virtual void controlTextDidBeginEditing(NSControl*) {}
  virtual void controlTextDidChange(NSControl*) {}
  virtual void controlTextDidEndEditing(NSControl*) {}
};

class NSTextFieldCell : public NSCell
{
public:
  explicit NSTextFieldCell(const NSString& text = NSString());

  NSColor textColor() const { return m_textColor; }
  void setTextColor(const NSColor& color);
  NSColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const NSColor& color);
  bool drawsBackground() const { return m_drawsBackground; }
  void setDrawsBackground(bool draws);
  bool isBezeled() const { return m_bezeled; }
  void setBezeled(bool bezeled);
  bool isBordered() const { return m_bordered; }
  void setBordered(bool bordered);
  bool hasFrame() const { return m_bezeled || m_bordered; }

  NSSize cellSize() const override;
  NSRect titleRectForBounds(NSRect bounds) const override;
  // Where an editor goes while the cell is edited: one line centred like the title, or the
  // whole text area when the cell wraps.
  virtual NSRect editingRectForBounds(NSRect bounds) const;
  void drawWithFrame(NSRect frame, NSView* view) override;
  void drawInteriorWithFrame(NSRect frame, NSView* view) override;

protected:
  // The frame and background of the field, before its text.
  virtual void drawFrame(NSRect frame, NSView* view);
  // The text shown when not edited (a secure field shows bullets).
  virtual NSString shownText() const { return stringValue(); }

private:
  NSColor m_textColor;
  NSColor m_backgroundColor;
  bool m_drawsBackground = false;
  bool m_bezeled = false;
  bool m_bordered = false;
};

// A one-line (or wrapping) text field: an editable entry, or a label when neither editable
// nor selectable. While it is edited an editor (a field editor NSTextView) lies inside it
// and holds the keyboard; the field's value follows every change. Return sends the action,
// and a label sends it when clicked.
class NSTextField : public NSControl, public NSTextDelegate
{
public:
  explicit NSTextField(NSRect frame = NSRect{});

  NSTextFieldCell* textFieldCell() const;
  // Only text field cells are taken.
  void setCell(NSCell* cell) override;

  bool isEditable() const { return cell()->isEditable(); }
  void setEditable(bool editable);
  bool isSelectable() const { return cell()->isSelectable(); }
  void setSelectable(bool selectable);
  bool isBezeled() const { return textFieldCell()->isBezeled(); }
  void setBezeled(bool bezeled) { textFieldCell()->setBezeled(bezeled); }
  bool isBordered() const { return textFieldCell()->isBordered(); }
  void setBordered(bool bordered) { textFieldCell()->setBordered(bordered); }
  bool drawsBackground() const { return textFieldCell()->drawsBackground(); }
  void setDrawsBackground(bool draws) { textFieldCell()->setDrawsBackground(draws); }
  NSColor textColor() const { return textFieldCell()->textColor(); }
  void setTextColor(const NSColor& color);
  NSColor backgroundColor() const { return textFieldCell()->backgroundColor(); }
  void setBackgroundColor(const NSColor& color) { textFieldCell()->setBackgroundColor(color); }

  NSTextFieldDelegate* delegate() const { return m_delegate; }
  void setDelegate(NSTextFieldDelegate* delegate) { m_delegate = delegate; }

  // While edited: the editor; otherwise null.
  NSText* currentEditor() const;
  // Puts the field in editing with all of its text selected.
  void selectText(NSObject* sender);
  // Ends editing without telling the delegate, keeping the editor's text.
  void abortEditing();

  // While edited these read and write the editor's text.
  NSString stringValue() const override;
  void setStringValue(const NSString& value) override;
  void setFont(CTFontRef font) override;
  void setAlignment(NSTextAlignment alignment) override;
  void setEnabled(bool enabled) override;

  bool acceptsFirstResponder() override;
  bool becomeFirstResponder() override;
  void mouseDown(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  void setFrame(NSRect frame) override;
  void viewWillMoveToWindow(NSWindow* window) override;
  // A field hidden while edited stops editing, as when the keyboard goes elsewhere.
  void viewDidHide() override;

  // The editor's reports.
  bool textShouldChange(NSText* text, NSRange range, const NSString& replacement) override;
  void textDidBeginEditing(NSText* text) override;
  void textDidChange(NSText* text) override;
  void textDidEndEditing(NSText* text, NSTextMovement movement) override;

protected:
  NSTextField(NSRect frame, NSTextFieldCell* cell);
  void dealloc() override;
  bool tracksClicks() const override { return !isSelectable(); }
  void mouseUpInside(NSEvent* event) override;
  // Sets up the editor for this field (secure entry, for one).
  virtual void prepareEditor(NSTextView* editor);
  void endEditing();

private:
  void placeEditor();

  NSTextFieldDelegate* m_delegate = nullptr;
  StrongRef<NSTextView> m_editor;
};

class NSSecureTextFieldCell : public NSTextFieldCell
{
public:
  using NSTextFieldCell::NSTextFieldCell;

protected:
  NSString shownText() const override;
};

// A text field whose characters show as bullets and cannot be copied.
class NSSecureTextField : public NSTextField
{
public:
  explicit NSSecureTextField(NSRect frame = NSRect{});

protected:
  void prepareEditor(NSTextView* editor) override;
};
}  // namespace cocoa
