#include "IPlugBase.h"

#include "IGraphics.h"
#include "IPlugVersion.h"
#include "Log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
void CopyName(char* field, const char* name)
{
  std::snprintf(field, IPlugBase::kMaxNameSize, "%s", name ? name : "");
}
}  // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mDoesMIDI(plugDoesMidi),
      mLatency(latency)
{
  Trace(__FUNCTION__, __LINE__, "%s", CurrentTime());

  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i) mPresets.Add(new IPreset);

  CopyName(mEffectName, effectName);
  CopyName(mProductName, productName);
  CopyName(mMfrName, mfrName);

  int nInputs = 0;
  int nOutputs = 0;
  ParseChannelIO(channelIOStr, &nInputs, &nOutputs);

  // The channel records point into these arrays: they are sized once, here.
  mInData.Resize(nInputs);
  mOutData.Resize(nOutputs);
  for (int i = 0; i < mInData.GetSize(); ++i)
  {
    mInData.Get()[i] = nullptr;
    InChannel* ch = new InChannel;
    ch->mSrc = mInData.Get() + i;
    mInChannels.Add(ch);
  }
  for (int i = 0; i < mOutData.GetSize(); ++i)
  {
    mOutData.Get()[i] = nullptr;
    OutChannel* ch = new OutChannel;
    ch->mDest = mOutData.Get() + i;
    mOutChannels.Add(ch);
  }
}

IPlugBase::~IPlugBase()
{
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
}

void IPlugBase::Reset()
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnParamChange(int)
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnActivate(bool)
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg) { SendMidiMsg(msg); }

bool IPlugBase::MidiNoteName(int, char* noteName)
{
  if (noteName) noteName[0] = 0;
  return false;
}

bool IPlugBase::SerializeState(ByteChunk* chunk) { return SerializeParams(chunk); }

int IPlugBase::UnserializeState(ByteChunk* chunk, int startPos) { return UnserializeParams(chunk, startPos); }

int IPlugBase::GetEffectVersion(bool decimal) const { return decimal ? GetDecimalVersion(mVersion) : mVersion; }

void IPlugBase::GetEffectVersionStr(char* out) const { GetVersionStr(mVersion, out); }

int IPlugBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* out)
{
  GetHost();
  GetVersionStr(mHostVersion, out);
}

const char* IPlugBase::GetAPIString()
{
  switch (GetAPI())
  {
    case kAPIVST2: return "VST2";
    case kAPIVST3: return "VST3";
    case kAPIAU: return "AU";
    case kAPIRTAS: return "RTAS";
    case kAPIAAX: return "AAX";
    case kAPIStandalone: return "Standalone";
  }
  return "";
}

void IPlugBase::SetHost(const char* name, int version)
{
  mHost = LookUpHost(name);
  mHostVersion = version;
}

double IPlugBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

void IPlugBase::OnParamReset()
{
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void IPlugBase::DirtyParameters()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  WDL_MutexLock lock(&mMutex);
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPlugBase::AttachGraphics(IGraphics* graphics)
{
  if (!graphics) return;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  graphics->PrepDraw();
  // The plug-in owns its editor: one attached before would otherwise leak.
  if (mGraphics != graphics) delete mGraphics;
  mGraphics = graphics;
}

void IPlugBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

bool IPlugBase::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs)
{
  if (!msgs) return true;
  bool allSent = true;
  for (int i = 0; i < msgs->GetSize(); ++i) allSent = SendMidiMsg(msgs->Get() + i) && allSent;
  return allSent;
}
