#pragma once

#include "platform/foundation/nsstring.h"
#include "platform/graphics/cg_types.h"

namespace cocoa
{
struct MenuStyle
{
  static constexpr double kFontSize = 13;
  static constexpr double kItemHeight = 20;
  static constexpr double kSeparatorHeight = 9;
  static constexpr double kLeftColumn = 22;  // room for the check mark
  static constexpr double kRightColumn = 22;  // room for the submenu arrow
  static constexpr double kIndent = 12;
  static constexpr double kKeyGap = 24;
  static constexpr double kMinimumWidth = 80;
  static constexpr double kBarTitlePadding = 9;
};

// Text in the menus' face; colours are 0xRRGGBB. The context draws in window pixels, y down.
double menuTextWidth(const NSString& text);
void drawMenuText(CGContextRef context, const NSString& text, double x, double top, double height,
                  unsigned rgb);
void fillMenuRect(CGContextRef context, double x, double y, double w, double h, unsigned rgb);
}  // namespace cocoa
