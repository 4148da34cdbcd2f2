#include "lice_fastpaths.h"

#include "lice_combine.h"
#include "lice_sample.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{
#if defined(__SSE2__)
// (d - s) * (255 - a) / 256 truncated toward zero, added to s, per 16-bit lane:
// the magnitude times the factor fits 16 bits unsigned, and the sign is put back.
inline __m128i TowardDest(__m128i s16, __m128i absDiff16, __m128i negative16)
{
  const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
  const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
  const __m128i q = _mm_srli_epi16(_mm_mullo_epi16(absDiff16, keep), 8);
  return _mm_add_epi16(s16, _mm_sub_epi16(_mm_xor_si128(q, negative16), negative16));
}
#endif

inline void SourceAlphaCopyScalar(unsigned int* dest, unsigned int s)
{
  _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp::doPix(lice::Bytes(dest), lice::ChannelR(s),
                                                                    lice::ChannelG(s), lice::ChannelB(s),
                                                                    lice::ChannelA(s), 256);
}
}  // namespace

void lice::SourceAlphaCopyRow(unsigned int* dest, const unsigned int* src, int n)
{
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32((int)0xFF000000u);
  for (; x + 4 <= n; x += 4)
  {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    const __m128i sa = _mm_and_si128(s, alphaMask);
    const __m128i transparent = _mm_cmpeq_epi32(sa, zero);
    if (_mm_movemask_epi8(transparent) == 0xFFFF) continue;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF)
    {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x), s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + x));
    const __m128i dAbove = _mm_subs_epu8(d, s), sAbove = _mm_subs_epu8(s, d);
    const __m128i absDiff = _mm_or_si128(dAbove, sAbove);
    const __m128i negative = _mm_andnot_si128(_mm_cmpeq_epi8(sAbove, zero), _mm_set1_epi8(-1));

    const __m128i lo = TowardDest(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(absDiff, zero),
                                  _mm_unpacklo_epi8(negative, negative));
    const __m128i hi = TowardDest(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(absDiff, zero),
                                  _mm_unpackhi_epi8(negative, negative));
    const __m128i colour = _mm_andnot_si128(alphaMask, _mm_packus_epi16(lo, hi));
    const __m128i alpha = _mm_and_si128(_mm_adds_epu8(d, s), alphaMask);  // min(255, d + a)
    const __m128i blended = _mm_or_si128(colour, alpha);
    // Transparent source pixels leave the destination.
    const __m128i out = _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, blended));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x), out);
  }
#endif
  for (; x < n; ++x) SourceAlphaCopyScalar(dest + x, src[x]);
}

void lice::FillRow(unsigned int* dest, int n, unsigned int color)
{
  int x = 0;
#if defined(__SSE2__)
  const __m128i c = _mm_set1_epi32((int)color);
  for (; x + 4 <= n; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x), c);
#endif
  for (; x < n; ++x) dest[x] = color;
}

void lice::BilinearCopyRow(unsigned int* dest, const unsigned int* top, const unsigned int* below, int fy,
                           const int* columns, const unsigned short* fractions, int n)
{
  int x = 0;
#if defined(__SSE2__)
  // Per channel: p00 + ((p10 - p00) * fx + (p01 - p00) * fy + (p11 - p10 - p01 + p00) * w11) >> 16,
  // which is the four-weight sum rearranged, with w11 = (fx * fy) >> 16. Two
  // pixels per step, each product exact in 32 bits.
  const __m128i zero = _mm_setzero_si128();
  const __m128i fyv = _mm_set1_epi16((short)fy);
  const auto product = [](__m128i d, __m128i f, __m128i& lo32, __m128i& hi32) {
    const __m128i low = _mm_mullo_epi16(d, f);
    // d is signed, f unsigned: correct the unsigned high half where d < 0.
    const __m128i high = _mm_sub_epi16(_mm_mulhi_epu16(d, f), _mm_and_si128(_mm_srai_epi16(d, 15), f));
    lo32 = _mm_unpacklo_epi16(low, high);
    hi32 = _mm_unpackhi_epi16(low, high);
  };
  for (; x + 2 <= n; x += 2)
  {
    const int ca = columns[x], cb = columns[x + 1];
    const __m128i topA = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + ca));
    const __m128i topB = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + cb));
    const __m128i botA = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(below + ca));
    const __m128i botB = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(below + cb));
    const __m128i topAB = _mm_unpacklo_epi32(topA, topB);  // p00a p00b p10a p10b
    const __m128i botAB = _mm_unpacklo_epi32(botA, botB);  // p01a p01b p11a p11b
    const __m128i p00 = _mm_unpacklo_epi8(topAB, zero), p10 = _mm_unpackhi_epi8(topAB, zero);
    const __m128i p01 = _mm_unpacklo_epi8(botAB, zero), p11 = _mm_unpackhi_epi8(botAB, zero);

    const __m128i fx = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fractions + 4 * x));
    const __m128i w11 = _mm_mulhi_epu16(fx, fyv);
    const __m128i across = _mm_sub_epi16(p10, p00), down = _mm_sub_epi16(p01, p00);
    const __m128i twist = _mm_sub_epi16(_mm_sub_epi16(p11, p10), down);

    __m128i aLo, aHi, dLo, dHi, tLo, tHi;
    product(across, fx, aLo, aHi);
    product(down, fyv, dLo, dHi);
    product(twist, w11, tLo, tHi);
    const __m128i sumLo = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(aLo, dLo), tLo), 16);
    const __m128i sumHi = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(aHi, dHi), tHi), 16);
    const __m128i result = _mm_add_epi16(p00, _mm_packs_epi32(sumLo, sumHi));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dest + x), _mm_packus_epi16(result, result));
  }
#endif
  for (; x < n; ++x)
  {
    const unsigned int* p = top + columns[x];
    const lice::Rgba c = lice::Bilinear(p, below - top, fractions[4 * x], fy, false, false);
    dest[x] = lice::Pack(c.r, c.g, c.b, c.a);
  }
}
