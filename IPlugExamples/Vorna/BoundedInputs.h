#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include <emmintrin.h>

// The host's input pairs as every part of the plug-in reads them (the voices'
// FM and AM inputs, the envelope followers and "Mask input"). A host buffer may
// hold anything: a sample that is not finite counts as 0, and the others are
// held within +-kLimit, so that no input can carry NaN into the output or into
// a follower's state, nor overflow the voices' sums. One slice of a block at a
// time is copied into fixed buffers; nothing allocates.
class BoundedInputs
{
public:
  // 60 dB over full scale.
  static constexpr double kLimit = 1000.0;
  static constexpr int kSliceFrames = 256;
  static constexpr int kMaxPairs = 4;

  static double Bound(double x)
  {
    const double held = std::min(std::max(x, -kLimit), kLimit);
    return std::fabs(x) <= std::numeric_limits<double>::max() ? held : 0.0;
  }

  // out[i] = Bound(in[i]) for i < n, two samples per instruction: the copy runs
  // for every sample of a block, and the idle engine costs only a few
  // nanoseconds per frame.
  static void BoundSamples(const double* in, double* out, int n)
  {
    const __m128d low = _mm_set1_pd(-kLimit);
    const __m128d high = _mm_set1_pd(kLimit);
    const __m128d largest = _mm_set1_pd(std::numeric_limits<double>::max());
    const __m128d magnitudeBits = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    int i = 0;
    for (; i + 2 <= n; i += 2)
    {
      const __m128d x = _mm_loadu_pd(in + i);
      const __m128d held = _mm_min_pd(_mm_max_pd(x, low), high);
      const __m128d finite = _mm_cmple_pd(_mm_and_pd(x, magnitudeBits), largest);  // all ones, or 0 for NaN and inf
      _mm_storeu_pd(out + i, _mm_and_pd(held, finite));
    }
    for (; i < n; ++i) out[i] = Bound(in[i]);
  }

  // Copies frames first .. first + n - 1 (n <= kSliceFrames) of stereo pair
  // `pair` (< kMaxPairs), whose channels are inputs[2 pair] and inputs[2 pair + 1].
  void ReadPair(double* const* inputs, int pair, int first, int n)
  {
    for (int c = 0; c < 2; ++c) BoundSamples(inputs[2 * pair + c] + first, mSamples[pair][c], n);
  }

  // The slice of channel c (0 left, 1 right) of the pair, as last read.
  double* Channel(int pair, int c) { return mSamples[pair][c]; }

private:
  alignas(64) double mSamples[kMaxPairs][2][kSliceFrames] = {};
};
