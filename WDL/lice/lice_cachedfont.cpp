// The glyph cache of LICE_CachedFont: each character is rendered once through the
// window layer, white on black, and its coverage kept trimmed to its ink columns.

#include "lice.h"
#include "lice_text.h"
#include "lice_text_scratch.h"
#include "swell-gdi.h"
#include "swell-text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace
{
constexpr int kMaxRenderedLineHeight = 1023;
constexpr int kFirstScratchSide = 256;
constexpr unsigned char kMonoThreshold = 130;
constexpr unsigned char kInk = 255;
constexpr unsigned char kEffect = 128;

LICE_SysBitmap* s_tempbitmap = nullptr;
LICE_SysBitmap* s_nativerender_tempbitmap = nullptr;
int s_tempbitmap_refcnt = 0;

LICE_SysBitmap* grown(LICE_SysBitmap*& bitmap, int w, int h, bool forGlyphs)
{
  if (!bitmap) bitmap = new LICE_SysBitmap(0, 0);
  if (bitmap->getWidth() < w || bitmap->getHeight() < h)
  {
    bitmap->resize(std::max(w, bitmap->getWidth()), std::max(h, bitmap->getHeight()));
    if (forGlyphs && bitmap->getDC())
    {
      SetTextColor(bitmap->getDC(), 0xFFFFFF);
      SetBkMode(bitmap->getDC(), OPAQUE);
      SetBkColor(bitmap->getDC(), 0);
    }
  }
  return bitmap->getDC() ? bitmap : nullptr;
}

// Writes one code as UTF-8; returns the bytes written (1 to 3).
int encodeUtf8(unsigned short c, char* out)
{
  if (c < 0x80)
  {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800)
  {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (c >> 12));
  out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (c & 0x3F));
  return 3;
}

bool isContinuation(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

// A quarter turn of a w x h coverage block through tmp: clockwise puts the top row in
// the right column, counter-clockwise in the left one.
void turn(unsigned char* bytes, unsigned char* tmp, int w, int h, bool clockwise)
{
  std::memcpy(tmp, bytes, static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const unsigned char v = tmp[y * w + x];
      if (clockwise) bytes[x * h + (h - 1 - y)] = v;
      else bytes[(w - 1 - x) * h + y] = v;
    }
}

// Threshold, then mark effect pixels beside the ink: a shadow down and to the right,
// or an outline on the four sides.
void addEffects(unsigned char* bytes, int w, int h, int flags)
{
  for (int i = 0; i < w * h; ++i) bytes[i] = bytes[i] > kMonoThreshold ? kInk : 0;
  if (!(flags & (CFONT_SHADOW | CFONT_OUTLINE))) return;
  const bool shadow = (flags & CFONT_SHADOW) != 0;
  const auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && bytes[y * w + x] == kInk; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      if (bytes[y * w + x]) continue;
      const bool mark = shadow ? ink(x - 1, y) || ink(x, y - 1) || ink(x - 1, y - 1)
                               : ink(x - 1, y) || ink(x + 1, y) || ink(x, y - 1) || ink(x, y + 1);
      if (mark) bytes[y * w + x] = kEffect;
    }
}
}  // namespace

namespace lice_text
{
LICE_SysBitmap* GlyphScratch(int w, int h) { return grown(s_tempbitmap, w, h, true); }
LICE_SysBitmap* NativeScratch(int w, int h) { return grown(s_nativerender_tempbitmap, w, h, false); }

void RetainScratch() { ++s_tempbitmap_refcnt; }

void ReleaseScratch()
{
  if (--s_tempbitmap_refcnt > 0) return;
  delete s_tempbitmap;
  delete s_nativerender_tempbitmap;
  s_tempbitmap = nullptr;
  s_nativerender_tempbitmap = nullptr;
}
}  // namespace lice_text

LICE_CachedFont::LICE_CachedFont()
{
  lice_text::RetainScratch();
}

LICE_CachedFont::~LICE_CachedFont()
{
  if ((m_flags & CFONT_OWNS_FONT) && m_font) DeleteObject(m_font);
  lice_text::ReleaseScratch();
}

unsigned int LICE_CachedFont::SetTextColor(unsigned int color)
{
  return std::exchange(m_fg, color);
}

unsigned int LICE_CachedFont::SetBkColor(unsigned int color)
{
  return std::exchange(m_bg, color);
}

unsigned int LICE_CachedFont::SetEffectColor(unsigned int color)
{
  return std::exchange(m_effectcol, color);
}

int LICE_CachedFont::SetBkMode(int mode)
{
  return std::exchange(m_bgmode, mode);
}

void LICE_CachedFont::SetFromHFont(HFONT font, int flags)
{
  if ((m_flags & CFONT_OWNS_FONT) && m_font && m_font != font) DeleteObject(m_font);
  m_flags = flags;
  m_font = font;
  if (font)
  {
    if (LICE_SysBitmap* scratch = lice_text::GlyphScratch(kFirstScratchSide, kFirstScratchSide))
    {
      HGDIOBJ previous = SelectObject(scratch->getDC(), font);
      TEXTMETRIC tm;
      GetTextMetrics(scratch->getDC(), &tm);
      SelectObject(scratch->getDC(), previous);
      m_line_height = tm.tmHeight;
    }
  }
  std::memset(m_lowchars, 0, sizeof(m_lowchars));
  m_extracharlist.Resize(0, false);
  m_cachestore.Resize(0, false);
  if (m_flags & CFONT_PRERENDER_ASCII)
    for (int c = 0; c < 128; ++c) RenderGlyph(static_cast<unsigned short>(c));
}

