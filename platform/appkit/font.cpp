#include "platform/appkit/font.h"

#include "platform/appkit/theme.h"

#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace cocoa
{
namespace
{
// Fonts handed out by name and size, made once and kept for the process.
CTFontRef cachedFont(const std::string& name, CGFloat size)
{
  static std::mutex mutex;
  static std::map<std::pair<std::string, CGFloat>, CTFontRef> fonts;
  std::lock_guard<std::mutex> lock(mutex);
  CTFontRef& font = fonts[{name, size}];
  if (!font) font = CTFontCreateWithName(name, size, nullptr);
  return font;
}
}  // namespace

CTFontRef NSFont::systemFontOfSize(CGFloat size)
{
  return cachedFont(controlTheme().fonts.face, size > 0 ? size : systemFontSize());
}

CTFontRef NSFont::boldSystemFontOfSize(CGFloat size)
{
  return cachedFont(std::string(controlTheme().fonts.face) + " Bold", size > 0 ? size : systemFontSize());
}

CTFontRef NSFont::labelFontOfSize(CGFloat size)
{
  return systemFontOfSize(size > 0 ? size : smallSystemFontSize());
}

CTFontRef NSFont::fontWithName(const NSString& name, CGFloat size)
{
  return cachedFont(name.str(), size > 0 ? size : systemFontSize());
}

CGFloat NSFont::systemFontSize()
{
  return controlTheme().fonts.regular;
}

CGFloat NSFont::smallSystemFontSize()
{
  return controlTheme().fonts.small;
}

CGFloat NSFont::systemFontSizeForControlSize(NSControlSize size)
{
  const ControlTheme::Fonts& fonts = controlTheme().fonts;
  return size == NSControlSizeMini ? fonts.mini : size == NSControlSizeSmall ? fonts.small : fonts.regular;
}

FontLineMetrics fontLineMetrics(CTFontRef font)
{
  const CGFloat ascent = std::ceil(CTFontGetAscent(font));
  const CGFloat descent = std::ceil(CTFontGetDescent(font));
  return {ascent, descent, ascent + descent + std::round(CTFontGetLeading(font))};
}
}  // namespace cocoa
