#pragma once

// Text drawn into any bitmap from a font of the window layer: either natively (the
// layer draws straight into the bitmap's context) or from a cache of rendered glyphs
// blended with the font's colour, alpha and blend mode.

#include "heapbuf.h"
#include "lice_bitmap.h"
#include "swell-types.h"

constexpr int CFONT_VERTICAL = 0x1;          // glyphs turned a quarter clockwise, text runs down
constexpr int CFONT_VERTICAL_UP = 0x2;       // with CFONT_VERTICAL: turned the other way, text runs up
constexpr int CFONT_PRERENDER_ASCII = 0x4;   // codes 0-127 rendered at once, the others never
constexpr int CFONT_BLUR = 0x10;             // glyphs blurred before their coverage is taken
constexpr int CFONT_INVERT = 0x20;           // coverage stored as 255 - v
constexpr int CFONT_MONO = 0x40;             // coverage thresholded to 0 or 255
constexpr int CFONT_SHADOW = 0x80;           // thresholded, with a one-pixel shadow down and right
constexpr int CFONT_OUTLINE = 0x100;         // thresholded, with a one-pixel outline (not with a shadow)
constexpr int CFONT_OWNS_FONT = 0x200;       // the font handle is deleted with the font
constexpr int CFONT_NATIVE_OK = 0x400;       // the native way may be used

// DrawText flag of the fonts' own: the font alpha is scaled by the text colour's alpha.
constexpr unsigned int LICE_DT_USEFGALPHA = 0x40000000;

class LICE_IFont
{
public:
  virtual ~LICE_IFont() = default;

  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  // Each setter returns the previous value.
  virtual unsigned int SetTextColor(unsigned int color) = 0;
  virtual unsigned int SetBkColor(unsigned int color) = 0;
  virtual unsigned int SetEffectColor(unsigned int color) = 0;
  virtual int SetBkMode(int mode) = 0;
  virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
  // UTF-8 text, strcnt bytes (negative: up to the zero byte), placed and clipped by
  // the Win32 DT_ flags. Returns the height drawn or measured.
  virtual int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) = 0;
  virtual unsigned int GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
  virtual bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clip) = 0;
};

class LICE_CachedFont : public LICE_IFont
{
public:
  // One glyph; its coverage is width x height bytes in the glyph store, rows top down.
  struct charEnt
  {
    int base_offset;  // 0 not rendered yet, -1 rendered and empty, else 1 + store index
    int width, height;
    int advance;
    int charid;
    int left_extra;  // columns the coverage starts left of the pen
  };

  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags = 0) override;
  unsigned int SetTextColor(unsigned int color) override;
  unsigned int SetBkColor(unsigned int color) override;
  unsigned int SetEffectColor(unsigned int color) override;
  int SetBkMode(int mode) override;
  void SetCombineMode(int mode, float alpha = 1.0f) override
  {
    m_comb = mode;
    m_alpha = alpha;
  }
  int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) override
  {
    return DrawTextImpl(bm, str, strcnt, rect, dtFlags);
  }
  unsigned int GetTextColor() override { return m_fg; }
  HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_line_height; }
  // Draws one cached glyph with its pen position at (x, y); true when some of it lies
  // inside the clip rectangle.
  bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clip) override;

  // One UTF-8 character: the bytes it takes (1 to 4), its code stored when out is not
  // null. A malformed sequence is its lead byte alone; four-byte characters read as a
  // space.
  static int utf8char(const char* s, unsigned short* out);

protected:
  int DrawTextImpl(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
  charEnt* findChar(unsigned short c);
  // Renders one code into the cache; 0 when refused.
  int RenderGlyph(unsigned short c);
  static int _charSortFunc(const void* a, const void* b);

  unsigned int m_fg = 0;
  unsigned int m_bg = 0xFFFFFFFF;
  unsigned int m_effectcol = 0xFFFFFFFF;
  int m_bgmode = 0;
  int m_comb = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_line_height = 0;
  charEnt m_lowchars[128] = {};
  WDL_TypedBuf<charEnt> m_extracharlist{4096};
  WDL_TypedBuf<unsigned char> m_cachestore{65536};
  HFONT m_font = nullptr;

private:
  int DrawTextNative(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
  int MeasureGlyphs(const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
  int DrawGlyphs(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
  // The entry of a character read from text, rendered on first use; null when it has
  // no coverage to draw.
  charEnt* glyphFor(unsigned short c);
  bool isVertical() const { return (m_flags & CFONT_VERTICAL) != 0; }
};
