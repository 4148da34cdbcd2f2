#include "platform/appkit/screen.h"

#include "platform/backend/backend.h"

namespace cocoa
{
std::vector<NSScreen*> NSScreen::screens()
{
  const std::vector<NSRect> frames = platformBackend().screenFrames();
  const std::vector<NSRect> visible = platformBackend().screenVisibleFrames();
  std::vector<NSScreen*> result;
  for (size_t i = 0; i < frames.size(); ++i)
  {
    NSScreen* screen = new NSScreen(frames[i], i < visible.size() ? visible[i] : frames[i]);
    screen->autorelease();
    result.push_back(screen);
  }
  return result;
}

NSScreen* NSScreen::mainScreen()
{
  const std::vector<NSScreen*> all = screens();
  return all.empty() ? nullptr : all.front();
}

NSScreen* NSScreen::screenContainingPoint(NSPoint point)
{
  const std::vector<NSScreen*> all = screens();
  for (NSScreen* screen : all)
    if (NSPointInRect(point, screen->frame())) return screen;
  return all.empty() ? nullptr : all.front();
}
}  // namespace cocoa
