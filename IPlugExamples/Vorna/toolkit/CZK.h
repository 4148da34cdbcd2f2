#pragma once

// Text sizes estimated without a font, and the small rectangle and colour helpers the
// toolkit's controls lay themselves out and draw with. Sizes are pixels; texts are
// byte strings.

#include "IGraphicsStructs.h"

#include <string>

namespace CZK
{
// Characters counted as narrow by the width estimate.
inline const std::string kNarrowChars = "!|:;',.`ilft";

// How many of the text's characters count as wide ('A' to 'Z', 'm', 'w'), and how many
// as narrow (every occurrence of every character of narrowSet, so a character listed
// twice counts twice).
long CountWide(const std::string& text);
long CountNarrow(const std::string& text, const std::string& narrowSet);

// The length in bytes of the longest line and the number of lines, split at '\n'. A
// final line without '\n' counts; a trailing '\n' starts no further line.
void MeasureText(const std::string& text, double& longest, int& lines);

// A box (left and top 0) of the estimated width and height of the text at this size:
// factor x size per character of the longest line, 1.1 x size per line. Without
// plainCount, capitals, 'm' and 'w' count 1.2 and the characters of narrowSet 0.5.
// angle (degrees) turns the box: 90 swaps width and height.
IRECT RectForText(const std::string& text, int size, double angle, bool plainCount, const std::string& narrowSet,
                  double factor);

// The estimated box (factor 0.5, the standard narrow set) centred in rect.
IRECT GetRectForTextInRect(const std::string& text, const IRECT& rect, int size, double angle, bool plainCount);

inline IRECT Moved(const IRECT& r, int dx, int dy)
{
  return IRECT(r.L + dx, r.T + dy, r.R + dx, r.B + dy);
}

inline IRECT Grown(const IRECT& r, int by)
{
  return IRECT(r.L - by, r.T - by, r.R + by, r.B + by);
}

// The faded look of a grayed-out control: each of red, green and blue becomes
// c x 0.25 + 60, alpha kept.
inline IColor Grayed(const IColor& c)
{
  const auto fade = [](int v) { return static_cast<int>(v * 0.25 + 60); };
  return IColor(c.A, fade(c.R), fade(c.G), fade(c.B));
}

// The same colour at another alpha.
inline IColor WithAlpha(const IColor& c, int alpha)
{
  return IColor(alpha, c.R, c.G, c.B);
}

// Changes a style's size; the font found for the old size is let go.
inline void ResizeText(IText& text, int size)
{
  if (text.mSize == size) return;
  text.mSize = size;
  text.mCachedFont = nullptr;
}
}  // namespace CZK
