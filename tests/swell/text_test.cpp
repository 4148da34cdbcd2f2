#include "gdi_test_support.h"
#include "swell-text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

static bool operator==(const TEXTMETRIC& a, const TEXTMETRIC& b)
{
  return std::memcmp(&a, &b, sizeof(a)) == 0;
}

namespace
{
// DejaVu Sans, which the Mac system faces ("Lucida Grande", "Helvetica", ...) map to: its
// line metrics and a few advances, in font units of 2048 to the em, as the font file states them.
constexpr double kUnitsPerEm = 2048;
constexpr double kAscender = 1901;
constexpr double kDescender = 483;
constexpr double kAdvanceA = 1401, kAdvanceB = 1405, kAdvanceAmpersand = 1597, kAdvanceSmallA = 1255,
                 kAdvanceSmallB = 1300, kAdvanceSpace = 651;

int widthOf(double units, double size)
{
  return static_cast<int>(std::floor(units * size / kUnitsPerEm + 0.5));
}

int lineHeight(double size)
{
  return static_cast<int>(std::floor((kAscender + kDescender) * size / kUnitsPerEm + 1.5));
}

struct TextContext
{
  static constexpr int kWidth = 120, kHeight = 60;
  HDC dc = SWELL_CreateMemContext(nullptr, kWidth, kHeight);
  HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Lucida Grande");
  TextContext() { SelectObject(dc, font); }
  ~TextContext()
  {
    SWELL_DeleteGfxContext(dc);
    DeleteObject(font);
  }

  RECT measure(const std::string& text, int flags = 0, int len = -1)
  {
    RECT r = {10, 20, 10, 20};
    const int height = SWELL_DrawText(dc, text.c_str(), len, &r, flags | DT_CALCRECT);
    EXPECT_EQ(height, r.bottom - r.top) << text;
    return r;
  }
  int width(const std::string& text, int flags = 0) { return measure(text, flags).right - 10; }
  int height(const std::string& text, int flags = 0) { return measure(text, flags).bottom - 20; }
  InkBox ink() { return inkBox(dc, kWidth, kHeight, 0); }
  void clear() { std::memset(SWELL_GetCtxFrameBuffer(dc), 0, kWidth * kHeight * 4); }
};
}  // namespace

TEST(Text, PrefixAndLineRulesGiveExactRectangles)
{
  TextContext t;
  const int line = lineHeight(12);
  EXPECT_EQ(t.measure("AB").right, 10 + widthOf(kAdvanceA + kAdvanceB, 12));
  EXPECT_EQ(t.height("AB"), line + 1);
  EXPECT_EQ(t.width("A&B"), t.width("AB"));
  EXPECT_EQ(t.width("A&&B"), widthOf(kAdvanceA + kAdvanceAmpersand + kAdvanceB, 12));
  EXPECT_EQ(t.width("A&B", DT_NOPREFIX), widthOf(kAdvanceA + kAdvanceAmpersand + kAdvanceB, 12));
  EXPECT_EQ(t.width("A&"), t.width("A"));
  EXPECT_EQ(t.measure("ABAB", 0, 2).right, t.measure("AB").right);

  // Carriage return and line feed: two lines, or one with a space under DT_SINGLELINE.
  EXPECT_EQ(t.height("a\r\nb"), 2 * line + 1);
  EXPECT_EQ(t.width("a\r\nb"), widthOf(kAdvanceSmallB, 12));
  EXPECT_EQ(t.width("a\r\nb", DT_SINGLELINE), widthOf(kAdvanceSmallA + kAdvanceSpace + kAdvanceSmallB, 12));
  EXPECT_EQ(t.height("a\r\nb", DT_SINGLELINE), line + 1);
  EXPECT_EQ(t.height("a\n\nb"), 3 * line + 1);
  EXPECT_EQ(t.height("a\n"), line + 1);

  // Nothing to draw leaves the rectangle alone.
  RECT untouched = {1, 2, 3, 4};
  EXPECT_EQ(SWELL_DrawText(t.dc, "", -1, &untouched, DT_CALCRECT), 0);
  EXPECT_EQ(SWELL_DrawText(t.dc, "&", -1, &untouched, DT_CALCRECT), 0);
  EXPECT_EQ(SWELL_DrawText(t.dc, "\r", -1, &untouched, DT_CALCRECT), 0);
  EXPECT_EQ(SWELL_DrawText(t.dc, "\xff\xfe", -1, &untouched, DT_CALCRECT), 0);
  EXPECT_EQ(SWELL_DrawText(nullptr, "AB", -1, &untouched, DT_CALCRECT), 0);
  EXPECT_EQ(untouched.right, 3);
  EXPECT_EQ(untouched.bottom, 4);
}

