#include "swell-text.h"
#include "swell-gdi-internal.h"

#include "platform/foundation/nsstring.h"
#include "platform/graphics/cg_context.h"

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

using namespace cocoa;

namespace
{
constexpr size_t kWorkingBytes = 4095;
constexpr double kDefaultFontSize = 10;
constexpr int kMaxLines = kWorkingBytes + 1;
const TEXTMETRIC kDefaultMetrics = {16, 12, 4, 3, 10};

// The working copy of a text: prefixes and carriage returns gone, line feeds kept or made
// spaces, at most kWorkingBytes bytes.
struct WorkingText
{
  char bytes[kWorkingBytes + 1];
  size_t length = 0;
  bool multiLine = false;
};

size_t utf8SequenceLength(unsigned char lead)
{
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;  // not a lead byte: the validity check refuses the text
}

// Drops a character the byte limit cut in two: half a character would make the whole text
// invalid and draw nothing.
void dropCutCharacter(WorkingText* text)
{
  size_t start = text->length;
  while (start > 0 && text->length - start < 4 && (static_cast<unsigned char>(text->bytes[start - 1]) & 0xC0) == 0x80)
    --start;
  if (start == 0) return;
  const size_t lead = start - 1;
  if (text->length - lead < utf8SequenceLength(static_cast<unsigned char>(text->bytes[lead])))
    text->length = lead;
}

void copyText(const char* text, int len, int flags, WorkingText* out)
{
  const bool singleLine = flags & DT_SINGLELINE;
  const bool prefixes = !(flags & DT_NOPREFIX);
  const size_t limit = len < 0 ? SIZE_MAX : static_cast<size_t>(len);
  bool cut = false;
  for (size_t i = 0; i < limit && text[i];)
  {
    char c = text[i++];
    if (c == '\r') continue;
    if (c == '\n')
    {
      if (singleLine) c = ' ';
      else out->multiLine = true;
    }
    else if (c == '&' && prefixes)
    {
      // The byte after the ampersand is kept whatever it is; nothing after a final one.
      if (i >= limit || !text[i]) break;
      c = text[i++];
    }
    if (out->length == kWorkingBytes)
    {
      cut = true;
      break;
    }
    out->bytes[out->length++] = c;
  }
  if (cut) dropCutCharacter(out);
  out->bytes[out->length] = 0;
}

bool convertible(const WorkingText& text)
{
  thread_local std::u32string scratch;
  return decodeUtf8(std::string_view(text.bytes, text.length), &scratch);
}

struct LineMetrics
{
  double width = 0;  // typographic, unrounded
  CGFloat ascent = 0;
  CGFloat descent = 0;
  CGFloat leading = 0;
  double lineHeight() const { return ascent + descent + leading; }
};

LineMetrics measure(CTLineRef line)
{
  LineMetrics m;
  m.width = CTLineGetTypographicBounds(line, &m.ascent, &m.descent, &m.leading);
  return m;
}

int roundedWidth(const LineMetrics& m)
{
  return static_cast<int>(std::floor(m.width + 0.5));
}

// Heights are measured a unit more generously than lines advance while drawing.
int measuredHeight(const LineMetrics& m)
{
  return static_cast<int>(std::floor(m.lineHeight() + 1.5));
}

// The lines of a multi-line text; a final line feed ends the last line, starts none.
struct Lines
{
  CTLineRef lines[kMaxLines];
  int count = 0;

  ~Lines()
  {
    for (int i = 0; i < count; ++i) CTLineRelease(lines[i]);
  }
};

bool layOut(CTFontRef font, CGColorRef colour, const WorkingText& text, Lines* out)
{
  size_t start = 0;
  while (start <= text.length)
  {
    const char* end = static_cast<const char*>(std::memchr(text.bytes + start, '\n', text.length - start));
    const size_t stop = end ? static_cast<size_t>(end - text.bytes) : text.length;
    if (!end && stop == start && out->count > 0) break;
    CTLineRef line = CTLineCreateWithText(font, NSString(std::string_view(text.bytes + start, stop - start)), colour);
    if (!line) return false;
    out->lines[out->count++] = line;
    start = stop + 1;
  }
  return true;
}

void fillBackground(CGContextRef ctx, int colour, CGRect area)
{
  CGContextSetRGBFillColor(ctx, colourComponent(colour, 16), colourComponent(colour, 8), colourComponent(colour, 0), 1);
  CGContextFillRect(ctx, area);
}

int placed(int start, int span, int size, bool far, bool middle)
{
  if (far) return start + (span - size);
  if (middle) return start + span / 2 - size / 2;
  return start;
}
}  // namespace

CTFontRef GetCoreTextDefaultFont()
{
  static CTFontRef font = CTFontCreateUIFontForLanguage(kCTFontUIFontLabel, kDefaultFontSize, nullptr);
  return font;
}

CTFontRef contextFont(HDC dc)
{
  if (isLiveGdiObjectOfType(dc->curfont, kGdiFont) && dc->curfont->font) return dc->curfont->font;
  return GetCoreTextDefaultFont();
}

