// Vorna, the application: the synthesizer's editor in its main window, played from a MIDI
// port through ALSA, PulseAudio or JACK; Preferences picks the driver, devices, channels,
// sizes, rate and MIDI ports. Settings live in $XDG_CONFIG_HOME/Vorna/settings.ini (default
// ~/.config/Vorna/). File > Quit, closing the window, Ctrl+C and SIGTERM quit in order.
//
// Without a display it runs all the same (no window to see), until SIGTERM or Ctrl+C.

#include "app_menu.h"
#include "swell-app.h"

#include "platform/appkit/application.h"
#include "platform/foundation/autorelease_pool.h"

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
  cocoa::installTerminationSignalHandlers();
  controller->awakeFromNib();
  cocoa::NSApp()->run();
  return 0;
}
