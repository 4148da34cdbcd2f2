#include "Vorna.h"

#include "ThreadPool.h"
#include "globals.h"
#include "mutex.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace
{
double Cube(double x) { return x * x * x; }
}  // namespace

Vorna::Vorna(IPlugInstanceInfo instanceInfo)
    : IPlugStandalone(std::move(instanceInfo), kNumParams, kChannelIO, kNumPresets, kEffectName, "", kMfrName,
                      kVersion, kUniqueID, kMfrID, 0, true, true, true, 0)
{
  for (int i = 0; i < 2; ++i)
    mAuxEnv[i].SetTimes(kInitialFollowerSeconds, kInitialFollowerSeconds, PlugG::SR);
  for (std::atomic<int>& cc : mLearnedCC) cc.store(-1, std::memory_order_relaxed);

  CreateUI();
  SetMultithreading(false);

  for (int p = 0; p < kNumParams; ++p)
  {
    mSmoothIncrement[p] = 0.0;
    mSmoothing[p] = false;
    mSmoothCurrent[p] = mSmoothTarget[p] = GetParam(p)->GetDefault();
  }
  mAnySmoothing = false;
  mBlockLength = kMaxRampLength;
  mBendUsesBpm = false;
  mLoadingState = false;

  WireSignals();
  DefineCCMappings();

  if (GetHost() == kHostReaper)
  {
    mMaskInput = true;
    MarkStateChanged();
  }

  MakeDefaultPreset(kDefaultPresetName, kNumPresets);
  RestorePreset(0);
}

Vorna::~Vorna() = default;

void Vorna::CreateUI()
{
  InitiateParams();
  SetParamsShapes();
  SetParamsDisplayTexts();
  BuildEditor();
}

void Vorna::InitiateParams() { DeclareVornaParams(*this); }

void Vorna::SetParamsShapes() { SetVornaParamShapes(*this); }

void Vorna::SetParamsDisplayTexts() { SetVornaParamDisplayTexts(*this); }

void Vorna::CreatePresets() { MakeDefaultPreset(kDefaultPresetName, kNumPresets); }

void Vorna::SetMultithreading(bool on)
{
  mMultithreading = on;
  const int n = std::min(static_cast<int>(std::thread::hardware_concurrency()), kMaxThreads);
  if (n > 1 && on)
  {
    mPoolOn = true;
    mPool.reset();  // the old workers finish and end before new ones start
    mPool = std::make_unique<ThreadPool>(static_cast<unsigned int>(n));
    mRedistribute = true;
  }
  else
  {
    mPoolOn = false;
    mPool.reset();
    mRedistribute = false;
  }
}

void Vorna::WireSignals()
{
  VoiceTables& tables = mVoiceManager.GetVoiceTables();
  mMIDIReceiver.mNoteOn.Connect(&tables, &VoiceTables::OnNoteOn);
  mMIDIReceiver.mNoteOff.Connect(&tables, &VoiceTables::OnNoteOff);
  mMIDIReceiver.mAllNotesOff.Connect(&tables, &VoiceTables::OnAllVoicesOff);
  mMIDIReceiver.mTextureModifier.Connect(&tables, &VoiceTables::OnTextureModifier);
  mMIDIReceiver.mPitchWheel.Connect(&mVoiceManager, &VoiceManager::OnPitchWheel);
  mMIDIReceiver.mControllerValue.Connect(this, &Vorna::SetParamFromCC);
  mMIDIReceiver.mLearned.Connect(this, &Vorna::UpdateControlLearnedCC);
  tables.mVoiceActivated.Connect(this, &Vorna::OnActiveVoicesChange);
  tables.mVoiceDeactivated.Connect(this, &Vorna::OnActiveVoicesChange);
}

void Vorna::DefineCCMappings()
{
  // The same curve the FM amount knobs use: fine control near no modulation.
  mCCMappings[kFm1Amnt] = {Cube, 's'};
  mCCMappings[kFm2Amnt] = {Cube, 's'};
}

void Vorna::OnActiveVoicesChange(int)
{
  if (mPoolOn) mRedistribute = true;
}

void Vorna::SeedRandom(uint64_t seed)
{
  WDL_MutexLock lock(&mMutex);
  mVoiceManager.GetRandom().Seed(seed);
}

void Vorna::MarkStateChanged()
{
  if (mLoadingState) return;
  InformHostOfParamChange(0, GetParam(0)->GetNormalized());
}

Vorna* MakePlug(void* midiOutput, unsigned short* midiOutChannel)
{
  static WDL_Mutex creationMutex;
  WDL_MutexLock lock(&creationMutex);
  IPlugInstanceInfo info;
  info.mBundleID.Set(Vorna::kBundleID);
  info.mMidiOut = static_cast<RtMidiOut*>(midiOutput);
  info.mMidiOutChannel = midiOutChannel;
  return new Vorna(std::move(info));
}
