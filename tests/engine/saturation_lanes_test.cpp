// The saturation of several groups of lanes at once gathers the positive values
// apart from the others and puts each back in its lane: every value must come
// back in its own lane with the bits the scalar saturation gives it, whatever
// the lanes' signs and ranges, on the two-lane and the four-lane road.
#include "FastMath.h"
#include "lanes/AsinhLanesKernel.h"
#include "lanes/LanesSse2.h"
#include "lanes/SineLanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

void SoftSaturateFourGroupsAvx2(const double* in, double* out);

namespace
{
constexpr int kValues = 16;

double Scalar(double x)
{
  return x > 0.0 ? FastMath::Asinh(x) : FastMath::Tanh(x);
}

void SoftSaturateFourGroupsSse2(const double* in, double* out)
{
  Sse2::V v[4];
  for (int i = 0; i < 4; ++i) v[i] = Sse2::Load(in + 2 * i);
  SoftSaturateEachOfLanes<Sse2, 4>(v);
  for (int i = 0; i < 4; ++i) Sse2::Store(out + 2 * i, v[i]);
}

// Magnitudes from each range of both functions: linear, the fits, the
// logarithm and exponential, tanh saturated, asinh past its logarithm.
constexpr double kMagnitudes[] = {1e-300, 3e-10, 0.01, 0.3, 0.49, 0.5, 0.6, 0.625, 0.9, 3.0, 21.9, 22.0, 1e7, 2e8};
constexpr int kNumMagnitudes = int(sizeof(kMagnitudes) / sizeof(kMagnitudes[0]));
}  // namespace

// Every pattern of signs over the sixteen lanes, each lane a different
// magnitude, with zeros of both signs, infinities and NaN among them.
TEST(SaturationLanes, EveryLaneKeepsItsScalarBits)
{
  double in[kValues], expected[kValues], sse2[kValues], avx2[kValues];
  const bool avx2Road = SineLanes::HasAvx2();
  for (int signs = 0; signs < (1 << kValues); ++signs)
  {
    for (int i = 0; i < kValues; ++i)
    {
      double magnitude = kMagnitudes[(signs * 7 + i * 5) % kNumMagnitudes];
      if ((signs + i) % 23 == 0) magnitude = 0.0;
      if ((signs + i) % 37 == 0) magnitude = std::numeric_limits<double>::infinity();
      in[i] = (signs >> i & 1) ? magnitude : -magnitude;
      if ((signs + i) % 41 == 0) in[i] = std::numeric_limits<double>::quiet_NaN();
      expected[i] = Scalar(in[i]);
    }
    SoftSaturateFourGroupsSse2(in, sse2);
    SoftSaturateFourGroupsSse2(in + kValues / 2, sse2 + kValues / 2);
    ASSERT_EQ(std::memcmp(sse2, expected, sizeof(expected)), 0) << "SSE2, signs " << signs;
    if (!avx2Road) continue;
    SoftSaturateFourGroupsAvx2(in, avx2);
    ASSERT_EQ(std::memcmp(avx2, expected, sizeof(expected)), 0) << "AVX2, signs " << signs;
  }
}

// The saturation's own values, so that the scalar side above is not merely
// compared with itself: asinh above 0, tanh at and below it.
TEST(SaturationLanes, PositiveValuesTakeAsinhAndTheOthersTanh)
{
  double in[kValues], out[kValues];
  for (int i = 0; i < kValues; ++i) in[i] = (i % 3 == 0 ? -0.25 : 0.75) * (i + 1);
  in[5] = 0.0;
  in[6] = -0.0;
  SoftSaturateFourGroupsSse2(in, out);
  SoftSaturateFourGroupsSse2(in + kValues / 2, out + kValues / 2);
  for (int i = 0; i < kValues; ++i)
  {
    const double exact = in[i] > 0.0 ? std::asinh(in[i]) : std::tanh(in[i]);
    EXPECT_NEAR(out[i], exact, 1e-15 * std::fabs(exact) + 1e-300) << i;
  }
  EXPECT_FALSE(std::signbit(out[5]));
  EXPECT_TRUE(std::signbit(out[6]));
}
