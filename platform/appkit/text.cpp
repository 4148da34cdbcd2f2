#include "platform/appkit/text.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/font.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/window.h"
#include "platform/graphics/cg_context.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace cocoa
{
namespace
{
constexpr char32_t kBullet = 0x2022;

bool isWordCharacter(std::string_view text, size_t offset)
{
  const unsigned char c = static_cast<unsigned char>(text[offset]);
  return c >= 0x80 || std::isalnum(c) || c == '_';
}

// What may be typed or pasted: line breaks as the kind of text allows, no other control
// characters.
std::string cleanInput(std::string_view text, bool oneLine)
{
  std::string clean;
  for (size_t i = 0; i < text.size(); ++i)
  {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') clean += oneLine ? ' ' : '\n';
    else if (c == '\t') clean += oneLine ? ' ' : '\t';
    else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) clean += c;
  }
  return clean;
}

bool isTypedText(const NSString& characters)
{
  if (characters.empty()) return false;
  std::u32string codes;
  if (!decodeUtf8(characters.str(), &codes)) return false;
  return std::none_of(codes.begin(), codes.end(),
                      [](char32_t c) { return c < 0x20 || c == 0x7F || isFunctionKeyCharacter(c); });
}
}  // namespace

NSText::NSText(NSRect frame)
    : NSView(frame), m_textColor(controlTheme().colors.text), m_backgroundColor(controlTheme().colors.fieldBackground)
{
  setFont(NSFont::systemFontOfSize(NSFont::systemFontSize()));
}

void NSText::dealloc()
{
  if (CTFontRef font = std::exchange(m_font, nullptr)) CTFontRelease(font);
  NSView::dealloc();
}

void NSText::invalidateLayout()
{
  m_layoutValid = false;
  layout();
  setNeedsDisplay(true);
}

CGFloat NSText::wrapWidth() const
{
  return 0;
}

const TextLayout& NSText::layout()
{
  const CGFloat width = wrapWidth();
  if (m_layoutValid && width == m_layoutWidth) return m_layout;
  TextLayout::Options options;
  options.wrapWidth = width;
  options.boxWidth = bounds().size.width - 2 * kLineFragmentPadding;
  options.alignment = m_alignment;
  options.mask = m_secure ? kBullet : 0;
  m_layout.layout(m_font, m_text.str(), options);
  m_layoutValid = true;
  m_layoutWidth = width;
  layoutDidChange();
  return m_layout;
}

NSPoint NSText::textOrigin()
{
  return NSMakePoint(kLineFragmentPadding - m_scroll.x, -m_scroll.y);
}

void NSText::setFrame(NSRect frame)
{
  const bool resized = frame.size.width != this->frame().size.width;
  NSView::setFrame(frame);
  if (resized)
  {
    m_layoutValid = false;
    scrollRangeToVisible(NSMakeRange(m_caret, 0));
  }
}

void NSText::setString(const NSString& text)
{
  m_text = text;
  m_anchor = m_caret = m_text.str().size();
  m_scroll = NSPoint{};
  invalidateLayout();
  caretMoved();
}

void NSText::replaceCharactersInRange(NSRange range, const NSString& text)
{
  const std::string& current = m_text.str();
  const size_t from = characterBoundaryAtOrBefore(current, range.location);
  const size_t to = std::max(from, characterBoundaryAtOrBefore(current, NSMaxRange(range)));
  std::string next = current;
  next.replace(from, to - from, text.str());
  m_text = NSString(std::move(next));
  m_anchor = m_caret = characterBoundaryAtOrBefore(m_text.str(), from + text.str().size());
  invalidateLayout();
  caretMoved();
}

NSRange NSText::selectedRange() const
{
  return NSMakeRange(std::min(m_anchor, m_caret), m_anchor > m_caret ? m_anchor - m_caret : m_caret - m_anchor);
}

