// Bringing a child program's window to the front, on a virtual X display of the test's
// own with no window manager: the child is the platform demo, shown through SDL.
#include "swell-kernel.h"
#include "x11_stacking.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

TEST(ProcessFront, TheChildsWindowComesAboveOursOnceShown)
{
  if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed";
  // The server picks a free display and names it on its output once it takes connections.
  const char* serverArguments[] = {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"};
  HANDLE server = SWELL_CreateProcessIO("/usr/bin/Xvfb", 7, serverArguments, true);
  ASSERT_NE(server, nullptr);
  char number[16] = {};
  SWELL_ReadWriteProcessIO(server, 1, number, sizeof number - 1);
  const std::string display = ":" + std::string(number, std::strcspn(number, "\n"));
  x11_stacking::Connection* x = x11_stacking::open(display);
  ASSERT_NE(x, nullptr) << display;

  setenv("DISPLAY", display.c_str(), 1);
  setenv("VORNA_BACKEND", "sdl", 1);
  HANDLE demo = SWELL_CreateProcess(VORNA_PLATFORM_DEMO, 0, nullptr);
  ASSERT_NE(demo, nullptr);
  // The demo may map and raise its window in more than one step: wait until the top
  // of the stack has stayed the same for half a second.
  unsigned long demoWindow = 0;
  for (int waited = 0, steady = 0; waited < 20000 && steady < 500; waited += 20)
  {
    Sleep(20);
    const unsigned long top = x11_stacking::topmostShown(x);
    steady = top && top == demoWindow ? steady + 20 : 0;
    demoWindow = top;
  }
  EXPECT_NE(demoWindow, 0u) << "the demo showed no window";

  const unsigned long cover = x11_stacking::showCover(x);
  EXPECT_EQ(x11_stacking::topmostShown(x), cover);
  SWELL_MakeProcessFront(demo);
  // The child raises its window when it handles the request, on its own time.
  unsigned long top = 0;
  for (int waited = 0; waited < 10000 && (top = x11_stacking::topmostShown(x)) != demoWindow; waited += 20) Sleep(20);
  EXPECT_EQ(top, demoWindow);

  x11_stacking::close(x);
  for (HANDLE child : {demo, server})
  {
    SWELL_TerminateProcess(child);
    WaitForSingleObject(child, 5000);
    CloseHandle(child);
  }
}
