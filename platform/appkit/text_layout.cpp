#include "platform/appkit/text_layout.h"

#include "platform/appkit/font.h"
#include "platform/graphics/cg_context.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
namespace
{
constexpr char32_t kTab = '\t';
constexpr int kSpacesPerTab = 4;
constexpr const char* kEllipsis = "\u2026";
// How much of a selected line break shows at the end of its line.
constexpr CGFloat kSelectedBreakWidth = 5;

// The character at an offset and the offset after it; a byte that does not start a valid
// sequence is one character.
char32_t decodeAt(std::string_view text, size_t offset, size_t* next)
{
  const unsigned char lead = static_cast<unsigned char>(text[offset]);
  int extra = 0;
  char32_t value = lead;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) { extra = 1; value = lead & 0x1F; minimum = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { extra = 2; value = lead & 0x0F; minimum = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { extra = 3; value = lead & 0x07; minimum = 0x10000; }
  *next = offset + 1;
  if (extra == 0 || offset + static_cast<size_t>(extra) >= text.size()) return lead;
  for (int k = 1; k <= extra; ++k)
  {
    const unsigned char byte = static_cast<unsigned char>(text[offset + k]);
    if ((byte & 0xC0) != 0x80) return lead;
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return lead;
  *next = offset + 1 + extra;
  return value;
}

bool isBreakingSpace(char32_t c)
{
  return c == ' ' || c == kTab;
}

struct Character
{
  size_t offset;
  size_t next;
  char32_t code;
  CGFloat advance;
};

// How many glyphs one font lookup takes at a time: a paragraph of any length is measured
// with one allocation, its characters' own.
constexpr size_t kGlyphRun = 256;

// The characters of [from, to) with their advances in the font.
std::vector<Character> measure(CTFontRef font, std::string_view text, size_t from, size_t to, char32_t mask)
{
  std::vector<Character> characters;
  characters.reserve(to - from);  // at most one character per byte
  for (size_t at = from; at < to;)
  {
    size_t next = at;
    const char32_t code = decodeAt(text, at, &next);
    characters.push_back({at, next, code, 0});
    at = next;
  }
  if (characters.empty() || !font) return characters;
  char32_t codes[kGlyphRun];
  CGGlyph glyphs[kGlyphRun];
  CGSize advances[kGlyphRun];
  for (size_t run = 0; run < characters.size(); run += kGlyphRun)
  {
    const size_t count = std::min(kGlyphRun, characters.size() - run);
    for (size_t i = 0; i < count; ++i)
    {
      const char32_t code = characters[run + i].code;
      codes[i] = mask ? mask : code == kTab ? ' ' : code;
    }
    CTFontGetGlyphsForCharacters(font, codes, glyphs, static_cast<long>(count));
    CTFontGetAdvancesForGlyphs(font, glyphs, advances, static_cast<long>(count));
    for (size_t i = 0; i < count; ++i)
    {
      Character& character = characters[run + i];
      if (!mask && character.code < 0x20 && character.code != kTab) continue;  // control characters take no room
      character.advance = advances[i].width * (!mask && character.code == kTab ? kSpacesPerTab : 1);
    }
  }
  return characters;
}
}  // namespace

size_t nextCharacterBoundary(std::string_view text, size_t offset)
{
  if (offset >= text.size()) return text.size();
  size_t next = offset;
  decodeAt(text, characterBoundaryAtOrBefore(text, offset), &next);
  return next;
}

size_t previousCharacterBoundary(std::string_view text, size_t offset)
{
  offset = characterBoundaryAtOrBefore(text, offset);
  return offset == 0 ? 0 : characterBoundaryAtOrBefore(text, offset - 1);
}

size_t characterBoundaryAtOrBefore(std::string_view text, size_t offset)
{
  if (offset >= text.size()) return text.size();
  // Continuation bytes belong to the character that a lead byte before them starts, when
  // that sequence is valid and reaches them.
  for (size_t back = 1; back <= 3 && back <= offset; ++back)
  {
    if ((static_cast<unsigned char>(text[offset - back + 1]) & 0xC0) != 0x80) break;
    size_t next = 0;
    decodeAt(text, offset - back, &next);
    if (next > offset) return offset - back;
  }
  return offset;
}

void TextLayout::layout(CTFontRef font, std::string_view text, const Options& options)
{
  m_font = font;
  m_text.assign(text);
  m_mask = options.mask;
  m_lines.clear();
  m_usedWidth = 0;
  const FontLineMetrics metrics = font ? fontLineMetrics(font) : FontLineMetrics{0, 0, 0};
  m_lineHeight = metrics.lineHeight;
  m_ascent = metrics.ascent;

  const auto addLine = [&](const std::vector<Character>& chars, size_t first, size_t last, size_t emptyStart,
                           size_t next) {
    Line line;
    line.start = first < chars.size() ? chars[first].offset : emptyStart;
    line.end = last > first ? chars[last - 1].next : line.start;
    line.next = next;
    line.top = m_lineHeight * static_cast<CGFloat>(m_lines.size());
    CGFloat x = 0;
    CGFloat shown = 0;  // the width without trailing spaces, which alignment ignores
    line.offsets.reserve(last - first + 1);
    line.xs.reserve(last - first + 1);
    line.offsets.push_back(line.start);
    line.xs.push_back(0);
    for (size_t i = first; i < last; ++i)
    {
      x += chars[i].advance;
      if (!isBreakingSpace(chars[i].code)) shown = x;
      line.offsets.push_back(chars[i].next);
      line.xs.push_back(x);
    }
    line.width = shown;
    const CGFloat spare = options.boxWidth - shown;
    if (spare > 0 && options.alignment == NSTextAlignmentCenter) line.left = std::floor(spare / 2);
    else if (spare > 0 && options.alignment == NSTextAlignmentRight) line.left = spare;
    for (CGFloat& position : line.xs) position += line.left;
    m_usedWidth = std::max(m_usedWidth, shown);
    m_lines.push_back(std::move(line));
  };

  size_t paragraph = 0;
  while (true)
  {
    const size_t feed = m_text.find('\n', paragraph);
    const size_t paragraphEnd = feed == std::string::npos ? m_text.size() : feed;
    const size_t after = feed == std::string::npos ? m_text.size() : feed + 1;
    const std::vector<Character> chars = measure(font, m_text, paragraph, paragraphEnd, m_mask);
    size_t first = 0;
    CGFloat x = 0;
    size_t lastBreak = 0;  // the index after the last space of the line being filled
    for (size_t i = 0; i < chars.size(); ++i)
    {
      const bool space = isBreakingSpace(chars[i].code) && !m_mask;
      if (options.wrapWidth > 0 && !space && i > first && x + chars[i].advance > options.wrapWidth)
      {
        const size_t breakAt = lastBreak > first ? lastBreak : i;
        addLine(chars, first, breakAt, paragraph, chars[breakAt].offset);
        first = breakAt;
        lastBreak = first;
        x = 0;
        for (size_t k = first; k < i; ++k) x += chars[k].advance;
      }
      x += chars[i].advance;
      if (space) lastBreak = i + 1;
    }
    addLine(chars, first, chars.size(), paragraph, after);
    if (feed == std::string::npos) break;
    paragraph = after;
  }
}

size_t TextLayout::lineIndexOf(size_t offset) const
{
  size_t index = 0;
  for (size_t i = 1; i < m_lines.size(); ++i)
    if (m_lines[i].start <= offset) index = i;
  return index;
}

NSPoint TextLayout::caretPoint(size_t offset) const
{
  if (m_lines.empty()) return {};
  const Line& line = m_lines[lineIndexOf(offset)];
  for (size_t i = line.offsets.size(); i-- > 0;)
    if (line.offsets[i] <= offset) return NSMakePoint(line.xs[i], line.top);
  return NSMakePoint(line.xs.front(), line.top);
}

size_t TextLayout::offsetInLine(size_t index, CGFloat x) const
{
  if (m_lines.empty()) return 0;
  const Line& line = m_lines[std::min(index, m_lines.size() - 1)];
  // A wrapped line shares its last boundary with the next line's first: stop before it.
  size_t count = line.offsets.size();
  if (line.next == line.end && count > 1 && index + 1 < m_lines.size()) --count;
  size_t best = 0;
  for (size_t i = 1; i < count; ++i)
    if (std::abs(line.xs[i] - x) < std::abs(line.xs[best] - x)) best = i;
  return line.offsets[best];
}

size_t TextLayout::offsetAt(NSPoint point) const
{
  if (m_lines.empty() || m_lineHeight <= 0) return 0;
  const CGFloat row = std::floor(point.y / m_lineHeight);
  const size_t index = row < 0 ? 0 : std::min(static_cast<size_t>(row), m_lines.size() - 1);
  return offsetInLine(index, point.x);
}

std::vector<NSRect> TextLayout::selectionRects(size_t from, size_t to) const
{
  std::vector<NSRect> rects;
  if (from >= to) return rects;
  for (const Line& line : m_lines)
  {
    if (line.next <= from && line.next != line.start) continue;
    if (line.start >= to) break;
    const size_t a = std::max(from, line.start);
    const size_t b = std::min(to, line.end);
    CGFloat x0 = caretPoint(a).x;
    CGFloat x1 = line.xs.back();
    for (size_t i = 0; i < line.offsets.size(); ++i)
      if (line.offsets[i] == b) x1 = line.xs[i];
    if (a > line.end) x0 = line.xs.back();
    if (to > line.end && line.next > line.end) x1 += kSelectedBreakWidth;
    if (x1 > x0) rects.push_back(NSMakeRect(x0, line.top, x1 - x0, m_lineHeight));
  }
  return rects;
}

std::string TextLayout::shownText(const Line& line) const
{
  std::string shown;
  if (m_mask)
  {
    std::string bullet;
    appendUtf8(m_mask, &bullet);
    for (size_t i = 1; i < line.offsets.size(); ++i) shown += bullet;
    return shown;
  }
  for (size_t at = line.start; at < line.end; ++at)
  {
    const char c = m_text[at];
    if (c == '\t') shown.append(kSpacesPerTab, ' ');
    else if (static_cast<unsigned char>(c) >= 0x20 || c < 0) shown += c;
  }
  return shown;
}

void TextLayout::draw(CGContextRef context, NSPoint origin, const NSColor& color, CGFloat clipTop,
                      CGFloat clipBottom) const
{
  for (const Line& line : m_lines)
  {
    const CGFloat top = origin.y + line.top;
    if (top + m_lineHeight <= clipTop || top >= clipBottom || line.end == line.start) continue;
    drawTextLine(context, m_font, shownText(line), origin.x + line.left, top + m_ascent, color);
  }
}

CGFloat textWidth(CTFontRef font, std::string_view text)
{
  CGFloat width = 0;
  for (const Character& c : measure(font, text, 0, text.size(), 0)) width += c.advance;
  return width;
}

std::string truncatedToWidth(CTFontRef font, std::string_view text, CGFloat width)
{
  const std::vector<Character> chars = measure(font, text, 0, text.size(), 0);
  CGFloat total = 0;
  for (const Character& c : chars) total += c.advance;
  if (total <= width) return std::string(text);
  const CGFloat room = width - textWidth(font, kEllipsis);
  CGFloat x = 0;
  size_t end = 0;
  for (const Character& c : chars)
  {
    if (x + c.advance > room) break;
    x += c.advance;
    end = c.next;
  }
  return std::string(text.substr(0, end)) + kEllipsis;
}

void drawTextLine(CGContextRef context, CTFontRef font, std::string_view text, CGFloat x, CGFloat baseline,
                  const NSColor& color)
{
  if (!context || !font || text.empty()) return;
  CGColorRef cgColor = CGColorCreateGenericRGB(color.redComponent(), color.greenComponent(), color.blueComponent(),
                                               color.alphaComponent());
  CTLineRef line = CTLineCreateWithText(font, NSString(std::string(text)), cgColor);
  CGContextSetTextMatrix(context, CGAffineTransformMake(1, 0, 0, -1, 0, 0));
  CGContextSetTextPosition(context, std::round(x), std::round(baseline));
  CTLineDraw(line, context);
  CTLineRelease(line);
  CGColorRelease(cgColor);
}
}  // namespace cocoa
