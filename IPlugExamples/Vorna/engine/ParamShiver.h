#pragma once

#include <cstdint>
#include <functional>

#include "EngineRandom.h"
#include "EngineSize.h"

// How the walks of a shiver are shared.
enum ShiverSyncMode
{
  kShiverSyncNone = 0,   // "none": an independent walk for each voice and slot
  kShiverSyncVoice = 1,  // "voice": in each voice, slot 1 follows slot 0's draws and timing
  kShiverSyncOsc = 2,    // "osc": one walk per slot, shared by all voices
  kShiverSyncAll = 3,    // "all": one walk; slot 1 follows slot 0
  kNumShiverSyncModes = 4
};

// A shiver: a smoothed random walk that modulates one per-voice, per-oscillator
// quantity. Each walk runs in straight segments of random length (the base
// period +- half of it) towards random targets inside a +- amount range, and its
// value is pushed every sample to the voices through a setter.
//
// This class is the tune shiver: it pushes 1 + walk as a frequency factor, with
// the walk kept inside [lower x amount, upper x amount]. PShiverWBase adds a base
// value per slot; BendShiver turns the value into a bend exponent.
//
// A walk is addressed by (voice, slot); in the shared modes the walk of voice 0
// is the one that runs. Everything runs on the audio thread, without allocation.
class ParamShiver
{
public:
  static constexpr int kNumVoices = kEngineVoices;
  static constexpr int kNumSlots = kEngineOscs;
  // Segment length before the first speed is set: 6000 samples, 8 Hz at 48 kHz.
  static constexpr int kInitialBasePeriod = 6000;
  // The speed controls' span.
  static constexpr double kMinSpeedHz = 0.1;
  static constexpr double kMaxSpeedHz = 100.0;
  // Maps a draw of [0, EngineRandom::kMax] onto [0, 2]; minus 1 gives [-1, 1].
  static constexpr double kRandomScale = 2.0 / EngineRandom::kMax;

  // Bounds of the walk itself here (lower < 0 < upper: the tune shiver's one-
  // semitone spans), of the pushed value in the derived classes.
  ParamShiver(EngineRandom& random, double lowerBound, double upperBound);

  // Where the values go: voices[v].*Setter(slot, value) for voice v; IsActive
  // (a const member function or a bool data member of V) says which voices sound.
  template <auto Setter, auto IsActive, class V>
  void SetTarget(V* voices)
  {
    mVoices = voices;
    mPush = [](void* all, int voice, int slot, double value) {
      std::invoke(Setter, static_cast<V*>(all)[voice], slot, value);
    };
    mIsActive = [](const void* all, int voice) -> bool {
      return std::invoke(IsActive, static_cast<const V*>(all)[voice]);
    };
  }

  // One sample of the walks; pushes the new values to the sounding voices. A
  // slot freezes on the first sample its amount is 0 and thaws only when the
  // amount is set above 0; with both frozen no walk moves and nothing is pushed
  // in any mode, so a shiver switched off costs this one test.
  void Process()
  {
    if (IsIdle()) return;
    ProcessWalks();
  }
  // Both slots frozen: Process does nothing until an amount is set above 0.
  bool IsIdle() const { return mSlots[0].frozen && mSlots[1].frozen; }