TEST(Text, PlacementFlagsPutTheBlockWhereTheyAsk)
{
  TextContext t;
  const int w = t.width("AB");
  const int h = t.height("AB");
  // The calculation draws nothing.
  EXPECT_TRUE(t.ink().empty());

  // With the opaque background the filled block shows exactly where the text went.
  SetBkMode(t.dc, OPAQUE);
  SetBkColor(t.dc, 0x102030);
  SetTextColor(t.dc, 0xFFFFFF);
  struct Case
  {
    int flags, left, top;
  };
  RECT r = {10, 5, 71, 46};  // 61 x 41
  for (const Case& c : {Case{0, 10, 5}, Case{DT_CENTER | DT_VCENTER, 10 + 30 - w / 2, 5 + 20 - h / 2},
                        Case{DT_RIGHT | DT_BOTTOM, 71 - w, 46 - h}, Case{DT_RIGHT | DT_CENTER, 71 - w, 5}})
  {
    t.clear();
    EXPECT_EQ(SWELL_DrawText(t.dc, "AB", -1, &r, c.flags), h);
    EXPECT_EQ(t.ink(), (InkBox{c.left, c.top, c.left + w, c.top + h})) << c.flags;
  }
  EXPECT_EQ(r.right, 71);  // drawing leaves the rectangle alone

  // Clipped to the rectangle unless DT_NOCLIP.
  RECT small = {0, 0, 5, 5};
  t.clear();
  SWELL_DrawText(t.dc, "AB", -1, &small, 0);
  EXPECT_EQ(t.ink(), (InkBox{0, 0, 5, 5}));
  t.clear();
  SWELL_DrawText(t.dc, "AB", -1, &small, DT_NOCLIP);
  EXPECT_EQ(t.ink().right, w);

  // Multi-line: each line's background is as wide as that line, lines a line height apart.
  t.clear();
  RECT wide = {0, 0, 120, 60};
  SWELL_DrawText(t.dc, "AB\na", -1, &wide, 0);
  EXPECT_EQ(pixelAt(t.dc, TextContext::kWidth, w - 1, 2), 0x102030u);
  EXPECT_EQ(pixelAt(t.dc, TextContext::kWidth, w - 1, lineHeight(12) + 1), 0u);
  EXPECT_EQ(pixelAt(t.dc, TextContext::kWidth, 0, lineHeight(12) + 1), 0x102030u);
}

TEST(Text, LongTextsAreCutBetweenCharacters)
{
  TextContext t;
  const std::string many(5000, 'a');
  EXPECT_EQ(t.width(many), t.width(std::string(4095, 'a')));
  EXPECT_EQ(t.width(std::string(4095, 'a') + "b"), t.width(std::string(4095, 'a')));
  // A two-byte character straddling the limit is left out, not split.
  const std::string straddling = std::string(4094, 'a') + "\xc3\xa9";
  EXPECT_EQ(t.height(straddling), lineHeight(12) + 1);
  EXPECT_EQ(t.width(straddling), t.width(std::string(4094, 'a')));
  // Doubled ampersands count once.
  EXPECT_EQ(t.width(std::string(200, '&') + "ab"), widthOf(100 * kAdvanceAmpersand + kAdvanceSmallA + kAdvanceSmallB, 12));
}

