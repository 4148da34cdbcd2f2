#include "CZK.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace CZK
{
namespace
{
constexpr double kLineHeight = 1.1;
constexpr double kWideExtra = 0.2;
constexpr double kNarrowSaving = 0.5;
constexpr double kCentringFactor = 0.5;
}  // namespace

long CountWide(const std::string& text)
{
  return std::count_if(text.begin(), text.end(), [](char c) { return (c >= 'A' && c <= 'Z') || c == 'm' || c == 'w'; });
}

long CountNarrow(const std::string& text, const std::string& narrowSet)
{
  long n = 0;
  for (const char c : narrowSet) n += std::count(text.begin(), text.end(), c);
  return n;
}

void MeasureText(const std::string& text, double& longest, int& lines)
{
  longest = 0.0;
  lines = 0;
  size_t current = 0;
  for (const char c : text)
  {
    if (c != '\n')
    {
      ++current;
      continue;
    }
    ++lines;
    longest = std::max(longest, static_cast<double>(current));
    current = 0;
  }
  if (current > 0)
  {
    ++lines;
    longest = std::max(longest, static_cast<double>(current));
  }
}

IRECT RectForText(const std::string& text, int size, double angle, bool plainCount, const std::string& narrowSet,
                  double factor)
{
  double longest = 0.0;
  int lines = 0;
  MeasureText(text, longest, lines);
  double units = longest;
  if (!plainCount)
  {
    // Counted over the whole text, while the length is the longest line's.
    units += kWideExtra * static_cast<double>(CountWide(text)) -
             kNarrowSaving * static_cast<double>(CountNarrow(text, narrowSet));
  }
  const double width = factor * size * units;
  const int height = static_cast<int>(lines * kLineHeight * size);
  if (angle == 0.0) return IRECT(0, 0, static_cast<int>(width), height);
  if (angle == 90.0) return IRECT(0, 0, height, static_cast<int>(width));
  const double r = angle * std::numbers::pi / 180.0;
  return IRECT(0, 0, static_cast<int>(width * std::cos(r) + height * std::sin(r)),
               static_cast<int>(height * std::cos(r) + width * std::sin(r)));
}

IRECT GetRectForTextInRect(const std::string& text, const IRECT& rect, int size, double angle, bool plainCount)
{
  const IRECT box = RectForText(text, size, angle, plainCount, kNarrowChars, kCentringFactor);
  const int dx = static_cast<int>((rect.W() - box.W()) * 0.5);
  const int dy = static_cast<int>((rect.H() - box.H()) * 0.5);
  return Moved(box, rect.L + dx, rect.T + dy);
}
}  // namespace CZK
