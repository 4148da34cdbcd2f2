#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"

#include <gtest/gtest.h>

using namespace cocoa;

TEST(Geometry, PointsOnEdgesBelongToOneSideOnly)
{
  const NSRect r = NSMakeRect(10, 20, 30, 40);
  EXPECT_TRUE(NSPointInRect(NSMakePoint(10, 20), r));
  EXPECT_FALSE(NSPointInRect(NSMakePoint(40, 20), r));
  EXPECT_FALSE(NSPointInRect(NSMakePoint(10, 60), r));
  // The mouse rule: an unflipped rectangle takes its top edge and not its bottom one,
  // a flipped one the reverse, so adjacent rectangles never share a row of pixels.
  EXPECT_TRUE(NSMouseInRect(NSMakePoint(10, 60), r, false));
  EXPECT_FALSE(NSMouseInRect(NSMakePoint(10, 20), r, false));
  EXPECT_TRUE(NSMouseInRect(NSMakePoint(10, 20), r, true));
  EXPECT_FALSE(NSMouseInRect(NSMakePoint(10, 60), r, true));
  EXPECT_FALSE(NSMouseInRect(NSMakePoint(40, 30), r, true));
}

TEST(Geometry, IntersectionsUnionsAndIntegralRectangles)
{
  const NSRect a = NSMakeRect(0, 0, 10, 10);
  const NSRect b = NSMakeRect(5, 5, 10, 10);
  EXPECT_EQ(NSIntersectionRect(a, b), NSMakeRect(5, 5, 5, 5));
  EXPECT_EQ(NSUnionRect(a, b), NSMakeRect(0, 0, 15, 15));
  // Touching edges do not intersect; an empty rectangle does not widen a union.
  EXPECT_TRUE(NSIsEmptyRect(NSIntersectionRect(a, NSMakeRect(10, 0, 5, 5))));
  EXPECT_EQ(NSUnionRect(a, NSMakeRect(100, 100, 0, 5)), a);
  EXPECT_EQ(NSIntegralRect(NSMakeRect(0.5, 1.25, 2, 2)), NSMakeRect(0, 1, 3, 3));
  EXPECT_TRUE(NSContainsRect(a, NSMakeRect(2, 2, 8, 8)));
  EXPECT_FALSE(NSContainsRect(a, NSMakeRect(2, 2, 9, 8)));
}

TEST(Geometry, DegenerateRectanglesOnEitherSideGiveTheSameAnswer)
{
  const NSRect box = NSMakeRect(0, 0, 10, 10);
  const NSRect zero = NSMakeRect(0, 0, 0, 0);
  const NSRect thin = NSMakeRect(5, 0, 0, 10);        // no width, inside the box
  const NSRect flat = NSMakeRect(2, 5, 6, 0);         // no height, inside the box
  const NSRect inverted = NSMakeRect(8, 8, -6, -6);   // a negative size is empty too
  const NSRect elsewhere = NSMakeRect(40, 40, -1, 3);
  for (const NSRect& d : {zero, thin, flat, inverted, elsewhere})
  {
    EXPECT_TRUE(NSIsEmptyRect(d));
    // An intersection with an empty rectangle is the zero rectangle, whichever side it is on.
    EXPECT_EQ(NSIntersectionRect(box, d), NSRect{});
    EXPECT_EQ(NSIntersectionRect(d, box), NSRect{});
    EXPECT_FALSE(NSIntersectsRect(box, d));
    EXPECT_FALSE(NSIntersectsRect(d, box));
    // A union ignores it, whichever side it is on.
    EXPECT_EQ(NSUnionRect(box, d), box);
    EXPECT_EQ(NSUnionRect(d, box), box);
    // Nothing contains it, and it contains nothing; it holds no point, not even its origin.
    EXPECT_FALSE(NSContainsRect(box, d));
    EXPECT_FALSE(NSContainsRect(d, box));
    EXPECT_FALSE(NSPointInRect(d.origin, d));
    EXPECT_FALSE(NSMouseInRect(d.origin, d, true));
    EXPECT_FALSE(NSMouseInRect(NSMakePoint(d.origin.x, NSMaxY(d)), d, false));
    EXPECT_EQ(NSIntegralRect(d), NSRect{});
  }
  // Two empty rectangles: the union of nothing is the zero rectangle, in either order.
  EXPECT_EQ(NSUnionRect(thin, elsewhere), NSRect{});
  EXPECT_EQ(NSUnionRect(elsewhere, thin), NSRect{});
  EXPECT_EQ(NSIntersectionRect(thin, flat), NSRect{});
  // Insetting by more than half the size turns a rectangle inside out: empty from then on.
  const NSRect insideOut = NSInsetRect(box, 6, 2);
  EXPECT_EQ(insideOut, NSMakeRect(6, 2, -2, 6));
  EXPECT_TRUE(NSIsEmptyRect(insideOut));
  EXPECT_EQ(NSUnionRect(insideOut, box), box);
  EXPECT_EQ(NSOffsetRect(inverted, 2, -2), NSMakeRect(10, 6, -6, -6));
}

TEST(Strings, Utf8DecodingRefusesMalformedInput)
{
  std::u32string out;
  EXPECT_TRUE(decodeUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9", &out));
  EXPECT_EQ(out, (std::u32string{U'A', 0xE9, 0x20AC, 0x1F3B9}));
  EXPECT_FALSE(decodeUtf8("\xC3", &out));               // cut short
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(decodeUtf8("\xC0\x80", &out));           // overlong NUL
  EXPECT_FALSE(decodeUtf8("\xED\xA0\x80", &out));       // a surrogate
  EXPECT_FALSE(decodeUtf8("\xF4\x90\x80\x80", &out));   // past U+10FFFF
  EXPECT_FALSE(decodeUtf8("\x80", &out));               // a stray continuation byte
  EXPECT_FALSE(decodeUtf8("\xE2\x82", &out));           // cut inside a three-byte form
}

TEST(Strings, LengthCountsUtf16UnitsAndEncodingRoundTrips)
{
  EXPECT_EQ(NSString("abc").length(), 3u);
  EXPECT_EQ(NSString("\xC3\xA9").length(), 1u);
  EXPECT_EQ(NSString("\xF0\x9F\x8E\xB9").length(), 2u);  // outside the BMP: a surrogate pair
  std::string encoded;
  for (char32_t c : {U'x', char32_t(0x7FF), char32_t(0xFFFF), char32_t(0x10FFFF)}) appendUtf8(c, &encoded);
  std::u32string decoded;
  ASSERT_TRUE(decodeUtf8(encoded, &decoded));
  EXPECT_EQ(decoded, (std::u32string{U'x', 0x7FF, 0xFFFF, 0x10FFFF}));
}
