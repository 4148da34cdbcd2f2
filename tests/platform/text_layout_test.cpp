#include "platform/appkit/font.h"
#include "platform/appkit/text_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace cocoa;

namespace
{
CTFontRef font()
{
  return NSFont::systemFontOfSize(10);
}

TextLayout laidOut(const std::string& text, CGFloat wrapWidth = 0, CGFloat box = 0,
                   NSTextAlignment alignment = NSTextAlignmentLeft)
{
  TextLayout layout;
  TextLayout::Options options;
  options.wrapWidth = wrapWidth;
  options.boxWidth = box;
  options.alignment = alignment;
  layout.layout(font(), text, options);
  return layout;
}
}  // namespace

TEST(TextLayout, CharacterBoundariesFollowUtf8AndTakeStrayBytesAlone)
{
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, e acute, euro sign, an emoji: 0 1 3 6 10
  EXPECT_EQ(nextCharacterBoundary(text, 0), 1u);
  EXPECT_EQ(nextCharacterBoundary(text, 1), 3u);
  EXPECT_EQ(nextCharacterBoundary(text, 2), 3u);  // from inside a character: the end of that character
  EXPECT_EQ(nextCharacterBoundary(text, 6), 10u);
  EXPECT_EQ(previousCharacterBoundary(text, 10), 6u);
  EXPECT_EQ(previousCharacterBoundary(text, 3), 1u);
  EXPECT_EQ(previousCharacterBoundary(text, 8), 3u);
  EXPECT_EQ(characterBoundaryAtOrBefore(text, 4), 3u);
  EXPECT_EQ(characterBoundaryAtOrBefore(text, 9), 6u);
  EXPECT_EQ(characterBoundaryAtOrBefore(text, 99), text.size());
  // A lead byte without its continuation, a lone continuation byte and a cut-off sequence
  // each count as one character.
  const std::string broken = "\xC3(\x80x\xE2\x82";
  EXPECT_EQ(nextCharacterBoundary(broken, 0), 1u);
  EXPECT_EQ(characterBoundaryAtOrBefore(broken, 2), 2u);
  EXPECT_EQ(nextCharacterBoundary(broken, 4), 5u);
  EXPECT_EQ(previousCharacterBoundary(broken, 6), 5u);
}

TEST(TextLayout, LinesBreakAtLineFeedsAndBeforeTheWordThatPassesTheWrapWidth)
{
  const TextLayout feeds = laidOut("one\n\ntwo\n");
  ASSERT_EQ(feeds.lines().size(), 4u);
  EXPECT_EQ(feeds.lines()[0].end, 3u);
  EXPECT_EQ(feeds.lines()[1].start, 4u);
  EXPECT_EQ(feeds.lines()[1].end, 4u);
  EXPECT_EQ(feeds.lines()[2].start, 5u);
  EXPECT_EQ(feeds.lines()[3].start, 9u);
  EXPECT_EQ(feeds.usedHeight(), 4 * feeds.lineHeight());

  const CGFloat width = textWidth(font(), "alpha beta") + 1;
  const TextLayout words = laidOut("alpha beta gamma", width);
  ASSERT_EQ(words.lines().size(), 2u);
  EXPECT_EQ(words.lines()[0].end, 11u);  // the space stays with the line it ends
  EXPECT_EQ(words.lines()[1].start, 11u);
  EXPECT_NEAR(words.lines()[0].width, textWidth(font(), "alpha beta"), 0.01);

  const TextLayout longWord = laidOut("abcdefghij", textWidth(font(), "abcde") + 0.5);
  ASSERT_GE(longWord.lines().size(), 2u);
  EXPECT_EQ(longWord.lines()[0].end, 5u);

  const std::string cut = truncatedToWidth(font(), "a rather long label", 50);
  EXPECT_LE(textWidth(font(), cut), 50);
  EXPECT_EQ(cut.substr(cut.size() - 3), "\u2026");
  EXPECT_EQ(truncatedToWidth(font(), "short", 50), "short");
}

