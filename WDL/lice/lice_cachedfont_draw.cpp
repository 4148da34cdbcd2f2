// Drawing and measuring text with LICE_CachedFont: the choice between the native way
// and the cached glyphs, and the glyph way itself.

#include "lice.h"
#include "lice_combine.h"
#include "lice_surface.h"
#include "lice_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace
{
// A bitmap that answers this question with anything but 0 wants the glyph way.
constexpr int kExtendedNoNativeText = 0x59555678;
// Line heights the glyph cache is not meant for: such text always goes the native way.
constexpr int kMaxGlyphLineHeight = 255;
// Font flags that change how glyphs look, which the native way cannot do.
constexpr int kGlyphOnlyFlags = 0x1F7;
// Internal DrawText flag: measuring on behalf of the glyph way, which must not go native.
constexpr unsigned int kForceGlyphWay = 0x80000000u;
constexpr unsigned int kAlignmentBits = 0xF;
constexpr unsigned char kInk = 255;

// The characters of a text limited to a byte count (negative: up to the zero byte).
class TextReader
{
public:
  TextReader(const char* text, int count) : m_p(text), m_remaining(text ? count : 0) {}

  // The next character to lay out: carriage returns are passed over, and a line feed
  // is a new line, or a space on a single line.
  enum Step
  {
    kEnd,
    kNewLine,
    kCharacter
  };
  Step nextToLayOut(bool singleLine, unsigned short* c)
  {
    while (next(c))
    {
      if (*c == '\r') continue;
      if (*c != '\n') return kCharacter;
      if (!singleLine) return kNewLine;
      *c = ' ';
      return kCharacter;
    }
    return kEnd;
  }

private:
  bool next(unsigned short* c)
  {
    if (m_remaining == 0 || !*m_p) return false;
    // A sequence cut by the count reads as its lead byte: nothing past the count is read.
    char bytes[5] = {};
    const int avail = m_remaining < 0 ? 4 : std::min(m_remaining, 4);
    for (int i = 0; i < avail && m_p[i]; ++i) bytes[i] = m_p[i];
    const int n = LICE_CachedFont::utf8char(bytes, c);
    m_p += n;
    if (m_remaining > 0) m_remaining = std::max(0, m_remaining - n);
    return true;
  }

  const char* m_p;
  int m_remaining;
};

int weightOf(float alpha)
{
  const double w = static_cast<double>(alpha) * 256.0;
  if (!std::isfinite(w)) return 0;
  return static_cast<int>(std::clamp(w, -double(lice::kMaxWeight), double(lice::kMaxWeight)));
}

struct GlyphArea
{
  const unsigned char* coverage;  // first visible byte
  int coverageSpan;
  unsigned int* dest;  // first visible pixel
  std::ptrdiff_t destSpan;
  int width, height;
};

// Blends cached coverage into a bitmap by one combine rule F, the colour always opaque.
template <class F>
struct GlyphRenderer
{
  // Coverage scales the weight; full coverage at full weight is weight 256.
  static void Normal(const GlyphArea& g, int r, int gr, int b, int w)
  {
    for (int y = 0; y < g.height; ++y)
    {
      const unsigned char* src = g.coverage + y * g.coverageSpan;
      unsigned int* out = g.dest + y * g.destSpan;
      for (int x = 0; x < g.width; ++x)
        if (const int v = src[x])
          F::doPix(lice::Bytes(out + x), r, gr, b, 255, w == 256 ? v + 1 : std::min(w * v / 256, 256));
    }
  }

  static void Mono(const GlyphArea& g, int r, int gr, int b, int w)
  {
    for (int y = 0; y < g.height; ++y)
    {
      const unsigned char* src = g.coverage + y * g.coverageSpan;
      unsigned int* out = g.dest + y * g.destSpan;
      for (int x = 0; x < g.width; ++x)
        if (src[x]) F::doPix(lice::Bytes(out + x), r, gr, b, 255, w);
    }
  }

  // Ink in the text colour, the shadow or outline pixels in the effect colour.
  static void Effect(const GlyphArea& g, int r, int gr, int b, int r2, int g2, int b2, int w)
  {
    for (int y = 0; y < g.height; ++y)
    {
      const unsigned char* src = g.coverage + y * g.coverageSpan;
      unsigned int* out = g.dest + y * g.destSpan;
      for (int x = 0; x < g.width; ++x)
      {
        if (src[x] == kInk) F::doPix(lice::Bytes(out + x), r, gr, b, 255, w);
        else if (src[x]) F::doPix(lice::Bytes(out + x), r2, g2, b2, 255, w);
      }
    }
  }
};

// Calls f with the combine rule of a blend mode's low byte; false for modes that draw nothing.
template <class Fn>
bool withRule(int mode, Fn&& f)
{
  switch (mode & BLEND_OP_MASK)
  {
  case BLEND_COPY: f(GlyphRenderer<_LICE_CombinePixelsCopyNoClamp>{}); return true;
  case BLEND_ADD: f(GlyphRenderer<_LICE_CombinePixelsAdd>{}); return true;
  case BLEND_DODGE: f(GlyphRenderer<_LICE_CombinePixelsColorDodge>{}); return true;
  case BLEND_MULTIPLY: f(GlyphRenderer<_LICE_CombinePixelsMulNoClamp>{}); return true;
  case BLEND_OVERLAY: f(GlyphRenderer<_LICE_CombinePixelsOverlay>{}); return true;
  case BLEND_HSV_ADJUST: f(GlyphRenderer<_LICE_CombinePixelsHSVAdjust>{}); return true;
  default: return false;
  }
}

// Every non-zero byte stores a whole pixel: the ink colour, or the effect colour.
void storeWhole(const GlyphArea& g, unsigned int ink, unsigned int effect)
{
  for (int y = 0; y < g.height; ++y)
  {
    const unsigned char* src = g.coverage + y * g.coverageSpan;
    unsigned int* out = g.dest + y * g.destSpan;
    for (int x = 0; x < g.width; ++x)
      if (src[x]) out[x] = src[x] == kInk ? ink : effect;
  }
}
}  // namespace

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clip)
{
  const charEnt* ent = findChar(c);
  if (!ent) return false;
  if (isVertical()) y += (m_flags & CFONT_VERTICAL_UP) ? -ent->left_extra : ent->left_extra;
  else x -= ent->left_extra;

  lice::Surface s;
  if (!lice::SurfaceOf(bm, s)) return false;
  long long left = 0, top = 0, right = s.width, bottom = s.height;
  if (clip)
  {
    left = std::max<long long>(left, clip->left);
    top = std::max<long long>(top, clip->top);
    right = std::min<long long>(right, clip->right);
    bottom = std::min<long long>(bottom, clip->bottom);
  }
  left = std::max<long long>(left, x);
  top = std::max<long long>(top, y);
  right = std::min<long long>(right, static_cast<long long>(x) + ent->width);
  bottom = std::min<long long>(bottom, static_cast<long long>(y) + ent->height);
  if (left >= right || top >= bottom) return false;
  const long long bytes = static_cast<long long>(ent->width) * ent->height;
  if (ent->base_offset <= 0 || ent->base_offset - 1 + bytes > m_cachestore.GetSize()) return false;

  const int vx = static_cast<int>(left), vy = static_cast<int>(top);
  const int vw = static_cast<int>(right - left), vh = static_cast<int>(bottom - top);
  if (m_bgmode == OPAQUE) LICE_FillRect(bm, vx, vy, vw, vh, m_bg, m_alpha, m_comb & ~BLEND_SOURCE_ALPHA);

  const GlyphArea area = {m_cachestore.Get() + ent->base_offset - 1 + (vy - y) * ent->width + (vx - x), ent->width,
                          s.at(vx, vy), s.step, vw, vh};
  const int r = lice::ChannelR(m_fg), g = lice::ChannelG(m_fg), b = lice::ChannelB(m_fg);
  const int mode = m_comb & BLEND_OP_MASK;
  int w = weightOf(m_alpha);
  const bool plainStore = m_alpha == 1.0f && mode == BLEND_COPY;

  if (m_flags & CFONT_MONO)
  {
    if (plainStore) storeWhole(area, m_fg, m_fg);
    else if ((w = std::min(w, 256)) != 0 && !(mode == BLEND_COPY && w <= 0))
      withRule(mode, [&](auto renderer) { renderer.Mono(area, r, g, b, w); });
  }
  else if (m_flags & (CFONT_SHADOW | CFONT_OUTLINE))
  {
    if (plainStore) storeWhole(area, m_fg, m_effectcol);
    else if ((w = std::min(w, 256)) != 0 && !(mode == BLEND_COPY && w <= 0))
      withRule(mode, [&](auto renderer) {
        renderer.Effect(area, r, g, b, lice::ChannelR(m_effectcol), lice::ChannelG(m_effectcol),
                        lice::ChannelB(m_effectcol), w);
      });
  }
  else if (w != 0 && !(mode == BLEND_COPY && w < 1))
    withRule(mode, [&](auto renderer) { renderer.Normal(area, r, g, b, w); });
  return true;
}