void NSText::setSelectedRange(NSRange range)
{
  const std::string& text = m_text.str();
  const size_t start = characterBoundaryAtOrBefore(text, range.location);
  const size_t end = std::max(start, characterBoundaryAtOrBefore(text, std::min<size_t>(NSMaxRange(range), text.size())));
  m_anchor = start;
  m_caret = end;
  caretMoved();
}

void NSText::setEditable(bool editable)
{
  m_editable = editable;
  setNeedsDisplay(true);
}

void NSText::setFieldEditor(bool fieldEditor)
{
  m_fieldEditor = fieldEditor;
  invalidateLayout();
}

void NSText::setSecureTextEntry(bool secure)
{
  m_secure = secure;
  invalidateLayout();
}

void NSText::setFont(CTFontRef font)
{
  if (!font || font == m_font) return;
  CTFontRetain(font);
  if (CTFontRef old = std::exchange(m_font, font)) CTFontRelease(old);
  invalidateLayout();
}

void NSText::setTextColor(const NSColor& color)
{
  m_textColor = color;
  setNeedsDisplay(true);
}

void NSText::setBackgroundColor(const NSColor& color)
{
  m_backgroundColor = color;
  setNeedsDisplay(true);
}

void NSText::setDrawsBackground(bool draws)
{
  m_drawsBackground = draws;
  setNeedsDisplay(true);
}

void NSText::setAlignment(NSTextAlignment alignment)
{
  m_alignment = alignment;
  invalidateLayout();
}

bool NSText::isActive() const
{
  NSWindow* w = window();
  return w && w->isKeyWindow() && w->firstResponder() == this;
}

bool NSText::showsCaret() const
{
  return m_editable && m_anchor == m_caret && isActive();
}

void NSText::caretMoved()
{
  m_goalX = NAN;
  scrollRangeToVisible(NSMakeRange(m_caret, 0));
  setNeedsDisplay(true);
}

void NSText::setCaret(size_t caret, bool extend)
{
  m_caret = characterBoundaryAtOrBefore(m_text.str(), caret);
  if (!extend) m_anchor = m_caret;
  caretMoved();
}

bool NSText::userReplace(NSRange range, std::string text)
{
  if (!m_editable) return false;
  StrongRef<NSText> keep(this);
  text = cleanInput(text, m_fieldEditor);
  if (text.empty() && range.length == 0) return false;
  if (m_delegate && !m_delegate->textShouldChange(this, range, NSString(text))) return false;
  if (!m_beganEditing)
  {
    m_beganEditing = true;
    if (m_delegate) m_delegate->textDidBeginEditing(this);
  }
  std::string next = m_text.str();
  next.replace(range.location, range.length, text);
  m_text = NSString(std::move(next));
  // Bytes that are not UTF-8 may join with their new neighbours into one character: the
  // caret never lands inside it.
  m_anchor = m_caret = characterBoundaryAtOrBefore(m_text.str(), range.location + text.size());
  invalidateLayout();
  caretMoved();
  if (m_delegate) m_delegate->textDidChange(this);
  return true;
}

void NSText::insertText(const NSString& text)
{
  if (!m_editable)
  {
    NSView::insertText(text);
    return;
  }
  userReplace(selectedRange(), text.str());
}

void NSText::deleteBackward()
{
  const NSRange selection = selectedRange();
  if (selection.length) userReplace(selection, {});
  else if (m_caret > 0)
  {
    const size_t from = previousCharacterBoundary(m_text.str(), m_caret);
    userReplace(NSMakeRange(from, m_caret - from), {});
  }
}

void NSText::deleteForward()
{
  const NSRange selection = selectedRange();
  if (selection.length) userReplace(selection, {});
  else if (m_caret < m_text.str().size())
    userReplace(NSMakeRange(m_caret, nextCharacterBoundary(m_text.str(), m_caret) - m_caret), {});
}

void NSText::copy()
{
  const NSRange selection = selectedRange();
  if (m_secure || !selection.length) return;
  NSPasteboard* pasteboard = NSPasteboard::generalPasteboard();
  pasteboard->clearContents();
  pasteboard->setString(NSString(m_text.str().substr(selection.location, selection.length)), NSPasteboardTypeString);
}

