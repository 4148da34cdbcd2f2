#include "lice.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <climits>

using lice_test::Coordinate;
using lice_test::FlippedBitmap;

namespace
{
constexpr unsigned int kBackground = 0x11111111;

// A 4 x 4 source of distinct pixels blitted into a 10 x 10 background; checks
// every destination pixel against where it should have come from.
void ExpectPlacedAt(LICE_IBitmap& dest, int dstx, int dsty, int srcx0, int srcy0, int w, int h)
{
  for (int y = 0; y < dest.getHeight(); ++y)
    for (int x = 0; x < dest.getWidth(); ++x)
    {
      const int sx = x - dstx + srcx0, sy = y - dsty + srcy0;
      const bool covered = x >= dstx && x < dstx + w && y >= dsty && y < dsty + h;
      const unsigned int expected = covered ? Coordinate(sx, sy) : kBackground;
      ASSERT_EQ(LICE_GetPixel(&dest, x, y), expected) << "at " << x << "," << y;
    }
}
}  // namespace

TEST(Blit, ClipsAtEveryEdge)
{
  LICE_MemBitmap src(4, 4, 4);
  lice_test::FillCoordinates(src);
  struct Case
  {
    int dstx, dsty;
    int visibleX, visibleY, srcx0, srcy0, w, h;
  };
  for (Case c : {Case{-2, 3, 0, 3, 2, 0, 2, 4}, Case{8, 3, 8, 3, 0, 0, 2, 4}, Case{3, -2, 3, 0, 0, 2, 4, 2},
                 Case{3, 8, 3, 8, 0, 0, 4, 2}, Case{-3, -3, 0, 0, 3, 3, 1, 1}, Case{9, 9, 9, 9, 0, 0, 1, 1}})
  {
    LICE_MemBitmap dest(10, 10, 4);
    lice_test::Fill(dest, kBackground);
    LICE_Blit(&dest, &src, c.dstx, c.dsty, nullptr, 1.0f, BLEND_COPY);
    SCOPED_TRACE(testing::Message() << "blit at " << c.dstx << "," << c.dsty);
    ExpectPlacedAt(dest, c.visibleX, c.visibleY, c.srcx0, c.srcy0, c.w, c.h);
  }
  // Entirely outside: nothing.
  for (auto [x, y] : {std::pair{-4, 0}, std::pair{10, 0}, std::pair{0, -4}, std::pair{0, 10}})
  {
    LICE_MemBitmap dest(10, 10, 4);
    lice_test::Fill(dest, kBackground);
    LICE_Blit(&dest, &src, x, y, nullptr, 1.0f, BLEND_COPY);
    ExpectPlacedAt(dest, 0, 0, 0, 0, 0, 0);
  }
}

TEST(Blit, SourceRectangleIsClippedToTheSource)
{
  LICE_MemBitmap src(10, 10, 4);
  lice_test::FillCoordinates(src);
  LICE_MemBitmap dest(20, 10, 4);
  lice_test::Fill(dest, kBackground);
  // A left edge of -5 moves the destination right by 5.
  const RECT r{-5, 0, 10, 10};
  LICE_Blit(&dest, &src, 0, 0, &r, 1.0f, BLEND_COPY);
  ExpectPlacedAt(dest, 5, 0, 0, 0, 10, 10);

  LICE_MemBitmap small(6, 6, 4);
  lice_test::Fill(small, kBackground);
  LICE_Blit(&small, &src, 1, 1, 7, 8, 100, 100, 1.0f, BLEND_COPY);
  ExpectPlacedAt(small, 1, 1, 7, 8, 3, 2);

  // Edges past the int range saturate instead of wrapping.
  lice_test::Fill(small, kBackground);
  LICE_Blit(&small, &src, 0, 0, 0, 0, INT_MAX, INT_MAX, 1.0f, BLEND_COPY);
  ExpectPlacedAt(small, 0, 0, 0, 0, 6, 6);
  lice_test::Fill(small, kBackground);
  LICE_Blit(&small, &src, INT_MAX, INT_MAX, nullptr, 1.0f, BLEND_COPY);
  LICE_Blit(&small, &src, INT_MIN, INT_MIN, nullptr, 1.0f, BLEND_COPY);
  const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  LICE_Blit(&small, &src, 0, 0, &huge, 1.0f, BLEND_COPY);
  ExpectPlacedAt(small, 0, 0, 0, 0, 0, 0);
}

TEST(Blit, FlippedBitmapsAddressLogicalRows)
{
  FlippedBitmap src(3, 3);
  lice_test::FillCoordinates(src);
  // Logical row 0 is the last row in memory.
  EXPECT_EQ(src.stored(1, 2), Coordinate(1, 0));

  LICE_MemBitmap plain(5, 5, 4);
  lice_test::Fill(plain, kBackground);
  LICE_Blit(&plain, &src, 1, 2, nullptr, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&plain, 1, 2), Coordinate(0, 0));
  EXPECT_EQ(LICE_GetPixel(&plain, 3, 4), Coordinate(2, 2));

  FlippedBitmap dest(5, 5);
  lice_test::Fill(dest, kBackground);
  LICE_Blit(&dest, &plain, 0, 0, nullptr, 0.5f, BLEND_ADD);
  LICE_Blit(&dest, &src, 0, -1, nullptr, 1.0f, BLEND_COPY);
  // Source row 1 lands on logical row 0, stored in memory row 4.
  EXPECT_EQ(dest.stored(2, 4), Coordinate(2, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 1), Coordinate(2, 2));
}

