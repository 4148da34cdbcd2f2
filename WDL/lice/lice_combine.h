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
// The arithmetic of the rules is a parameter. Drawing loops hand in bytes and
// weights of a few thousand at most, which int holds with room to spare. Components
// and weights that come straight from a caller's integers or a gradient's
// accumulators can be anything: for them every rule runs in 128 bits, where no
// intermediate of any rule can overflow, so the rule's own clamping decides.
using Wide = __int128;

// Components and weights within this bound keep every rule inside int: the largest
// intermediate, in the overlay rule, stays below 2^30. (A source-alpha rule also
// needs its alpha to be a byte, as it is in every drawing loop.)
constexpr long long kNarrowLimit = 1024;
inline bool IsNarrow(long long v) { return v >= -kNarrowLimit && v <= kNarrowLimit; }

template <class I>
inline I Clamp255(I v)
{
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

template <class I>
inline I CopyChannel(I d, I s, I w)
{
  return s + (d - s) * (256 - w) / 256;
}
template <class I>
inline I AddChannel(I d, I s, I w)
{
  return Clamp255<I>(d + s * w / 256);
}
template <class I>
inline I DodgeChannel(I d, I s, I w)
{
  const I x = s * w / 256;
  return x < 255 ? Clamp255<I>(d * 256 / (256 - x)) : Clamp255<I>(d * 256);
}
template <class I>
inline I MulProduct(I d, I s, I w)
{
  return (s * w + (256 - w) * 256) * d;
}
template <class I>
inline I MulChannelClamp(I d, I s, I w)
{
  const I v = MulProduct(d, s, w);
  return v < 0 ? 0 : v >= 0x1000000 ? 255 : v >> 16;
}
template <class I>
inline I OverlayChannel(I d, I s, I w)
{
  const I x = s * w + (256 - w) * 128;
  const I v = ((0x8000 - x) * d / 256 + x) * d;
  return v < 0 ? 0 : v > 0x7FFFFF ? 255 : v >> 15;
}
template <class I>
inline I SourceAlphaWeight(I w, I a)
{
  return w * (a + 1) / 256;
}

// Stores the low 8 bits of each value.
template <class I>
inline void Store(unsigned char* dest, I r, I g, I b, I a)
{
  dest[LICE_PIXEL_B] = (unsigned char)b;
  dest[LICE_PIXEL_G] = (unsigned char)g;
  dest[LICE_PIXEL_R] = (unsigned char)r;
  dest[LICE_PIXEL_A] = (unsigned char)a;
}

template <bool Clamped, class I>
inline void StoreClampedIf(unsigned char* dest, I r, I g, I b, I a)
{
  if (Clamped) Store<I>(dest, Clamp255(r), Clamp255(g), Clamp255(b), Clamp255(a));
  else Store<I>(dest, r, g, b, a);
}

template <class I, class Rule>
inline void PerChannel(unsigned char* dest, I r, I g, I b, I a, I w, Rule rule)
{
  Store<I>(dest, rule(I(dest[LICE_PIXEL_R]), r, w), rule(I(dest[LICE_PIXEL_G]), g, w),
           rule(I(dest[LICE_PIXEL_B]), b, w), rule(I(dest[LICE_PIXEL_A]), a, w));
}

// Hue 0..383 in six sectors of 64, saturation and value 0..255.
template <class I>
void HSVAdjust(unsigned char* dest, I r, I g, I b, I a, I w);

// Every operation states its rule once, as apply<I>; doPix is that rule in int,
// the form every drawing loop instantiates.
template <class Op>
struct CombineRule
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    Op::template apply<int>(dest, r, g, b, a, w);
  }
};

// The same operation exact for any int components and weight.
template <class Op>
struct Widened
{
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w)
  {
    Op::template apply<Wide>(dest, r, g, b, a, w);
  }
};
}  // namespace lice

struct _LICE_CombinePixelsClobberNoClamp : lice::CombineRule<_LICE_CombinePixelsClobberNoClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I)
  {
    lice::Store<I>(dest, r, g, b, a);
  }
};

struct _LICE_CombinePixelsClobberClamp : lice::CombineRule<_LICE_CombinePixelsClobberClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I)
  {
    lice::StoreClampedIf<true>(dest, r, g, b, a);
  }
};

struct _LICE_CombinePixelsHalfMixNoClamp : lice::CombineRule<_LICE_CombinePixelsHalfMixNoClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I)
  {
    lice::PerChannel<I>(dest, r, g, b, a, 0, [](I d, I s, I) { return (d + s) >> 1; });
  }
};

struct _LICE_CombinePixelsCopyNoClamp : lice::CombineRule<_LICE_CombinePixelsCopyNoClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, lice::CopyChannel<I>);
  }
};

struct _LICE_CombinePixelsCopyClamp : lice::CombineRule<_LICE_CombinePixelsCopyClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, [](I d, I s, I w) { return lice::Clamp255(lice::CopyChannel(d, s, w)); });
  }
};

