#pragma once

#include "IPlugBase.h"
#include "wdlstring.h"

#include <atomic>
#include <cstddef>

class RtMidiOut;

// What the application hands to the plug-in it creates. The MIDI output and
// the channel setting belong to the application and outlive the plug-in.
struct IPlugInstanceInfo
{
  WDL_String mBundleID;
  RtMidiOut* mMidiOut = nullptr;
  // 0 sends every message on its own channel; 1 to 16 moves channel messages to that channel.
  unsigned short* mMidiOutChannel = nullptr;
};

// A plug-in that runs inside its own application: it answers the host's
// questions itself, processes under the plug-in mutex and sends MIDI to the
// application's output port.
class IPlugStandalone : public IPlugBase
{
public:
  // The IPlugBase arguments without the API; the last argument is not used.
  IPlugStandalone(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                  const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
                  int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                  int plugScChans);

  // There is no host to inform.
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}

  // A free-running transport: position 0 at 120 beats per minute.
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}

  // Fits the application's main window to the editor's size (the arguments are not used).
  void ResizeGraphics(int width, int height) override;

  bool SendMidiMsg(IMidiMsg* msg) override;
  bool SendSysEx(ISysEx* sysex) override;
  // The application's output made after the plug-in (its MIDI service was not there before).
  void SetMidiOut(RtMidiOut* midiOut) { mMidiOut.store(midiOut, std::memory_order_release); }

  // The application's audio callback calls this once per sub-block.
  void LockMutexAndProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);

protected:
  // The one road to the MIDI output; false when the output refused the bytes.
  virtual bool SendMidiBytes(const unsigned char* bytes, size_t size);

private:
  // Read by whatever thread sends while the main thread may set it.
  std::atomic<RtMidiOut*> mMidiOut;
  unsigned short* mMidiOutChannel;
};