int SWELL_DrawText(HDC dc, const char* text, int len, RECT* r, int flags)
{
  if (!isLiveContext(dc) || !text || !r || !len || !*text) return 0;
  WorkingText working;
  copyText(text, len, flags, &working);
  if (!working.length || !convertible(working)) return 0;
  CTFontRef font = contextFont(dc);
  if (!font) return 0;

  Lines lines;
  if (!working.multiLine)
  {
    lines.lines[0] = CTLineCreateWithText(font, NSString(std::string_view(working.bytes, working.length)),
                                          dc->curtextcolor);
    if (lines.lines[0]) lines.count = 1;
  }
  else if (!layOut(font, dc->curtextcolor, working, &lines))
    lines.count = 0;

  int width = 0;
  int height = 0;
  for (int i = 0; i < lines.count; ++i)
  {
    const LineMetrics m = measure(lines.lines[i]);
    width = std::max(width, roundedWidth(m));
    height += measuredHeight(m);
  }
  if (height) ++height;

  if (flags & DT_CALCRECT)
  {
    r->right = r->left + width;
    r->bottom = r->top + height;
    return height;
  }
  if (!dc->ctx || !lines.count) return height;

  const int x = placed(r->left, r->right - r->left, width, flags & DT_RIGHT, flags & DT_CENTER);
  int y = placed(r->top, r->bottom - r->top, height, flags & DT_BOTTOM, flags & DT_VCENTER);

  CGContextRef ctx = dc->ctx;
  CGContextSaveGState(ctx);
  CGContextSetTextMatrix(ctx, CGAffineTransformMake(1, 0, 0, -1, 0, 0));
  if (!(flags & DT_NOCLIP)) CGContextClipToRect(ctx, CGRectMake(r->left, r->top, r->right - r->left, r->bottom - r->top));
  const bool opaque = dc->curbkmode == OPAQUE;
  if (isLiveGdiObjectOfType(dc->curfont, kGdiFont) && dc->curfont->quality != kFontQualityDefault)
    CGContextSetShouldAntialias(ctx, dc->curfont->quality == kFontQualityAntialiased);

  if (lines.count == 1 && !working.multiLine)
  {
    const LineMetrics m = measure(lines.lines[0]);
    if (opaque) fillBackground(ctx, dc->curbkcol, CGRectMake(x, y, width, height));
    CGContextSetTextPosition(ctx, x, y + m.ascent);
    CTLineDraw(lines.lines[0], ctx);
  }
  else
  {
    double lineTop = y;
    for (int i = 0; i < lines.count; ++i)
    {
      const LineMetrics m = measure(lines.lines[i]);
      if (opaque) fillBackground(ctx, dc->curbkcol, CGRectMake(x, lineTop, m.width, m.lineHeight()));
      CGContextSetTextPosition(ctx, x, lineTop + m.ascent);
      CTLineDraw(lines.lines[i], ctx);
      lineTop += std::floor(m.lineHeight() + 0.5);
    }
  }
  CGContextRestoreGState(ctx);
  return height;
}

int GetTextMetrics(HDC dc, TEXTMETRIC* tm)
{
  if (!tm) return 0;
  *tm = kDefaultMetrics;
  if (!isLiveContext(dc)) return 0;
  CTFontRef font = contextFont(dc);
  if (!font) return 1;
  tm->tmInternalLeading = static_cast<int>(CTFontGetLeading(font));
  tm->tmAscent = static_cast<int>(CTFontGetAscent(font));
  tm->tmDescent = static_cast<int>(CTFontGetDescent(font));
  const int sum = tm->tmAscent + tm->tmDescent + tm->tmInternalLeading;
  tm->tmAveCharWidth = (2 * sum) / 3;
  tm->tmHeight = sum ? sum + 1 : 0;
  return 1;
}

int GetTextFace(HDC dc, int size, char* buffer)
{
  if (!isLiveContext(dc) || !buffer || size <= 0) return 0;
  CTFontRef font = contextFont(dc);
  if (!font)
  {
    buffer[0] = 0;
    return 0;
  }
  const std::string name = CTFontCopyDisplayName(font).str();
  const size_t length = utf8PrefixLength(name.c_str(), name.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, name.data(), length);
  buffer[length] = 0;
  return static_cast<int>(length);
}

int GetGlyphIndicesW(HDC dc, const wchar_t* characters, int count, unsigned short* glyphs, int flags)
{
  if (!glyphs || count <= 0) return 0;
  const bool haveFont =
      isLiveContext(dc) && isLiveGdiObjectOfType(dc->curfont, kGdiFont) && dc->curfont->font && characters;
  bool all = haveFont;
  constexpr int kChunk = 256;
  for (int start = 0; all && start < count; start += kChunk)
  {
    const int n = std::min(kChunk, count - start);
    char32_t chunk[kChunk];
    for (int i = 0; i < n; ++i) chunk[i] = static_cast<char32_t>(characters[start + i]);
    all = CTFontGetGlyphsForCharacters(dc->curfont->font, chunk, glyphs + start, n);
  }
  if (all) return count;
  const unsigned short marker = flags == GGI_MARK_NONEXISTING_GLYPHS ? 0xFFFF : 0;
  for (int i = 0; i < count; ++i) glyphs[i] = marker;
  return 0;
}
