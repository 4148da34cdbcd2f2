#include "bitmap_png.h"
#include "lice_test_util.h"
#include "lice.h"
#include "lice_text.h"
#include "swell-gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
constexpr int kNativeFlags = CFONT_OWNS_FONT | CFONT_NATIVE_OK;

// A font that shows its cache.
class Font : public LICE_CachedFont
{
public:
  explicit Font(int flags, int size = 14, int quality = 0)
  {
    SetFromHFont(CreateFont(size, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, quality, 0, "Geneva"), flags | CFONT_OWNS_FONT);
  }
  int storeBytes() const { return m_cachestore.GetSize(); }
  int extraEntries() const { return m_extracharlist.GetSize(); }
  const charEnt* extra(int i) const { return m_extracharlist.Get() + i; }
  const charEnt& low(int c) const { return m_lowchars[c]; }
  float alpha() const { return m_alpha; }
  // The cached coverage of a code below 128, rendering it first.
  std::vector<unsigned char> coverage(char c)
  {
    measure(std::string(1, c));
    const charEnt& e = m_lowchars[(int)c];
    if (e.base_offset <= 0) return {};
    const unsigned char* first = m_cachestore.Get() + e.base_offset - 1;
    return std::vector<unsigned char>(first, first + e.width * e.height);
  }

  RECT measure(const std::string& text, unsigned flags = 0, int count = -1)
  {
    RECT r = {0, 0, 0, 0};
    DrawText(nullptr, text.c_str(), count, &r, flags | DT_CALCRECT);
    return r;
  }
};

