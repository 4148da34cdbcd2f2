#include "swell-gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(MemContext, PixelsAreZeroedAlignedAndStayPut)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 37, 5);
  ASSERT_NE(dc, nullptr);
  unsigned char* pixels = static_cast<unsigned char*>(SWELL_GetCtxFrameBuffer(dc));
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pixels) % 64, 0u);
  for (int i = 0; i < 37 * 5 * 4; ++i) ASSERT_EQ(pixels[i], 0) << i;
  // The whole width * 4 * height block is writable (the sanitizer build checks the bounds).
  std::memset(pixels, 0xAB, 37 * 5 * 4);
  EXPECT_EQ(SWELL_GetCtxFrameBuffer(dc), pixels);
  SWELL_DeleteGfxContext(dc);
}

TEST(MemContext, RefusesEmptyAndOversizedSurfaces)
{
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 0, 10), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 10, -1), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 16385, 1), nullptr);
  // 16384 x 16384 x 4 bytes is 1 GiB, above the 512 MiB pixel cap.
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 16384, 16384), nullptr);
}

TEST(MemContext, NullHandlesAreHarmless)
{
  EXPECT_EQ(SWELL_GetCtxFrameBuffer(nullptr), nullptr);
  SWELL_DeleteGfxContext(nullptr);
}
