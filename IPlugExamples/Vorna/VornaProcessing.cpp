#include "Vorna.h"

#include "DenormalGuard.h"
#include "globals.h"

#include <algorithm>
#include <cmath>

void Vorna::ProcessMidiMsg(IMidiMsg* msg)
{
  if (msg) mMIDIReceiver.OnMessageReceived(msg);
}

void Vorna::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  DenormalGuard denormalGuard;
  const int n = std::max(nFrames, 0);
  mBlockLength = std::min(n, kMaxRampLength);
  mMIDIReceiver.ResetNoteOnCount();

  const bool standalone = GetAPI() == kAPIStandalone;
  if (mBendUsesBpm && !standalone) ApplyTempo(GetTempo());

  // The standalone application has one stereo input, which serves every input.
  // "Mask input" always subtracts the first pair.
  const int lastPair = std::max(NInChannels() / 2 - 1, 0);
  const bool mask = mMaskInput;
  int pairOf[3];
  bool pairRead[kInputPairs] = {};
  for (int which = 0; which < 3; ++which)
  {
    pairOf[which] = standalone ? 0 : std::min(mInputPairSel[which].load(), lastPair);
    pairRead[pairOf[which]] = true;
  }
  pairRead[0] = pairRead[0] || mask;

  // Every input is read through its bounded copy, one slice at a time.
  for (int first = 0; first < n; first += BoundedInputs::kSliceFrames)
  {
    const int frames = std::min(BoundedInputs::kSliceFrames, n - first);
    for (int pair = 0; pair < kInputPairs; ++pair)
      if (pairRead[pair]) mBoundedIn.ReadPair(inputs, pair, first, frames);
    for (int which = 0; which < 3; ++which)
    {
      mExtIn[2 * which] = mBoundedIn.Channel(pairOf[which], 0);
      mExtIn[2 * which + 1] = mBoundedIn.Channel(pairOf[which], 1);
    }
    double* slice[2] = {outputs[0] + first, outputs[1] + first};
    SingleThreadBlockProcessing(inputs, slice, frames);
    if (mask)
    {
      for (int c = 0; c < 2; ++c)
      {
        const double* in = mBoundedIn.Channel(0, c);
        for (int i = 0; i < frames; ++i) slice[c][i] -= in[i];
      }
    }
  }

  mMIDIReceiver.Flush(n);
  mMIDIReceiver.ResetSampleCounter();
}

void Vorna::SingleThreadBlockProcessing(double**, double** outputs, int nFrames)
{
  VoiceDataSingleton& data = mVoiceManager.GetVoiceData();
  const VoiceTables& tables = mVoiceManager.GetVoiceTables();
  for (int i = 0; i < nFrames;)
  {
    mMIDIReceiver.Advance();
    if (mAnySmoothing) GlideParams();

    bool following = false;
    for (int k = 0; k < 2; ++k)
    {
      // Follower 1 listens to the FM input's left channel, follower 2 to its right.
      if (data.fmSource[k] == VoiceDataSingleton::kFmAuxEnv)
      {
        mAuxEnvOut[k] = mAuxEnv[k].Process(*mExtIn[k]);
        following = true;
      }
      else
        mAuxEnvOut[k] = 0.0;
    }

    int frames = 1;
    if (tables.GetActiveCount() > 0)
    {
      // Parameter glides and followers move every frame; otherwise the engine
      // may take the frames up to the next message in one run.
      const int most = mAnySmoothing || following ? 1 : std::min(nFrames - i, mMIDIReceiver.FramesBeforeNextMessage());
      frames = mVoiceManager.RenderFrames(outputs[0] + i, outputs[1] + i, most, mExtIn, mAuxEnvOut);
      mMIDIReceiver.SkipRunRest(frames);
    }
    else
    {
      // Never leave what the buffer held before: silence.
      outputs[0][i] = 0.0;
      outputs[1][i] = 0.0;
    }

    for (double*& in : mExtIn) in += frames;
    i += frames;
  }
}

void Vorna::Reset()
{
  WDL_MutexLock lock(&mMutex);
  const double rate = GetSampleRate();
  // Only a real rate reaches the engine; anything else keeps the one in use.
  if (std::isfinite(rate) && rate > 0.0 && rate != PlugG::SR)
  {
    PlugG::SetSampleRate(rate);
    mVoiceManager.UpdateSampleRate();
    ReapplyRateDependentParams();
  }
  // Every Reset, so that the followers behave alike at every device rate.
  for (EnvelopeDetector& follower : mAuxEnv)
    follower.SetTimes(kFollowerAttackSeconds, kFollowerReleaseSeconds, PlugG::SR);

  // The standalone host answers a fixed tempo; the user's own stays.
  if (GetAPI() != kAPIStandalone) ApplyTempo(GetTempo());

  for (int k = 0; k < 2; ++k)
  {
    mAuxEnv[k].Reset();
    mAuxEnvOut[k] = 0.0;
  }
  mVoiceManager.Reset();
  mMIDIReceiver.Resize(GetBlockSize());
}

void Vorna::ApplyTempo(double bpm)
{
  if (std::isnan(bpm)) return;
  const double clamped = std::clamp(bpm, kMinTempo, kMaxTempo);
  if (clamped == PlugG::HOST_BPM) return;
  PlugG::SetHostBPM(clamped);
  mVoiceManager.UpdateHostBPM();
}