struct _LICE_CombinePixelsAdd : lice::CombineRule<_LICE_CombinePixelsAdd>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, lice::AddChannel<I>);
  }
};

struct _LICE_CombinePixelsColorDodge : lice::CombineRule<_LICE_CombinePixelsColorDodge>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, lice::DodgeChannel<I>);
  }
};

struct _LICE_CombinePixelsMulNoClamp : lice::CombineRule<_LICE_CombinePixelsMulNoClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, [](I d, I s, I w) { return lice::MulProduct(d, s, w) >> 16; });
  }
};

struct _LICE_CombinePixelsMulClamp : lice::CombineRule<_LICE_CombinePixelsMulClamp>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, lice::MulChannelClamp<I>);
  }
};

struct _LICE_CombinePixelsOverlay : lice::CombineRule<_LICE_CombinePixelsOverlay>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::PerChannel<I>(dest, r, g, b, a, w, lice::OverlayChannel<I>);
  }
};

struct _LICE_CombinePixelsHSVAdjust : lice::CombineRule<_LICE_CombinePixelsHSVAdjust>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    lice::HSVAdjust<I>(dest, r, g, b, a, w);
  }
};

// Source-alpha rules: each source pixel's alpha scales the weight, w' = w * (a + 1) / 256.

template <bool Clamped>
struct _LICE_CombinePixelsCopySourceAlpha : lice::CombineRule<_LICE_CombinePixelsCopySourceAlpha<Clamped>>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    if (a == 0) return;
    const I ws = lice::SourceAlphaWeight(w, a);
    I nr = lice::CopyChannel(I(dest[LICE_PIXEL_R]), r, ws);
    I ng = lice::CopyChannel(I(dest[LICE_PIXEL_G]), g, ws);
    I nb = lice::CopyChannel(I(dest[LICE_PIXEL_B]), b, ws);
    I na = dest[LICE_PIXEL_A] + ws;
    if (na > 255) na = 255;
    lice::StoreClampedIf<Clamped>(dest, nr, ng, nb, na);
  }
};
using _LICE_CombinePixelsCopySourceAlphaNoClamp = _LICE_CombinePixelsCopySourceAlpha<false>;
using _LICE_CombinePixelsCopySourceAlphaClamp = _LICE_CombinePixelsCopySourceAlpha<true>;

// Full weight: the source alpha alone decides, scaled by 255 rather than 256.
template <bool Clamped>
struct _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm
    : lice::CombineRule<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm<Clamped>>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I)
  {
    if (a == 0) return;
    if (a == 255)
    {
      lice::StoreClampedIf<Clamped, I>(dest, r, g, b, 255);
      return;
    }
    const I keep = 255 - a;
    I nr = r + (dest[LICE_PIXEL_R] - r) * keep / 256;
    I ng = g + (dest[LICE_PIXEL_G] - g) * keep / 256;
    I nb = b + (dest[LICE_PIXEL_B] - b) * keep / 256;
    I na = dest[LICE_PIXEL_A] + a;
    if (na > 255) na = 255;
    lice::StoreClampedIf<Clamped>(dest, nr, ng, nb, na);
  }
};
using _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp = _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm<false>;
using _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp = _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParm<true>;

struct _LICE_CombinePixelsAddSourceAlpha : lice::CombineRule<_LICE_CombinePixelsAddSourceAlpha>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    if (a == 0) return;
    _LICE_CombinePixelsAdd::apply<I>(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsColorDodgeSourceAlpha : lice::CombineRule<_LICE_CombinePixelsColorDodgeSourceAlpha>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    _LICE_CombinePixelsColorDodge::apply<I>(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};

template <bool Clamped>
struct _LICE_CombinePixelsMulSourceAlpha : lice::CombineRule<_LICE_CombinePixelsMulSourceAlpha<Clamped>>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    if (a == 0) return;
    if (Clamped) _LICE_CombinePixelsMulClamp::apply<I>(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
    else _LICE_CombinePixelsMulNoClamp::apply<I>(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};
using _LICE_CombinePixelsMulSourceAlphaNoClamp = _LICE_CombinePixelsMulSourceAlpha<false>;
using _LICE_CombinePixelsMulSourceAlphaClamp = _LICE_CombinePixelsMulSourceAlpha<true>;

struct _LICE_CombinePixelsOverlaySourceAlpha : lice::CombineRule<_LICE_CombinePixelsOverlaySourceAlpha>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    _LICE_CombinePixelsOverlay::apply<I>(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsHSVAdjustSourceAlpha : lice::CombineRule<_LICE_CombinePixelsHSVAdjustSourceAlpha>
{
  template <class I>
  static inline void apply(unsigned char* dest, I r, I g, I b, I a, I w)
  {
    _LICE_CombinePixelsHSVAdjust::apply<I>(dest, r, g, b, a, lice::SourceAlphaWeight(w, a));
  }
};