  // Where the runs of frames take the walks' values: the value a voice's slot
  // holds after the sample of frame k is written to rows[slot] + k * stride +
  // lane[voice], for the frames firstFrame + 1 .. lastFrame (a run's first frame
  // reads what the voices held before it).
  struct WalkRecord
  {
    double* rows[kNumSlots] = {};  // null: the slot's values are not written
    const int* lane = nullptr;     // kNumVoices entries; -1 where a voice is not in the run
    int stride = 0;
    int firstFrame = 0;
    int lastFrame = 0;
  };
  // How many samples Process can run before a walk starts a segment (and draws)
  // or a slot freezes, at most limit: the samples WalkAhead may take at once.
  int SamplesBeforeADraw(int limit) const;
  // `samples` samples of Process at once, none of them starting a segment, the
  // values written to the record; the voices then hold the last ones, as after
  // Process. written[slot] gets the voices whose values were written (bit v for
  // voice v). The walks and their values are those of the same calls of
  // Process, bit for bit.
  void WalkAhead(int samples, const WalkRecord& record, std::uint32_t written[kNumSlots]);
  // Walk amount of a slot, >= 0 (negative values count as 0).
  void SetAmount(int slot, double amount);
  // Walk speed of a slot in Hz, clamped to [kMinSpeedHz, kMaxSpeedHz]: one
  // segment lasts SR / speed samples on average. Running segments are stretched.
  void SetSpeed(int slot, double hz);
  void SetSyncMode(ShiverSyncMode mode);
  // Follows the oscillator switch (the effective filter switch for the cutoff).
  void SetEnabled(int slot, bool enabled) { mSlots[SlotIndex(slot)].enabled = enabled; }
  // Recomputes the segment timing after PlugG::SR changed.
  void UpdateSampleRate();
  // Slot of the engine's voice-activated signal.
  void OnVoiceActivation(int voice);

  // Starts a new segment of walk (voice, slot): new length, new draw, new target
  // and the step that reaches it.
  void CalculateDelta(int walk, int slot);
  // Slot 1 of a walk follows slot 0's new draw with its own range.
  void CalculateSlaveDelta(int walk);

  // Keeps a pushed value inside its bounds; here a clamp to [lower, upper].
  virtual void BoundariesPrecisionCorrection(int walk, int slot, double* value);
  // The slot's minus and plus ranges from its amount.
  virtual void CalcRanges(int slot);
  // The value a walk pushes while its slot's amount is 0.
  virtual void UpdateTotalValueWithZeroAmount(int walk, int slot);
  // The value a walk pushes from its accumulator.
  virtual void UpdateTotalParamValue(int walk, int slot);
  // Pushes the value of walk (walk, slot) to oscillator voiceSlot of voice `voice`.
  virtual void SetVal(int walk, int slot, int voice, int voiceSlot);
  // Samples of one walk without a new segment, the value after each written to
  // out[j * stride] for j < written; counts says whether they count towards the
  // segment's end (not for a slot that follows slot 0's timing).
  virtual void WalkSteps(int walk, int slot, int samples, bool counts, double* out, int stride, int written);

  double GetAmount(int slot) const { return mSlots[SlotIndex(slot)].amount; }
  double GetSpeed(int slot) const { return mSlots[SlotIndex(slot)].speed; }
  int GetBasePeriod(int slot) const { return mSlots[SlotIndex(slot)].basePeriod; }
  bool IsEnabled(int slot) const { return mSlots[SlotIndex(slot)].enabled; }
  ShiverSyncMode GetSyncMode() const { return mSyncMode; }

protected:
  struct Slot
  {
    double amount = 0.0;
    double minusRange = 0.0;  // how far below the centre a target may lie, >= 0
    double plusRange = 0.0;   // how far above
    double lowerBound = 0.0;
    double upperBound = 0.0;
    double speed = 0.0;  // Hz
    int basePeriod = kInitialBasePeriod;  // samples
    bool enabled = false;
    bool frozen = true;
  };

  struct Walk
  {
    double draw = 0.0;  // in [-1, 1]
    double previousDraw = 0.0;
    double target = 0.0;
    double previousTarget = 0.0;
    int length = kInitialBasePeriod;   // samples in the running segment
    int counter = kInitialBasePeriod;  // samples done; the first step starts a segment
    double step = 0.0;
    double accumulator = 0.0;
    double value = 1.0;  // last value computed for pushing
  };

  // The shared walk in modes "osc" and "all".
  static constexpr int kSharedWalk = 0;

