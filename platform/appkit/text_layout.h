#pragma once

#include "platform/appkit/color.h"
#include "platform/foundation/geometry.h"
#include "platform/graphics/cg_types.h"
#include "platform/text/core_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace cocoa
{
enum NSTextAlignment
{
  NSTextAlignmentLeft = 0,
  NSTextAlignmentRight = 1,
  NSTextAlignmentCenter = 2,
  NSTextAlignmentJustified = 3,
  NSTextAlignmentNatural = 4,
};

enum NSLineBreakMode
{
  NSLineBreakByWordWrapping = 0,
  NSLineBreakByCharWrapping = 1,
  NSLineBreakByClipping = 2,
  NSLineBreakByTruncatingHead = 3,
  NSLineBreakByTruncatingTail = 4,
  NSLineBreakByTruncatingMiddle = 5,
};

// Character boundaries of UTF-8 text. A byte that does not start a valid sequence counts
// as a character of its own, as the text drawing takes it.
size_t nextCharacterBoundary(std::string_view text, size_t offset);
size_t previousCharacterBoundary(std::string_view text, size_t offset);
// The boundary at or before the offset (offsets past the end give the end).
size_t characterBoundaryAtOrBefore(std::string_view text, size_t offset);

// Lines of text in one font, as text views and cells place them: broken at line feeds
// and, when a wrap width is given, before the word that would pass it (a word wider than
// the width is broken between characters). Positions are in a y-down space whose origin
// is the top left of the box the text is aligned in.
class TextLayout
{
public:
  struct Options
  {
    CGFloat wrapWidth = 0;  // 0: lines are not wrapped
    CGFloat boxWidth = 0;   // the width alignment places lines in
    NSTextAlignment alignment = NSTextAlignmentLeft;
    char32_t mask = 0;      // secure text: every character shows as this one
  };

  struct Line
  {
    size_t start = 0;  // bytes [start, end) are shown; a line feed or wrapped spaces may follow
    size_t end = 0;
    size_t next = 0;   // where the next line starts
    CGFloat top = 0;
    CGFloat left = 0;  // where alignment puts the line
    CGFloat width = 0;
    std::vector<size_t> offsets;  // every character boundary of the line, start to end
    std::vector<CGFloat> xs;      // the x of each boundary, alignment included
  };

  void layout(CTFontRef font, std::string_view text, const Options& options);

  CTFontRef font() const { return m_font; }
  const std::vector<Line>& lines() const { return m_lines; }
  CGFloat lineHeight() const { return m_lineHeight; }
  CGFloat ascent() const { return m_ascent; }
  // The widest line and the height of all lines.
  CGFloat usedWidth() const { return m_usedWidth; }
  CGFloat usedHeight() const { return m_lineHeight * static_cast<CGFloat>(m_lines.size()); }

  // The line that shows a caret at this offset: at a wrap, the caret starts the next line.
  size_t lineIndexOf(size_t offset) const;
  // The caret's x and its line's top.
  NSPoint caretPoint(size_t offset) const;
  // The character boundary nearest to a point.
  size_t offsetAt(NSPoint point) const;
  // The boundary of the same line nearest to an x (moving up and down keeps the column).
  size_t offsetInLine(size_t line, CGFloat x) const;
  // The rectangles a selection covers, one per line; a selected line break shows as a
  // little space at the end of its line.
  std::vector<NSRect> selectionRects(size_t from, size_t to) const;

  // Draws every line whose box meets [clipTop, clipBottom), moved by the origin, in a
  // y-down user space.
  void draw(CGContextRef context, NSPoint origin, const NSColor& color, CGFloat clipTop, CGFloat clipBottom) const;

private:
  std::string shownText(const Line& line) const;

  CTFontRef m_font = nullptr;
  std::string m_text;
  char32_t m_mask = 0;
  std::vector<Line> m_lines;
  CGFloat m_lineHeight = 0;
  CGFloat m_ascent = 0;
  CGFloat m_usedWidth = 0;
};

// The width of one line of text in a font.
CGFloat textWidth(CTFontRef font, std::string_view text);
// The text cut at its end, with an ellipsis, to fit the width (unchanged when it fits).
std::string truncatedToWidth(CTFontRef font, std::string_view text, CGFloat width);
// One line of text with its baseline at (x, baseline) in a y-down user space.
void drawTextLine(CGContextRef context, CTFontRef font, std::string_view text, CGFloat x, CGFloat baseline,
                  const NSColor& color);
}  // namespace cocoa