struct Box
{
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

// The bounding box of the pixels that differ from the background.
Box inkBox(LICE_IBitmap& bmp, unsigned int background)
{
  Box b;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if ((LICE_GetPixel(&bmp, x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
      {
        b.left = std::min(b.left, x), b.top = std::min(b.top, y);
        b.right = std::max(b.right, x + 1), b.bottom = std::max(b.bottom, y + 1);
      }
  return b;
}

int red(LICE_IBitmap& bmp, int x, int y) { return (LICE_GetPixel(&bmp, x, y) >> 16) & 0xFF; }

// A picture of each bitmap a failed case leaves behind, to look at.
void snapshotOnFailure(const std::string& name, LICE_IBitmap& a, LICE_IBitmap* b = nullptr)
{
  if (!::testing::Test::HasFailure()) return;
  lice_test::WriteBitmapPng(&a, name + "-a.png");
  if (b) lice_test::WriteBitmapPng(b, name + "-b.png");
}
}  // namespace

TEST(CachedFont, NativeAndGlyphWaysGiveTheSameCoverage)
{
  Font native(kNativeFlags), glyphs(0);
  native.SetTextColor(0xFFFFFFFF);
  glyphs.SetTextColor(0xFFFFFFFF);
  for (const char* text : {"A", "g", "W", "j", "@", "\xC3\xA9"})
  {
    // White on black: the native way's coverage is its red byte; the glyph way blends
    // by coverage + 1 out of 256, which rounds partial coverage up by one. The native
    // way through the scratch copy (no context of its own) is exact.
    LICE_SysBitmap direct(40, 30), viaGlyphs(40, 30);
    LICE_MemBitmap viaScratch(40, 30);
    LICE_Clear(&direct, 0xFF000000);
    LICE_Clear(&viaGlyphs, 0xFF000000);
    LICE_Clear(&viaScratch, 0xFF000000);
    RECT r = {7, 5, 40, 30};
    const int hNative = native.DrawText(&direct, text, -1, &r, DT_NOCLIP);
    native.DrawText(&viaScratch, text, -1, &r, DT_NOCLIP);
    const int hGlyphs = glyphs.DrawText(&viaGlyphs, text, -1, &r, DT_NOCLIP);
    EXPECT_GT(hNative, 0) << text;
    EXPECT_GT(hGlyphs, 0) << text;
    int differing = 0, inked = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
      {
        differing += std::abs(red(direct, x, y) - red(viaGlyphs, x, y)) > 1;
        differing += red(direct, x, y) != red(viaScratch, x, y);
        inked += red(direct, x, y) != 0;
      }
    EXPECT_EQ(differing, 0) << text;
    EXPECT_GT(inked, 8) << text;
    snapshotOnFailure(std::string("font-ways-") + text, direct, &viaGlyphs);
  }
}

TEST(CachedFont, MeasuringMatchesDrawingAndTheTextRules)
{
  Font font(0);
  font.SetTextColor(0xFFFFFFFF);
  const int line = font.GetLineHeight();
  ASSERT_GT(line, 10);

  // What is drawn lies inside the measured box; the height returned by drawing is the
  // measured height; alignment puts the box against the right or centre.
  for (unsigned align : {0u, unsigned(DT_CENTER), unsigned(DT_RIGHT)})
  {
    LICE_SysBitmap bmp(160, 40);
    LICE_Clear(&bmp, 0);
    const RECT m = font.measure("Hello, gap");
    RECT r = {10, 5, 150, 40};
    const int drawnHeight = font.DrawText(&bmp, "Hello, gap", -1, &r, align);
    EXPECT_EQ(drawnHeight, m.bottom);
    const int left = align == DT_CENTER ? 10 + (140 - m.right) / 2 : align == DT_RIGHT ? 150 - m.right : 10;
    const Box ink = inkBox(bmp, 0);
    EXPECT_GE(ink.left, left - 1) << align;
    EXPECT_LE(ink.right, left + m.right) << align;
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.bottom, 5 + m.bottom);
    EXPECT_GT(ink.right - ink.left, m.right * 3 / 4) << align;
    snapshotOnFailure("font-measure", bmp);
  }

  const RECT a = font.measure("A");
  EXPECT_EQ(font.measure("A\r\nB").bottom, line + font.measure("B").bottom);
  EXPECT_EQ(font.measure("A\r\nB", DT_SINGLELINE).right, font.measure("A B").right);
  EXPECT_EQ(font.measure("A\r\nB", DT_SINGLELINE).bottom, a.bottom);
  // A four-byte character is a space; a lone continuation byte, or 0xC0, is the
  // character of that code.
  EXPECT_EQ(font.measure("A\xF0\x9F\x8E\xB9" "A").right, font.measure("A A").right);
  EXPECT_EQ(font.measure("\xA9").right, font.measure("\xC2\xA9").right);
  EXPECT_EQ(font.measure("\xC0").right, font.measure("\xC3\x80").right);
  EXPECT_GT(font.measure("\xC0").right, 0);
  // The byte count ends the text, also inside a character.
  EXPECT_EQ(font.measure("AAAA", 0, 2).right, font.measure("AA").right);
  EXPECT_EQ(font.measure("A\xC3\xA9", 0, 2).right, font.measure("A\xC3").right);
  const RECT empty = font.measure("");
  EXPECT_EQ(empty.right, 0);
  EXPECT_EQ(empty.bottom, 0);

  Font ascii(CFONT_PRERENDER_ASCII);
  EXPECT_EQ(ascii.measure("\xC3\xA9").right, 0);
  EXPECT_EQ(ascii.measure("A\xC3\xA9").right, ascii.measure("A").right);
  EXPECT_EQ(ascii.extraEntries(), 0);
}

TEST(CachedFont, ColourAlphaAndBlendModesOnExactPixels)
{
  // Mono glyphs have coverage 0 or 255, so every ink pixel gets exactly one blend.
  Font mono(CFONT_MONO);
  const unsigned int background = 0xFF304050, colour = 0x80C08010;
  RECT r = {4, 2, 60, 30};
  const auto drawn = [&](float alpha, int mode, unsigned flags = 0) {
    LICE_MemBitmap bmp(60, 30);
    LICE_Clear(&bmp, background);
    mono.SetTextColor(colour);
    mono.SetCombineMode(mode, alpha);
    mono.DrawText(&bmp, "H", -1, &r, flags);
    return lice_test::Pixels(bmp);
  };

  // At full alpha in copy mode the whole colour is stored, its alpha byte too.
  const auto plain = drawn(1.0f, BLEND_COPY);
  int ink = 0;
  for (unsigned p : plain)
  {
    EXPECT_TRUE(p == background || p == colour) << std::hex << p;
    ink += p == colour;
  }
  EXPECT_GT(ink, 10);
  for (int mode : {BLEND_COPY, BLEND_ADD, BLEND_MULTIPLY, BLEND_OVERLAY})
  {
    const auto blended = drawn(0.5f, mode);
    for (size_t i = 0; i < plain.size(); ++i)
    {
      unsigned int expected = background;
      if (plain[i] == colour)
      {
        expected = background;
        LICE_CombinePixels2(&expected, 0xC0, 0x80, 0x10, 255, 128, mode);
      }
      ASSERT_EQ(blended[i], expected) << "mode " << mode << " at " << i;
    }
  }

  // Alpha 0, or the colour's own alpha of 0 under the translucency flag, draws nothing,
  // returns 0 and leaves the font's alpha alone.
  const auto none = drawn(0.0f, BLEND_COPY);
  EXPECT_TRUE(std::all_of(none.begin(), none.end(), [&](unsigned p) { return p == background; }));
  LICE_MemBitmap bmp(60, 30);
  mono.SetCombineMode(BLEND_COPY, 0.75f);
  mono.SetTextColor(0x00FFFFFF);
  EXPECT_EQ(mono.DrawText(&bmp, "H", -1, &r, LICE_DT_USEFGALPHA), 0);
  EXPECT_EQ(mono.alpha(), 0.75f);

  // An opaque background fills each glyph's box; a shadow adds effect pixels below and
  // right of the ink.
  Font shadow(CFONT_SHADOW);
  LICE_MemBitmap s(60, 30);
  LICE_Clear(&s, 0);
  shadow.SetTextColor(0xFFFFFFFF);
  shadow.SetEffectColor(0xFF0000FF);
  shadow.DrawText(&s, "l", -1, &r, 0);
  int white = 0, blueRightOfWhite = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 1; x < 60; ++x)
    {
      white += LICE_GetPixel(&s, x, y) == 0xFFFFFFFF;
      blueRightOfWhite += LICE_GetPixel(&s, x, y) == 0xFF0000FF && LICE_GetPixel(&s, x - 1, y) == 0xFFFFFFFF;
    }
  EXPECT_GT(white, 5);
  EXPECT_GT(blueRightOfWhite, 5);
  snapshotOnFailure("font-shadow", s);

  Font boxed(CFONT_MONO);
  boxed.SetBkMode(OPAQUE);
  boxed.SetBkColor(0xFF00FF00);
  LICE_MemBitmap b(60, 30);
  LICE_Clear(&b, 0);
  boxed.DrawText(&b, "i", -1, &r, 0);
  const Box green = inkBox(b, 0);
  const RECT m = boxed.measure("i");
  // The box reaches from the ink's left (or the pen, if further left) over the advance.
  EXPECT_LE(green.left, r.left);
  EXPECT_GE(green.right, r.left + m.right);
  EXPECT_EQ(green.top, r.top);
  EXPECT_EQ(green.bottom, r.top + m.bottom);
}

TEST(CachedFont, ClippingCutsGlyphsAtTheirFirstVisibleColumn)
{
  Font font(0);
  font.SetTextColor(0xFFFFFFFF);
  LICE_MemBitmap whole(60, 30), cut(60, 30);
  LICE_Clear(&whole, 0);
  LICE_Clear(&cut, 0);
  RECT r = {10, 4, 60, 30};
  font.DrawText(&whole, "MW", -1, &r, 0);
  const Box ink = inkBox(whole, 0);
  const int mid = (ink.left + ink.right) / 2;
  RECT clipped = {mid, 4, 60, 30};
  // The same text placed right-aligned in a box that starts half way through it.
  RECT placed = {mid, 4, 10 + font.measure("MW").right, 30};
  font.DrawText(&cut, "MW", -1, &placed, DT_RIGHT);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(LICE_GetPixel(&cut, x, y), x < clipped.left ? 0u : LICE_GetPixel(&whole, x, y)) << x << "," << y;
  // Wholly outside the bitmap: nothing drawn, nothing counted.
  RECT outside = {-200, 4, -100, 30};
  EXPECT_EQ(font.DrawText(&cut, "MW", -1, &outside, DT_NOCLIP), 0);
  snapshotOnFailure("font-clip", whole, &cut);
}

TEST(CachedFont, GlyphCacheFillsOncePerCharacter)
{
  Font font(0);
  LICE_MemBitmap bmp(200, 40);
  RECT r = {0, 0, 200, 40};
  font.DrawText(&bmp, "AAAA", -1, &r, 0);
  const int oneGlyph = font.storeBytes();
  EXPECT_GT(oneGlyph, 0);
  EXPECT_EQ(oneGlyph, font.low('A').width * font.low('A').height);
  font.DrawText(&bmp, "AB", -1, &r, 0);
  const int twoGlyphs = font.storeBytes();
  EXPECT_GT(twoGlyphs, oneGlyph);
  font.DrawText(&bmp, "BABA", -1, &r, 0);
  font.measure("ABBA");
  EXPECT_EQ(font.storeBytes(), twoGlyphs);
  // A character that measures empty is cached as empty and takes no room.
  font.DrawText(&bmp, "\xE2\x80\x8B", -1, &r, 0);  // zero-width space
  EXPECT_EQ(font.storeBytes(), twoGlyphs);
  ASSERT_EQ(font.extraEntries(), 1);
  EXPECT_EQ(font.extra(0)->base_offset, -1);

  // Codes from 128 are found by binary search in a list kept in order.
  font.measure("\xE2\x82\xAC\xC3\xA9\xC3\xA0\xE2\x82\xAC");  // euro, e acute, a grave, euro
  ASSERT_EQ(font.extraEntries(), 4);
  EXPECT_EQ(font.extra(0)->charid, 0xE0);
  EXPECT_EQ(font.extra(1)->charid, 0xE9);
  EXPECT_EQ(font.extra(2)->charid, 0x200B);
  EXPECT_EQ(font.extra(3)->charid, 0x20AC);

  // A new font handle starts the cache again.
  font.SetFromHFont(CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Geneva"), CFONT_OWNS_FONT);
  EXPECT_EQ(font.storeBytes(), 0);
  EXPECT_EQ(font.extraEntries(), 0);
  EXPECT_EQ(font.low('A').base_offset, 0);
}

TEST(CachedFont, VerticalFontsTurnEachGlyph)
{
  Font across(CFONT_MONO), down(CFONT_MONO | CFONT_VERTICAL), up(CFONT_MONO | CFONT_VERTICAL | CFONT_VERTICAL_UP);
  for (Font* f : {&across, &down, &up}) f->SetTextColor(0xFFFFFFFF);
  LICE_MemBitmap a(40, 40), d(40, 40), u(40, 40);
  for (LICE_MemBitmap* b : {&a, &d, &u}) LICE_Clear(b, 0);
  RECT r = {0, 0, 40, 40};
  across.DrawText(&a, "L", -1, &r, DT_NOCLIP);
  down.DrawText(&d, "L", -1, &r, DT_NOCLIP);
  up.DrawText(&u, "L", -1, &r, DT_NOCLIP);
  const Box ba = inkBox(a, 0), bd = inkBox(d, 0), bu = inkBox(u, 0);
  ASSERT_GT(ba.right, 0);
  ASSERT_GT(bd.right, 0);
  ASSERT_GT(bu.right, 0);
  EXPECT_EQ(bd.right - bd.left, ba.bottom - ba.top);
  EXPECT_EQ(bd.bottom - bd.top, ba.right - ba.left);
  // Clockwise: the glyph's top row is the right column; counter-clockwise the left.
  const int w = ba.right - ba.left, h = ba.bottom - ba.top;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const unsigned v = LICE_GetPixel(&a, ba.left + x, ba.top + y);
      ASSERT_EQ(LICE_GetPixel(&d, bd.left + (h - 1 - y), bd.top + x), v) << x << "," << y;
      ASSERT_EQ(LICE_GetPixel(&u, bu.left + y, bu.top + (w - 1 - x)), v) << x << "," << y;
    }
  // Measured vertically: the advance runs down, the width is the glyph's height.
  const RECT m = down.measure("LL");
  EXPECT_EQ(m.bottom, 2 * across.measure("L").right);
  snapshotOnFailure("font-vertical", d, &u);
}

TEST(CachedFont, InvertOutlineShadowAndBlurWorkOnTheRenderedCoverage)
{
  Font plain(0), inverted(CFONT_INVERT), mono(CFONT_MONO), outline(CFONT_OUTLINE), shadow(CFONT_SHADOW),
      both(CFONT_SHADOW | CFONT_OUTLINE), blurred(CFONT_BLUR);
  const int line = plain.GetLineHeight();
  const int p = line < 16 ? 2 : line / 16 + 2;
  for (char c : {'A', 'g', 'l', 'W', '%'})
  {
    SCOPED_TRACE(std::string(1, c));
    const std::vector<unsigned char> v = plain.coverage(c), inv = inverted.coverage(c), m = mono.coverage(c),
                                     out = outline.coverage(c), sh = shadow.coverage(c), sh2 = both.coverage(c);
    const int w = plain.low(c).width, h = plain.low(c).height;
    ASSERT_FALSE(v.empty());
    ASSERT_EQ(v.size(), size_t(w * h));

    // Inverted coverage keeps the box found from the ink before inversion.
    EXPECT_EQ(inverted.low(c).width, w);
    EXPECT_EQ(inverted.low(c).left_extra, plain.low(c).left_extra);
    ASSERT_EQ(inv.size(), v.size());
    for (size_t i = 0; i < v.size(); ++i) ASSERT_EQ(inv[i], 255 - v[i]) << i;

    // Thresholded at 130; outline marks the blank pixels next to ink across or
    // down, shadow those with ink left, above or above left; with both, shadow wins.
    ASSERT_EQ(m.size(), v.size());
    ASSERT_EQ(out.size(), v.size());
    ASSERT_EQ(sh.size(), v.size());
    const auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && v[size_t(y * w + x)] > 130; };
    int outlined = 0, shaded = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const size_t i = size_t(y * w + x);
        ASSERT_EQ(m[i], ink(x, y) ? 255 : 0) << x << "," << y;
        const bool nextTo = ink(x - 1, y) || ink(x + 1, y) || ink(x, y - 1) || ink(x, y + 1);
        const bool below = ink(x - 1, y) || ink(x, y - 1) || ink(x - 1, y - 1);
        ASSERT_EQ(out[i], ink(x, y) ? 255 : nextTo ? 128 : 0) << x << "," << y;
        ASSERT_EQ(sh[i], ink(x, y) ? 255 : below ? 128 : 0) << x << "," << y;
        ASSERT_EQ(sh2[i], sh[i]) << x << "," << y;
        outlined += out[i] == 128;
        shaded += sh[i] == 128;
      }
    EXPECT_GT(outlined, 0);
    EXPECT_GT(shaded, 0);

