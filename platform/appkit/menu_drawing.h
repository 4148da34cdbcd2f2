#pragma once

#include "platform/appkit/color.h"
#include "platform/foundation/nsstring.h"
#include "platform/graphics/cg_types.h"
#include "platform/text/core_text.h"

namespace cocoa
{
struct MenuStyle
{
  static constexpr double kItemHeight = 20;
  static constexpr double kSeparatorHeight = 9;
  static constexpr double kLeftColumn = 22;  // room for the check mark
  static constexpr double kRightColumn = 22;  // room for the submenu arrow
  static constexpr double kIndent = 12;
  static constexpr double kKeyGap = 24;
  static constexpr double kMinimumWidth = 80;
  static constexpr double kBarTitlePadding = 9;
};

// Text in a menu's face (null: the theme's menu font), colours from the control theme. The
// context draws in window pixels, y down.
double menuTextWidth(const NSString& text, CTFontRef font = nullptr);
void drawMenuText(CGContextRef context, const NSString& text, double x, double top, double height,
                  const NSColor& color, CTFontRef font = nullptr);
void fillMenuRect(CGContextRef context, double x, double y, double w, double h, const NSColor& color);
}  // namespace cocoa
