#include "platform/appkit/backing_bitmap.h"
#include "platform/graphics/cg_context.h"
#include "platform/text/core_text.h"
#include "platform/text/font_lookup.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

using namespace cocoa;

namespace
{
// The line metrics as the font file states them, read here without FreeType.
struct FileMetrics
{
  int ascender = 0;
  int descender = 0;
  int lineGap = 0;
  int unitsPerEm = 0;
};

int be16(const std::vector<uint8_t>& b, size_t at)
{
  return static_cast<int16_t>((b.at(at) << 8) | b.at(at + 1));
}

uint32_t be32(const std::vector<uint8_t>& b, size_t at)
{
  return (uint32_t(b.at(at)) << 24) | (uint32_t(b.at(at + 1)) << 16) | (uint32_t(b.at(at + 2)) << 8) | b.at(at + 3);
}

FileMetrics readMetrics(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  FileMetrics m;
  const int tables = be16(bytes, 4);
  for (int i = 0; i < tables; ++i)
  {
    const size_t record = 12 + 16 * static_cast<size_t>(i);
    const std::string tag(bytes.begin() + static_cast<long>(record), bytes.begin() + static_cast<long>(record) + 4);
    const size_t offset = be32(bytes, record + 8);
    if (tag == "hhea")
    {
      m.ascender = be16(bytes, offset + 4);
      m.descender = be16(bytes, offset + 6);
      m.lineGap = be16(bytes, offset + 8);
    }
    if (tag == "head") m.unitsPerEm = be16(bytes, offset + 18) & 0xFFFF;
  }
  return m;
}

std::string dejaVuSansPath()
{
  const auto resolved = resolveFont(parseFontName("DejaVu Sans"));
  return resolved ? resolved->path : std::string();
}
}  // namespace

TEST(FontLookup, MacNamesAndStylesMapToDejaVu)
{
  EXPECT_EQ(parseFontName("Helvetica Bold").family, "Helvetica");
  EXPECT_TRUE(parseFontName("Helvetica Bold").bold);
  const FontRequest both = parseFontName("Lucida Grande Bold Italic");
  EXPECT_EQ(both.family, "Lucida Grande");
  EXPECT_TRUE(both.bold && both.italic);
  const FontRequest postScript = parseFontName("Arial-BoldMT");
  EXPECT_EQ(postScript.family, "Arial");
  EXPECT_TRUE(postScript.bold && !postScript.italic);

  for (const char* mac : {"Lucida Grande", "Helvetica", "Arial", "Verdana"})
    EXPECT_EQ(linuxFamilyFor(mac), "DejaVu Sans") << mac;
  EXPECT_EQ(linuxFamilyFor("Geneva"), "DejaVu Sans Condensed");
  EXPECT_EQ(linuxFamilyFor("Monaco"), "DejaVu Sans Mono");
  EXPECT_EQ(linuxFamilyFor("Times New Roman"), "DejaVu Serif");

  const auto regular = resolveFont(parseFontName("Geneva"));
  const auto bold = resolveFont(parseFontName("Geneva Bold"));
  ASSERT_TRUE(regular && bold);
  EXPECT_NE(regular->path.find("/DejaVuSansCondensed.ttf"), std::string::npos);
  EXPECT_NE(bold->path.find("/DejaVuSansCondensed-Bold.ttf"), std::string::npos);
  EXPECT_FALSE(bold->syntheticBold);
}

TEST(TextMetrics, DejaVuSansLineMetricsFollowTheFileAtEverySize)
{
  const FileMetrics file = readMetrics(dejaVuSansPath());
  ASSERT_GT(file.unitsPerEm, 0);
  for (double size : {9.0, 10.0, 12.0, 13.0, 24.0, 100.0})
  {
    CTFontRef font = CTFontCreateWithName("Lucida Grande", size, nullptr);
    ASSERT_NE(font, nullptr);
    EXPECT_DOUBLE_EQ(CTFontGetAscent(font), file.ascender * size / file.unitsPerEm) << size;
    EXPECT_DOUBLE_EQ(CTFontGetDescent(font), -file.descender * size / file.unitsPerEm) << size;
    EXPECT_DOUBLE_EQ(CTFontGetLeading(font), file.lineGap * size / file.unitsPerEm) << size;
    CTFontRelease(font);
  }
  CTFontRef font = CTFontCreateWithName("Lucida Grande Bold", 12, nullptr);
  EXPECT_EQ(CTFontCopyDisplayName(font).str(), "DejaVu Sans Bold");
  EXPECT_EQ(CTFontCopyPostScriptName(font).str(), "DejaVuSans-Bold");
  CTFontRelease(font);
}

