// Vorna, the application: the synthesizer's editor in its main window, played from a MIDI
// port through ALSA, PulseAudio or JACK; Preferences picks the driver, devices, channels,
// sizes, rate and MIDI ports. Settings live in $XDG_CONFIG_HOME/Vorna/settings.ini (default
// ~/.config/Vorna/). File > Quit, closing the window, Ctrl+C and SIGTERM quit in order.
//
// Without a display it starts all the same and plays, with no window to see, until
// Ctrl+C or SIGTERM.
//
// When no audio stream opens it says why in one line on stderr and runs on without sound.

#include "app_main.h"
#include "app_menu.h"
#include "callback_reports.h"
#include "swell-app.h"

#include "platform/appkit/application.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <time.h>

namespace
{
std::atomic<bool> sQuitAsked{false};

void AskToQuit(int) { sQuitAsked.store(true); }

// Without a display nothing needs the run loop: the main thread only prints what the
// callbacks noted, looks at the services, and waits for a quit.
void RunWithoutDisplay()
{
  struct sigaction action = {};
  action.sa_handler = AskToQuit;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  constexpr long kLookNanoseconds = 50 * 1000 * 1000;
  while (!sQuitAsked.load() && !cocoa::NSApp()->hasTerminated())
  {
    ReportCallbackEvents();
    LookAtServices();
    const timespec pause = {0, kLookNanoseconds};
    nanosleep(&pause, nullptr);
  }
  cocoa::NSApp()->terminate(nullptr);
}
}  // namespace

int main()
{
  cocoa::NSAutoreleasePool pool;
  // The application object first, so that every event passes it; both live as long as
  // the process.
  new SWELLApplication;
  auto* controller = new SWELLAppController;
  // What the interface file of a bundle would hold: the main menu, reaching the host
  // through the controller.
  InstallApplicationMainMenu(controller);
  if (std::strcmp(cocoa::platformBackend().name(), "headless") == 0)
  {
    controller->awakeFromNib();
    cocoa::NSApp()->finishLaunching();
    RunWithoutDisplay();
    return 0;
  }
  cocoa::installTerminationSignalHandlers();
  controller->awakeFromNib();
  cocoa::NSApp()->run();
  return 0;
}