void NSText::cut()
{
  if (m_secure || !m_editable || !selectedRange().length) return;
  copy();
  userReplace(selectedRange(), {});
}

void NSText::paste()
{
  if (!m_editable) return;
  if (std::optional<NSString> text = NSPasteboard::generalPasteboard()->stringForType(NSPasteboardTypeString))
    userReplace(selectedRange(), text->str());
}

void NSText::selectAll()
{
  if (!isSelectable()) return;
  m_anchor = 0;
  m_caret = m_text.str().size();
  caretMoved();
}

bool NSText::performAction(Action action, NSObject*)
{
  switch (action)
  {
  case Action::copy: copy(); return isSelectable();
  case Action::cut: cut(); return m_editable;
  case Action::paste: paste(); return m_editable;
  case Action::selectAll: selectAll(); return isSelectable();
  default: return false;
  }
}

NSRect NSText::firstRectForCharacterRange(NSRange range)
{
  const TextLayout& text = layout();
  const NSPoint origin = textOrigin();
  const NSPoint start = text.caretPoint(range.location);
  NSPoint end = text.caretPoint(NSMaxRange(range));
  if (end.y != start.y) end.x = start.x;
  return NSMakeRect(origin.x + start.x, origin.y + start.y, end.x - start.x, text.lineHeight());
}

size_t NSText::characterIndexForPoint(NSPoint point)
{
  const NSPoint origin = textOrigin();
  return layout().offsetAt(NSMakePoint(point.x - origin.x, point.y - origin.y));
}

void NSText::scrollRangeToVisible(NSRange range)
{
  const TextLayout& text = layout();
  const NSPoint caret = text.caretPoint(range.location);
  if (!m_fieldEditor)
  {
    const NSPoint origin = textOrigin();
    scrollRectToVisible(NSMakeRect(origin.x + caret.x, origin.y + caret.y, 1, text.lineHeight()));
    return;
  }
  // A field editor scrolls itself: sideways for one line, downward for wrapped lines.
  const NSSize visible = NSMakeSize(bounds().size.width - 2 * kLineFragmentPadding, bounds().size.height);
  const CGFloat caretWidth = controlTheme().metrics.caretWidth;
  if (caret.x + caretWidth - m_scroll.x > visible.width) m_scroll.x = caret.x + caretWidth - visible.width;
  if (caret.x < m_scroll.x) m_scroll.x = caret.x;
  m_scroll.x = std::max(0.0, std::min(m_scroll.x, text.usedWidth() + caretWidth - visible.width));
  if (caret.y + text.lineHeight() - m_scroll.y > visible.height) m_scroll.y = caret.y + text.lineHeight() - visible.height;
  if (caret.y < m_scroll.y) m_scroll.y = caret.y;
  m_scroll.y = std::max(0.0, std::min(m_scroll.y, text.usedHeight() - visible.height));
}

bool NSText::resignFirstResponder()
{
  StrongRef<NSText> keep(this);
  m_beganEditing = false;
  setNeedsDisplay(true);
  if (m_delegate) m_delegate->textDidEndEditing(this, NSOtherTextMovement);
  return true;
}

NSRange NSText::wordAround(size_t offset) const
{
  const std::string& text = m_text.str();
  if (text.empty()) return {};
  size_t at = std::min(offset, text.size() - 1);
  at = characterBoundaryAtOrBefore(text, at);
  const bool word = isWordCharacter(text, at);
  size_t start = at;
  while (start > 0)
  {
    const size_t before = previousCharacterBoundary(text, start);
    if (isWordCharacter(text, before) != word || (!word && text[before] != text[at])) break;
    start = before;
  }
  size_t end = nextCharacterBoundary(text, at);
  while (end < text.size() && isWordCharacter(text, end) == word && (word || text[end] == text[at]))
    end = nextCharacterBoundary(text, end);
  return NSMakeRange(start, end - start);
}

