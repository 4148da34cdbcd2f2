#pragma once

#include "GallantSignal.h"
#include "IMidiQueue.h"
#include "MidiIntakeRing.h"
#include "heapbuf.h"

#include <atomic>

class ByteChunk;

// The synthesizer's MIDI intake. The MIDI thread filters each message and hands
// it over through a fixed ring; the audio thread moves waiting messages into the
// sorted queue and, once per output sample, delivers every message that is due
// to the engine through signals. Also keeps the MIDI-learn map from controller
// numbers to parameter indices.
class MIDIReceiver : public IMidiQueue
{
public:
  static constexpr int kNumKeys = 128;
  static constexpr int kNumControllers = 128;
  static constexpr int kDefaultNoteOnCap = 32;
  static constexpr int kPedalSwitchThreshold = 64;  // a pedal value above this is "down"
  // Room reserved in each learn list so that binding on the audio thread does
  // not allocate: one entry for every parameter of the instrument.
  static constexpr int kLearnListReserve = 138;

  // Pedal kinds carried by the texture-modifier signal.
  enum TextureModifier
  {
    kSustain = 0,
    kSostenuto = 1,
    kPortamento = 2,
    kLegato = 3
  };

  Gallant::Signal2<int, int> mNoteOn;          // key 0..127, velocity 1..127
  Gallant::Signal1<int> mNoteOff;              // key 0..127
  Gallant::Signal0 mAllNotesOff;
  Gallant::Signal1<double> mPitchWheel;        // -1..1
  Gallant::Signal2<int, int> mTextureModifier; // kind, down (0 or 1)
  Gallant::Signal2<int, int> mLearned;         // parameter, controller
  Gallant::Signal2<int, int> mControllerValue; // parameter, value 0..127

  MIDIReceiver();

  // MIDI thread: the intake filter. Note-offs are passed only for keys whose
  // last passed message was a note-on; note-ons only up to the per-block cap;
  // key pressure, controllers and the pitch wheel always; anything else is
  // dropped. A message that finds the hand-over ring full is dropped.
  void OnMessageReceived(const IMidiMsg* msg);

  // Audio thread, once per output sample: takes over what the MIDI thread has
  // handed in, then delivers every message due at the current sample.
  void Advance();
  // After Advance: how many frames, from the one just advanced, come before the
  // frame of the next queued message (INT_MAX while none waits). They can be
  // rendered in one run and passed with Skip.
  int FramesBeforeNextMessage() const;
  // Passes frames - 1 more frames after an Advance, none of them due a message.
  void SkipRunRest(int frames) { mSampleCounter += frames - 1; }
  // Audio thread: controller handling (pedals, all notes off, learn, values).
  void ProcessCC(const IMidiMsg* msg);

  // Block bookkeeping, audio thread.
  void ResetNoteOnCount() { mNoteOnCount.store(0, std::memory_order_relaxed); }
  void ResetSampleCounter() { mSampleCounter = 0; }
  int GetSampleCounter() const { return mSampleCounter; }
  // The most note-ons passed per block (the voice count); at least 0.
  void SetNoteOnCap(int cap) { mNoteOnCap.store(cap < 0 ? 0 : cap, std::memory_order_relaxed); }
  int GetNoteOnCap() const { return mNoteOnCap.load(std::memory_order_relaxed); }
  int GetNoteOnCount() const { return mNoteOnCount.load(std::memory_order_relaxed); }
  // key 0..127.
  bool IsKeyOff(int key) const { return mKeyOff[key].load(std::memory_order_relaxed); }

  // Learn map. Called under the plug-in mutex, which the audio thread holds
  // while it reads the map.
  WDL_TypedBuf<int>& GetLearnList(int controller) { return mLearnMap[controller]; }
  const WDL_TypedBuf<int>& GetLearnList(int controller) const { return mLearnMap[controller]; }
  const WDL_TypedBuf<int>& GetPendingLearnList() const { return mPendingLearn; }
  bool IsLearnPending() const { return mLearnPending; }
  // Removes the parameter from the first controller list (0..127) that holds it;
  // returns that controller, or -1.
  int Forget(int param);
  // The lowest controller the parameter is bound to, or -1.
  int BoundController(int param) const;
  // Arms a learn: the parameter leaves its binding and waits for the next
  // controller that is not a pedal or all-notes-off.
  void ArmLearn(int param);

  // Reads the learn map from a state chunk: for every controller a 32-bit count
  // and that many parameter indices. Indices outside 0..paramCount-1 and indices
  // bound already are skipped; a count below 0 or above paramCount, or a read
  // past the chunk's end, stops the reading with every remaining controller
  // unbound. Returns the position after the map, or -1.
  int UnserializeState(const ByteChunk* chunk, int startPos, int paramCount);

private:
  void TakeOverIntake();
  void Dispatch(const IMidiMsg& msg);
  bool IsBound(int param) const;

  MidiIntakeRing mIntake;
  WDL_TypedBuf<int> mLearnMap[kNumControllers];
  WDL_TypedBuf<int> mPendingLearn;
  bool mLearnPending = false;
  int mSampleCounter = 0;
  std::atomic<int> mNoteOnCap{kDefaultNoteOnCap};
  std::atomic<int> mNoteOnCount{0};
  std::atomic<bool> mKeyOff[kNumKeys];
};