LICE_CachedFont::charEnt* LICE_CachedFont::glyphFor(unsigned short c)
{
  charEnt* ent = findChar(c);
  if (!ent)
  {
    RenderGlyph(c);
    if (!(ent = findChar(c))) return nullptr;
  }
  if (ent->base_offset == 0) RenderGlyph(c);
  return ent->base_offset > 0 ? ent : nullptr;
}

int LICE_CachedFont::DrawTextImpl(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags)
{
  if (!rect) return 0;
  if (!bm && !(dtFlags & DT_CALCRECT)) return 0;
  bool native;
  if (bm && bm->Extended(kExtendedNoNativeText, nullptr)) native = false;
  else
    native = m_line_height > kMaxGlyphLineHeight ||
             ((m_flags & CFONT_NATIVE_OK) && !(m_flags & kGlyphOnlyFlags) && dtFlags < LICE_DT_USEFGALPHA && m_font);
  if (native) return DrawTextNative(bm, str, strcnt, rect, dtFlags);
  if (dtFlags & DT_CALCRECT) return MeasureGlyphs(str, strcnt, rect, dtFlags);
  return DrawGlyphs(bm, str, strcnt, rect, dtFlags);
}

int LICE_CachedFont::MeasureGlyphs(const char* str, int strcnt, RECT* rect, unsigned int dtFlags)
{
  const bool vertical = isVertical();
  int width = 0, height = 0, penX = 0, penY = 0;
  TextReader reader(str, strcnt);
  unsigned short c;
  for (TextReader::Step step; (step = reader.nextToLayOut(dtFlags & DT_SINGLELINE, &c)) != TextReader::kEnd;)
  {
    if (step == TextReader::kNewLine)
    {
      if (vertical) penY = 0, penX += m_line_height;
      else penX = 0, penY += m_line_height;
      continue;
    }
    const charEnt* ent = glyphFor(c);
    if (!ent) continue;
    if (vertical)
    {
      height = std::max({height, penY + ent->advance, penY + ent->height - ent->left_extra});
      width = std::max(width, penX + ent->width);
      penY += ent->advance;
    }
    else
    {
      width = std::max({width, penX + ent->advance, penX + ent->width - ent->left_extra});
      height = std::max(height, penY + ent->height);
      penX += ent->advance;
    }
  }
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
  return vertical ? width : height;
}

