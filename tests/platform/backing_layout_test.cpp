// Window backing bitmaps and the window layer's memory drawing contexts share one pixel
// layout, so that code reading one reads the other: checked here side by side.

#include "platform/appkit/backing_bitmap.h"
#include "swell-gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

using namespace cocoa;

TEST(BackingLayout, MatchesTheMemoryDrawingContexts)
{
  for (const auto& [width, height] : {std::pair{770, 650}, std::pair{1, 1}, std::pair{333, 7}})
  {
    HDC context = SWELL_CreateMemContext(nullptr, width, height);
    ASSERT_NE(context, nullptr);
    void* allocation = nullptr;
    uint32_t* pixels = allocateXrgbPixels(width, height, &allocation);
    ASSERT_NE(pixels, nullptr);
    const auto* theirs = static_cast<const uint8_t*>(SWELL_GetCtxFrameBuffer(context));
    // Both start on a 64-byte boundary and hold zeroed rows of width × 4 bytes.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(theirs) % 64, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pixels) % 64, 0u);
    const size_t bytes = static_cast<size_t>(width) * 4 * static_cast<size_t>(height);
    for (size_t i = 0; i < bytes; ++i)
    {
      ASSERT_EQ(theirs[i], 0) << i;
      ASSERT_EQ(reinterpret_cast<const uint8_t*>(pixels)[i], 0) << i;
    }
    std::free(allocation);
    SWELL_DeleteGfxContext(context);
  }
}

TEST(BackingLayout, RefusesTheSameSizes)
{
  for (const auto& [width, height] : {std::pair{0, 10}, std::pair{10, -1}, std::pair{16385, 1}, std::pair{12000, 12000}})
  {
    HDC context = SWELL_CreateMemContext(nullptr, width, height);
    void* allocation = nullptr;
    uint32_t* pixels = allocateXrgbPixels(width, height, &allocation);
    EXPECT_EQ(context == nullptr, pixels == nullptr) << width << " x " << height;
    EXPECT_EQ(pixels, nullptr) << width << " x " << height;
    SWELL_DeleteGfxContext(context);
    std::free(allocation);
  }
}
