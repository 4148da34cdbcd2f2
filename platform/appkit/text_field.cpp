#include "platform/appkit/text_field.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/formatter.h"
#include "platform/appkit/text_view.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/window.h"

#include <cmath>

namespace cocoa
{
namespace
{
constexpr const char* kBullet = "\u2022";

NSTextField* editedField(NSView* view)
{
  auto* field = dynamic_cast<NSTextField*>(view);
  return field && field->currentEditor() ? field : nullptr;
}
}  // namespace

NSTextFieldCell::NSTextFieldCell(const NSString& text)
    : NSCell(text), m_textColor(controlTheme().colors.text), m_backgroundColor(controlTheme().colors.fieldBackground)
{
}

void NSTextFieldCell::setTextColor(const NSColor& color)
{
  m_textColor = color;
  redisplay();
}

void NSTextFieldCell::setBackgroundColor(const NSColor& color)
{
  m_backgroundColor = color;
  redisplay();
}

void NSTextFieldCell::setDrawsBackground(bool draws)
{
  m_drawsBackground = draws;
  redisplay();
}

void NSTextFieldCell::setBezeled(bool bezeled)
{
  m_bezeled = bezeled;
  redisplay();
}

void NSTextFieldCell::setBordered(bool bordered)
{
  m_bordered = bordered;
  redisplay();
}

NSSize NSTextFieldCell::cellSize() const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  const CGFloat insetX = hasFrame() ? m.fieldInsetX : m.labelInsetX;
  const CGFloat insetY = hasFrame() ? m.fieldInsetY + 1 : 0;
  const CGFloat width = std::ceil(textWidth(font(), shownText().str()));
  return NSMakeSize(width + 2 * insetX, fontLineMetrics(font()).lineHeight + 2 * insetY);
}

NSRect NSTextFieldCell::titleRectForBounds(NSRect bounds) const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  if (!hasFrame()) return NSInsetRect(bounds, m.labelInsetX, 0);
  return NSInsetRect(bounds, m.fieldInsetX, m.fieldInsetY + 1);
}

NSRect NSTextFieldCell::editingRectForBounds(NSRect bounds) const
{
  const NSRect text = titleRectForBounds(bounds);
  // The editor keeps its own padding on both sides; its text lands where the cell draws it.
  const CGFloat padding = 2;
  if (wraps()) return NSMakeRect(text.origin.x - padding, text.origin.y, text.size.width + 2 * padding, text.size.height);
  const CGFloat line = fontLineMetrics(font()).lineHeight;
  const CGFloat y = text.origin.y + std::floor((text.size.height - line) / 2);
  return NSMakeRect(text.origin.x - padding, y, text.size.width + 2 * padding, line);
}

void NSTextFieldCell::drawFrame(NSRect frame, NSView* view)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  if (hasFrame())
  {
    const NSColor fill = isEnabled() ? m_backgroundColor : theme.colors.fieldBackgroundDisabled;
    drawBezel(context, frame, theme.metrics.fieldRadius, m_drawsBackground ? fill : NSColor::clearColor(),
              isEnabled() ? theme.colors.fieldBorder : theme.colors.borderDisabled, false);
    auto* control = dynamic_cast<NSControl*>(view);
    if (control && focusRingType() != NSFocusRingTypeNone && control->showsKeyboardFocus())
      drawFocusRing(context, frame, theme.metrics.fieldRadius);
  }
  else if (m_drawsBackground)
    fillRect(context, frame, m_backgroundColor);
}

void NSTextFieldCell::drawWithFrame(NSRect frame, NSView* view)
{
  drawFrame(frame, view);
  drawInteriorWithFrame(frame, view);
}

void NSTextFieldCell::drawInteriorWithFrame(NSRect frame, NSView* view)
{
  // While edited, the editor inside the field shows the text.
  if (editedField(view)) return;
  drawText(shownText(), titleRectForBounds(frame), stateTextColor(m_textColor), !wraps());
}

NSString NSSecureTextFieldCell::shownText() const
{
  std::u32string characters;
  const std::string text = stringValue().str();
  const size_t count = decodeUtf8(text, &characters) ? characters.size() : text.size();
  std::string bullets;
  for (size_t i = 0; i < count; ++i) bullets += kBullet;
  return NSString(bullets);
}

NSTextField::NSTextField(NSRect frame) : NSTextField(frame, new NSTextFieldCell) {}

NSTextField::NSTextField(NSRect frame, NSTextFieldCell* cell) : NSControl(frame, cell)
{
  cell->setEditable(true);
  cell->setSelectable(true);
  cell->setBezeled(true);
  cell->setDrawsBackground(true);
}

void NSTextField::dealloc()
{
  abortEditing();
  NSControl::dealloc();
}

NSTextFieldCell* NSTextField::textFieldCell() const
{
  // setCell below keeps it a text field cell.
  return static_cast<NSTextFieldCell*>(cell());
}

void NSTextField::setCell(NSCell* cell)
{
  if (dynamic_cast<NSTextFieldCell*>(cell)) NSControl::setCell(cell);
}

void NSTextField::setEditable(bool editable)
{
  cell()->setEditable(editable);
  if (m_editor) m_editor->setEditable(editable);
}

void NSTextField::setSelectable(bool selectable)
{
  cell()->setSelectable(selectable);
  if (!isSelectable() && m_editor && window()) window()->makeFirstResponder(nullptr);
}

void NSTextField::setTextColor(const NSColor& color)
{
  textFieldCell()->setTextColor(color);
  if (m_editor) m_editor->setTextColor(color);
}

NSText* NSTextField::currentEditor() const
{
  return m_editor.get();
}

