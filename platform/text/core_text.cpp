#include "platform/text/core_text.h"

#include "platform/graphics/cg_internal.h"
#include "platform/text/font_face.h"

#include <cmath>
#include <vector>

namespace cocoa
{
namespace
{
// Mac code asks for sizes far outside what text needs; these keep FreeType sane.
constexpr double kMinimumSize = 1;
constexpr double kMaximumSize = 8192;
}  // namespace

struct CTFont : NSObject
{
  std::shared_ptr<FontFace> face;
  double size = 12;
  bool antialiased = true;
  double unitsToSize(long units) const { return static_cast<double>(units) * size / face->face->units_per_EM; }
};

struct CTLine : NSObject
{
  CTFont* font = nullptr;
  std::vector<CGGlyph> glyphs;
  std::vector<double> advances;
  RGBA color;
  double width = 0;

protected:
  void dealloc() override
  {
    if (font) font->release();
  }
};

CTFontRef CTFontCreateWithName(const NSString& name, CGFloat size, const CGAffineTransform*)
{
  if (!(size >= kMinimumSize)) size = 12;
  if (size > kMaximumSize) size = kMaximumSize;
  const std::optional<ResolvedFont> resolved = resolveFont(parseFontName(name.str()));
  if (!resolved) return nullptr;
  std::shared_ptr<FontFace> face = openFontFace(*resolved, size);
  if (!face) return nullptr;
  CTFont* font = new CTFont;
  font->face = std::move(face);
  font->size = size;
  return font;
}

CTFontRef CTFontCreateUIFontForLanguage(CTFontUIFontType, CGFloat size, const char*)
{
  return CTFontCreateWithName("Lucida Grande", size, nullptr);
}

CTFontRef CTFontRetain(CTFontRef font)
{
  if (font) font->retain();
  return font;
}

void CTFontRelease(CTFontRef font)
{
  if (font) font->release();
}

void CTFontSetAntialiased(CTFontRef font, bool antialiased)
{
  if (font) font->antialiased = antialiased;
}

CGFloat CTFontGetSize(CTFontRef font)
{
  return font ? font->size : 0;
}

CGFloat CTFontGetAscent(CTFontRef font)
{
  return font ? font->unitsToSize(font->face->face->ascender) : 0;
}

CGFloat CTFontGetDescent(CTFontRef font)
{
  return font ? font->unitsToSize(-font->face->face->descender) : 0;
}

CGFloat CTFontGetLeading(CTFontRef font)
{
  if (!font) return 0;
  const FT_Face face = font->face->face;
  const long gap = face->height - (face->ascender - face->descender);
  return gap > 0 ? font->unitsToSize(gap) : 0;
}

NSString CTFontCopyFamilyName(CTFontRef font)
{
  return font ? NSString(font->face->source.family) : NSString();
}

NSString CTFontCopyDisplayName(CTFontRef font)
{
  if (!font) return {};
  const std::string& style = font->face->source.style;
  if (style.empty() || style == "Book" || style == "Regular") return NSString(font->face->source.family);
  return NSString(font->face->source.family + " " + style);
}

NSString CTFontCopyPostScriptName(CTFontRef font)
{
  if (!font) return {};
  const char* name = FT_Get_Postscript_Name(font->face->face);
  return NSString(name ? name : "");
}

bool CTFontGetGlyphsForCharacters(CTFontRef font, const char32_t* characters, CGGlyph* glyphs, long count)
{
  if (!font || !characters || !glyphs) return false;
  std::lock_guard<std::recursive_mutex> lock(faceMutex());
  bool all = true;
  for (long i = 0; i < count; ++i)
  {
    glyphs[i] = static_cast<CGGlyph>(FT_Get_Char_Index(font->face->face, characters[i]));
    if (glyphs[i] == 0) all = false;
  }
  return all;
}

double CTFontGetAdvancesForGlyphs(CTFontRef font, const CGGlyph* glyphs, CGSize* advances, long count)
{
  if (!font || !glyphs) return 0;
  std::lock_guard<std::recursive_mutex> lock(faceMutex());
  double total = 0;
  for (long i = 0; i < count; ++i)
  {
    auto known = font->face->advances.find(glyphs[i]);
    if (known == font->face->advances.end())
    {
      double measured = 0;
      // Unhinted advances, so widths scale exactly with the size.
      if (FT_Load_Glyph(font->face->face, glyphs[i], FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0)
        measured = static_cast<double>(font->face->face->glyph->linearHoriAdvance) / 65536.0;
      known = font->face->advances.emplace(glyphs[i], measured).first;
    }
    const double advance = known->second;
    if (advances) advances[i] = CGSizeMake(advance, 0);
    total += advance;
  }
  return total;
}

bool CTFontManagerRegisterFontsForURL(const NSString& path, CTFontManagerScope)
{
  return !path.empty() && registerFontFile(path.str());
}

CTLineRef CTLineCreateWithText(CTFontRef font, const NSString& text, CGColorRef foreground)
{
  if (!font) return nullptr;
  std::u32string characters;
  if (!decodeUtf8(text.str(), &characters))
    for (unsigned char c : text.str()) characters.push_back(c);  // not UTF-8: take the bytes as Latin-1
  CTLine* line = new CTLine;
  line->font = font;
  font->retain();
  line->glyphs.resize(characters.size());
  CTFontGetGlyphsForCharacters(font, characters.data(), line->glyphs.data(), static_cast<long>(characters.size()));
  std::vector<CGSize> advances(characters.size());
  line->width = CTFontGetAdvancesForGlyphs(font, line->glyphs.data(), advances.data(),
                                          static_cast<long>(characters.size()));
  for (const CGSize& advance : advances) line->advances.push_back(advance.width);
  if (foreground)
    line->color = {foreground->components[0], foreground->components[1], foreground->components[2],
                   foreground->components[3]};
  return line;
}

void CTLineRelease(CTLineRef line)
{
  if (line) line->release();
}

double CTLineGetTypographicBounds(CTLineRef line, CGFloat* ascent, CGFloat* descent, CGFloat* leading)
{
  if (ascent) *ascent = line ? CTFontGetAscent(line->font) : 0;
  if (descent) *descent = line ? CTFontGetDescent(line->font) : 0;
  if (leading) *leading = line ? CTFontGetLeading(line->font) : 0;
  return line ? line->width : 0;
}

void CTLineDraw(CTLineRef line, CGContextRef context)
{
  if (!line || !context || !context->cr) return;
  cairo_t* cr = context->cr;
  const bool antialiased = line->font->antialiased && context->state.antialias && context->allowsAntialiasing;
  cairo_save(cr);
  const CGAffineTransform& m = context->textMatrix;
  cairo_matrix_t textMatrix;
  cairo_matrix_init(&textMatrix, m.a, m.b, m.c, m.d, m.tx, m.ty);
  cairo_translate(cr, context->textPosition.x, context->textPosition.y);
  if (cairo_matrix_invert(&textMatrix) == CAIRO_STATUS_SUCCESS)
  {
    cairo_matrix_init(&textMatrix, m.a, m.b, m.c, m.d, m.tx, m.ty);
    cairo_transform(cr, &textMatrix);
    // Glyph space grows upward; the rendered coverage rows grow downward.
    cairo_scale(cr, 1, -1);
    setSourceColor(cr, line->color);
    double pen = 0;
    for (size_t i = 0; i < line->glyphs.size(); ++i)
    {
      const CachedGlyph& glyph = cachedGlyph(line->font->face, line->glyphs[i], antialiased);
      if (glyph.coverage)
      {
        cairo_pattern_t* mask = cairo_pattern_create_for_surface(glyph.coverage);
        cairo_pattern_set_filter(mask, CAIRO_FILTER_NEAREST);
        cairo_matrix_t place;
        cairo_matrix_init_translate(&place, -(std::round(pen) + glyph.left), glyph.top);
        cairo_pattern_set_matrix(mask, &place);
        cairo_mask(cr, mask);
        cairo_pattern_destroy(mask);
      }
      pen += line->advances[i];
    }
  }
  cairo_restore(cr);
  context->textPosition.x += line->width * m.a;
  context->textPosition.y += line->width * m.b;
}
}  // namespace cocoa