    // Blur: the whole rendering box (margin, advance, margin) blurred before the ink
    // bounds are found, the bounds reaching at least from the margin over the advance.
    const int advance = plain.low(c).advance, boxW = advance + 2 * p;
    const int inkLeft = p - plain.low(c).left_extra;
    LICE_MemBitmap box(boxW, h);
    LICE_Clear(&box, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const unsigned int g = v[size_t(y * w + x)];
        LICE_PutPixel(&box, inkLeft + x, y, 0xFF000000u | g << 16 | g << 8 | g, 1.0f, BLEND_COPY);
      }
    LICE_Blur(&box, &box, 0, 0, 0, 0, boxW, h);
    int left = p, right = advance + p;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < boxW; ++x)
        if (red(box, x, y)) left = std::min(left, x), right = std::max(right, x + 1);
    const std::vector<unsigned char> b = blurred.coverage(c);
    EXPECT_EQ(blurred.low(c).advance, advance);
    EXPECT_EQ(blurred.low(c).left_extra, p - left);
    ASSERT_EQ(blurred.low(c).width, right - left);
    ASSERT_EQ(b.size(), size_t((right - left) * h));
    for (int y = 0; y < h; ++y)
      for (int x = left; x < right; ++x)
        ASSERT_EQ(b[size_t(y * (right - left) + x - left)], red(box, x, y)) << x << "," << y;
  }
}

