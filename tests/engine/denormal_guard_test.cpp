#include "DenormalGuard.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace
{
// Out of line, so the arithmetic cannot be moved across the mode switches.
[[gnu::noinline]] double Quarter(double x)
{
  return x * 0.25;
}
// Lifts a denormal into the normal range, unless it is read as zero.
[[gnu::noinline]] double Lift(double x)
{
  return x * 0x1p60;
}

constexpr unsigned int kFlushBits = DenormalGuard::kFlushToZero | DenormalGuard::kDenormalsAreZero;
constexpr unsigned int kRoundingBits = 0x6000;
// The low six bits record exceptions as they happen; the mode is the rest.
unsigned int Mode()
{
  return _mm_getcsr() & ~0x3Fu;
}
volatile double gSmallestNormal = DBL_MIN;
volatile double gDenormal = 1e-310;
}  // namespace

TEST(DenormalGuard, FlushesWhileInScopeAndRestoresThePreviousMode)
{
  const unsigned int original = Mode();
  ASSERT_EQ(original & kFlushBits, 0u);
  EXPECT_GT(Quarter(gSmallestNormal), 0.0);
  EXPECT_GT(Lift(gDenormal), 0.0);
  {
    DenormalGuard outer;
    EXPECT_EQ(Quarter(gSmallestNormal), 0.0);  // a denormal result is flushed
    EXPECT_EQ(Lift(gDenormal), 0.0);           // a denormal operand reads as zero
    {
      DenormalGuard inner;
    }
    EXPECT_EQ(Mode() & kFlushBits, kFlushBits);  // still flushing after the inner one
  }
  EXPECT_EQ(Mode(), original);
  EXPECT_GT(Quarter(gSmallestNormal), 0.0);

  // Other mode bits, here rounding towards minus infinity, pass through as they were.
  const unsigned int roundDown = (original & ~kRoundingBits) | 0x2000u;
  _mm_setcsr(roundDown);
  {
    DenormalGuard guard;
    EXPECT_EQ(Mode() & kRoundingBits, 0x2000u);
  }
  EXPECT_EQ(Mode(), roundDown);
  _mm_setcsr(original);
}