int LICE_CachedFont::DrawGlyphs(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags)
{
  const float savedAlpha = m_alpha;
  if (dtFlags & LICE_DT_USEFGALPHA) m_alpha = static_cast<float>(m_alpha * ((m_fg >> 24) / 255.0));
  struct AlphaRestore
  {
    float& alpha;
    float saved;
    ~AlphaRestore() { alpha = saved; }
  } restore{m_alpha, savedAlpha};
  if (m_alpha == 0.0f) return 0;

  const bool vertical = isVertical();
  const bool runsUp = vertical && (m_flags & CFONT_VERTICAL_UP);
  int x = rect->left, y = rect->top;
  if ((dtFlags & kAlignmentBits) || runsUp)
  {
    RECT measured = {0, 0, 0, 0};
    DrawTextImpl(bm, str, strcnt, &measured, (dtFlags & (kForceGlyphWay | DT_SINGLELINE)) | DT_CALCRECT);
    const int textW = measured.right, textH = measured.bottom;
    if (dtFlags & DT_CENTER) x += (rect->right - rect->left - textW) / 2;
    else if (dtFlags & DT_RIGHT) x = rect->right - textW;
    if (dtFlags & DT_VCENTER) y += (rect->bottom - rect->top - textH) / 2;
    else if (dtFlags & DT_BOTTOM) y = rect->bottom - textH;
    if (runsUp) y += textH;
  }

  RECT clip = {0, 0, bm->getWidth(), bm->getHeight()};
  if (!(dtFlags & DT_NOCLIP))
    clip = {std::max(rect->left, 0), std::max(rect->top, 0), std::min(rect->right, clip.right),
            std::min(rect->bottom, clip.bottom)};
  if (clip.right <= clip.left || clip.bottom <= clip.top) return 0;

  const int startX = x, startY = y;
  int lowest = y, rightmost = x;
  TextReader reader(str, strcnt);
  unsigned short c;
  for (TextReader::Step step; (step = reader.nextToLayOut(dtFlags & DT_SINGLELINE, &c)) != TextReader::kEnd;)
  {
    if (step == TextReader::kNewLine)
    {
      if (vertical) y = startY, x += m_line_height;
      else x = startX, y += m_line_height;
      continue;
    }
    const charEnt* ent = glyphFor(c);
    if (!ent) continue;
    const int advance = ent->advance, width = ent->width, height = ent->height;
    if (runsUp) y -= height;
    const bool drawn = DrawGlyph(bm, c, x, y, &clip);
    if (vertical)
    {
      y += runsUp ? height - advance : advance;
      if (drawn) rightmost = std::max(rightmost, x + width);
    }
    else
    {
      x += advance;
      if (drawn) lowest = std::max(lowest, y + height);
    }
  }
  return vertical ? rightmost - startX : lowest - startY;
}
