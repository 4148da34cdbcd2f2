#pragma once

// Four doubles per instruction with AVX2. Only files built for AVX2 include
// this, and they include nothing with inline functions of the engine, so that
// no AVX2 copy of one can be linked in place of the plain one.
#include <cstdint>
#include <immintrin.h>

namespace
{
// For each mask of four lanes, the 32-bit halves that gather the lanes whose
// bit is set to the front, in order, and the others likewise (Partition), and
// that put them back (Merge). Unused lanes take lane 0.
struct Avx2Partitions
{
  struct Row
  {
    alignas(32) std::int32_t gatherSet[8] = {};
    alignas(32) std::int32_t gatherClear[8] = {};
    alignas(32) std::int32_t scatterSet[8] = {};
    alignas(32) std::int32_t scatterClear[8] = {};
  };
  Row rows[16];
  constexpr Avx2Partitions() : rows()
  {
    for (int mask = 0; mask < 16; ++mask)
    {
      int set = 0, clear = 0;
      for (int lane = 0; lane < 4; ++lane)
      {
        const bool on = mask >> lane & 1;
        std::int32_t* gather = on ? rows[mask].gatherSet : rows[mask].gatherClear;
        std::int32_t* scatter = on ? rows[mask].scatterSet : rows[mask].scatterClear;
        int& taken = on ? set : clear;
        gather[2 * taken] = 2 * lane;
        gather[2 * taken + 1] = 2 * lane + 1;
        scatter[2 * lane] = 2 * taken;
        scatter[2 * lane + 1] = 2 * taken + 1;
        ++taken;
      }
    }
  }
};
inline constexpr Avx2Partitions kAvx2Partitions{};

struct Avx2
{
  using V = __m256d;
  static constexpr int kLanes = 4;
  // How many groups a loop bound by the latency of its chain carries as one
  // value (LanesWide.h): four, in AVX2's sixteen registers.
  static constexpr int kWideGroups = 4;
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
  // A lane mask as bits, lane 0 the lowest.
  static int Bits(V mask) { return _mm256_movemask_pd(mask); }
  // The lanes of v whose bit is set in bits to set[0], set[1] ..., in order, and
  // the others to clear[0], clear[1] ...; the rest of set[0..3] and clear[0..3]
  // is overwritten.
  static void Partition(double* set, double* clear, V v, int bits)
  {
    const Avx2Partitions::Row& row = kAvx2Partitions.rows[bits];
    const __m256 x = _mm256_castpd_ps(v);
    const __m256i toSet = _mm256_load_si256(reinterpret_cast<const __m256i*>(row.gatherSet));
    const __m256i toClear = _mm256_load_si256(reinterpret_cast<const __m256i*>(row.gatherClear));
    _mm256_storeu_ps(reinterpret_cast<float*>(set), _mm256_permutevar8x32_ps(x, toSet));
    _mm256_storeu_ps(reinterpret_cast<float*>(clear), _mm256_permutevar8x32_ps(x, toClear));
  }
  // What Partition gave out, back into the lanes it came from (mask: bits as lanes).
  static V Merge(const double* set, const double* clear, int bits, V mask)
  {
    const Avx2Partitions::Row& row = kAvx2Partitions.rows[bits];
    const __m256i fromSet = _mm256_load_si256(reinterpret_cast<const __m256i*>(row.scatterSet));
    const __m256i fromClear = _mm256_load_si256(reinterpret_cast<const __m256i*>(row.scatterClear));
    const __m256 a = _mm256_permutevar8x32_ps(_mm256_loadu_ps(reinterpret_cast<const float*>(set)), fromSet);
    const __m256 b = _mm256_permutevar8x32_ps(_mm256_loadu_ps(reinterpret_cast<const float*>(clear)), fromClear);
    return _mm256_blendv_pd(_mm256_castps_pd(b), _mm256_castps_pd(a), mask);
  }
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
