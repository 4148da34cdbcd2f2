#include "IGraphicsStructs.h"

#include "lice_blend.h"

#include <cstring>

void CopyTextBounded(char* dest, int destSize, const char* src)
{
  if (!dest || destSize <= 0) return;
  if (!src) src = "";
  size_t n = strnlen(src, static_cast<size_t>(destSize - 1));
  // Back off over a character the field would cut in two.
  if (src[n])
  {
    size_t start = n;
    while (start > 0 && n - start < 3 && (static_cast<unsigned char>(src[start]) & 0xC0) == 0x80) --start;
    n = start;
  }
  std::memcpy(dest, src, n);
  dest[n] = 0;
}

IText::IText(int size, const IColor* color, const char* font, EStyle style, EAlign align, int orientation,
             EQuality quality)
    : mSize(size),
      mColor(color ? *color : DEFAULT_TEXT_COLOR),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality)
{
  SetFontName(font);
}

IText::IText(const IColor* color) : IText(10, color) {}

void IText::SetFontName(const char* font)
{
  CopyTextBounded(mFontName, kFontNameSize, font ? font : "Geneva");
}

int LiceBlendMode(const IChannelBlend* blend)
{
  if (!blend) return BLEND_SOURCE_ALPHA;
  switch (blend->mMethod)
  {
  case IChannelBlend::kBlendClobber: return BLEND_COPY;
  case IChannelBlend::kBlendAdd: return BLEND_SOURCE_ALPHA | BLEND_ADD;
  case IChannelBlend::kBlendColorDodge: return BLEND_SOURCE_ALPHA | BLEND_DODGE;
  case IChannelBlend::kBlendNone:
  default: return BLEND_SOURCE_ALPHA;
  }
}

float LiceWeight(const IChannelBlend* blend)
{
  return blend ? blend->mWeight : 1.0f;
}
