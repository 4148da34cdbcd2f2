#pragma once

// Four doubles per instruction with AVX2. Only files built for AVX2 include
// this, and they include nothing with inline functions of the engine, so that
// no AVX2 copy of one can be linked in place of the plain one.
#include <cstdint>
#include <immintrin.h>

namespace
{
struct Avx2
{
  using V = __m256d;
  static constexpr int kLanes = 4;
  static V Set(double x) { return _mm256_set1_pd(x); }
  static V Load(const double* p) { return _mm256_loadu_pd(p); }
  static V LoadMask(const std::uint64_t* p)
  {
    return _mm256_castsi256_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static void Store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V Add(V a, V b) { return _mm256_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V Div(V a, V b) { return _mm256_div_pd(a, b); }
  static V And(V a, V b) { return _mm256_and_pd(a, b); }
  static V Or(V a, V b) { return _mm256_or_pd(a, b); }
  static V AndNot(V mask, V v) { return _mm256_andnot_pd(mask, v); }
  static V Xor(V a, V b) { return _mm256_xor_pd(a, b); }
  static V Abs(V a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
  static V Greater(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
  static V GreaterEqual(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  static V Less(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  static V LessEqual(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
  static V Equal(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
  static V NotEqual(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_NEQ_UQ); }
  static V Select(V mask, V a, V b) { return _mm256_blendv_pd(b, a, mask); }
  static bool Any(V mask) { return _mm256_movemask_pd(mask) != 0; }
  static V Truncate(V a) { return _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(a)); }
  static V ShiftLeft52(V a) { return _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(a), 52)); }
  static V ShiftRight52(V a) { return _mm256_castsi256_pd(_mm256_srli_epi64(_mm256_castpd_si256(a), 52)); }
  static V Sqrt(V a) { return _mm256_sqrt_pd(a); }
  static V OddQuadrant(V shifted)
  {
    const __m256i one = _mm256_set1_epi64x(1);
    return _mm256_castsi256_pd(_mm256_cmpeq_epi64(_mm256_and_si256(_mm256_castpd_si256(shifted), one), one));
  }
  static V SignOfQuadrant(V shifted)
  {
    return _mm256_castsi256_pd(
      _mm256_slli_epi64(_mm256_and_si256(_mm256_castpd_si256(shifted), _mm256_set1_epi64x(2)), 62));
  }
};
}  // namespace
