#pragma once

#include "platform/text/core_text.h"

namespace cocoa
{
enum NSControlSize
{
  NSControlSizeRegular = 0,
  NSControlSizeSmall = 1,
  NSControlSizeMini = 2,
};

// Cocoa's NSFont is the same object as a Core Text font; here a font is a CTFontRef. The
// fonts these hand out live as long as the process (callers that keep one retain it).
class NSFont
{
public:
  static CTFontRef systemFontOfSize(CGFloat size);
  static CTFontRef boldSystemFontOfSize(CGFloat size);
  static CTFontRef labelFontOfSize(CGFloat size);
  // The face the theme draws controls in, at any size.
  static CTFontRef fontWithName(const NSString& name, CGFloat size);
  static CGFloat systemFontSize();
  static CGFloat smallSystemFontSize();
  static CGFloat systemFontSizeForControlSize(NSControlSize size);
};

// Line metrics of a font as text views lay it out: ascent and descent and the distance
// from one baseline to the next, in whole units.
struct FontLineMetrics
{
  CGFloat ascent;
  CGFloat descent;
  CGFloat lineHeight;
};
FontLineMetrics fontLineMetrics(CTFontRef font);
}  // namespace cocoa