NSString NSTextField::stringValue() const
{
  return m_editor ? m_editor->string() : NSControl::stringValue();
}

void NSTextField::setStringValue(const NSString& value)
{
  NSControl::setStringValue(value);
  if (m_editor) m_editor->setString(value);
}

void NSTextField::setFont(CTFontRef font)
{
  NSControl::setFont(font);
  if (m_editor) m_editor->setFont(font);
  placeEditor();
}

void NSTextField::setAlignment(NSTextAlignment alignment)
{
  NSControl::setAlignment(alignment);
  if (m_editor) m_editor->setAlignment(alignment);
}

void NSTextField::setEnabled(bool enabled)
{
  NSControl::setEnabled(enabled);
  if (!enabled && m_editor && window()) window()->makeFirstResponder(nullptr);
}

bool NSTextField::acceptsFirstResponder()
{
  // While its editor has the keyboard, a press on the field's edge goes to the editor.
  const bool editing = m_editor && window() && window()->firstResponder() == m_editor.get();
  return isSelectable() && isEnabled() && !editing;
}

bool NSTextField::becomeFirstResponder()
{
  if (!isSelectable() || !isEnabled() || !window()) return false;
  selectText(this);
  return m_editor != nullptr;
}

void NSTextField::selectText(NSObject*)
{
  NSWindow* w = window();
  if (!w || !isSelectable()) return;
  if (!m_editor)
  {
    StrongRef<NSTextView> editor = StrongRef<NSTextView>::adopt(new NSTextView);
    editor->setFieldEditor(true);
    editor->setVerticallyResizable(false);
    editor->setHorizontallyResizable(false);
    editor->textContainer()->setWidthTracksTextView(cell()->wraps());
    editor->setDrawsBackground(false);
    editor->setFont(font());
    editor->setAlignment(alignment());
    editor->setTextColor(textColor());
    editor->setEditable(isEditable());
    prepareEditor(editor.get());
    editor->setString(NSControl::stringValue());
    m_editor = editor;
    placeEditor();
    addSubview(editor.get());
    editor->setDelegate(this);
    setNeedsDisplay(true);
  }
  StrongRef<NSTextView> editor = m_editor;
  editor->selectAll();
  w->makeFirstResponder(editor.get());
}

void NSTextField::prepareEditor(NSTextView*) {}

void NSTextField::placeEditor()
{
  if (m_editor) m_editor->setFrame(textFieldCell()->editingRectForBounds(bounds()));
}

void NSTextField::endEditing()
{
  if (!m_editor) return;
  StrongRef<NSTextView> editor = m_editor;
  m_editor.reset();
  editor->setDelegate(nullptr);
  cell()->setStringValue(editor->string());
  editor->removeFromSuperview();
  setNeedsDisplay(true);
}

void NSTextField::abortEditing()
{
  endEditing();
}

void NSTextField::setFrame(NSRect frame)
{
  NSControl::setFrame(frame);
  placeEditor();
}

void NSTextField::viewWillMoveToWindow(NSWindow* window)
{
  if (!window) abortEditing();
}

void NSTextField::viewDidHide()
{
  if (!m_editor) return;
  StrongRef<NSTextField> keep(this);
  endEditing();
  if (m_delegate) m_delegate->controlTextDidEndEditing(this);
}

void NSTextField::mouseDown(NSEvent* event)
{
  if (m_editor) m_editor->mouseDown(event);
  else NSControl::mouseDown(event);
}

void NSTextField::mouseDragged(NSEvent* event)
{
  if (m_editor) m_editor->mouseDragged(event);
  else NSControl::mouseDragged(event);
}

void NSTextField::mouseUp(NSEvent* event)
{
  if (m_editor) m_editor->mouseUp(event);
  else NSControl::mouseUp(event);
}

void NSTextField::mouseUpInside(NSEvent*)
{
  sendAction(action(), target());
}

bool NSTextField::textShouldChange(NSText* text, NSRange range, const NSString& replacement)
{
  NSFormatter* formatter = this->formatter();
  if (!formatter) return true;
  std::string proposed = text->string().str();
  proposed.replace(range.location, range.length, replacement.str());
  NSString better;
  NSString error;
  if (formatter->isPartialStringValid(NSString(proposed), &better, &error)) return true;
  if (!better.empty())
  {
    // The formatter's own version of the edit stands in its place.
    StrongRef<NSTextField> keep(this);
    text->setString(better);
    textDidChange(text);
  }
  return false;
}

void NSTextField::textDidBeginEditing(NSText*)
{
  if (m_delegate) m_delegate->controlTextDidBeginEditing(this);
}

void NSTextField::textDidChange(NSText* text)
{
  cell()->setStringValue(text->string());
  if (m_delegate) m_delegate->controlTextDidChange(this);
}

void NSTextField::textDidEndEditing(NSText* text, NSTextMovement movement)
{
  StrongRef<NSTextField> keep(this);
  cell()->setStringValue(text->string());
  if (movement == NSOtherTextMovement)
  {
    endEditing();
    if (m_delegate) m_delegate->controlTextDidEndEditing(this);
    return;
  }
  // Return and Tab end this round of editing; the field keeps the keyboard with its text
  // selected, ready for the next.
  if (m_delegate) m_delegate->controlTextDidEndEditing(this);
  if (movement == NSReturnTextMovement) sendAction(action(), target());
  if (m_editor) m_editor->selectAll();
}

NSSecureTextField::NSSecureTextField(NSRect frame) : NSTextField(frame, new NSSecureTextFieldCell) {}

void NSSecureTextField::prepareEditor(NSTextView* editor)
{
  editor->setSecureTextEntry(true);
}
}  // namespace cocoa
