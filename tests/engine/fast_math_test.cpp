// The inline sin, tanh, asinh, tan, exp and log of the per-sample paths against the
// library's own (each within one unit in the last place of the true value): the
// stated bounds must hold across the ranges the engine feeds them, and the
// special values must come out as the library's do.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "FastMath.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Distance in units in the last place between two finite doubles of one sign.
std::int64_t Ulps(double a, double b)
{
  if (a == b) return 0;
  if (std::signbit(a) != std::signbit(b)) return std::numeric_limits<std::int64_t>::max();
  const std::int64_t ia = std::bit_cast<std::int64_t>(a);
  const std::int64_t ib = std::bit_cast<std::int64_t>(b);
  return ia > ib ? ia - ib : ib - ia;
}

struct Sweep
{
  double lo;
  double hi;
  bool logarithmic;  // magnitudes spread evenly over the decades
  bool bothSigns;
  int points = 400000;
};

// The largest ulp distance over a dense random sweep, with where it happened.
template <class Fast, class Exact>
std::pair<std::int64_t, double> WorstUlps(Fast fast, Exact exact, Sweep sweep)
{
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::int64_t worst = 0;
  double at = 0.0;
  for (int i = 0; i < sweep.points; ++i)
  {
    const double u = unit(random);
    double x = sweep.lo + u * (sweep.hi - sweep.lo);
    if (sweep.logarithmic) x = std::exp(std::log(sweep.lo) + u * (std::log(sweep.hi) - std::log(sweep.lo)));
    if (sweep.bothSigns && (i & 1)) x = -x;
    const std::int64_t d = Ulps(fast(x), exact(x));
    if (d > worst)
    {
      worst = d;
      at = x;
    }
  }
  return {worst, at};
}

TEST(FastMath, StaysWithinItsStatedUlpsOfTheLibrary)
{
  struct Case
  {
    const char* name;
    double (*fast)(double);
    double (*exact)(double);
    Sweep sweep;
    std::int64_t bound;
  };
  const Case cases[] = {
    {"exp", FastMath::Exp, [](double x) { return std::exp(x); }, {-60.0, 60.0, false, false}, 1},
    {"exp near 0", FastMath::Exp, [](double x) { return std::exp(x); }, {1e-20, 1.0, true, true}, 1},
    {"log", FastMath::Log, [](double x) { return std::log(x); }, {1e-300, 1e300, true, false}, 1},
    {"log near 1", FastMath::Log, [](double x) { return std::log(x); }, {0.5, 2.0, false, false}, 1},
    {"tanh", FastMath::Tanh, [](double x) { return std::tanh(x); }, {1e-12, 30.0, true, true}, 2},
    {"tanh audio range", FastMath::Tanh, [](double x) { return std::tanh(x); }, {-4.0, 4.0, false, false}, 2},
    {"asinh", FastMath::Asinh, [](double x) { return std::asinh(x); }, {1e-12, 1e9, true, true}, 4},
    {"asinh audio range", FastMath::Asinh, [](double x) { return std::asinh(x); }, {-4.0, 4.0, false, false}, 4},
    {"sin of a phase", FastMath::SinOfPhase, [](double x) { return std::sin(x); }, {0.0, 2.0 * kPi, false, false}, 1},
    {"tan of the warp", FastMath::Tan, [](double x) { return std::tan(x); }, {0.0, kPi / 2.0, false, false}, 3},
    {"tan of low cutoffs", FastMath::Tan, [](double x) { return std::tan(x); }, {1e-9, 0.1, true, false}, 3},
  };
  for (const Case& c : cases)
  {
    const auto [worst, at] = WorstUlps(c.fast, c.exact, c.sweep);
    EXPECT_LE(worst, c.bound) << c.name << " at " << at;
  }

  // asinh is least exact just above 0.5, where the logarithm form takes over:
  // about one argument in 70000 there is 4 ulp away. A million points over
  // [0.5, 1] (either sign) find a dozen of them, so the stated bound is the
  // real one, not only an upper limit.
  const auto [worst, at] =
    WorstUlps(FastMath::Asinh, [](double x) { return std::asinh(x); }, {0.5, 1.0, false, true, 1000000});
  EXPECT_EQ(worst, 4) << "asinh at " << at;
  volatile double witness = 0.50286442347954441;  // volatile: the library's own asinh, not a folded constant
  const double x = witness;
  EXPECT_EQ(Ulps(FastMath::Asinh(x), std::asinh(x)), 4);
}