namespace
{
// A bitmap that asks fonts not to draw into it natively.
class NoNativeText : public LICE_MemBitmap
{
public:
  using LICE_MemBitmap::LICE_MemBitmap;
  std::intptr_t Extended(int id, void* data) override
  {
    return id == 0x59555678 ? 1 : LICE_MemBitmap::Extended(id, data);
  }
};

// Which way a font drew: the glyph way fills the cache, the native way leaves it empty.
struct Drawn
{
  bool cached;
  bool inked;
  int result;
};

Drawn DrawH(Font& font, LICE_IBitmap& bmp, unsigned dtFlags = DT_NOCLIP)
{
  LICE_Clear(&bmp, 0xFF000000);
  font.SetTextColor(0xFFFFFFFF);
  RECT r = {0, 0, bmp.getWidth(), bmp.getHeight()};
  const int result = font.DrawText(&bmp, "H", -1, &r, dtFlags);
  return {font.low('H').base_offset != 0, inkBox(bmp, 0xFF000000).right > 0, result};
}
}  // namespace

TEST(CachedFont, LineHeightLimitsAndTheNativeDrawingVeto)
{
  // Up to 255 a font without CFONT_NATIVE_OK draws glyphs; from 256 it always draws
  // natively unless the bitmap vetoes it. Glyphs are rendered up to a line height of
  // 1023 and not above. The sizes are those that give DejaVu Sans these line heights.
  struct Limit
  {
    int size, lineHeight;
    bool native, vetoedCached;
  };
  const Limit limits[] = {
      {219, 255, false, true}, {220, 256, true, true}, {879, 1023, true, true}, {880, 1024, true, false}};
  for (const Limit& l : limits)
  {
    SCOPED_TRACE(l.lineHeight);
    Font f(0, l.size);
    ASSERT_EQ(f.GetLineHeight(), l.lineHeight);
    LICE_MemBitmap bmp(1000, 1200);
    const Drawn plainWay = DrawH(f, bmp);
    EXPECT_EQ(plainWay.cached, !l.native);
    EXPECT_TRUE(plainWay.inked);
    EXPECT_GT(plainWay.result, 0);
    NoNativeText vetoing(1000, 1200);
    const Drawn glyphWay = DrawH(f, vetoing);
    EXPECT_EQ(glyphWay.cached, l.vetoedCached);
    EXPECT_EQ(glyphWay.inked, l.vetoedCached);
    EXPECT_EQ(glyphWay.result > 0, l.vetoedCached);
  }

  // Below 256, CFONT_NATIVE_OK draws natively unless a glyph-only flag, the
  // translucency flag or the bitmap says otherwise.
  Font nativeOk(CFONT_NATIVE_OK), mono(CFONT_NATIVE_OK | CFONT_MONO), blurred(CFONT_NATIVE_OK | CFONT_BLUR);
  LICE_MemBitmap bmp(60, 40);
  NoNativeText vetoing(60, 40);
  EXPECT_FALSE(DrawH(nativeOk, bmp).cached);
  EXPECT_TRUE(DrawH(nativeOk, bmp).inked);
  EXPECT_TRUE(DrawH(nativeOk, bmp, DT_NOCLIP | LICE_DT_USEFGALPHA).cached);
  Font vetoed(CFONT_NATIVE_OK);
  EXPECT_TRUE(DrawH(vetoed, vetoing).cached);
  EXPECT_TRUE(DrawH(mono, bmp).cached);
  EXPECT_TRUE(DrawH(blurred, bmp).cached);
}
