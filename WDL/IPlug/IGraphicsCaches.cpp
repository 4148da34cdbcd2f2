// IGraphics: the process-wide bitmap and font caches, which keep every image and font
// alive until the process ends, so reopening the editor finds them again.

#include "IGraphics.h"
#include "lice.h"
#include "lice_text.h"
#include "swell-gdi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace
{
// Images made at run time: never found by id.
constexpr int kRuntimeBitmapId = -1;
constexpr int kFontFlags = CFONT_OWNS_FONT | CFONT_NATIVE_OK;

class BitmapStorage
{
public:
  struct BitmapKey
  {
    int id;
    LICE_IBitmap* bitmap;
  };

  ~BitmapStorage()
  {
    for (int i = 0; i < m_bitmaps.GetSize(); ++i) delete m_bitmaps.Get(i)->bitmap;
    m_bitmaps.Empty(true);
  }

  LICE_IBitmap* Find(int id)
  {
    if (id == kRuntimeBitmapId) return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < m_bitmaps.GetSize(); ++i)
      if (m_bitmaps.Get(i)->id == id) return m_bitmaps.Get(i)->bitmap;
    return nullptr;
  }

  void Add(LICE_IBitmap* bitmap, int id)
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bitmaps.Add(new BitmapKey{id, bitmap});
  }

  // Deletes the image when this cache holds it.
  void Remove(LICE_IBitmap* bitmap)
  {
    BitmapKey* found = nullptr;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      for (int i = 0; i < m_bitmaps.GetSize() && !found; ++i)
        if (m_bitmaps.Get(i)->bitmap == bitmap)
        {
          found = m_bitmaps.Get(i);
          m_bitmaps.Delete(i);
        }
    }
    if (!found) return;
    delete found->bitmap;
    delete found;
  }

  // A missing image is reported once per name, however often it is asked for.
  void ReportMissing(const char* name)
  {
    const std::string key = name ? name : "";
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_reported.insert(key).second) std::fprintf(stderr, "missing image: %s\n", key.c_str());
  }

private:
  WDL_PtrList<BitmapKey> m_bitmaps;
  std::mutex m_mutex;
  std::set<std::string> m_reported;
};

class FontStorage
{
public:
  static constexpr int kFaceSize = 36;

  struct FontKey
  {
    int size;
    int orientation;
    int style;
    char face[kFaceSize];
    LICE_IFont* font;
  };

  ~FontStorage()
  {
    for (int i = 0; i < m_fonts.GetSize(); ++i) delete m_fonts.Get(i)->font;
    m_fonts.Empty(true);
  }

  LICE_IFont* Find(const IText& text)
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < m_fonts.GetSize(); ++i)
    {
      const FontKey* key = m_fonts.Get(i);
      if (key->size == text.mSize && key->orientation == text.mOrientation && key->style == text.mStyle &&
          std::strncmp(key->face, text.mFontName, kFaceSize) == 0)
        return key->font;
    }
    return nullptr;
  }

  void Add(LICE_IFont* font, const IText& text)
  {
    FontKey* key = new FontKey{text.mSize, text.mOrientation, text.mStyle, {}, font};
    CopyTextBounded(key->face, kFaceSize, text.mFontName);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fonts.Add(key);
  }

private:
  WDL_PtrList<FontKey> m_fonts;
  std::mutex m_mutex;
};

BitmapStorage s_bitmapCache;
FontStorage s_fontCache;

int FontQuality(int quality)
{
  switch (quality)
  {
  case IText::kQualityDefault: return DEFAULT_QUALITY;
  case IText::kQualityAntiAliased:
  case IText::kQualityClearType: return ANTIALIASED_QUALITY;
  default: return NONANTIALIASED_QUALITY;
  }
}

HFONT MakeFont(const IText& text, int height)
{
  const int angle = text.mOrientation * 10;
  return CreateFont(height, 0, angle, angle, text.mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                    text.mStyle == IText::kStyleItalic, 0, 0, 0, 0, 0, FontQuality(text.mQuality), 0, text.mFontName);
}
}  // namespace

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal)
{
  LICE_IBitmap* bitmap = s_bitmapCache.Find(id);
  if (!bitmap)
  {
    bitmap = OSLoadBitmap(id, name);
    if (!bitmap)
    {
      s_bitmapCache.ReportMissing(name);
      return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
    }
    s_bitmapCache.Add(bitmap, id);
  }
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates, framesAreHorizontal);
}

