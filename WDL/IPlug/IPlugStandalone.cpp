#include "IPlugStandalone.h"

#include "IGraphics.h"
#include "StandaloneMainWindow.h"

#include <rtmidi/RtMidi.h>

#include <exception>

namespace
{
constexpr int kStandaloneBlockSize = 1024;

// The length of a MIDI message by its status byte: channel messages carry one
// or two data bytes, and so do a few system messages; the rest stand alone.
size_t MidiMessageLength(unsigned char status)
{
  switch (status >> 4)
  {
    case IMidiMsg::kProgramChange:
    case IMidiMsg::kChannelAftertouch: return 2;
    case 0xF: break;
    default: return 3;
  }
  switch (status)
  {
    case 0xF1:  // time code quarter frame
    case 0xF3: return 2;  // song select
    case 0xF2: return 3;  // song position
    default: return 1;
  }
}
}  // namespace

IPlugStandalone::IPlugStandalone(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                                 const char* effectName, const char* productName, const char* mfrName,
                                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                                 bool plugDoesChunks, bool plugIsInst, int)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIStandalone),
      mMidiOut(instanceInfo.mMidiOut),
      mMidiOutChannel(instanceInfo.mMidiOutChannel)
{
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  SetBlockSize(kStandaloneBlockSize);
  SetHost("standalone", vendorVersion);
}

void IPlugStandalone::ResizeGraphics(int, int)
{
  const IGraphics* gui = GetGUI();
  if (!gui) return;
  FitMainWindowToEditor(gui->Width(), gui->Height());
  OnWindowResize();
}

bool IPlugStandalone::SendMidiMsg(IMidiMsg* msg)
{
  if (!msg || !DoesMIDI() || !mMidiOut.load(std::memory_order_acquire)) return false;

  unsigned char status = msg->mStatus;
  // Only channel messages move to the chosen channel; setting 0 keeps every
  // message on its own channel, and system messages have none.
  const unsigned short channel = mMidiOutChannel ? *mMidiOutChannel : 0;
  if (channel >= 1 && channel <= 16 && msg->StatusMsg() != IMidiMsg::kNone)
    status = static_cast<unsigned char>((msg->StatusMsg() << 4) | (channel - 1));

  const unsigned char bytes[3] = {status, msg->mData1, msg->mData2};
  return SendMidiBytes(bytes, MidiMessageLength(status));
}

bool IPlugStandalone::SendSysEx(ISysEx* sysex)
{
  if (!sysex || !mMidiOut.load(std::memory_order_acquire)) return false;
  const size_t size = (sysex->mData && sysex->mSize > 0) ? static_cast<size_t>(sysex->mSize) : 0;
  return SendMidiBytes(sysex->mData, size);
}

bool IPlugStandalone::SendMidiBytes(const unsigned char* bytes, size_t size)
{
  RtMidiOut* out = mMidiOut.load(std::memory_order_acquire);
  if (!out) return false;
  try
  {
    out->sendMessage(bytes, size);
  }
  catch (const std::exception&)
  {
    // RtMidiError among them: a failed send must never end the program.
    return false;
  }
  return true;
}

void IPlugStandalone::LockMutexAndProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  WDL_MutexLock lock(&mMutex);
  ProcessDoubleReplacing(inputs, outputs, nFrames);
}
