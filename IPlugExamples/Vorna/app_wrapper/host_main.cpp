// The application without its window, for playing through JACK, ALSA or
// PulseAudio from a terminal: it starts as the application does, through the
// window layer's application shell (load, launch), plays until SIGINT or SIGTERM,
// then terminates through the shell, which shuts down in order. When no audio stream
// opens it says why on stderr, shuts down the same way and exits with status 1. A stream lost
// while it plays (its server went away) is said, and tried again every few seconds until
// sound is back; a quit before then ends with status 1 too. Settings come from
// $XDG_CONFIG_HOME/Vorna/settings.ini (default ~/.config/Vorna/).
//
//   vorna-host [--set "NAME=VALUE"]...
//
// --set changes a parameter of the sound once the application has started, as
// the editor would (names and values as vorna-render takes them).

#include "app_main.h"
#include "IPlugStandalone.h"
#include "VornaParams.h"
#include "callback_reports.h"
#include "service_calls.h"
#include "swell-app.h"

#include "platform/backend/backend.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <time.h>

namespace
{
std::atomic<bool> sQuitAsked{false};

void AskToQuit(int) { sQuitAsked.store(true); }

// How often the main thread prints what the callbacks noted and looks for a quit.
constexpr long kLookNanoseconds = 20 * 1000 * 1000;
// How often a host that lost its sound tries again: often enough that a server started again
// is soon heard, seldom enough that the tries cost nothing and print little.
constexpr int kLooksBetweenTries = 100;  // 2 s

// There is no Preferences here to bring the services back: the host makes again what their
// going took (the driver, the MIDI clients and their ports) and opens the stream.
void TryToPlayAgain()
{
  const ServiceMoment moment(gServiceWaitLimit, WhenUnanswered::goOn);
  // Each try would say the same missing client again: the loss has been said once.
  RetryMidiClients(false);
  OpenMidiPortsAsSet();
  if (AudioStreamRuns()) return;
  if (!gDAC && !TryToChangeAudioDriverType()) return;
  if (ProbeAudioIO()) TryToChangeAudio();
}

// Through the shell, which shuts down in order.
void ShutDown()
{
  cocoa::NSApp()->terminate(nullptr);
  std::printf("vorna-host: stopped\n");
}
}  // namespace

int main(int argc, char** argv)
{
  std::vector<ParamSetting> settings;
  for (int i = 1; i < argc; ++i)
  {
    ParamSetting setting;
    std::string error = "usage: vorna-host [--set \"NAME=VALUE\"]...";
    if (std::strcmp(argv[i], "--set") != 0 || i + 1 == argc || !ParseParamSetting(argv[++i], &setting, &error))
    {
      std::fprintf(stderr, "vorna-host: %s\n", error.c_str());
      return 2;
    }
    settings.push_back(setting);
  }

  struct sigaction action = {};
  action.sa_handler = AskToQuit;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  // The application object is made first, so that it is the one every event passes. There
  // are no windows to show, so no display is opened.
  new SWELLApplication;
  cocoa::setPlatformBackend(cocoa::makeHeadlessBackend());
  auto* controller = new SWELLAppController;
  controller->awakeFromNib();
  if (!SettingsFileIsNamed())
    std::printf("vorna-host: the settings folder cannot be made; running with the defaults\n");
  cocoa::NSApp()->finishLaunching();
  // A host that makes no sound is of no use to whoever started it from a terminal or a
  // script: the launch has said why on stderr, and the status says it failed.
  if (!LaunchedWithSound())
  {
    gQuitStatus = 1;
    ShutDown();
    return 1;
  }
  for (const ParamSetting& s : settings)
    gPluginInstance->SetParameterFromGUI(s.paramIdx, gPluginInstance->GetParam(s.paramIdx)->GetNormalized(s.value));
  std::printf("vorna-host: running (settings %s); Ctrl+C quits\n", gINIPath);
  std::fflush(stdout);

  int looksToTry = kLooksBetweenTries;
  bool hadSound = true;
  while (!sQuitAsked.load())
  {
    ReportCallbackEvents();
    LookAtServices();
    const bool sound = AudioStreamRuns();
    if (sound != hadSound)
    {
      if (sound) std::printf("vorna-host: sound is back\n");
      else
        std::printf("vorna-host: trying again every %.0f s until sound is back\n",
                    kLooksBetweenTries * double(kLookNanoseconds) / 1e9);
      std::fflush(stdout);
      hadSound = sound;
      // A quit without sound says so by its status, as a start without sound does.
      gQuitStatus = sound ? 0 : 1;
    }
    if (sound && !MidiWasDropped()) looksToTry = kLooksBetweenTries;
    else if (--looksToTry <= 0)
    {
      looksToTry = kLooksBetweenTries;
      TryToPlayAgain();
    }
    const timespec pause = {0, kLookNanoseconds};
    nanosleep(&pause, nullptr);
  }
  ShutDown();
  return gQuitStatus;
}