TEST(Blit, CopyPathsAtExactAlphas)
{
  LICE_MemBitmap src(2, 1, 4), dest(2, 1, 4);
  LICE_PutPixel(&src, 0, 0, 0xFFFFFFFF, 1.0f, BLEND_COPY);
  LICE_PutPixel(&src, 1, 0, 0x01FF00FF, 1.0f, BLEND_COPY);

  // Exactly 1.0 copies every byte, alpha included.
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), 0x01FF00FFu);

  // Exactly 0.5 halves each byte before the sum (255 -> 127) ...
  lice_test::Fill(dest, 0);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.5f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0x7F7F7F7Fu);
  // ... while weight 128 from any other alpha uses the copy rule (255 -> 128).
  lice_test::Fill(dest, 0);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.502f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0x80808080u);
}

TEST(Blit, ChannelCopyAndModeSelection)
{
  LICE_MemBitmap src(1, 1, 4), dest(1, 1, 4);
  LICE_PutPixel(&src, 0, 0, 0x44332211, 1.0f, BLEND_COPY);

  // 0xF4: source byte 0 (blue) into destination byte 1 (green).
  LICE_PutPixel(&dest, 0, 0, 0xAABBCCDD, 1.0f, BLEND_COPY);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.3f, 0xF4);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0xAABB11DDu);
  // 0xFF: alpha to alpha; 0xFB: alpha (3) into red (2).
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, 0xFF);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0x44BB11DDu);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, 0xFB);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0x444411DDu);

  // Unknown operations draw nothing; the filter bit means nothing to a plain blit.
  LICE_PutPixel(&dest, 0, 0, 0, 1.0f, BLEND_COPY);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, 6);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, 0x100 | 6);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.0f, BLEND_COPY);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0u);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, 0x100);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0x44332211u);

  // Per-pixel rules: add at half weight, source alpha at full weight.
  LICE_PutPixel(&dest, 0, 0, 0x10101010, 1.0f, BLEND_COPY);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.5f, BLEND_ADD);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0x32292118u);
  LICE_PutPixel(&src, 0, 0, 0x80FF0000, 1.0f, BLEND_COPY);
  LICE_PutPixel(&dest, 0, 0, 0xFF0000FF, 1.0f, BLEND_COPY);
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, BLEND_SOURCE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), 0xFF81007Eu);
}

TEST(Blit, OntoItselfDoesNotSmear)
{
  // One column of rows numbered 0..9, moved down by two: bottom-up copying keeps
  // every row intact.
  LICE_MemBitmap bmp(1, 10, 4);
  for (int y = 0; y < 10; ++y) LICE_PutPixel(&bmp, 0, y, (unsigned)y, 1.0f, BLEND_COPY);
  LICE_Blit(&bmp, &bmp, 0, 2, 0, 0, 1, 8, 1.0f, BLEND_COPY);
  for (int y = 2; y < 10; ++y) EXPECT_EQ(LICE_GetPixel(&bmp, 0, y), (unsigned)(y - 2)) << y;
  // And up by three.
  LICE_Blit(&bmp, &bmp, 0, 0, 0, 3, 1, 7, 1.0f, BLEND_COPY);
  for (int y = 0; y < 7; ++y) EXPECT_EQ(LICE_GetPixel(&bmp, 0, y), (unsigned)(y + 1)) << y;

  // A flipped bitmap stores rows the other way round; logical order still counts.
  FlippedBitmap flipped(1, 6);
  for (int y = 0; y < 6; ++y) LICE_PutPixel(&flipped, 0, y, (unsigned)y, 1.0f, BLEND_COPY);
  LICE_Blit(&flipped, &flipped, 0, 1, 0, 0, 1, 5, 1.0f, BLEND_COPY);
  for (int y = 1; y < 6; ++y) EXPECT_EQ(LICE_GetPixel(&flipped, 0, y), (unsigned)(y - 1)) << y;

  // Per-pixel paths read an overlapping source from before the blit, also
  // sideways within a row.
  LICE_MemBitmap row(6, 1, 4);
  for (int x = 0; x < 6; ++x) LICE_PutPixel(&row, x, 0, 0x02020202u * x, 1.0f, BLEND_COPY);
  LICE_Blit(&row, &row, 1, 0, 0, 0, 5, 1, 0.5f, BLEND_ADD);
  for (int x = 1; x < 6; ++x)
    EXPECT_EQ(LICE_GetPixel(&row, x, 0), 0x02020202u * x + 0x01010101u * (x - 1)) << x;
}

TEST(Blit, CopyResizesTheDestination)
{
  LICE_MemBitmap src(3, 2, 4), dest(1, 1, 4);
  lice_test::FillCoordinates(src);
  LICE_Copy(&dest, &src);
  EXPECT_EQ(dest.getWidth(), 3);
  EXPECT_EQ(dest.getHeight(), 2);
  EXPECT_EQ(lice_test::Pixels(dest), lice_test::Pixels(src));
  LICE_Copy(nullptr, &src);
  LICE_Copy(&dest, nullptr);
}

TEST(Blit, NullAndEmptyBitmapsAreIgnored)
{
  LICE_MemBitmap dest(4, 4, 4), empty(0, 0, 4);
  LICE_Blit(&dest, nullptr, 0, 0, nullptr, 1.0f, BLEND_COPY);
  LICE_Blit(nullptr, &dest, 0, 0, nullptr, 1.0f, BLEND_COPY);
  LICE_Blit(&dest, &empty, 0, 0, nullptr, 1.0f, BLEND_COPY);
  LICE_Blit(&empty, &dest, 0, 0, nullptr, 0.5f, BLEND_ADD);
  SUCCEED();
}
