// Bringing a child program's window to the front, on a virtual X display of the test's
// own with no window manager: the child is the platform demo, shown through SDL.
#include "swell-kernel.h"
#include "x11_stacking.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace
{
std::string freeDisplay()
{
  for (int n = 150; n < 200; ++n)
  {
    const std::string number = std::to_string(n);
    if (access(("/tmp/.X11-unix/X" + number).c_str(), F_OK) != 0 &&
        access(("/tmp/.X" + number + "-lock").c_str(), F_OK) != 0)
      return ":" + number;
  }
  return "";
}

void endChild(HANDLE child)
{
  SWELL_TerminateProcess(child);
  WaitForSingleObject(child, 5000);
  CloseHandle(child);
}
}  // namespace

TEST(ProcessFront, TheChildsWindowComesAboveOursOnceShown)
{
  if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed";
  const std::string display = freeDisplay();
  ASSERT_FALSE(display.empty());
  const char* serverArguments[] = {display.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp"};
  HANDLE server = SWELL_CreateProcess("/usr/bin/Xvfb", 6, serverArguments);
  ASSERT_NE(server, nullptr);
  x11_stacking::Connection* x = x11_stacking::openWithin(display, 10000);
  if (!x) endChild(server);
  ASSERT_NE(x, nullptr);

  setenv("DISPLAY", display.c_str(), 1);
  setenv("VORNA_BACKEND", "sdl", 1);
  HANDLE demo = SWELL_CreateProcess(VORNA_PLATFORM_DEMO, 0, nullptr);
  ASSERT_NE(demo, nullptr);
  unsigned long demoWindow = 0;
  for (int waited = 0; waited < 20000 && !demoWindow; waited += 20)
  {
    Sleep(20);
    demoWindow = x11_stacking::topmostShown(x);
  }
  EXPECT_NE(demoWindow, 0u) << "the demo showed no window";

  const unsigned long cover = x11_stacking::showCover(x);
  EXPECT_EQ(x11_stacking::topmostShown(x), cover);
  SWELL_MakeProcessFront(demo);
  EXPECT_EQ(x11_stacking::topmostShown(x), demoWindow);

  x11_stacking::close(x);
  endChild(demo);
  endChild(server);
}
