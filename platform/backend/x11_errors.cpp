#include "platform/backend/x11_errors.h"

namespace cocoa
{
namespace
{
XErrorHandler sBefore = nullptr;
bool sInstalled = false;
}  // namespace

int passOverVanishedWindows(Display* display, XErrorEvent* error)
{
  // BadMatch is what focusing or drawing into a window that was unmapped meanwhile meets.
  if (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch) return 0;
  return sBefore ? sBefore(display, error) : 0;
}

void tolerateVanishedWindows()
{
  if (sInstalled) return;
  sInstalled = true;
  sBefore = XSetErrorHandler(passOverVanishedWindows);
}
}  // namespace cocoa
