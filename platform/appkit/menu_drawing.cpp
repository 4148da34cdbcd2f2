#include "platform/appkit/menu_drawing.h"

#include "platform/graphics/cg_context.h"
#include "platform/text/core_text.h"

#include <cmath>

namespace cocoa
{
namespace
{
CTFontRef menuFont()
{
  static CTFontRef font = CTFontCreateWithName("Lucida Grande", MenuStyle::kFontSize, nullptr);
  return font;
}
}  // namespace

double menuTextWidth(const NSString& text)
{
  CTLineRef line = CTLineCreateWithText(menuFont(), text, nullptr);
  const double width = CTLineGetTypographicBounds(line, nullptr, nullptr, nullptr);
  CTLineRelease(line);
  return width;
}

void drawMenuText(CGContextRef context, const NSString& text, double x, double top, double height, unsigned rgb)
{
  CGColorRef color = CGColorCreateGenericRGB(((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                             (rgb & 0xFF) / 255.0, 1);
  CTLineRef line = CTLineCreateWithText(menuFont(), text, color);
  CGFloat ascent = 0, descent = 0;
  CTLineGetTypographicBounds(line, &ascent, &descent, nullptr);
  CGContextSetTextMatrix(context, CGAffineTransformMake(1, 0, 0, -1, 0, 0));
  CGContextSetTextPosition(context, std::round(x), std::round(top + (height - ascent - descent) / 2 + ascent));
  CTLineDraw(line, context);
  CTLineRelease(line);
  CGColorRelease(color);
}

void fillMenuRect(CGContextRef context, double x, double y, double w, double h, unsigned rgb)
{
  CGContextSetRGBFillColor(context, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                           1);
  CGContextFillRect(context, CGRectMake(x, y, w, h));
}
}  // namespace cocoa
