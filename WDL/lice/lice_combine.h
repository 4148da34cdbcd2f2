#pragma once

#include "lice_blend.h"
#include "lice_pixel.h"

#include <array>

// Combine operations: each merges one source colour (r, g, b, a, normally 0..255)
// into one destination pixel at an integer weight (256 = full). Drawing loops are
// templates over these types, so the rule is chosen once per call and inlined.
// Division truncates toward zero throughout; "NoClamp" rules store the low 8 bits.

namespace lice
{
constexpr std::array<unsigned short, 256> MakeInverseTable()
{
  std::array<unsigned short, 256> t{};
  for (int i = 1; i < 256; ++i) t[i] = (unsigned short)(65536 / i - 1);
  return t;
}
}  // namespace lice

// Reciprocals for the HSV conversion: [0] = 0, [i] = 65536 / i - 1.
inline constexpr std::array<unsigned short, 256> _LICE_RGB2HSV_invtab = lice::MakeInverseTable();

namespace lice
{
inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

inline int CopyChannel(int d, int s, int w) { return s + (d - s) * (256 - w) / 256; }
inline int AddChannel(int d, int s, int w) { return Clamp255(d + s * w / 256); }
inline int DodgeChannel(int d, int s, int w)
{
  const int x = s * w / 256;
  return x < 255 ? Clamp255(d * 256 / (256 - x)) : Clamp255(d * 256);
}
inline int MulProduct(int d, int s, int w) { return (s * w + (256 - w) * 256) * d; }
inline int MulChannelClamp(int d, int s, int w)
{
  const int v = MulProduct(d, s, w);
  return v < 0 ? 0 : v >= 0x1000000 ? 255 : v >> 16;
}
inline int OverlayChannel(int d, int s, int w)
{
  const int x = s * w + (256 - w) * 128;
  const int v = ((0x8000 - x) * d / 256 + x) * d;
  return v < 0 ? 0 : v > 0x7FFFFF ? 255 : v >> 15;
}
inline int SourceAlphaWeight(int w, int a) { return w * (a + 1) / 256; }

inline void Store(unsigned char* dest, int r, int g, int b, int a)
{
  dest[LICE_PIXEL_B] = (unsigned char)b;
  dest[LICE_PIXEL_G] = (unsigned char)g;
  dest[LICE_PIXEL_R] = (unsigned char)r;
  dest[LICE_PIXEL_A] = (unsigned char)a;
}

template <class Rule>
inline void PerChannel(unsigned char* dest, int r, int g, int b, int a, int w, Rule rule)
{
  Store(dest, rule(dest[LICE_PIXEL_R], r, w), rule(dest[LICE_PIXEL_G], g, w), rule(dest[LICE_PIXEL_B], b, w),
        rule(dest[LICE_PIXEL_A], a, w));
}

// Hue 0..383 in six sectors of 64, saturation and value 0..255.
void HSVAdjust(unsigned char* dest, int r, int g, int b, int a, int w);
}  // namespace lice

struct _LICE_CombinePixelsClobberNoClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int) { lice::Store(dest, r, g, b, a); }
};

struct _LICE_CombinePixelsClobberClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    using lice::Clamp255;
    lice::Store(dest, Clamp255(r), Clamp255(g), Clamp255(b), Clamp255(a));
  }
};

struct _LICE_CombinePixelsHalfMixNoClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    lice::PerChannel(dest, r, g, b, a, 0, [](int d, int s, int) { return (d + s) >> 1; });
  }
};

struct _LICE_CombinePixelsCopyNoClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, lice::CopyChannel);
  }
};

struct _LICE_CombinePixelsCopyClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, [](int d, int s, int w) { return lice::Clamp255(lice::CopyChannel(d, s, w)); });
  }
};

struct _LICE_CombinePixelsAdd
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, lice::AddChannel);
  }
};

struct _LICE_CombinePixelsColorDodge
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, lice::DodgeChannel);
  }
};

struct _LICE_CombinePixelsMulNoClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, [](int d, int s, int w) { return lice::MulProduct(d, s, w) >> 16; });
  }
};

struct _LICE_CombinePixelsMulClamp
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, lice::MulChannelClamp);
  }
};

struct _LICE_CombinePixelsOverlay
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    lice::PerChannel(dest, r, g, b, a, w, lice::OverlayChannel);
  }
};

struct _LICE_CombinePixelsHSVAdjust
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) { lice::HSVAdjust(dest, r, g, b, a, w); }
};

// Source-alpha rules: each source pixel's alpha scales the weight, w' = w * (a + 1) / 256.

template <bool Clamped>
struct _LICE_CombinePixelsCopySourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    if (a == 0) return;
    const int ws = lice::SourceAlphaWeight(w, a);
    int nr = lice::CopyChannel(dest[LICE_PIXEL_R], r, ws);
    int ng = lice::CopyChannel(dest[LICE_PIXEL_G], g, ws);
    int nb = lice::CopyChannel(dest[LICE_PIXEL_B], b, ws);
    int na = dest[LICE_PIXEL_A] + ws;
    if (na > 255) na = 255;
    if (Clamped)
    {
      nr = lice::Clamp255(nr);
      ng = lice::Clamp255(ng);
      nb = lice::Clamp255(nb);
      na = lice::Clamp255(na);
    }
    lice::Store(dest, nr, ng, nb, na);
  }
};
using _LICE_CombinePixelsCopySourceAlphaNoClamp = _LICE_CombinePixelsCopySourceAlpha<false>;
using _LICE_CombinePixelsCopySourceAlphaClamp = _LICE_CombinePixelsCopySourceAlpha<true>;

// Full weight: the source alpha alone decides, scaled by 255 rather than 256.
template <bool Clamped>
struct _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int)
  {
    if (a == 0) return;
    if (a == 255)
    {
      if (Clamped) _LICE_CombinePixelsClobberClamp::doPix(dest, r, g, b, 255, 0);
      else lice::Store(dest, r, g, b, 255);
      return;
    }
    const int keep = 255 - a;
    int nr = r + (dest[LICE_PIXEL_R] - r) * keep / 256;
    int ng = g + (dest[LICE_PIXEL_G] - g) * keep / 256;
    int nb = b + (dest[LICE_PIXEL_B] - b) * keep / 256;
    int na = dest[LICE_PIXEL_A] + a;
    if (na > 255) na = 255;
    if (Clamped)
    {
      nr = lice::Clamp255(nr);
      ng = lice::Clamp255(ng);
      nb = lice::Clamp255(nb);
      na = lice::Clamp255(na);
    }
    lice::Store(dest, nr, ng, nb, na);
  }
};
using _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp = _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm<false>;
using _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp = _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm<true>;

struct _LICE_CombinePixelsAddSourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    if (a == 0) return;
    _LICE_CombinePixelsAdd::doPix(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsColorDodgeSourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    _LICE_CombinePixelsColorDodge::doPix(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};

template <bool Clamped>
struct _LICE_CombinePixelsMulSourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    if (a == 0) return;
    if (Clamped) _LICE_CombinePixelsMulClamp::doPix(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
    else _LICE_CombinePixelsMulNoClamp::doPix(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};
using _LICE_CombinePixelsMulSourceAlphaNoClamp = _LICE_CombinePixelsMulSourceAlpha<false>;
using _LICE_CombinePixelsMulSourceAlphaClamp = _LICE_CombinePixelsMulSourceAlpha<true>;

struct _LICE_CombinePixelsOverlaySourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    _LICE_CombinePixelsOverlay::doPix(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsHSVAdjustSourceAlpha
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    _LICE_CombinePixelsHSVAdjust::doPix(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};
