#include "FastMath.h"
#include "Oscillator.h"
#include "lanes/SineLanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
// Every road must give the scalar road's bits: a dense sweep over the cycle,
// the quadrant boundaries and their neighbours, values that snap to 0, NaN, and
// counts that leave every possible tail.
std::vector<double> Phases()
{
  std::vector<double> p;
  const double twoPi = 2.0 * 3.14159265358979323846;
  for (int i = 0; i <= 200003; ++i) p.push_back(twoPi * i / 200003.0);
  for (int q = 0; q <= 4; ++q)
  {
    const double x = q * (twoPi / 4.0);
    p.push_back(x);
    p.push_back(std::nextafter(x, 0.0));
    p.push_back(std::nextafter(x, 10.0));
  }
  for (double tiny : {1e-13, 5e-13, 1e-12, 2e-12, 1e-300}) p.push_back(tiny);
  p.push_back(3.14159265358979323846 - 1e-13);
  p.push_back(std::numeric_limits<double>::quiet_NaN());
  return p;
}
}  // namespace

TEST(SineLanes, EveryRoadGivesTheScalarBits)
{
  const std::vector<double> phases = Phases();
  std::vector<double> scalar(phases.size()), sse2(phases.size()), avx2(phases.size()), chosen(phases.size());
  SineLanes::SinesOfCycleScalar(phases.data(), scalar.data(), int(phases.size()));
  // The scalar road is the oscillator's own sine with its snap.
  for (size_t i = 0; i < phases.size(); i += 997)
  {
    const double s = FastMath::SinOfPhase(phases[i]);
    const double expected = std::fabs(s) < Oscillator::kZeroSnap ? 0.0 : s;
    EXPECT_EQ(std::memcmp(&scalar[i], &expected, sizeof(double)), 0) << phases[i];
  }
  // The tiny phases: below the snap they give 0, above it themselves.
  const size_t tinyAt = phases.size() - 7;
  EXPECT_EQ(scalar[tinyAt], 0.0);
  EXPECT_EQ(scalar[tinyAt + 3], 2e-12);
  EXPECT_TRUE(std::isnan(scalar.back()));
  for (int tail = 0; tail < 5; ++tail)
  {
    const int n = int(phases.size()) - tail;
    SineLanes::SinesOfCycleSse2(phases.data(), sse2.data(), n);
    SineLanes::SinesOfCycle(phases.data(), chosen.data(), n);
    EXPECT_EQ(std::memcmp(sse2.data(), scalar.data(), n * sizeof(double)), 0) << "SSE2, tail " << tail;
    EXPECT_EQ(std::memcmp(chosen.data(), scalar.data(), n * sizeof(double)), 0) << "chosen road, tail " << tail;
    if (SineLanes::HasAvx2())
    {
      SineLanes::SinesOfCycleAvx2(phases.data(), avx2.data(), n);
      EXPECT_EQ(std::memcmp(avx2.data(), scalar.data(), n * sizeof(double)), 0) << "AVX2, tail " << tail;
    }
  }
}