int LICE_CachedFont::utf8char(const char* s, unsigned short* out)
{
  const auto b = [s](int i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  int n = 1;
  unsigned short code = lead;
  if (lead >= 0xC2 && lead <= 0xDF && isContinuation(b(1)))
  {
    code = static_cast<unsigned short>(((lead & 0x1F) << 6) | (b(1) & 0x3F));
    n = 2;
  }
  else if (lead >= 0xE0 && lead <= 0xEF && isContinuation(b(1)) && isContinuation(b(2)))
  {
    code = static_cast<unsigned short>(((lead & 0xF) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F));
    n = 3;
  }
  else if (lead >= 0xF0 && lead <= 0xF4 && isContinuation(b(1)) && isContinuation(b(2)) && isContinuation(b(3)))
  {
    code = ' ';  // beyond the 16-bit codes the cache keeps
    n = 4;
  }
  if (out) *out = code;
  return n;
}

int LICE_CachedFont::_charSortFunc(const void* a, const void* b)
{
  return static_cast<const charEnt*>(a)->charid - static_cast<const charEnt*>(b)->charid;
}

LICE_CachedFont::charEnt* LICE_CachedFont::findChar(unsigned short c)
{
  if (c < 128) return &m_lowchars[c];
  if (!m_extracharlist.GetSize()) return nullptr;
  charEnt key = {};
  key.charid = c;
  return static_cast<charEnt*>(
      std::bsearch(&key, m_extracharlist.Get(), m_extracharlist.GetSize(), sizeof(charEnt), _charSortFunc));
}

int LICE_CachedFont::RenderGlyph(unsigned short c)
{
  if (m_line_height > kMaxRenderedLineHeight) return 0;

  charEnt* ent = findChar(c);
  bool appended = false;
  if (!ent)
  {
    if (m_flags & CFONT_PRERENDER_ASCII) return 0;
    charEnt fresh = {};
    fresh.charid = c;
    ent = m_extracharlist.Add(fresh);
    if (!ent) return 0;
    appended = true;
  }

  const int side = std::max(m_line_height, 1) * 2 + 8;
  LICE_SysBitmap* scratch = lice_text::GlyphScratch(side, side);
  if (!scratch)
  {
    *ent = charEnt{-1, 0, 0, 0, c, 0};
    if (appended && m_extracharlist.GetSize() > 1)
      std::qsort(m_extracharlist.Get(), m_extracharlist.GetSize(), sizeof(charEnt), _charSortFunc);
    return 1;
  }
  HDC dc = scratch->getDC();
  HGDIOBJ previous = m_font ? SelectObject(dc, m_font) : nullptr;

  const int p = lice_text::Margin(m_line_height);
  char text[4] = {};
  encodeUtf8(c, text);
  RECT measured = {0, 0, 0, 0};
  SWELL_DrawText(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int W = measured.right, H = measured.bottom;
  LICE_FillRect(scratch, 0, 0, W + 2 * p, H, 0, 1.0f, 0);
  RECT at = {p, 0, W + 2 * p, H};
  SWELL_DrawText(dc, text, -1, &at, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  const int advance = std::min(W, scratch->getWidth());
  const int boxW = std::min(W + 2 * p, scratch->getWidth());
  const int boxH = std::min(H, scratch->getHeight());
  if (m_font) SelectObject(dc, previous);

  charEnt result = {-1, 0, 0, 0, c, 0};
  const int oldSize = m_cachestore.GetSize();
  unsigned char* store = nullptr;
  if (advance >= 1 && boxH >= 1 && boxW >= 1)
  {
    if (m_flags & CFONT_BLUR) LICE_Blur(scratch, scratch, 0, 0, 0, 0, boxW, boxH);
    store = m_cachestore.ResizeOK(oldSize + boxW * boxH, false);
  }
  if (store)
  {
    unsigned char* glyph = store + oldSize;
    const unsigned int* bits = scratch->getBits();
    const int span = scratch->getRowSpan();
    int left = p, right = W + p;
    for (int y = 0; y < boxH; ++y)
    {
      const int row = scratch->isFlipped() ? scratch->getHeight() - 1 - y : y;
      const unsigned int* src = bits + static_cast<long>(row) * span;
      for (int x = 0; x < boxW; ++x)
      {
        const unsigned char v = static_cast<unsigned char>(src[x] >> 16);
        if (v)
        {
          left = std::min(left, x);
          right = std::max(right, x + 1);
        }
        glyph[y * boxW + x] = (m_flags & CFONT_INVERT) ? static_cast<unsigned char>(255 - v) : v;
      }
    }
    right = std::min(right, boxW);
    int width = boxW;
    if (left > 0 || right < boxW)
    {
      width = right - left;
      for (int y = 0; y < boxH; ++y) std::memmove(glyph + y * width, glyph + y * boxW + left, width);
      m_cachestore.Resize(oldSize + width * boxH, false);
      glyph = m_cachestore.Get() + oldSize;
    }
    int height = boxH;
    if (m_flags & CFONT_VERTICAL)
    {
      // The scratch pixels hold at least side * side * 4 bytes, more than any glyph.
      turn(glyph, reinterpret_cast<unsigned char*>(scratch->getBits()), width, height,
           !(m_flags & CFONT_VERTICAL_UP));
      std::swap(width, height);
    }
    if (m_flags & (CFONT_MONO | CFONT_SHADOW | CFONT_OUTLINE)) addEffects(glyph, width, height, m_flags);
    result = charEnt{oldSize + 1, width, height, advance, c, p - left};
  }
  *ent = result;

  if (appended && m_extracharlist.GetSize() > 1)
    std::qsort(m_extracharlist.Get(), m_extracharlist.GetSize(), sizeof(charEnt), _charSortFunc);
  return 1;
}
