#include "MIDIReceiver.h"
#include "engine_rig.h"
#include "heap_counter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace engine_test;

namespace
{
constexpr int kSampleRate = 48000;
constexpr int kSeconds = 10;
constexpr int kBlock = 64;

// A heavy patch: both oscillators, noise, FM, oscillator AM, hard sync, DC
// removal, oversampling, a driven ladder with its envelope, a formant filter,
// and every shiver walking.
void HeavyPatch(VoiceManager& e)
{
  VoiceDataSingleton& d = e.GetVoiceData();
  e.SetOscWave(0, kOscSaw);
  e.SetOscWave(1, kOscSinc);
  e.SetFltModel(0, kFltTLadder);
  e.SetFltModel(1, kFltFormant);
  e.SetFltFreq(0, 800.0);
  e.SetFltEnvAmnt(0, 0.7);
  e.SetFltFollowNote(1, 1.0);
  e.SetOscOversampling(0, 1);
  e.SetDCRemoval(1, true);
  e.SetOscFreqRatio(1, 1.5);
  for (int v = 0; v < VoiceManager::kNumVoices; ++v)
  {
    e.GetVoice(v).GetFilter(0).SetDrive(0.8, false);
    e.GetVoice(v).GetFilter(0).SetResonance(0.7, false);
  }
  d.noiseAmount[0] = 0.2;
  d.inputAmount[1] = 0.3;
  d.amDepth[1] = 0.5;
  d.fmAmount[0] = 0.4;
  d.fmSource[0] = VoiceDataSingleton::kFmFilter;
  d.fmAmount[1] = 0.2;
  d.fmSource[1] = VoiceDataSingleton::kFmEnvelope;
  d.oscAmAmount[0] = 0.5;
  d.oscAmThreshold[0].Set(0.3);
  d.addExtToOscAm[0] = true;
  d.hardSyncMaster = 2;
  d.hardSyncPeriod = 2;
  d.hardSyncSoftLength = 20;
  e.GetTuneShiver().SetAmount(0, 0.5);
  e.GetBendShiver().SetAmount(1, 0.6);
  e.GetPanShiver().SetAmount(0, 0.5);
  e.GetCutoffShiver().SetAmount(0, 0.4);
  e.GetBendShiver().SetSyncMode(kShiverSyncVoice);
  e.GetPanShiver().SetSyncMode(kShiverSyncOsc);
}

// The plug-in's wiring of the receiver to the engine.
void Connect(MIDIReceiver& r, VoiceManager& e)
{
  VoiceTables& t = e.GetVoiceTables();
  r.mNoteOn.Connect(&t, &VoiceTables::OnNoteOn);
  r.mNoteOff.Connect(&t, &VoiceTables::OnNoteOff);
  r.mAllNotesOff.Connect(&t, &VoiceTables::OnAllVoicesOff);
  r.mTextureModifier.Connect(&t, &VoiceTables::OnTextureModifier);
  r.mPitchWheel.Connect(&e, &VoiceManager::OnPitchWheel);
}

// Deterministic traffic: many overlapping notes per block, so that nearly every
// note-on steals, with pedals, the wheel and now and then all-notes-off.
class Traffic
{
public:
  void Block(MIDIReceiver& r, int block)
  {
    for (int i = 0; i < 6; ++i)
    {
      const int key = 24 + Next() % 80;
      Send(r, 0x90, key, 1 + Next() % 127, Next() % kBlock);
      Send(r, 0x80, 24 + Next() % 80, 0, Next() % kBlock);
    }
    if (block % 7 == 0) Send(r, 0xB0, 64, (block / 7) % 2 ? 127 : 0, Next() % kBlock);
    if (block % 11 == 0) Send(r, 0xB0, 66, (block / 11) % 2 ? 127 : 0, 0);
    if (block % 13 == 0) Send(r, 0xB0, 65, (block / 13) % 2 ? 127 : 0, 0);
    if (block % 17 == 0) Send(r, 0xB0, 68, (block / 17) % 2 ? 127 : 0, 0);
    if (block % 3 == 0) Send(r, 0xE0, Next() % 128, Next() % 128, Next() % kBlock);
    if (block % 997 == 0) Send(r, 0xB0, 123, 0, 0);
  }

private:
  unsigned Next()
  {
    mState = mState * 1664525u + 1013904223u;
    return mState >> 8;
  }
  static void Send(MIDIReceiver& r, int status, int d1, int d2, int offset)
  {
    const IMidiMsg m(offset, static_cast<uint8_t>(status), static_cast<uint8_t>(d1), static_cast<uint8_t>(d2));
    r.OnMessageReceived(&m);
  }
  unsigned mState = 2024;
};
}  // namespace

TEST(RenderAllocation, TheCounterSeesAllocations)
{
  const long before = HeapAllocationCount();
  auto p = std::make_unique<int>(1);
  void* raw = std::malloc(16);
  raw = std::realloc(raw, 4096);
  std::free(raw);
  EXPECT_EQ(HeapAllocationCount() - before, 3);
}

TEST(RenderAllocation, TenSecondsOf32StolenVoicesAllocateNothing)
{
  EngineRig rig;
  auto receiver = std::make_unique<MIDIReceiver>();
  Connect(*receiver, rig.E());
  HeavyPatch(rig.E());
  rig.amIn[1][0] = 0.25;
  rig.amIn[1][1] = -0.25;
  Traffic traffic;
  int maxActive = 0;
  long steals = 0;

  const long before = HeapAllocationCount();
  for (int block = 0; block < kSeconds * kSampleRate / kBlock; ++block)
  {
    traffic.Block(*receiver, block);
    receiver->ResetNoteOnCount();
    for (int i = 0; i < kBlock; ++i)
    {
      const int active = rig.T().GetActiveCount();
      receiver->Advance();
      if (active == VoiceTables::kNumVoices && rig.T().GetActiveCount() == active) ++steals;
      rig.Sample();
      if (rig.T().GetActiveCount() > maxActive) maxActive = rig.T().GetActiveCount();
      ASSERT_TRUE(std::isfinite(rig.out[0]) && std::isfinite(rig.out[1]));
    }
    if (block % 50 == 0) rig.E().SetFltModel(1, block % 100 ? kFltReson : kFltFormant);
    if (block % 75 == 0) rig.E().SetOscWave(0, block % 150 ? kOscPolysaw : kOscSaw);
    receiver->Flush(kBlock);
    receiver->ResetSampleCounter();
  }
  const long allocations = HeapAllocationCount() - before;

  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(maxActive, VoiceTables::kNumVoices);
  EXPECT_GT(steals, 1000);
}
