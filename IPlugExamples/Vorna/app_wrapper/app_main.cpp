#include "app_main.h"

#include "StandaloneMainWindow.h"
#include "Vorna.h"
#include "app_main_window.h"
#include "callback_reports.h"
#include "library_errors.h"
#include "service_calls.h"
#include "swell-wnd.h"

#include <cerrno>
#include <cstdio>

IPlugStandalone* gPluginInstance = nullptr;

HostBackends gHostBackends = {MakeRtAudioDriver, MakeRtMidiIn, MakeRtMidiOut};

namespace
{
bool sLaunchedWithSound = false;

// A service that holds the start for good ends the program with one line that says why.
AudioResult InitWatched()
{
  const ServiceMoment start(gStartWaitLimit, WhenUnanswered::endTheStart);
  return Init();
}

// Each step of the shut-down that talks to the library, its result printed; nothing is asked
// of a client whose server went away.
void OnMidiService(MidiClient* client, void (*step)(MidiClient*))
{
  CallService(gMidiService, [client, step] {
    try
    {
      if (!client->serverWent()) step(client);
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
    }
  });
}
}  // namespace

// Nothing else tells someone at a machine without sound why they hear nothing: one line,
// under the program's own name (vorna, vorna-host), as command-line programs write theirs.
void ReportNoAudioStream(const AudioResult& audio)
{
  std::fprintf(stderr, "%s: no audio stream: %s\n", program_invocation_short_name, audio.why().c_str());
  std::fflush(stderr);
}

bool LaunchedWithSound() { return sLaunchedWithSound; }

intptr_t SWELLAppMain(int msg, intptr_t wParam, intptr_t)
{
  switch (msg)
  {
    case SWELLAPP_ONLOAD: return LoadSettings() ? 0 : 1;
    case SWELLAPP_LAUNCHED:
    {
      const AudioResult audio = InitWatched();
      sLaunchedWithSound = bool(audio);
      if (!audio) ReportNoAudioStream(audio);
      CreateMainWindow();
      return 0;
    }
    case SWELLAPP_WILLTERMINATE:
      if (gHWND) DestroyWindow(gHWND);
      Cleanup();
      return 0;
    case SWELLAPP_MENUCOMMAND:
      if (gHWND && (wParam & 0xFFFF) != 0) SendMessage(gHWND, WM_COMMAND, WPARAM(wParam & 0xFFFF), 0);
      return 0;
    // Quitting is never delayed, files are not opened, keys and activation are the layer's.
    default: return 0;
  }
}

AudioResult Init()
{
  // A new run knows nothing of what was picked in another.
  for (PickedNames* picks : {&gAudioInputPicks, &gAudioOutputPicks, &gMidiInputPicks, &gMidiOutputPicks})
    *picks = PickedNames();
  const AudioResult driver = TryToChangeAudioDriverType();
  ProbeAudioIO();
  InitialiseMidi();
  ProbeMidiIO();
  // The plug-in builds its editor on the platform's view.
  Vorna::SetGraphicsMaker(MakeGraphics);
  gPluginInstance = MakePlug(gMidiOut ? gMidiOut->native() : nullptr, &gState.midiOutChan);
  // The sound always starts from the default preset.
  gPluginInstance->RestorePreset(0);
  ChooseMidiInput(gState.midiInDev);
  ChooseMidiOutput(gState.midiOutDev);
  // Without a driver the stream cannot say why it did not open; the driver can.
  return driver ? TryToChangeAudio() : driver;
}

void Cleanup()
{
  const ServiceMoment quit(gQuitWaitLimit, WhenUnanswered::endTheQuit);
  // Nothing is asked of a client whose server went away.
  LookAtServices();
  StopAudioStream(false);
  if (gMidiIn)
    OnMidiService(gMidiIn.get(), [](MidiClient* input) {
      static_cast<MidiIn*>(input)->cancelCallback();
      if (!input->serverWent()) input->closePort();
    });
  if (gMidiOut) OnMidiService(gMidiOut.get(), [](MidiClient* output) { output->closePort(); });
  CloseAudioStream();
  // Only deleting the input stops its thread: a message it took while the stream still ran
  // may be on its way to the plug-in until then. The output goes after the plug-in, which
  // sends through it.
  DisposeOn(gMidiService, std::move(gMidiIn));
  delete gPluginInstance;
  gPluginInstance = nullptr;
  DisposeOn(gMidiService, std::move(gMidiOut));
  DisposeOn(gAudioService, std::move(gDAC));
  ReportCallbackEvents();
}

void LookAtServices()
{
  SayServicesBack();
  DropLostAudio();
  DropLostMidi();
}
