#include "platform/appkit/menu_drawing.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/font.h"
#include "platform/appkit/text_layout.h"
#include "platform/appkit/theme.h"

namespace cocoa
{
namespace
{
CTFontRef menuFont(CTFontRef font)
{
  return font ? font : NSFont::systemFontOfSize(controlTheme().fonts.menu);
}
}  // namespace

double menuTextWidth(const NSString& text, CTFontRef font)
{
  return textWidth(menuFont(font), text.str());
}

void drawMenuText(CGContextRef context, const NSString& text, double x, double top, double height, const NSColor& color,
                  CTFontRef font)
{
  font = menuFont(font);
  const double ascent = CTFontGetAscent(font);
  const double descent = CTFontGetDescent(font);
  drawTextLine(context, font, text.str(), x, top + (height - ascent - descent) / 2 + ascent, color);
}

void fillMenuRect(CGContextRef context, double x, double y, double w, double h, const NSColor& color)
{
  fillRect(context, CGRectMake(x, y, w, h), color);
}
}  // namespace cocoa
