// The application without its window, for playing through JACK, ALSA or
// PulseAudio from a terminal: it starts as the application does, plays until
// SIGINT or SIGTERM, then shuts down in order. Settings come from
// $XDG_CONFIG_HOME/Vorna/settings.ini (default ~/.config/Vorna/).

#include "app_main.h"
#include "callback_reports.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <time.h>

namespace
{
std::atomic<bool> sQuitAsked{false};

void AskToQuit(int) { sQuitAsked.store(true); }

// How often the main thread prints what the callbacks noted and looks for a quit.
constexpr long kLookNanoseconds = 20 * 1000 * 1000;
}  // namespace

int main()
{
  struct sigaction action = {};
  action.sa_handler = AskToQuit;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  if (SWELLAppMain(SWELLAPP_ONLOAD, 0, 0) != 0)
    std::printf("vorna-host: the settings folder cannot be made; running with the defaults\n");
  SWELLAppMain(SWELLAPP_LAUNCHED, 0, 0);
  std::printf("vorna-host: running (settings %s); Ctrl+C quits\n", gINIPath);
  std::fflush(stdout);

  while (!sQuitAsked.load())
  {
    ReportCallbackEvents();
    const timespec pause = {0, kLookNanoseconds};
    nanosleep(&pause, nullptr);
  }
  SWELLAppMain(SWELLAPP_WILLTERMINATE, 0, 0);
  std::printf("vorna-host: stopped\n");
  return 0;
}