  // WalkSteps with a class's value of an accumulator (valueOf(accumulator),
  // which may move the accumulator): its UpdateTotalParamValue's, on locals.
  template <class ValueOf>
  void WalkStepsWith(int walk, int slot, int samples, bool counts, double* out, int stride, int written,
                     const ValueOf& valueOf)
  {
    Walk& w = mWalks[walk][slot];
    const double step = w.step;
    double accumulator = w.accumulator;
    double value = w.value;
    for (const double* end = out + written * stride; out != end; out += stride)
    {
      accumulator += step;
      value = valueOf(accumulator);
      *out = value;
    }
    for (int j = written; j < samples; ++j)
    {
      accumulator += step;
      value = valueOf(accumulator);
    }
    w.accumulator = accumulator;
    w.value = value;
    if (counts) w.counter += samples;
  }

  static int SlotIndex(int slot) { return slot == 1 ? 1 : 0; }
  // The tune shiver's frequency factor of a walk's accumulator.
  static double FactorOf(double accumulator) { return 1.0 + accumulator; }
  double RangeFor(int slot, double draw) const
  {
    return draw > 0.0 ? mSlots[slot].plusRange : mSlots[slot].minusRange;
  }
  bool IsVoiceActive(int voice) const { return mIsActive(mVoices, voice); }
  void Push(int voice, int slot, double value) { mPush(mVoices, voice, slot, value); }

  // Ranges from CalcRanges, or both 0 for amount 0, then the walks re-based.
  void ApplyRangeChange(int slot);

  Slot mSlots[kNumSlots];
  Walk mWalks[kNumVoices][kNumSlots];
  ShiverSyncMode mSyncMode = kShiverSyncNone;

private:
  // WalkAhead's share of a shared walk goes through a buffer of this many values.
  static constexpr int kMaxSamplesAhead = 64;

  enum CopiedFields
  {
    kTimeFields = 1,     // segment length and counter
    kExtremeFields = 2,  // draw and previous draw
  };

  void Accumulate(int walk, int slot, bool follow);
  void ProcessWalks();
  void ProcessIndependent();
  void ProcessFollowingInVoice();
  void ProcessSharedPerSlot();
  void ProcessSharedFollowing();
  void FreezeSilentSlots();
  bool Walking(int slot) const { return mSlots[slot].enabled && !mSlots[slot].frozen; }
  int SamplesLeft(int walk, int slot) const
  {
    const Walk& w = mWalks[walk][slot];
    return w.counter >= w.length ? 0 : w.length - w.counter;
  }
  // One walk written ahead for its voices (the walk's own, or every voice
  // sharing it); its value then pushed to them.
  void WalkAheadFor(int walk, int slot, int samples, bool counts, bool shared, const WalkRecord& record,
                    std::uint32_t& written);

  // Copies fields from the walk that drives the others under `mode` to the walks
  // that follow it.
  void CopyFromDrivingWalks(ShiverSyncMode mode, int fields);
  static void CopyWalkFields(const Walk& from, Walk& to, int fields);
  void UpdateOutofdateTimeParams() { CopyFromDrivingWalks(mSyncMode, kTimeFields); }
  void UpdateOutofdateExtremParams() { CopyFromDrivingWalks(mSyncMode, kExtremeFields); }
  void OverwriteParamsForNewSyncMode(ShiverSyncMode mode)
  {
    CopyFromDrivingWalks(mode, kTimeFields | kExtremeFields);
  }

  // Puts a walk on the straight line from its previous target to its target, at
  // the point matching the samples already done in the segment.
  void RebaseWalk(int walk, int slot);
  // RebaseWalk, but where slot 1 follows slot 0 it takes slot 0's draws and timing
  // first (its own are not kept up to date while it follows).
  void RebaseWalkInMode(int walk, int slot);
  void RecalcCoreDeltasAndAccums(int slot);
  void UpdateAccAndDeltaOnRangeChange(int slot);
  bool SlotFollows(int slot) const
  {
    return slot == 1 && (mSyncMode == kShiverSyncVoice || mSyncMode == kShiverSyncAll);
  }
  // Stretches a walk's running segment by rho (new length / old length).
  static void RescaleWalk(Walk& walk, double rho);

  EngineRandom* mRandom;
  void* mVoices = nullptr;
  void (*mPush)(void*, int, int, double) = [](void*, int, int, double) {};
  bool (*mIsActive)(const void*, int) = [](const void*, int) { return false; };
};