TEST(TextMetrics, WidthsScaleWithTheSizeAndRepeatExactly)
{
  // DejaVu Sans has tabular figures: ten digits are ten equal advances, and a string is
  // as wide at size 20 as twice itself at size 10.
  CTFontRef small = CTFontCreateWithName("Helvetica", 10, nullptr);
  CTFontRef large = CTFontCreateWithName("Helvetica", 20, nullptr);
  CTLineRef digits = CTLineCreateWithText(small, "0123456789", nullptr);
  CTLineRef zero = CTLineCreateWithText(small, "0", nullptr);
  EXPECT_NEAR(CTLineGetTypographicBounds(digits, nullptr, nullptr, nullptr),
              10 * CTLineGetTypographicBounds(zero, nullptr, nullptr, nullptr), 1e-9);
  CTLineRef word = CTLineCreateWithText(small, "Vorna", nullptr);
  CTLineRef bigWord = CTLineCreateWithText(large, "Vorna", nullptr);
  const double width = CTLineGetTypographicBounds(word, nullptr, nullptr, nullptr);
  EXPECT_NEAR(CTLineGetTypographicBounds(bigWord, nullptr, nullptr, nullptr), 2 * width, 1e-9);
  CTLineRef again = CTLineCreateWithText(small, "Vorna", nullptr);
  EXPECT_EQ(CTLineGetTypographicBounds(again, nullptr, nullptr, nullptr), width);
  for (CTLineRef line : {digits, zero, word, bigWord, again}) CTLineRelease(line);

  char32_t characters[2] = {U'A', 0xE000};  // the second is in no font
  CGGlyph glyphs[2] = {};
  EXPECT_FALSE(CTFontGetGlyphsForCharacters(small, characters, glyphs, 2));
  EXPECT_NE(glyphs[0], 0);
  EXPECT_EQ(glyphs[1], 0);
  CTFontRelease(small);
  CTFontRelease(large);
}

TEST(TextDrawing, GlyphPixelsAreFreeTypesCoverageAtTheBaseline)
{
  constexpr int kWidth = 40, kHeight = 40, kX = 10, kBaseline = 30;
  BackingBitmap bitmap;
  ASSERT_TRUE(bitmap.resize(kWidth, kHeight));
  CGContextRef context = bitmap.context();
  CGContextTranslateCTM(context, 0, kHeight);
  CGContextScaleCTM(context, 1, -1);
  CGContextSetTextMatrix(context, CGAffineTransformMake(1, 0, 0, -1, 0, 0));
  CGContextSetTextPosition(context, kX, kBaseline);
  CTFontRef font = CTFontCreateWithName("Lucida Grande", 20, nullptr);
  CGColorRef white = CGColorCreateGenericRGB(1, 1, 1, 1);
  CTLineRef line = CTLineCreateWithText(font, "A", white);
  CTLineDraw(line, context);

  // The same glyph straight from FreeType, unhinted as the platform renders it.
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, dejaVuSansPath().c_str(), 0, &face), 0);
  FT_Set_Char_Size(face, 0, 20 * 64, 72, 72);
  ASSERT_EQ(FT_Load_Char(face, 'A', FT_LOAD_NO_HINTING | FT_LOAD_RENDER), 0);
  const FT_Bitmap& glyph = face->glyph->bitmap;
  const int left = kX + face->glyph->bitmap_left;
  const int top = kBaseline - face->glyph->bitmap_top;
  int inked = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
    {
      const int gx = x - left, gy = y - top;
      const bool inGlyph = gx >= 0 && gy >= 0 && gx < static_cast<int>(glyph.width) && gy < static_cast<int>(glyph.rows);
      const uint32_t coverage = inGlyph ? glyph.buffer[gy * glyph.pitch + gx] : 0;
      EXPECT_EQ(bitmap.pixel(x, y) & 0xFFFFFF, coverage * 0x010101u) << x << "," << y;
      inked += coverage > 0;
    }
  EXPECT_GT(inked, 50);
  // The pen moved on by the line's width.
  EXPECT_NEAR(CGContextGetTextPosition(context).x, kX + CTLineGetTypographicBounds(line, nullptr, nullptr, nullptr), 1e-9);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  CTLineRelease(line);
  CGColorRelease(white);
  CTFontRelease(font);
}
