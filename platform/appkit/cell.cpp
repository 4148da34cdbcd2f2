#include "platform/appkit/cell.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/formatter.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/view.h"
#include "platform/graphics/cg_context.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace cocoa
{
NSCell::NSCell() : NSCell(NSString()) {}

NSCell::NSCell(const NSString& text) : m_value(text)
{
  setFont(NSFont::systemFontOfSize(NSFont::systemFontSize()));
}

void NSCell::dealloc()
{
  setFont(nullptr);
  setFormatter(nullptr);
}

void NSCell::redisplay()
{
  if (m_controlView) m_controlView->setNeedsDisplay(true);
}

void NSCell::setStringValue(const NSString& value)
{
  if (value == m_value) return;
  m_value = value;
  redisplay();
}

double NSCell::doubleValue() const
{
  return std::strtod(stringValue().UTF8String(), nullptr);
}

void NSCell::setDoubleValue(double value)
{
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value);
  setStringValue(text);
}

int NSCell::intValue() const
{
  const double value = doubleValue();
  return std::isfinite(value) ? static_cast<int>(std::trunc(value)) : 0;
}

void NSCell::setIntValue(int value)
{
  setStringValue(std::to_string(value));
}

void NSCell::setState(int state)
{
  if (state == m_state) return;
  m_state = state;
  redisplay();
}

void NSCell::setFont(CTFontRef font)
{
  if (font == m_font) return;
  if (font) CTFontRetain(font);
  if (CTFontRef old = std::exchange(m_font, font)) CTFontRelease(old);
  redisplay();
}

void NSCell::setAlignment(NSTextAlignment alignment)
{
  m_alignment = alignment;
  redisplay();
}

void NSCell::setWraps(bool wraps)
{
  setLineBreakMode(wraps ? NSLineBreakByWordWrapping : NSLineBreakByClipping);
}

void NSCell::setLineBreakMode(NSLineBreakMode mode)
{
  m_lineBreakMode = mode;
  if (wraps()) m_scrollable = false;
  redisplay();
}

void NSCell::setScrollable(bool scrollable)
{
  m_scrollable = scrollable;
  if (scrollable && wraps()) m_lineBreakMode = NSLineBreakByClipping;
  redisplay();
}

void NSCell::setControlSize(NSControlSize size)
{
  m_controlSize = size;
  setFont(NSFont::systemFontOfSize(NSFont::systemFontSizeForControlSize(size)));
}

void NSCell::setEnabled(bool enabled)
{
  if (enabled == m_enabled) return;
  m_enabled = enabled;
  redisplay();
}

void NSCell::setHighlighted(bool highlighted)
{
  if (highlighted == m_highlighted) return;
  m_highlighted = highlighted;
  redisplay();
}

void NSCell::setEditable(bool editable)
{
  m_editable = editable;
  redisplay();
}

void NSCell::setSelectable(bool selectable)
{
  m_selectable = selectable;
}

void NSCell::setFormatter(NSFormatter* formatter)
{
  if (formatter == m_formatter) return;
  if (formatter) formatter->retain();
  if (NSFormatter* old = std::exchange(m_formatter, formatter)) old->release();
}

NSColor NSCell::stateTextColor(const NSColor& enabledColor) const
{
  return m_enabled ? enabledColor : controlTheme().colors.disabledText;
}

NSSize NSCell::cellSize() const
{
  const FontLineMetrics metrics = fontLineMetrics(m_font);
  return NSMakeSize(std::ceil(textWidth(m_font, stringValue().str())), metrics.lineHeight);
}

NSRect NSCell::titleRectForBounds(NSRect bounds) const
{
  return bounds;
}

void NSCell::drawWithFrame(NSRect frame, NSView* view)
{
  drawInteriorWithFrame(frame, view);
}

void NSCell::drawInteriorWithFrame(NSRect frame, NSView*)
{
  drawText(stringValue(), titleRectForBounds(frame), stateTextColor(controlTheme().colors.text), true);
}

void NSCell::drawText(const NSString& text, NSRect rect, const NSColor& color, bool centreOneLine)
{
  CGContextRef context = currentCGContext();
  if (!context || !m_font || text.empty() || NSIsEmptyRect(rect)) return;
  TextLayout layout;
  TextLayout::Options options;
  options.boxWidth = rect.size.width;
  options.alignment = m_alignment;
  if (wraps()) options.wrapWidth = rect.size.width;
  std::string shown = text.str();
  if (!wraps() && m_lineBreakMode == NSLineBreakByTruncatingTail)
    shown = truncatedToWidth(m_font, shown, rect.size.width);
  layout.layout(m_font, shown, options);
  CGFloat top = rect.origin.y;
  if (centreOneLine && layout.lines().size() == 1)
    top += std::floor((rect.size.height - layout.lineHeight()) / 2);
  CGContextSaveGState(context);
  CGContextClipToRect(context, rect);
  layout.draw(context, NSMakePoint(rect.origin.x, top), color, rect.origin.y, NSMaxY(rect));
  CGContextRestoreGState(context);
}
}  // namespace cocoa
