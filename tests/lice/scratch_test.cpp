#include "lice_scratch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

// Under AddressSanitizer an impossible request must come back empty, as it does from
// the plain allocator, instead of ending the process.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

TEST(ScratchBuffer, InlineThenHeapThenRefused)
{
  lice::ScratchBuffer<int, 4> small(4);
  ASSERT_TRUE(small.ok());
  for (int i = 0; i < 4; ++i) small[(size_t)i] = i;
  EXPECT_EQ(small[3], 3);

  lice::ScratchBuffer<int, 4> large(5000);
  ASSERT_TRUE(large.ok());
  large[4999] = 7;
  EXPECT_EQ(large[4999], 7);

  lice::ScratchBuffer<int, 0> none(0);
  EXPECT_TRUE(none.ok());

  // Byte counts that overflow, and ones no machine has.
  lice::ScratchBuffer<std::int64_t, 4> overflowing(SIZE_MAX / 4);
  EXPECT_FALSE(overflowing.ok());
  lice::ScratchBuffer<std::int64_t, 4> enormous((size_t)1 << 56);
  EXPECT_FALSE(enormous.ok());
}