size_t NSText::movedOffset(size_t from, int direction, Unit unit) const
{
  const std::string& text = m_text.str();
  if (unit == Unit::character)
    return direction < 0 ? previousCharacterBoundary(text, from) : nextCharacterBoundary(text, from);
  size_t at = from;
  if (direction < 0)
  {
    while (at > 0 && !isWordCharacter(text, previousCharacterBoundary(text, at))) at = previousCharacterBoundary(text, at);
    while (at > 0 && isWordCharacter(text, previousCharacterBoundary(text, at))) at = previousCharacterBoundary(text, at);
  }
  else
  {
    while (at < text.size() && !isWordCharacter(text, at)) at = nextCharacterBoundary(text, at);
    while (at < text.size() && isWordCharacter(text, at)) at = nextCharacterBoundary(text, at);
  }
  return at;
}

size_t NSText::lineEdge(size_t from, bool end)
{
  const TextLayout& text = layout();
  const size_t index = text.lineIndexOf(from);
  const TextLayout::Line& line = text.lines()[index];
  if (!end) return line.start;
  // A wrapped line ends where the next begins: stay before its trailing space.
  if (line.next == line.end && index + 1 < text.lines().size() && line.end > line.start)
    return previousCharacterBoundary(m_text.str(), line.end);
  return line.end;
}

size_t NSText::verticalOffset(size_t from, int lines)
{
  const TextLayout& text = layout();
  if (std::isnan(m_goalX)) m_goalX = text.caretPoint(from).x;
  const long target = static_cast<long>(text.lineIndexOf(from)) + lines;
  if (target < 0) return 0;
  if (target >= static_cast<long>(text.lines().size())) return m_text.str().size();
  return text.offsetInLine(static_cast<size_t>(target), m_goalX);
}

void NSText::keyDown(NSEvent* event)
{
  StrongRef<NSText> keep(this);
  const unsigned flags = event->modifierFlags();
  const bool shift = flags & NSEventModifierFlagShift;
  const bool command = flags & NSEventModifierFlagCommand;
  const bool option = flags & NSEventModifierFlagOption;
  const bool control = flags & NSEventModifierFlagControl;
  const Unit unit = command || option ? Unit::word : Unit::character;
  const NSRange selection = selectedRange();
  // Moving without Shift collapses a selection to the side the key points to.
  const auto moveTo = [&](size_t offset) { setCaret(offset, shift); };
  switch (event->keyCode())
  {
  case kVK_LeftArrow:
    moveTo(!shift && selection.length && unit == Unit::character ? selection.location : movedOffset(m_caret, -1, unit));
    return;
  case kVK_RightArrow:
    moveTo(!shift && selection.length && unit == Unit::character ? NSMaxRange(selection) : movedOffset(m_caret, 1, unit));
    return;
  case kVK_Home: moveTo(command ? 0 : lineEdge(m_caret, false)); return;
  case kVK_End: moveTo(command ? m_text.str().size() : lineEdge(m_caret, true)); return;
  case kVK_UpArrow:
  case kVK_DownArrow:
  case kVK_PageUp:
  case kVK_PageDown:
  {
    const int sign = event->keyCode() == kVK_UpArrow || event->keyCode() == kVK_PageUp ? -1 : 1;
    if (m_fieldEditor)
    {
      moveTo(sign < 0 ? 0 : m_text.str().size());
      return;
    }
    int lines = 1;
    if (event->keyCode() == kVK_PageUp || event->keyCode() == kVK_PageDown)
    {
      const CGFloat height = layout().lineHeight();
      lines = height > 0 ? std::max(1, static_cast<int>(visibleRect().size.height / height) - 1) : 1;
    }
    const CGFloat goal = m_goalX;
    const size_t target = verticalOffset(m_caret, sign * lines);
    const CGFloat kept = m_goalX;
    moveTo(target);
    m_goalX = std::isnan(goal) ? kept : goal;
    return;
  }
  case kVK_Delete:
    if (unit == Unit::word && !selection.length)
    {
      const size_t from = movedOffset(m_caret, -1, unit);
      userReplace(NSMakeRange(from, m_caret - from), {});
    }
    else
      deleteBackward();
    return;
  case kVK_ForwardDelete:
    if (unit == Unit::word && !selection.length)
    {
      const size_t to = movedOffset(m_caret, 1, unit);
      userReplace(NSMakeRange(m_caret, to - m_caret), {});
    }
    else
      deleteForward();
    return;
  case kVK_Return:
  case kVK_ANSI_KeypadEnter:
  case kVK_Tab:
  {
    const bool tab = event->keyCode() == kVK_Tab;
    if (!m_fieldEditor && m_editable && !command && !control)
    {
      insertText(tab ? "\t" : "\n");
      return;
    }
    if (m_fieldEditor)
    {
      // The next change begins a new round of editing.
      m_beganEditing = false;
      if (m_delegate)
        m_delegate->textDidEndEditing(this, tab ? (shift ? NSBacktabTextMovement : NSTabTextMovement) : NSReturnTextMovement);
    }
    NSView::keyDown(event);
    return;
  }
  default: break;
  }
  if (command && !control && !option)
  {
    switch (singleCharacterOf(event->charactersIgnoringModifiers()))
    {
    case 'a': selectAll(); return;
    case 'c': copy(); return;
    case 'x': cut(); return;
    case 'v': paste(); return;
    default: break;
    }
  }
  if (!command && !control && m_editable && isTypedText(event->characters()))
  {
    insertText(event->characters());
    return;
  }
  NSView::keyDown(event);
}