void IGraphics::RetainBitmap(IBitmap* bitmap)
{
  if (bitmap && bitmap->mBitmap) s_bitmapCache.Add(bitmap->mBitmap, kRuntimeBitmapId);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap)
{
  if (bitmap && bitmap->mBitmap) s_bitmapCache.Remove(bitmap->mBitmap);
}

IBitmap IGraphics::ScaleBitmap(IBitmap* bitmap, int destW, int destH)
{
  if (!bitmap || !bitmap->mBitmap) return IBitmap();
  LICE_MemBitmap* scaled = new LICE_MemBitmap(destW, destH, 4);
  LICE_ScaledBlit(scaled, bitmap->mBitmap, 0, 0, destW, destH, 0.0f, 0.0f, static_cast<float>(bitmap->W),
                  static_cast<float>(bitmap->H), 1.0f, BLEND_COPY | BLEND_FILTER_BILINEAR);
  s_bitmapCache.Add(scaled, kRuntimeBitmapId);
  return IBitmap(scaled, destW, destH, bitmap->N, false);
}

IBitmap IGraphics::CropBitmap(IBitmap* bitmap, IRECT* r)
{
  if (!bitmap || !bitmap->mBitmap || !r) return IBitmap();
  LICE_MemBitmap* cropped = new LICE_MemBitmap(r->W(), r->H(), 4);
  LICE_Blit(cropped, bitmap->mBitmap, 0, 0, r->L, r->T, r->W(), r->H(), 1.0f, BLEND_COPY);
  s_bitmapCache.Add(cropped, kRuntimeBitmapId);
  return IBitmap(cropped, r->W(), r->H(), bitmap->N, false);
}

LICE_IFont* IGraphics::CacheFont(IText* text)
{
  if (!text) return nullptr;
  if (LICE_IFont* cached = s_fontCache.Find(*text)) return text->mCachedFont = cached;

  // The size asks for a line height; when the face gives another, a second font is
  // made at the size that should give it.
  LICE_CachedFont* font = new LICE_CachedFont;
  int size = text->mSize;
  for (int attempt = 0; attempt < 2; ++attempt)
  {
    const int height = std::max(size, 2);
    HFONT native = MakeFont(*text, height);
    if (!native)
    {
      // Only a first try that fails leaves nothing to use.
      if (attempt == 0)
      {
        delete font;
        return nullptr;
      }
      break;
    }
    font->SetFromHFont(native, kFontFlags);
    const int lineHeight = font->GetLineHeight();
    if (attempt == 1 || lineHeight == height || lineHeight <= 0) break;
    const int squared = text->mSize > 2 ? text->mSize * text->mSize : 4;
    size = static_cast<int>(squared / static_cast<double>(lineHeight) + 0.5);
  }
  s_fontCache.Add(font, *text);
  return text->mCachedFont = font;
}

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* rect, bool measure)
{
  if (!str || !*str) return true;
  if (!text || !rect) return false;
  LICE_IFont* font = text->mCachedFont ? text->mCachedFont : CacheFont(text);
  if (!font) return false;
  font->SetTextColor(LiceColor(text->mColor));
  unsigned int flags = DT_NOCLIP;
  if (text->mColor.A < 255) flags |= LICE_DT_USEFGALPHA;
  if (text->mAlign == IText::kAlignCenter) flags |= DT_CENTER;
  else if (text->mAlign == IText::kAlignFar) flags |= DT_RIGHT;

  if (measure)
  {
    RECT measured = {0, 0, 0, 0};
    font->DrawText(mBackBuffer, str, -1, &measured, flags | DT_CALCRECT);
    const int w = measured.right - measured.left, h = measured.bottom - measured.top;
    if (text->mAlign == IText::kAlignCenter)
    {
      rect->L = static_cast<int>((rect->L + rect->R) * 0.5) - w / 2;
      rect->R = rect->L + w;
    }
    else if (text->mAlign == IText::kAlignFar)
      rect->L = rect->R - w;
    else
      rect->R = rect->L + w;
    rect->B = rect->T + h;
    return true;
  }
  const DrawTarget t = Target();
  RECT r = {rect->L - t.x, rect->T - t.y, rect->R - t.x, rect->B - t.y};
  font->DrawText(t.bitmap, str, -1, &r, flags);
  return true;
}

bool IGraphics::MeasureIText(IText* text, const char* str, IRECT* destRect)
{
  return DrawIText(text, str, destRect, true);
}