TEST(FastMath, TangentHoldsItsBoundAboveAQuarterTurnAndLeavesOtherArgumentsToTheLibrary)
{
  // Above pi/4 the tangent is the reciprocal of a reduced one: its 3-ulp results lie there.
  volatile double witness = 1.070579668169467;  // volatile: the library's own tan, not a folded constant
  const double x = witness;
  EXPECT_EQ(Ulps(FastMath::Tan(x), std::tan(x)), 3);
  for (double y : {kPi / 4.0, std::nextafter(kPi / 4.0, 0.0), std::nextafter(kPi / 4.0, 1.0), 1.5393804002589986})
    EXPECT_LE(Ulps(FastMath::Tan(y), std::tan(y)), 3) << y;
  for (double y : {-0.5, kPi / 2.0, 2.0, 100.0})
    EXPECT_EQ(FastMath::Tan(y), std::tan(y)) << y;
  EXPECT_TRUE(std::isnan(FastMath::Tan(std::numeric_limits<double>::quiet_NaN())));
}

TEST(FastMath, SineOfAPhaseIsExactEnoughAtTheQuadrantsAndZeroCrossings)
{
  // Where the sine passes through 0 the result is tiny, so the bound is absolute.
  for (double x : {0.0, kPi, 2.0 * kPi, std::nextafter(kPi, 0.0), std::nextafter(2.0 * kPi, 0.0)})
    EXPECT_NEAR(FastMath::SinOfPhase(x), std::sin(x), 1e-24) << x;
  // The quadrant boundaries, where the reduction switches between sine and cosine.
  for (int k = 0; k <= 4; ++k)
  {
    for (double x : {k * kPi / 4.0, std::nextafter(k * kPi / 4.0, 0.0), std::nextafter(k * kPi / 4.0, 7.0)})
    {
      if (std::fabs(std::sin(x)) > 1e-9)
      {
        EXPECT_LE(Ulps(FastMath::SinOfPhase(x), std::sin(x)), 1) << x;
      }
    }
  }
  EXPECT_EQ(FastMath::SinOfPhase(kPi / 2.0), 1.0);
  EXPECT_EQ(FastMath::SinOfPhase(3.0 * kPi / 2.0), -1.0);
}

TEST(FastMath, SpecialValuesComeOutAsTheLibrarysDo)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(FastMath::Tanh(nan)));
  EXPECT_TRUE(std::isnan(FastMath::Asinh(nan)));
  EXPECT_TRUE(std::isnan(FastMath::Exp(nan)));
  EXPECT_TRUE(std::isnan(FastMath::Log(nan)));
  EXPECT_TRUE(std::isnan(FastMath::Log(-1.0)));
  EXPECT_TRUE(std::isnan(FastMath::SinOfPhase(nan)));
  EXPECT_TRUE(std::isnan(FastMath::SinOfPhase(kInf)));

  EXPECT_EQ(FastMath::Tanh(kInf), 1.0);
  EXPECT_EQ(FastMath::Tanh(-kInf), -1.0);
  EXPECT_EQ(FastMath::Tanh(25.0), 1.0);
  EXPECT_EQ(FastMath::Tanh(-25.0), -1.0);
  EXPECT_EQ(FastMath::Asinh(kInf), kInf);
  EXPECT_EQ(FastMath::Asinh(-kInf), -kInf);
  EXPECT_EQ(FastMath::Exp(-kInf), 0.0);
  EXPECT_EQ(FastMath::Exp(kInf), kInf);
  EXPECT_EQ(FastMath::Exp(800.0), kInf);
  EXPECT_EQ(FastMath::Exp(-800.0), 0.0);
  EXPECT_EQ(FastMath::Exp(0.0), 1.0);
  EXPECT_EQ(FastMath::Log(1.0), 0.0);
  EXPECT_EQ(FastMath::Log(0.0), -kInf);
  EXPECT_EQ(FastMath::Log(kInf), kInf);

  // Odd functions keep the sign of zero and of tiny arguments.
  EXPECT_TRUE(std::signbit(FastMath::Tanh(-0.0)));
  EXPECT_TRUE(std::signbit(FastMath::Asinh(-0.0)));
  EXPECT_FALSE(std::signbit(FastMath::Tanh(0.0)));
  EXPECT_EQ(FastMath::Tanh(-1e-300), -1e-300);
  EXPECT_EQ(FastMath::Asinh(1e-300), 1e-300);
  // Both are odd to the last bit.
  for (double x : {0.3, 0.625, 0.7, 3.0, 21.9})
  {
    EXPECT_EQ(FastMath::Tanh(-x), -FastMath::Tanh(x)) << x;
    EXPECT_EQ(FastMath::Asinh(-x), -FastMath::Asinh(x)) << x;
  }
}
}  // namespace
