#pragma once

// Two doubles per instruction with SSE2, which every x86-64 has. The lane
// kernels are written once over a type like this one (see LanesAvx2.h), so each
// lane repeats the scalar operations exactly. Internal to each file that
// includes it.
#include <cstdint>
#include <emmintrin.h>

namespace
{
struct Sse2
{
  using V = __m128d;
  static constexpr int kLanes = 2;
  // No wide values (LanesWide.h): this road serves only processors without
  // AVX2, and keeps its size.
  static constexpr int kWideGroups = 1;
  static V Set(double x) { return _mm_set1_pd(x); }
  static V Load(const double* p) { return _mm_loadu_pd(p); }
  static V LoadMask(const std::uint64_t* p) { return _mm_castsi128_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))); }
  static void Store(double* p, V v) { _mm_storeu_pd(p, v); }
  static V Add(V a, V b) { return _mm_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V Div(V a, V b) { return _mm_div_pd(a, b); }
  static V And(V a, V b) { return _mm_and_pd(a, b); }
  static V Or(V a, V b) { return _mm_or_pd(a, b); }
  static V AndNot(V mask, V v) { return _mm_andnot_pd(mask, v); }
  static V Xor(V a, V b) { return _mm_xor_pd(a, b); }
  static V Abs(V a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
  static V Greater(V a, V b) { return _mm_cmpgt_pd(a, b); }
  static V GreaterEqual(V a, V b) { return _mm_cmpge_pd(a, b); }
  static V Less(V a, V b) { return _mm_cmplt_pd(a, b); }
  static V LessEqual(V a, V b) { return _mm_cmple_pd(a, b); }
  static V Equal(V a, V b) { return _mm_cmpeq_pd(a, b); }
  // True where either is NaN, as != is.
  static V NotEqual(V a, V b) { return _mm_cmpneq_pd(a, b); }
  static V Select(V mask, V a, V b) { return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b)); }
  static bool Any(V mask) { return _mm_movemask_pd(mask) != 0; }
  // A lane mask as bits, lane 0 the lowest.
  static int Bits(V mask) { return _mm_movemask_pd(mask); }
  // The lanes of v whose bit is set in bits to set[0], set[1] ..., in order, and
  // the others to clear[0], clear[1] ...; the rest of set[0..1] and clear[0..1]
  // may be overwritten.
  static void Partition(double* set, double* clear, V v, int bits)
  {
    _mm_storel_pd(set, v);
    _mm_storeh_pd(set + (bits & 1), v);
    _mm_storel_pd(clear, v);
    _mm_storeh_pd(clear + (~bits & 1), v);
  }
  // What Partition gave out, back into the lanes it came from (mask: bits as lanes).
  static V Merge(const double* set, const double* clear, int bits, V mask)
  {
    const V a = _mm_loadh_pd(_mm_load_sd(set), set + (bits & 1));
    const V b = _mm_loadh_pd(_mm_load_sd(clear), clear + (~bits & 1));
    return Select(mask, a, b);
  }
  // static_cast<int> of each lane (inside the int range), back as a double.
  static V Truncate(V a) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(a)); }
  // The bits of each lane shifted left by 52.
  static V ShiftLeft52(V a) { return _mm_castsi128_pd(_mm_slli_epi64(_mm_castpd_si128(a), 52)); }
  static V ShiftRight52(V a) { return _mm_castsi128_pd(_mm_srli_epi64(_mm_castpd_si128(a), 52)); }
  static V Sqrt(V a) { return _mm_sqrt_pd(a); }
  // The quadrant's bit 0 as a lane mask; SSE2 has no 64-bit compare, so the
  // low halves are compared and copied up.
  static V OddQuadrant(V shifted)
  {
    const __m128i one = _mm_set1_epi64x(1);
    const __m128i low = _mm_cmpeq_epi32(_mm_and_si128(_mm_castpd_si128(shifted), one), one);
    return _mm_castsi128_pd(_mm_shuffle_epi32(low, _MM_SHUFFLE(2, 2, 0, 0)));
  }
  // The quadrant's bit 1 moved to the sign bit.
  static V SignOfQuadrant(V shifted)
  {
    return _mm_castsi128_pd(_mm_slli_epi64(_mm_and_si128(_mm_castpd_si128(shifted), _mm_set1_epi64x(2)), 62));
  }
};
}  // namespace
