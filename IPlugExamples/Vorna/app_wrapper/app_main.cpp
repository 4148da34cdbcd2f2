#include "app_main.h"

#include "Vorna.h"
#include "callback_reports.h"
#include "library_errors.h"

IPlugStandalone* gPluginInstance = nullptr;

HostBackends gHostBackends = {MakeRtAudioDriver, MakeRtMidiIn, MakeRtMidiOut};

intptr_t SWELLAppMain(int msg, intptr_t, intptr_t)
{
  switch (msg)
  {
    case SWELLAPP_ONLOAD: return LoadSettings() ? 0 : 1;
    case SWELLAPP_LAUNCHED: Init(); return 0;
    case SWELLAPP_WILLTERMINATE: Cleanup(); return 0;
    // Menu commands are for the main window, which comes with the window layer's dialogs.
    default: return 0;
  }
}

bool Init()
{
  TryToChangeAudioDriverType();
  ProbeAudioIO();
  InitialiseMidi();
  ProbeMidiIO();
  gPluginInstance = MakePlug(gMidiOut ? gMidiOut->native() : nullptr, &gState.midiOutChan);
  // The sound always starts from the default preset.
  gPluginInstance->RestorePreset(0);
  ChooseMidiInput(gState.midiInDev);
  ChooseMidiOutput(gState.midiOutDev);
  return TryToChangeAudio();
}

void Cleanup()
{
  StopAudioStream(false);
  if (gMidiIn)
  {
    try
    {
      gMidiIn->cancelCallback();
      gMidiIn->closePort();
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
    }
  }
  if (gMidiOut)
  {
    try
    {
      gMidiOut->closePort();
    }
    catch (const std::exception& error)
    {
      PrintLibraryError(error);
    }
  }
  CloseAudioStream();
  delete gPluginInstance;
  gPluginInstance = nullptr;
  gMidiIn.reset();
  gMidiOut.reset();
  gDAC.reset();
  ReportCallbackEvents();
}