void NSText::mouseDown(NSEvent* event)
{
  if (!isSelectable())
  {
    NSView::mouseDown(event);
    return;
  }
  const size_t offset = characterIndexForPoint(convertPointFromView(event->locationInWindow(), nullptr));
  m_dragging = true;
  m_dragUnit = event->clickCount() >= 2 ? Unit::word : Unit::character;
  if (m_dragUnit == Unit::word)
  {
    m_dragStartWord = wordAround(offset);
    m_anchor = m_dragStartWord.location;
    m_caret = NSMaxRange(m_dragStartWord);
    caretMoved();
  }
  else
    setCaret(offset, (event->modifierFlags() & NSEventModifierFlagShift) != 0);
}

void NSText::mouseDragged(NSEvent* event)
{
  if (!m_dragging) return;
  const size_t offset = characterIndexForPoint(convertPointFromView(event->locationInWindow(), nullptr));
  if (m_dragUnit == Unit::character)
  {
    setCaret(offset, true);
    return;
  }
  const NSRange word = wordAround(offset);
  if (offset < m_dragStartWord.location)
  {
    m_anchor = NSMaxRange(m_dragStartWord);
    m_caret = word.location;
  }
  else
  {
    m_anchor = m_dragStartWord.location;
    m_caret = std::max(NSMaxRange(word), NSMaxRange(m_dragStartWord));
  }
  caretMoved();
}

void NSText::mouseUp(NSEvent*)
{
  m_dragging = false;
}

void NSText::drawRect(NSRect dirty)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  if (m_drawsBackground) fillRect(context, bounds(), m_backgroundColor);
  const TextLayout& text = layout();
  const NSPoint origin = textOrigin();
  const NSRange selection = selectedRange();
  const NSColor selectionColor = isActive() ? theme.colors.selection : theme.colors.selectionInactive;
  for (const NSRect& r : text.selectionRects(selection.location, NSMaxRange(selection)))
    fillRect(context, NSOffsetRect(r, origin.x, origin.y), selectionColor);
  text.draw(context, origin, m_textColor, NSMinY(dirty), NSMaxY(dirty));
  if (showsCaret())
  {
    const NSPoint caret = text.caretPoint(m_caret);
    fillRect(context,
             NSMakeRect(std::round(origin.x + caret.x), origin.y + caret.y, theme.metrics.caretWidth, text.lineHeight()),
             theme.colors.caret);
  }
}
}  // namespace cocoa