TEST(TextLayout, CaretsHitsAndAlignmentAgree)
{
  const TextLayout line = laidOut("abc");
  const auto& xs = line.lines()[0].xs;
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(line.caretPoint(i).x, xs[i]);
  EXPECT_EQ(line.offsetAt(NSMakePoint(xs[1] + (xs[2] - xs[1]) * 0.4, 3)), 1u);
  EXPECT_EQ(line.offsetAt(NSMakePoint(xs[1] + (xs[2] - xs[1]) * 0.6, 3)), 2u);
  EXPECT_EQ(line.offsetAt(NSMakePoint(-20, -20)), 0u);
  EXPECT_EQ(line.offsetAt(NSMakePoint(500, 500)), 3u);

  // At a wrap the caret starts the next line; a press right of the first line lands
  // before its trailing space.
  const TextLayout wrapped = laidOut("alpha beta gamma", textWidth(font(), "alpha beta") + 1);
  EXPECT_EQ(wrapped.lineIndexOf(11), 1u);
  EXPECT_EQ(wrapped.caretPoint(11).y, wrapped.lineHeight());
  EXPECT_EQ(wrapped.offsetAt(NSMakePoint(1000, 1)), 10u);
  EXPECT_EQ(wrapped.offsetAt(NSMakePoint(0, wrapped.lineHeight() * 1.5)), 11u);

  const CGFloat w = laidOut("abc").lines()[0].width;
  EXPECT_EQ(laidOut("abc", 0, 100, NSTextAlignmentCenter).lines()[0].left, std::floor((100 - w) / 2));
  EXPECT_EQ(laidOut("abc", 0, 100, NSTextAlignmentRight).caretPoint(0).x, 100 - w);
}

TEST(TextLayout, SelectionRectanglesCoverEachLineAndShowSelectedLineBreaks)
{
  const TextLayout text = laidOut("ab\ncd");
  const std::vector<NSRect> rects = text.selectionRects(1, 4);
  ASSERT_EQ(rects.size(), 2u);
  const auto& first = text.lines()[0].xs;
  EXPECT_EQ(rects[0].origin.x, first[1]);
  EXPECT_GT(NSMaxX(rects[0]), first[2]);  // the selected line feed shows
  EXPECT_EQ(rects[1].origin.x, 0);
  EXPECT_EQ(NSMaxX(rects[1]), text.lines()[1].xs[1]);
  EXPECT_EQ(rects[1].origin.y, text.lineHeight());
  EXPECT_TRUE(text.selectionRects(2, 2).empty());
}

// A line far longer than the font is asked about at once: every boundary sits where the
// repeated piece's own width puts it, in plain and in secure text.
TEST(TextLayout, ALongLineMeasuresEveryCharacterAsAShortOneDoes)
{
  const std::string piece = "a\t\x01\xC3\xA9"
                            "b";  // a letter, a tab, a control character, an accented letter: 5 characters
  constexpr size_t kCharacters = 5;
  constexpr size_t kRepeats = 300;
  std::string text;
  for (size_t k = 0; k < kRepeats; ++k) text += piece;
  const CGFloat pieceWidth = textWidth(font(), piece);
  ASSERT_GT(pieceWidth, 0);

  const TextLayout plain = laidOut(text);
  ASSERT_EQ(plain.lines().size(), 1u);
  const auto& xs = plain.lines()[0].xs;
  ASSERT_EQ(xs.size(), kCharacters * kRepeats + 1);
  for (size_t k = 0; k <= kRepeats; ++k)
    ASSERT_NEAR(xs[k * kCharacters], pieceWidth * static_cast<CGFloat>(k), 0.01) << "after " << k << " pieces";
  EXPECT_NEAR(textWidth(font(), text), pieceWidth * kRepeats, 0.01);

  TextLayout secure;
  TextLayout::Options options;
  options.mask = 0x2022;
  secure.layout(font(), text, options);
  const CGFloat bullet = textWidth(font(), "\u2022");
  ASSERT_GT(bullet, 0);
  const auto& masked = secure.lines()[0].xs;
  ASSERT_EQ(masked.size(), kCharacters * kRepeats + 1);
  for (size_t i = 0; i < masked.size(); ++i)
    ASSERT_NEAR(masked[i], bullet * static_cast<CGFloat>(i), 0.01) << "at character " << i;
}