TEST(Text, MetricsOfDejaVuSansAtSeveralSizes)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 4, 4);
  for (int size : {10, 12, 16, 24, 40})
  {
    HFONT font = CreateFont(-size, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Lucida Grande");
    SelectObject(dc, font);
    TEXTMETRIC tm;
    EXPECT_EQ(GetTextMetrics(dc, &tm), 1);
    const int ascent = static_cast<int>(kAscender * size / kUnitsPerEm);
    const int descent = static_cast<int>(kDescender * size / kUnitsPerEm);
    EXPECT_EQ(tm, (TEXTMETRIC{ascent + descent + 1, ascent, descent, 0, 2 * (ascent + descent) / 3})) << size;
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(3));
    DeleteObject(font);
  }
  // Without a font selected: the 10-point label font.
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  EXPECT_EQ(tm, (TEXTMETRIC{12, 9, 2, 0, 7}));
  EXPECT_EQ(GetTextMetrics(dc, nullptr), 0);
  SWELL_DeleteGfxContext(dc);

  // A null context leaves the defaults.
  std::memset(&tm, 0, sizeof(tm));
  EXPECT_EQ(GetTextMetrics(nullptr, &tm), 0);
  EXPECT_EQ(tm, (TEXTMETRIC{16, 12, 4, 3, 10}));
}

TEST(Text, FaceNamesAndGlyphIndices)
{
  TextContext t;
  char name[64];
  EXPECT_EQ(GetTextFace(t.dc, sizeof(name), name), 11);
  EXPECT_STREQ(name, "DejaVu Sans");
  std::memset(name, 'x', sizeof(name));
  EXPECT_EQ(GetTextFace(t.dc, 5, name), 4);
  EXPECT_STREQ(name, "Deja");
  EXPECT_EQ(name[5], 'x');
  EXPECT_EQ(GetTextFace(t.dc, 0, name), 0);
  EXPECT_EQ(name[0], 'D');

  unsigned short glyphs[3] = {1, 1, 1};
  const wchar_t present[] = L"AB&";
  EXPECT_EQ(GetGlyphIndicesW(t.dc, present, 3, glyphs, 0), 3);
  EXPECT_NE(glyphs[0], 0);
  EXPECT_NE(glyphs[0], glyphs[1]);
  const wchar_t missing[] = {L'A', 0xE000, L'B'};  // a private-use character DejaVu Sans lacks
  EXPECT_EQ(GetGlyphIndicesW(t.dc, missing, 3, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 0);
  EXPECT_EQ(glyphs[0], 0xFFFF);
  EXPECT_EQ(glyphs[2], 0xFFFF);
  // Only a selected font answers.
  HDC plain = SWELL_CreateMemContext(nullptr, 1, 1);
  EXPECT_EQ(GetGlyphIndicesW(plain, present, 3, glyphs, 0), 0);
  EXPECT_EQ(glyphs[1], 0);
  SWELL_DeleteGfxContext(plain);
}

// White text on black as the raster library's glyph cache draws it, the font's quality
// deciding the anti-aliasing; written out as swell_text.png to look at.
TEST(Text, GlyphPixelsFollowTheColourAndQuality)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 160, 60);
  SetTextColor(dc, 0xFFFFFF);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, 0);
  struct Row
  {
    int quality, top;
  };
  for (const Row& row : {Row{NONANTIALIASED_QUALITY, 2}, Row{ANTIALIASED_QUALITY, 30}})
  {
    HFONT font = CreateFont(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, row.quality, 0, "Geneva");
    SelectObject(dc, font);
    RECT r = {4, row.top, 160, row.top + 28};
    SWELL_DrawText(dc, "Vorna &Hi", -1, &r, DT_NOCLIP | DT_SINGLELINE);
    int grey = 0, white = 0;
    for (int y = row.top; y < row.top + 28; ++y)
      for (int x = 0; x < 160; ++x)
      {
        const uint32_t p = pixelAt(dc, 160, x, y);
        if (p == 0xFFFFFF) ++white;
        else if (p != 0) ++grey;
        EXPECT_TRUE((p & 0xFF) == (p >> 16)) << "not grey at " << x << "," << y;
      }
    EXPECT_GT(white, 100) << row.quality;
    if (row.quality == NONANTIALIASED_QUALITY)
    {
      EXPECT_EQ(grey, 0);
    }
    else
    {
      EXPECT_GT(grey, 50);
    }
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(3));
    DeleteObject(font);
  }
  EXPECT_TRUE(writeSnapshot(dc, 160, 60, "swell_text"));
  SWELL_DeleteGfxContext(dc);
}
