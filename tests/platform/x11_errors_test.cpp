// The process-wide X error handler the desktop backend installs: a request that meets a
// window already destroyed on another connection ends nothing; other errors still reach the
// handler that was there before (SDL's, or Xlib's own, which ends the process).
#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool) take names it uses.
#include "platform/backend/x11_errors.h"

namespace
{
int sPassedOn = 0;
int recordPassedOn(Display*, XErrorEvent*)
{
  ++sPassedOn;
  return 0;
}
}  // namespace

TEST(X11Errors, AWindowThatWentMeanwhileEndsNothingAndOtherErrorsGoOn)
{
  XSetErrorHandler(recordPassedOn);
  cocoa::tolerateVanishedWindows();
  cocoa::tolerateVanishedWindows();  // a second start of the backend installs nothing more
  // The handler in force for every connection is the backend's.
  EXPECT_EQ(XSetErrorHandler(cocoa::passOverVanishedWindows), cocoa::passOverVanishedWindows);

  XErrorEvent error{};
  error.type = 0;
  for (unsigned char code : {BadWindow, BadDrawable, BadMatch})
  {
    error.error_code = code;
    EXPECT_EQ(cocoa::passOverVanishedWindows(nullptr, &error), 0);
  }
  EXPECT_EQ(sPassedOn, 0);
  for (unsigned char code : {BadAlloc, BadValue, BadAccess})
  {
    error.error_code = code;
    cocoa::passOverVanishedWindows(nullptr, &error);
  }
  EXPECT_EQ(sPassedOn, 3);
}
